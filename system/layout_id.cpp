#include "system/layout_id.h"

#include <cstdio>

namespace zv {

namespace {

constexpr uint32_t kNextImeIndex = 0x10000u;
constexpr size_t kLanguageEndingLength = 3;

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<uint32_t> LeadingHexNumber(std::string_view name) {
  if (name.empty() || HexDigitValue(name[0]) < 0) return std::nullopt;
  uint64_t number = 0;
  for (char c : name) {
    const int digit = HexDigitValue(c);
    if (digit < 0) break;
    number = number * 16 + static_cast<uint64_t>(digit);
    if (number > UINT32_MAX) return std::nullopt;
  }
  return static_cast<uint32_t>(number);
}

int HasLanguageEnding(std::string_view name, std::string_view language) {
  return name.size() >= language.size() && name.substr(name.size() - language.size()) == language
             ? 1
             : 0;
}

std::string WithLanguageEnding(std::string_view name, std::string_view language) {
  const size_t kept = name.size() > kLanguageEndingLength ? name.size() - kLanguageEndingLength : 0;
  return std::string(name.substr(0, kept)) + std::string(language);
}

std::optional<std::string> NextLayoutId(uint32_t highest, uint32_t lowestIme,
                                        std::string_view language) {
  const uint32_t base = highest < lowestIme ? lowestIme : highest;
  if (base > UINT32_MAX - kNextImeIndex) return std::nullopt;
  char digits[16] = {};
  std::snprintf(digits, sizeof(digits), "%X", static_cast<unsigned>(base + kNextImeIndex));
  std::string id(digits);
  if (HasLanguageEnding(id, language) == 0) id = WithLanguageEnding(id, language);
  return id;
}

}  // namespace zv
