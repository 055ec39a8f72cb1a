// Filling the "%s" slot of a message with a name.
#pragma once

#include <string>
#include <string_view>

namespace zv {

// `format` with its first "%s" replaced by `insert`; a format without one is
// given back unchanged. Works on 8-bit and UTF-16 text alike: an 8-bit name
// goes into the 8-bit form of its message byte for byte.
template <typename Char>
std::basic_string<Char> FillNameSlot(std::basic_string_view<Char> format,
                                     std::basic_string_view<Char> insert) {
  static constexpr Char kSlot[] = {Char('%'), Char('s')};
  std::basic_string<Char> text(format);
  const size_t slot = text.find(kSlot, 0, 2);
  if (slot != std::basic_string<Char>::npos) text.replace(slot, 2, insert);
  return text;
}

}  // namespace zv
