#include <windows.h>

#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_services.h"

namespace zv::platform::win32 {
namespace {

// Windows calls a WNDPROC; the logic gives plain WindowProc functions. Every
// class registered here gets the one thunk below, which finds the class's
// procedure by the class atom, so any number of classes can be registered
// and a class needs no extra bytes.
struct ClassProc {
  ATOM atom;
  WindowProc proc;
};
std::vector<ClassProc> g_classProcs;

WindowProc ProcOfClass(ATOM atom) {
  for (const ClassProc& entry : g_classProcs) {
    if (entry.atom == atom) return entry.proc;
  }
  return nullptr;
}

LRESULT CALLBACK Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowProc proc = ProcOfClass(static_cast<ATOM>(::GetClassWord(window, GCW_ATOM)));
  if (proc == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
  return proc(FromWin(window), message, wParam, lParam);
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
  if (windowClass.windowProc == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  WNDCLASSA native = {};
  native.style = windowClass.style;
  native.lpfnWndProc = Thunk;
  native.hInstance = ToWin<HINSTANCE>(windowClass.instance);
  native.hIcon = ToWin<HICON>(windowClass.icon);
  native.hCursor = ToWin<HCURSOR>(windowClass.cursor);
  native.hbrBackground = ToWin<HBRUSH>(windowClass.background);
  native.lpszClassName = windowClass.className.c_str();
  // Registering sends no message: the first one comes with the first window
  // of the class, when the atom is known.
  ATOM atom = ::RegisterClassA(&native);
  if (atom != 0) g_classProcs.push_back({atom, windowClass.windowProc});
  return atom;
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
