#include "system/placed_files.h"

#include <string>

#include "package/file_io.h"
#include "package/package_entries.h"
#include "platform/scoped_fs_redirection.h"
#include "state/locations.h"
#include "system/install_locations.h"

namespace zv {
namespace {

// Larger than any module of the product.
constexpr size_t kModuleLimit = 16u * 1024 * 1024;

bool SameBytes(const std::string& placed, const char* sourceName) {
  std::string expected;
  std::string seen;
  return ReadFileBytes(InstallDir.str() + sourceName, kModuleLimit, &expected) &&
         ReadFileBytes(placed, kModuleLimit, &seen) && seen == expected;
}

// The system directory's files; on a 64-bit Windows the native folder, which
// only calls without redirection reach.
bool SystemDirFilesPlaced(const char* imeSource, const char* uninstallerSource) {
  platform::ScopedFsRedirectionOff native;
  return SameBytes(FileInFolder(SystemDir.view(), entries::kFullIme32), imeSource) &&
         SameBytes(FileInFolder(SystemDir.view(), entries::kUninstaller32), uninstallerSource);
}

}  // namespace

bool SystemFilesPlaced() {
  RefreshSystemDir();
  if (DetectSystem() == 1) {
    MakeSysWow64Path(&SysWow64Dir);
    return SameBytes(FileInFolder(SysWow64Dir.view(), entries::kFullIme32),
                     entries::kPlacedIme32) &&
           SystemDirFilesPlaced(entries::kFullIme64, entries::kUninstaller64);
  }
  const char* ime = WindowsMajorVersion >= 6 ? entries::kPlacedIme32 : entries::kFullIme32;
  return SystemDirFilesPlaced(ime, entries::kUninstaller32);
}

}  // namespace zv
