// What the IME placement shows while it works. The wizard installs its
// painters here; without them (the silent mode) nothing is drawn.
#pragma once

namespace zv {

struct PlacementDisplay {
  // Repaints the install-path page at once.
  void (*redrawInstallPathPage)() = nullptr;
  // Shows the progress bar at `done` of `total`.
  void (*drawProgress)(int done, int total) = nullptr;
};

extern PlacementDisplay PlacementPainters;

}  // namespace zv
