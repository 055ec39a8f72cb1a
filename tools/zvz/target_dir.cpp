#include "tools/zvz/target_dir.h"

#include "platform/services.h"
#include "platform/win_constants.h"

namespace zv::zvz {
namespace {

bool IsDirectory(const std::string& path) {
  const uint32_t attributes = platform::Files().GetFileAttributesA(path);
  return attributes != win::kInvalidFileAttributes && (attributes & win::kAttributeDirectory) != 0;
}

}  // namespace

bool PrepareTargetDir(const std::string& directory, bool create, std::string* path,
                      std::string* error) {
  const std::string dir = directory.empty() ? "." : directory;
  std::string withSeparator = dir;
  if (withSeparator.back() != '\\' && withSeparator.back() != '/') withSeparator += '\\';
  if (withSeparator.size() > kMaxTargetDirLength + 1) {
    *error = directory + ": path longer than " + std::to_string(kMaxTargetDirLength) + " bytes";
    return false;
  }
  if (create && !IsDirectory(dir)) platform::Files().CreateDirectoryA(dir);
  if (!IsDirectory(dir)) {
    *error = directory + ": not a directory";
    return false;
  }
  *path = withSeparator;
  return true;
}

}  // namespace zv::zvz
