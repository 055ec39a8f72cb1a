// Putting a layout into the current user's preload list.
#pragma once

#include <string_view>

namespace zv {

// Adds `layoutId` to the current user's preload list: written in lower case
// on the NT family and in upper case on the 9x family, into the first free
// place, over the place of the same IME index with another language ending,
// or into place 49 when places 1 to 49 all hold other layouts. A list that
// already holds it, in any letter case, is left unchanged. Shows the preload
// message when the list cannot be opened; the default user's list is not
// touched.
void AddLayoutToPreload(std::string_view layoutId);

}  // namespace zv
