#include "ui/package_bitmap.h"

#include <zlib.h>

#include <algorithm>

#include "package/container_format.h"
#include "package/container_reader.h"
#include "state/package_state.h"

namespace zv {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = 40;
constexpr size_t kPixelOffsetField = 10;
constexpr size_t kWidthField = 18;
constexpr size_t kHeightField = 22;
constexpr size_t kPlanesField = 26;
constexpr size_t kBitCountField = 28;
constexpr size_t kCompressionField = 30;
constexpr size_t kColoursUsedField = 46;
constexpr uint32_t kRgbCompression = 0;

uint16_t ReadU16(const uint8_t* bytes) { return static_cast<uint16_t>(bytes[0] | bytes[1] << 8); }

}  // namespace

size_t LoadPackageBitmap(std::string_view name) {
  if (PackageResource.data == nullptr || WorkBuffer == nullptr) return 0;
  uint8_t* target = WorkBuffer + kBitmapOffset;
  target[0] = 0;
  target[1] = 0;
  ContainerReader reader(ContainerBytes{PackageResource.data, PackageResource.size});
  PackageEntry entry;
  while (reader.Next(&entry)) {
    if (entry.name != name) continue;
    if (entry.streamSize == 0) return 0;
    uLongf length = static_cast<uLongf>(kWorkBufferSize - kBitmapOffset);
    if (uncompress(target, &length, entry.stream, entry.streamSize) != Z_OK) {
      // A stream that breaks off may already have written a "BM" header:
      // what it left is no picture.
      target[0] = 0;
      target[1] = 0;
      return 0;
    }
    return static_cast<size_t>(length);
  }
  return 0;
}

std::optional<BitmapFileView> ParseBitmapFile(const uint8_t* data, size_t length) {
  if (data == nullptr || length < kFileHeaderSize + kInfoHeaderSize) return std::nullopt;
  if (data[0] != 'B' || data[1] != 'M') return std::nullopt;
  const uint32_t pixelOffset = ReadU32(data + kPixelOffsetField);
  const uint32_t infoSize = ReadU32(data + kFileHeaderSize);
  const int32_t width = static_cast<int32_t>(ReadU32(data + kWidthField));
  const int32_t height = static_cast<int32_t>(ReadU32(data + kHeightField));
  if (infoSize < kInfoHeaderSize || ReadU16(data + kPlanesField) != 1 ||
      ReadU16(data + kBitCountField) != 24 ||
      ReadU32(data + kCompressionField) != kRgbCompression) {
    return std::nullopt;
  }
  // Sizes that fit 16 bits keep the low-word reading of the fields exact.
  if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF) return std::nullopt;
  // The info header and any colour table it announces lie before the pixels.
  const uint64_t colourTable = uint64_t{ReadU32(data + kColoursUsedField)} * 4;
  if (infoSize > length - kFileHeaderSize ||
      pixelOffset < kFileHeaderSize + uint64_t{infoSize} + colourTable || pixelOffset > length) {
    return std::nullopt;
  }
  const uint64_t rowBytes = (uint64_t{static_cast<uint32_t>(width)} * 3 + 3) & ~uint64_t{3};
  const uint64_t pixelBytes = rowBytes * static_cast<uint32_t>(height);
  if (pixelBytes > length - pixelOffset) return std::nullopt;
  BitmapFileView view;
  view.info = data + kFileHeaderSize;
  view.infoSize = static_cast<size_t>(infoSize + colourTable);
  view.pixels = data + pixelOffset;
  view.pixelBytes = static_cast<size_t>(pixelBytes);
  view.width = width;
  view.height = height;
  return view;
}

BitmapCopy ClipBitmapCopy(int32_t limitX, int32_t limitY, int32_t width, int32_t height,
                          BitmapCopy copy) {
  limitX = std::min(limitX, copy.xDest + width);
  limitY = std::min(limitY, copy.yDest + height);
  copy.xSrc = std::min(copy.xSrc, width);
  copy.ySrc = std::min(copy.ySrc, height);
  copy.widthSrc = std::min(copy.widthSrc, width - copy.xSrc);
  copy.heightSrc = std::min(copy.heightSrc, height - copy.ySrc);
  copy.xDest = std::min(copy.xDest, limitX);
  copy.yDest = std::min(copy.yDest, limitY);
  if (copy.xDest >= limitX) copy.widthDest = 0;
  if (copy.yDest >= limitY) copy.heightDest = 0;
  return copy;
}

}  // namespace zv
