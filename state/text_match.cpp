#include "state/text_match.h"

namespace zv {
namespace {

bool BytesMatch(char textByte, char keywordByte) {
  if (textByte == keywordByte) return true;
  return textByte >= 'A' && textByte <= 'Z' && textByte - 'A' + 'a' == keywordByte;
}

bool MatchesAt(std::string_view text, size_t start, std::string_view keyword) {
  for (size_t j = 0; j < keyword.size(); ++j) {
    if (start + j >= text.size() || !BytesMatch(text[start + j], keyword[j])) return false;
  }
  return true;
}

}  // namespace

int ContainsIgnoreCase(std::string_view text, std::string_view keyword) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (MatchesAt(text, i, keyword)) return 1;
  }
  return 0;
}

}  // namespace zv
