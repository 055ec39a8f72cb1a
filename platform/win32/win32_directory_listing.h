// FindFirstFileA / FindNextFileA for the maintainers' tools.
#pragma once

#include "platform/directory_listing.h"

namespace zv::platform::win32 {

class Win32DirectoryListing : public DirectoryListing {
 public:
  bool ListFiles(const std::string& directory, std::vector<std::string>* names) override;
};

}  // namespace zv::platform::win32
