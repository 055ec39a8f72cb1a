#include "system/preload_add.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "layout_test_support.h"

namespace zv {
namespace {

using layout_test::LayoutTest;
using Entries = std::vector<std::string>;

class AddLayoutToPreloadTest : public LayoutTest {
 protected:
  static Entries Foreign(int count) {
    Entries entries;
    for (int i = 0; i < count; ++i) {
      char id[16];
      std::snprintf(id, sizeof(id), "0000%04X", 0x400 + i);
      entries.push_back(id);
    }
    return entries;
  }
};

TEST_F(AddLayoutToPreloadTest, NtListGetsTheLowerCaseIdentifierOnce) {
  // The first free place.
  SetUserList({"00000804", "E0100804"});
  AddLayoutToPreload("E0210804");
  EXPECT_EQ(UserList(), (Entries{"00000804", "E0100804", "e0210804"}));

  // Already there in another letter case: nothing is written.
  SetUserList({"00000804", "E0210804", "E0100804"});
  AddLayoutToPreload("E0210804");
  EXPECT_EQ(UserList(), (Entries{"00000804", "E0210804", "E0100804"}));

  // The same IME index with another language ending is overwritten in place.
  SetUserList({"00000804", "e0210404", "E0100804"});
  AddLayoutToPreload("E0210804");
  EXPECT_EQ(UserList(), (Entries{"00000804", "e0210804", "E0100804"}));

  // A neighbouring IME index is another IME, and so is the same index when
  // more than the last three characters differ.
  SetUserList({"00000804", "E0200804", "E0211404"});
  AddLayoutToPreload("E0210804");
  EXPECT_EQ(UserList(), (Entries{"00000804", "E0200804", "E0211404", "e0210804"}));

  // An empty list starts at place 1; the default user's list is left alone.
  machine_.DeleteTree(platform::kHkeyCurrentUser, layout_test::kUserPreload);
  machine_.CreateKey(platform::kHkeyCurrentUser, layout_test::kUserPreload);
  SetNtList(platform::kHkeyUsers, layout_test::kDefaultPreload, {"00000409"});
  AddLayoutToPreload("E0210804");
  EXPECT_EQ(UserList(), (Entries{"e0210804"}));
  EXPECT_EQ(NtList(platform::kHkeyUsers, layout_test::kDefaultPreload), (Entries{"00000409"}));
  EXPECT_TRUE(machine_.MessageBoxes().empty());
}

TEST_F(AddLayoutToPreloadTest, AFullNtListLosesItsPlace49) {
  Entries list = Foreign(50);
  SetUserList(list);
  AddLayoutToPreload("E0210804");
  list[48] = "e0210804";
  EXPECT_EQ(UserList(), list);

  // With exactly 49 foreign places, place 49 is replaced as well.
  machine_.DeleteTree(platform::kHkeyCurrentUser, layout_test::kUserPreload);
  list = Foreign(49);
  SetUserList(list);
  AddLayoutToPreload("E0210804");
  list[48] = "e0210804";
  EXPECT_EQ(UserList(), list);
}

TEST_F(AddLayoutToPreloadTest, NtListThatWillNotOpen) {
  SetUserList({"00000804"});
  machine_.FailOperation("RegOpenKeyExA", win::kErrorAccessDenied,
                         "HKEY_CURRENT_USER\\keyboard layout", 1);
  AddLayoutToPreload("E0210804");
  ASSERT_EQ(machine_.MessageBoxes().size(), 1u);
  EXPECT_EQ(machine_.MessageBoxes()[0].text, u"Software open error2003");
  EXPECT_EQ(UserList(), (Entries{"00000804"}));

  // A place that cannot be read counts as free.
  machine_.ClearMessageBoxes();
  machine_.FailOperation("RegQueryValueExA", win::kErrorAccessDenied, "preload\\1", 1);
  AddLayoutToPreload("E0210804");
  EXPECT_EQ(UserList(), (Entries{"e0210804"}));
  EXPECT_TRUE(machine_.MessageBoxes().empty());
}

TEST_F(AddLayoutToPreloadTest, Windows9xListGetsTheUpperCaseIdentifierInASubkey) {
  Use9xFamily();
  Set9xList({"00000804", "E0100804"});
  AddLayoutToPreload("e0210804");
  EXPECT_EQ(List9x(), (Entries{"00000804", "E0100804", "E0210804"}));

  // Already present in another letter case.
  machine_.DeleteTree(platform::kHkeyCurrentUser, layout_test::kUserPreload);
  Set9xList({"00000804", "e0210804"});
  AddLayoutToPreload("E0210804");
  EXPECT_EQ(List9x(), (Entries{"00000804", "e0210804"}));

  // The same IME index with another language ending is overwritten.
  machine_.DeleteTree(platform::kHkeyCurrentUser, layout_test::kUserPreload);
  Set9xList({"00000804", "E0210404", "E0100804"});
  AddLayoutToPreload("E0210804");
  EXPECT_EQ(List9x(), (Entries{"00000804", "E0210804", "E0100804"}));
}

TEST_F(AddLayoutToPreloadTest, Windows9xSkipsUnreadablePlacesAndFillsPlace49WhenFull) {
  Use9xFamily();
  // Place 1 has no unnamed value: it is passed over.
  machine_.CreateKey(platform::kHkeyCurrentUser, layout_test::kUserPreload + "\\1");
  machine_.SetString(platform::kHkeyCurrentUser, layout_test::kUserPreload + "\\2", "", "00000804");
  AddLayoutToPreload("E0210804");
  EXPECT_EQ(List9x(), (Entries{"<none>", "00000804", "E0210804"}));

  machine_.DeleteTree(platform::kHkeyCurrentUser, layout_test::kUserPreload);
  Entries list = Foreign(49);
  Set9xList(list);
  AddLayoutToPreload("E0210804");
  list[48] = "E0210804";
  EXPECT_EQ(List9x(), list);
}

TEST_F(AddLayoutToPreloadTest, Windows9xFailuresLeaveTheListAsItWas) {
  Use9xFamily();
  machine_.DeleteTree(platform::kHkeyCurrentUser, layout_test::kUserPreload);
  AddLayoutToPreload("E0210804");  // no list at all
  ASSERT_EQ(machine_.MessageBoxes().size(), 1u);
  EXPECT_EQ(machine_.MessageBoxes()[0].text, u"Software open error2003");
  EXPECT_EQ(machine_.MessageBoxes()[0].caption, u"智能岚汀(岚汀形码)");

  // A place that cannot be created ends the step quietly.
  machine_.ClearMessageBoxes();
  Set9xList({"00000804"});
  machine_.FailOperation("RegCreateKeyExA", win::kErrorAccessDenied, "preload\\2");
  AddLayoutToPreload("E0210804");
  EXPECT_TRUE(machine_.MessageBoxes().empty());
  EXPECT_EQ(List9x(), (Entries{"00000804"}));
}

}  // namespace
}  // namespace zv
