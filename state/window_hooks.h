// What the steps below the window ask of it: a repaint of the install-path
// page, the progress bar, the skin dialog. The wizard installs its routines
// for as long as its window exists; with none installed, as in the silent
// mode, every request does nothing.
#pragma once

#include <cstdint>

namespace zv {

// The IME's window mode (1 to 4) and skin (1 to 3) chosen in the skin dialog.
struct SkinDialogChoice {
  int32_t windowMode;
  int32_t skin;
};

struct WindowHooks {
  // Repaints the install-path page at once.
  void (*redrawInstallPathPage)() = nullptr;
  // Shows the progress bar at `done` of `total`.
  void (*drawProgress)(int32_t done, int32_t total) = nullptr;
  // Shows the skin dialog modally, its choices preset to `preset`, and
  // returns the choice made with OK (`preset` when the dialog could not run).
  SkinDialogChoice (*showSkinDialog)(SkinDialogChoice preset) = nullptr;
};

// The hooks in force: empty unless a ScopedWindowHooks holds some.
const WindowHooks& CurrentWindowHooks();

// Each request calls its hook when one is installed and does nothing otherwise.
void RequestInstallPathRedraw();
void RequestProgress(int32_t done, int32_t total);
// The skin dialog's choice; `preset` without a hook.
SkinDialogChoice RequestSkinDialog(SkinDialogChoice preset);

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
