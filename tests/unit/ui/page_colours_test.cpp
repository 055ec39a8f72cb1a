#include "ui/page_colours.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

TEST(PageColours, GradientsRunBetweenTheirEndsAndTheWelcomeGreenWraps) {
  struct Case {
    int32_t y;
    Rgb welcome, page;
  };
  const Case cases[] = {
      {0, {0, 144, 250}, {0, 0, 250}},      {55, {0, 254, 226}, {26, 45, 224}},
      {56, {0, 0, 225}, {27, 46, 223}},  // the welcome green wraps to 0
      {183, {0, 254, 168}, {88, 150, 162}}, {184, {0, 0, 167}, {89, 151, 161}},  // and again
      {190, {0, 12, 165}, {91, 156, 159}},  {309, {0, 250, 111}, {149, 254, 101}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WelcomeGradient(c.y), c.welcome) << c.y;
    EXPECT_EQ(PageGradient(c.y), c.page) << c.y;
  }
}

TEST(PageColours, TheProgressFillNeverLeavesTheBar) {
  const int32_t cases[][3] = {
      {0, 64, 0},
      {10, 0, 0},
      {80, 64, 340},
      {32, 64, 170},
      {64, 64, 340},
      {1, 3, 113},
      {2000000000, 2000000000, 340},
      {1999999999, 2000000000, 339},
      {5, -1, 340},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProgressFillWidth(c[0], c[1]), c[2]) << c[0] << "/" << c[1];
  }
}

}  // namespace
}  // namespace zv
