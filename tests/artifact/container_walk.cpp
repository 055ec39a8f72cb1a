#include "tests/artifact/container_walk.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <cstdio>

#include "package/container_format.h"
#include "package/container_reader.h"

namespace zv::pe::testing {
namespace {

// No file of the product comes near this; a bound against a zip bomb.
constexpr uint64_t kMaxContent = uint64_t{256} << 20;

bool Fail(std::string* error, const std::string& reason) {
  *error = reason;
  return false;
}

// Inflates a whole zlib stream; false unless it ends exactly at the end of
// the record's stream.
bool Inflate(const PackageEntry& entry, std::vector<uint8_t>* content) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(entry.stream);
  z.avail_in = entry.streamSize;
  uint8_t chunk[65536];
  int status = Z_OK;
  while (status == Z_OK && content->size() <= kMaxContent) {
    z.next_out = chunk;
    z.avail_out = sizeof chunk;
    status = inflate(&z, Z_NO_FLUSH);
    content->insert(content->end(), chunk, chunk + (sizeof chunk - z.avail_out));
    if (status == Z_BUF_ERROR && z.avail_in == 0) break;  // stream cut short
  }
  const bool complete = status == Z_STREAM_END && z.avail_in == 0;
  inflateEnd(&z);
  return complete;
}

std::string UpperHexMd5(const std::vector<uint8_t>& content) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(content.data(), content.size(), digest, &length, EVP_md5(), nullptr);
  std::string text;
  for (unsigned int i = 0; i < length; ++i) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02X", digest[i]);
    text += pair;
  }
  return text;
}

bool CheckRecord(const PackageEntry& entry, ContainerRecord* record, std::string* error) {
  if (entry.name.size() == entry.nameField.size()) {
    return Fail(error, "a record name has no NUL in its field");
  }
  record->name.assign(entry.name);
  const std::string stored(entry.digestField.substr(0, kDigestDigits));
  if (entry.digestField.substr(kDigestDigits) != std::string_view("\0\0", 2)) {
    return Fail(error, "record " + record->name + ": the digest text is not followed by two NULs");
  }
  std::vector<uint8_t> content;
  if (!Inflate(entry, &content)) {
    return Fail(error, "record " + record->name + ": the zlib stream does not inflate in full");
  }
  if (content.empty()) return Fail(error, "record " + record->name + " is empty");
  if (UpperHexMd5(content) != stored) {
    return Fail(error, "record " + record->name + ": the stored digest " + stored +
                           " is not the MD5 of its content");
  }
  record->content_size = content.size();
  return true;
}

}  // namespace

bool WalkDigestContainer(const ByteView& bytes, ContainerWalk* walk, std::string* error) {
  const ContainerReader header(ContainerBytes{bytes.data(), bytes.size()});
  if (!header.hasHeader()) return Fail(error, "the container header is truncated");
  walk->end_offset = header.endOffset();
  walk->record_count = header.recordCount();
  if (bytes.data()[0] != kContainerLetter || header.layoutLetter() != kDigestLayoutLetter) {
    return Fail(error, "the container does not begin with C0");
  }
  // The reader stops at the header's record count. Its copy of the container
  // counts as many records as can be, so that the walk goes on while "CF"
  // markers follow.
  std::vector<uint8_t> uncounted(bytes.data(), bytes.data() + bytes.size());
  WriteU32(uncounted.data() + kRecordCountOffset, UINT32_MAX);
  ContainerReader reader(ContainerBytes{uncounted.data(), uncounted.size()});
  PackageEntry entry;
  while (reader.Next(&entry)) {
    ContainerRecord record;
    if (!CheckRecord(entry, &record, error)) return false;
    walk->records.push_back(record);
  }
  // A header past the end with room for the marker is a record marked "CF"
  // that does not fit; with less room, or without the marker, the records end.
  const size_t at = reader.position();
  if (reader.stop() == WalkStop::kStreamPastEnd ||
      (reader.stop() == WalkStop::kHeaderPastEnd && bytes.size() - at >= sizeof kRecordMarker)) {
    return Fail(error, "record " + std::to_string(walk->records.size() + 1) +
                           " runs past the end of the container");
  }
  walk->records_end = at;
  walk->trailing_bytes = bytes.size() - at;
  for (size_t i = at; i < bytes.size(); ++i) {
    walk->trailing_all_zero = walk->trailing_all_zero && bytes.data()[i] == 0;
  }
  return true;
}

}  // namespace zv::pe::testing
