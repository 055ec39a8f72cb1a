#include "state/skin_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zv {
namespace {

// The checked buttons, in the order the dialog sets them.
std::vector<int> Checked(const SkinChoiceFlags& flags) {
  std::vector<int> checked;
  for (int id : kSkinDialogRadioIds) {
    if (flags.IsChecked(id)) checked.push_back(id);
  }
  return checked;
}

TEST(SkinChoice, EachBoxKeepsExactlyOneChoiceWhateverIsClicked) {
  struct Case {
    std::vector<int> clicks;
    std::vector<int> checked;
    int32_t windowMode, skin;
  };
  const Case cases[] = {
      {{}, {101, 110}, 1, 1},  // OK at once: the defaults
      {{102}, {102, 110}, 2, 1},
      {{106, 112}, {106, 112}, 3, 3},
      {{107, 111, 101}, {101, 111}, 1, 2},
      {{112, 110, 107}, {107, 110}, 4, 1},
      // Ids of no radio button (103, 104, 108, 109, Escape's 2) change nothing.
      {{103, 104, 108, 109, 2, 0}, {101, 110}, 1, 1},
      {{111, 111}, {101, 111}, 1, 2},
  };
  for (const Case& c : cases) {
    SkinChoiceFlags flags;
    for (int id : c.clicks) EXPECT_FALSE(flags.OnCommand(id)) << id;
    EXPECT_EQ(Checked(flags), c.checked);
    EXPECT_EQ(flags.WindowModeResult(), c.windowMode);
    EXPECT_EQ(flags.SkinChoiceResult(), c.skin);
    EXPECT_TRUE(flags.OnCommand(kSkinDialogOk));
  }
}

}  // namespace
}  // namespace zv
