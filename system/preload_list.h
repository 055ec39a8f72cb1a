// The current user's preload list as this installer last read it, and where
// the product's layout stands in it.
#pragma once

#include <cstdint>

#include "platform/fixed_text.h"
#include "system/layout_environment.h"

namespace zv {

struct PreloadListTable {
  // The layout identifiers from place 1 on; entries[0] is place 1.
  FixedText<10> entries[kMaxPreloadPlaces];
  // The "layout text" of each entry's layout key; empty when unknown.
  FixedText<200> texts[kMaxPreloadPlaces];
  // The number of entries read, 0 to kMaxPreloadPlaces.
  int32_t count = 0;
};

// Filled by ReadPreloadList; MoveImeToSecondPlace and
// SwapFirstTwoPreloadEntries work on it as the last read left it.
extern PreloadListTable PreloadList;
// 1 when the last FindImeInPreload found the product's layout, else 0.
extern int32_t ImeInPreload;
// The product's 1-based place in PreloadList; 0 when absent.
extern int32_t ImePreloadPosition;

// Empties PreloadList and clears ImeInPreload and ImePreloadPosition.
void ResetPreloadState();

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
