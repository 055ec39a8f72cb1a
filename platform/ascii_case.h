// ASCII letter case, the only case the installer folds: every other byte or
// unit (the lead and trail bytes of GBK and Big5 among them) passes as it is.
#pragma once

#include <string>
#include <string_view>

namespace zv {

template <typename Char>
constexpr Char AsciiLower(Char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
}

template <typename Char>
constexpr Char AsciiUpper(Char c) {
  return c >= 'a' && c <= 'z' ? static_cast<Char>(c - 'a' + 'A') : c;
}

// `text` with its ASCII letters made upper case (`upper`) or lower case.
template <typename Char>
std::basic_string<Char> InAsciiCase(std::basic_string_view<Char> text, bool upper) {
  std::basic_string<Char> out(text);
  for (Char& c : out) c = upper ? AsciiUpper(c) : AsciiLower(c);
  return out;
}

// True when `a` and `b` differ at most in the case of ASCII letters.
template <typename Char>
bool EqualsIgnoreAsciiCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

inline bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  return EqualsIgnoreAsciiCase<char>(a, b);
}

}  // namespace zv
