#include "app/administrator_check.h"

#include <string>

#include "system/install_locations.h"

namespace zv {

int CheckAdministrator() {
  ReadRememberedInstallDir(1);
  DetectSystem();
  if (WindowsMajorVersion < 6) return 0;

  // Only an administrator can write the file in the Windows directory: write
  // the probe, read it back, then write the install directory again.
  WriteRememberedDir(std::string(kAdministratorProbe) + "\\");
  std::string readBack = ReadRememberedDir().value_or("");
  RememberInstallDir();

  if (!readBack.empty() && readBack.back() == '\\') readBack.pop_back();
  return readBack == kAdministratorProbe ? 0 : 1;
}

}  // namespace zv
