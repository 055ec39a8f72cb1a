// The names of the subkeys of the keyboard layout list.
#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"

namespace zv {

// The longest name kept, in bytes; a longer name is kept cut to this length.
inline constexpr size_t kMaxLayoutKeyNameLength = 199;

// Every subkey name of `key`, from the highest enumeration index down to
// index 0, however many there are. An index that cannot be enumerated, or
// gives no name, is left out. When the key will not tell its number of subkeys, they are
// counted by enumerating until the registry reports no more.
std::vector<std::string> CollectSubKeyNamesDescending(platform::RegKey key);

}  // namespace zv
