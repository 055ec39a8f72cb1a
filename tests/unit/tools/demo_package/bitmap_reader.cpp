#include "bitmap_reader.h"

#include "demo_package_support.h"

namespace zv::demo {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

}  // namespace

Rgb Bitmap::At(int32_t x, int32_t y) const {
  const int32_t row = bottomUp ? height - 1 - y : y;
  const size_t offset = static_cast<size_t>(row) * Stride() + static_cast<size_t>(x) * 3;
  const auto* p = reinterpret_cast<const uint8_t*>(pixels.data()) + offset;
  return Rgb(p[2], p[1], p[0]);
}

bool ReadBitmap24(std::string_view file, Bitmap* bitmap, std::string* problem) {
  if (file.size() < kFileHeaderSize + kInfoHeaderSize || file.substr(0, 2) != "BM") {
    *problem = "no bitmap file header";
    return false;
  }
  if (U32At(file, 2) != file.size()) {
    *problem = "the file size field says " + std::to_string(U32At(file, 2)) + ", the file has " +
               std::to_string(file.size());
    return false;
  }
  if (U32At(file, 14) != kInfoHeaderSize || U16At(file, 26) != 1 || U16At(file, 28) != 24 ||
      U32At(file, 30) != 0) {
    *problem = "not an uncompressed 24-bit BITMAPINFOHEADER bitmap";
    return false;
  }
  const auto width = static_cast<int32_t>(U32At(file, 18));
  const auto height = static_cast<int32_t>(U32At(file, 22));
  if (width <= 0 || height == 0 || height < -65536 || width > 65536) {
    *problem = "implausible size";
    return false;
  }
  bitmap->width = width;
  bitmap->bottomUp = height > 0;
  bitmap->height = height > 0 ? height : -height;
  const size_t offset = U32At(file, 10);
  const size_t size = bitmap->Stride() * static_cast<size_t>(bitmap->height);
  if (offset < kFileHeaderSize + kInfoHeaderSize || offset > file.size() ||
      file.size() - offset < size) {
    *problem = "the pixel rows do not fit in the file";
    return false;
  }
  bitmap->pixels = file.substr(offset, size);
  return true;
}

}  // namespace zv::demo
