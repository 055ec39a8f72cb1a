// The product's keyboard layout and the current user's preload list as this
// installer last saw them. The routines that set them are in system/.
#pragma once

#include <cstdint>

#include "state/fixed_text.h"

namespace zv {

// The most places of a preload list that are read or examined.
inline constexpr int kMaxPreloadPlaces = 49;

struct PreloadListTable {
  // The layout identifiers from place 1 on; entries[0] is place 1.
  FixedText<10> entries[kMaxPreloadPlaces];
  // The "layout text" of each entry's layout key; empty when unknown.
  FixedText<200> texts[kMaxPreloadPlaces];
  // The number of entries read, 0 to kMaxPreloadPlaces.
  int32_t count = 0;

  // Empties every entry and text.
  void Clear() {
    for (int i = 0; i < kMaxPreloadPlaces; ++i) {
      entries[i].clear();
      texts[i].clear();
    }
    count = 0;
  }
};

// Filled by ReadPreloadList; MoveImeToSecondPlace and
// SwapFirstTwoPreloadEntries work on it as the last read left it.
extern PreloadListTable PreloadList;
// 1 when the last FindImeInPreload found the product's layout, else 0.
extern int32_t ImeInPreload;
// The product's 1-based place in PreloadList; 0 when absent.
extern int32_t ImePreloadPosition;

// The product's layout identifier as the last RegisterLayoutByHand chose it
// ("E0210804"); empty before.
extern FixedText<200> LayoutId;

}  // namespace zv
