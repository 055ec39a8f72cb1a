#include "platform/fake/code_page.h"

#include <algorithm>
#include <optional>
#include <string>
#include <type_traits>

#include "platform/ascii_case.h"
#include "platform/host/iconv_text.h"

namespace zv::fake {
namespace {

using platform::host::ConvertCharset;
using platform::host::IconvNameOfCodePage;

// The code pages whose bytes below 0x80 are ASCII alone, so that ASCII text
// converts unit for unit. Names, paths and most values are ASCII, and
// converting them without iconv spares a converter's setup and buffers.
bool KeepsAscii(uint32_t codePage) {
  switch (codePage) {
    case 936:
    case 950:
    case 1252:
    case 20127:
    case 28591:
    case 65001:
      return true;
    default:
      return false;
  }
}

template <typename Text>
bool IsAscii(const Text& text) {
  for (auto c : text) {
    if (static_cast<std::make_unsigned_t<decltype(c)>>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

bool IsLeadByte(uint32_t codePage, uint8_t byte) {
  switch (codePage) {
    case 936:  // GBK
    case 949:  // Unified Hangul
    case 950:  // Big5
      return byte >= 0x81 && byte <= 0xFE;
    case 932:  // Shift-JIS
      return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    default:
      return false;
  }
}

size_t CharacterLength(uint32_t codePage, std::string_view text, size_t index) {
  if (index + 1 < text.size() && IsLeadByte(codePage, static_cast<uint8_t>(text[index]))) return 2;
  return 1;
}

std::u16string AnsiToUtf16(uint32_t codePage, std::string_view text) {
  if (KeepsAscii(codePage) && IsAscii(text)) return std::u16string(text.begin(), text.end());
  const std::optional<std::string> bytes = ConvertCharset(
      IconvNameOfCodePage(codePage).c_str(), "UTF-16LE", text, std::string_view("?\0", 2));
  if (bytes) return BytesToUtf16(*bytes);
  std::u16string out;
  for (char c : text) out.push_back(static_cast<uint8_t>(c));
  return out;
}

std::string Utf16ToAnsi(uint32_t codePage, std::u16string_view text) {
  if (KeepsAscii(codePage) && IsAscii(text)) return std::string(text.begin(), text.end());
  const std::optional<std::string> bytes =
      ConvertCharset("UTF-16LE", IconvNameOfCodePage(codePage).c_str(), Utf16ToBytes(text), "?");
  if (bytes) return *bytes;
  std::string out;
  for (char16_t c : text) out.push_back(c < 0x100 ? static_cast<char>(c) : '?');
  return out;
}

std::string FoldAnsi(uint32_t codePage, std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size();) {
    size_t length = CharacterLength(codePage, out, i);
    if (length == 1) out[i] = AsciiLower(out[i]);
    i += length;
  }
  return out;
}

std::u16string FoldUtf16(std::u16string_view text) { return InAsciiCase(text, true); }

int CompareFolded(std::u16string_view folded, std::u16string_view text) {
  const size_t common = std::min(folded.size(), text.size());
  for (size_t i = 0; i < common; ++i) {
    const char16_t other = AsciiUpper(text[i]);
    if (folded[i] != other) return folded[i] < other ? -1 : 1;
  }
  if (folded.size() == text.size()) return 0;
  return folded.size() < text.size() ? -1 : 1;
}

}  // namespace zv::fake
