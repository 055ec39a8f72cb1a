// The resource tree of a PE image: every resource with its type, name and
// language, and the bytes of one resource.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/peinfo/pe_image.h"

namespace zv::pe {

constexpr uint16_t kResourceIcon = 3;
constexpr uint16_t kResourceGroupIcon = 14;
constexpr uint16_t kResourceVersion = 16;
constexpr uint16_t kResourceManifest = 24;

// A resource type or name: a number, or a string (`named`).
struct ResourceId {
  bool named = false;
  uint16_t number = 0;
  std::u16string name;

  static ResourceId Number(uint16_t number);
  static ResourceId Name(std::u16string name);

  // True for the same number, or for names equal but for ASCII letter case,
  // as FindResource compares them.
  bool Matches(const ResourceId& other) const;
  // The name in UTF-8, or the number in decimal.
  std::string ToString() const;
};

// One leaf of the tree: where its bytes are, as the data entry says.
struct Resource {
  ResourceId type;
  ResourceId name;
  uint16_t language = 0;
  uint32_t data_rva = 0;
  uint32_t size = 0;
  uint32_t code_page = 0;
};

// Reads the three-level tree (type, name, language) of the resource
// directory into `resources`, in directory order. An image without a
// resource directory has none. Fails when a directory, entry or name lies
// outside the resource section, when a directory is reached twice (a loop or
// a shared subtree) or when the tree is not three levels deep.
bool ReadResources(const PeImage& image, std::vector<Resource>* resources, std::string* error);

// The first resource of `type` and `name`, whatever its language; null when
// there is none.
const Resource* FindResource(const std::vector<Resource>& resources, const ResourceId& type,
                             const ResourceId& name);

// The first resource of `type`, whatever its name; null when there is none.
const Resource* FindFirstOfType(const std::vector<Resource>& resources, const ResourceId& type);

// Sets `bytes` to the data of `resource`, which must lie inside a section.
bool ResourceBytes(const PeImage& image, const Resource& resource, ByteView* bytes,
                   std::string* error);

// "MANIFEST", "GROUP_ICON" and the like for the predefined types; the
// name or number otherwise.
std::string ResourceTypeName(const ResourceId& type);

}  // namespace zv::pe
