#include "settings/key_value.h"

namespace zv {

void FindKeyValue(std::string_view data, std::string_view key, KeyValueText* out) {
  out->clear();
  if (data.empty() || key.empty()) return;
  const size_t at = data.find(key);
  if (at == std::string_view::npos) return;
  const std::string_view rest = data.substr(at + key.size());
  size_t length = 0;
  while (length < rest.size() &&
         length<kKeyValueMaxLength&& static_cast<unsigned char>(rest[length])> 0x20) {
    ++length;
  }
  out->Assign(rest.substr(0, length));
}

}  // namespace zv
