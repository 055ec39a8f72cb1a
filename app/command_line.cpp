#include "app/command_line.h"

#include "system/install_locations.h"

namespace zv {
namespace {

constexpr std::string_view kRegisterSwitch = "regzv32=";

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

void ParseRegisterPath(std::string_view commandLine) {
  const size_t first = commandLine.find('r');
  if (first == std::string_view::npos) return;
  if (commandLine.compare(first, kRegisterSwitch.size(), kRegisterSwitch) != 0) return;
  const std::string_view path = commandLine.substr(first + kRegisterSwitch.size());
  const bool needsBackslash = path.empty() || path.back() != '\\';
  if (path.size() + (needsBackslash ? 1 : 0) > InstallDir.kMaxLength) return;
  InstallDir.Assign(path);
}

}  // namespace zv
