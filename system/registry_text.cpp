#include "system/registry_text.h"

#include <algorithm>
#include <vector>

#include "platform/services.h"
#include "platform/win_constants.h"

namespace zv {

bool ReadRegistryText(platform::RegKey key, const std::string& name, uint32_t capacity,
                      std::string* out) {
  out->clear();
  uint32_t type = 0;
  std::vector<uint8_t> data;
  if (platform::Reg().RegQueryValueExA(key, name, &type, &data, capacity) != win::kErrorSuccess) {
    return false;
  }
  if (data.size() > capacity) return false;
  const auto zero = std::find(data.begin(), data.end(), uint8_t{0});
  // A value stored without its terminating zero that fills the whole buffer
  // does not fit it either: the text and its zero need one byte more.
  if (zero == data.end() && data.size() == capacity) return false;
  out->assign(data.begin(), zero);
  return true;
}

uint32_t WriteRegistryText(platform::RegKey key, const std::string& name, std::string_view text) {
  std::string terminated(text);
  terminated.push_back('\0');
  return platform::Reg().RegSetValueExA(key, name, win::kRegSz, terminated.data(),
                                        static_cast<uint32_t>(terminated.size()));
}

}  // namespace zv
