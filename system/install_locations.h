// Finding out where the product goes and what kind of Windows this is. Every
// step that builds a path starts from the values these routines set
// (state/locations.h).
#pragma once

#include <cstdint>
#include <string>

#include "state/locations.h"

namespace zv {

// The name of the remembered-directory file.
inline constexpr char kRememberedDirFileName[] = "zavopath.zvh";

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

// Reads the system directory as this process sees it into SystemDir (empty
// when it does not fit its 200 bytes).
void RefreshSystemDir();

// The Windows directory followed by "\syswow64".
void MakeSysWow64Path(FixedText<210>* out);

}  // namespace zv
