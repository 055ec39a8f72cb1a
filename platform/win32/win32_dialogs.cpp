#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_services.h"

namespace zv::platform::win32 {
namespace {

// The logic's procedure and parameter travel to WM_INITDIALOG as its lParam
// and are kept in the dialog's DWLP_USER slot from then on.
struct DialogCall {
  DialogProc proc;
  intptr_t initParam;
};

INT_PTR CALLBACK DialogThunk(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    const DialogCall* call = reinterpret_cast<const DialogCall*>(lParam);
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return call->proc(FromWin(dialog), message, wParam, call->initParam);
  }
  const DialogCall* call =
      reinterpret_cast<const DialogCall*>(GetWindowLongPtrW(dialog, DWLP_USER));
  // Messages before WM_INITDIALOG (WM_SETFONT) go to the dialog manager.
  if (call == nullptr) return FALSE;
  return call->proc(FromWin(dialog), message, wParam, lParam);
}

}  // namespace

intptr_t Win32DialogBoxes::DialogBoxParamW(InstanceHandle instance,
                                           const std::u16string& templateName, WindowHandle owner,
                                           DialogProc dialogProc, intptr_t initParam) {
  DialogCall call{dialogProc, initParam};
  return ::DialogBoxParamW(ToWin<HINSTANCE>(instance), Wide(templateName), ToWin<HWND>(owner),
                           DialogThunk, reinterpret_cast<LPARAM>(&call));
}

bool Win32DialogBoxes::EndDialog(WindowHandle dialog, intptr_t result) {
  return ::EndDialog(ToWin<HWND>(dialog), result) != 0;
}

WindowHandle Win32DialogBoxes::GetDlgItem(WindowHandle dialog, int32_t id) {
  return FromWin(::GetDlgItem(ToWin<HWND>(dialog), id));
}

bool Win32DialogBoxes::CheckDlgButton(WindowHandle dialog, int32_t id, uint32_t check) {
  return ::CheckDlgButton(ToWin<HWND>(dialog), id, check) != 0;
}

uint32_t Win32DialogBoxes::IsDlgButtonChecked(WindowHandle dialog, int32_t id) {
  return ::IsDlgButtonChecked(ToWin<HWND>(dialog), id);
}

intptr_t Win32DialogBoxes::SendDlgItemMessageW(WindowHandle dialog, int32_t id, uint32_t message,
                                               uintptr_t wParam, intptr_t lParam) {
  return ::SendDlgItemMessageW(ToWin<HWND>(dialog), id, message, wParam, lParam);
}

}  // namespace zv::platform::win32
