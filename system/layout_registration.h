// Registering the product's keyboard layout by hand, for when the input
// method manager refused the IME.
#pragma once

#include "state/layout_state.h"

namespace zv {

// Writes the product's key under the keyboard layout list and adds it to
// the current user's preload list. An earlier product key is reused when it
// has the language ending of the code page and replaced otherwise; without
// one, the new key takes the IME index after the highest layout number in
// use. Shows a message when the list cannot be opened, the key cannot be
// created or the preload list cannot be opened. The install sequence runs
// it only when ImeRegistered is 0.
void RegisterLayoutByHand();

}  // namespace zv
