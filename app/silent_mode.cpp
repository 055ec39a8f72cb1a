#include "app/exit_codes.h"
#include "app/run_modes.h"
#include "package/extra_files.h"
#include "package/install_report.h"
#include "package/package_resource.h"
#include "package/work_buffer.h"
#include "platform/scoped_mutex.h"
#include "sequence/install_sequence.h"
#include "state/install_state.h"
#include "state/locations.h"
#include "system/placed_files.h"

namespace zv {
namespace {

// Held by a silent install while it runs, for every session of the machine.
constexpr char kSilentInstallMutex[] = "Global\\zvsetup-7.8-silent-install";

// The exit code of an install that ran to its end: the package's files in
// the install directory and the directory itself are checked as the wizard
// checks them, without a message, and the IME and uninstaller in the system
// folders against their sources.
int CheckedExitCode() {
  if (!PackageFilesIntact(InstallDir.str())) return kExitIncomplete;
  if (InstallReportVerdict() != nullptr) return kExitIncomplete;
  if (!SystemFilesPlaced()) return kExitIncomplete;
  return RestartRequired == 1 ? kExitRestartRequired : kExitInstalled;
}

}  // namespace

int RunSilentMode() {
  // Two installs at once would lay their files over each other's: a second
  // one stops before it touches anything. Where no such mutex can be made,
  // the install goes on as before.
  const platform::ScopedNamedMutex oneAtATime(kSilentInstallMutex);
  if (oneAtATime.alreadyExisted()) return kExitNotInstalled;
  // The same preparation as the wizard's window makes on creation, without
  // the backup of user data and without choosing the Pinyin edition. The
  // steps that need the package or the work buffer skip themselves when
  // either is missing.
  LockPackageResource();
  WorkBufferReservation workBuffer;
  const int exitCode =
      InstallSequence() == InstallOutcome::kStopped ? kExitNotInstalled : CheckedExitCode();
  ReleasePackageResource();
  return exitCode;
}

}  // namespace zv
