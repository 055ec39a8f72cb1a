// The welcome picture: a bitmap file that travels as an entry of the
// package, unpacked into WorkBuffer when a page is painted, and the clipping
// of the part of it that is drawn. The unpacked bytes are outside data: only
// a bitmap whose pixels lie wholly inside them is ever handed to the screen.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zv {

// Where the picture is unpacked in WorkBuffer.
inline constexpr size_t kBitmapOffset = 100;

// Unpacks the first package entry named exactly `name` into WorkBuffer from
// kBitmapOffset on, the rest of WorkBuffer being its room. The two bytes at
// kBitmapOffset are zeroed first, and again when the stream breaks off, so
// whenever the result is 0 no "BM" stands there.
// Returns the number of bytes unpacked: 0 without package or WorkBuffer,
// without such an entry, for an empty stream or one that does not inflate.
size_t LoadPackageBitmap(std::string_view name);

// A bitmap file's parts as a device-independent bitmap.
struct BitmapFileView {
  const uint8_t* info = nullptr;  // the info header (and any colour table)
  size_t infoSize = 0;
  const uint8_t* pixels = nullptr;
  size_t pixelBytes = 0;
  int32_t width = 0;   // the low 16 bits of the width field
  int32_t height = 0;  // the low 16 bits of the height field
};

// Reads the `length` bytes of a bitmap file. Accepted are uncompressed
// 24-bit bottom-up pictures (the welcome picture is one) whose rows all lie
// inside the bytes; anything else (no "BM", a short file, a zero, negative
// or oversized width or height, another depth, rows or a pixel offset past
// the end) gives none, and the picture is not drawn.
std::optional<BitmapFileView> ParseBitmapFile(const uint8_t* data, size_t length);

// A stretched copy of a source rectangle of the picture onto a destination.
struct BitmapCopy {
  int32_t xDest, yDest, widthDest, heightDest;
  int32_t xSrc, ySrc, widthSrc, heightSrc;
};

// Clips `copy` to the picture of `width` x `height` pixels and to the limits
// (limitX, limitY) of the destination, in this order: the limits to the
// picture's extent at the destination, the source origin and size to the
// picture, the destination origin to the limits, and a destination that
// starts at or beyond a limit loses its size.
BitmapCopy ClipBitmapCopy(int32_t limitX, int32_t limitY, int32_t width, int32_t height,
                          BitmapCopy copy);

}  // namespace zv
