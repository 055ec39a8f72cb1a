// Where the product goes and what kind of Windows this is. The routines that
// set these values are in system/install_locations.h.
#pragma once

#include <cstdint>

#include "state/fixed_text.h"

namespace zv {

// The install directory: at most 199 bytes of ANSI text. Once
// RememberInstallDir has run it ends with a backslash, so that a file's path
// is InstallDir followed directly by its name.
extern FixedText<200> InstallDir;
// The install directory recorded by an earlier install; empty when none.
extern FixedText<256> PreviousInstallDir;
// The system directory as this process sees it, without trailing backslash.
extern FixedText<200> SystemDir;
// The Windows directory, without trailing backslash.
extern FixedText<200> WindowsDir;
// WindowsDir followed by "\syswow64".
extern FixedText<210> SysWow64Dir;
// 5 for the XP family, 6 and above for Vista and later; 0 before DetectSystem.
extern int32_t WindowsMajorVersion;
// What the fixed-drive search found once FixedDriveSearched is 1: the first
// fixed drive among g: down to c: followed by "zavoli\", or empty for none.
extern FixedText<16> FixedDriveDir;
extern int32_t FixedDriveSearched;

}  // namespace zv
