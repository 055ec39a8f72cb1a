#include "ui/page_flow.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

TEST(PageFlow, ClicksHitTheButtonsWithTheirEdgesAndNothingBetween) {
  struct Case {
    int32_t x, y;
    WizardButton button;
  };
  const Case cases[] = {
      {40, 245, WizardButton::kConfirm},   {140, 270, WizardButton::kConfirm},
      {90, 257, WizardButton::kConfirm},   {39, 250, WizardButton::kNone},
      {141, 250, WizardButton::kNone},     {90, 244, WizardButton::kNone},
      {90, 271, WizardButton::kNone},      {200, 255, WizardButton::kNone},
      {260, 245, WizardButton::kExit},     {360, 270, WizardButton::kExit},
      {361, 270, WizardButton::kNone},     {0, 0, WizardButton::kNone},
      {65535, 65535, WizardButton::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ButtonAt(c.x, c.y), c.button) << c.x << "," << c.y;
  }
}

TEST(PageFlow, EveryPageAndButtonLeadsWhereTheWizardGoes) {
  using A = PageAction;
  struct Case {
    int32_t page;
    A confirm, exit;
  };
  const Case cases[] = {
      {-1, A::kNothing, A::kCloseWindow},        {0, A::kLeaveWelcome, A::kCloseWindow},
      {1, A::kLeaveWebAddress, A::kCloseWindow}, {4, A::kLeaveWebAddress, A::kCloseWindow},
      {5, A::kNothing, A::kCloseWindow},         {6, A::kConfirmInstall, A::kCloseWindow},
      {7, A::kRepaint, A::kCloseWindow},         {8, A::kNextTypingTestPage, A::kFinishInstall},
      {9, A::kFinishInstall, A::kFinishInstall}, {10, A::kNothing, A::kFinishInstall},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ActionForClick(c.page, WizardButton::kConfirm, false), c.confirm) << c.page;
    EXPECT_EQ(ActionForClick(c.page, WizardButton::kExit, false), c.exit) << c.page;
    EXPECT_EQ(ActionForClick(c.page, WizardButton::kNone, false), A::kNothing) << c.page;
    // While an install runs no click does anything, the exit button included.
    EXPECT_EQ(ActionForClick(c.page, WizardButton::kConfirm, true), A::kNothing) << c.page;
    EXPECT_EQ(ActionForClick(c.page, WizardButton::kExit, true), A::kNothing) << c.page;
  }
}

TEST(PageFlow, PagesArePaintedByTheirRange) {
  const std::pair<int32_t, PageKind> cases[] = {
      {-5, PageKind::kWelcome},     {0, PageKind::kWelcome},     {1, PageKind::kWebAddress},
      {4, PageKind::kWebAddress},   {5, PageKind::kInstallPath}, {6, PageKind::kInstallPath},
      {7, PageKind::kProcessing},   {8, PageKind::kTypingTest},  {9, PageKind::kTypingTest},
      {100, PageKind::kTypingTest},
  };
  for (const auto& [page, kind] : cases) EXPECT_EQ(PageKindOf(page), kind) << page;
}

}  // namespace
}  // namespace zv
