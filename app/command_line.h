// Reading the installer's command line.
#pragma once

#include <string_view>

#include "state/text_match.h"

namespace zv {

// When the command line's first 'r' begins "regzv32=", replaces InstallDir
// with every byte after it, unchanged; otherwise leaves InstallDir alone. A
// path that would not fit InstallDir with a trailing backslash added is
// refused and also leaves it alone.
void ParseRegisterPath(std::string_view commandLine);

}  // namespace zv
