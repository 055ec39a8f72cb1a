// Paths as 8-bit text in the ANSI code page. In GBK and Big5 the second byte
// of a double-byte character can be 0x5C, the byte of a backslash (Big5's
// "功" is A5 5C), so whether a path ends in a backslash is a question about
// its last character, not its last byte.
#pragma once

#include <cstdint>
#include <string_view>

namespace zv {

// Whether `byte` begins a double-byte character in `codePage` (936, 950, 949
// and 932 have them; every other code page is single-byte).
bool IsLeadByte(uint32_t codePage, uint8_t byte);

// Whether the last character of `path` in the system's ANSI code page is a
// backslash.
bool EndsWithBackslash(std::string_view path);

}  // namespace zv
