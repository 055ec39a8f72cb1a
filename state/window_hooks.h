// What the steps below the window ask of it: a repaint of the install-path
// page, the progress bar, the skin dialog. The wizard installs its routines
// for as long as its window exists; with none installed, as in the silent
// mode, every request does nothing.
#pragma once

#include <cstdint>

namespace zv {

struct WindowHooks {
  // Repaints the install-path page at once.
  void (*redrawInstallPathPage)() = nullptr;
  // Shows the progress bar at `done` of `total`.
  void (*drawProgress)(int32_t done, int32_t total) = nullptr;
  // Shows the skin dialog modally; it leaves its choice in WindowMode and
  // SkinChoice.
  void (*showSkinDialog)() = nullptr;
};

// The hooks in force: empty unless a ScopedWindowHooks holds some.
const WindowHooks& CurrentWindowHooks();

// Each request calls its hook when one is installed and does nothing otherwise.
void RequestInstallPathRedraw();
void RequestProgress(int32_t done, int32_t total);
void RequestSkinDialog();

// Installs `hooks` for its lifetime and then puts back the ones it found.
// Scopes must end in the reverse order of their start: one that finds other
// hooks in force than its own when it ends stops the process with a message,
// since some inner scope would then outlive it.
class ScopedWindowHooks {
 public:
  explicit ScopedWindowHooks(const WindowHooks& hooks);
  ~ScopedWindowHooks();
  ScopedWindowHooks(const ScopedWindowHooks&) = delete;
  ScopedWindowHooks& operator=(const ScopedWindowHooks&) = delete;

 private:
  WindowHooks installed_;
  WindowHooks previous_;
};

}  // namespace zv
