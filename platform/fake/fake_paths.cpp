#include "platform/fake/fake_paths.h"

#include <cstring>

#include "platform/fake/code_page.h"
#include "platform/win_constants.h"

namespace zv::fake {
namespace {

constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorFilenameTooLong = 206;
constexpr size_t kMaxPath = 260;
constexpr size_t kMaxComponent = 255;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Splits at separators that are single-byte characters.
std::vector<std::string> Split(std::string_view text, uint32_t codePage) {
  std::vector<std::string> parts;
  std::string current;
  for (size_t i = 0; i < text.size();) {
    size_t length = CharacterLength(codePage, text, i);
    if (length == 1 && IsSeparator(text[i])) {
      parts.push_back(current);
      current.clear();
    } else {
      current.append(text.substr(i, length));
    }
    i += length;
  }
  parts.push_back(current);
  return parts;
}

// Characters that no file name may hold (checked as single-byte characters only).
bool ValidName(std::string_view name, uint32_t codePage) {
  for (size_t i = 0; i < name.size();) {
    size_t length = CharacterLength(codePage, name, i);
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (length == 1 && (c < 0x20 || std::strchr("<>:\"|?*", c) != nullptr)) return false;
    i += length;
  }
  return name.size() <= kMaxComponent;
}

// Windows drops dots and blanks at the end of a name ("a.txt. " is "a.txt").
std::string TrimName(const std::string& name) {
  if (name == "." || name == "..") return name;
  size_t end = name.find_last_not_of(". ");
  return end == std::string::npos ? std::string() : name.substr(0, end + 1);
}

size_t CountCharacters(std::string_view text, uint32_t codePage) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); i += CharacterLength(codePage, text, i)) ++count;
  return count;
}

uint32_t AppendNames(std::string_view rest, uint32_t codePage, ParsedPath* out) {
  for (const std::string& raw : Split(rest, codePage)) {
    std::string name = TrimName(raw);
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!out->parts.empty()) out->parts.pop_back();
      continue;
    }
    if (!ValidName(name, codePage)) return kErrorInvalidName;
    out->parts.push_back(name);
  }
  return win::kErrorSuccess;
}

// Sets `out` to the starting point of `path` and returns the rest to append.
uint32_t Start(std::string_view path, std::string_view currentDir, uint32_t codePage,
               ParsedPath* out, std::string_view* rest) {
  if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':') {
    char drive = static_cast<char>(path[0] & ~0x20);
    *rest = path.substr(2);
    if (!rest->empty() && IsSeparator(rest->front())) {
      *out = ParsedPath{drive, {}};
      return win::kErrorSuccess;
    }
    // "D:name" is relative to the current directory when that is on D:.
    ParsedPath current;
    if (ParsePath(currentDir, "", codePage, &current) == 0 && current.drive == drive) {
      *out = current;
    } else {
      *out = ParsedPath{drive, {}};
    }
    return win::kErrorSuccess;
  }
  if (!path.empty() && IsSeparator(path[0])) {
    if (path.size() >= 2 && IsSeparator(path[1])) return win::kErrorPathNotFound;  // UNC
    ParsedPath current;
    if (ParsePath(currentDir, "", codePage, &current) != 0) return win::kErrorPathNotFound;
    *out = ParsedPath{current.drive, {}};
    *rest = path;
    return win::kErrorSuccess;
  }
  if (ParsePath(currentDir, "", codePage, out) != 0) return win::kErrorPathNotFound;
  *rest = path;
  return win::kErrorSuccess;
}

}  // namespace

uint32_t ParsePath(std::string_view path, std::string_view currentDir, uint32_t codePage,
                   ParsedPath* out) {
  if (path.empty()) return win::kErrorPathNotFound;
  if (path.substr(0, 4) == "\\\\?\\" || path.substr(0, 4) == "\\\\.\\") path.remove_prefix(4);
  ParsedPath parsed;
  std::string_view rest;
  uint32_t error = Start(path, currentDir, codePage, &parsed, &rest);
  if (error == 0) error = AppendNames(rest, codePage, &parsed);
  if (error != 0) return error;
  if (CountCharacters(FormatPath(parsed), codePage) >= kMaxPath) return kErrorFilenameTooLong;
  *out = parsed;
  return win::kErrorSuccess;
}

std::string FormatPath(const ParsedPath& path) {
  std::string text{path.drive, ':'};
  if (path.parts.empty()) return text + "\\";
  for (const std::string& part : path.parts) text += "\\" + part;
  return text;
}

}  // namespace zv::fake
