#include "package/extract.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "package/container_reader.h"
#include "package/digest.h"
#include "package/extract_message.h"
#include "package/file_io.h"
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

// Where a record's content lies once decoded, and where its digest text goes.
struct Content {
  uint8_t* data = nullptr;
  size_t length = 0;
  char* digestText = nullptr;
};

// Decodes records with one zlib stream for every record of a container,
// reset between records instead of set up and torn down for each. Each
// record is decoded once: into the scratch slot with Z_FINISH (so that a
// record that fits is not copied into the stream's window as well), and when
// the slot fills before the stream ends, on into a block of the inflater's
// own that starts with the slot's bytes and keeps room behind the content
// for the phrase list filter's trailer.
class RecordInflater {
 public:
  RecordInflater() { ready_ = inflateInit(&stream_) == Z_OK; }
  ~RecordInflater() {
    if (ready_) inflateEnd(&stream_);
  }
  RecordInflater(const RecordInflater&) = delete;
  RecordInflater& operator=(const RecordInflater&) = delete;

  // Decodes the record's stream into `*content`, which stays valid until the
  // next call. False when the stream is damaged or cut short, when it holds
  // no content and `emptyIsFile` is false, or when memory is refused.
  bool Decode(const PackageEntry& entry, const ScratchArea& scratch, bool emptyIsFile,
              Content* content) {
    std::vector<uint8_t>().swap(block_);
    if (!ready_) return false;
    uint8_t* const slot = scratch.data + kScratchContentOffset;
    const size_t room = ScratchContentCapacity(scratch);
    stream_.next_in = const_cast<Bytef*>(entry.stream);
    stream_.avail_in = static_cast<uInt>(entry.streamSize);
    stream_.next_out = slot;
    stream_.avail_out = static_cast<uInt>(room);
    int result = inflate(&stream_, Z_FINISH);
    size_t length = room - stream_.avail_out;
    // Z_BUF_ERROR with the slot full: more content than room. With room
    // left it means the stream ended before its end mark.
    const bool slotFull = result == Z_BUF_ERROR && stream_.avail_out == 0;
    if (slotFull) result = ContinueIntoBlock(slot, &length);
    ready_ = inflateReset(&stream_) == Z_OK;
    if (result != Z_STREAM_END) return false;
    if (slotFull) {
      *content = Content{block_.data(), length, blockDigest_};
      return true;
    }
    *content = Content{slot, length, reinterpret_cast<char*>(slot + length + kScratchDigestGap)};
    return length > 0 || emptyIsFile;
  }

 private:
  // Moves the `*length` bytes decoded into the slot to the block and decodes
  // the rest of the stream behind them, doubling the content's room each
  // time it fills, up to kMaxBlockContent. Returns zlib's last result
  // (Z_MEM_ERROR when memory is refused, Z_BUF_ERROR when the content is
  // larger than the limit or the stream is cut short).
  int ContinueIntoBlock(const uint8_t* slot, size_t* length) {
    try {
      block_.assign(slot, slot + *length);
      for (;;) {
        const size_t total = *length;
        if (total >= kMaxBlockContent) return Z_BUF_ERROR;
        const size_t room = std::min(kMaxBlockContent, 2 * total) - total;
        block_.resize(total + room + kPhraseTrailerSize);
        stream_.next_out = block_.data() + total;
        stream_.avail_out = static_cast<uInt>(room);
        const int result = inflate(&stream_, Z_FINISH);
        *length = total + room - stream_.avail_out;
        // Full again before the stream's end: the room doubles once more.
        if (result != Z_BUF_ERROR || stream_.avail_out != 0) return result;
      }
    } catch (const std::bad_alloc&) {
      return Z_MEM_ERROR;
    }
  }

  z_stream stream_{};
  bool ready_ = false;
  std::vector<uint8_t> block_;
  char blockDigest_[kDigestTextSize] = {};
};

bool DigestHolds(const PackageEntry& entry, ContainerLayout layout, const Content& content) {
  if (layout != ContainerLayout::kDigest) return true;
  BufferDigest(content.data, content.length, content.digestText);
  return DigestMatches(entry.digestField, content.digestText);
}

// Unpacks one record; false when it failed. Content that fits the scratch
// slot goes through it (name, content, digest text as laid out in extract.h);
// larger content through a block of the inflater's own.
bool ExtractRecord(const PackageEntry& entry, ContainerLayout layout, std::string_view directory,
                   const ScratchArea& scratch, bool emptyIsFile, RecordInflater* inflater) {
  if (CheckRecordName(entry) != NameProblem::kNone) return false;
  Content content;
  if (!inflater->Decode(entry, scratch, emptyIsFile, &content)) return false;
  if (!DigestHolds(entry, layout, content)) return false;
  size_t length = content.length;
  if (entry.name == kPhraseListRecordName) {
    length = CompactPhraseList(content.data, length) + kPhraseTrailerSize;
  }
  std::string target(directory);
  target += entry.name;
  return WriteFileBesideAndSwap(target, content.data, length);
}

// Whether `rules` leave the record alone: a user file kept where it stands,
// or any other record when only the user files are written.
bool PassedOver(std::string_view name, std::string_view directory, const ExtractRules& rules) {
  if (rules.userFiles == UserFileRecords::kWrite) return false;
  const bool userFile = rules.isUserFile != nullptr && rules.isUserFile(name);
  if (rules.userFiles == UserFileRecords::kOnly) return !userFile;
  return userFile && FileMayExist(std::string(directory) + std::string(name));
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

bool ExtractContainer(ContainerBytes container, std::string_view directory, ScratchArea scratch,
                      const ExtractRules& rules) {
  ContainerReader reader(container);
  const bool slotUsable = ScratchContentCapacity(scratch) > 0;
  uint32_t written = 0;
  RecordInflater inflater;
  PackageEntry entry;
  while (reader.Next(&entry)) {
    if (PassedOver(entry.name, directory, rules)) {
      ++written;
      continue;
    }
    if (slotUsable) PutNameInSlot(entry, scratch);
    if (slotUsable && ExtractRecord(entry, reader.layout(), directory, scratch,
                                    rules.emptyRecordsAreFiles, &inflater)) {
      ++written;
    } else {
      ShowRecordFailure(entry.name);
    }
  }
  return reader.hasHeader() && reader.stop() == WalkStop::kNone && written == reader.recordCount();
}

}  // namespace zv
