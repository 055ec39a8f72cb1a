#include "tools/peinfo/resources.h"

#include <set>
#include <utility>

#include "tools/peinfo/text.h"

namespace zv::pe {
namespace {

constexpr size_t kDirectoryHeaderSize = 16;
constexpr size_t kEntrySize = 8;
constexpr size_t kDataEntrySize = 16;
constexpr uint32_t kHighBit = 0x80000000u;
constexpr int kLanguageLevel = 2;
// More leaves than any real program has; a bound on what a hostile file
// can make the walk produce.
constexpr size_t kMaxResources = 65536;

bool Fail(std::string* error, const std::string& reason) {
  *error = reason;
  return false;
}

class TreeWalker {
 public:
  TreeWalker(const ByteView& root, std::vector<Resource>* resources, std::string* error)
      : root_(root), resources_(resources), error_(error) {}

  bool WalkDirectory(uint32_t offset, int level, Resource path);

 private:
  bool ReadId(uint32_t field, ResourceId* id);
  bool ReadDataEntry(uint32_t offset, Resource* leaf);

  ByteView root_;
  std::vector<Resource>* resources_;
  std::string* error_;
  std::set<uint32_t> visited_;
};

bool TreeWalker::ReadId(uint32_t field, ResourceId* id) {
  if ((field & kHighBit) == 0) {
    *id = ResourceId::Number(static_cast<uint16_t>(field));
    return true;
  }
  const uint32_t offset = field & ~kHighBit;
  uint16_t length = 0;
  std::u16string name;
  if (!root_.ReadU16(offset, &length) ||
      !ReadUtf16(root_, static_cast<uint64_t>(offset) + 2, length, &name)) {
    return Fail(error_, "a resource name lies outside the resource section");
  }
  *id = ResourceId::Name(std::move(name));
  return true;
}

bool TreeWalker::ReadDataEntry(uint32_t offset, Resource* leaf) {
  ByteView entry;
  if (!root_.Sub(offset, kDataEntrySize, &entry)) {
    return Fail(error_, "a resource data entry lies outside the resource section");
  }
  entry.ReadU32(0, &leaf->data_rva);
  entry.ReadU32(4, &leaf->size);
  entry.ReadU32(8, &leaf->code_page);
  return true;
}

bool TreeWalker::WalkDirectory(uint32_t offset, int level, Resource path) {
  if (!visited_.insert(offset).second) {
    return Fail(error_, "the resource directory at offset " + std::to_string(offset) +
                            " is reached twice (a loop in the tree)");
  }
  uint16_t named = 0;
  uint16_t numbered = 0;
  if (!root_.ReadU16(static_cast<uint64_t>(offset) + 12, &named) ||
      !root_.ReadU16(static_cast<uint64_t>(offset) + 14, &numbered)) {
    return Fail(error_, "a resource directory lies outside the resource section");
  }
  const uint64_t entries = static_cast<uint64_t>(named) + numbered;
  for (uint64_t i = 0; i < entries; ++i) {
    const uint64_t at = offset + kDirectoryHeaderSize + i * kEntrySize;
    uint32_t id_field = 0;
    uint32_t target = 0;
    if (!root_.ReadU32(at, &id_field) || !root_.ReadU32(at + 4, &target)) {
      return Fail(error_, "a resource directory's entries run past the resource section");
    }
    ResourceId id;
    if (!ReadId(id_field, &id)) return false;
    if (level == 0) path.type = id;
    if (level == 1) path.name = id;
    if (level == kLanguageLevel) path.language = id.number;
    const bool is_directory = (target & kHighBit) != 0;
    if (is_directory != (level < kLanguageLevel)) {
      return Fail(error_, "the resource tree is not three levels deep");
    }
    if (is_directory) {
      if (!WalkDirectory(target & ~kHighBit, level + 1, path)) return false;
      continue;
    }
    if (resources_->size() >= kMaxResources) return Fail(error_, "too many resources");
    Resource leaf = path;
    if (!ReadDataEntry(target, &leaf)) return false;
    resources_->push_back(std::move(leaf));
  }
  return true;
}

}  // namespace

ResourceId ResourceId::Number(uint16_t number) {
  ResourceId id;
  id.number = number;
  return id;
}

ResourceId ResourceId::Name(std::u16string name) {
  ResourceId id;
  id.named = true;
  id.name = std::move(name);
  return id;
}

bool ResourceId::Matches(const ResourceId& other) const {
  if (named != other.named) return false;
  return named ? EqualsIgnoreAsciiCase(name, other.name) : number == other.number;
}

std::string ResourceId::ToString() const {
  return named ? Utf8FromUtf16(name) : std::to_string(number);
}

bool ReadResources(const PeImage& image, std::vector<Resource>* resources, std::string* error) {
  const DataDirectory directory = image.Directory(kResourceDirectory);
  if (directory.rva == 0) return true;
  ByteView root;
  if (!image.BytesFrom(directory.rva, &root)) {
    return Fail(error, "the resource directory lies outside the image");
  }
  TreeWalker walker(root, resources, error);
  return walker.WalkDirectory(0, 0, Resource{});
}

const Resource* FindResource(const std::vector<Resource>& resources, const ResourceId& type,
                             const ResourceId& name) {
  for (const Resource& resource : resources) {
    if (resource.type.Matches(type) && resource.name.Matches(name)) return &resource;
  }
  return nullptr;
}

const Resource* FindFirstOfType(const std::vector<Resource>& resources, const ResourceId& type) {
  for (const Resource& resource : resources) {
    if (resource.type.Matches(type)) return &resource;
  }
  return nullptr;
}

bool ResourceBytes(const PeImage& image, const Resource& resource, ByteView* bytes,
                   std::string* error) {
  if (!image.BytesAt(resource.data_rva, resource.size, bytes)) {
    return Fail(error, "the data of resource " + ResourceTypeName(resource.type) + "/" +
                           resource.name.ToString() + " lies outside the image");
  }
  return true;
}

std::string ResourceTypeName(const ResourceId& type) {
  static const char* const kNames[] = {
      nullptr,  "CURSOR",       "BITMAP",       "ICON",  "MENU",
      "DIALOG", "STRING",       "FONTDIR",      "FONT",  "ACCELERATOR",
      "RCDATA", "MESSAGETABLE", "GROUP_CURSOR", nullptr, "GROUP_ICON",
      nullptr,  "VERSION",      "DLGINCLUDE",   nullptr, "PLUGPLAY",
      "VXD",    "ANICURSOR",    "ANIICON",      "HTML",  "MANIFEST"};
  constexpr size_t kCount = sizeof kNames / sizeof kNames[0];
  if (!type.named && type.number < kCount && kNames[type.number] != nullptr) {
    return kNames[type.number];
  }
  return type.ToString();
}

}  // namespace zv::pe
