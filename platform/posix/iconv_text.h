// Character set conversion with glibc's iconv, for the host build.
#pragma once

#include <string>
#include <string_view>

namespace zv::platform::posix {

// Converts `bytes` from the character set `from` to `to` (iconv names).
// Input that does not convert is replaced by '?' in the target set, one
// input unit (a byte, or two for UTF-16) at a time, so the result never stops
// short.
std::string ConvertCharset(const char* from, const char* to, std::string_view bytes);

// UTF-16 text as little-endian bytes and back.
std::string Utf16ToBytes(std::u16string_view text);
std::u16string BytesToUtf16(std::string_view bytes);

// UTF-16 to UTF-8 (for the terminal).
std::string Utf16ToUtf8(std::u16string_view text);

// The iconv name of a Windows code page: 936 -> "CP936", 950 -> "CP950".
std::string IconvNameOfCodePage(unsigned codePage);

}  // namespace zv::platform::posix
