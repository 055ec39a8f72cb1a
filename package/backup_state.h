// What became of the user's earlier data.
#pragma once

#include <cstdint>

namespace zv {

inline constexpr int32_t kBackupNone = 0;
inline constexpr int32_t kBackupComplete = 1;
inline constexpr int32_t kBackupKeepOldData = 2;

// kBackupNone until the earlier data was packed; kBackupComplete once the
// backup archive is whole; kBackupKeepOldData when the user chose to keep it.
extern int32_t BackupState;

}  // namespace zv
