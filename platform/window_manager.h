// Window classes and windows: creation, text, geometry, visibility, focus and
// the enumeration of the desktop's top-level windows.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gui_types.h"

namespace zv::platform {

// The fields of WNDCLASSA that the installer sets; no extra bytes, no menu.
struct WindowClassA {
  uint32_t style = 0;
  WindowProc windowProc = nullptr;
  InstanceHandle instance = 0;
  IconHandle icon = 0;       // from LoadIconA, 0 for none
  CursorHandle cursor = 0;   // from LoadCursorA, 0 for none
  GdiObject background = 0;  // a brush (e.g. the stock white brush), 0 for none
  std::string className;
};

// The callback of EnumWindows: return true to go on, false to stop.
using EnumWindowsProc = bool (*)(WindowHandle window, intptr_t lParam);

class WindowManager {
 public:
  virtual ~WindowManager() = default;

  // GetModuleHandleW(NULL): the program's own module.
  virtual InstanceHandle GetModuleHandleW() = 0;
  // LoadIconA: the icon resource `name` of `instance`; 0 when it is missing.
  virtual IconHandle LoadIconA(InstanceHandle instance, const std::string& name) = 0;
  // LoadCursorA(NULL, MAKEINTRESOURCE(id)): a standard cursor such as kIdcArrow.
  virtual CursorHandle LoadCursorA(uint32_t standardCursorId) = 0;
  // RegisterClassA: returns the class atom, 0 on failure (a class of that
  // name already registered by this module, no procedure).
  virtual uint16_t RegisterClassA(const WindowClassA& windowClass) = 0;

  // CreateWindowExW. The class's procedure receives WM_CREATE before the call
  // returns; when it answers -1 the window is destroyed and 0 returned. For a
  // child window (kWsChild) `parentOrOwner` is the parent and `menuOrId` the
  // control identifier; for a top-level window it is the owner (0 for none).
  virtual WindowHandle CreateWindowExW(uint32_t exStyle, const std::u16string& className,
                                       const std::u16string& windowName, uint32_t style, int32_t x,
                                       int32_t y, int32_t width, int32_t height,
                                       WindowHandle parentOrOwner, uintptr_t menuOrId,
                                       InstanceHandle instance) = 0;
  // DestroyWindow: the window gets WM_DESTROY, then its children; windows it
  // owns are destroyed first.
  virtual bool DestroyWindow(WindowHandle window) = 0;
  virtual bool IsWindow(WindowHandle window) = 0;

  // ShowWindow with a show command (kSwHide, kSwShow, ...): whether the window
  // was visible before.
  virtual bool ShowWindow(WindowHandle window, uint32_t showCommand) = 0;
  virtual bool IsWindowVisible(WindowHandle window) = 0;
  // UpdateWindow: sends WM_PAINT at once when part of the window is invalid.
  virtual bool UpdateWindow(WindowHandle window) = 0;
  // InvalidateRect(window, NULL, erase): the whole client area must be painted.
  virtual bool InvalidateRect(WindowHandle window, bool erase) = 0;
  // EnableWindow: whether the window was disabled before.
  virtual bool EnableWindow(WindowHandle window, bool enable) = 0;
  virtual bool IsWindowEnabled(WindowHandle window) = 0;

  // SetWindowTextW / SetWindowTextA (8-bit text in the ANSI code page).
  virtual bool SetWindowTextW(WindowHandle window, const std::u16string& text) = 0;
  virtual bool SetWindowTextA(WindowHandle window, const std::string& text) = 0;
  // GetWindowTextW / GetWindowTextA into a buffer of `capacity` characters
  // (bytes for the 8-bit form) including the terminating zero: the text,
  // cut to capacity - 1; empty when the window has none or does not exist.
  virtual std::u16string GetWindowTextW(WindowHandle window, uint32_t capacity) = 0;
  virtual std::string GetWindowTextA(WindowHandle window, uint32_t capacity) = 0;
  // GetClassNameA into a buffer of `capacity` bytes; empty on failure.
  virtual std::string GetClassNameA(WindowHandle window, uint32_t capacity) = 0;

  // SetFocus: the window that had the focus before (0 for none or on failure).
  virtual WindowHandle SetFocus(WindowHandle window) = 0;
  virtual WindowHandle GetFocus() = 0;

  // GetWindowRect: the window's rectangle in screen coordinates.
  virtual bool GetWindowRect(WindowHandle window, Rect* out) = 0;
  // MoveWindow: position (relative to the parent's client area for a child)
  // and size.
  virtual bool MoveWindow(WindowHandle window, int32_t x, int32_t y, int32_t width, int32_t height,
                          bool repaint) = 0;
  // SetWindowPos with kSwpNoSize, kSwpNoMove, kSwpNoZOrder, ... in `flags`.
  virtual bool SetWindowPos(WindowHandle window, WindowHandle insertAfter, int32_t x, int32_t y,
                            int32_t width, int32_t height, uint32_t flags) = 0;
  // GetSystemMetrics (kSmCxScreen, kSmCyScreen, ...).
  virtual int32_t GetSystemMetrics(int32_t index) = 0;

  // GetParent: the parent of a child window, the owner of a top-level pop-up
  // window (kWsPopup), 0 for any other top-level window.
  virtual WindowHandle GetParent(WindowHandle window) = 0;
  // GetWindowThreadProcessId: the id of the process that created the window;
  // 0 when the window does not exist.
  virtual uint32_t GetWindowThreadProcessId(WindowHandle window) = 0;
  // EnumWindows: calls `callback` for every top-level window of the desktop,
  // from the top of the Z order down, until it returns false. False when the
  // callback stopped the enumeration.
  virtual bool EnumWindows(EnumWindowsProc callback, intptr_t lParam) = 0;

  // DefWindowProcA: what Windows does with a message the procedure leaves
  // alone (WM_CLOSE destroys the window, WM_PAINT validates it). A class
  // registered with RegisterClassA gets its messages in 8-bit form (the
  // window name of WM_NCCREATE, the text of WM_SETTEXT), so it must pass
  // them on to the 8-bit default procedure.
  virtual intptr_t DefWindowProcA(WindowHandle window, uint32_t message, uintptr_t wParam,
                                  intptr_t lParam) = 0;
};

}  // namespace zv::platform
