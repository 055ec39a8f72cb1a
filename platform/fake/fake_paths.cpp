#include "platform/fake/fake_paths.h"

#include <cstring>
#include <utility>

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

// Calls `visit` with each piece of `text` between separators that are
// single-byte characters (empty pieces included), until it returns false.
template <typename Visit>
bool ForEachPiece(std::string_view text, uint32_t codePage, Visit visit) {
  size_t start = 0;
  for (size_t i = 0; i < text.size();) {
    size_t length = CharacterLength(codePage, text, i);
    if (length == 1 && IsSeparator(text[i])) {
      if (!visit(text.substr(start, i - start))) return false;
      start = i + 1;
    }
    i += length;
  }
  return visit(text.substr(start));
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
std::string_view TrimName(std::string_view name) {
  if (name == "." || name == "..") return name;
  size_t end = name.find_last_not_of(". ");
  return end == std::string_view::npos ? std::string_view() : name.substr(0, end + 1);
}

// The characters of FormatPath(path), counted without building it: a lead
// byte takes the byte after it along, even a separator.
size_t CountCharacters(const ParsedPath& path, uint32_t codePage) {
  size_t count = 0;
  bool trail = false;
  auto add = [&](std::string_view bytes) {
    for (char c : bytes) {
      if (trail) {
        trail = false;
        continue;
      }
      ++count;
      trail = IsLeadByte(codePage, static_cast<uint8_t>(c));
    }
  };
  add(std::string_view(&path.drive, 1));
  add(":");
  if (path.parts.empty()) add("\\");
  for (const std::string& part : path.parts) {
    add("\\");
    add(part);
  }
  return count;
}

uint32_t AppendNames(std::string_view rest, uint32_t codePage, ParsedPath* out) {
  uint32_t error = win::kErrorSuccess;
  ForEachPiece(rest, codePage, [&](std::string_view raw) {
    std::string_view name = TrimName(raw);
    if (name.empty() || name == ".") return true;
    if (name == "..") {
      if (!out->parts.empty()) out->parts.pop_back();
      return true;
    }
    if (!ValidName(name, codePage)) {
      error = kErrorInvalidName;
      return false;
    }
    out->parts.emplace_back(name);
    return true;
  });
  return error;
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
  if (CountCharacters(parsed, codePage) >= kMaxPath) return kErrorFilenameTooLong;
  *out = std::move(parsed);
  return win::kErrorSuccess;
}

std::string FormatPath(const ParsedPath& path) {
  size_t size = 3;
  for (const std::string& part : path.parts) size += 1 + part.size();
  std::string text;
  text.reserve(size);
  text += path.drive;
  text += ':';
  if (path.parts.empty()) text += '\\';
  for (const std::string& part : path.parts) {
    text += '\\';
    text += part;
  }
  return text;
}

}  // namespace zv::fake
