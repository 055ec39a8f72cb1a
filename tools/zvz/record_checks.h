// The checks of a container's records that zvz check makes of the package
// and of each skin archive inside it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tools/zvz/container_check.h"
#include "tools/zvz/package_check.h"

namespace zv::zvz {

// Where the records' findings go: under each record's own name (the
// package), or under the archive's name with "record NAME: " before the
// message (a skin archive).
struct RecordScope {
  std::string_view archive;  // empty for the package itself
  size_t contentRoom = 0;    // what the scratch slot of this extraction holds
};

// Walks `bytes` (which the records returned point into) as a container and inspects every record:
// the walk, each name's safety and uniqueness ignoring case, each stream's inflation, content and
// digest, and content beyond the scratch slot (a warning: it is unpacked through a block of its
// own). Returns the structure with the records walked; `check.isContainer` is false for bytes that
// are no container at all.
ContainerCheck CheckRecords(const std::string& bytes, const RecordScope& scope,
                            PackageReport* report);

// The record's content, inflated (at most kMaxBlockContent bytes). False
// when the stream does not inflate in full.
bool UnpackRecord(const PackageEntry& entry, std::string* content);

}  // namespace zv::zvz
