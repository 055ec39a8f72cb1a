#include "tools/zvz/container_check.h"

#include <zlib.h>

#include <memory>

#include "package/container_writer.h"
#include "package/digest.h"
#include "package/extract.h"
#include "package/record_name.h"
#include "platform/services.h"

namespace zv::zvz {
namespace {

std::string RecordPlace(uint32_t index, uint32_t count, size_t offset) {
  return "record " + std::to_string(index + 1) + " of " + std::to_string(count) + " at offset " +
         std::to_string(offset);
}

std::string StopText(WalkStop stop) {
  switch (stop) {
    case WalkStop::kBadMarker:
      return "no \"CF\" record marker (fewer records than the header counts, or damaged)";
    case WalkStop::kHeaderPastEnd:
      return "record header runs past the end (truncated record)";
    case WalkStop::kStreamPastEnd:
      return "stream size points beyond the end (truncated record)";
    default:
      return "walk stopped";
  }
}

bool Error(ContainerCheck* check, const std::string& message) {
  check->sound = false;
  check->error = message;
  return false;
}

bool CheckHeader(const std::string& path, const std::string& bytes, ContainerCheck* check) {
  if (bytes.size() < kContainerHeaderSize || bytes[0] != kContainerLetter) {
    return Error(check, path + ": not a container (no 10-byte header beginning with 'C')");
  }
  return true;
}

// Inflates the stream, feeding `digest`, until its end or the installer's
// limit. Returns the state the stream alone gives.
RecordState Inflate(const PackageEntry& entry, platform::Md5Context* digest, uint64_t* size) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return RecordState::kDamagedStream;
  stream.next_in = const_cast<Bytef*>(entry.stream);
  stream.avail_in = entry.streamSize;
  auto chunk = std::make_unique<Bytef[]>(0x10000);
  int result = Z_OK;
  while (result == Z_OK && *size <= kMaxBlockContent) {
    stream.next_out = chunk.get();
    stream.avail_out = 0x10000;
    result = inflate(&stream, Z_NO_FLUSH);
    const size_t produced = 0x10000 - stream.avail_out;
    if (digest != nullptr) digest->Update(chunk.get(), produced);
    *size += produced;
  }
  inflateEnd(&stream);
  if (*size > kMaxBlockContent) return RecordState::kTooLarge;
  if (result != Z_STREAM_END) return RecordState::kDamagedStream;
  return *size == 0 ? RecordState::kEmpty : RecordState::kSound;
}

}  // namespace

ContainerCheck CheckStructure(const std::string& path, const std::string& bytes, const Host& host) {
  ContainerCheck check;
  if (!CheckHeader(path, bytes, &check)) return check;
  check.isContainer = true;
  ContainerReader reader(
      ContainerBytes{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
  check.layout = reader.layout();
  check.layoutLetter = reader.layoutLetter();
  check.recordCount = reader.recordCount();
  check.endOffset = reader.endOffset();
  RecordInfo record;
  while (reader.Next(&record.entry)) {
    const NameProblem problem = CheckRecordName(record.entry);
    if (problem != NameProblem::kNone) {
      Error(&check,
            path + ": " +
                RecordPlace(reader.recordsRead() - 1, check.recordCount, record.entry.offset) +
                ": name \"" + host.consoleText(record.entry.name) +
                "\": " + DescribeNameProblem(problem));
      return check;
    }
    check.records.push_back(record);
  }
  if (reader.stop() != WalkStop::kNone) {
    Error(&check, path + ": " +
                      RecordPlace(reader.recordsRead(), check.recordCount, reader.position()) +
                      ": " + StopText(reader.stop()));
    return check;
  }
  check.sound = true;
  return check;
}

void InspectRecord(ContainerLayout layout, RecordInfo* record) {
  std::unique_ptr<platform::Md5Context> digest;
  if (layout == ContainerLayout::kDigest) digest = platform::Digests().Begin();
  record->contentSize = 0;
  record->state = Inflate(record->entry, digest.get(), &record->contentSize);
  if (record->state != RecordState::kSound || layout != ContainerLayout::kDigest) return;
  char digestText[kDigestTextSize] = {};
  if (digest) FormatDigestText(digest->Final(), digestText);
  if (!DigestMatches(record->entry.digestField, digestText)) {
    record->state = RecordState::kDigestMismatch;
  }
}

const char* DescribeRecordState(RecordState state) {
  switch (state) {
    case RecordState::kSound:
      return "ok";
    case RecordState::kDamagedStream:
      return "DAMAGED";
    case RecordState::kEmpty:
      return "EMPTY";
    case RecordState::kTooLarge:
      return "TOO LARGE";
    case RecordState::kDigestMismatch:
      return "DIGEST MISMATCH";
  }
  return "?";
}

}  // namespace zv::zvz
