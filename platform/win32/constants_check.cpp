// The copies of Windows constants in win_constants.h must match the headers.
#include <windows.h>

#include "platform/win_constants.h"

namespace zv::win {

static_assert(kGenericRead == GENERIC_READ && kGenericWrite == GENERIC_WRITE);
static_assert(kFileShareRead == FILE_SHARE_READ && kFileShareWrite == FILE_SHARE_WRITE &&
              kFileShareDelete == FILE_SHARE_DELETE);
static_assert(kCreateNew == CREATE_NEW && kCreateAlways == CREATE_ALWAYS &&
              kOpenExisting == OPEN_EXISTING && kOpenAlways == OPEN_ALWAYS);
static_assert(kFileFlagBackupSemantics == FILE_FLAG_BACKUP_SEMANTICS);
static_assert(kAttributeReadOnly == FILE_ATTRIBUTE_READONLY &&
              kAttributeHidden == FILE_ATTRIBUTE_HIDDEN &&
              kAttributeSystem == FILE_ATTRIBUTE_SYSTEM &&
              kAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY &&
              kAttributeArchive == FILE_ATTRIBUTE_ARCHIVE &&
              kAttributeNormal == FILE_ATTRIBUTE_NORMAL &&
              kInvalidFileAttributes == INVALID_FILE_ATTRIBUTES);
static_assert(kDriveFixed == DRIVE_FIXED && kDriveCdRom == DRIVE_CDROM &&
              kDriveRemovable == DRIVE_REMOVABLE && kDriveRemote == DRIVE_REMOTE &&
              kDriveNoRootDir == DRIVE_NO_ROOT_DIR);
static_assert(kErrorFileNotFound == ERROR_FILE_NOT_FOUND &&
              kErrorPathNotFound == ERROR_PATH_NOT_FOUND &&
              kErrorAccessDenied == ERROR_ACCESS_DENIED &&
              kErrorSharingViolation == ERROR_SHARING_VIOLATION &&
              kErrorFileExists == ERROR_FILE_EXISTS && kErrorDiskFull == ERROR_DISK_FULL &&
              kErrorAlreadyExists == ERROR_ALREADY_EXISTS && kErrorMoreData == ERROR_MORE_DATA &&
              kErrorNoMoreItems == ERROR_NO_MORE_ITEMS &&
              kErrorHandleDiskFull == ERROR_HANDLE_DISK_FULL &&
              kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER &&
              kErrorInvalidParameter == ERROR_INVALID_PARAMETER);
static_assert(kMbOk == MB_OK && kMbYesNo == MB_YESNO && kMbIconError == MB_ICONERROR &&
              kMbIconQuestion == MB_ICONQUESTION && kMbIconWarning == MB_ICONWARNING &&
              kMbIconInformation == MB_ICONINFORMATION);
static_assert(kIdOk == IDOK && kIdCancel == IDCANCEL && kIdYes == IDYES && kIdNo == IDNO);
static_assert(kSwHide == SW_HIDE && kSwShowNormal == SW_SHOWNORMAL && kSwShow == SW_SHOW);
static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ && kRegBinary == REG_BINARY &&
              kRegDword == REG_DWORD && kRegNone == REG_NONE);
static_assert(kKeyRead == KEY_READ && kKeyWrite == KEY_WRITE && kKeyAllAccess == KEY_ALL_ACCESS &&
              kKeyQueryValue == KEY_QUERY_VALUE && kKeySetValue == KEY_SET_VALUE &&
              kKeyCreateSubKey == KEY_CREATE_SUB_KEY &&
              kKeyEnumerateSubKeys == KEY_ENUMERATE_SUB_KEYS);
static_assert(kKlfSetForProcess == KLF_SETFORPROCESS);
static_assert(kVerPlatformWin32Windows == VER_PLATFORM_WIN32_WINDOWS &&
              kVerPlatformWin32Nt == VER_PLATFORM_WIN32_NT);

}  // namespace zv::win
