// The current user's preload list as this installer last read it, and where
// the product's layout stands in it.
#pragma once

#include "state/layout_state.h"

namespace zv {

// Reads the current user's preload list (at most 49 places) into
// PreloadList, with each entry's layout text from the keyboard layout list.
// Returns the count; 0, with the list emptied, when the preload list or the
// keyboard layout list cannot be opened.
int ReadPreloadList();

// Reads the preload list afresh and looks for the first entry whose layout
// text begins with the product's GBK family name. Sets ImeInPreload and
// ImePreloadPosition; returns 1 when found, else 0.
int FindImeInPreload();

}  // namespace zv
