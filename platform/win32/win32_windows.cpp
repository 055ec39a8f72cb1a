#include <windows.h>

#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_services.h"

namespace zv::platform::win32 {
namespace {

// Windows calls a WNDPROC; the logic gives plain WindowProc functions. Each
// registered procedure takes one slot whose thunk forwards to it, so that a
// class needs no extra bytes to find its procedure.
constexpr int kProcSlots = 8;
WindowProc g_procs[kProcSlots] = {};

template <int Slot>
LRESULT CALLBACK Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return g_procs[Slot](FromWin(window), message, wParam, lParam);
}

constexpr WNDPROC kThunks[kProcSlots] = {Thunk<0>, Thunk<1>, Thunk<2>, Thunk<3>,
                                         Thunk<4>, Thunk<5>, Thunk<6>, Thunk<7>};

// The slot of `proc`: the one it already has, else the first free one; -1
// when all are taken.
int SlotOf(WindowProc proc) {
  for (int slot = 0; slot < kProcSlots; ++slot) {
    if (g_procs[slot] == proc) return slot;
  }
  for (int slot = 0; slot < kProcSlots; ++slot) {
    if (g_procs[slot] == nullptr) return slot;
  }
  return -1;
}

struct EnumCall {
  EnumWindowsProc callback;
  intptr_t lParam;
};

BOOL CALLBACK EnumThunk(HWND window, LPARAM lParam) {
  const EnumCall* call = reinterpret_cast<const EnumCall*>(lParam);
  return call->callback(FromWin(window), call->lParam) ? TRUE : FALSE;
}

HWND Hwnd(WindowHandle window) { return ToWin<HWND>(window); }

}  // namespace

InstanceHandle Win32WindowManager::GetModuleHandleW() {
  return FromWin(::GetModuleHandleW(nullptr));
}

IconHandle Win32WindowManager::LoadIconA(InstanceHandle instance, const std::string& name) {
  return FromWin(::LoadIconA(ToWin<HINSTANCE>(instance), name.c_str()));
}

CursorHandle Win32WindowManager::LoadCursorA(uint32_t standardCursorId) {
  return FromWin(::LoadCursorA(nullptr, MAKEINTRESOURCEA(standardCursorId)));
}

uint16_t Win32WindowManager::RegisterClassA(const WindowClassA& windowClass) {
  int slot = windowClass.windowProc == nullptr ? -1 : SlotOf(windowClass.windowProc);
  if (slot < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSA native = {};
  native.style = windowClass.style;
  native.lpfnWndProc = kThunks[slot];
  native.hInstance = ToWin<HINSTANCE>(windowClass.instance);
  native.hIcon = ToWin<HICON>(windowClass.icon);
  native.hCursor = ToWin<HCURSOR>(windowClass.cursor);
  native.hbrBackground = ToWin<HBRUSH>(windowClass.background);
  native.lpszClassName = windowClass.className.c_str();
  // The slot is taken before the call: WM_CREATE may come at once after it.
  g_procs[slot] = windowClass.windowProc;
  return ::RegisterClassA(&native);
}

WindowHandle Win32WindowManager::CreateWindowExW(uint32_t exStyle, const std::u16string& className,
                                                 const std::u16string& windowName, uint32_t style,
                                                 int32_t x, int32_t y, int32_t width,
                                                 int32_t height, WindowHandle parentOrOwner,
                                                 uintptr_t menuOrId, InstanceHandle instance) {
  return FromWin(::CreateWindowExW(exStyle, Wide(className), Wide(windowName), style, x, y, width,
                                   height, Hwnd(parentOrOwner), ToWin<HMENU>(menuOrId),
                                   ToWin<HINSTANCE>(instance), nullptr));
}

bool Win32WindowManager::DestroyWindow(WindowHandle window) {
  return ::DestroyWindow(Hwnd(window)) != 0;
}

bool Win32WindowManager::IsWindow(WindowHandle window) { return ::IsWindow(Hwnd(window)) != 0; }

bool Win32WindowManager::ShowWindow(WindowHandle window, uint32_t showCommand) {
  return ::ShowWindow(Hwnd(window), static_cast<int>(showCommand)) != 0;
}

bool Win32WindowManager::IsWindowVisible(WindowHandle window) {
  return ::IsWindowVisible(Hwnd(window)) != 0;
}

bool Win32WindowManager::UpdateWindow(WindowHandle window) {
  return ::UpdateWindow(Hwnd(window)) != 0;
}

bool Win32WindowManager::InvalidateRect(WindowHandle window, bool erase) {
  return ::InvalidateRect(Hwnd(window), nullptr, erase ? TRUE : FALSE) != 0;
}

bool Win32WindowManager::EnableWindow(WindowHandle window, bool enable) {
  return ::EnableWindow(Hwnd(window), enable ? TRUE : FALSE) != 0;
}

bool Win32WindowManager::IsWindowEnabled(WindowHandle window) {
  return ::IsWindowEnabled(Hwnd(window)) != 0;
}

bool Win32WindowManager::SetWindowTextW(WindowHandle window, const std::u16string& text) {
  return ::SetWindowTextW(Hwnd(window), Wide(text)) != 0;
}

bool Win32WindowManager::SetWindowTextA(WindowHandle window, const std::string& text) {
  return ::SetWindowTextA(Hwnd(window), text.c_str()) != 0;
}

std::u16string Win32WindowManager::GetWindowTextW(WindowHandle window, uint32_t capacity) {
  if (capacity == 0) return {};
  std::vector<wchar_t> buffer(capacity);
  int length = ::GetWindowTextW(Hwnd(window), buffer.data(), static_cast<int>(capacity));
  return length > 0 ? FromWide(buffer.data(), static_cast<size_t>(length)) : std::u16string();
}

std::string Win32WindowManager::GetWindowTextA(WindowHandle window, uint32_t capacity) {
  if (capacity == 0) return {};
  std::vector<char> buffer(capacity);
  int length = ::GetWindowTextA(Hwnd(window), buffer.data(), static_cast<int>(capacity));
  return length > 0 ? std::string(buffer.data(), static_cast<size_t>(length)) : std::string();
}

std::string Win32WindowManager::GetClassNameA(WindowHandle window, uint32_t capacity) {
  if (capacity == 0) return {};
  std::vector<char> buffer(capacity);
  int length = ::GetClassNameA(Hwnd(window), buffer.data(), static_cast<int>(capacity));
  return length > 0 ? std::string(buffer.data(), static_cast<size_t>(length)) : std::string();
}

WindowHandle Win32WindowManager::SetFocus(WindowHandle window) {
  return FromWin(::SetFocus(Hwnd(window)));
}

WindowHandle Win32WindowManager::GetFocus() { return FromWin(::GetFocus()); }

bool Win32WindowManager::GetWindowRect(WindowHandle window, Rect* out) {
  RECT rect;
  if (::GetWindowRect(Hwnd(window), &rect) == 0) return false;
  *out = Rect{rect.left, rect.top, rect.right, rect.bottom};
  return true;
}

bool Win32WindowManager::MoveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width,
                                    int32_t height, bool repaint) {
  return ::MoveWindow(Hwnd(window), x, y, width, height, repaint ? TRUE : FALSE) != 0;
}

bool Win32WindowManager::SetWindowPos(WindowHandle window, WindowHandle insertAfter, int32_t x,
                                      int32_t y, int32_t width, int32_t height, uint32_t flags) {
  return ::SetWindowPos(Hwnd(window), Hwnd(insertAfter), x, y, width, height, flags) != 0;
}

int32_t Win32WindowManager::GetSystemMetrics(int32_t index) { return ::GetSystemMetrics(index); }

WindowHandle Win32WindowManager::GetParent(WindowHandle window) {
  return FromWin(::GetParent(Hwnd(window)));
}

uint32_t Win32WindowManager::GetWindowThreadProcessId(WindowHandle window) {
  DWORD processId = 0;
  if (::GetWindowThreadProcessId(Hwnd(window), &processId) == 0) return 0;
  return processId;
}

bool Win32WindowManager::EnumWindows(EnumWindowsProc callback, intptr_t lParam) {
  EnumCall call{callback, lParam};
  return ::EnumWindows(EnumThunk, reinterpret_cast<LPARAM>(&call)) != 0;
}

intptr_t Win32WindowManager::DefWindowProcA(WindowHandle window, uint32_t message, uintptr_t wParam,
                                            intptr_t lParam) {
  return ::DefWindowProcA(Hwnd(window), message, wParam, lParam);
}

}  // namespace zv::platform::win32
