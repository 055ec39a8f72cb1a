#include "package/extract.h"

#include <zlib.h>

#include <cstring>
#include <string>

#include "package/container_reader.h"
#include "package/digest.h"
#include "package/extract_message.h"
#include "package/file_replace.h"
#include "package/phrase_list.h"
#include "package/record_name.h"
#include "package/work_buffer.h"
#include "platform/services.h"
#include "platform/win_constants.h"

namespace zv {
namespace {

// Copies the record's name into the scratch name slot, NUL-terminated.
void PutNameInSlot(const PackageEntry& entry, const ScratchArea& scratch) {
  std::memcpy(scratch.data + kScratchNameOffset, entry.name.data(), entry.name.size());
  scratch.data[kScratchNameOffset + entry.name.size()] = '\0';
}

// Decompresses the stream into the content slot. Returns the content length,
// or 0 when the stream is damaged, too large for the slot or empty.
size_t Inflate(const PackageEntry& entry, const ScratchArea& scratch) {
  uLongf length = static_cast<uLongf>(ScratchContentCapacity(scratch));
  if (length == 0) return 0;
  const int result =
      uncompress(scratch.data + kScratchContentOffset, &length, entry.stream, entry.streamSize);
  return result == Z_OK ? static_cast<size_t>(length) : 0;
}

bool DigestChecks(const PackageEntry& entry, const ScratchArea& scratch, size_t length) {
  uint8_t* content = scratch.data + kScratchContentOffset;
  char* digestText = reinterpret_cast<char*>(content + length + kScratchDigestGap);
  BufferDigest(content, length, digestText);
  return DigestMatches(entry.digestField, digestText);
}

// Creates the target anew and writes the content. A target that could be
// created but not written in full is removed rather than left cut short.
bool WriteTarget(const std::string& target, const uint8_t* content, size_t length) {
  auto file = platform::Files().CreateFileA(target, win::kGenericWrite, 0, win::kCreateAlways,
                                            win::kAttributeNormal);
  if (!file) return false;
  uint32_t written = 0;
  const bool complete =
      file->Write(content, static_cast<uint32_t>(length), &written) && written == length;
  file.reset();
  if (!complete) platform::Files().DeleteFileA(target);
  return complete;
}

void ClearTarget(const std::string& target) {
  if (DeleteFileForced(target) == -1) MoveLockedFileAside(target);
}

// Unpacks one record; false when it failed.
bool ExtractRecord(const PackageEntry& entry, ContainerLayout layout, std::string_view directory,
                   const ScratchArea& scratch) {
  if (CheckRecordName(entry) != NameProblem::kNone) return false;
  size_t length = Inflate(entry, scratch);
  if (length == 0) return false;
  if (layout == ContainerLayout::kDigest && !DigestChecks(entry, scratch, length)) return false;
  std::string target(directory);
  target += entry.name;
  ClearTarget(target);
  uint8_t* content = scratch.data + kScratchContentOffset;
  if (entry.name == kPhraseListRecordName) {
    length = CompactPhraseList(content, length) + kPhraseTrailerSize;
  }
  return WriteTarget(target, content, length);
}

}  // namespace

size_t ScratchContentCapacity(const ScratchArea& scratch) {
  if (scratch.data == nullptr || scratch.size <= kScratchContentOffset + kScratchDigestRoom) {
    return 0;
  }
  return scratch.size - kScratchContentOffset - kScratchDigestRoom;
}

ScratchArea WorkBufferScratch() {
  return ScratchArea{WorkBuffer, WorkBuffer ? kWorkBufferSize : 0};
}

ScratchArea SkinArchiveScratch() {
  if (WorkBuffer == nullptr) return ScratchArea{};
  return ScratchArea{WorkBuffer + kSkinArchiveRoom, kWorkBufferSize - kSkinArchiveRoom};
}

bool ExtractContainer(ContainerBytes container, std::string_view directory, ScratchArea scratch) {
  ContainerReader reader(container);
  const bool slotUsable = ScratchContentCapacity(scratch) > 0;
  uint32_t written = 0;
  PackageEntry entry;
  while (reader.Next(&entry)) {
    if (slotUsable) PutNameInSlot(entry, scratch);
    if (slotUsable && ExtractRecord(entry, reader.layout(), directory, scratch)) {
      ++written;
    } else {
      ShowRecordFailure(entry.name);
    }
  }
  return reader.hasHeader() && reader.stop() == WalkStop::kNone && written == reader.recordCount();
}

}  // namespace zv
