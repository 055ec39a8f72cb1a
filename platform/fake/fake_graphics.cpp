#include "platform/fake/fake_graphics.h"

#include <utility>

#include "platform/dib_layout.h"
#include "platform/fake/code_page.h"
#include "platform/win_constants.h"

namespace zv::fake {
namespace {

using platform::ColorRef;
using platform::DcHandle;
using platform::GdiObject;
using platform::Rgb;

// The pixels of a packed DIB as top-down colours.
std::shared_ptr<FakeBitmap> DecodeDib(const platform::DibLayout& layout, const uint8_t* info,
                                      const uint8_t* bits) {
  auto bitmap = std::make_shared<FakeBitmap>();
  bitmap->width = layout.width;
  bitmap->height = layout.height;
  bitmap->pixels.resize(static_cast<size_t>(layout.width) * static_cast<size_t>(layout.height));
  const uint8_t* table = info + layout.headerSize;
  for (int32_t y = 0; y < layout.height; ++y) {
    int32_t stored = layout.topDown ? y : layout.height - 1 - y;
    const uint8_t* row = bits + static_cast<size_t>(stored) * layout.stride;
    for (int32_t x = 0; x < layout.width; ++x) {
      ColorRef color = 0;
      if (layout.bitCount >= 24) {
        const uint8_t* pixel = row + static_cast<size_t>(x) * (layout.bitCount / 8);
        color = Rgb(pixel[2], pixel[1], pixel[0]);
      } else {
        size_t bit = static_cast<size_t>(x) * layout.bitCount;
        unsigned shift = 8 - layout.bitCount - bit % 8;
        size_t index = (row[bit / 8] >> shift) & ((1u << layout.bitCount) - 1);
        if (index < layout.colorCount) {
          const uint8_t* entry = table + index * 4;
          color = Rgb(entry[2], entry[1], entry[0]);
        }
      }
      bitmap->pixels[static_cast<size_t>(y) * static_cast<size_t>(layout.width) +
                     static_cast<size_t>(x)] = color;
    }
  }
  return bitmap;
}

}  // namespace

FakeGraphics::FakeGraphics(MachineState& state, FakeWindows& windows)
    : state_(state), windows_(windows) {
  auto addStock = [this](int32_t index, Object object) {
    object.stock = true;
    stock_[index] = AddObject(std::move(object));
  };
  Object white{Kind::kBrush, true, true, {}, {false, Rgb(255, 255, 255)}, {}, nullptr};
  addStock(win::kWhiteBrush, white);
  addStock(win::kBlackBrush, Object{Kind::kBrush, true, true, {}, {false, 0}, {}, nullptr});
  addStock(win::kNullBrush, Object{Kind::kBrush, true, true, {}, {true, 0}, {}, nullptr});
  addStock(win::kWhitePen,
           Object{Kind::kPen, true, true, {win::kPsSolid, 1, Rgb(255, 255, 255)}, {}, {}, nullptr});
  addStock(win::kBlackPen, Object{Kind::kPen, true, true, {win::kPsSolid, 1, 0}, {}, {}, nullptr});
  addStock(win::kNullPen, Object{Kind::kPen, true, true, {win::kPsNull, 1, 0}, {}, {}, nullptr});
  addStock(win::kSystemFont, Object{Kind::kFont, true, true, {}, {}, {}, nullptr});
  // The 1 x 1 bitmap every new memory context holds.
  auto one = std::make_shared<FakeBitmap>();
  one->width = one->height = 1;
  one->pixels = {0};
  defaultBitmap_ = AddObject(Object{Kind::kBitmap, true, true, {}, {}, {}, one});
}

GdiObject FakeGraphics::AddObject(Object object) {
  GdiObject handle = nextHandle_;
  nextHandle_ += 4;
  objects_.emplace(handle, std::move(object));
  return handle;
}

DcHandle FakeGraphics::AddDc(Dc::Type type, platform::WindowHandle window) {
  Dc dc;
  dc.type = type;
  dc.window = window;
  dc.pen = stock_[win::kBlackPen];
  dc.brush = stock_[win::kWhiteBrush];
  dc.font = stock_[win::kSystemFont];
  dc.bitmap = type == Dc::Type::kMemory ? defaultBitmap_ : 0;
  dc.textColor = 0;
  dc.bkMode = win::kOpaque;
  DcHandle handle = nextHandle_;
  nextHandle_ += 4;
  dcs_.emplace(handle, dc);
  return handle;
}

FakeGraphics::Dc* FakeGraphics::LiveDc(DcHandle dc) {
  auto found = dcs_.find(dc);
  return found != dcs_.end() && found->second.alive ? &found->second : nullptr;
}

FakeGraphics::Object* FakeGraphics::LiveObject(GdiObject object) {
  auto found = objects_.find(object);
  return found != objects_.end() && found->second.alive ? &found->second : nullptr;
}

bool FakeGraphics::InvalidDc() { return state_.Fail(win::kErrorInvalidHandle); }

bool FakeGraphics::IsSelected(GdiObject object) const {
  for (const auto& [handle, dc] : dcs_) {
    if (dc.alive &&
        (dc.pen == object || dc.brush == object || dc.font == object || dc.bitmap == object)) {
      return true;
    }
  }
  return false;
}

size_t FakeGraphics::LiveDcCount() const {
  size_t count = 0;
  for (const auto& [handle, dc] : dcs_) count += dc.alive ? 1 : 0;
  return count;
}

size_t FakeGraphics::LiveObjectCount() const {
  size_t count = 0;
  for (const auto& [handle, object] : objects_) count += object.alive && !object.stock ? 1 : 0;
  return count;
}

std::shared_ptr<const FakeBitmap> FakeGraphics::Bitmap(GdiObject object) const {
  auto found = objects_.find(object);
  return found == objects_.end() ? nullptr : found->second.bitmap;
}

// --- Device contexts ---

DcHandle FakeGraphics::BeginPaint(platform::WindowHandle window, platform::PaintInfo* out) {
  if (state_.Injected("BeginPaint", {})) return 0;
  bool erase = false;
  if (!windows_.Validate(window, &erase)) {
    state_.Fail(win::kErrorInvalidWindowHandle);
    return 0;
  }
  platform::Rect rect;
  windows_.GetWindowRect(window, &rect);
  out->dc = AddDc(Dc::Type::kPaint, window);
  out->erase = erase;
  out->paint = platform::Rect{0, 0, rect.right - rect.left, rect.bottom - rect.top};
  return out->dc;
}

bool FakeGraphics::EndPaint(platform::WindowHandle window, const platform::PaintInfo& paint) {
  Dc* dc = LiveDc(paint.dc);
  if (dc == nullptr || dc->type != Dc::Type::kPaint || dc->window != window) return InvalidDc();
  dc->alive = false;
  return true;
}

DcHandle FakeGraphics::GetDC(platform::WindowHandle window) {
  if (state_.Injected("GetDC", {})) return 0;
  if (window != 0 && !windows_.IsWindow(window)) {
    state_.Fail(win::kErrorInvalidWindowHandle);
    return 0;
  }
  return AddDc(Dc::Type::kWindow, window);
}

int32_t FakeGraphics::ReleaseDC(platform::WindowHandle window, DcHandle handle) {
  Dc* dc = LiveDc(handle);
  if (dc == nullptr || dc->type != Dc::Type::kWindow || dc->window != window) return 0;
  dc->alive = false;
  return 1;
}

DcHandle FakeGraphics::CreateCompatibleDC(DcHandle dc) {
  if (state_.Injected("CreateCompatibleDC", {})) return 0;
  if (dc != 0 && LiveDc(dc) == nullptr) {
    InvalidDc();
    return 0;
  }
  return AddDc(Dc::Type::kMemory, 0);
}

bool FakeGraphics::DeleteDC(DcHandle handle) {
  Dc* dc = LiveDc(handle);
  if (dc == nullptr || dc->type != Dc::Type::kMemory) return InvalidDc();
  dc->alive = false;
  return true;
}

// --- Objects ---

GdiObject FakeGraphics::CreatePen(int32_t style, int32_t width, ColorRef color) {
  if (state_.Injected("CreatePen", {})) return 0;
  ++created_;
  return AddObject(Object{Kind::kPen, false, true, {style, width, color}, {}, {}, nullptr});
}

GdiObject FakeGraphics::CreateSolidBrush(ColorRef color) {
  if (state_.Injected("CreateSolidBrush", {})) return 0;
  ++created_;
  return AddObject(Object{Kind::kBrush, false, true, {}, {false, color}, {}, nullptr});
}

GdiObject FakeGraphics::GetStockObject(int32_t index) {
  auto found = stock_.find(index);
  return found == stock_.end() ? 0 : found->second;
}

GdiObject FakeGraphics::CreateFontA(int32_t height, int32_t width, int32_t weight, uint32_t charSet,
                                    const std::string& face) {
  if (state_.Injected("CreateFontA", {face})) return 0;
  ++created_;
  return AddObject(
      Object{Kind::kFont, false, true, {}, {}, {face, height, width, weight, charSet}, nullptr});
}

GdiObject FakeGraphics::CreateDIBitmap(DcHandle dc, const uint8_t* info, size_t infoSize,
                                       const uint8_t* bits, size_t bitsSize, uint32_t usage) {
  if (state_.Injected("CreateDIBitmap", {})) return 0;
  platform::DibLayout layout;
  if (LiveDc(dc) == nullptr || usage != win::kDibRgbColors || bits == nullptr ||
      !platform::ReadDibLayout(info, infoSize, &layout) || layout.pixelBytes > bitsSize) {
    state_.Fail(win::kErrorInvalidParameter);
    return 0;
  }
  ++created_;
  return AddObject(Object{Kind::kBitmap, false, true, {}, {}, {}, DecodeDib(layout, info, bits)});
}

GdiObject FakeGraphics::SelectObject(DcHandle handle, GdiObject object) {
  Dc* dc = LiveDc(handle);
  Object* selected = LiveObject(object);
  if (dc == nullptr || selected == nullptr) {
    InvalidDc();
    return 0;
  }
  GdiObject* slot = nullptr;
  switch (selected->kind) {
    case Kind::kPen:
      slot = &dc->pen;
      break;
    case Kind::kBrush:
      slot = &dc->brush;
      break;
    case Kind::kFont:
      slot = &dc->font;
      break;
    case Kind::kBitmap:
      // A bitmap goes only into a memory context, and into one at a time.
      if (dc->type != Dc::Type::kMemory || (dc->bitmap != object && IsSelected(object))) {
        InvalidDc();
        return 0;
      }
      slot = &dc->bitmap;
      break;
  }
  GdiObject previous = *slot;
  *slot = object;
  return previous;
}

bool FakeGraphics::DeleteObject(GdiObject handle) {
  Object* object = LiveObject(handle);
  if (object == nullptr) return InvalidDc();
  if (object->stock) return true;  // harmless, and the object stays
  if (IsSelected(handle)) return false;
  object->alive = false;
  return true;
}

// --- Drawing ---

DrawCall& FakeGraphics::Record(DrawKind kind, DcHandle handle, const Dc& dc) {
  DrawCall call;
  call.kind = kind;
  call.dc = handle;
  call.window = dc.window;
  call.memory = dc.type == Dc::Type::kMemory;
  call.pen = objects_[dc.pen].pen;
  call.brush = objects_[dc.brush].brush;
  call.font = objects_[dc.font].font;
  call.textColor = dc.textColor;
  call.bkMode = dc.bkMode;
  calls_.push_back(std::move(call));
  return calls_.back();
}

bool FakeGraphics::MoveToEx(DcHandle handle, int32_t x, int32_t y) {
  Dc* dc = LiveDc(handle);
  if (dc == nullptr) return InvalidDc();
  Record(DrawKind::kMoveTo, handle, *dc).to = platform::Point{x, y};
  dc->position = platform::Point{x, y};
  return true;
}

bool FakeGraphics::LineTo(DcHandle handle, int32_t x, int32_t y) {
  Dc* dc = LiveDc(handle);
  if (dc == nullptr) return InvalidDc();
  DrawCall& call = Record(DrawKind::kLineTo, handle, *dc);
  call.from = dc->position;
  call.to = platform::Point{x, y};
  dc->position = call.to;
  return true;
}

bool FakeGraphics::Rectangle(DcHandle handle, int32_t left, int32_t top, int32_t right,
                             int32_t bottom) {
  Dc* dc = LiveDc(handle);
  if (dc == nullptr) return InvalidDc();
  Record(DrawKind::kRectangle, handle, *dc).rect = platform::Rect{left, top, right, bottom};
  return true;
}

bool FakeGraphics::TextOutA(DcHandle handle, int32_t x, int32_t y, const std::string& text) {
  Dc* dc = LiveDc(handle);
  if (dc == nullptr) return InvalidDc();
  DrawCall& call = Record(DrawKind::kTextA, handle, *dc);
  call.to = platform::Point{x, y};
  call.text8 = text;
  call.text = AnsiToUtf16(state_.settings.ansiCodePage, text);
  return true;
}

bool FakeGraphics::TextOutW(DcHandle handle, int32_t x, int32_t y, const std::u16string& text) {
  Dc* dc = LiveDc(handle);
  if (dc == nullptr) return InvalidDc();
  DrawCall& call = Record(DrawKind::kTextW, handle, *dc);
  call.to = platform::Point{x, y};
  call.text = text;
  return true;
}

ColorRef FakeGraphics::SetTextColor(DcHandle handle, ColorRef color) {
  Dc* dc = LiveDc(handle);
  if (dc == nullptr) {
    InvalidDc();
    return win::kClrInvalid;
  }
  ColorRef previous = dc->textColor;
  dc->textColor = color;
  return previous;
}

int32_t FakeGraphics::SetBkMode(DcHandle handle, int32_t mode) {
  Dc* dc = LiveDc(handle);
  if (dc == nullptr || (mode != win::kTransparent && mode != win::kOpaque)) {
    state_.Fail(dc == nullptr ? win::kErrorInvalidHandle : win::kErrorInvalidParameter);
    return 0;
  }
  int32_t previous = dc->bkMode;
  dc->bkMode = mode;
  return previous;
}

bool FakeGraphics::StretchBlt(DcHandle dest, int32_t xDest, int32_t yDest, int32_t widthDest,
                              int32_t heightDest, DcHandle source, int32_t xSource, int32_t ySource,
                              int32_t widthSource, int32_t heightSource, uint32_t rop) {
  if (state_.Injected("StretchBlt", {})) return false;
  Dc* to = LiveDc(dest);
  Dc* from = LiveDc(source);
  if (to == nullptr || from == nullptr) return InvalidDc();
  DrawCall& call = Record(DrawKind::kStretchBlt, dest, *to);
  call.rect = platform::Rect{xDest, yDest, xDest + widthDest, yDest + heightDest};
  call.source = platform::Rect{xSource, ySource, xSource + widthSource, ySource + heightSource};
  call.bitmap = from->bitmap != 0 ? objects_[from->bitmap].bitmap : nullptr;
  call.rop = rop;
  return true;
}

}  // namespace zv::fake
