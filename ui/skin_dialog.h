// The modal dialog in which the user chooses the IME's window mode and skin.
#pragma once

#include <cstdint>

#include "platform/gui_types.h"

namespace zv {

// Shows the dialog owned by the main window, from template "PYKEYB" when
// UiCodePage is 950 and "PYKEY" otherwise, and leaves the choice made with
// OK in WindowMode and SkinChoice. Only OK closes it.
void ShowSkinDialog();

// The dialog's procedure.
intptr_t SkinDialogProc(platform::WindowHandle dialog, uint32_t message, uintptr_t wParam,
                        intptr_t lParam);

}  // namespace zv
