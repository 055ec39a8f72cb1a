#include "tools/peinfo/icon_group.h"

namespace zv::pe {
namespace {

constexpr size_t kGroupHeaderSize = 6;
constexpr size_t kGroupEntrySize = 14;
constexpr uint16_t kIconType = 1;
constexpr uint32_t kBitmapInfoHeaderSize = 40;
constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool Fail(std::string* error, const std::string& reason) {
  *error = reason;
  return false;
}

bool IsPng(const ByteView& bytes) {
  for (size_t i = 0; i < sizeof kPngSignature; ++i) {
    uint8_t b = 0;
    if (!bytes.ReadU8(i, &b) || b != kPngSignature[i]) return false;
  }
  return true;
}

// Fills the fields that come from the RT_ICON image's own header.
void ReadImageHeader(const PeImage& image, const std::vector<Resource>& resources,
                     IconImage* icon) {
  const Resource* resource =
      FindResource(resources, ResourceId::Number(kResourceIcon), ResourceId::Number(icon->icon_id));
  ByteView bytes;
  std::string ignored;
  if (resource == nullptr || !ResourceBytes(image, *resource, &bytes, &ignored)) return;
  if (IsPng(bytes)) {
    icon->image_found = true;
    icon->png = true;
    return;
  }
  uint32_t header_size = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  if (!bytes.ReadU32(0, &header_size) || header_size < kBitmapInfoHeaderSize ||
      !bytes.ReadU32(4, &width) || !bytes.ReadU32(8, &height) ||
      !bytes.ReadU16(14, &icon->dib_bit_count)) {
    return;
  }
  icon->image_found = true;
  icon->dib_width = static_cast<int32_t>(width);
  icon->dib_height = static_cast<int32_t>(height) / 2;
}

}  // namespace

bool ParseIconGroup(const PeImage& image, const std::vector<Resource>& resources,
                    const Resource& group, IconGroup* out, std::string* error) {
  ByteView bytes;
  if (!ResourceBytes(image, group, &bytes, error)) return false;
  uint16_t reserved = 0;
  uint16_t type = 0;
  uint16_t count = 0;
  if (!bytes.ReadU16(0, &reserved) || !bytes.ReadU16(2, &type) || !bytes.ReadU16(4, &count)) {
    return Fail(error, "icon group " + group.name.ToString() + " is truncated");
  }
  if (reserved != 0 || type != kIconType) {
    return Fail(error, "icon group " + group.name.ToString() + " is not an icon directory");
  }
  out->name = group.name;
  out->images.clear();
  for (uint16_t i = 0; i < count; ++i) {
    ByteView entry;
    if (!bytes.Sub(kGroupHeaderSize + static_cast<uint64_t>(i) * kGroupEntrySize, kGroupEntrySize,
                   &entry)) {
      return Fail(error,
                  "icon group " + group.name.ToString() + " lists more images than it holds");
    }
    uint8_t width = 0;
    uint8_t height = 0;
    IconImage icon;
    entry.ReadU8(0, &width);
    entry.ReadU8(1, &height);
    entry.ReadU8(2, &icon.colour_count);
    entry.ReadU16(4, &icon.planes);
    entry.ReadU16(6, &icon.bit_count);
    entry.ReadU32(8, &icon.bytes);
    entry.ReadU16(12, &icon.icon_id);
    icon.width = width == 0 ? 256 : width;
    icon.height = height == 0 ? 256 : height;
    ReadImageHeader(image, resources, &icon);
    out->images.push_back(icon);
  }
  return true;
}

}  // namespace zv::pe
