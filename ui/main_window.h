// The wizard's one top-level window: its class, its creation with the two
// edit boxes, and its procedure, which runs the page flow and, on the
// confirming click of the install-path page, the whole install.
#pragma once

#include <cstdint>

#include "platform/gui_types.h"

namespace zv {

// Registers the class "installWClass". Nonzero on success.
int RegisterMainClass(platform::InstanceHandle instance);

// Creates MainWindow (which prepares the package and the work buffer), its
// two edit boxes, shows it with `showCommand` and paints it at once. 1, or 0
// when the main window could not be created.
int CreateMainWindow(platform::InstanceHandle instance, int32_t showCommand);

intptr_t MainWindowProc(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam);

}  // namespace zv
