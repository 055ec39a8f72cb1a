// Icon groups (RT_GROUP_ICON) and the icon images (RT_ICON) they list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/peinfo/resources.h"

namespace zv::pe {

// One image of a group: what the group directory says of it, and what the
// header of the RT_ICON it points at says.
struct IconImage {
  int width = 0;             // 1 to 256 (the directory writes 256 as 0)
  int height = 0;            // 1 to 256
  uint8_t colour_count = 0;  // 0 for 256 colours or more
  uint16_t planes = 0;
  uint16_t bit_count = 0;
  uint32_t bytes = 0;
  uint16_t icon_id = 0;

  bool image_found = false;  // an RT_ICON with `icon_id` exists and has a header
  bool png = false;          // the image is PNG data rather than a DIB
  int32_t dib_width = 0;
  int32_t dib_height = 0;  // of the colour bitmap: half the header's height
  uint16_t dib_bit_count = 0;
};

struct IconGroup {
  ResourceId name;
  std::vector<IconImage> images;
};

// Parses the group directory `group` and looks up each image it lists among
// `resources`. Fails when the directory is malformed or truncated; a listed
// image that is missing or unreadable only leaves `image_found` false.
bool ParseIconGroup(const PeImage& image, const std::vector<Resource>& resources,
                    const Resource& group, IconGroup* out, std::string* error);

}  // namespace zv::pe
