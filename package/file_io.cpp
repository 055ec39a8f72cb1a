#include "package/file_io.h"

#include <algorithm>

#include "platform/services.h"
#include "platform/win_constants.h"

namespace zv {
namespace {

// Files are read and written in pieces of at most this many bytes.
constexpr size_t kIoChunk = 0x100000;
// What a read past the size the file had when it was opened asks for.
constexpr size_t kGrowthProbe = 0x1000;

}  // namespace

bool ReadFileBytes(const std::string& path, size_t limit, std::string* out) {
  out->clear();
  auto file = platform::Files().CreateFileA(path, win::kGenericRead, win::kFileShareRead,
                                            win::kOpenExisting, win::kAttributeNormal);
  if (!file) return false;
  // Room for what the file holds now; a file that grows meanwhile is read
  // on up to the limit. Once that room is full a small read looks for more,
  // so that a whole file is not moved into a larger block only to learn
  // that it has ended.
  const uint64_t size = file->Size();
  std::string bytes(size < limit ? static_cast<size_t>(size) : limit, '\0');
  size_t total = 0;
  while (total < limit) {
    uint32_t got = 0;
    if (total == bytes.size()) {
      char more[kGrowthProbe];
      const size_t want = std::min(sizeof(more), limit - total);
      if (!file->Read(more, static_cast<uint32_t>(want), &got)) return false;
      bytes.append(more, got);
    } else {
      const size_t want = std::min(bytes.size() - total, kIoChunk);
      if (!file->Read(&bytes[total], static_cast<uint32_t>(want), &got)) return false;
    }
    if (got == 0) break;
    total += got;
  }
  bytes.resize(total);
  *out = std::move(bytes);
  return true;
}

bool WriteFileBytes(const std::string& path, std::string_view bytes) {
  auto file = platform::Files().CreateFileA(path, win::kGenericWrite, 0, win::kCreateAlways,
                                            win::kAttributeNormal);
  if (!file) return false;
  size_t total = 0;
  while (total < bytes.size()) {
    const size_t want = bytes.size() - total;
    const uint32_t chunk = static_cast<uint32_t>(std::min(want, kIoChunk));
    uint32_t written = 0;
    if (!file->Write(bytes.data() + total, chunk, &written) || written == 0) return false;
    total += written;
  }
  return true;
}

int PathExists(const std::string& path) {
  auto file = platform::Files().CreateFileA(path, win::kGenericRead,
                                            win::kFileShareRead | win::kFileShareDelete,
                                            win::kOpenExisting, win::kFileFlagBackupSemantics);
  return file ? 1 : 0;
}

bool IsNotFoundError(uint32_t error) {
  return error == win::kErrorFileNotFound || error == win::kErrorPathNotFound;
}

bool FileMayExist(const std::string& path) {
  platform::FileSystem& files = platform::Files();
  const uint32_t attributes = files.GetFileAttributesA(path);
  if (attributes != win::kInvalidFileAttributes)
    return (attributes & win::kAttributeDirectory) == 0;
  return !IsNotFoundError(files.LastError());
}

}  // namespace zv
