#include "settings/web_address.h"

#include <cstddef>

#include "package/file_io.h"
#include "settings/key_value.h"
#include "settings/settings_file_names.h"
#include "system/install_locations.h"

namespace zv {
namespace {

constexpr size_t kReadLimit = 1000;
constexpr char kPrefilledKey[] = "ZVNETURL1=";

}  // namespace

std::string LoadWebAddress() {
  const std::string path = ChooseInstallDir().str() + kNetworkSettingsFileName;
  std::string bytes;
  if (!ReadFileBytes(path, kReadLimit, &bytes)) return std::string();
  KeyValueText value;
  FindKeyValue(bytes, kPrefilledKey, &value);
  return value.str();
}

}  // namespace zv
