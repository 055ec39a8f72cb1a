// GDI of the fake machine: device contexts with their selected objects and
// drawing state, and a log of every drawing call with the state in force,
// which ReplayOnCanvas (fake_canvas.h) turns into pixels.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_windows.h"
#include "platform/fake/machine_state.h"
#include "platform/graphics.h"

namespace zv::fake {

struct PenState {
  int32_t style = 0;
  int32_t width = 1;
  platform::ColorRef color = 0;
};

struct BrushState {
  bool null = false;  // the stock null brush: no fill
  platform::ColorRef color = 0;
};

struct FontState {
  std::string face;  // empty for the stock system font
  int32_t height = 0;
  int32_t width = 0;
  int32_t weight = 0;
  uint32_t charSet = 0;
};

// A device-dependent bitmap as the fake keeps it: rows from the top down.
struct FakeBitmap {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<platform::ColorRef> pixels;  // width * height
  platform::ColorRef At(int32_t x, int32_t y) const {
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
};

enum class DrawKind { kMoveTo, kLineTo, kRectangle, kTextA, kTextW, kStretchBlt };

struct DrawCall {
  DrawKind kind = DrawKind::kMoveTo;
  platform::DcHandle dc = 0;
  platform::WindowHandle window = 0;  // the window the context draws on
  bool memory = false;                // drawn into a memory context, not on screen
  platform::Point from;               // LineTo: the current position before the call
  platform::Point to;                 // MoveTo/LineTo: the point given; texts: their position
  platform::Rect rect;    // Rectangle; StretchBlt: destination (left + width, top + height)
  platform::Rect source;  // StretchBlt: source (left + width, top + height)
  std::shared_ptr<const FakeBitmap> bitmap;  // StretchBlt: selected into the source context
  uint32_t rop = 0;
  std::string text8;    // TextOutA bytes
  std::u16string text;  // TextOutW, or TextOutA converted through the ANSI code page
  PenState pen;
  BrushState brush;
  FontState font;
  platform::ColorRef textColor = 0;
  int32_t bkMode = 0;
};

class FakeGraphics : public platform::Graphics {
 public:
  FakeGraphics(MachineState& state, FakeWindows& windows);

  // Creation calls may be failed by injection: "BeginPaint", "GetDC",
  // "CreateCompatibleDC", "CreatePen", "CreateSolidBrush", "CreateFontA"
  // (with the face as subject), "CreateDIBitmap", "StretchBlt".
  platform::DcHandle BeginPaint(platform::WindowHandle window, platform::PaintInfo* out) override;
  bool EndPaint(platform::WindowHandle window, const platform::PaintInfo& paint) override;
  platform::DcHandle GetDC(platform::WindowHandle window) override;
  int32_t ReleaseDC(platform::WindowHandle window, platform::DcHandle dc) override;
  platform::DcHandle CreateCompatibleDC(platform::DcHandle dc) override;
  bool DeleteDC(platform::DcHandle dc) override;
  platform::GdiObject CreatePen(int32_t style, int32_t width, platform::ColorRef color) override;
  platform::GdiObject CreateSolidBrush(platform::ColorRef color) override;
  platform::GdiObject GetStockObject(int32_t index) override;
  platform::GdiObject CreateFontA(int32_t height, int32_t width, int32_t weight, uint32_t charSet,
                                  const std::string& face) override;
  platform::GdiObject CreateDIBitmap(platform::DcHandle dc, const uint8_t* info, size_t infoSize,
                                     const uint8_t* bits, size_t bitsSize, uint32_t usage) override;
  platform::GdiObject SelectObject(platform::DcHandle dc, platform::GdiObject object) override;
  bool DeleteObject(platform::GdiObject object) override;
  bool MoveToEx(platform::DcHandle dc, int32_t x, int32_t y) override;
  bool LineTo(platform::DcHandle dc, int32_t x, int32_t y) override;
  bool Rectangle(platform::DcHandle dc, int32_t left, int32_t top, int32_t right,
                 int32_t bottom) override;
  bool TextOutA(platform::DcHandle dc, int32_t x, int32_t y, const std::string& text) override;
  bool TextOutW(platform::DcHandle dc, int32_t x, int32_t y, const std::u16string& text) override;
  platform::ColorRef SetTextColor(platform::DcHandle dc, platform::ColorRef color) override;
  int32_t SetBkMode(platform::DcHandle dc, int32_t mode) override;
  bool StretchBlt(platform::DcHandle dest, int32_t xDest, int32_t yDest, int32_t widthDest,
                  int32_t heightDest, platform::DcHandle source, int32_t xSource, int32_t ySource,
                  int32_t widthSource, int32_t heightSource, uint32_t rop) override;

  // Every drawing call since the start or the last ClearDrawCalls().
  const std::vector<DrawCall>& DrawCalls() const { return calls_; }
  void ClearDrawCalls() { calls_.clear(); }
  // Device contexts not yet released or deleted, and pens, brushes, fonts
  // and bitmaps not yet deleted (stock objects do not count): a logic that
  // leaks one shows here.
  size_t LiveDcCount() const;
  size_t LiveObjectCount() const;
  // How many times each creation call succeeded.
  size_t CreatedObjectCount() const { return created_; }
  // The bitmap of an object, null for another kind.
  std::shared_ptr<const FakeBitmap> Bitmap(platform::GdiObject object) const;

 private:
  enum class Kind { kPen, kBrush, kFont, kBitmap };
  struct Object {
    Kind kind = Kind::kPen;
    bool stock = false;
    bool alive = true;
    PenState pen;
    BrushState brush;
    FontState font;
    std::shared_ptr<const FakeBitmap> bitmap;
  };
  struct Dc {
    enum class Type { kWindow, kPaint, kMemory };
    Type type = Type::kWindow;
    platform::WindowHandle window = 0;
    bool alive = true;
    platform::GdiObject pen = 0;
    platform::GdiObject brush = 0;
    platform::GdiObject font = 0;
    platform::GdiObject bitmap = 0;
    platform::ColorRef textColor = 0;
    int32_t bkMode = 0;
    platform::Point position;
  };

  platform::GdiObject AddObject(Object object);
  platform::DcHandle AddDc(Dc::Type type, platform::WindowHandle window);
  Dc* LiveDc(platform::DcHandle dc);
  Object* LiveObject(platform::GdiObject object);
  bool IsSelected(platform::GdiObject object) const;
  DrawCall& Record(DrawKind kind, platform::DcHandle handle, const Dc& dc);
  bool InvalidDc();

  MachineState& state_;
  FakeWindows& windows_;
  uintptr_t nextHandle_ = 0x01000010;
  std::map<platform::GdiObject, Object> objects_;
  std::map<int32_t, platform::GdiObject> stock_;
  platform::GdiObject defaultBitmap_ = 0;
  std::map<platform::DcHandle, Dc> dcs_;
  std::vector<DrawCall> calls_;
  size_t created_ = 0;
};

}  // namespace zv::fake
