// The shape of a packed device-independent bitmap (BITMAPINFOHEADER, colour
// table, pixel rows) held in memory, read without trusting its fields.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zv::platform {

struct DibLayout {
  int32_t width = 0;
  int32_t height = 0;     // rows, always positive
  bool topDown = false;   // a negative height in the header: first row on top
  uint16_t bitCount = 0;  // 1, 4, 8, 24 or 32
  size_t headerSize = 0;  // biSize
  size_t colorCount = 0;  // entries of the colour table that follows the header
  size_t stride = 0;      // bytes of one row, a multiple of 4
  size_t pixelBytes = 0;  // stride * height
};

// Reads the BITMAPINFOHEADER at `info` (`infoSize` bytes readable). False
// when it is shorter than 40 bytes or than its own size, is not one plane of
// uncompressed 1, 4, 8, 24 or 32-bit pixels, has no pixels, more than 16384
// in either direction, or a colour table that runs past `infoSize`.
bool ReadDibLayout(const uint8_t* info, size_t infoSize, DibLayout* out);

}  // namespace zv::platform
