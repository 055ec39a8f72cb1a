// The check that the installer runs with administrator rights.
#pragma once

namespace zv {

// The probe text written to the remembered-directory file.
inline constexpr char kAdministratorProbe[] = "zavoisadmin";

// Reads the earlier install directory into PreviousInstallDir, then, from
// Vista on, proves that the Windows directory is writable by writing the
// probe into the remembered-directory file and reading it back, and finally
// rewrites the file with InstallDir. Returns 0 when the installer may go on,
// 1 when it lacks administrator rights.
int CheckAdministrator();

}  // namespace zv
