#include "package/user_data_backup.h"

#include <zlib.h>

#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <vector>

#include "package/container_format.h"
#include "package/container_reader.h"
#include "package/digest.h"
#include "package/file_io.h"
#include "package/file_replace.h"
#include "package/record_name.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "state/locations.h"
#include "state/package_state.h"
#include "state/run_state.h"

namespace zv {
namespace {

constexpr uint64_t kMaxArchiveSize = 0xFFFFFFFFu;
constexpr size_t kIoChunk = 0x100000;
// A source file is read up to this many bytes: no record may pass it.
constexpr size_t kSourceReadLimit = 0xFFFFFFFFu;

// One row of the backup: the name packed, the .zvh it is first copied from
// (or null), whether its failure ends the backup, whether only the
// shape-code edition (EditionFlag 0) packs it, and the name and source that
// the Pinyin edition (EditionFlag 1) takes instead, if any. The rows are
// made by the functions below, which name what each row is.
struct BackupRow {
  const char* name = nullptr;
  const char* copiedFrom = nullptr;
  bool required = false;
  bool shapeCodeOnly = false;
  const char* pinyinName = nullptr;
  const char* pinyinCopiedFrom = nullptr;
};

// A file packed as it is when it can be; the backup goes on without it.
constexpr BackupRow OptionalFile(const char* name) {
  BackupRow row;
  row.name = name;
  return row;
}

// A file packed as it is; its failure ends the backup.
constexpr BackupRow RequiredFile(const char* name) {
  BackupRow row = OptionalFile(name);
  row.required = true;
  return row;
}

// A .bak packed after it was copied over from its .zvh; its failure ends the
// backup.
constexpr BackupRow RequiredCopy(const char* name, const char* copiedFrom) {
  BackupRow row = RequiredFile(name);
  row.copiedFrom = copiedFrom;
  return row;
}

// `row` packed by the shape-code edition only.
constexpr BackupRow ShapeCodeOnly(BackupRow row) {
  row.shapeCodeOnly = true;
  return row;
}

// `row` with the name and source the Pinyin edition packs instead.
constexpr BackupRow WithPinyinCopy(BackupRow row, const char* name, const char* copiedFrom) {
  row.pinyinName = name;
  row.pinyinCopiedFrom = copiedFrom;
  return row;
}

constexpr BackupRow kRows[] = {
    WithPinyinCopy(RequiredCopy("zavocyzk.bak", "zavocyzk.zvh"), "zavopyck.bak", "zavopyck.zvh"),
    RequiredCopy("zvszsj43.bak", "zvszsj43.zvh"),
    RequiredCopy("cfontset.bak", "cfontset.zvh"),
    RequiredCopy("cwbzlcz1.bak", "cwbzlcz1.zvh"),
    RequiredCopy("zvwbcmxz.bak", "zvwbcmxz.zvh"),
    RequiredCopy("zvdhzcm.bak", "zvdhzcm.zvh"),
    RequiredCopy("zavodhz.bak", "zavodhz.zvh"),
    RequiredCopy("zvgbkhz.bak", "zvgbkhz.zvh"),
    RequiredFile("zvszsj43.zvh"),
    RequiredFile("zavodwdw.txt"),
    RequiredFile("zavozdym.zvh"),
    RequiredFile("zvpyzdym.zvh"),
    RequiredFile("zvwbpy.txt"),
    RequiredFile("zavoynhz.txt"),
    RequiredFile("zavozdfh.zvh"),
    OptionalFile("userck.txt"),
    OptionalFile("delck.txt"),
    OptionalFile("ftzvzdym.txt"),
    OptionalFile("ftpyzdym.txt"),
    ShapeCodeOnly(OptionalFile("cwb.ov1")),
    OptionalFile("zavopymb.ov1"),
    OptionalFile("zvgbkbh.zvh"),
    OptionalFile("zvszsj05.zvh"),
    OptionalFile("zvszsj06.zvh"),
};

bool WriteAll(platform::File& file, const uint8_t* bytes, size_t length) {
  for (size_t done = 0; done < length;) {
    const size_t chunk = length - done < kIoChunk ? length - done : kIoChunk;
    uint32_t written = 0;
    if (!file.Write(bytes + done, static_cast<uint32_t>(chunk), &written) || written != chunk) {
      return false;
    }
    done += chunk;
  }
  return true;
}

// Reads exactly `size` bytes at the current position; false at an error or
// the end of the file.
bool ReadExactly(platform::File& file, uint8_t* buffer, size_t size) {
  for (size_t total = 0; total < size;) {
    uint32_t got = 0;
    if (!file.Read(buffer + total, static_cast<uint32_t>(size - total), &got) || got == 0) {
      return false;
    }
    total += got;
  }
  return true;
}

// Writes the container header with `endOffset` and `count` at the start of
// the open archive.
bool WriteContainerHeader(platform::File& archive, uint32_t endOffset, uint32_t count) {
  uint8_t header[kContainerHeaderSize] = {};
  header[0] = kContainerLetter;
  header[kLayoutLetterOffset] = kDigestLayoutLetter;
  WriteU32(header + kEndOffsetOffset, endOffset);
  WriteU32(header + kRecordCountOffset, count);
  return archive.Seek(0) && WriteAll(archive, header, sizeof(header));
}

// Opens the archive for reading and writing, creating it with an empty
// header when it does not exist.
std::unique_ptr<platform::File> OpenArchive(const std::string& path) {
  platform::FileSystem& files = platform::Files();
  const uint32_t access = win::kGenericRead | win::kGenericWrite;
  auto archive = files.CreateFileA(path, access, 0, win::kOpenExisting, win::kAttributeNormal);
  if (archive || files.LastError() != win::kErrorFileNotFound) return archive;
  archive = files.CreateFileA(path, access, 0, win::kCreateNew, win::kAttributeNormal);
  if (archive && !WriteContainerHeader(*archive, kContainerHeaderSize, 0)) {
    // A header cut short would make every later addition refuse the file.
    archive.reset();
    files.DeleteFileA(path);
  }
  return archive;
}

// Walks the open archive by its record headers, seeking over each stream,
// so that an addition costs what its own record costs. True when the
// archive is a whole digest-layout container (no trailing bytes) that does
// not hold `name` yet; `*count` then receives its record count, `*end` its
// size, and the position is there.
bool WalkArchive(platform::File& archive, std::string_view name, uint32_t* count, uint64_t* end) {
  const uint64_t size = archive.Size();
  uint8_t header[kDigestRecordHeaderSize];
  if (!archive.Seek(0) || !ReadExactly(archive, header, kContainerHeaderSize) ||
      header[0] != kContainerLetter || header[kLayoutLetterOffset] != kDigestLayoutLetter) {
    return false;
  }
  *count = ReadU32(header + kRecordCountOffset);
  uint64_t position = kContainerHeaderSize;
  for (uint32_t record = 0; record < *count; ++record) {
    const uint64_t left = size - position;
    PackageEntry entry;
    if (!ReadExactly(archive, header, left < sizeof(header) ? left : sizeof(header)) ||
        ReadRecordHeader(header, left, ContainerLayout::kDigest, &entry) != WalkStop::kNone ||
        entry.name == name) {
      return false;
    }
    position += kDigestRecordHeaderSize + entry.streamSize;
    if (!archive.Seek(position)) return false;
  }
  *end = position;
  return position == size;
}

// Deflates `content` at zlib's default level behind the archive's current
// position, a piece at a time: the same stream as compress gives (its loop
// is this one with a larger piece), without a block of the stream's size.
// `*size` receives the stream's size. False when zlib or a write fails.
bool WriteCompressed(platform::File& archive, const std::string& content, uint64_t* size) {
  z_stream stream{};
  if (deflateInit(&stream, Z_DEFAULT_COMPRESSION) != Z_OK) return false;
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
  stream.avail_in = static_cast<uInt>(content.size());
  // A small file's whole stream fits a piece of its bound's size.
  const uLong bound = deflateBound(&stream, static_cast<uLong>(content.size()));
  std::vector<uint8_t> piece(bound < kIoChunk ? bound : kIoChunk);
  int result = Z_OK;
  bool written = true;
  while (result == Z_OK && written) {
    stream.next_out = piece.data();
    stream.avail_out = static_cast<uInt>(piece.size());
    result = deflate(&stream, Z_FINISH);
    const size_t produced = piece.size() - stream.avail_out;
    written = WriteAll(archive, piece.data(), produced);
    *size += produced;
  }
  deflateEnd(&stream);
  return written && result == Z_STREAM_END;
}

// Writes the record for `content` at `end`, the archive's end: its header
// (zero-filled but for "CF", `name`, the content's digest text and the
// stream's size) and its stream. False, with the record cut off again, when
// a write fails or the archive would pass its largest size.
bool WriteRecord(platform::File& archive, uint64_t end, std::string_view name,
                 const std::string& content, uint64_t* endOffset) {
  uint8_t header[kDigestRecordHeaderSize] = {};
  std::memcpy(header, kRecordMarker, sizeof(kRecordMarker));
  std::memcpy(header + kRecordNameOffset, name.data(), name.size());
  BufferDigest(content.data(), content.size(),
               reinterpret_cast<char*>(header + kDigestFieldOffset));
  // The stream's size is known once it is written: the header goes first
  // without it and is written again behind the stream.
  uint64_t streamSize = 0;
  bool written =
      WriteAll(archive, header, sizeof(header)) && WriteCompressed(archive, content, &streamSize);
  *endOffset = end + kDigestRecordHeaderSize + streamSize;
  if (written && *endOffset <= kMaxArchiveSize) {
    WriteU32(header + kDigestStreamSizeOffset, static_cast<uint32_t>(streamSize));
    written = archive.Seek(end) && WriteAll(archive, header, sizeof(header));
    if (written) return true;
  }
  // A record cut short would stay behind the archive's end, and every later
  // addition would refuse the archive: cut it off again.
  archive.Truncate(end);
  return false;
}

int AddRecord(const std::string& archivePath, const std::string& filePath, std::string_view name) {
  auto archive = OpenArchive(archivePath);
  uint32_t count = 0;
  uint64_t end = 0;
  if (!archive || !WalkArchive(*archive, name, &count, &end)) return 0;
  std::string content;
  if (!ReadFileBytes(filePath, kSourceReadLimit, &content)) return 0;
  uint64_t endOffset = 0;
  if (!WriteRecord(*archive, end, name, content, &endOffset)) return 0;
  if (WriteContainerHeader(*archive, static_cast<uint32_t>(endOffset), count + 1)) return 1;
  // The header does not count the new record: drop it and put the header
  // back as it was, so that the archive stays whole.
  archive->Truncate(end);
  WriteContainerHeader(*archive, static_cast<uint32_t>(end), count);
  return 0;
}

}  // namespace

bool IsDriveDirectory(std::string_view directory) {
  if (directory.size() < 3 || directory[1] != ':' || directory[2] != '\\') return false;
  const char letter = directory[0];
  const bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
  return isLetter && directory.back() == '\\';
}

int AddFileToArchive(const std::string& archivePath, const std::string& filePath) {
  if (filePath.empty()) return 0;
  const size_t slash = filePath.rfind('\\');
  return AddFileAs(archivePath, filePath,
                   std::string_view(filePath).substr(slash == std::string::npos ? 0 : slash + 1));
}

int AddFileAs(const std::string& archivePath, const std::string& filePath, std::string_view name) {
  if (filePath.empty() || name.empty() || name.size() > kBackupNameLimit) return 0;
  try {
    return AddRecord(archivePath, filePath, name);
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

int BackupUserData(std::string_view earlierDir) {
  // A directory longer than an install directory can be is no earlier install's.
  if (!IsDriveDirectory(earlierDir) || earlierDir.size() > decltype(InstallDir)::kMaxLength) {
    return 0;
  }
  const std::string directory(earlierDir);
  const std::string archive = directory + kBackupArchiveName;
  DeleteFileForced(archive);
  for (const BackupRow& row : kRows) {
    if (row.shapeCodeOnly && EditionFlag != 0) continue;
    const bool pinyin = EditionFlag == 1 && row.pinyinName != nullptr;
    const std::string name = pinyin ? row.pinyinName : row.name;
    const char* copiedFrom = pinyin ? row.pinyinCopiedFrom : row.copiedFrom;
    // A copy that failed would leave an older copy to be packed, or none:
    // the file itself is then packed under the copy's name.
    const bool packed =
        copiedFrom != nullptr &&
        !platform::Files().CopyFileA(directory + copiedFrom, directory + name, false) &&
        AddFileAs(archive, directory + copiedFrom, name) != 0;
    if (packed || AddFileToArchive(archive, directory + name) != 0) continue;
    // The user's own file is the .zvh a .bak row is copied from.
    if (FileMayExist(directory + (copiedFrom != nullptr ? copiedFrom : name.c_str()))) {
      UserDataUnsaved = 1;
    }
    if (row.required) return 0;
  }
  return 1;
}

bool IsUserDataFile(std::string_view name) {
  for (const BackupRow& row : kRows) {
    for (const char* own : {row.name, row.copiedFrom, row.pinyinName, row.pinyinCopiedFrom}) {
      if (own != nullptr && SameFileName(name, own)) return true;
    }
  }
  return false;
}

}  // namespace zv
