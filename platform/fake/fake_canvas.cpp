#include "platform/fake/fake_canvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/win_constants.h"

namespace zv::fake {
namespace {

using platform::ColorRef;

// Bresenham's line from `from` towards `to`, without the end point, as
// LineTo draws it.
void DrawLine(Canvas& canvas, platform::Point from, platform::Point to, ColorRef color) {
  int32_t dx = std::abs(to.x - from.x);
  int32_t dy = -std::abs(to.y - from.y);
  int32_t sx = from.x < to.x ? 1 : -1;
  int32_t sy = from.y < to.y ? 1 : -1;
  int32_t error = dx + dy;
  int32_t x = from.x;
  int32_t y = from.y;
  while (x != to.x || y != to.y) {
    canvas.Set(x, y, color);
    int32_t twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += sx;
    }
    if (twice <= dx) {
      error += dx;
      y += sy;
    }
  }
}

void FillArea(Canvas& canvas, int32_t left, int32_t top, int32_t right, int32_t bottom,
              ColorRef color) {
  for (int32_t y = top; y < bottom; ++y) {
    for (int32_t x = left; x < right; ++x) canvas.Set(x, y, color);
  }
}

// Rectangle: the outline covers the outermost pixels of [left, right) x
// [top, bottom) and the brush the pixels inside; with the null pen the
// filled area is one pixel narrower and lower.
void DrawRectangle(Canvas& canvas, const DrawCall& call) {
  int32_t left = std::min(call.rect.left, call.rect.right);
  int32_t right = std::max(call.rect.left, call.rect.right);
  int32_t top = std::min(call.rect.top, call.rect.bottom);
  int32_t bottom = std::max(call.rect.top, call.rect.bottom);
  bool outline = call.pen.style != win::kPsNull;
  if (!outline) {
    if (!call.brush.null) FillArea(canvas, left, top, right - 1, bottom - 1, call.brush.color);
    return;
  }
  if (right - left < 1 || bottom - top < 1) return;
  if (!call.brush.null)
    FillArea(canvas, left + 1, top + 1, right - 1, bottom - 1, call.brush.color);
  ColorRef pen = call.pen.color;
  FillArea(canvas, left, top, right, top + 1, pen);
  FillArea(canvas, left, bottom - 1, right, bottom, pen);
  FillArea(canvas, left, top, left + 1, bottom, pen);
  FillArea(canvas, right - 1, top, right, bottom, pen);
}

// A source copy, nearest pixel; mirrored (negative) extents draw nothing.
void DrawStretch(Canvas& canvas, const DrawCall& call) {
  if (call.bitmap == nullptr || call.rop != win::kSrcCopy) return;
  const FakeBitmap& bitmap = *call.bitmap;
  int32_t width = call.rect.right - call.rect.left;
  int32_t height = call.rect.bottom - call.rect.top;
  int32_t sourceWidth = call.source.right - call.source.left;
  int32_t sourceHeight = call.source.bottom - call.source.top;
  if (width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return;
  for (int32_t y = 0; y < height; ++y) {
    int64_t sy = call.source.top + static_cast<int64_t>(y) * sourceHeight / height;
    if (sy < 0 || sy >= bitmap.height) continue;
    for (int32_t x = 0; x < width; ++x) {
      int64_t sx = call.source.left + static_cast<int64_t>(x) * sourceWidth / width;
      if (sx < 0 || sx >= bitmap.width) continue;
      canvas.Set(call.rect.left + x, call.rect.top + y,
                 bitmap.At(static_cast<int32_t>(sx), static_cast<int32_t>(sy)));
    }
  }
}

}  // namespace

Canvas::Canvas(int32_t width, int32_t height, ColorRef background)
    : width(width),
      height(height),
      pixels(static_cast<size_t>(width) * static_cast<size_t>(height)) {
  Fill(background);
}

// Paints the first pixel, then copies what is painted onto the next as much
// again: a few block copies instead of one store per pixel, which matters
// where each store is checked by a sanitizer.
void Canvas::Fill(ColorRef color) {
  if (pixels.empty()) return;
  pixels[0] = color;
  for (size_t done = 1; done < pixels.size(); done *= 2) {
    const size_t count = std::min(done, pixels.size() - done);
    std::memcpy(pixels.data() + done, pixels.data(), count * sizeof(ColorRef));
  }
}

ColorRef Canvas::At(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return win::kClrInvalid;
  return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

void Canvas::Set(int32_t x, int32_t y, ColorRef color) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = color;
}

Canvas ReplayOnCanvas(const std::vector<DrawCall>& calls, int32_t width, int32_t height,
                      ColorRef background, platform::WindowHandle window) {
  Canvas canvas(width, height, background);
  ReplayOnto(calls, &canvas, window);
  return canvas;
}

void ReplayOnto(const std::vector<DrawCall>& calls, Canvas* canvas, platform::WindowHandle window) {
  for (const DrawCall& call : calls) {
    if (call.memory || (window != 0 && call.window != window)) continue;
    switch (call.kind) {
      case DrawKind::kLineTo:
        if (call.pen.style != win::kPsNull) DrawLine(*canvas, call.from, call.to, call.pen.color);
        break;
      case DrawKind::kRectangle:
        DrawRectangle(*canvas, call);
        break;
      case DrawKind::kStretchBlt:
        DrawStretch(*canvas, call);
        break;
      default:
        break;
    }
  }
}

}  // namespace zv::fake
