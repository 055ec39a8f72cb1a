#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/fake/fake_machine.h"
#include "system/install_locations.h"

namespace zv {
namespace {

TEST(ContainsIgnoreCase, FindsLowerCaseKeywordAnywhereInAnyCase) {
  EXPECT_EQ(ContainsIgnoreCase("setzvsrf32", "setzvsrf32"), 1);
  EXPECT_EQ(ContainsIgnoreCase("SETZVSRF32", "setzvsrf32"), 1);
  EXPECT_EQ(ContainsIgnoreCase("/setzvsrf32", "setzvsrf32"), 1);
  EXPECT_EQ(ContainsIgnoreCase("xsetzvsrf32y", "setzvsrf32"), 1);
  EXPECT_EQ(ContainsIgnoreCase("regzv32=C:\\x\\", "regzv32"), 1);
  // The keyword must be whole: a cut-off switch or one at the very end.
  EXPECT_EQ(ContainsIgnoreCase("setzvsrf3", "setzvsrf32"), 0);
  EXPECT_EQ(ContainsIgnoreCase("a setzvsrf", "setzvsrf32"), 0);
  EXPECT_EQ(ContainsIgnoreCase("", "regzv32"), 0);
}

TEST(ContainsIgnoreCase, FoldsOnlyTheSearchedTextsCapitals) {
  // An upper-case letter of the keyword matches only itself.
  EXPECT_EQ(ContainsIgnoreCase("zavo320.ime", "ZAVO"), 0);
  EXPECT_EQ(ContainsIgnoreCase("ZAVO320.IME", "ZAVO"), 1);
  // Only A-Z fold: bytes of double-byte characters and punctuation never do.
  EXPECT_EQ(ContainsIgnoreCase("\xC1\xE5", "\xE1\xE5"), 0);
  EXPECT_EQ(ContainsIgnoreCase("[", "{"), 0);
  // A plain substring test: part of a listed name matches, a longer one not.
  EXPECT_EQ(ContainsIgnoreCase("zavo320.ime;zavo640.ime", "320.ime"), 1);
  EXPECT_EQ(ContainsIgnoreCase("zavo320.ime;zavo640.ime", "zavo32.ime"), 0);
}

class ParseRegisterPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.Install();
    ResetInstallLocations();
    InstallDir.Assign("C:\\Program Files\\zavoli\\");
  }
  void TearDown() override { ResetInstallLocations(); }

  fake::FakeMachine machine_;
};

TEST_F(ParseRegisterPathTest, TakesEveryByteAfterTheSwitchUnchanged) {
  ParseRegisterPath("regzv32=C:\\Program Files (x86)\\zavoli\\");
  EXPECT_EQ(InstallDir.str(), "C:\\Program Files (x86)\\zavoli\\");

  // Nothing is unquoted or trimmed.
  ParseRegisterPath("regzv32=\"D:\\a b\\\" ");
  EXPECT_EQ(InstallDir.str(), "\"D:\\a b\\\" ");
}

TEST_F(ParseRegisterPathTest, IsCaseSensitiveAndAnchoredAtTheFirstR) {
  ParseRegisterPath("REGZV32=D:\\x\\");
  EXPECT_EQ(InstallDir.str(), "C:\\Program Files\\zavoli\\");
  ParseRegisterPath("run regzv32=D:\\x\\");
  EXPECT_EQ(InstallDir.str(), "C:\\Program Files\\zavoli\\");
  ParseRegisterPath("regzv32");
  EXPECT_EQ(InstallDir.str(), "C:\\Program Files\\zavoli\\");
  ParseRegisterPath("");
  EXPECT_EQ(InstallDir.str(), "C:\\Program Files\\zavoli\\");
  // Text before the first 'r' does not matter.
  ParseRegisterPath("/ regzv32=E:\\y");
  EXPECT_EQ(InstallDir.str(), "E:\\y");
}

TEST_F(ParseRegisterPathTest, RefusesAPathThatCannotTakeItsTrailingBackslash) {
  // 199 bytes is the most InstallDir holds, the backslash included.
  const std::string fits = "D:\\" + std::string(195, 'a') + "\\";
  ASSERT_EQ(fits.size(), 199u);
  ParseRegisterPath("regzv32=" + fits);
  EXPECT_EQ(InstallDir.str(), fits);

  InstallDir.Assign("C:\\Program Files\\zavoli\\");
  const std::string noRoomForBackslash = "D:\\" + std::string(196, 'a');
  ParseRegisterPath("regzv32=" + noRoomForBackslash);
  EXPECT_EQ(InstallDir.str(), "C:\\Program Files\\zavoli\\");

  // A Big5 path ending in a character whose second byte is 0x5C still needs
  // its backslash, so 199 bytes of it do not fit.
  machine_.SetCodePage(950);
  InstallDir.Assign("C:\\Program Files\\zavoli\\");
  const std::string big5 = "D:\\" + std::string(194, 'a') + "\xA5\x5C";
  ASSERT_EQ(big5.size(), 199u);
  ParseRegisterPath("regzv32=" + big5);
  EXPECT_EQ(InstallDir.str(), "C:\\Program Files\\zavoli\\");

  const std::string overlong = "D:\\" + std::string(4000, 'a') + "\\";
  ParseRegisterPath("regzv32=" + overlong);
  EXPECT_EQ(InstallDir.str(), "C:\\Program Files\\zavoli\\");
}

}  // namespace
}  // namespace zv
