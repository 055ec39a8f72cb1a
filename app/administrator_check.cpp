#include "app/administrator_check.h"

#include <string>

#include "system/install_locations.h"

namespace zv {

int CheckAdministrator() {
  ReadRememberedInstallDir(1);
  DetectSystem();
  if (WindowsMajorVersion < 6) return 0;

  const FixedText<200> saved = InstallDir;
  InstallDir.Assign(kAdministratorProbe);
  RememberInstallDir();

  InstallDir.clear();
  ReadRememberedInstallDir(0);
  std::string readBack = InstallDir.str();

  InstallDir = saved;
  RememberInstallDir();

  if (!readBack.empty() && readBack.back() == '\\') readBack.pop_back();
  return readBack == kAdministratorProbe ? 0 : 1;
}

}  // namespace zv
