#include "tests/artifact/container_walk.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <cstdio>

namespace zv::pe::testing {
namespace {

constexpr size_t kHeaderSize = 10;
constexpr size_t kRecordHeaderSize = 56;
constexpr size_t kNameField = 16;
constexpr size_t kDigestOffset = 18;
constexpr size_t kDigestDigits = 32;
constexpr size_t kStreamSizeOffset = 52;
// No file of the product comes near this; a bound against a zip bomb.
constexpr uint64_t kMaxContent = uint64_t{256} << 20;

bool Fail(std::string* error, const std::string& reason) {
  *error = reason;
  return false;
}

// Inflates a whole zlib stream; false unless it ends exactly at the end of
// `stream`.
bool Inflate(const ByteView& stream, std::vector<uint8_t>* content) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = const_cast<Bytef*>(stream.data());
  z.avail_in = static_cast<uInt>(stream.size());
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

bool CheckRecord(const ByteView& header, const ByteView& stream, ContainerRecord* record,
                 std::string* error) {
  const char* base = reinterpret_cast<const char*>(header.data());
  size_t name_length = 0;
  while (name_length < kNameField && base[2 + name_length] != '\0') ++name_length;
  if (name_length == kNameField) return Fail(error, "a record name has no NUL in its field");
  record->name.assign(base + 2, name_length);
  const std::string stored(base + kDigestOffset, kDigestDigits);
  if (base[kDigestOffset + kDigestDigits] != '\0' ||
      base[kDigestOffset + kDigestDigits + 1] != '\0') {
    return Fail(error, "record " + record->name + ": the digest text is not followed by two NULs");
  }
  std::vector<uint8_t> content;
  if (!Inflate(stream, &content)) {
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
  uint8_t letter = 0;
  uint8_t layout = 0;
  if (!bytes.ReadU8(0, &letter) || !bytes.ReadU8(1, &layout) ||
      !bytes.ReadU32(2, &walk->end_offset) || !bytes.ReadU32(6, &walk->record_count)) {
    return Fail(error, "the container header is truncated");
  }
  if (letter != 'C' || layout != '0') return Fail(error, "the container does not begin with C0");
  uint64_t at = kHeaderSize;
  uint8_t c = 0;
  uint8_t f = 0;
  while (bytes.ReadU8(at, &c) && bytes.ReadU8(at + 1, &f) && c == 'C' && f == 'F') {
    ByteView header;
    uint32_t stream_size = 0;
    ByteView stream;
    if (!bytes.Sub(at, kRecordHeaderSize, &header) ||
        !header.ReadU32(kStreamSizeOffset, &stream_size) ||
        !bytes.Sub(at + kRecordHeaderSize, stream_size, &stream)) {
      return Fail(error, "record " + std::to_string(walk->records.size() + 1) +
                             " runs past the end of the container");
    }
    ContainerRecord record;
    if (!CheckRecord(header, stream, &record, error)) return false;
    walk->records.push_back(record);
    at += kRecordHeaderSize + stream_size;
  }
  walk->records_end = at;
  walk->trailing_bytes = bytes.size() - at;
  for (uint64_t i = at; i < bytes.size(); ++i) {
    walk->trailing_all_zero = walk->trailing_all_zero && bytes.data()[i] == 0;
  }
  return true;
}

}  // namespace zv::pe::testing
