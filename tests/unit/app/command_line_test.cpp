#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/fake/fake_machine.h"
#include "state/locations.h"
#include "state/process_state.h"

namespace zv {
namespace {

class ParseRegisterPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.Install();
    ResetProcessState();
    InstallDir.Assign("C:\\Program Files\\zavoli\\");
  }
  void TearDown() override { ResetProcessState(); }

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
