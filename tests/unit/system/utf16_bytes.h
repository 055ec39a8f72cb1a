// UTF-16 text as the little-endian bytes a module file holds it in, and
// module files with the IME's version text.
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

// A module tagged `tag` whose version text the first placement pass stamps
// ("  6.3" becomes "  7.8").
inline std::string ImeModule(const std::string& tag, const char16_t* version = u"  6.3") {
  return "MZ" + tag + Utf16(std::u16string(u"智能岚汀输入平台") + version);
}
inline std::string StampedImeModule(const std::string& tag) { return ImeModule(tag, u"  7.8"); }

}  // namespace zv::test
