// What the install sequence and the checks before it found out.
#pragma once

#include <cstdint>
#include <string>

#include "platform/input_methods.h"

namespace zv {

// 1 when an IME file the system held had to be moved aside (or could not be
// released at all): the user must restart now. Cleared by each install.
extern int32_t RestartRequired;

// Set by the install sequence from RegisterImeWithSystem's result: 1 when the
// system accepted the IME, else 0 (and the layout is then registered by hand).
extern int32_t ImeRegistered;

// The layout handle the input method manager gave the IME; 0 when it refused.
extern platform::LayoutHandle InstalledLayout;

// How many IME windows of other programs the last ListProgramsUsingIme
// counted: programs the user must close before the install goes on.
extern int32_t ImeUseCount;

// The message naming those programs, as the last ListProgramsUsingIme that
// found any wrote it; empty before.
extern std::u16string ImeUseText;

}  // namespace zv
