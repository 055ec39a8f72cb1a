#include "system/preload_list.h"

#include <gtest/gtest.h>

#include "layout_test_support.h"
#include "system/preload_reorder.h"

namespace zv {
namespace {

using layout_test::LayoutTest;
using layout_test::ProductTextBig5;
using layout_test::ProductTextGbk;
using Entries = std::vector<std::string>;

Entries ListEntries() {
  Entries entries;
  for (int i = 0; i < PreloadList.count; ++i) entries.push_back(PreloadList.entries[i].str());
  return entries;
}

class PreloadListTest : public LayoutTest {
 protected:
  void SetUp() override {
    LayoutTest::SetUp();
    AddStandardKeyboards();
    AddLayoutKey("E0200804", "Other IME");
    AddLayoutKey("E0010804", "Old IME");
    AddLayoutKey("E0210804", ProductTextGbk());
  }
};

TEST_F(PreloadListTest, ReadsTheNtListWithTheLayoutTexts) {
  SetUserList({"00000804", "E0200804", "E0210804", "E0990804"});
  EXPECT_EQ(ReadPreloadList(), 4);
  EXPECT_EQ(ListEntries(), (Entries{"00000804", "E0200804", "E0210804", "E0990804"}));
  EXPECT_EQ(PreloadList.texts[0].str(), "Chinese (Simplified) - US Keyboard");
  EXPECT_EQ(PreloadList.texts[2].str(), ProductTextGbk());
  EXPECT_EQ(PreloadList.texts[3].str(), "");  // no such layout key

  // The list ends at the first place that is missing or does not fit ten bytes.
  machine_.SetString(platform::kHkeyCurrentUser, layout_test::kUserPreload, "2", "E02008040");
  machine_.SetString(platform::kHkeyCurrentUser, layout_test::kUserPreload, "3", "E020080400");
  EXPECT_EQ(ReadPreloadList(), 2);
  EXPECT_EQ(ListEntries(), (Entries{"00000804", "E02008040"}));

  // No more than 49 places are read.
  Entries many(60, "00000804");
  SetUserList(many);
  EXPECT_EQ(ReadPreloadList(), 49);
}

// Values stored without their terminating zero: one that fills the whole
// buffer does not fit it, as a longer one does not; a shorter one reads as
// its bytes. Cut to fit, "E02008041" would name another layout, "E0200804".
TEST_F(PreloadListTest, AValueWithoutItsZeroThatFillsTheBufferDoesNotFit) {
  struct Case {
    const char* why;
    bool windows9x;
    std::string entry;  // place 2, stored without a zero
    std::string text;   // the "layout text" of its key, stored without a zero
    Entries entries;
    std::string readText;
  };
  const std::string fullText(200, 'x');
  const std::string shortText(199, 'x');
  const Case cases[] = {
      {"nine bytes fit", false, "E02008041", shortText, {"00000804", "E02008041"}, shortText},
      {"ten bytes do not", false, "E020080412", shortText, {"00000804"}, ""},
      {"a full layout text does not", false, "E0200804", fullText, {"00000804", "E0200804"}, ""},
      {"ten bytes leave a 9x entry empty", true, "E020080412", shortText, {"00000804", ""}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::string place = layout_test::kUserPreload;
    std::string name = "2";
    if (c.windows9x) {
      Use9xFamily();
      Set9xList({"00000804"});
      place += "\\2";
      name.clear();
    } else {
      SetUserList({"00000804"});
    }
    machine_.SetValueA(platform::kHkeyCurrentUser, place, name, win::kRegSz, c.entry);
    machine_.SetValueA(platform::kHkeyLocalMachine, layout_test::kLayoutsPath + "\\" + c.entry,
                       "layout text", win::kRegSz, c.text);
    ReadPreloadList();
    EXPECT_EQ(ListEntries(), c.entries);
    if (c.entries.size() > 1) {
      EXPECT_EQ(PreloadList.texts[1].str(), c.readText);
    }
  }
}

TEST_F(PreloadListTest, GivesNothingWhenAListWillNotOpen) {
  SetUserList({"00000804", "E0210804"});
  machine_.FailOperation("RegOpenKeyExA", win::kErrorAccessDenied, "Keyboard Layouts", 1);
  EXPECT_EQ(ReadPreloadList(), 0);
  EXPECT_EQ(PreloadList.count, 0);
  EXPECT_EQ(PreloadList.entries[0].str(), "");

  machine_.FailOperation("RegOpenKeyExA", win::kErrorAccessDenied,
                         "HKEY_CURRENT_USER\\keyboard layout", 1);
  EXPECT_EQ(FindImeInPreload(), 0);
  EXPECT_EQ(ImeInPreload, 0);

  // Without "preload" below "keyboard layout" the list is simply empty.
  machine_.DeleteTree(platform::kHkeyCurrentUser, layout_test::kUserPreload);
  machine_.CreateKey(platform::kHkeyCurrentUser, std::string("keyboard layout"));
  EXPECT_EQ(ReadPreloadList(), 0);
}

TEST_F(PreloadListTest, ReadsTheWindows9xSubkeys) {
  Use9xFamily();
  Set9xList({"00000804", "E0210804"});
  // A place without a value keeps an empty entry; the list goes on.
  machine_.CreateKey(platform::kHkeyCurrentUser, layout_test::kUserPreload + "\\3");
  machine_.SetString(platform::kHkeyCurrentUser, layout_test::kUserPreload + "\\4", "", "E0200804");
  machine_.SetString(platform::kHkeyCurrentUser, layout_test::kUserPreload + "\\6", "", "E0010804");
  // An empty entry names no layout, not the layout list itself.
  machine_.SetString(platform::kHkeyLocalMachine, layout_test::kLayoutsPath, "layout text", "list");
  EXPECT_EQ(ReadPreloadList(), 4);
  EXPECT_EQ(ListEntries(), (Entries{"00000804", "E0210804", "", "E0200804"}));
  EXPECT_EQ(PreloadList.texts[2].str(), "");
  EXPECT_EQ(PreloadList.texts[3].str(), "Other IME");
}

TEST_F(PreloadListTest, FindsTheFirstEntryOfTheProductFamily) {
  AddLayoutKey("E0300804", ProductTextGbk().substr(0, 12) + "6.0");
  SetUserList({"00000804", "E0200804", "E0300804", "E0210804"});
  EXPECT_EQ(FindImeInPreload(), 1);
  EXPECT_EQ(ImeInPreload, 1);
  EXPECT_EQ(ImePreloadPosition, 3);

  SetUserList({"00000804", "E0200804", "E0010804", "E0200804"});
  EXPECT_EQ(FindImeInPreload(), 0);
  EXPECT_EQ(ImeInPreload, 0);
  EXPECT_EQ(ImePreloadPosition, 0);
  EXPECT_EQ(PreloadList.count, 4);
}

TEST_F(PreloadListTest, ABig5LayoutTextIsNeverTheProductsOnCodePage950) {
  UseCodePage950();
  AddLayoutKey("E0210404", ProductTextBig5());
  SetUserList({"00000404", "E0210404"});
  EXPECT_EQ(FindImeInPreload(), 0);
  EXPECT_EQ(PreloadList.texts[1].str(), ProductTextBig5());
}

class MoveImeTest : public PreloadListTest {
 protected:
  void SetUp() override {
    PreloadListTest::SetUp();
    WindowsMajorVersion = 5;
    SetUserList({"00000804", "E0200804", "E0010804", "E0210804"});
    SetNtList(platform::kHkeyUsers, layout_test::kDefaultPreload,
              {"00000409", "E0200804", "E0010804", "E0210804"});
  }
};

TEST_F(MoveImeTest, MovesTheProductToPlace2InBothNtLists) {
  ASSERT_EQ(FindImeInPreload(), 1);
  MoveImeToSecondPlace();
  EXPECT_EQ(UserList(), (Entries{"00000804", "E0210804", "E0200804", "E0010804"}));
  EXPECT_EQ(NtList(platform::kHkeyUsers, layout_test::kDefaultPreload),
            (Entries{"00000409", "E0210804", "E0200804", "E0010804"}));
  EXPECT_EQ(ListEntries(), (Entries{"00000804", "E0210804", "E0200804", "E0010804"}));
  EXPECT_EQ(PreloadList.texts[1].str(), ProductTextGbk());
  EXPECT_EQ(ImePreloadPosition, 2);

  // A default user's list that will not open is skipped.
  SetUserList({"00000804", "E0200804", "E0210804"});
  machine_.FailOperation("RegOpenKeyExA", win::kErrorAccessDenied, ".DEFAULT\\keyboard layout");
  ASSERT_EQ(FindImeInPreload(), 1);
  MoveImeToSecondPlace();
  EXPECT_EQ(UserList(), (Entries{"00000804", "E0210804", "E0200804"}));
}

TEST_F(MoveImeTest, LeavesTheListsAloneWhenThereIsNothingToMove) {
  const Entries user = UserList();
  const Entries defaults = NtList(platform::kHkeyUsers, layout_test::kDefaultPreload);
  auto unchanged = [&] {
    EXPECT_EQ(UserList(), user);
    EXPECT_EQ(NtList(platform::kHkeyUsers, layout_test::kDefaultPreload), defaults);
  };

  WindowsMajorVersion = 6;  // Vista and later keep the order
  ASSERT_EQ(FindImeInPreload(), 1);
  MoveImeToSecondPlace();
  unchanged();

  WindowsMajorVersion = 5;
  const Entries second{"00000804", "E0210804", "E0200804"};
  SetUserList(second);
  ASSERT_EQ(FindImeInPreload(), 1);
  MoveImeToSecondPlace();
  EXPECT_EQ(UserList(), second);

  const Entries first{"E0210804", "E0200804", "E0010804"};
  SetUserList(first);
  ASSERT_EQ(FindImeInPreload(), 1);
  MoveImeToSecondPlace();
  EXPECT_EQ(UserList(), first);

  // Only a list that FindImeInPreload found the product in is reordered.
  const Entries third{"00000804", "E0200804", "E0210804"};
  SetUserList(third);
  ASSERT_EQ(FindImeInPreload(), 1);
  ImeInPreload = 0;
  MoveImeToSecondPlace();
  EXPECT_EQ(UserList(), third);
  EXPECT_EQ(NtList(platform::kHkeyUsers, layout_test::kDefaultPreload), defaults);
}

TEST_F(MoveImeTest, RewritesTheWindows9xSubkeysThatOpen) {
  Use9xFamily();
  machine_.DeleteTree(platform::kHkeyCurrentUser, layout_test::kUserPreload);
  Set9xList({"00000804", "E0200804", "E0010804", "E0210804"});
  ASSERT_EQ(FindImeInPreload(), 1);
  machine_.FailOperation("RegOpenKeyExA", win::kErrorAccessDenied, "preload\\3", 1);
  MoveImeToSecondPlace();
  EXPECT_EQ(List9x(), (Entries{"00000804", "E0210804", "E0010804", "E0010804"}));
  // The default user's list belongs to the NT family only.
  EXPECT_EQ(NtList(platform::kHkeyUsers, layout_test::kDefaultPreload)[1], "E0200804");
}

TEST_F(MoveImeTest, SwapsTheFirstTwoPlacesOfBothNtListsOrTheWindows9xList) {
  SetUserList({"E0210804", "00000804", "E0200804"});
  ASSERT_EQ(FindImeInPreload(), 1);
  SwapFirstTwoPreloadEntries();
  EXPECT_EQ(UserList(), (Entries{"00000804", "E0210804", "E0200804"}));
  EXPECT_EQ(NtList(platform::kHkeyUsers, layout_test::kDefaultPreload),
            (Entries{"00000804", "E0210804", "E0010804", "E0210804"}));

  Use9xFamily();
  machine_.DeleteTree(platform::kHkeyCurrentUser, layout_test::kUserPreload);
  Set9xList({"E0210804", "00000804", "E0200804"});
  ASSERT_EQ(FindImeInPreload(), 1);
  SwapFirstTwoPreloadEntries();
  EXPECT_EQ(List9x(), (Entries{"00000804", "E0210804", "E0200804"}));

  // A list of one entry has nothing to exchange with.
  machine_.DeleteTree(platform::kHkeyCurrentUser, layout_test::kUserPreload);
  Set9xList({"E0210804"});
  ASSERT_EQ(FindImeInPreload(), 1);
  SwapFirstTwoPreloadEntries();
  EXPECT_EQ(List9x(), (Entries{"E0210804"}));
}

}  // namespace
}  // namespace zv
