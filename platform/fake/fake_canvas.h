// Turns recorded drawing calls into pixels, so that a test can look at what a
// page would show: lines with the pen in force (end point excluded),
// rectangles (outline with the pen, inside with the brush) and stretched
// copies of bitmaps. Texts are not drawn. Calls into memory contexts are
// left out; pens wider than 1 are drawn 1 pixel wide.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/fake/fake_graphics.h"
#include "platform/gui_types.h"

namespace zv::fake {

struct Canvas {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<platform::ColorRef> pixels;  // rows from the top down

  Canvas(int32_t width, int32_t height, platform::ColorRef background);
  // Paints every pixel with `color`.
  void Fill(platform::ColorRef color);
  // The colour at (x, y); kClrInvalid outside the canvas.
  platform::ColorRef At(int32_t x, int32_t y) const;
  // Paints (x, y); points outside the canvas are dropped.
  void Set(int32_t x, int32_t y, platform::ColorRef color);
};

// Replays `calls` that drew on `window` (all on-screen calls when it is 0)
// onto a canvas of the given size, filled with `background` first.
Canvas ReplayOnCanvas(const std::vector<DrawCall>& calls, int32_t width, int32_t height,
                      platform::ColorRef background = platform::Rgb(255, 255, 255),
                      platform::WindowHandle window = 0);
// The same onto `canvas` as it stands, for a caller that paints many times
// on one canvas (Fill it first to start afresh).
void ReplayOnto(const std::vector<DrawCall>& calls, Canvas* canvas,
                platform::WindowHandle window = 0);

}  // namespace zv::fake
