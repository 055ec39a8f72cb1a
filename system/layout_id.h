// Keyboard layout identifiers as text: eight hexadecimal digits, the IME
// index in the high word (E0xx) and the language in the low word.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zv {

// The number formed by the leading hexadecimal digits of a layout key's
// name ("E0200804" gives 0xE0200804, "0000041a" 0x41A). None when the name
// does not start with a hexadecimal digit, or when its number does not fit
// in 32 bits (no layout key is named so).
std::optional<uint32_t> LeadingHexNumber(std::string_view name);

// 1 when `name` ends with `language` ("804" or "404"), else 0.
int HasLanguageEnding(std::string_view name, std::string_view language);

// `name` with its last three characters replaced by `language`. A name
// shorter than three characters is replaced as a whole.
std::string WithLanguageEnding(std::string_view name, std::string_view language);

// The identifier for a new product key after the highest layout number in
// use, `highest`: at least one IME index above `lowestIme`, written in upper
// case and ending with `language`. None when the next index would not fit
// in 32 bits.
std::optional<std::string> NextLayoutId(uint32_t highest, uint32_t lowestIme,
                                        std::string_view language);

}  // namespace zv
