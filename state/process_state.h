// The one reset of every process-wide value: back to how the process starts.
#pragma once

namespace zv {

// Gives every value of run_state.h, locations.h, wizard_state.h,
// window_parts.h, skin_choice.h, package_state.h, install_state.h and
// layout_state.h its start value. Tests call it before and after each case;
// the window hooks are not touched (each ScopedWindowHooks gives back its
// own). Handles are only forgotten, not closed: their owners close them.
void ResetProcessState();

}  // namespace zv
