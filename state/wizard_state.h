// What the wizard learnt from the user.
#pragma once

#include <cstdint>

#include "platform/gui_types.h"
#include "state/fixed_text.h"

namespace zv {

// 0 before the window exists; the page numbers of the wizard after that.
extern int32_t WizardPage;

// The wizard's window; 0 while there is none (always in the silent mode).
extern platform::WindowHandle MainWindow;

// The web address last read from the web-address page (at most 99 bytes);
// empty when that page was never shown, as in the silent mode.
extern FixedText<100> WebAddress;

// The IME window's mode chosen in the skin dialog, 1 to 4 (0 before it).
extern int32_t WindowMode;
// The skin chosen in the skin dialog, 1 to 3 (0 before it).
extern int32_t SkinChoice;

}  // namespace zv
