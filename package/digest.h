// MD5 digests as the text that the containers store: 32 upper-case hex
// digits (high nibble first) and two NUL bytes; 34 NUL bytes when no digest
// could be taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "package/container_format.h"
#include "platform/md5.h"

namespace zv {

// Writes the 34-byte digest text of `digest` at `digestText`.
void FormatDigestText(const platform::Md5Digest& digest, char* digestText);

// Writes the digest text of the `length` bytes at `data` into the 34 bytes at
// `digestText`. Empty when the MD5 service yields no context.
void BufferDigest(const void* data, size_t length, char* digestText);

// Reads the file at `path` (8-bit path) and writes the digest text of the
// bytes read into `digestText`. Returns the number of bytes read, or 0 with an
// empty digest when the file cannot be opened or read.
uint64_t FileDigest(const std::string& path, char* digestText);

// Whether `digestText` (34 bytes, as BufferDigest writes it) equals the
// digest stored in a record's 34-byte digest field, compared as NUL-terminated
// texts. An empty digest never matches, so an unavailable MD5 fails every check.
bool DigestMatches(std::string_view digestField, const char* digestText);

}  // namespace zv
