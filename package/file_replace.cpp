#include "package/file_replace.h"

#include "package/file_io.h"
#include "platform/services.h"
#include "platform/win_constants.h"

namespace zv {
namespace {

// True when the attribute query says that nothing of that name exists. Any
// other answer (a file, a directory, an error such as access denied) leaves
// the question open.
bool SurelyAbsent(const std::string& path) {
  platform::FileSystem& files = platform::Files();
  if (files.GetFileAttributesA(path) != win::kInvalidFileAttributes) return false;
  return IsNotFoundError(files.LastError());
}

bool CanOpenForReading(const std::string& path) {
  auto file = platform::Files().CreateFileA(
      path, win::kGenericRead, win::kFileShareRead | win::kFileShareWrite | win::kFileShareDelete,
      win::kOpenExisting, win::kAttributeNormal);
  return file != nullptr;
}

// Where the file name begins: behind the last '\' or '/' (or ':' of a drive).
size_t NameStart(const std::string& path) {
  const size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? 0 : separator + 1;
}

// Replaces the character `fromEnd` places from the end of `path` by
// `replacement`. False when that character is not part of the file name.
bool ReplaceFromEnd(std::string* path, size_t fromEnd, char replacement) {
  if (path->size() < fromEnd || path->size() - fromEnd < NameStart(*path)) return false;
  (*path)[path->size() - fromEnd] = replacement;
  return true;
}

bool MoveTo(const std::string& path, const std::string& neighbour) {
  DeleteFileForced(neighbour);
  return platform::Files().MoveFileA(path, neighbour);
}

}  // namespace

int DeleteFileForced(const std::string& path) {
  // A name that is not there (a companion before a fresh install's
  // extraction, a free neighbour name) is settled by one query, where the
  // attribute change and the open would each look it up again: under Wine
  // each lookup of a missing name scans its whole directory.
  if (SurelyAbsent(path)) return 0;
  platform::Files().SetFileAttributesA(path, win::kAttributeArchive);
  if (!CanOpenForReading(path)) return 0;
  return platform::Files().DeleteFileA(path) ? 0 : -1;
}

int MoveLockedFileAside(const std::string& path) {
  std::string neighbour = path;
  if (!ReplaceFromEnd(&neighbour, 5, '2')) return -1;
  if (MoveTo(path, neighbour)) return 0;
  if (!ReplaceFromEnd(&neighbour, 6, '1')) return -1;
  return MoveTo(path, neighbour) ? 0 : -1;
}

}  // namespace zv
