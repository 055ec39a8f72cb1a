#include "package/file_replace.h"

#include <cstdint>

#include "package/file_io.h"
#include "platform/services.h"
#include "platform/win_constants.h"

namespace zv {
namespace {

// Suffixes of the names a target's replacement uses next to it: the new
// content is written under the first, the old file waits under the second
// until the new one is in place.
constexpr char kNewSuffix[] = "~zvn";
constexpr char kKeptSuffix[] = "~zvo";

// Content is written in pieces of at most this many bytes.
constexpr size_t kWriteChunk = 0x100000;

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

namespace {

enum class WriteOutcome { kWritten, kNotCreated, kFailed };

// Creates the file with `disposition` and writes the content. A file that
// could be created but not written in full is removed rather than left cut
// short.
WriteOutcome WriteNewFile(const std::string& path, const uint8_t* content, size_t length,
                          uint32_t disposition) {
  auto file = platform::Files().CreateFileA(path, win::kGenericWrite, 0, disposition,
                                            win::kAttributeNormal);
  if (!file) return WriteOutcome::kNotCreated;
  bool complete = true;
  for (size_t done = 0; complete && done < length;) {
    const size_t chunk = length - done < kWriteChunk ? length - done : kWriteChunk;
    uint32_t written = 0;
    complete =
        file->Write(content + done, static_cast<uint32_t>(chunk), &written) && written == chunk;
    done += chunk;
  }
  file.reset();
  if (complete) return WriteOutcome::kWritten;
  platform::Files().DeleteFileA(path);
  return WriteOutcome::kFailed;
}

// A module the system has loaded, or a file another program holds, cannot be
// opened for writing; such a target is moved to its neighbour name instead.
bool HeldByTheSystem(const std::string& target) {
  return platform::Files().CreateFileA(
             target, win::kGenericWrite,
             win::kFileShareRead | win::kFileShareWrite | win::kFileShareDelete, win::kOpenExisting,
             win::kAttributeNormal) == nullptr;
}

// Puts the complete file `fresh` in place of `target`. The old target is
// renamed, never deleted, until the new one stands under its name; when any
// step fails the old target is back under its name with its attributes, and
// `fresh` is removed.
bool ReplaceTarget(const std::string& fresh, const std::string& target) {
  platform::FileSystem& files = platform::Files();
  const uint32_t attributes = files.GetFileAttributesA(target);
  bool placed = false;
  if (attributes == win::kInvalidFileAttributes) {
    placed = files.MoveFileA(fresh, target);
  } else {
    files.SetFileAttributesA(target, win::kAttributeArchive);
    if (HeldByTheSystem(target)) {
      placed = MoveLockedFileAside(target) == 0 && files.MoveFileA(fresh, target);
    } else {
      const std::string kept = target + kKeptSuffix;
      DeleteFileForced(kept);
      if (files.MoveFileA(target, kept)) {
        placed = files.MoveFileA(fresh, target);
        if (placed) {
          DeleteFileForced(kept);
        } else {
          files.MoveFileA(kept, target);
        }
      }
    }
    if (!placed) files.SetFileAttributesA(target, attributes);
  }
  if (!placed) files.DeleteFileA(fresh);
  return placed;
}

}  // namespace

bool WriteFileBesideAndSwap(const std::string& target, const uint8_t* content, size_t length) {
  switch (WriteNewFile(target, content, length, win::kCreateNew)) {
    case WriteOutcome::kWritten:
      return true;
    case WriteOutcome::kFailed:
      return false;
    case WriteOutcome::kNotCreated:
      break;  // it exists, or is held: replace it
  }
  const std::string fresh = target + kNewSuffix;
  return WriteNewFile(fresh, content, length, win::kCreateAlways) == WriteOutcome::kWritten &&
         ReplaceTarget(fresh, target);
}

}  // namespace zv
