// Parsing of 8-bit Windows paths for the fake file system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv::fake {

// A full path: an upper-case drive letter and the names below its root.
struct ParsedPath {
  char drive = 0;
  std::vector<std::string> parts;
};

// Makes `path` a full path the way Windows does: '\' and '/' both separate
// names (never the trail byte of a double-byte character of `codePage`), a
// relative path starts from `currentDir`, "." and ".." are resolved, repeated
// separators collapse and trailing dots and blanks of a name are dropped.
// Returns 0 or the Windows error code for a path that cannot be valid.
uint32_t ParsePath(std::string_view path, std::string_view currentDir, uint32_t codePage,
                   ParsedPath* out);

// "C:\dir\name"; a drive root is "C:\".
std::string FormatPath(const ParsedPath& path);

}  // namespace zv::fake
