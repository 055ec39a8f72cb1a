#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/posix/posix_services.h"

namespace zv::platform::posix {
namespace {

class DirectoryHandle {
 public:
  explicit DirectoryHandle(const std::string& path) : dir_(opendir(path.c_str())) {}
  ~DirectoryHandle() {
    if (dir_ != nullptr) closedir(dir_);
  }
  DirectoryHandle(const DirectoryHandle&) = delete;
  DirectoryHandle& operator=(const DirectoryHandle&) = delete;
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool PosixDirectoryListing::ListFiles(const std::string& directory,
                                      std::vector<std::string>* names) {
  names->clear();
  const std::string host = HostPath(directory);
  DirectoryHandle dir(host);
  if (dir.get() == nullptr) return false;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (IsRegularFile(host + "/" + name)) names->push_back(name);
  }
  std::sort(names->begin(), names->end());
  return true;
}

}  // namespace zv::platform::posix
