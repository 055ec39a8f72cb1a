#include "package/package_resource.h"

#include "platform/services.h"

namespace zv {

int LockPackageResource() {
  const platform::ResourceBytes bytes = platform::Res().LoadResourceBytes("KPMTZVZ", "ZVZ");
  if (bytes.data == nullptr) {
    PackageResource = PackageBytes{};
    return 0;
  }
  PackageResource = PackageBytes{bytes.data, bytes.size};
  return 1;
}

void ReleasePackageResource() { PackageResource = PackageBytes{}; }

}  // namespace zv
