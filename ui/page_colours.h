// The colours and sizes the page painters compute: the background gradients
// and the progress bar's fill.
#pragma once

#include <cstdint>

namespace zv {

struct Rgb {
  uint8_t red, green, blue;
  bool operator==(const Rgb& other) const {
    return red == other.red && green == other.green && blue == other.blue;
  }
};

// The pages are 400 x 310 pixels, painted as 310 lines.
inline constexpr int32_t kPageWidth = 400;
inline constexpr int32_t kPageHeight = 310;

// Row `y` of the welcome page: red 0, green (2y - 112) modulo 256 (it wraps
// at y 56 and 184), blue 250 - 140y/310.
Rgb WelcomeGradient(int32_t y);

// Row `y` of every other page: from (0, 0, 250) at the top to (149, 254, 101)
// at the bottom.
Rgb PageGradient(int32_t y);

// The progress bar's fill width in pixels, 0 to 340: 0 when `total` is 0,
// the whole bar when `total` is less than `done`, else 340 * done / total.
int32_t ProgressFillWidth(int32_t done, int32_t total);

}  // namespace zv
