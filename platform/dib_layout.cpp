#include "platform/dib_layout.h"

#include <cstring>

namespace zv::platform {
namespace {

constexpr size_t kInfoHeaderSize = 40;
constexpr int32_t kMaxSide = 16384;
constexpr uint32_t kUncompressed = 0;  // BI_RGB

template <typename T>
T Field(const uint8_t* info, size_t offset) {
  T value;
  std::memcpy(&value, info + offset, sizeof value);
  return value;
}

}  // namespace

bool ReadDibLayout(const uint8_t* info, size_t infoSize, DibLayout* out) {
  if (info == nullptr || infoSize < kInfoHeaderSize) return false;
  DibLayout layout;
  layout.headerSize = Field<uint32_t>(info, 0);
  layout.width = Field<int32_t>(info, 4);
  int32_t height = Field<int32_t>(info, 8);
  uint16_t planes = Field<uint16_t>(info, 12);
  layout.bitCount = Field<uint16_t>(info, 14);
  uint32_t compression = Field<uint32_t>(info, 16);
  uint32_t colorsUsed = Field<uint32_t>(info, 32);
  if (layout.headerSize < kInfoHeaderSize || layout.headerSize > infoSize) return false;
  if (planes != 1 || compression != kUncompressed) return false;
  switch (layout.bitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
    case 32:
      break;
    default:
      return false;
  }
  if (height == INT32_MIN) return false;
  layout.topDown = height < 0;
  layout.height = layout.topDown ? -height : height;
  if (layout.width <= 0 || layout.width > kMaxSide || layout.height == 0 ||
      layout.height > kMaxSide) {
    return false;
  }
  if (layout.bitCount <= 8) {
    size_t full = size_t{1} << layout.bitCount;
    layout.colorCount = colorsUsed == 0 || colorsUsed > full ? full : colorsUsed;
  }
  if (layout.colorCount * 4 > infoSize - layout.headerSize) return false;
  layout.stride = (static_cast<size_t>(layout.width) * layout.bitCount + 31) / 32 * 4;
  layout.pixelBytes = layout.stride * static_cast<size_t>(layout.height);
  *out = layout;
  return true;
}

}  // namespace zv::platform
