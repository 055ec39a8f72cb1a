#include "ui/skin_dialog.h"

#include "platform/services.h"
#include "platform/win_constants.h"
#include "state/run_state.h"
#include "state/wizard_state.h"
#include "ui/skin_choice.h"
#include "ui/window_parts.h"

namespace zv {
namespace {

SkinChoiceFlags g_choices;

void ShowChecks(platform::WindowHandle dialog) {
  for (int id : kSkinDialogRadioIds) {
    platform::Dialogs().CheckDlgButton(
        dialog, id, g_choices.IsChecked(id) ? win::kBstChecked : win::kBstUnchecked);
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
    g_choices = SkinChoiceFlags();
    ShowChecks(dialog);
    return 0;
  }
  if (message != win::kWmCommand) return 0;
  if (g_choices.OnCommand(platform::LowWord(wParam))) {
    WindowMode = g_choices.WindowModeResult();
    SkinChoice = g_choices.SkinChoiceResult();
    platform::Dialogs().EndDialog(dialog, 1);
    return 1;
  }
  ShowChecks(dialog);
  return 0;
}

void ShowSkinDialog() {
  platform::Dialogs().DialogBoxParamW(WindowParts.instance,
                                      UiCodePage == 950 ? u"PYKEYB" : u"PYKEY", MainWindow,
                                      SkinDialogProc, 0);
}

}  // namespace zv
