// The copies of Windows constants in win_constants.h must match the headers.
// OCR_NORMAL is only defined with OEMRESOURCE.
#define OEMRESOURCE
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

static_assert(kErrorInvalidWindowHandle == ERROR_INVALID_WINDOW_HANDLE &&
              kErrorCannotFindWndClass == ERROR_CANNOT_FIND_WND_CLASS &&
              kErrorClassAlreadyExists == ERROR_CLASS_ALREADY_EXISTS &&
              kErrorResourceNameNotFound == ERROR_RESOURCE_NAME_NOT_FOUND);
static_assert(kWmCreate == WM_CREATE && kWmDestroy == WM_DESTROY && kWmSetFocus == WM_SETFOCUS &&
              kWmKillFocus == WM_KILLFOCUS && kWmSetText == WM_SETTEXT &&
              kWmGetText == WM_GETTEXT && kWmPaint == WM_PAINT && kWmClose == WM_CLOSE &&
              kWmQuit == WM_QUIT && kWmSetFont == WM_SETFONT && kWmChar == WM_CHAR &&
              kWmInitDialog == WM_INITDIALOG && kWmCommand == WM_COMMAND && kWmTimer == WM_TIMER &&
              kWmMouseMove == WM_MOUSEMOVE && kWmLButtonDown == WM_LBUTTONDOWN &&
              kWmRButtonDown == WM_RBUTTONDOWN && kWmUser == WM_USER);
static_assert(kBmGetCheck == BM_GETCHECK && kBmSetCheck == BM_SETCHECK && kBmClick == BM_CLICK &&
              kBnClicked == BN_CLICKED && kBstUnchecked == BST_UNCHECKED &&
              kBstChecked == BST_CHECKED);
static_assert(kWsOverlapped == WS_OVERLAPPED && kWsPopup == WS_POPUP && kWsChild == WS_CHILD &&
              kWsVisible == WS_VISIBLE && kWsDisabled == WS_DISABLED && kWsCaption == WS_CAPTION &&
              kWsBorder == WS_BORDER && kWsSysMenu == WS_SYSMENU && kWsGroup == WS_GROUP &&
              kWsTabStop == WS_TABSTOP && kDsModalFrame == DS_MODALFRAME);
static_assert(kBsPushButton == BS_PUSHBUTTON && kBsDefPushButton == BS_DEFPUSHBUTTON &&
              kBsAutoCheckBox == BS_AUTOCHECKBOX && kBsGroupBox == BS_GROUPBOX &&
              kBsAutoRadioButton == BS_AUTORADIOBUTTON && kBsTypeMask == BS_TYPEMASK);
static_assert(kSwpNoSize == SWP_NOSIZE && kSwpNoMove == SWP_NOMOVE &&
              kSwpNoZOrder == SWP_NOZORDER && kSwpNoActivate == SWP_NOACTIVATE);
static_assert(kSmCxScreen == SM_CXSCREEN && kSmCyScreen == SM_CYSCREEN);
// IDC_ARROW is a pointer (MAKEINTRESOURCE); OCR_NORMAL is the same number as an integer.
static_assert(kIdcArrow == OCR_NORMAL);
static_assert(kWhiteBrush == WHITE_BRUSH && kBlackBrush == BLACK_BRUSH &&
              kNullBrush == NULL_BRUSH && kWhitePen == WHITE_PEN && kBlackPen == BLACK_PEN &&
              kNullPen == NULL_PEN && kSystemFont == SYSTEM_FONT);
static_assert(kPsSolid == PS_SOLID && kPsNull == PS_NULL && kFwNormal == FW_NORMAL &&
              kFwBold == FW_BOLD);
static_assert(kDefaultCharset == DEFAULT_CHARSET && kGb2312Charset == GB2312_CHARSET &&
              kChineseBig5Charset == CHINESEBIG5_CHARSET);
static_assert(kTransparent == TRANSPARENT && kOpaque == OPAQUE && kClrInvalid == CLR_INVALID);
static_assert(kCbmInit == CBM_INIT && kDibRgbColors == DIB_RGB_COLORS && kBiRgb == BI_RGB &&
              kSrcCopy == SRCCOPY);
static_assert(kFileMapWrite == FILE_MAP_WRITE && kFileMapRead == FILE_MAP_READ);

}  // namespace zv::win
