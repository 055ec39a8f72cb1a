#include "package/user_data_backup.h"

#include <zlib.h>

#include <cstring>
#include <memory>
#include <new>
#include <string_view>

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
// Room added to look for more bytes once the archive's size has been read:
// a file that does not grow gives none, and one that does is read on.
constexpr size_t kReadAheadRoom = 0x10000;
// A source file is read up to this many bytes: no record may pass it.
constexpr size_t kSourceReadLimit = 0xFFFFFFFFu;

// One row of the backup: the name packed, the .zvh it is first copied from
// (or null), whether its failure ends the backup, whether only the
// shape-code edition (EditionFlag 0) packs it, and the name and source that
// the Pinyin edition (EditionFlag 1) takes instead, if any.
struct BackupRow {
  const char* name;
  const char* copiedFrom;
  bool required;
  bool shapeCodeOnly;
  const char* pinyinName;
  const char* pinyinCopiedFrom;
};

constexpr BackupRow kRows[] = {
    {"zavocyzk.bak", "zavocyzk.zvh", true, false, "zavopyck.bak", "zavopyck.zvh"},
    {"zvszsj43.bak", "zvszsj43.zvh", true, false, nullptr, nullptr},
    {"cfontset.bak", "cfontset.zvh", true, false, nullptr, nullptr},
    {"cwbzlcz1.bak", "cwbzlcz1.zvh", true, false, nullptr, nullptr},
    {"zvwbcmxz.bak", "zvwbcmxz.zvh", true, false, nullptr, nullptr},
    {"zvdhzcm.bak", "zvdhzcm.zvh", true, false, nullptr, nullptr},
    {"zavodhz.bak", "zavodhz.zvh", true, false, nullptr, nullptr},
    {"zvgbkhz.bak", "zvgbkhz.zvh", true, false, nullptr, nullptr},
    {"zvszsj43.zvh", nullptr, true, false, nullptr, nullptr},
    {"zavodwdw.txt", nullptr, true, false, nullptr, nullptr},
    {"zavozdym.zvh", nullptr, true, false, nullptr, nullptr},
    {"zvpyzdym.zvh", nullptr, true, false, nullptr, nullptr},
    {"zvwbpy.txt", nullptr, true, false, nullptr, nullptr},
    {"zavoynhz.txt", nullptr, true, false, nullptr, nullptr},
    {"zavozdfh.zvh", nullptr, true, false, nullptr, nullptr},
    {"userck.txt", nullptr, false, false, nullptr, nullptr},
    {"delck.txt", nullptr, false, false, nullptr, nullptr},
    {"ftzvzdym.txt", nullptr, false, false, nullptr, nullptr},
    {"ftpyzdym.txt", nullptr, false, false, nullptr, nullptr},
    {"cwb.ov1", nullptr, false, true, nullptr, nullptr},
    {"zavopymb.ov1", nullptr, false, false, nullptr, nullptr},
    {"zvgbkbh.zvh", nullptr, false, false, nullptr, nullptr},
    {"zvszsj05.zvh", nullptr, false, false, nullptr, nullptr},
    {"zvszsj06.zvh", nullptr, false, false, nullptr, nullptr},
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

// Reads the open file from its current position to its end.
bool ReadRest(platform::File& file, std::string* bytes) {
  bytes->assign(static_cast<size_t>(file.Size()), '\0');
  size_t total = 0;
  for (;;) {
    if (total == bytes->size()) bytes->resize(total + kReadAheadRoom);
    uint32_t got = 0;
    const size_t want = bytes->size() - total < kIoChunk ? bytes->size() - total : kIoChunk;
    if (!file.Read(&(*bytes)[total], static_cast<uint32_t>(want), &got)) return false;
    if (got == 0) break;
    total += got;
  }
  bytes->resize(total);
  return true;
}

void PutContainerHeader(uint8_t* header, uint32_t endOffset, uint32_t count) {
  std::memset(header, 0, kContainerHeaderSize);
  header[0] = kContainerLetter;
  header[kLayoutLetterOffset] = kDigestLayoutLetter;
  WriteU32(header + kEndOffsetOffset, endOffset);
  WriteU32(header + kRecordCountOffset, count);
}

// Opens the archive for reading and writing, creating it with an empty
// header when it does not exist. `*bytes` receives its whole content; the
// file position is then at its end.
std::unique_ptr<platform::File> OpenArchive(const std::string& path, std::string* bytes) {
  platform::FileSystem& files = platform::Files();
  const uint32_t access = win::kGenericRead | win::kGenericWrite;
  auto archive = files.CreateFileA(path, access, 0, win::kOpenExisting, win::kAttributeNormal);
  if (archive) return ReadRest(*archive, bytes) ? std::move(archive) : nullptr;
  if (files.LastError() != win::kErrorFileNotFound) return nullptr;
  archive = files.CreateFileA(path, access, 0, win::kCreateNew, win::kAttributeNormal);
  if (!archive) return nullptr;
  uint8_t header[kContainerHeaderSize];
  PutContainerHeader(header, kContainerHeaderSize, 0);
  if (!WriteAll(*archive, header, sizeof(header))) {
    // A header cut short would make every later addition refuse the file.
    archive.reset();
    files.DeleteFileA(path);
    return nullptr;
  }
  bytes->assign(reinterpret_cast<const char*>(header), sizeof(header));
  return archive;
}

// Whether the archive's bytes are a whole digest-layout container that does
// not yet hold `name`; `*count` receives its record count.
bool CanTake(const std::string& bytes, std::string_view name, uint32_t* count) {
  const ContainerBytes container{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
  ContainerReader reader(container);
  if (!reader.hasHeader() || bytes[0] != kContainerLetter ||
      reader.layout() != ContainerLayout::kDigest) {
    return false;
  }
  PackageEntry entry;
  while (reader.Next(&entry)) {
    if (entry.name == name) return false;
  }
  *count = reader.recordCount();
  return reader.stop() == WalkStop::kNone && reader.recordsRead() == reader.recordCount() &&
         reader.position() == bytes.size();
}

// zlib's compress at its default level into the room compressBound gives, so
// that content that does not shrink is packed too. Empty on failure.
std::string Compress(const std::string& content) {
  uLongf size = compressBound(static_cast<uLong>(content.size()));
  std::string stream(size, '\0');
  if (compress(reinterpret_cast<Bytef*>(&stream[0]), &size,
               reinterpret_cast<const Bytef*>(content.data()),
               static_cast<uLong>(content.size())) != Z_OK) {
    return std::string();
  }
  stream.resize(size);
  return stream;
}

// Rewrites the archive's 10-byte header in place.
bool RewriteHeader(const std::string& path, uint32_t endOffset, uint32_t count) {
  auto archive = platform::Files().CreateFileA(path, win::kGenericWrite, 0, win::kOpenExisting, 0);
  if (!archive) return false;
  uint8_t header[kContainerHeaderSize];
  PutContainerHeader(header, endOffset, count);
  return WriteAll(*archive, header, sizeof(header));
}

int AddRecord(const std::string& archivePath, const std::string& filePath, std::string_view name) {
  uint8_t header[kDigestRecordHeaderSize] = {};
  std::memcpy(header, kRecordMarker, sizeof(kRecordMarker));
  std::memcpy(header + kRecordNameOffset, name.data(), name.size());

  std::string bytes;
  auto archive = OpenArchive(archivePath, &bytes);
  uint32_t count = 0;
  if (!archive || !CanTake(bytes, name, &count)) return 0;
  std::string content;
  if (!ReadFileBytes(filePath, kSourceReadLimit, &content)) return 0;
  BufferDigest(content.data(), content.size(),
               reinterpret_cast<char*>(header + kDigestFieldOffset));
  const std::string stream = Compress(content);
  const uint64_t endOffset = bytes.size() + uint64_t{kDigestRecordHeaderSize} + stream.size();
  if (stream.empty() || endOffset > kMaxArchiveSize) return 0;
  WriteU32(header + kDigestStreamSizeOffset, static_cast<uint32_t>(stream.size()));
  const bool written =
      WriteAll(*archive, header, sizeof(header)) &&
      WriteAll(*archive, reinterpret_cast<const uint8_t*>(stream.data()), stream.size());
  if (!written) {
    // A record cut short would stay behind the archive's end, and every
    // later addition would refuse the archive: cut it off again.
    archive->Truncate(bytes.size());
    return 0;
  }
  archive.reset();
  if (RewriteHeader(archivePath, static_cast<uint32_t>(endOffset), count + 1)) return 1;
  // The header does not count the new record: drop it and put the header
  // back as it was, so that the archive stays whole.
  if (auto again = platform::Files().CreateFileA(archivePath, win::kGenericWrite, 0,
                                                 win::kOpenExisting, 0)) {
    again->Truncate(bytes.size());
  }
  RewriteHeader(archivePath, static_cast<uint32_t>(bytes.size()), count);
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

int BackupUserData() {
  if (!IsDriveDirectory(PreviousInstallDir.view())) return 0;
  if (InstallDir.view() != PreviousInstallDir.view() &&
      !InstallDir.Assign(PreviousInstallDir.view())) {
    return 0;
  }
  const std::string directory = InstallDir.str();
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
