#include "state/window_hooks.h"

#include <gtest/gtest.h>

#include "tests/unit/support/recording_window_hooks.h"

namespace zv {
namespace {

TEST(WindowHooks, RequestsReachTheHooksOfTheInnermostScopeOnly) {
  // With no window, every request is a no-op.
  RequestInstallPathRedraw();
  RequestProgress(1, 2);
  RequestSkinDialog({1, 1});
  EXPECT_EQ(CurrentWindowHooks().drawProgress, nullptr);

  test::RecordingWindowHooks outer;
  RequestProgress(3, 64);
  {
    // A scope with empty hooks silences the recorder until it ends.
    ScopedWindowHooks silent{WindowHooks{}};
    RequestInstallPathRedraw();
    RequestSkinDialog({1, 1});
  }
  RequestSkinDialog({1, 1});
  RequestInstallPathRedraw();
  EXPECT_EQ(outer.calls(), (std::vector<std::string>{"progress 3/64", "skin dialog", "redraw"}));
}

TEST(WindowHooks, EachScopeGivesBackWhatItFound) {
  {
    test::RecordingWindowHooks recorder;
    EXPECT_NE(CurrentWindowHooks().showSkinDialog, nullptr);
  }
  EXPECT_EQ(CurrentWindowHooks().redrawInstallPathPage, nullptr);
  EXPECT_EQ(CurrentWindowHooks().drawProgress, nullptr);
  EXPECT_EQ(CurrentWindowHooks().showSkinDialog, nullptr);
}

TEST(WindowHooksDeathTest, AScopeEndingBeforeItsInnerOneStopsTheProcess) {
  EXPECT_DEATH(
      {
        auto* outer = new ScopedWindowHooks(WindowHooks{nullptr, [](int32_t, int32_t) {}, nullptr});
        new ScopedWindowHooks(WindowHooks{[] {}, nullptr, nullptr});  // never ended
        delete outer;
      },
      "out of order");
}

}  // namespace
}  // namespace zv
