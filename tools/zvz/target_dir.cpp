#include "tools/zvz/target_dir.h"

#include "platform/services.h"
#include "platform/win_constants.h"
#include "system/install_locations.h"

namespace zv::zvz {
namespace {

bool IsDirectory(const std::string& path) {
  const uint32_t attributes = platform::Files().GetFileAttributesA(path);
  return attributes != win::kInvalidFileAttributes && (attributes & win::kAttributeDirectory) != 0;
}

}  // namespace

bool UseAsInstallDir(const std::string& directory, bool create, std::string* error) {
  const std::string dir = directory.empty() ? "." : directory;
  std::string path = dir;
  if (path.back() != '\\' && path.back() != '/') path += '\\';
  if (!InstallDir.Assign(path)) {
    *error =
        directory + ": path longer than " + std::to_string(InstallDir.kMaxLength - 1) + " bytes";
    return false;
  }
  if (create && !IsDirectory(dir)) platform::Files().CreateDirectoryA(dir);
  if (!IsDirectory(dir)) {
    *error = directory + ": not a directory";
    return false;
  }
  return true;
}

}  // namespace zv::zvz
