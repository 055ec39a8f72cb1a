#include "package/backup_state.h"

namespace zv {

int32_t BackupState = kBackupNone;

}  // namespace zv
