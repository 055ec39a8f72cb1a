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

}  // namespace zv::win
