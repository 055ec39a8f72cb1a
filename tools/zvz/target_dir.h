// The directory that verify and extract work in, made the installer's
// InstallDir.
#pragma once

#include <string>

namespace zv::zvz {

// Sets InstallDir to `directory` with a trailing backslash. When `create` is
// set a missing directory is created (its parent must exist). False with
// `*error` set when the path is too long for InstallDir or is no directory.
bool UseAsInstallDir(const std::string& directory, bool create, std::string* error);

}  // namespace zv::zvz
