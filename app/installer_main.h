// The program's entry routine.
#pragma once

#include <cstdint>

namespace zv {

// Sets the process-wide start-up values, checks administrator rights, then
// runs exactly one mode chosen by `commandLine` (the 8-bit argument text
// without the program name): the companion registration ("regzv32" on a
// 64-bit Windows Vista or later), the silent install ("setzvsrf32") or the
// interactive wizard. Returns the process exit code.
int InstallerMain(void* instance, void* previousInstance, const char* commandLine, int showCommand);

}  // namespace zv
