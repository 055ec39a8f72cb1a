// Text conversions of the fake machine: 8-bit text in a Windows code page to
// and from UTF-16, and the case folding that Windows applies to file and
// registry names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/host/iconv_text.h"

namespace zv::fake {

// Whether `byte` opens a two-byte character in `codePage` (GBK, Big5 and the
// other double-byte code pages of East Asian Windows).
bool IsLeadByte(uint32_t codePage, uint8_t byte);

// The length of the character that starts at `text[index]`: 2 for a lead byte
// followed by another byte, else 1.
size_t CharacterLength(uint32_t codePage, std::string_view text, size_t index);

// MultiByteToWideChar: 8-bit text of `codePage` to UTF-16. Bytes that form no
// character become '?'. Embedded zero bytes are converted like any other.
std::u16string AnsiToUtf16(uint32_t codePage, std::string_view text);

// WideCharToMultiByte: UTF-16 to 8-bit text of `codePage`. Characters the code
// page lacks become '?'.
std::string Utf16ToAnsi(uint32_t codePage, std::u16string_view text);

// Folds ASCII capitals to lower case, leaving both bytes of every double-byte
// character untouched (a trail byte may well lie in 'A'..'Z').
std::string FoldAnsi(uint32_t codePage, std::string_view text);

// Folds ASCII letters of UTF-16 text to upper case, the order in which the
// registry keeps its subkeys.
std::u16string FoldUtf16(std::u16string_view text);
// Orders a folded name against the folding of `text`, as `folded.compare`
// would order it against FoldUtf16(text).
int CompareFolded(std::u16string_view folded, std::u16string_view text);

// UTF-16 text as little-endian bytes and back (an odd last byte is dropped).
using platform::host::BytesToUtf16;
using platform::host::Utf16ToBytes;

}  // namespace zv::fake
