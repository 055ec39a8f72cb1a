// Character set conversion with glibc's iconv, for the host's services and
// the fake machine.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zv::platform::host {

// Converts `bytes` from the character set `from` to `to` (iconv names).
// Wherever the input holds a character the target cannot express, or bytes
// that form no character, `replacement` (bytes in the target set) takes its
// place: one byte of 8-bit input, one UTF-16 unit or surrogate pair of
// "UTF-16LE" input at a time; an incomplete character at the end becomes one
// replacement. Nothing when iconv knows either set.
std::optional<std::string> ConvertCharset(const char* from, const char* to, std::string_view bytes,
                                          std::string_view replacement);

// UTF-16 text as little-endian bytes and back (an odd last byte is dropped).
std::string Utf16ToBytes(std::u16string_view text);
std::u16string BytesToUtf16(std::string_view bytes);

// UTF-16 to UTF-8, with U+FFFD for every unpaired surrogate.
std::string Utf16ToUtf8(std::u16string_view text);

// The iconv name of a Windows code page: 936 -> "CP936", 950 -> "CP950".
std::string IconvNameOfCodePage(unsigned codePage);

}  // namespace zv::platform::host
