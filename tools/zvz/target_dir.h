// The directory that verify and extract work in.
#pragma once

#include <string>

namespace zv::zvz {

// The longest directory path accepted, as for the installer's own install
// directory with its trailing backslash.
inline constexpr size_t kMaxTargetDirLength = 198;

// Checks `directory` and gives in `*path` the form records are named below:
// the path with a trailing backslash. When `create` is set a missing
// directory is created (its parent must exist). False with `*error` set when
// the path is longer than kMaxTargetDirLength or is no directory.
bool PrepareTargetDir(const std::string& directory, bool create, std::string* path,
                      std::string* error);

}  // namespace zv::zvz
