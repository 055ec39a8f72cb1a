// Handles, shapes and callbacks shared by the window, message, dialog and
// drawing services. Every handle is an opaque value that only the service
// that issued it interprets; 0 is no handle.
#pragma once

#include <cstdint>

namespace zv::platform {

using WindowHandle = uintptr_t;    // HWND
using InstanceHandle = uintptr_t;  // HINSTANCE of a module
using IconHandle = uintptr_t;      // HICON
using CursorHandle = uintptr_t;    // HCURSOR
using DcHandle = uintptr_t;        // HDC: a window's, the screen's or a memory device context
using GdiObject = uintptr_t;       // HGDIOBJ: a pen, brush, font or bitmap
using MappingHandle = uintptr_t;   // HANDLE of a named file mapping
using MutexHandle = uintptr_t;     // HANDLE of a named mutex

// A COLORREF: red in the low byte, then green, then blue.
using ColorRef = uint32_t;
constexpr ColorRef Rgb(uint8_t red, uint8_t green, uint8_t blue) {
  return static_cast<ColorRef>(red) | static_cast<ColorRef>(green) << 8 |
         static_cast<ColorRef>(blue) << 16;
}
constexpr uint8_t RedOf(ColorRef color) { return static_cast<uint8_t>(color); }
constexpr uint8_t GreenOf(ColorRef color) { return static_cast<uint8_t>(color >> 8); }
constexpr uint8_t BlueOf(ColorRef color) { return static_cast<uint8_t>(color >> 16); }

struct Point {
  int32_t x = 0;
  int32_t y = 0;
};

// A RECT: left and top inside, right and bottom one past the last pixel.
struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// The procedure of a window class (a WNDPROC) and of a dialog (a DLGPROC,
// which returns nonzero for a message it handled). Both are plain functions:
// the window's state lives in the logic's process-wide values.
using WindowProc = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wParam,
                                intptr_t lParam);
using DialogProc = WindowProc;

// The low and high 16 bits of a message parameter (LOWORD / HIWORD), and
// the two put together (MAKELONG / MAKEWPARAM / MAKELPARAM).
constexpr uint16_t LowWord(uintptr_t value) { return static_cast<uint16_t>(value & 0xFFFFu); }
constexpr uint16_t HighWord(uintptr_t value) {
  return static_cast<uint16_t>((value >> 16) & 0xFFFFu);
}
constexpr uint32_t MakeLong(uint16_t low, uint16_t high) {
  return static_cast<uint32_t>(low) | static_cast<uint32_t>(high) << 16;
}

}  // namespace zv::platform
