// Device contexts and GDI objects that give themselves back. Every pen,
// brush, font, bitmap and device context the logic takes lives in one of
// these, so that no return path leaks one (a page paint makes 310 pens).
#pragma once

#include <cstdint>

#include "platform/graphics.h"
#include "platform/services.h"

namespace zv::platform {

// Owns one handle and hands it to `Traits::Free` exactly once: when the
// object is destroyed or reset. Copying is forbidden; moving hands it over.
template <typename Traits>
class ScopedGdiHandle {
 public:
  using Handle = typename Traits::Handle;

  ScopedGdiHandle() = default;
  explicit ScopedGdiHandle(Handle handle) : handle_(handle) {}
  ~ScopedGdiHandle() { Reset(); }
  ScopedGdiHandle(const ScopedGdiHandle&) = delete;
  ScopedGdiHandle& operator=(const ScopedGdiHandle&) = delete;
  ScopedGdiHandle(ScopedGdiHandle&& other) noexcept : handle_(other.Release()) {}
  ScopedGdiHandle& operator=(ScopedGdiHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  bool valid() const { return handle_ != 0; }
  Handle get() const { return handle_; }
  // Gives up ownership without freeing.
  Handle Release() {
    Handle handle = handle_;
    handle_ = 0;
    return handle;
  }
  // Frees the handle held (if any) and takes `handle`.
  void Reset(Handle handle = 0) {
    if (handle_ != 0) Traits::Free(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = 0;
};

struct GdiObjectTraits {
  using Handle = GdiObject;
  static void Free(GdiObject object) { Gdi().DeleteObject(object); }
};
struct MemoryDcTraits {
  using Handle = DcHandle;
  static void Free(DcHandle dc) { Gdi().DeleteDC(dc); }
};

// A pen, brush, font or bitmap that the logic created (never a stock object).
using ScopedGdiObject = ScopedGdiHandle<GdiObjectTraits>;
using ScopedPen = ScopedGdiObject;
using ScopedBrush = ScopedGdiObject;
using ScopedFont = ScopedGdiObject;
using ScopedBitmap = ScopedGdiObject;
// A device context from CreateCompatibleDC.
using ScopedMemoryDc = ScopedGdiHandle<MemoryDcTraits>;

// GetDC on construction, ReleaseDC on destruction.
class ScopedDc {
 public:
  explicit ScopedDc(WindowHandle window) : window_(window), dc_(Gdi().GetDC(window)) {}
  ~ScopedDc() {
    if (dc_ != 0) Gdi().ReleaseDC(window_, dc_);
  }
  ScopedDc(const ScopedDc&) = delete;
  ScopedDc& operator=(const ScopedDc&) = delete;

  bool valid() const { return dc_ != 0; }
  DcHandle get() const { return dc_; }

 private:
  WindowHandle window_;
  DcHandle dc_;
};

// BeginPaint on construction, EndPaint on destruction: the body of WM_PAINT.
class ScopedPaint {
 public:
  explicit ScopedPaint(WindowHandle window) : window_(window) { Gdi().BeginPaint(window, &paint_); }
  ~ScopedPaint() {
    if (paint_.dc != 0) Gdi().EndPaint(window_, paint_);
  }
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;

  bool valid() const { return paint_.dc != 0; }
  DcHandle get() const { return paint_.dc; }
  const PaintInfo& info() const { return paint_; }

 private:
  WindowHandle window_;
  PaintInfo paint_;
};

// Selects `object` into `dc` and puts the object it replaced back on
// destruction, so that the object can be deleted afterwards.
class ScopedSelection {
 public:
  ScopedSelection(DcHandle dc, GdiObject object)
      : dc_(dc), previous_(Gdi().SelectObject(dc, object)) {}
  ~ScopedSelection() {
    if (previous_ != 0) Gdi().SelectObject(dc_, previous_);
  }
  ScopedSelection(const ScopedSelection&) = delete;
  ScopedSelection& operator=(const ScopedSelection&) = delete;

  // Whether the selection took place.
  bool valid() const { return previous_ != 0; }

 private:
  DcHandle dc_;
  GdiObject previous_;
};

}  // namespace zv::platform
