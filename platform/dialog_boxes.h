// Modal dialogs made from the program's dialog templates.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gui_types.h"

namespace zv::platform {

class DialogBoxes {
 public:
  virtual ~DialogBoxes() = default;

  // DialogBoxParamW: shows the dialog of template `templateName` in
  // `instance`, owned by `owner` (disabled while the dialog is open), runs
  // `dialogProc` from WM_INITDIALOG (lParam = `initParam`) until EndDialog,
  // and returns the value given to EndDialog; -1 when the dialog could not be
  // made.
  virtual intptr_t DialogBoxParamW(InstanceHandle instance, const std::u16string& templateName,
                                   WindowHandle owner, DialogProc dialogProc,
                                   intptr_t initParam) = 0;
  // EndDialog: closes the modal dialog once its procedure returns.
  virtual bool EndDialog(WindowHandle dialog, intptr_t result) = 0;

  // GetDlgItem: the control with identifier `id`, 0 when there is none.
  virtual WindowHandle GetDlgItem(WindowHandle dialog, int32_t id) = 0;
  // CheckDlgButton with kBstUnchecked / kBstChecked.
  virtual bool CheckDlgButton(WindowHandle dialog, int32_t id, uint32_t check) = 0;
  // IsDlgButtonChecked: kBstChecked, kBstUnchecked (also when there is no
  // such button).
  virtual uint32_t IsDlgButtonChecked(WindowHandle dialog, int32_t id) = 0;
  // SendDlgItemMessageW: SendMessageW to the control with identifier `id`.
  virtual intptr_t SendDlgItemMessageW(WindowHandle dialog, int32_t id, uint32_t message,
                                       uintptr_t wParam, intptr_t lParam) = 0;
};

}  // namespace zv::platform
