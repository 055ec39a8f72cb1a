#include "tools/peinfo/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace zv::pe {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool ReadFileBytes(const std::string& path, uint64_t max_size, std::vector<uint8_t>* bytes,
                   std::string* error) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    *error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  bytes->clear();
  uint8_t chunk[65536];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    if (bytes->size() + got > max_size) {
      *error = path + " is larger than " + std::to_string(max_size) + " bytes";
      return false;
    }
    bytes->insert(bytes->end(), chunk, chunk + got);
  }
  if (std::ferror(file.get())) {
    *error = "cannot read " + path;
    return false;
  }
  return true;
}

}  // namespace zv::pe
