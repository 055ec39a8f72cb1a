#include "system/path_text.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_machine.h"
#include "state/process_state.h"
#include "system/install_locations.h"

namespace zv {
namespace {

TEST(EndsWithBackslash, LooksAtTheLastCharacterNotTheLastByte) {
  fake::FakeMachine machine;
  machine.Install();
  for (uint32_t codePage : {936u, 950u}) {
    machine.SetCodePage(codePage);
    EXPECT_TRUE(EndsWithBackslash("D:\\x\\")) << codePage;
    EXPECT_FALSE(EndsWithBackslash("D:\\x")) << codePage;
    EXPECT_FALSE(EndsWithBackslash("")) << codePage;
    // "功" in Big5 is A5 5C; in GBK A5 5C is a character too.
    EXPECT_FALSE(EndsWithBackslash("D:\\\xA5\x5C")) << codePage;
    EXPECT_TRUE(EndsWithBackslash("D:\\\xA5\x5C\\")) << codePage;
    // A lead byte with nothing after it stands alone.
    EXPECT_TRUE(EndsWithBackslash("\xA5\x41\\")) << codePage;
    EXPECT_FALSE(EndsWithBackslash("D:\\\xA5")) << codePage;
  }
  // On a single-byte code page every 0x5C is a backslash.
  machine.SetCodePage(1252);
  EXPECT_TRUE(EndsWithBackslash("D:\\\xA5\x5C"));
}

TEST(EndsWithBackslash, RememberedBig5DirectoryGetsItsBackslash) {
  fake::FakeMachine machine(fake::Preset::kWindowsXp);
  machine.SetCodePage(950);
  machine.Install();
  ResetProcessState();
  DetectSystem();
  InstallDir.Assign("D:\\\xA5\x5C");
  RememberInstallDir();
  EXPECT_EQ(InstallDir.str(), "D:\\\xA5\x5C\\");
  EXPECT_EQ(machine.ReadText("C:\\Windows\\zavopath.zvh"), "D:\\\xA5\x5C\\");
  ResetProcessState();
}

}  // namespace
}  // namespace zv
