// The modal dialog in which the user chooses the IME's window mode and skin.
#pragma once

#include <cstdint>

#include "platform/gui_types.h"
#include "state/window_hooks.h"

namespace zv {

// Shows the dialog owned by the main window, from template "PYKEYB" when
// UiCodePage is 950 and "PYKEY" otherwise, and returns the choice made with
// OK; only OK closes it. `preset` comes back when the dialog cannot be shown.
SkinDialogChoice ShowSkinDialog(SkinDialogChoice preset);

// The dialog's procedure.
intptr_t SkinDialogProc(platform::WindowHandle dialog, uint32_t message, uintptr_t wParam,
                        intptr_t lParam);

}  // namespace zv
