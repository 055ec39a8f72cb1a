#include "settings/install_stamp.h"

#include "package/file_io.h"
#include "platform/services.h"
#include "settings/settings_file_names.h"
#include "system/install_locations.h"

namespace zv {

std::string FormatTickCount(uint32_t ticks) {
  // The same bits read as a two's complement 32-bit number.
  const int64_t value = ticks >= 0x80000000u ? static_cast<int64_t>(ticks) - 0x100000000LL
                                             : static_cast<int64_t>(ticks);
  return std::to_string(value);
}

void WriteInstallStamp() {
  const std::string text = FormatTickCount(platform::System().GetTickCount());
  WriteFileBytes(InstallDir.str() + kInstallStampFileName, text);
}

}  // namespace zv
