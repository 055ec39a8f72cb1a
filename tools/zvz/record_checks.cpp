#include "tools/zvz/record_checks.h"

#include <zlib.h>

#include "package/extract.h"
#include "package/record_name.h"

namespace zv::zvz {
namespace {

// Messages keep record names as their 8-bit bytes.
std::string KeepBytes(std::string_view text) { return std::string(text); }

void AddRecordFinding(const RecordScope& scope, const PackageEntry& entry, Severity severity,
                      const std::string& message, PackageReport* report) {
  if (scope.archive.empty()) {
    report->Add(severity, entry.name, message);
  } else {
    report->Add(severity, scope.archive, "record " + std::string(entry.name) + ": " + message);
  }
}

void CheckContent(const RecordScope& scope, ContainerLayout layout, RecordInfo* record,
                  PackageReport* report) {
  InspectRecord(layout, record);
  const PackageEntry& entry = record->entry;
  switch (record->state) {
    case RecordState::kDamagedStream:
      return AddRecordFinding(scope, entry, Severity::kError, "stream does not inflate", report);
    case RecordState::kEmpty:
      return AddRecordFinding(scope, entry, Severity::kError,
                              "unpacks to 0 bytes, which the installer refuses", report);
    case RecordState::kTooLarge:
      return AddRecordFinding(scope, entry, Severity::kError,
                              "unpacks to more than " + std::to_string(kMaxBlockContent) +
                                  " bytes, the most the installer unpacks",
                              report);
    case RecordState::kDigestMismatch:
      return AddRecordFinding(scope, entry, Severity::kError,
                              "content does not match its stored digest", report);
    case RecordState::kSound:
      break;
  }
  if (record->contentSize > scope.contentRoom) {
    AddRecordFinding(scope, entry, Severity::kWarning,
                     "unpacks to " + std::to_string(record->contentSize) +
                         " bytes, more than the " + std::to_string(scope.contentRoom) +
                         " of the scratch slot: unpacked through a block of its own size",
                     report);
  }
  // The installer verifies a plain record by its file being at least as
  // long as the stream.
  if (layout == ContainerLayout::kPlain && entry.streamSize > record->contentSize) {
    AddRecordFinding(scope, entry, Severity::kError,
                     "stream longer than its content: its verification always fails", report);
  }
}

void CheckUnique(const RecordScope& scope, const std::vector<RecordInfo>& records, size_t index,
                 PackageReport* report) {
  const PackageEntry& entry = records[index].entry;
  for (size_t earlier = 0; earlier < index; ++earlier) {
    if (SameFileName(records[earlier].entry.name, entry.name)) {
      AddRecordFinding(scope, entry, Severity::kError,
                       "same file name as record " + std::to_string(earlier + 1) + " (" +
                           std::string(records[earlier].entry.name) + ") ignoring case",
                       report);
      return;
    }
  }
}

}  // namespace

ContainerCheck CheckRecords(const std::string& bytes, const RecordScope& scope,
                            PackageReport* report) {
  const Host keepBytes{nullptr, &KeepBytes, nullptr};
  const std::string_view where = scope.archive.empty() ? kContainerEntry : scope.archive;
  ContainerCheck check = CheckStructure("", bytes, keepBytes);
  // The structure's messages begin with the path given (here none) and ": ".
  const std::string error = check.error.size() >= 2 ? check.error.substr(2) : check.error;
  if (!check.isContainer) {
    report->Add(Severity::kError, where, error);
    return check;
  }
  for (size_t i = 0; i < check.records.size(); ++i) {
    CheckUnique(scope, check.records, i, report);
    CheckContent(scope, check.layout, &check.records[i], report);
  }
  if (!check.sound) report->Add(Severity::kError, where, error);
  return check;
}

bool UnpackRecord(const PackageEntry& entry, std::string* content) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return false;
  stream.next_in = const_cast<Bytef*>(entry.stream);
  stream.avail_in = entry.streamSize;
  content->clear();
  char chunk[0x10000];
  int result = Z_OK;
  while (result == Z_OK && content->size() <= kMaxBlockContent) {
    stream.next_out = reinterpret_cast<Bytef*>(chunk);
    stream.avail_out = sizeof(chunk);
    result = inflate(&stream, Z_NO_FLUSH);
    content->append(chunk, sizeof(chunk) - stream.avail_out);
  }
  inflateEnd(&stream);
  return result == Z_STREAM_END && content->size() <= kMaxBlockContent;
}

}  // namespace zv::zvz
