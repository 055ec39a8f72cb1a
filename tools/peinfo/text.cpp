#include "tools/peinfo/text.h"

#include <utility>

namespace zv::pe {
namespace {

void AppendUtf8(char32_t code_point, std::string* out) {
  if (code_point < 0x80) {
    out->push_back(static_cast<char>(code_point));
  } else if (code_point < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code_point >> 6)));
    out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else if (code_point < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (code_point >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (code_point >> 18)));
    out->push_back(static_cast<char>(0x80 | ((code_point >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  }
}

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

template <typename Char>
Char LowerAscii(Char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c - 'A' + 'a') : c;
}

template <typename Text>
bool EqualsIgnoreCase(const Text& a, const Text& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

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

std::string Utf8FromUtf16(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      AppendUtf8(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00), &out);
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(0xFFFD, &out);
    } else {
      AppendUtf8(unit, &out);
    }
  }
  return out;
}

bool EqualsIgnoreAsciiCase(const std::u16string& a, const std::u16string& b) {
  return EqualsIgnoreCase(a, b);
}

bool EqualsIgnoreAsciiCase(const std::string& a, const std::string& b) {
  return EqualsIgnoreCase(a, b);
}

}  // namespace zv::pe
