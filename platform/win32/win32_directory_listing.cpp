#include "platform/win32/win32_directory_listing.h"

#include <windows.h>

#include <algorithm>

namespace zv::platform::win32 {
namespace {

class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) : handle_(handle) {}
  ~FindHandle() {
    if (valid()) FindClose(handle_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

bool Win32DirectoryListing::ListFiles(const std::string& directory,
                                      std::vector<std::string>* names) {
  names->clear();
  std::string pattern = directory;
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  pattern += "*";
  WIN32_FIND_DATAA found{};
  FindHandle find(FindFirstFileA(pattern.c_str(), &found));
  if (!find.valid()) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      names->push_back(found.cFileName);
    }
  } while (FindNextFileA(find.get(), &found));
  std::sort(names->begin(), names->end());
  return true;
}

}  // namespace zv::platform::win32
