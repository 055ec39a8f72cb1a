// Handing the IME of the system directory to the input method manager.
#pragma once

#include <cstdint>

#include "platform/input_methods.h"

namespace zv {

// The layout handle the input method manager gave the IME; 0 when it refused.
extern platform::LayoutHandle InstalledLayout;

// Set by the install sequence from RegisterImeWithSystem's result: 1 when the
// system accepted the IME, else 0 (and the layout is then registered by hand).
extern int32_t ImeRegistered;

// Registers "<system directory>\zavoli4.ime" with its layout text. Sets
// InstalledLayout; returns 1 when the system accepted the IME, else 0.
int RegisterImeWithSystem();

}  // namespace zv
