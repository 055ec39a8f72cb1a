#include "tools/peinfo/text.h"

#include <utility>

#include "platform/ascii_case.h"
#include "platform/host/iconv_text.h"

namespace zv::pe {

bool ReadUtf16(const ByteView& bytes, uint64_t offset, size_t units, std::u16string* out) {
  if (!bytes.Contains(offset, static_cast<uint64_t>(units) * 2)) return false;
  std::u16string text(units, u'\0');
  for (size_t i = 0; i < units; ++i) {
    uint16_t unit = 0;
    bytes.ReadU16(offset + 2 * i, &unit);
    text[i] = static_cast<char16_t>(unit);
  }
  *out = std::move(text);
  return true;
}

bool ReadUtf16z(const ByteView& bytes, uint64_t offset, size_t max_units, std::u16string* out,
                size_t* units_read) {
  std::u16string text;
  for (size_t i = 0; i < max_units; ++i) {
    uint16_t unit = 0;
    if (!bytes.ReadU16(offset + 2 * i, &unit)) return false;
    if (unit == 0) {
      *out = std::move(text);
      if (units_read != nullptr) *units_read = i + 1;
      return true;
    }
    text.push_back(static_cast<char16_t>(unit));
  }
  return false;
}

bool ReadCString(const ByteView& bytes, uint64_t offset, size_t max_length, std::string* out) {
  std::string text;
  for (size_t i = 0; i < max_length; ++i) {
    uint8_t byte = 0;
    if (!bytes.ReadU8(offset + i, &byte)) return false;
    if (byte == 0) {
      *out = std::move(text);
      return true;
    }
    text.push_back(static_cast<char>(byte));
  }
  return false;
}

std::string Utf8FromUtf16(const std::u16string& text) { return platform::host::Utf16ToUtf8(text); }

bool EqualsIgnoreAsciiCase(const std::u16string& a, const std::u16string& b) {
  return zv::EqualsIgnoreAsciiCase<char16_t>(a, b);
}

bool EqualsIgnoreAsciiCase(const std::string& a, const std::string& b) {
  return zv::EqualsIgnoreAsciiCase<char>(a, b);
}

}  // namespace zv::pe
