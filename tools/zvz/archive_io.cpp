#include "tools/zvz/archive_io.h"

#include <memory>

#include "package/file_io.h"
#include "platform/services.h"
#include "platform/win_constants.h"

namespace zv::zvz {
namespace {

std::string ErrorText(const std::string& what, uint32_t code) {
  return what + " (error " + std::to_string(code) + ")";
}

// Creates a temporary file beside `path` that did not exist before.
std::unique_ptr<platform::File> CreateTemporary(const std::string& path, std::string* tempPath) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    *tempPath = path + ".zvz-tmp" + std::to_string(attempt);
    auto file = platform::Files().CreateFileA(*tempPath, win::kGenericWrite, 0, win::kCreateNew,
                                              win::kAttributeNormal);
    if (file) return file;
    const uint32_t error = platform::Files().LastError();
    if (error != win::kErrorFileExists && error != win::kErrorAlreadyExists) return nullptr;
  }
  return nullptr;
}

bool WriteAll(platform::File& file, std::string_view bytes) {
  size_t total = 0;
  while (total < bytes.size()) {
    const size_t left = bytes.size() - total;
    const uint32_t chunk = left > 0x100000 ? 0x100000u : static_cast<uint32_t>(left);
    uint32_t written = 0;
    if (!file.Write(bytes.data() + total, chunk, &written) || written == 0) return false;
    total += written;
  }
  return true;
}

bool PutInPlace(const std::string& tempPath, const std::string& path) {
  auto& files = platform::Files();
  if (files.GetFileAttributesA(path) != win::kInvalidFileAttributes && !files.DeleteFileA(path)) {
    return false;
  }
  return files.MoveFileA(tempPath, path);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
  auto file = platform::Files().CreateFileA(path, win::kGenericRead, win::kFileShareRead,
                                            win::kOpenExisting, win::kAttributeNormal);
  if (!file) {
    *error = ErrorText(path + ": cannot open", platform::Files().LastError());
    return false;
  }
  const uint64_t size = file->Size();
  file.reset();
  if (size > 0xFFFFFFFFu) {
    *error = path + ": larger than 4 GiB, not a container";
    return false;
  }
  if (!ReadFileBytes(path, static_cast<size_t>(size), bytes)) {
    *error = ErrorText(path + ": cannot read", platform::Files().LastError());
    return false;
  }
  return true;
}

bool WriteFileReplacing(const std::string& path, std::string_view bytes, std::string* error) {
  std::string tempPath;
  auto file = CreateTemporary(path, &tempPath);
  if (!file) {
    *error = ErrorText(path + ": cannot create a temporary file beside it",
                       platform::Files().LastError());
    return false;
  }
  const bool written = WriteAll(*file, bytes);
  file.reset();
  if (!written || !PutInPlace(tempPath, path)) {
    const uint32_t code = platform::Files().LastError();
    platform::Files().DeleteFileA(tempPath);
    *error = ErrorText(path + (written ? ": cannot replace" : ": cannot write"), code);
    return false;
  }
  return true;
}

}  // namespace zv::zvz
