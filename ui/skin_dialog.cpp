#include "ui/skin_dialog.h"

#include "platform/services.h"
#include "platform/win_constants.h"
#include "state/run_state.h"
#include "state/skin_choice.h"
#include "state/window_parts.h"
#include "state/wizard_state.h"

namespace zv {
namespace {

// What the dialog ends with when OK closed it.
constexpr intptr_t kChosen = 1;

void ShowChecks(platform::WindowHandle dialog) {
  for (int id : kSkinDialogRadioIds) {
    platform::Dialogs().CheckDlgButton(
        dialog, id, SkinDialogFlags.IsChecked(id) ? win::kBstChecked : win::kBstUnchecked);
  }
}

// The dialog's top-left corner goes onto the main window's, its size kept.
void PlaceOnMainWindow(platform::WindowHandle dialog) {
  platform::Rect main;
  platform::Rect own;
  if (!platform::Windows().GetWindowRect(MainWindow, &main) ||
      !platform::Windows().GetWindowRect(dialog, &own)) {
    return;
  }
  platform::Windows().MoveWindow(dialog, main.left, main.top, own.right - own.left,
                                 own.bottom - own.top, true);
}

}  // namespace

intptr_t SkinDialogProc(platform::WindowHandle dialog, uint32_t message, uintptr_t wParam,
                        intptr_t) {
  if (message == win::kWmInitDialog) {
    PlaceOnMainWindow(dialog);
    SkinDialogFlags = SkinChoiceFlags();
    ShowChecks(dialog);
    return 0;
  }
  if (message != win::kWmCommand) return 0;
  if (SkinDialogFlags.OnCommand(platform::LowWord(wParam))) {
    platform::Dialogs().EndDialog(dialog, kChosen);
    return 1;
  }
  ShowChecks(dialog);
  return 0;
}

SkinDialogChoice ShowSkinDialog(SkinDialogChoice preset) {
  const intptr_t ended = platform::Dialogs().DialogBoxParamW(
      WindowParts.instance, UiCodePage == 950 ? u"PYKEYB" : u"PYKEY", MainWindow, SkinDialogProc,
      0);
  if (ended != kChosen) return preset;
  return {SkinDialogFlags.WindowModeResult(), SkinDialogFlags.SkinChoiceResult()};
}

}  // namespace zv
