#include "system/access_rights.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "platform/services.h"
#include "platform/win_constants.h"

namespace zv {
namespace {

constexpr uint32_t kGenericAll = 0x10000000;
constexpr uint32_t kReadExecute = 0x001200A9;
const std::string kDir = "C:\\Program Files\\zavoli\\";

class GrantUserFullAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.Install();
    machine_.AddDirectory("C:\\Program Files\\zavoli");
    machine_.SetAccessEntries(kDir, before_);
  }

  fake::FakeMachine machine_{fake::Preset::kWindows7x64};
  const std::vector<fake::AccessEntry> before_ = {{"SYSTEM", kGenericAll, true, false},
                                                  {"Users", kReadExecute, true, false}};
};

TEST_F(GrantUserFullAccessTest, MergesAnInheritableEntryThatLaterDirectoriesCarry) {
  // 张三 in GBK: the account name is 8-bit text of the ANSI code page.
  const std::string user = "\xd5\xc5\xc8\xfd";
  machine_.SetUserName(user);
  machine_.AddFile(kDir + "zavoli4.ime", "MZ");

  EXPECT_EQ(GrantUserFullAccess(kDir), 1);
  const fake::AccessEntry granted{user, kGenericAll, true, false};
  std::vector<fake::AccessEntry> entries = machine_.AccessEntries(kDir);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0], before_[0]);
  EXPECT_EQ(entries[1], before_[1]);
  EXPECT_EQ(entries[2], granted);

  // Files already there and directories created afterwards inherit the grant.
  const fake::AccessEntry inherited{user, kGenericAll, true, true};
  std::vector<fake::AccessEntry> file = machine_.AccessEntries(kDir + "zavoli4.ime");
  EXPECT_NE(std::find(file.begin(), file.end(), inherited), file.end());
  ASSERT_TRUE(platform::Files().CreateDirectoryA(kDir + "filer"));
  std::vector<fake::AccessEntry> filer = machine_.AccessEntries(kDir + "filer");
  EXPECT_NE(std::find(filer.begin(), filer.end(), inherited), filer.end());

  // Granting again merges into the same entry instead of adding another.
  EXPECT_EQ(GrantUserFullAccess(kDir), 1);
  EXPECT_EQ(machine_.AccessEntries(kDir).size(), 3u);
}

TEST_F(GrantUserFullAccessTest, EveryFailingStepReturnsZeroAndChangesNothing) {
  for (const char* operation :
       {"GetUserNameA", "GetNamedSecurityInfoA", "SetEntriesInAclA", "SetNamedSecurityInfoA"}) {
    machine_.FailOperation(operation, win::kErrorAccessDenied, "", 1);
    EXPECT_EQ(GrantUserFullAccess(kDir), 0) << operation;
    EXPECT_EQ(machine_.AccessEntries(kDir), before_) << operation;
  }

  // An account name that does not fit the 198-byte buffer, and a missing path.
  machine_.SetUserName(std::string(198, 'u'));
  EXPECT_EQ(GrantUserFullAccess(kDir), 0);
  EXPECT_EQ(machine_.AccessEntries(kDir), before_);
  machine_.SetUserName(std::string(197, 'u'));
  EXPECT_EQ(GrantUserFullAccess("C:\\Program Files\\missing\\"), 0);
  EXPECT_EQ(GrantUserFullAccess(kDir), 1);
  EXPECT_EQ(machine_.AccessEntries(kDir).back().account, std::string(197, 'u'));
}

}  // namespace
}  // namespace zv
