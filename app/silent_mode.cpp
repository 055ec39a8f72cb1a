#include "app/run_modes.h"
#include "package/package_resource.h"
#include "package/work_buffer.h"

namespace zv {

int RunSilentMode() {
  // The same preparation as the wizard's window makes on creation, without
  // the backup of user data and without choosing the Pinyin edition.
  LockPackageResource();
  WorkBufferReservation workBuffer;
  // The install sequence runs here once it exists; until then the silent
  // mode ends after its preparation.
  ReleasePackageResource();
  return 0;
}

}  // namespace zv
