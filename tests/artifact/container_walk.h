// Walks a package container in the digest layout with the installer's reader
// (package/container_reader.h) and checks every record it holds: marker,
// bounds, zlib stream and MD5 digest.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/peinfo/byte_view.h"

namespace zv::pe::testing {

struct ContainerRecord {
  std::string name;
  uint64_t content_size = 0;
};

struct ContainerWalk {
  uint32_t end_offset = 0;    // as the header says
  uint32_t record_count = 0;  // as the header says
  std::vector<ContainerRecord> records;
  uint64_t records_end = 0;     // where the last record found ends
  uint64_t trailing_bytes = 0;  // after the last record found
  bool trailing_all_zero = true;
};

// Reads the header of `bytes` and every record that follows it. Fails with
// a reason naming the record when the container is not in the digest
// layout, a record runs past the end, its stream does not inflate in full,
// its content is empty or its digest text is not the upper-case MD5 of the
// content followed by two NULs. The walk does not stop at the header's
// record count: it goes on while "CF" markers follow, so that the caller can
// compare the count with what the container holds.
bool WalkDigestContainer(const ByteView& bytes, ContainerWalk* walk, std::string* error);

}  // namespace zv::pe::testing
