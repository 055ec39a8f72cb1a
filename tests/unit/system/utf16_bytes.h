// UTF-16 text as the little-endian bytes a module file holds it in.
#pragma once

#include <string>

namespace zv::test {

inline std::string Utf16(const std::u16string& text) {
  std::string bytes;
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

}  // namespace zv::test
