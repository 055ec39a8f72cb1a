#include "ui/skin_dialog.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "platform/win_constants.h"
#include "state/process_state.h"
#include "state/run_state.h"
#include "state/skin_choice.h"
#include "state/window_parts.h"
#include "state/wizard_state.h"

namespace zv {
namespace {

using fake::DialogStep;

// The fake's form of the template: the seven radio buttons and OK.
fake::DialogTemplate SkinTemplate() {
  fake::DialogTemplate dialog;
  dialog.style = win::kWsPopup | win::kWsCaption | win::kWsSysMenu | win::kDsModalFrame;
  dialog.rect = platform::Rect{15, 25, 344, 253};
  dialog.controls.push_back(
      {kSkinDialogOk, u"Button", win::kBsDefPushButton | win::kWsTabStop, u"确定", {}});
  for (int id : kSkinDialogRadioIds) {
    dialog.controls.push_back({id, u"Button", win::kBsAutoRadioButton, u"", {}});
  }
  return dialog;
}

class SkinDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    machine_.Install();
    machine_.AddDialogTemplate(u"PYKEY", SkinTemplate());
    machine_.AddDialogTemplate(u"PYKEYB", SkinTemplate());
    MainWindow = machine_.CreateWindowExW(0, u"EDIT", u"main", win::kWsOverlapped, 312, 234, 400,
                                          310, 0, 0, fake::FakeWindows::kModule);
    WindowParts.instance = fake::FakeWindows::kModule;
  }
  void TearDown() override {
    WindowParts = MainWindowParts{};
    ResetProcessState();
  }

  fake::FakeMachine machine_;
};

TEST_F(SkinDialogTest, TheChoiceMadeWithOkReachesWindowModeAndSkinChoice) {
  struct Case {
    uint32_t codePage;
    std::vector<DialogStep> steps;
    int32_t windowMode, skin;
    const char16_t* templateName;
  };
  const Case cases[] = {
      {936, {DialogStep::Click(kSkinDialogOk)}, 1, 1, u"PYKEY"},
      {936,
       {DialogStep::Click(102), DialogStep::Click(112), DialogStep::Escape(), DialogStep::Close(),
        DialogStep::Click(kSkinDialogOk)},
       2,
       3,
       u"PYKEY"},
      {950,
       {DialogStep::Click(107), DialogStep::Click(111), DialogStep::Click(106),
        DialogStep::Click(kSkinDialogOk)},
       3,
       2,
       u"PYKEYB"},
  };
  for (const Case& c : cases) {
    UiCodePage = c.codePage;
    machine_.QueueDialogScript(c.steps);
    const SkinDialogChoice chosen = ShowSkinDialog({1, 1});
    const fake::DialogRecord& record = machine_.DialogLog().back();
    EXPECT_EQ(record.templateName, c.templateName);
    EXPECT_TRUE(record.ended) << "only OK closes the dialog, Escape and the close box do not";
    EXPECT_EQ(record.owner, MainWindow);
    EXPECT_EQ(chosen.windowMode, c.windowMode);
    EXPECT_EQ(chosen.skin, c.skin);
    // Placed on the main window's top-left corner, its size kept.
    EXPECT_EQ(record.rect.left, 312);
    EXPECT_EQ(record.rect.top, 234);
    EXPECT_EQ(record.rect.right - record.rect.left, 329);
    // After every step exactly one window mode and one skin are checked.
    for (const std::map<int32_t, uint32_t>& checks : record.checks) {
      int modes = 0;
      int skins = 0;
      for (int id : kWindowModeIds) modes += checks.at(id) == win::kBstChecked;
      for (int id : kSkinIds) skins += checks.at(id) == win::kBstChecked;
      EXPECT_EQ(modes, 1);
      EXPECT_EQ(skins, 1);
    }
  }
}

TEST_F(SkinDialogTest, WithoutOkTheDialogStaysOpenAndTheDefaultsStay) {
  machine_.QueueDialogScript({DialogStep::Click(102), DialogStep::Escape(), DialogStep::Close()});
  const SkinDialogChoice chosen = ShowSkinDialog({1, 1});
  EXPECT_FALSE(machine_.DialogLog().back().ended);
  EXPECT_EQ(chosen.windowMode, 1);
  EXPECT_EQ(chosen.skin, 1);
}

}  // namespace
}  // namespace zv
