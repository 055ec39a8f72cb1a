// Which page follows which click: the wizard's page logic as a plain
// function of the page and the point clicked, without any window.
#pragma once

#include <cstdint>

#include "state/wizard_state.h"

namespace zv {

// A rectangle of the main window's client area. A point is inside when
// left <= x <= right and top <= y <= bottom: all four edges belong to it.
struct ClientRect {
  int32_t left, top, right, bottom;
  bool Contains(int32_t x, int32_t y) const {
    return left <= x && x <= right && top <= y && y <= bottom;
  }
};

// The two painted buttons and the field frame.
inline constexpr ClientRect kConfirmButton{40, 245, 140, 270};
inline constexpr ClientRect kExitButton{260, 245, 360, 270};
inline constexpr ClientRect kFieldFrame{30, 192, 365, 217};

// The progress bar, kept as origin and size.
struct ProgressBarArea {
  int32_t x, y, width, height;
};
inline constexpr ProgressBarArea kProgressBar{30, 188, 340, 30};

// The pages are numbered in state/wizard_state.h.
enum class PageKind { kWelcome, kWebAddress, kInstallPath, kProcessing, kTypingTest };
PageKind PageKindOf(int32_t page);

enum class WizardButton { kNone, kConfirm, kExit };

// The button under the client point (x, y): ExitButton is tested first, then
// ConfirmButton. Left and right clicks are handled alike; the coordinates are
// the unsigned low and high words of the click message.
WizardButton ButtonAt(int32_t x, int32_t y);

// What a click asks of the main window.
enum class PageAction {
  kNothing,
  kCloseWindow,        // close at once, no message, no report
  kFinishInstall,      // report or closing message, then close
  kLeaveWelcome,       // to the web-address page, the field prefilled
  kLeaveWebAddress,    // take the address, write the settings, to the install-path page
  kConfirmInstall,     // the whole install
  kRepaint,            // the processing page: only a repaint
  kNextTypingTestPage  // page 8 to 9
};

// The action of a click on `button` while `page` is shown. While an install
// runs (`installing`), every click is ignored: the install's message boxes
// have no owner, so the window stays clickable, and closing it would free
// the work buffer under the running install.
PageAction ActionForClick(int32_t page, WizardButton button, bool installing);

}  // namespace zv
