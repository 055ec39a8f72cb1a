// Writing the user's data from the backup archive back into InstallDir.
#pragma once

namespace zv {

// When InstallDir differs from PreviousInstallDir (exact text), copies
// PreviousInstallDir + "zavoback.zvz", the archive this run made, over
// InstallDir + "zavoback.zvz"; when PreviousInstallDir is no drive directory
// (IsDriveDirectory) or the copy fails, shows
// "原有数据文件没有成功复制，原有数据不能使用！\r\n" and restores nothing, so
// that an older archive left in InstallDir is never taken for the user's
// data. Then reads InstallDir + "zavoback.zvz" and, unless it is missing or
// shorter than 100 bytes (both silent), unpacks every record into
// InstallDir through WorkBuffer (ExtractContainer: a failing record shows
// its message and leaves its file as it was; a record of no bytes is
// written as the empty file it was) and verifies them (VerifyContainer,
// nothing exempt). A failure list is shown as the list, "\r\n\r\n" and
// "原有数据文件没有成功复制，原有数据不能使用！\r\n"; otherwise
// "成功恢复了<n>个原有数据文件！" with the number of records that passed. Both
// in a UTF-16 box captioned "智能岚汀" with an OK button. An archive that is
// there but cannot be read or held in memory shows that closing sentence
// alone: the earlier data did not come back. The archive is left in place;
// BackupState is not changed. Called only in BackupState 2.
void RestoreUserData();

}  // namespace zv
