// The container format shared by the product package, the backup archive of
// the user's data and the skin archives.
//
// A container is a 10-byte header followed by its records back to back, all
// integers little-endian:
//   0  'C'
//   1  layout letter: '0' for the digest layout, anything else for the plain one
//   2  u32 end offset (header plus records; written, never read)
//   6  u32 record count
// A digest-layout record is a 56-byte header and a zlib stream:
//   0 "CF", 2 name (16 bytes, NUL-terminated, rest zero),
//   18 MD5 of the content as 32 upper-case hex digits, 50 two zero bytes,
//   52 u32 stream size N, 56 the N stream bytes.
// A plain-layout record is a 20-byte header and a zlib stream:
//   0 "CF", 2 name (14 bytes, NUL-terminated), 16 u32 N, 20 the N stream bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zv {

// A container's bytes with their length (the resource size or the file size).
struct ContainerBytes {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

enum class ContainerLayout { kDigest, kPlain };

inline constexpr size_t kContainerHeaderSize = 10;
inline constexpr size_t kLayoutLetterOffset = 1;
inline constexpr size_t kEndOffsetOffset = 2;
inline constexpr size_t kRecordCountOffset = 6;
inline constexpr char kContainerLetter = 'C';
inline constexpr char kDigestLayoutLetter = '0';
// What the writer puts in byte 1 of a plain-layout container; readers take
// any letter but '0' as the plain layout.
inline constexpr char kPlainLayoutLetter = 'P';

inline constexpr char kRecordMarker[2] = {'C', 'F'};
inline constexpr size_t kRecordNameOffset = 2;

inline constexpr size_t kDigestRecordHeaderSize = 56;
inline constexpr size_t kDigestNameFieldSize = 16;
inline constexpr size_t kDigestFieldOffset = 18;
inline constexpr size_t kDigestStreamSizeOffset = 52;

inline constexpr size_t kPlainRecordHeaderSize = 20;
inline constexpr size_t kPlainNameFieldSize = 14;
inline constexpr size_t kPlainStreamSizeOffset = 16;

// Digest text: 32 upper-case hex digits and two NUL bytes; all NUL when no
// digest could be taken.
inline constexpr size_t kDigestDigits = 32;
inline constexpr size_t kDigestTextSize = 34;

inline size_t RecordHeaderSize(ContainerLayout layout) {
  return layout == ContainerLayout::kDigest ? kDigestRecordHeaderSize : kPlainRecordHeaderSize;
}
inline size_t NameFieldSize(ContainerLayout layout) {
  return layout == ContainerLayout::kDigest ? kDigestNameFieldSize : kPlainNameFieldSize;
}
inline size_t StreamSizeOffset(ContainerLayout layout) {
  return layout == ContainerLayout::kDigest ? kDigestStreamSizeOffset : kPlainStreamSizeOffset;
}

inline uint32_t ReadU32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}
inline void WriteU32(uint8_t* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace zv
