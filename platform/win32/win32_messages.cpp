#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/win32_services.h"

namespace zv::platform::win32 {
namespace {

MSG ToMsg(const Message& message) {
  MSG native = {};
  native.hwnd = ToWin<HWND>(message.window);
  native.message = message.message;
  native.wParam = message.wParam;
  native.lParam = message.lParam;
  return native;
}

}  // namespace

intptr_t Win32MessageQueue::SendMessageW(WindowHandle window, uint32_t message, uintptr_t wParam,
                                         intptr_t lParam) {
  return ::SendMessageW(ToWin<HWND>(window), message, wParam, lParam);
}

bool Win32MessageQueue::PostMessageA(WindowHandle window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam) {
  return ::PostMessageA(ToWin<HWND>(window), message, wParam, lParam) != 0;
}

void Win32MessageQueue::PostQuitMessage(int32_t exitCode) { ::PostQuitMessage(exitCode); }

int32_t Win32MessageQueue::GetMessageW(Message* out) {
  MSG native;
  BOOL got = ::GetMessageW(&native, nullptr, 0, 0);
  if (got == -1) return -1;
  *out = Message{FromWin(native.hwnd), native.message, native.wParam, native.lParam};
  return got;
}

bool Win32MessageQueue::TranslateMessage(const Message& message) {
  MSG native = ToMsg(message);
  return ::TranslateMessage(&native) != 0;
}

intptr_t Win32MessageQueue::DispatchMessageW(const Message& message) {
  MSG native = ToMsg(message);
  return ::DispatchMessageW(&native);
}

uintptr_t Win32MessageQueue::SetTimer(WindowHandle window, uintptr_t id, uint32_t elapseMs) {
  return ::SetTimer(ToWin<HWND>(window), id, elapseMs, nullptr);
}

bool Win32MessageQueue::KillTimer(WindowHandle window, uintptr_t id) {
  return ::KillTimer(ToWin<HWND>(window), id) != 0;
}

}  // namespace zv::platform::win32
