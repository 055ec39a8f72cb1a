#include "system/layout_key_names.h"

#include <cstdint>

#include "platform/services.h"
#include "platform/win_constants.h"

namespace zv {

namespace {

// A bound on counting by enumeration: far above any real layout list, it
// only stops a registry that never reports the end.
constexpr uint32_t kMaxCountedSubKeys = 1u << 20;

bool Enumerated(uint32_t status) {
  return status == win::kErrorSuccess || status == win::kErrorMoreData;
}

// The number of indices that enumerate, counted until the first that does not.
uint32_t CountByEnumeration(platform::RegKey key) {
  uint32_t count = 0;
  std::string name;
  while (count < kMaxCountedSubKeys &&
         Enumerated(platform::Reg().RegEnumKeyExA(key, count, &name))) {
    ++count;
  }
  return count;
}

uint32_t SubKeyCount(platform::RegKey key) {
  uint32_t subKeys = 0;
  uint32_t longest = 0;
  if (platform::Reg().RegQueryInfoKeyA(key, &subKeys, &longest) == win::kErrorSuccess) {
    return subKeys;
  }
  return CountByEnumeration(key);
}

}  // namespace

std::vector<std::string> CollectSubKeyNamesDescending(platform::RegKey key) {
  std::vector<std::string> names;
  // Index `count` itself yields nothing on an unchanged key; asking for it
  // keeps a key added meanwhile in the list.
  for (uint64_t index = uint64_t{SubKeyCount(key)} + 1; index-- > 0;) {
    std::string name;
    const uint32_t status = platform::Reg().RegEnumKeyExA(key, static_cast<uint32_t>(index), &name);
    // An empty name would stand for the list key itself.
    if (!Enumerated(status) || name.empty()) continue;
    if (name.size() > kMaxLayoutKeyNameLength) name.resize(kMaxLayoutKeyNameLength);
    names.push_back(std::move(name));
  }
  return names;
}

}  // namespace zv
