#include "app/run_modes.h"
#include "package/package_resource.h"
#include "package/work_buffer.h"
#include "sequence/install_sequence.h"

namespace zv {

int RunSilentMode() {
  // The same preparation as the wizard's window makes on creation, without
  // the backup of user data and without choosing the Pinyin edition. The
  // steps that need the package or the work buffer skip themselves when
  // either is missing.
  LockPackageResource();
  WorkBufferReservation workBuffer;
  InstallSequence();
  ReleasePackageResource();
  return 0;
}

}  // namespace zv
