// The product package carried as the program's resource "KPMTZVZ" of type "ZVZ".
#pragma once

#include <cstddef>
#include <cstdint>

namespace zv {

// The package's bytes: read-only memory of the program's module for the
// whole run. `data` is null until LockPackageResource found the resource.
struct PackageBytes {
  const uint8_t* data = nullptr;
  size_t size = 0;
};
extern PackageBytes PackageResource;

// Looks up, loads and locks the package resource. Returns 1 when found, 0
// otherwise (PackageResource then stays empty).
int LockPackageResource();

// Forgets the package (for tests and the end of a run).
void ReleasePackageResource();

}  // namespace zv
