#include "system/installer_ime_activation.h"

#include <gtest/gtest.h>

#include "layout_test_support.h"

namespace zv {
namespace {

using layout_test::LayoutTest;
using layout_test::ProductTextGbk;

constexpr platform::LayoutHandle kUsKeyboard = 0x08040804;
constexpr platform::LayoutHandle kOtherIme = 0xE0200804;
constexpr platform::LayoutHandle kProductLayout = 0xE0210804;

class ActivateImeForInstallerTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    machine_.AddLayout(kOtherIme, "Other IME");
    machine_.AddLayout(kProductLayout, ProductTextGbk());
    WizardPage = 8;
  }
};

TEST_F(ActivateImeForInstallerTest, FindsTheLoadedProductLayoutAndActivatesItForTheProcess) {
  WizardPage = 6;
  ActivateImeForInstaller();
  EXPECT_TRUE(machine_.Activations().empty());
  EXPECT_EQ(InstalledLayout, 0u);

  WizardPage = 8;
  ActivateImeForInstaller();
  ASSERT_EQ(machine_.Activations().size(), 1u);
  EXPECT_EQ(machine_.Activations()[0].layout, kProductLayout);
  EXPECT_EQ(machine_.Activations()[0].flags, 0x100u);
  EXPECT_EQ(InstalledLayout, kProductLayout);

  // Once active, later repaints leave it so.
  ActivateImeForInstaller();
  EXPECT_EQ(machine_.Activations().size(), 1u);
}

// The IME describes itself with its GBK name on every code page: the
// product's layout is found, and known once active, on 950 too.
TEST_F(ActivateImeForInstallerTest, KnowsTheProductByItsGbkNameOnEveryCodePage) {
  for (const bool traditional : {false, true}) {
    if (traditional) UseCodePage950();
    machine_.SetActiveLayout(kUsKeyboard);
    InstalledLayout = 0;
    const size_t before = machine_.Activations().size();
    ActivateImeForInstaller();
    ASSERT_EQ(machine_.Activations().size(), before + 1) << UiCodePage;
    EXPECT_EQ(machine_.Activations().back().layout, kProductLayout) << UiCodePage;
    EXPECT_EQ(InstalledLayout, kProductLayout) << UiCodePage;
    ActivateImeForInstaller();
    EXPECT_EQ(machine_.Activations().size(), before + 1) << UiCodePage;
  }
}

TEST_F(ActivateImeForInstallerTest, UsesTheLayoutTheSystemGave) {
  InstalledLayout = kOtherIme;
  WizardPage = 7;
  ActivateImeForInstaller();
  ASSERT_EQ(machine_.Activations().size(), 1u);
  EXPECT_EQ(machine_.Activations()[0].layout, kOtherIme);
  EXPECT_EQ(machine_.GetKeyboardLayout(), kOtherIme);
}

TEST_F(ActivateImeForInstallerTest, ActivatesNothingWhenNoLoadedLayoutIsTheProducts) {
  machine_.ClearLayouts();
  machine_.AddLayout(kUsKeyboard, "US");
  machine_.AddLayout(kOtherIme, "Other IME");
  machine_.SetActiveLayout(kUsKeyboard);
  ActivateImeForInstaller();
  EXPECT_TRUE(machine_.Activations().empty());
  EXPECT_EQ(InstalledLayout, 0u);

  // Only the first fifty loaded layouts are looked at.
  for (platform::LayoutHandle i = 0; i < 48; ++i) machine_.AddLayout(0x04090000 + i, "US");
  machine_.AddLayout(kProductLayout, ProductTextGbk());
  ActivateImeForInstaller();
  EXPECT_TRUE(machine_.Activations().empty());
}

}  // namespace
}  // namespace zv
