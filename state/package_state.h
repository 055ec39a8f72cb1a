// The package, the scratch block every install step shares, and what became
// of the user's earlier data. The routines that set them are in package/.
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

// The 2 MiB zero-filled scratch block's size and address; null while no
// WorkBufferReservation holds it.
inline constexpr size_t kWorkBufferSize = 0x200000;
extern uint8_t* WorkBuffer;

inline constexpr int32_t kBackupNone = 0;
inline constexpr int32_t kBackupComplete = 1;
inline constexpr int32_t kBackupKeepOldData = 2;

// kBackupNone until the earlier data was packed; kBackupComplete once the
// backup archive is whole; kBackupKeepOldData when the user chose to keep it.
extern int32_t BackupState;

// 1 when a data file of the earlier installation exists but could not be
// packed into the backup archive: the install then leaves every data file
// there as it is rather than lay the package's copies over them, unless
// the user says not to keep the earlier data.
extern int32_t UserDataUnsaved;

// 1 when the option record in InstallDir is the user's own, left in place
// by the extraction for UserDataUnsaved: it is then not rewritten.
extern int32_t OptionRecordKept;

}  // namespace zv
