#include "state/text_match.h"

#include "platform/ascii_case.h"

namespace zv {
namespace {

// Only the text's capitals fold: a capital in the keyword matches itself.
bool BytesMatch(char textByte, char keywordByte) {
  return textByte == keywordByte || AsciiLower(textByte) == keywordByte;
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
