#include "ui/page_painters.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "package/container_writer.h"
#include "package/work_buffer.h"
#include "platform/fake/fake_canvas.h"
#include "platform/fake/fake_machine.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "state/locations.h"
#include "state/package_state.h"
#include "state/process_state.h"
#include "state/run_state.h"
#include "state/window_parts.h"
#include "state/wizard_state.h"
#include "ui/page_colours.h"

namespace zv {
namespace {

using platform::ColorRef;
using platform::Rgb;

constexpr ColorRef kWhite = Rgb(255, 255, 255);
constexpr ColorRef kBlack = Rgb(0, 0, 0);

ColorRef Colour(zv::Rgb rgb) { return platform::Rgb(rgb.red, rgb.green, rgb.blue); }

// A 24-bit bitmap file whose pixel (x, y), counted from the top, is
// (x mod 256, y mod 256, 77).
std::string PatternBitmap(int32_t width, int32_t height) {
  const int32_t stride = (width * 3 + 3) & ~3;
  std::string file(54 + static_cast<size_t>(stride) * height, '\0');
  auto put32 = [&](size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>(value >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  file[26] = 1;
  file[28] = 24;
  for (int32_t y = 0; y < height; ++y) {
    const size_t row = 54 + static_cast<size_t>(height - 1 - y) * stride;  // bottom-up
    for (int32_t x = 0; x < width; ++x) {
      file[row + 3 * x] = 77;  // blue
      file[row + 3 * x + 1] = static_cast<char>(y);
      file[row + 3 * x + 2] = static_cast<char>(x);
    }
  }
  return file;
}

class PagePaintersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    machine_.Install();
    RunMode = kRunModeInteractive;
    buffer_ = std::make_unique<WorkBufferReservation>();
    WindowParts.bodyFont =
        platform::Gdi().CreateFontA(22, 7, win::kFwNormal, win::kGb2312Charset, "宋体");
    WindowParts.titleFont =
        platform::Gdi().CreateFontA(40, 20, win::kFwNormal, win::kGb2312Charset, "楷体");
    WindowParts.redBrush = platform::Gdi().CreateSolidBrush(Rgb(255, 0, 0));
  }
  void TearDown() override {
    for (platform::GdiObject object :
         {WindowParts.bodyFont, WindowParts.titleFont, WindowParts.redBrush}) {
      platform::Gdi().DeleteObject(object);
    }
    WindowParts = MainWindowParts{};
    EXPECT_EQ(machine_.LiveDcCount(), 0u) << "a device context was not given back";
    EXPECT_EQ(machine_.LiveObjectCount(), 0u) << "a pen, brush, font or bitmap leaked";
    buffer_.reset();
    ResetProcessState();
  }

  void UsePackageWith(const std::string& picture) {
    ContainerWriter writer(ContainerLayout::kDigest);
    ASSERT_EQ(writer.Add("kpmt1.bmp", picture), AddResult::kAdded);
    package_ = writer.Finish();
    PackageResource =
        PackageBytes{reinterpret_cast<const uint8_t*>(package_.data()), package_.size()};
  }

  // Paints with `painter` on a context of the screen and replays the result.
  template <typename Painter>
  fake::Canvas Paint(Painter painter) {
    machine_.ClearDrawCalls();
    {
      const platform::DcHandle dc = platform::Gdi().GetDC(0);
      painter(dc);
      platform::Gdi().ReleaseDC(0, dc);
    }
    return fake::ReplayOnCanvas(machine_.DrawCalls(), kPageWidth, kPageHeight, Rgb(1, 2, 3));
  }

  // The text calls drawn, as "x,y text" lines.
  std::vector<const fake::DrawCall*> Texts() const {
    std::vector<const fake::DrawCall*> texts;
    for (const fake::DrawCall& call : machine_.DrawCalls()) {
      if (call.kind == fake::DrawKind::kTextW || call.kind == fake::DrawKind::kTextA) {
        texts.push_back(&call);
      }
    }
    return texts;
  }
  const fake::DrawCall* TextAt(int32_t x, int32_t y) const {
    for (const fake::DrawCall* call : Texts()) {
      if (call->to.x == x && call->to.y == y) return call;
    }
    return nullptr;
  }

  fake::FakeMachine machine_;
  std::unique_ptr<WorkBufferReservation> buffer_;
  std::string package_;
};

TEST_F(PagePaintersTest, EveryRowOfEachPageHasItsGradientColour) {
  struct Page {
    const char* name;
    void (*paint)(platform::DcHandle);
    zv::Rgb (*gradient)(int32_t);
  };
  const Page pages[] = {
      {"welcome", PaintWelcomePage, WelcomeGradient},
      {"web address", PaintWebAddressPage, PageGradient},
      {"install path", PaintInstallPathPage, PageGradient},
      {"processing", PaintProcessingPage, PageGradient},
      {"typing test", PaintTypingTestPage, PageGradient},
  };
  for (const Page& page : pages) {
    // Without a package the welcome page shows no picture: its gradient shows.
    const fake::Canvas canvas = Paint(page.paint);
    for (int32_t y = 0; y < kPageHeight; ++y) {
      ASSERT_EQ(canvas.At(2, y), Colour(page.gradient(y))) << page.name << " row " << y;
      ASSERT_EQ(canvas.At(399, y), Colour(page.gradient(y))) << page.name << " row " << y;
    }
  }
  // The welcome green wraps at rows 56 and 184.
  const fake::Canvas welcome = Paint(PaintWelcomePage);
  EXPECT_EQ(welcome.At(5, 55), Rgb(0, 254, 226));
  EXPECT_EQ(welcome.At(5, 56), Rgb(0, 0, 225));
  EXPECT_EQ(welcome.At(5, 184), Rgb(0, 0, 167));
}

TEST_F(PagePaintersTest, RaisedFramesAreBlackBelowAndRightWhiteAboveAndLeft) {
  const fake::Canvas canvas = Paint(PaintWebAddressPage);
  struct Frame {
    int32_t l, t, r, b;
  };
  for (const Frame& f :
       {Frame{40, 245, 140, 270}, Frame{260, 245, 360, 270}, Frame{30, 192, 365, 217}}) {
    EXPECT_EQ(canvas.At(f.l, f.b), kBlack) << f.l;  // the bottom line starts there
    EXPECT_EQ(canvas.At((f.l + f.r) / 2, f.b), kBlack) << f.l;
    EXPECT_EQ(canvas.At(f.r, (f.t + f.b) / 2), kBlack) << f.l;
    EXPECT_EQ(canvas.At(f.r, f.t), kWhite) << f.l;  // the top line starts there
    EXPECT_EQ(canvas.At((f.l + f.r) / 2, f.t), kWhite) << f.l;
    EXPECT_EQ(canvas.At(f.l, (f.t + f.b) / 2), kWhite) << f.l;
    EXPECT_EQ(canvas.At(f.l, f.t), kWhite) << f.l;
    // Inside the frame the gradient is untouched.
    EXPECT_EQ(canvas.At(f.l + 2, f.t + 2), Colour(PageGradient(f.t + 2))) << f.l;
  }
}

TEST_F(PagePaintersTest, TextsStandWhereTheyBelongInTheirColours) {
  InstallDir.Assign("C:\\Program Files\\zavoli\\");
  Paint(PaintInstallPathPage);
  struct Expected {
    int32_t x, y;
    const char16_t* text;
    ColorRef colour;
  };
  const Expected texts[] = {
      {30, 20, u"智能岚汀输入平台", kBlack},
      {41, 31, u"智能岚汀输入平台", kWhite},
      {108, 88, u"岚汀形码 7.8 版  系统安装", Rgb(128, 128, 128)},
      {50, 130, u"本版本适用于：WINDOWS NT、WIN2000、", kWhite},
      {35, 196, u"安装路径：C:\\Program Files\\zavoli\\", kWhite},
      {45, 247, u"确 定 安 装", Rgb(255, 128, 128)},
      {265, 247, u"放 弃 退 出", Rgb(255, 128, 128)},
  };
  for (const Expected& e : texts) {
    const fake::DrawCall* call = TextAt(e.x, e.y);
    ASSERT_NE(call, nullptr) << e.x << "," << e.y;
    EXPECT_EQ(call->text, e.text) << e.x << "," << e.y;
    EXPECT_EQ(call->textColor, e.colour) << e.x << "," << e.y;
    EXPECT_EQ(call->bkMode, win::kTransparent) << e.x << "," << e.y;
  }
  EXPECT_EQ(TextAt(30, 20)->font.height, 40);
  EXPECT_EQ(TextAt(35, 196)->font.face, "宋体");

  // The welcome page's loading notice keeps the context's own opaque look;
  // the Pinyin title uses a bold font of its own, deleted afterwards.
  Paint(PaintWelcomePage);
  ASSERT_NE(TextAt(50, 150), nullptr);
  EXPECT_EQ(TextAt(50, 150)->bkMode, win::kOpaque);
  EXPECT_EQ(TextAt(50, 150)->font.face, "");
  ASSERT_NE(TextAt(83, 93), nullptr);
  EXPECT_EQ(TextAt(83, 93)->font.weight, win::kFwBold);
  EXPECT_EQ(TextAt(83, 93)->textColor, Rgb(33, 205, 173));
  EXPECT_EQ(TextAt(220, 100)->text, u"7.8 版");
  EXPECT_EQ(TextAt(220, 100)->textColor, Rgb(0, 0, 192));

  // The processing page's second line: three grey copies and two highlights.
  Paint(PaintProcessingPage);
  for (int32_t at : {88, 89, 90}) EXPECT_EQ(TextAt(at, at)->textColor, Rgb(128, 128, 128));
  EXPECT_EQ(TextAt(91, 91)->textColor, Rgb(255, 187, 187));
  EXPECT_EQ(TextAt(92, 91)->textColor, Rgb(255, 187, 187));
  EXPECT_EQ(TextAt(80, 80)->text, u"智能岚汀正在处理有关数据……");
}

// Every text each page draws, in order, where it stands.
struct DrawnText {
  int32_t x, y;
  std::u16string text;
  bool operator==(const DrawnText& other) const {
    return x == other.x && y == other.y && text == other.text;
  }
};

std::ostream& operator<<(std::ostream& out, const DrawnText& t) {
  return out << t.x << "," << t.y << " " << std::string(t.text.begin(), t.text.end());
}

using TextList = std::vector<DrawnText>;

// A title in black, three grey shadows and a white copy.
TextList Embossed(int32_t x, int32_t y, const std::u16string& text) {
  return {{x, y, text},
          {x + 8, y + 8, text},
          {x + 9, y + 9, text},
          {x + 10, y + 10, text},
          {x + 11, y + 11, text}};
}

// The second line of the last pages: three grey copies and two highlights.
TextList Highlighted(const std::u16string& text) {
  return {{88, 88, text}, {89, 89, text}, {90, 90, text}, {91, 91, text}, {92, 91, text}};
}

TextList Joined(std::initializer_list<TextList> parts) {
  TextList all;
  for (const TextList& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST_F(PagePaintersTest, EveryPageDrawsItsOwnTextsInPlace) {
  InstallDir.Assign("D:\\zv\\");
  const TextList installLabels = {{45, 247, u"确 定 安 装"}, {265, 247, u"放 弃 退 出"}};
  const TextList welcome = Joined({{{50, 150, u"安装程序正在载入文件，请等待……"},
                                    {75, 90, u"岚汀拼音"},
                                    {83, 93, u"岚汀拼音"},
                                    {10, 165, u"您尝试过岚汀语句输入技术吗？"},
                                    {50, 195, u"岚汀语句将给你带来新的输入体验……"},
                                    {220, 100, u"7.8 版"}},
                                   installLabels});
  const TextList webAddress =
      Joined({{{30, 10, u"智能岚汀输入平台  系统安装"},
               {39, 19, u"智能岚汀输入平台  系统安装"},
               {250, 19, u"岚汀拼音专版"},
               {20, 70, u"请输入你所在单位网站或你所在地政府网站的网址，"},
               {20, 90, u"智能岚汀就可每天自动从所输入网站上下载相关文章，"},
               {20, 110, u"组建或增加系统文章库，以方便你的快速输入。"},
               {35, 196, u"所在单位网址："}},
              installLabels});
  const TextList installPath = Joined({Embossed(30, 20, u"智能岚汀输入平台"),
                                       Embossed(100, 80, u"岚汀形码 7.8 版  系统安装"),
                                       {{50, 130, u"本版本适用于：WINDOWS NT、WIN2000、"},
                                        {30, 155, u"WINDOWS XP、VISTA及WIN7中文系统。"},
                                        {35, 196, u"安装路径：D:\\zv\\"}},
                                       installLabels});
  const TextList processing = Joined({Embossed(30, 20, u"智能岚汀7.8版安装"),
                                      {{80, 80, u"智能岚汀正在处理有关数据……"}},
                                      Highlighted(u"智能岚汀正在处理有关数据……")});
  const TextList typingTest = Joined({Embossed(30, 20, u"欢迎使用岚汀系统"),
                                      Highlighted(u"欢迎使用岚汀输入系统"),
                                      {{50, 130, u"智能岚汀已经安装在你的系统中!"},
                                       {50, 155, u"请在下面的框中试着用岚汀系统输入你的姓名。"},
                                       {10, 190, u"请输入你的姓名："},
                                       {45, 247, u"确 定 退 出"},
                                       {265, 247, u"放 弃 退 出"}}});
  const TextList* byPage[] = {&welcome,     &webAddress,  &webAddress, &webAddress, &webAddress,
                              &installPath, &installPath, &processing, &typingTest, &typingTest};
  for (int32_t page = 0; page < 10; ++page) {
    SCOPED_TRACE(page);
    WizardPage = page;
    Paint(PaintCurrentPage);
    TextList drawn;
    for (const fake::DrawCall* call : Texts())
      drawn.push_back({call->to.x, call->to.y, call->text});
    EXPECT_EQ(drawn, *byPage[page]);
  }
}

TEST_F(PagePaintersTest, TheWelcomePictureCoversTheTopAndItsStripTheTitle) {
  UsePackageWith(PatternBitmap(401, 310));
  const fake::Canvas canvas = Paint(PaintWelcomePage);
  // The top 400 x 190 pixels of the picture at (0, 0).
  EXPECT_EQ(canvas.At(0, 0), Rgb(0, 0, 77));
  EXPECT_EQ(canvas.At(10, 20), Rgb(10, 20, 77));
  EXPECT_EQ(canvas.At(399, 189), Rgb(399 % 256, 189, 77));
  // Below the picture the gradient.
  EXPECT_EQ(canvas.At(5, 190), Colour(WelcomeGradient(190)));
  // Rows 90 and 91 of the picture stretched over 73..200 x 90..124.
  for (int32_t y : {90, 100, 124}) {
    const ColorRef pixel = canvas.At(100, y);
    EXPECT_TRUE(pixel == Rgb(100, 90, 77) || pixel == Rgb(100, 91, 77)) << y;
  }
  EXPECT_EQ(canvas.At(100, 125), Rgb(100, 125, 77));
}

TEST_F(PagePaintersTest, ADamagedPictureIsNotDrawnAndNothingIsReadBeyondIt) {
  std::string cut = PatternBitmap(401, 310);
  cut.resize(cut.size() - 1);  // its last row runs past the file
  for (const std::string& picture : {cut, std::string("BM"), std::string(60, 'B')}) {
    UsePackageWith(picture);
    const fake::Canvas canvas = Paint(PaintWelcomePage);
    EXPECT_EQ(canvas.At(10, 20), Colour(WelcomeGradient(20))) << picture.size();
    for (const fake::DrawCall& call : machine_.DrawCalls()) {
      EXPECT_NE(call.kind, fake::DrawKind::kStretchBlt) << picture.size();
    }
  }
}

TEST_F(PagePaintersTest, TheProgressBarIsBlankedOrFilledInRed) {
  const platform::WindowHandle window = machine_.CreateWindowExW(
      0, u"EDIT", u"", win::kWsOverlapped, 0, 0, 400, 310, 0, 0, fake::FakeWindows::kModule);
  MainWindow = window;
  struct Case {
    int32_t done, total, redUpTo;  // -1: blanked white
  };
  for (const Case& c : {Case{0, 64, -1}, Case{10, 0, 30}, Case{80, 64, 370}, Case{32, 64, 200}}) {
    machine_.ClearDrawCalls();
    DrawProgress(c.done, c.total);
    const fake::Canvas canvas =
        fake::ReplayOnCanvas(machine_.DrawCalls(), kPageWidth, kPageHeight, Rgb(1, 2, 3));
    // The outline in the context's black pen, 30..370 or 30..30+width wide, 191..217 high.
    const ColorRef inside = c.redUpTo < 0 ? kWhite : Rgb(255, 0, 0);
    const int32_t right = c.redUpTo < 0 ? 370 : c.redUpTo;
    if (right - 30 >= 3) {
      EXPECT_EQ(canvas.At(30, 191), kBlack) << c.done;
      EXPECT_EQ(canvas.At(31, 200), inside) << c.done;
      EXPECT_EQ(canvas.At(right - 2, 216), inside) << c.done;
      EXPECT_EQ(canvas.At(right - 1, 200), kBlack) << c.done;
    }
    EXPECT_EQ(canvas.At(right + 1, 200), Rgb(1, 2, 3)) << c.done;
    EXPECT_EQ(canvas.At(31, 190), Rgb(1, 2, 3)) << c.done;
    EXPECT_EQ(canvas.At(31, 218), Rgb(1, 2, 3)) << c.done;
  }
  // A fill of width 0 is still a rectangle, drawn red: nothing shows.
  machine_.ClearDrawCalls();
  DrawProgress(10, 0);
  ASSERT_EQ(machine_.DrawCalls().size(), 1u);
  EXPECT_EQ(machine_.DrawCalls()[0].brush.color, Rgb(255, 0, 0));
  EXPECT_EQ(machine_.DrawCalls()[0].rect.right, 30);
  // Nothing in the silent mode.
  machine_.ClearDrawCalls();
  RunMode = kRunModeSilent;
  DrawProgress(32, 64);
  EXPECT_TRUE(machine_.DrawCalls().empty());
  machine_.DestroyWindow(window);
}

}  // namespace
}  // namespace zv
