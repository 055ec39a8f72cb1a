// Where the product goes and what kind of Windows this is. Every step that
// builds a path starts from the values kept here.
#pragma once

#include <cstdint>
#include <string>

#include "platform/fixed_text.h"

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

// The name of the remembered-directory file.
inline constexpr char kRememberedDirFileName[] = "zavopath.zvh";

// Empties every value above (for tests and a fresh start).
void ResetInstallLocations();

// Keeps an InstallDir of the form "X:\..." and otherwise computes the
// default: the Program Files folder, cut at its first '(' and trailing
// blanks, followed by "zavoli\". Returns InstallDir.
const FixedText<200>& ChooseInstallDir();

// Makes InstallDir end with a backslash and writes it, without terminator, to
// "<WindowsDir>\zavopath.zvh" and, from Vista on, to
// FindFixedDriveDir() + "zavopath.zvh". Reads SystemDir afresh. Write
// failures are ignored.
void RememberInstallDir();

// Reads "<WindowsDir>\zavopath.zvh" into PreviousInstallDir (intoPrevious 1)
// or InstallDir (0). A missing file leaves the destination as it was; a file
// longer than the destination is cut to fit.
void ReadRememberedInstallDir(int intoPrevious);

// The first fixed drive among g: down to c: followed by "zavoli\"
// ("d:\zavoli\"), or an empty text.
std::string FindFixedDriveDir();

// Refreshes WindowsMajorVersion (and SysWow64Dir from Vista on) and returns 1
// on a 64-bit Windows: major version 6 or above with a syswow64 folder.
int DetectSystem();

// The Windows directory followed by "\syswow64".
void MakeSysWow64Path(FixedText<210>* out);

// 1 when the file or directory can be opened, else 0.
int PathExists(const std::string& path);

}  // namespace zv
