// Finding out where the product goes and what kind of Windows this is. Every
// step that builds a path starts from the values these routines set
// (state/locations.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "state/locations.h"

namespace zv {

// The name of the remembered-directory file.
inline constexpr char kRememberedDirFileName[] = "zavopath.zvh";

// The install directory to use: InstallDir when it is of the form "X:\...",
// and otherwise the default: the Program Files folder, cut at its first '('
// and trailing blanks, followed by "zavoli\". InstallDir is left as it is;
// the start-up sets it from this.
FixedText<200> ChooseInstallDir();

// Makes InstallDir end with a backslash and writes it, without terminator, to
// "<WindowsDir>\zavopath.zvh" and, from Vista on, to
// FindFixedDriveDir() + "zavopath.zvh". Reads SystemDir afresh. Write
// failures are ignored.
void RememberInstallDir();

// Writes `dir` as it is to the files RememberInstallDir writes, in the same
// way; InstallDir is left alone.
void WriteRememberedDir(std::string_view dir);

// The text of "<WindowsDir>\zavopath.zvh" up to its first zero byte;
// nothing when it cannot be read (the system's last error says why).
std::optional<std::string> ReadRememberedDir();

// Reads "<WindowsDir>\zavopath.zvh" into PreviousInstallDir (intoPrevious 1)
// or InstallDir (0). A missing file leaves the destination as it was; a file
// longer than the destination is cut to fit.
void ReadRememberedInstallDir(int intoPrevious);

// The first fixed drive among g: down to c: followed by "zavoli\"
// ("d:\zavoli\"), or an empty text. The drives are probed on the first call
// only: later calls give the same answer until ForgetFixedDriveDir (or
// ResetProcessState).
std::string FindFixedDriveDir();

// Makes the next FindFixedDriveDir probe the drives again.
void ForgetFixedDriveDir();

// Refreshes WindowsMajorVersion (and SysWow64Dir from Vista on) and returns 1
// on a 64-bit Windows: major version 6 or above with a syswow64 folder. A
// version query that fails keeps the version found before.
int DetectSystem();

// Reads the system directory as this process sees it into SystemDir. A
// query that fails (or a directory that does not fit its 200 bytes) keeps
// the directory read before, empty before the first.
void RefreshSystemDir();

// The Windows directory followed by "\syswow64"; empty while the Windows
// directory is unknown. Reads the Windows directory afresh, keeping the one
// read before when the query fails.
void MakeSysWow64Path(FixedText<210>* out);

// `folder` + "\" + `name`, or an empty path when `folder` is empty: a system
// folder that could not be read must not turn into the root of the current
// drive.
std::string FileInFolder(std::string_view folder, std::string_view name);

}  // namespace zv
