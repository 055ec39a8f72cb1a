#include "state/process_state.h"

#include <gtest/gtest.h>

#include <functional>

#include "state/install_state.h"
#include "state/skin_choice.h"
#include "state/window_parts.h"
#include "state/wizard_state.h"

namespace zv {
namespace {

// Each value is given another than its start value; the reset must bring
// every one of them back.
TEST(ResetProcessState, GivesTheWizardsValuesTheirStartValues) {
  struct Case {
    const char* what;
    std::function<void()> change;
    std::function<bool()> atStart;
  };
  const Case cases[] = {
      {"WizardInstalling", [] { WizardInstalling = 1; }, [] { return WizardInstalling == 0; }},
      {"WindowParts",
       [] {
         WindowParts.instance = 1;
         WindowParts.nameBox = 2;
         WindowParts.webAddressBox = 3;
         WindowParts.bodyFont = 4;
         WindowParts.titleFont = 5;
         WindowParts.redBrush = 6;
       },
       [] {
         return WindowParts.instance == 0 && WindowParts.nameBox == 0 &&
                WindowParts.webAddressBox == 0 && WindowParts.bodyFont == 0 &&
                WindowParts.titleFont == 0 && WindowParts.redBrush == 0;
       }},
      {"SkinDialogFlags",
       [] {
         SkinDialogFlags.OnCommand(kWindowModeIds[3]);
         SkinDialogFlags.OnCommand(kSkinIds[2]);
       },
       [] {
         return SkinDialogFlags.WindowModeResult() == 1 && SkinDialogFlags.SkinChoiceResult() == 1;
       }},
      {"ImeUseText", [] { ImeUseText = u"2 programs"; }, [] { return ImeUseText.empty(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetProcessState();
    c.change();
    ASSERT_FALSE(c.atStart());
    ResetProcessState();
    EXPECT_TRUE(c.atStart());
  }
}

}  // namespace
}  // namespace zv
