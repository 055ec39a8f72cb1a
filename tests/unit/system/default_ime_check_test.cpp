#include "system/default_ime_check.h"

#include <gtest/gtest.h>

#include "layout_test_support.h"

namespace zv {
namespace {

using layout_test::LayoutTest;
using layout_test::ProductTextGbk;
using Entries = std::vector<std::string>;

constexpr platform::LayoutHandle kProductLayout = 0xE0210804;

class CheckImeNotDefaultTest : public LayoutTest {
 protected:
  explicit CheckImeNotDefaultTest(fake::Preset preset = fake::Preset::kWindows7x86)
      : LayoutTest(preset) {}

  void SetUp() override {
    LayoutTest::SetUp();
    AddStandardKeyboards();
    AddLayoutKey("E0210804", ProductTextGbk());
    SetNtList(platform::kHkeyUsers, layout_test::kDefaultPreload, {"E0210804", "00000409"});
  }

  // Every box of the check is a UTF-16 box with the setup caption.
  void ExpectBoxes(const std::vector<std::u16string>& texts) {
    EXPECT_EQ(BoxTexts(), texts);
    for (const auto& box : machine_.MessageBoxes()) {
      EXPECT_TRUE(box.wide);
      EXPECT_EQ(box.caption, u"智能岚汀安装");
    }
  }
};

class CheckImeNotDefaultOn64BitTest : public CheckImeNotDefaultTest {
 protected:
  CheckImeNotDefaultOn64BitTest() : CheckImeNotDefaultTest(fake::Preset::kWindows7x64) {}
};

TEST_F(CheckImeNotDefaultTest, LetsTheInstallGoOnWhenTheProductIsNotTheDefault) {
  SetUserList({"00000804", "E0210804"});
  EXPECT_EQ(CheckImeNotDefault(), 1);
  EXPECT_TRUE(machine_.MessageBoxes().empty());

  // Nothing found because the list cannot be read is no reason to stop.
  machine_.FailOperation("RegOpenKeyExA", win::kErrorAccessDenied, "Keyboard Layouts");
  SetUserList({"E0210804", "00000804"});
  EXPECT_EQ(CheckImeNotDefault(), 1);
  EXPECT_TRUE(machine_.MessageBoxes().empty());
}

TEST_F(CheckImeNotDefaultTest, StopsWhenTheProductIsTheOnlyInputMethod) {
  SetUserList({"E0210804"});
  EXPECT_EQ(CheckImeNotDefault(), 0);
  ExpectBoxes({texts::layout::kOnlyInputMethod});
  EXPECT_EQ(UserList(), (Entries{"E0210804"}));
}

TEST_F(CheckImeNotDefaultTest, OffersToMakeTheProductSecondAndAsksForARestart) {
  SetUserList({"E0210804", "00000804", "E0200804"});
  machine_.QueueAnswer(win::kIdOk);
  machine_.QueueAnswer(win::kIdNo);
  EXPECT_EQ(CheckImeNotDefault(), 0);
  ExpectBoxes({texts::layout::kDefaultInputMethod, texts::layout::kMakeNonDefaultQuestion});
  EXPECT_EQ(machine_.MessageBoxes()[1].style & 0xF, win::kMbYesNo);
  EXPECT_EQ(UserList(), (Entries{"E0210804", "00000804", "E0200804"}));

  machine_.ClearMessageBoxes();
  machine_.QueueAnswer(win::kIdOk);
  machine_.QueueAnswer(win::kIdYes);
  EXPECT_EQ(CheckImeNotDefault(), 0);
  ExpectBoxes({texts::layout::kDefaultInputMethod, texts::layout::kMakeNonDefaultQuestion,
               texts::layout::kRestartThenInstall});
  EXPECT_EQ(UserList(), (Entries{"00000804", "E0210804", "E0200804"}));
  EXPECT_EQ(NtList(platform::kHkeyUsers, layout_test::kDefaultPreload),
            (Entries{"00000804", "E0210804"}));
}

TEST_F(CheckImeNotDefaultOn64BitTest, NeverOffersTheExchangeOn64BitWindows) {
  SetUserList({"E0210804", "00000804"});
  machine_.QueueAnswer(win::kIdOk);
  machine_.QueueAnswer(win::kIdYes);
  EXPECT_EQ(CheckImeNotDefault(), 0);
  ExpectBoxes({texts::layout::kDefaultInputMethod});
  EXPECT_EQ(machine_.QueuedAnswers(), 1u);  // no question was asked
  EXPECT_EQ(UserList(), (Entries{"E0210804", "00000804"}));
}

// The IME describes itself with its GBK name on every code page, so that is
// what the installer's own layout is compared with, on 950 too.
TEST_F(CheckImeNotDefaultTest, StopsWhenTheInstallersOwnLayoutIsTheProduct) {
  for (const bool traditional : {false, true}) {
    if (traditional) UseCodePage950();
    machine_.ClearMessageBoxes();
    SetUserList({"00000804", "E0210804"});
    machine_.AddLayout(kProductLayout, ProductTextGbk());
    machine_.SetActiveLayout(kProductLayout);
    EXPECT_EQ(CheckImeNotDefault(), 0) << UiCodePage;
    ExpectBoxes({texts::layout::kShapeCodeDefault});

    // Another active layout lets the install go on.
    machine_.ClearMessageBoxes();
    machine_.SetActiveLayout(0x08040804);
    EXPECT_EQ(CheckImeNotDefault(), 1) << UiCodePage;
    EXPECT_TRUE(machine_.MessageBoxes().empty());
  }
}

}  // namespace
}  // namespace zv
