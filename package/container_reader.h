// Walks the records of a container without ever reading past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "package/container_format.h"

namespace zv {

// One record (a PackageEntry) as it lies in the container. Every view points
// into the container's bytes.
struct PackageEntry {
  // The whole name field: 16 bytes (digest layout) or 14 (plain layout).
  std::string_view nameField;
  // The name: the field up to its first NUL, or the whole field when it holds
  // none (such a name is unusable; see record_name.h).
  std::string_view name;
  // The 34 bytes of the digest field (digest layout only; empty otherwise).
  std::string_view digestField;
  const uint8_t* stream = nullptr;
  uint32_t streamSize = 0;
  // Offset of the record's first byte within the container.
  size_t offset = 0;
};

// Why a walk ended before every counted record was read.
enum class WalkStop {
  kNone,           // every counted record was read (or some are still to come)
  kNoHeader,       // fewer than 10 bytes: no layout letter, no count
  kBadMarker,      // a record does not begin with "CF"
  kHeaderPastEnd,  // a record's header runs past the container's end
  kStreamPastEnd,  // a record's stream size points beyond the container's end
};

// Reads the header of the record at `record` into `entry` (its stream
// pointing just behind the header), given the `left` bytes from the
// record's first byte to the container's end, of which `record` holds at
// least the header's (or all `left` when fewer). kNone when the record is
// sound: its marker is "CF" and its header and stream lie within `left`.
// `entry->offset` is not set.
WalkStop ReadRecordHeader(const uint8_t* record, uint64_t left, ContainerLayout layout,
                          PackageEntry* entry);

class ContainerReader {
 public:
  explicit ContainerReader(ContainerBytes container);

  bool hasHeader() const { return stop_ != WalkStop::kNoHeader; }
  ContainerLayout layout() const { return layout_; }
  // The layout letter as stored (byte 1); 0 without a header.
  uint8_t layoutLetter() const { return letter_; }
  // The record count of the header; 0 without a header.
  uint32_t recordCount() const { return count_; }
  // The end offset field of the header (informational only).
  uint32_t endOffset() const { return endOffset_; }

  // Reads the next counted record into `entry` and moves past it. Returns
  // false once every counted record was read or the walk stopped.
  bool Next(PackageEntry* entry);

  // Why the walk stopped early (kNone when it did not).
  WalkStop stop() const { return stop_; }
  // The offset just behind the last record read.
  size_t position() const { return position_; }
  // The number of records read so far.
  uint32_t recordsRead() const { return read_; }

 private:
  bool Stop(WalkStop why);

  ContainerBytes container_;
  ContainerLayout layout_ = ContainerLayout::kPlain;
  uint8_t letter_ = 0;
  uint32_t count_ = 0;
  uint32_t endOffset_ = 0;
  uint32_t read_ = 0;
  size_t position_ = kContainerHeaderSize;
  WalkStop stop_ = WalkStop::kNone;
};

}  // namespace zv
