#include "ui/page_colours.h"

namespace zv {
namespace {

constexpr int32_t kBarWidth = 340;

uint8_t Byte(int32_t value) { return static_cast<uint8_t>(value); }

}  // namespace

Rgb WelcomeGradient(int32_t y) {
  const int32_t green = ((2 * y - 112) % 256 + 256) % 256;
  return Rgb{0, Byte(green), Byte(250 - 140 * y / kPageHeight)};
}

Rgb PageGradient(int32_t y) {
  return Rgb{Byte(150 * y / kPageHeight), Byte(255 * y / kPageHeight),
             Byte(250 - 150 * y / kPageHeight)};
}

int32_t ProgressFillWidth(int32_t done, int32_t total) {
  if (total == 0) return 0;
  if (total < done) return kBarWidth;
  return static_cast<int32_t>(int64_t{kBarWidth} * done / total);
}

}  // namespace zv
