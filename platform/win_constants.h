// Numeric values of the Windows API that the logic passes through the
// platform layer. They are copied here so that code outside platform/ never
// includes a Windows header; platform/win32/ checks each against the real
// definition at compile time.
#pragma once

#include <cstdint>

namespace zv::win {

// File access rights, sharing modes, creation dispositions and flags.
inline constexpr uint32_t kGenericRead = 0x80000000u;
inline constexpr uint32_t kGenericWrite = 0x40000000u;
inline constexpr uint32_t kFileShareRead = 0x1u;
inline constexpr uint32_t kFileShareWrite = 0x2u;
inline constexpr uint32_t kFileShareDelete = 0x4u;
inline constexpr uint32_t kCreateNew = 1;
inline constexpr uint32_t kCreateAlways = 2;
inline constexpr uint32_t kOpenExisting = 3;
inline constexpr uint32_t kOpenAlways = 4;
inline constexpr uint32_t kFileFlagBackupSemantics = 0x02000000u;

// File attributes.
inline constexpr uint32_t kAttributeReadOnly = 0x1u;
inline constexpr uint32_t kAttributeHidden = 0x2u;
inline constexpr uint32_t kAttributeSystem = 0x4u;
inline constexpr uint32_t kAttributeDirectory = 0x10u;
inline constexpr uint32_t kAttributeArchive = 0x20u;
inline constexpr uint32_t kAttributeNormal = 0x80u;
inline constexpr uint32_t kAttributeCompressed = 0x800u;
inline constexpr uint32_t kAttributeNotContentIndexed = 0x2000u;
inline constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

// Drive types.
inline constexpr uint32_t kDriveUnknown = 0;
inline constexpr uint32_t kDriveNoRootDir = 1;
inline constexpr uint32_t kDriveRemovable = 2;
inline constexpr uint32_t kDriveFixed = 3;
inline constexpr uint32_t kDriveRemote = 4;
inline constexpr uint32_t kDriveCdRom = 5;

// Error codes.
inline constexpr uint32_t kErrorSuccess = 0;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidHandle = 6;
inline constexpr uint32_t kErrorNotEnoughMemory = 8;
inline constexpr uint32_t kErrorSharingViolation = 32;
inline constexpr uint32_t kErrorHandleDiskFull = 39;
inline constexpr uint32_t kErrorFileExists = 80;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorDiskFull = 112;
inline constexpr uint32_t kErrorInsufficientBuffer = 122;
inline constexpr uint32_t kErrorDirNotEmpty = 145;
inline constexpr uint32_t kErrorAlreadyExists = 183;
inline constexpr uint32_t kErrorMoreData = 234;
inline constexpr uint32_t kErrorNoMoreItems = 259;

// Message box styles and answers.
inline constexpr uint32_t kMbOk = 0x0u;
inline constexpr uint32_t kMbYesNo = 0x4u;
inline constexpr uint32_t kMbIconError = 0x10u;
inline constexpr uint32_t kMbIconQuestion = 0x20u;
inline constexpr uint32_t kMbIconWarning = 0x30u;
inline constexpr uint32_t kMbIconInformation = 0x40u;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Show commands.
inline constexpr uint32_t kSwHide = 0;
inline constexpr uint32_t kSwShowNormal = 1;
inline constexpr uint32_t kSwShow = 5;

// Registry value types and key access rights.
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kKeyQueryValue = 0x0001u;
inline constexpr uint32_t kKeySetValue = 0x0002u;
inline constexpr uint32_t kKeyCreateSubKey = 0x0004u;
inline constexpr uint32_t kKeyEnumerateSubKeys = 0x0008u;
inline constexpr uint32_t kKeyRead = 0x20019u;
inline constexpr uint32_t kKeyWrite = 0x20006u;
inline constexpr uint32_t kKeyAllAccess = 0xF003Fu;

// ActivateKeyboardLayout flags.
inline constexpr uint32_t kKlfSetForProcess = 0x100u;

// Platform identifiers of the version structure.
inline constexpr uint32_t kVerPlatformWin32Windows = 1;
inline constexpr uint32_t kVerPlatformWin32Nt = 2;

// More error codes of the window manager and the resources.
inline constexpr uint32_t kErrorInvalidWindowHandle = 1400;
inline constexpr uint32_t kErrorCannotFindWndClass = 1407;
inline constexpr uint32_t kErrorClassAlreadyExists = 1410;
inline constexpr uint32_t kErrorResourceNameNotFound = 1814;

// Window messages.
inline constexpr uint32_t kWmCreate = 0x0001;
inline constexpr uint32_t kWmDestroy = 0x0002;
inline constexpr uint32_t kWmSetFocus = 0x0007;
inline constexpr uint32_t kWmKillFocus = 0x0008;
inline constexpr uint32_t kWmSetText = 0x000C;
inline constexpr uint32_t kWmGetText = 0x000D;
inline constexpr uint32_t kWmPaint = 0x000F;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmQuit = 0x0012;
inline constexpr uint32_t kWmSetFont = 0x0030;
inline constexpr uint32_t kWmChar = 0x0102;
inline constexpr uint32_t kWmInitDialog = 0x0110;
inline constexpr uint32_t kWmCommand = 0x0111;
inline constexpr uint32_t kWmTimer = 0x0113;
inline constexpr uint32_t kWmMouseMove = 0x0200;
inline constexpr uint32_t kWmLButtonDown = 0x0201;
inline constexpr uint32_t kWmRButtonDown = 0x0204;
inline constexpr uint32_t kWmUser = 0x0400;

// Button messages, notifications and check states.
inline constexpr uint32_t kBmGetCheck = 0x00F0;
inline constexpr uint32_t kBmSetCheck = 0x00F1;
inline constexpr uint32_t kBmClick = 0x00F5;
inline constexpr uint32_t kBnClicked = 0;
inline constexpr uint32_t kBstUnchecked = 0;
inline constexpr uint32_t kBstChecked = 1;

// Window styles, control styles and SetWindowPos flags.
inline constexpr uint32_t kWsOverlapped = 0x00000000u;
inline constexpr uint32_t kWsPopup = 0x80000000u;
inline constexpr uint32_t kWsChild = 0x40000000u;
inline constexpr uint32_t kWsVisible = 0x10000000u;
inline constexpr uint32_t kWsDisabled = 0x08000000u;
inline constexpr uint32_t kWsCaption = 0x00C00000u;
inline constexpr uint32_t kWsBorder = 0x00800000u;
inline constexpr uint32_t kWsSysMenu = 0x00080000u;
inline constexpr uint32_t kWsGroup = 0x00020000u;
inline constexpr uint32_t kWsTabStop = 0x00010000u;
inline constexpr uint32_t kDsModalFrame = 0x80u;
inline constexpr uint32_t kBsPushButton = 0x0u;
inline constexpr uint32_t kBsDefPushButton = 0x1u;
inline constexpr uint32_t kBsAutoCheckBox = 0x3u;
inline constexpr uint32_t kBsGroupBox = 0x7u;
inline constexpr uint32_t kBsAutoRadioButton = 0x9u;
inline constexpr uint32_t kBsTypeMask = 0xFu;
inline constexpr uint32_t kSwpNoSize = 0x1u;
inline constexpr uint32_t kSwpNoMove = 0x2u;
inline constexpr uint32_t kSwpNoZOrder = 0x4u;
inline constexpr uint32_t kSwpNoActivate = 0x10u;

// GetSystemMetrics indices and the standard arrow cursor.
inline constexpr int32_t kSmCxScreen = 0;
inline constexpr int32_t kSmCyScreen = 1;
inline constexpr uint32_t kIdcArrow = 32512;

// GDI: stock objects, pen styles, font weights and charsets, background
// modes, bitmap creation, raster operations.
inline constexpr int32_t kWhiteBrush = 0;
inline constexpr int32_t kBlackBrush = 4;
inline constexpr int32_t kNullBrush = 5;
inline constexpr int32_t kWhitePen = 6;
inline constexpr int32_t kBlackPen = 7;
inline constexpr int32_t kNullPen = 8;
inline constexpr int32_t kSystemFont = 13;
inline constexpr int32_t kPsSolid = 0;
inline constexpr int32_t kPsNull = 5;
inline constexpr int32_t kFwNormal = 400;
inline constexpr int32_t kFwBold = 700;
inline constexpr uint32_t kDefaultCharset = 1;
inline constexpr uint32_t kGb2312Charset = 134;
inline constexpr uint32_t kChineseBig5Charset = 136;
inline constexpr int32_t kTransparent = 1;
inline constexpr int32_t kOpaque = 2;
inline constexpr uint32_t kClrInvalid = 0xFFFFFFFFu;
inline constexpr uint32_t kCbmInit = 0x4u;
inline constexpr uint32_t kDibRgbColors = 0;
inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kSrcCopy = 0x00CC0020u;

// File mapping access.
inline constexpr uint32_t kFileMapWrite = 0x2u;
inline constexpr uint32_t kFileMapRead = 0x4u;

}  // namespace zv::win
