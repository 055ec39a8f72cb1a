// The fake GDI: device contexts and objects, the log of drawing calls with
// the state in force, and the replay of that log into pixels.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "platform/fake/fake_canvas.h"
#include "platform/fake/fake_machine.h"
#include "platform/scoped_gdi.h"
#include "platform/services.h"
#include "platform/win_constants.h"

namespace zv::fake {
namespace {

using namespace zv::win;
using platform::ColorRef;
using platform::Rgb;

constexpr ColorRef kWhite = Rgb(255, 255, 255);
constexpr ColorRef kRed = Rgb(255, 0, 0);
constexpr ColorRef kBlack = Rgb(0, 0, 0);

// A packed 24-bit DIB, bottom-up unless `height` is negative; pixel (x, y)
// counted from the top is colour(x, y).
struct Dib {
  std::vector<uint8_t> info = std::vector<uint8_t>(40);
  std::vector<uint8_t> bits;
  template <typename F>
  Dib(int32_t width, int32_t height, F colour) {
    uint32_t size = 40;
    uint16_t planes = 1, bitCount = 24;
    std::memcpy(&info[0], &size, 4);
    std::memcpy(&info[4], &width, 4);
    std::memcpy(&info[8], &height, 4);
    std::memcpy(&info[12], &planes, 2);
    std::memcpy(&info[14], &bitCount, 2);
    int32_t rows = height < 0 ? -height : height;
    size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    bits.resize(stride * static_cast<size_t>(rows));
    for (int32_t y = 0; y < rows; ++y) {
      uint8_t* row = &bits[stride * static_cast<size_t>(height < 0 ? y : rows - 1 - y)];
      for (int32_t x = 0; x < width; ++x) {
        ColorRef c = colour(x, y);
        row[x * 3] = platform::BlueOf(c);
        row[x * 3 + 1] = platform::GreenOf(c);
        row[x * 3 + 2] = platform::RedOf(c);
      }
    }
  }
};

class FakeGraphicsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine.Install();
    platform::WindowClassA windowClass;
    windowClass.windowProc = [](platform::WindowHandle w, uint32_t m, uintptr_t wp, intptr_t lp) {
      return platform::Windows().DefWindowProcA(w, m, wp, lp);
    };
    windowClass.className = "canvas";
    machine.RegisterClassA(windowClass);
    window = machine.CreateWindowExW(0, u"canvas", u"", kWsVisible, 0, 0, 400, 310, 0, 0, 0);
  }

  FakeMachine machine;
  platform::WindowHandle window = 0;
};

TEST_F(FakeGraphicsTest, RecordsEachCallWithTheStateInForce) {
  {
    platform::ScopedPaint paint(window);
    ASSERT_TRUE(paint.valid());
    EXPECT_TRUE(paint.info().erase);  // a newly shown window
    EXPECT_EQ(paint.info().paint.right, 400);
    platform::DcHandle dc = paint.get();
    EXPECT_EQ(machine.SetBkMode(dc, kTransparent), kOpaque);
    EXPECT_EQ(machine.SetTextColor(dc, Rgb(255, 128, 128)), kBlack);
    platform::ScopedFont font(machine.CreateFontA(22, 7, kFwNormal, kGb2312Charset, "宋体"));
    platform::ScopedPen pen(machine.CreatePen(kPsSolid, 1, Rgb(1, 2, 3)));
    {
      platform::ScopedSelection withFont(dc, font.get());
      platform::ScopedSelection withPen(dc, pen.get());
      machine.TextOutA(dc, 45, 247, "\xb0\xb2");
      machine.TextOutW(dc, 1, 2, u"安");
      machine.MoveToEx(dc, 0, 5);
      machine.LineTo(dc, 400, 5);
      EXPECT_FALSE(machine.DeleteObject(pen.get()));  // still selected
    }
    machine.Rectangle(dc, 30, 191, 200, 218);
  }
  const std::vector<DrawCall>& calls = machine.DrawCalls();
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[0].kind, DrawKind::kTextA);
  EXPECT_EQ(calls[0].text, u"安");
  EXPECT_EQ(calls[0].text8, "\xb0\xb2");
  EXPECT_EQ(calls[0].font.face, "宋体");
  EXPECT_EQ(calls[0].font.height, 22);
  EXPECT_EQ(calls[0].font.charSet, kGb2312Charset);
  EXPECT_EQ(calls[0].textColor, Rgb(255, 128, 128));
  EXPECT_EQ(calls[0].bkMode, kTransparent);
  EXPECT_EQ(calls[1].kind, DrawKind::kTextW);
  EXPECT_EQ(calls[3].from.y, 5);
  EXPECT_EQ(calls[3].to.x, 400);
  EXPECT_EQ(calls[3].pen.color, Rgb(1, 2, 3));
  EXPECT_EQ(calls[3].window, window);
  EXPECT_EQ(calls[4].pen.color, kBlack);  // the selections were undone
  EXPECT_EQ(calls[4].font.face, "");
  EXPECT_EQ(machine.LiveDcCount(), 0u);
  EXPECT_EQ(machine.LiveObjectCount(), 0u);
  EXPECT_EQ(machine.CreatedObjectCount(), 2u);
  EXPECT_EQ(machine.DispatchPosted(), 0);  // BeginPaint validated the window
}

TEST_F(FakeGraphicsTest, ReplayDrawsLinesRectanglesAndBitmaps) {
  platform::ScopedDc dc(window);
  ASSERT_TRUE(dc.valid());
  for (int32_t y = 0; y < 4; ++y) {
    platform::ScopedPen pen(machine.CreatePen(kPsSolid, 1, Rgb(0, 0, static_cast<uint8_t>(y))));
    platform::ScopedSelection select(dc.get(), pen.get());
    machine.MoveToEx(dc.get(), 0, y);
    machine.LineTo(dc.get(), 400, y);
  }
  platform::ScopedBrush red(machine.CreateSolidBrush(kRed));
  {
    platform::ScopedSelection select(dc.get(), red.get());
    machine.Rectangle(dc.get(), 30, 191, 200, 218);
    machine.Rectangle(dc.get(), 30, 100, 30, 120);  // no width: nothing
  }
  Dib dib(4, 2,
          [](int32_t x, int32_t y) { return Rgb(static_cast<uint8_t>(x), 0, y == 0 ? 9 : 7); });
  platform::ScopedBitmap bitmap(machine.CreateDIBitmap(
      dc.get(), dib.info.data(), dib.info.size(), dib.bits.data(), dib.bits.size(), kDibRgbColors));
  ASSERT_TRUE(bitmap.valid());
  platform::ScopedMemoryDc memory(machine.CreateCompatibleDC(dc.get()));
  {
    platform::ScopedSelection select(memory.get(), bitmap.get());
    // Source (1, 0, 2, 2) doubled onto (100, 50, 4, 4); a mirrored copy draws nothing.
    machine.StretchBlt(dc.get(), 100, 50, 4, 4, memory.get(), 1, 0, 2, 2, kSrcCopy);
    machine.StretchBlt(dc.get(), 200, 50, -4, 4, memory.get(), 0, 0, 4, 2, kSrcCopy);
  }
  Canvas canvas = ReplayOnCanvas(machine.DrawCalls(), 400, 310);
  struct Case {
    int32_t x, y;
    ColorRef expected;
  };
  for (const Case& c :
       {Case{0, 0, Rgb(0, 0, 0)}, Case{399, 3, Rgb(0, 0, 3)},
        Case{5, 4, kWhite},                             // below the lines
        Case{30, 191, kBlack}, Case{199, 217, kBlack},  // outline corners
        Case{200, 218, kWhite}, Case{31, 192, kRed},    // past it, inside
        Case{198, 216, kRed}, Case{30, 110, kWhite}, Case{100, 50, Rgb(1, 0, 9)},
        Case{101, 51, Rgb(1, 0, 9)}, Case{102, 52, Rgb(2, 0, 7)}, Case{103, 53, Rgb(2, 0, 7)},
        Case{104, 50, kWhite}, Case{198, 50, kWhite}}) {
    EXPECT_EQ(canvas.At(c.x, c.y), c.expected) << c.x << "," << c.y;
  }
  EXPECT_EQ(canvas.At(400, 0), kClrInvalid);

  // A canvas painted on before and filled again shows the same replay.
  Canvas reused(400, 310, kRed);
  reused.Set(7, 7, kBlack);
  reused.Fill(kWhite);
  ReplayOnto(machine.DrawCalls(), &reused);
  EXPECT_EQ(reused.pixels, canvas.pixels);
}

TEST(FakeCanvas, FillPaintsEveryPixel) {
  for (auto [width, height] :
       {std::pair{0, 0}, std::pair{1, 1}, std::pair{7, 1}, std::pair{3, 5}, std::pair{400, 310}}) {
    Canvas canvas(width, height, Rgb(1, 2, 3));
    const std::vector<ColorRef> background(static_cast<size_t>(width) * height, Rgb(1, 2, 3));
    EXPECT_EQ(canvas.pixels, background) << width << "x" << height;
    canvas.Fill(Rgb(4, 5, 6));
    EXPECT_EQ(canvas.pixels, std::vector<ColorRef>(background.size(), Rgb(4, 5, 6)))
        << width << "x" << height;
  }
}

TEST_F(FakeGraphicsTest, BitmapsAreReadOnlyWithinTheirSizes) {
  platform::ScopedDc dc(window);
  Dib top(2, -2, [](int32_t x, int32_t y) {
    return Rgb(static_cast<uint8_t>(x), static_cast<uint8_t>(y), 0);
  });
  platform::ScopedBitmap bitmap(machine.CreateDIBitmap(
      dc.get(), top.info.data(), top.info.size(), top.bits.data(), top.bits.size(), kDibRgbColors));
  ASSERT_TRUE(bitmap.valid());
  EXPECT_EQ(machine.Bitmap(bitmap.get())->At(1, 1), Rgb(1, 1, 0));  // top-down rows
  EXPECT_EQ(machine.Bitmap(bitmap.get())->At(0, 1), Rgb(0, 1, 0));

  Dib big(100, 100, [](int32_t, int32_t) { return kRed; });
  struct Case {
    const char* what;
    size_t infoSize;
    size_t bitsSize;
  };
  for (const Case& c : {Case{"rows past the buffer", 40, big.bits.size() - 1},
                        Case{"header cut short", 39, big.bits.size()}}) {
    EXPECT_EQ(machine.CreateDIBitmap(dc.get(), big.info.data(), c.infoSize, big.bits.data(),
                                     c.bitsSize, kDibRgbColors),
              0u)
        << c.what;
  }
  EXPECT_EQ(machine.LiveObjectCount(), 1u);
}

}  // namespace
}  // namespace zv::fake
