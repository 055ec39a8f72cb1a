// Unpacking every record of a container into a directory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "package/container_format.h"
#include "state/package_state.h"

namespace zv {

// The part of WorkBuffer that an extraction may use, laid out as:
//   0                     the current record's name, NUL-terminated
//   100                   the record's uncompressed content
//   100 + length + 10     the content's digest text (34 bytes)
// The content may take all the room but the 44 bytes the digest text needs
// behind it: 2,097,008 bytes for the whole WorkBuffer. Larger content (up to
// 1 GiB) is unpacked through a block of its own size instead, and checked
// and written the same way.
struct ScratchArea {
  uint8_t* data = nullptr;
  size_t size = 0;
};

inline constexpr size_t kScratchNameOffset = 0;
inline constexpr size_t kScratchContentOffset = 100;
inline constexpr size_t kScratchDigestGap = 10;
inline constexpr size_t kScratchDigestRoom = kScratchDigestGap + kDigestTextSize;

// The largest content the scratch slot of the whole WorkBuffer holds
// (2,097,008 bytes); larger content goes through a block of its own.
inline constexpr size_t kWorkBufferContentRoom =
    kWorkBufferSize - kScratchContentOffset - kScratchDigestRoom;
// The largest content a record may unpack to at all: a stream that needs
// more room is refused. No file of the product or of the user comes near it;
// a damaged or hostile stream might.
inline constexpr size_t kMaxBlockContent = size_t{1} << 30;

// A skin archive is read into the first 131,072 bytes of WorkBuffer; its
// extraction uses the rest.
inline constexpr size_t kSkinArchiveRoom = 131072;

// The room a record's content may take in `scratch` (0 when it is too small
// to hold even the name slot and a digest).
size_t ScratchContentCapacity(const ScratchArea& scratch);

// The whole WorkBuffer (the package and the backup archive).
ScratchArea WorkBufferScratch();
// WorkBuffer behind the skin archive's 131,072 bytes.
ScratchArea SkinArchiveScratch();

// What becomes of the records that ExtractRules::isUserFile accepts.
enum class UserFileRecords {
  kWrite,         // written as every other record
  kKeepExisting,  // one whose target exists (a file) is left alone and counts as written
  kOnly,          // only these are written; the others are passed over and count as written
};

// How an extraction treats the user's data files and empty records.
struct ExtractRules {
  // Whether a record's name is one of the user's data files; null: none is.
  bool (*isUserFile)(std::string_view name) = nullptr;
  UserFileRecords userFiles = UserFileRecords::kWrite;
  // Whether a record that unpacks to no bytes is an empty file, as a user
  // file packed empty into the backup archive is, rather than a failure,
  // as in the package and the skins, which never carry an empty file.
  bool emptyRecordsAreFiles = false;
};

// Unpacks every counted record of `container` into `directory` followed
// directly by the record's name (so `directory` ends with a backslash), in
// file order. Each record is decompressed and (digest layout) checked against
// its digest before the target is touched, then written by
// WriteFileBesideAndSwap (file_replace.h). A record that fails (a damaged
// stream, no content, a digest mismatch, an unusable name, a target that
// cannot be written) shows its message and leaves its target as it was, with
// its content and attributes; the walk goes on. The walk stops silently at a
// record without its "CF" marker or one running past the container's end.
// Returns true when every record counted in the header was written in full
// (or passed over by `rules`).
bool ExtractContainer(ContainerBytes container, std::string_view directory, ScratchArea scratch,
                      const ExtractRules& rules = {});

}  // namespace zv
