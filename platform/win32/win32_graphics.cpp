#include <windows.h>

#include <vector>

#include "platform/dib_layout.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_services.h"

namespace zv::platform::win32 {
namespace {

HDC Hdc(DcHandle dc) { return ToWin<HDC>(dc); }

}  // namespace

DcHandle Win32Graphics::BeginPaint(WindowHandle window, PaintInfo* out) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(ToWin<HWND>(window), &paint);
  if (dc == nullptr) return 0;
  out->dc = FromWin(dc);
  out->erase = paint.fErase != 0;
  out->paint =
      Rect{paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right, paint.rcPaint.bottom};
  return out->dc;
}

bool Win32Graphics::EndPaint(WindowHandle window, const PaintInfo& info) {
  PAINTSTRUCT paint = {};
  paint.hdc = Hdc(info.dc);
  paint.fErase = info.erase ? TRUE : FALSE;
  paint.rcPaint = RECT{info.paint.left, info.paint.top, info.paint.right, info.paint.bottom};
  return ::EndPaint(ToWin<HWND>(window), &paint) != 0;
}

DcHandle Win32Graphics::GetDC(WindowHandle window) { return FromWin(::GetDC(ToWin<HWND>(window))); }

int32_t Win32Graphics::ReleaseDC(WindowHandle window, DcHandle dc) {
  return ::ReleaseDC(ToWin<HWND>(window), Hdc(dc));
}

DcHandle Win32Graphics::CreateCompatibleDC(DcHandle dc) {
  return FromWin(::CreateCompatibleDC(Hdc(dc)));
}

bool Win32Graphics::DeleteDC(DcHandle dc) { return ::DeleteDC(Hdc(dc)) != 0; }

GdiObject Win32Graphics::CreatePen(int32_t style, int32_t width, ColorRef color) {
  return FromWin(::CreatePen(style, width, color));
}

GdiObject Win32Graphics::CreateSolidBrush(ColorRef color) {
  return FromWin(::CreateSolidBrush(color));
}

GdiObject Win32Graphics::GetStockObject(int32_t index) { return FromWin(::GetStockObject(index)); }

GdiObject Win32Graphics::CreateFontA(int32_t height, int32_t width, int32_t weight,
                                     uint32_t charSet, const std::string& face) {
  return FromWin(
      ::CreateFontA(height, width, 0, 0, weight, 0, 0, 0, charSet, 0, 0, 0, 0, face.c_str()));
}

GdiObject Win32Graphics::CreateDIBitmap(DcHandle dc, const uint8_t* info, size_t infoSize,
                                        const uint8_t* bits, size_t bitsSize, uint32_t usage) {
  DibLayout layout;
  if (bits == nullptr || !ReadDibLayout(info, infoSize, &layout) || layout.pixelBytes > bitsSize) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // The header may lie at any address inside a file image: give GDI an
  // aligned copy of it and its colour table.
  size_t headerBytes = layout.headerSize + layout.colorCount * 4;
  std::vector<DWORD> header((headerBytes + sizeof(DWORD) - 1) / sizeof(DWORD));
  memcpy(header.data(), info, headerBytes);
  const BITMAPINFO* bitmapInfo = reinterpret_cast<const BITMAPINFO*>(header.data());
  return FromWin(
      ::CreateDIBitmap(Hdc(dc), &bitmapInfo->bmiHeader, CBM_INIT, bits, bitmapInfo, usage));
}

GdiObject Win32Graphics::SelectObject(DcHandle dc, GdiObject object) {
  return FromWin(::SelectObject(Hdc(dc), ToWin<HGDIOBJ>(object)));
}

bool Win32Graphics::DeleteObject(GdiObject object) {
  return ::DeleteObject(ToWin<HGDIOBJ>(object)) != 0;
}

bool Win32Graphics::MoveToEx(DcHandle dc, int32_t x, int32_t y) {
  return ::MoveToEx(Hdc(dc), x, y, nullptr) != 0;
}

bool Win32Graphics::LineTo(DcHandle dc, int32_t x, int32_t y) {
  return ::LineTo(Hdc(dc), x, y) != 0;
}

bool Win32Graphics::Rectangle(DcHandle dc, int32_t left, int32_t top, int32_t right,
                              int32_t bottom) {
  return ::Rectangle(Hdc(dc), left, top, right, bottom) != 0;
}

bool Win32Graphics::TextOutA(DcHandle dc, int32_t x, int32_t y, const std::string& text) {
  return ::TextOutA(Hdc(dc), x, y, text.data(), static_cast<int>(text.size())) != 0;
}

bool Win32Graphics::TextOutW(DcHandle dc, int32_t x, int32_t y, const std::u16string& text) {
  return ::TextOutW(Hdc(dc), x, y, Wide(text), static_cast<int>(text.size())) != 0;
}

ColorRef Win32Graphics::SetTextColor(DcHandle dc, ColorRef color) {
  return ::SetTextColor(Hdc(dc), color);
}

int32_t Win32Graphics::SetBkMode(DcHandle dc, int32_t mode) { return ::SetBkMode(Hdc(dc), mode); }

bool Win32Graphics::StretchBlt(DcHandle dest, int32_t xDest, int32_t yDest, int32_t widthDest,
                               int32_t heightDest, DcHandle source, int32_t xSource,
                               int32_t ySource, int32_t widthSource, int32_t heightSource,
                               uint32_t rop) {
  return ::StretchBlt(Hdc(dest), xDest, yDest, widthDest, heightDest, Hdc(source), xSource, ySource,
                      widthSource, heightSource, rop) != 0;
}

}  // namespace zv::platform::win32
