#include "system/layout_registration.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "layout_test_support.h"

namespace zv {
namespace {

using layout_test::LayoutTest;
using layout_test::ProductTextBig5;
using layout_test::ProductTextGbk;

class RegisterLayoutByHandTest : public LayoutTest {
 protected:
  // The key `name` holds exactly the product's three values.
  void ExpectProductKey(const std::string& name, const std::string& layoutFile,
                        const std::string& layoutText) {
    std::vector<std::string> names =
        machine_.ValueNames(platform::kHkeyLocalMachine, layout_test::kLayoutsPath + "\\" + name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"IME file", "layout file", "layout text"})) << name;
    EXPECT_EQ(LayoutValue(name, "IME file"), "ZAVOLI4.IME");
    EXPECT_EQ(LayoutValue(name, "layout file"), layoutFile);
    EXPECT_EQ(LayoutValue(name, "layout text"), layoutText);
    // Written as REG_SZ with its terminating zero.
    auto stored = machine_.GetValue(platform::kHkeyLocalMachine,
                                    layout_test::kLayoutsPath + "\\" + name, "IME file");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, win::kRegSz);
    EXPECT_EQ(stored->data.size(), 2 * sizeof("ZAVOLI4.IME"));
  }
};

TEST_F(RegisterLayoutByHandTest, GivesTheNextImeIndexAfterTheHighestLayoutNumber) {
  // No IME key at all: the first IME index.
  AddStandardKeyboards();
  SetUserList({"00000804"});
  RegisterLayoutByHand();
  EXPECT_EQ(LayoutId.str(), "E0010804");
  ExpectProductKey("E0010804", "kbdus.dll", ProductTextGbk());
  // A new key gets its values in this order.
  EXPECT_EQ(
      machine_.ValueNames(platform::kHkeyLocalMachine, layout_test::kLayoutsPath + "\\E0010804"),
      (std::vector<std::string>{"IME file", "layout file", "layout text"}));
  EXPECT_EQ(UserList(), (std::vector<std::string>{"00000804", "e0010804"}));
  EXPECT_TRUE(machine_.MessageBoxes().empty());

  // The highest foreign IME E00E0804 gives E00F0804.
  machine_.DeleteTree(platform::kHkeyLocalMachine, layout_test::kLayoutsPath + "\\E0010804");
  AddLayoutKey("E0050804", "Other IME");
  AddLayoutKey("E00E0804", "Another IME");
  RegisterLayoutByHand();
  EXPECT_EQ(LayoutId.str(), "E00F0804");
  ExpectProductKey("E00F0804", "kbdus.dll", ProductTextGbk());
}

TEST_F(RegisterLayoutByHandTest, ForcesOnlyTheLanguageEndingOfTheNewIdentifier) {
  AddStandardKeyboards();
  AddLayoutKey("E0200411", "Japanese IME");
  AddLayoutKey("E0100804", "Other IME");
  RegisterLayoutByHand();
  EXPECT_EQ(LayoutId.str(), "E0210804");
  ExpectProductKey("E0210804", "kbdus.dll", ProductTextGbk());
  EXPECT_FALSE(
      machine_.KeyExists(platform::kHkeyLocalMachine, layout_test::kLayoutsPath + "\\E0210411"));
}

TEST_F(RegisterLayoutByHandTest, ReplacesAnEarlierProductKeyOfTheOtherLanguage) {
  AddStandardKeyboards();
  AddLayoutKey("E0200404", ProductTextGbk());
  AddLayoutKey("E0100804", "Other IME");
  SetUserList({"00000804", "e0200404", "E0100804"});
  RegisterLayoutByHand();
  EXPECT_EQ(LayoutId.str(), "E0200804");
  EXPECT_FALSE(
      machine_.KeyExists(platform::kHkeyLocalMachine, layout_test::kLayoutsPath + "\\E0200404"));
  ExpectProductKey("E0200804", "kbdus.dll", ProductTextGbk());
  // The old entry is overwritten in place: the first five characters agree.
  EXPECT_EQ(UserList(), (std::vector<std::string>{"00000804", "e0200804", "E0100804"}));
}

TEST_F(RegisterLayoutByHandTest, ReusesAnEarlierProductKeyOfTheSameLanguage) {
  AddStandardKeyboards();
  // Texts that begin with the product's name mark its key, whatever follows.
  AddLayoutKey("E0200804", ProductTextGbk().substr(0, 16) + " 6.0");
  machine_.SetString(platform::kHkeyLocalMachine, layout_test::kLayoutsPath + "\\E0200804",
                     "layout file", "old.dll");
  machine_.SetString(platform::kHkeyLocalMachine, layout_test::kLayoutsPath + "\\E0200804",
                     "Layout Id", "0099");
  AddLayoutKey("E0300804", "Other IME");
  SetUserList({"00000804", "E0200804"});
  RegisterLayoutByHand();
  EXPECT_EQ(LayoutId.str(), "E0200804");
  EXPECT_EQ(LayoutValue("E0200804", "IME file"), "ZAVOLI4.IME");
  EXPECT_EQ(LayoutValue("E0200804", "layout file"), "kbdus.dll");
  EXPECT_EQ(LayoutValue("E0200804", "layout text"), ProductTextGbk());
  // The key itself is kept: what else it holds stays.
  EXPECT_EQ(LayoutValue("E0200804", "Layout Id"), "0099");
  EXPECT_FALSE(
      machine_.KeyExists(platform::kHkeyLocalMachine, layout_test::kLayoutsPath + "\\E0310804"));
  EXPECT_EQ(UserList(), (std::vector<std::string>{"00000804", "E0200804"}));
}

TEST_F(RegisterLayoutByHandTest, AKeyWithoutLayoutTextDoesNotCountAndIsReused) {
  AddStandardKeyboards();
  AddLayoutKey("E0200804", "Other IME");
  AddLayoutKey("E0210804");                         // left behind, no layout text
  AddLayoutKey("E0500804", std::string(200, 'x'));  // a text too long to read
  RegisterLayoutByHand();
  EXPECT_EQ(LayoutId.str(), "E0210804");
  ExpectProductKey("E0210804", "kbdus.dll", ProductTextGbk());
}

TEST_F(RegisterLayoutByHandTest, FindsTheProductKeyEnumeratedLast) {
  AddStandardKeyboards();
  AddLayoutKey("E0200804", ProductTextGbk());
  AddLayoutKey("E0220804", ProductTextGbk());
  machine_.SetString(platform::kHkeyLocalMachine, layout_test::kLayoutsPath + "\\E0200804",
                     "layout file", "keep.dll");
  RegisterLayoutByHand();
  EXPECT_EQ(LayoutId.str(), "E0220804");
  EXPECT_EQ(LayoutValue("E0200804", "layout file"), "keep.dll");
}

TEST_F(RegisterLayoutByHandTest, TakesTheHighestNumberFromEveryKeyHoweverMany) {
  // Hundreds of keys whose names sort after every IME key but hold no number
  // are walked before the IME keys; the highest IME number still counts.
  AddStandardKeyboards();
  AddLayoutKey("E0300804", "Other IME");
  for (int i = 0; i < 300; ++i) AddLayoutKey("layout" + std::to_string(1000 + i), "filler");
  RegisterLayoutByHand();
  EXPECT_EQ(LayoutId.str(), "E0310804");

  // A name whose number does not fit in 32 bits is no layout number, and
  // ignoring it keeps the identifiers valid.
  machine_.DeleteTree(platform::kHkeyLocalMachine, layout_test::kLayoutsPath + "\\E0310804");
  AddLayoutKey("123456789ABC", "junk");
  RegisterLayoutByHand();
  EXPECT_EQ(LayoutId.str(), "E0310804");
}

TEST_F(RegisterLayoutByHandTest, UsesTheTraditionalFormsOnCodePage950) {
  UseCodePage950();
  AddStandardKeyboards();
  SetUserList({"00000404"});
  RegisterLayoutByHand();
  EXPECT_EQ(LayoutId.str(), "E0010404");
  ExpectProductKey("E0010404", "kbdus.dll", ProductTextBig5());
  EXPECT_EQ(UserList(), (std::vector<std::string>{"00000404", "e0010404"}));

  // An earlier simplified-language product key is replaced by a 0404 one.
  machine_.DeleteTree(platform::kHkeyLocalMachine, layout_test::kLayoutsPath + "\\E0010404");
  AddLayoutKey("E0200804", ProductTextBig5());
  AddLayoutKey("E0300404", "Other IME");
  RegisterLayoutByHand();
  EXPECT_EQ(LayoutId.str(), "E0200404");
  EXPECT_FALSE(
      machine_.KeyExists(platform::kHkeyLocalMachine, layout_test::kLayoutsPath + "\\E0200804"));
}

TEST_F(RegisterLayoutByHandTest, Windows9xGetsTheKbdLayoutFileAndAnUpperCaseSubkeyEntry) {
  Use9xFamily();
  AddStandardKeyboards();
  Set9xList({"00000804"});
  RegisterLayoutByHand();
  EXPECT_EQ(LayoutId.str(), "E0010804");
  ExpectProductKey("E0010804", "kbdus.kbd", ProductTextGbk());
  EXPECT_EQ(List9x(), (std::vector<std::string>{"00000804", "E0010804"}));
}

TEST_F(RegisterLayoutByHandTest, ShowsWhyTheLayoutListCannotBeOpenedAndChangesNothing) {
  AddStandardKeyboards();
  SetUserList({"00000804"});
  machine_.FailOperation("RegOpenKeyExA", win::kErrorAccessDenied, "Keyboard Layouts");
  RegisterLayoutByHand();
  ASSERT_EQ(machine_.MessageBoxes().size(), 1u);
  const auto& box = machine_.MessageBoxes()[0];
  EXPECT_TRUE(box.wide);
  EXPECT_EQ(box.text, texts::layout::kAdministratorNeeded);
  EXPECT_EQ(box.caption, u"智能岚汀");
  EXPECT_EQ(box.style, win::kMbOk);
  EXPECT_EQ(machine_.SubKeys(platform::kHkeyLocalMachine, layout_test::kLayoutsPath).size(), 3u);
  EXPECT_EQ(UserList(), (std::vector<std::string>{"00000804"}));

  Use9xFamily();
  machine_.ClearMessageBoxes();
  RegisterLayoutByHand();
  ASSERT_EQ(machine_.MessageBoxes().size(), 1u);
  EXPECT_EQ(machine_.MessageBoxes()[0].text, u"Software open error1003");
}

TEST_F(RegisterLayoutByHandTest, ShowsWhyTheLayoutKeyCannotBeCreated) {
  AddStandardKeyboards();
  AddLayoutKey("E0200404", ProductTextGbk());
  SetUserList({"00000804"});
  machine_.FailOperation("RegCreateKeyExA", win::kErrorAccessDenied, "E0200804");
  RegisterLayoutByHand();
  ASSERT_EQ(machine_.MessageBoxes().size(), 1u);
  EXPECT_EQ(machine_.MessageBoxes()[0].text, texts::layout::kAdministratorNeeded);
  EXPECT_EQ(machine_.MessageBoxes()[0].caption, u"智能岚汀(岚汀形码)");
  EXPECT_FALSE(
      machine_.KeyExists(platform::kHkeyLocalMachine, layout_test::kLayoutsPath + "\\E0200804"));
  // The earlier key with the other language ending is already gone.
  EXPECT_FALSE(
      machine_.KeyExists(platform::kHkeyLocalMachine, layout_test::kLayoutsPath + "\\E0200404"));
  EXPECT_EQ(UserList(), (std::vector<std::string>{"00000804"}));

  // Without a product key the new identifier cannot be created either.
  Use9xFamily();
  machine_.ClearFailures();
  machine_.FailOperation("RegCreateKeyExA", win::kErrorAccessDenied, "Keyboard Layouts");
  machine_.ClearMessageBoxes();
  RegisterLayoutByHand();
  ASSERT_EQ(machine_.MessageBoxes().size(), 1u);
  EXPECT_EQ(machine_.MessageBoxes()[0].text, u"Software open error1004");
}

TEST_F(RegisterLayoutByHandTest, RefusesWhenNoIdentifierIsLeftInsteadOfWrappingAround) {
  AddStandardKeyboards();
  AddLayoutKey("FFFF0804", "Odd layout");
  RegisterLayoutByHand();
  ASSERT_EQ(machine_.MessageBoxes().size(), 1u);
  EXPECT_EQ(machine_.MessageBoxes()[0].caption, u"智能岚汀(岚汀形码)");
  EXPECT_EQ(machine_.SubKeys(platform::kHkeyLocalMachine, layout_test::kLayoutsPath).size(), 4u);
}

TEST_F(RegisterLayoutByHandTest, CountsTheKeysByEnumerationWhenTheListWillNotTellItsSize) {
  AddStandardKeyboards();
  AddLayoutKey("E0200804", "Other IME");
  machine_.FailOperation("RegQueryInfoKeyA", win::kErrorAccessDenied, "Keyboard Layouts");
  RegisterLayoutByHand();
  EXPECT_EQ(LayoutId.str(), "E0210804");
}

TEST_F(RegisterLayoutByHandTest, LeavesTheKeyOutOfThePreloadListWhenTheListWillNotOpen) {
  AddStandardKeyboards();
  SetUserList({"00000804"});
  machine_.FailOperation("RegOpenKeyExA", win::kErrorAccessDenied,
                         "HKEY_CURRENT_USER\\keyboard layout");
  RegisterLayoutByHand();
  ExpectProductKey("E0010804", "kbdus.dll", ProductTextGbk());
  ASSERT_EQ(machine_.MessageBoxes().size(), 1u);
  EXPECT_EQ(machine_.MessageBoxes()[0].text, u"Software open error2003");
  EXPECT_EQ(machine_.MessageBoxes()[0].caption, u"智能岚汀(岚汀形码)");
  EXPECT_EQ(UserList(), (std::vector<std::string>{"00000804"}));

  // Without a "preload" subkey the NT family adds nothing and says nothing.
  machine_.ClearFailures();
  machine_.ClearMessageBoxes();
  machine_.DeleteTree(platform::kHkeyCurrentUser, layout_test::kUserPreload);
  RegisterLayoutByHand();
  EXPECT_TRUE(machine_.MessageBoxes().empty());
  EXPECT_FALSE(machine_.KeyExists(platform::kHkeyCurrentUser, layout_test::kUserPreload));
}

}  // namespace
}  // namespace zv
