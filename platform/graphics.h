// GDI: device contexts, pens, brushes, fonts and bitmaps, and the drawing
// calls the wizard paints its pages with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/gui_types.h"

namespace zv::platform {

// The fields of PAINTSTRUCT that BeginPaint fills.
struct PaintInfo {
  DcHandle dc = 0;
  bool erase = false;
  Rect paint;
};

class Graphics {
 public:
  virtual ~Graphics() = default;

  // BeginPaint: a device context clipped to the invalid part of the window,
  // which becomes valid; 0 on failure. EndPaint releases it.
  virtual DcHandle BeginPaint(WindowHandle window, PaintInfo* out) = 0;
  virtual bool EndPaint(WindowHandle window, const PaintInfo& paint) = 0;
  // GetDC: a device context of the window's client area (of the screen for
  // window 0); ReleaseDC gives it back (1 when released).
  virtual DcHandle GetDC(WindowHandle window) = 0;
  virtual int32_t ReleaseDC(WindowHandle window, DcHandle dc) = 0;
  // CreateCompatibleDC: a memory device context like `dc`; DeleteDC frees it.
  virtual DcHandle CreateCompatibleDC(DcHandle dc) = 0;
  virtual bool DeleteDC(DcHandle dc) = 0;

  // CreatePen(style, width, colour), CreateSolidBrush(colour).
  virtual GdiObject CreatePen(int32_t style, int32_t width, ColorRef color) = 0;
  virtual GdiObject CreateSolidBrush(ColorRef color) = 0;
  // GetStockObject (kWhiteBrush, kBlackPen, ...): never to be deleted.
  virtual GdiObject GetStockObject(int32_t index) = 0;
  // CreateFontA with the given height, width, weight, charset and face;
  // escapement, orientation, italic, underline, strike-out, precisions,
  // quality and pitch all 0.
  virtual GdiObject CreateFontA(int32_t height, int32_t width, int32_t weight, uint32_t charSet,
                                const std::string& face) = 0;
  // CreateDIBitmap(dc, header, CBM_INIT, bits, info, usage): a device-
  // dependent bitmap initialised from a packed DIB held in memory: `info`
  // points at `infoSize` bytes of BITMAPINFOHEADER and colour table, `bits`
  // at `bitsSize` bytes of pixel rows. 0 when the header is malformed or the
  // rows it describes are longer than `bitsSize` (nothing is read past the
  // sizes given).
  virtual GdiObject CreateDIBitmap(DcHandle dc, const uint8_t* info, size_t infoSize,
                                   const uint8_t* bits, size_t bitsSize, uint32_t usage) = 0;
  // SelectObject: the object of the same kind selected before, 0 on failure.
  virtual GdiObject SelectObject(DcHandle dc, GdiObject object) = 0;
  // DeleteObject: false for an invalid object or one still selected into a
  // device context.
  virtual bool DeleteObject(GdiObject object) = 0;

  // MoveToEx (the previous position is not returned), LineTo (the end point
  // is not drawn), Rectangle (outline with the pen, inside with the brush,
  // right and bottom excluded).
  virtual bool MoveToEx(DcHandle dc, int32_t x, int32_t y) = 0;
  virtual bool LineTo(DcHandle dc, int32_t x, int32_t y) = 0;
  virtual bool Rectangle(DcHandle dc, int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;
  // TextOutA (8-bit text in the ANSI code page) and TextOutW.
  virtual bool TextOutA(DcHandle dc, int32_t x, int32_t y, const std::string& text) = 0;
  virtual bool TextOutW(DcHandle dc, int32_t x, int32_t y, const std::u16string& text) = 0;
  // SetTextColor: the colour before, kClrInvalid on failure.
  virtual ColorRef SetTextColor(DcHandle dc, ColorRef color) = 0;
  // SetBkMode (kTransparent, kOpaque): the mode before, 0 on failure.
  virtual int32_t SetBkMode(DcHandle dc, int32_t mode) = 0;
  // StretchBlt with a raster operation such as kSrcCopy.
  virtual bool StretchBlt(DcHandle dest, int32_t xDest, int32_t yDest, int32_t widthDest,
                          int32_t heightDest, DcHandle source, int32_t xSource, int32_t ySource,
                          int32_t widthSource, int32_t heightSource, uint32_t rop) = 0;
};

}  // namespace zv::platform
