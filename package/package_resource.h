// The product package carried as the program's resource "KPMTZVZ" of type "ZVZ".
#pragma once

#include "state/package_state.h"

namespace zv {

// Looks up, loads and locks the package resource. Returns 1 when found, 0
// otherwise (PackageResource then stays empty).
int LockPackageResource();

// Forgets the package (for tests and the end of a run).
void ReleasePackageResource();

}  // namespace zv
