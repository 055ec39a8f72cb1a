// Handing the IME of the system directory to the input method manager.
#pragma once

#include "state/install_state.h"

namespace zv {

// Registers "<system directory>\zavoli4.ime" with its layout text. Sets
// InstalledLayout; returns 1 when the system accepted the IME, else 0.
int RegisterImeWithSystem();

}  // namespace zv
