// Listing the files of a directory (FindFirstFileA / FindNextFileA), for the
// maintainers' tools.
#pragma once

#include <string>
#include <vector>

namespace zv::platform {

class DirectoryListing {
 public:
  virtual ~DirectoryListing() = default;
  // Fills `names` with the 8-bit names of the regular files directly inside
  // `directory` (no subdirectories, no "." or ".."), sorted by their bytes.
  // Returns false when the directory cannot be listed.
  virtual bool ListFiles(const std::string& directory, std::vector<std::string>* names) = 0;
};

}  // namespace zv::platform
