#include "system/integrity_level.h"

#include <string>

#include "platform/services.h"
#include "platform/win_constants.h"
#include "system/install_locations.h"
#include "system/path_text.h"

namespace zv {

void LowerIntegrityLevel() {
  std::string dir = InstallDir.str();
  if (EndsWithBackslash(dir)) dir.pop_back();
  platform::Programs().WinExec("icacls.exe \"" + dir + "\" /SetIntegrityLevel Level: L",
                               win::kSwShow);
}

}  // namespace zv
