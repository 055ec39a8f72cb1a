// Reads the 24-bit Windows bitmap files of the demo package.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>

namespace zv::demo {

using Rgb = std::tuple<uint8_t, uint8_t, uint8_t>;

// An uncompressed 24-bit bitmap whose every pixel row lies inside its file.
struct Bitmap {
  int32_t width = 0;
  int32_t height = 0;  // rows, whichever order the file stores them in
  bool bottomUp = true;
  std::string_view pixels;  // the stored rows, each padded to 4 bytes

  size_t Stride() const { return (static_cast<size_t>(width) * 3 + 3) / 4 * 4; }
  // The colour at (x, y), y counted from the top as on screen.
  Rgb At(int32_t x, int32_t y) const;
};

// Reads `file` as a bitmap file ("BM", a 40-byte BITMAPINFOHEADER, 24 bits
// per pixel, no compression) whose file size field and pixel rows agree with
// its length. Returns false with the reason otherwise.
bool ReadBitmap24(std::string_view file, Bitmap* bitmap, std::string* problem);

}  // namespace zv::demo
