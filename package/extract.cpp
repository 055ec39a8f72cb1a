#include "package/extract.h"

#include <zlib.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "package/container_reader.h"
#include "package/digest.h"
#include "package/extract_message.h"
#include "package/fast_inflate.h"
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

// Growth step of a block that receives content too large for the scratch slot.
constexpr size_t kBlockStep = size_t{1} << 22;

enum class InflateOutcome { kDone, kTooLarge, kFailed };

// One zlib stream for every record of a container: reset between records
// instead of set up and torn down for each, and run with Z_FINISH so that a
// record inflated in one call is not copied into the stream's window as well.
class SlotInflater {
 public:
  SlotInflater() { ready_ = inflateInit(&stream_) == Z_OK; }
  ~SlotInflater() {
    if (ready_) inflateEnd(&stream_);
  }
  SlotInflater(const SlotInflater&) = delete;
  SlotInflater& operator=(const SlotInflater&) = delete;

  // Decompresses the stream into the content slot, setting `*length`.
  // kTooLarge when the content does not fit the slot; kFailed when the
  // stream is damaged or cut short.
  InflateOutcome Inflate(const PackageEntry& entry, const ScratchArea& scratch, size_t* length) {
    *length = 0;
    if (!ready_) return InflateOutcome::kFailed;
    const size_t room = ScratchContentCapacity(scratch);
    stream_.next_in = const_cast<Bytef*>(entry.stream);
    stream_.avail_in = static_cast<uInt>(entry.streamSize);
    stream_.next_out = scratch.data + kScratchContentOffset;
    stream_.avail_out = static_cast<uInt>(room);
    const int result = inflate(&stream_, Z_FINISH);
    *length = room - stream_.avail_out;
    const bool slotFull = stream_.avail_out == 0;
    ready_ = inflateReset(&stream_) == Z_OK;
    if (result == Z_STREAM_END) return InflateOutcome::kDone;
    // Z_BUF_ERROR with the slot full: more content than room. With room
    // left it means the stream ended before its end mark.
    return result == Z_BUF_ERROR && slotFull ? InflateOutcome::kTooLarge : InflateOutcome::kFailed;
  }

 private:
  z_stream stream_{};
  bool ready_ = false;
};

// Decompresses the stream into a block of the content's own size, followed by
// the room the phrase list filter needs for its trailer. False when the stream
// is damaged or cut short, or the memory is refused.
bool InflateIntoBlock(const PackageEntry& entry, std::vector<uint8_t>* block, size_t* length) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return false;
  stream.next_in = const_cast<Bytef*>(entry.stream);
  stream.avail_in = entry.streamSize;
  int result = Z_OK;
  size_t total = 0;
  try {
    while (result == Z_OK) {
      if (block->size() - total < kPhraseTrailerSize + 1) {
        if (block->size() >= kMaxBlockContent) break;
        block->resize(block->size() + kBlockStep);
      }
      const size_t room = block->size() - kPhraseTrailerSize - total;
      stream.next_out = block->data() + total;
      stream.avail_out = static_cast<uInt>(room);
      result = inflate(&stream, Z_NO_FLUSH);
      total += room - stream.avail_out;
    }
  } catch (const std::bad_alloc&) {
    result = Z_MEM_ERROR;
  }
  inflateEnd(&stream);
  *length = total;
  return result == Z_STREAM_END && total > 0;
}

// Where a record's content lies once decoded, and where its digest text goes.
struct Content {
  uint8_t* data = nullptr;
  size_t length = 0;
  char* digestText = nullptr;
};

// Decodes the content into the scratch slot, by FastInflate when `fast` and
// by zlib otherwise or when the fast decoder leaves the stream to it; or
// into `block` by zlib when it does not fit the slot.
bool Unpack(const PackageEntry& entry, const ScratchArea& scratch, SlotInflater* inflater,
            bool fast, bool emptyIsFile, std::vector<uint8_t>* block, char* blockDigest,
            Content* content) {
  uint8_t* const slot = scratch.data + kScratchContentOffset;
  size_t length = 0;
  const FastInflateResult quick = fast ? FastInflate(entry.stream, entry.streamSize, slot,
                                                     ScratchContentCapacity(scratch), &length)
                                       : FastInflateResult::kFailed;
  InflateOutcome outcome = InflateOutcome::kFailed;
  switch (quick) {
    case FastInflateResult::kDone:
      outcome = InflateOutcome::kDone;
      break;
    case FastInflateResult::kOutputFull:
      outcome = InflateOutcome::kTooLarge;
      break;
    case FastInflateResult::kFailed:
      outcome = inflater->Inflate(entry, scratch, &length);
      break;
  }
  switch (outcome) {
    case InflateOutcome::kDone:
      *content = Content{slot, length, reinterpret_cast<char*>(slot + length + kScratchDigestGap)};
      return length > 0 || emptyIsFile;
    case InflateOutcome::kTooLarge:
      if (!InflateIntoBlock(entry, block, &length)) return false;
      *content = Content{block->data(), length, blockDigest};
      return true;
    case InflateOutcome::kFailed:
      break;
  }
  return false;
}

bool DigestHolds(const PackageEntry& entry, ContainerLayout layout, const Content& content) {
  if (layout != ContainerLayout::kDigest) return true;
  BufferDigest(content.data, content.length, content.digestText);
  return DigestMatches(entry.digestField, content.digestText);
}

// Unpacks one record; false when it failed. Content that fits the scratch
// slot goes through it (name, content, digest text as laid out in extract.h);
// larger content through a block of its own. A record with a digest is first
// decoded by the fast decoder, which the digest then checks; when either
// fails, zlib decodes it again and its verdict stands (a damaged record is
// thus decoded twice).
bool ExtractRecord(const PackageEntry& entry, ContainerLayout layout, std::string_view directory,
                   const ScratchArea& scratch, bool emptyIsFile, SlotInflater* inflater) {
  if (CheckRecordName(entry) != NameProblem::kNone) return false;
  char blockDigest[kDigestTextSize];
  std::vector<uint8_t> block;
  Content content;
  const auto decoded = [&](bool fast) {
    return Unpack(entry, scratch, inflater, fast, emptyIsFile, &block, blockDigest, &content) &&
           DigestHolds(entry, layout, content);
  };
  const bool digested = layout == ContainerLayout::kDigest;
  if (!decoded(digested) && !(digested && decoded(false))) return false;
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
  SlotInflater inflater;
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
