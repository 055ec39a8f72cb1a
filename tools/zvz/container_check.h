// A maintainer's look at a container: its structure checked strictly (a
// file that is not a container, a record cut short or an unusable name is an
// error) and each record's stream inflated to tell its content size and
// whether its digest holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/container_reader.h"
#include "tools/zvz/host.h"

namespace zv::zvz {

enum class RecordState { kSound, kDamagedStream, kEmpty, kTooLarge, kDigestMismatch };

struct RecordInfo {
  PackageEntry entry;
  RecordState state = RecordState::kSound;
  uint64_t contentSize = 0;  // as far as it was inflated
};

struct ContainerCheck {
  bool isContainer = false;  // at least a 10-byte header beginning with 'C'
  bool sound = false;
  std::string error;  // one line when not sound
  ContainerLayout layout = ContainerLayout::kPlain;
  uint8_t layoutLetter = 0;
  uint32_t recordCount = 0;
  uint32_t endOffset = 0;
  std::vector<RecordInfo> records;  // the records read before any error
};

// Walks the structure of `bytes` (the file `path`). Records are not inflated.
ContainerCheck CheckStructure(const std::string& path, const std::string& bytes, const Host& host);

// Inflates the record's stream (up to kMaxBlockContent, the most the
// installer unpacks) and checks its digest (digest layout).
void InspectRecord(ContainerLayout layout, RecordInfo* record);

const char* DescribeRecordState(RecordState state);

}  // namespace zv::zvz
