// The ordered steps that put the product onto the machine.
#pragma once

#include "state/install_state.h"

namespace zv {

enum class InstallOutcome {
  kRanToItsEnd,
  // Stopped before anything was unpacked or placed.
  kStopped,
};

// Remembers and prepares the install directory (InstallDir, as the start-up
// chose it), writes the IME's settings,
// releases an IME file the system still holds, places and registers the IME
// in two passes, and leaves the product's marks in the registry; on a 64-bit
// Windows it ends by starting the 64-bit companion. Stops early, with the
// locked-IME message, only when an earlier IME file can be neither deleted
// nor moved aside.
InstallOutcome InstallSequence();

}  // namespace zv
