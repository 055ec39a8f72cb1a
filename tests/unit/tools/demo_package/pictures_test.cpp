// The welcome picture kpmt1.bmp and the other bitmaps of the package.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "bitmap_reader.h"
#include "demo_package_support.h"

namespace zv::demo {
namespace {

// The title panel that the welcome page covers: a strip of the picture's
// rows 90 and 91, x 73 to 200, stretched over 128 x 35 pixels at (73, 90).
constexpr int kPanelLeft = 73;
constexpr int kPanelTop = 90;
constexpr int kPanelWidth = 128;
constexpr int kPanelHeight = 35;

std::set<Rgb> ColoursIn(const Bitmap& bitmap, int left, int top, int right, int bottom) {
  std::set<Rgb> colours;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) colours.insert(bitmap.At(x, y));
  }
  return colours;
}

class DemoPictureTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Demo().error, "") << Demo().error; }
};

TEST_F(DemoPictureTest, WelcomePictureIsA24BitBitmapOf401By310) {
  const DemoRecord* record = Demo().Find("kpmt1.bmp");
  ASSERT_NE(record, nullptr);
  Bitmap bitmap;
  std::string problem;
  ASSERT_TRUE(ReadBitmap24(record->content, &bitmap, &problem)) << problem;
  EXPECT_EQ(bitmap.width, 401);
  EXPECT_EQ(bitmap.height, 310);
  EXPECT_TRUE(bitmap.bottomUp);
}

TEST_F(DemoPictureTest, WelcomePictureShowsAPictureWithATitleThatTheCoverHides) {
  const DemoRecord* record = Demo().Find("kpmt1.bmp");
  ASSERT_NE(record, nullptr);
  Bitmap bitmap;
  std::string problem;
  ASSERT_TRUE(ReadBitmap24(record->content, &bitmap, &problem)) << problem;
  // The strip that is stretched over the panel is one plain colour, so the
  // cover shows no trace of the title.
  const int right = kPanelLeft + kPanelWidth;
  EXPECT_EQ(ColoursIn(bitmap, kPanelLeft, kPanelTop, right, kPanelTop + 2).size(), 1u);
  // Below the strip, inside the panel, a title in at least two colours.
  const std::set<Rgb> title =
      ColoursIn(bitmap, kPanelLeft, kPanelTop + 2, right, kPanelTop + kPanelHeight);
  EXPECT_GE(title.size(), 2u);
  EXPECT_EQ(title.count(bitmap.At(kPanelLeft + 1, kPanelTop)), 1u)
      << "the title is drawn on the panel";
  // The shown 400 x 190 pixels are a picture, not a plain area, and differ
  // from the hidden rows below them.
  EXPECT_GE(ColoursIn(bitmap, 0, 0, 400, 190).size(), 8u);
  EXPECT_NE(bitmap.At(10, 10), bitmap.At(10, 300));
}

TEST_F(DemoPictureTest, EveryBitmapEntryIsAWhole24BitBitmap) {
  int bitmaps = 0;
  for (const DemoRecord& record : Demo().records) {
    if (record.name.size() < 4 || record.name.substr(record.name.size() - 4) != ".bmp") continue;
    ++bitmaps;
    Bitmap bitmap;
    std::string problem;
    EXPECT_TRUE(ReadBitmap24(record.content, &bitmap, &problem)) << record.name << ": " << problem;
  }
  EXPECT_GE(bitmaps, 2);
}

}  // namespace
}  // namespace zv::demo
