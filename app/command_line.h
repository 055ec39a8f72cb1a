// Reading the installer's command line.
#pragma once

#include <string_view>

namespace zv {

// 1 when `keyword` occurs anywhere in `text`, else 0. Capital letters A-Z of
// `text` also match their lower-case forms in `keyword`, so lower-case
// keywords match the command line regardless of case.
int ContainsIgnoreCase(std::string_view text, std::string_view keyword);

// When the command line's first 'r' begins "regzv32=", replaces InstallDir
// with every byte after it, unchanged; otherwise leaves InstallDir alone. A
// path that would not fit InstallDir with a trailing backslash added is
// refused and also leaves it alone.
void ParseRegisterPath(std::string_view commandLine);

}  // namespace zv
