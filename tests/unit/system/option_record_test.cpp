#include "system/option_record.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "state/package_state.h"
#include "state/process_state.h"
#include "state/run_state.h"
#include "state/wizard_state.h"
#include "system/install_locations.h"

namespace zv {
namespace {

class OptionRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine_.Install();
    ResetProcessState();
    InstallDir.Assign("C:\\z\\");
    machine_.AddDirectory("C:\\z");
  }
  void TearDown() override { ResetProcessState(); }
  std::string Record() { return machine_.ReadText("C:\\z\\zvszsj43.zvh").value_or(""); }

  fake::FakeMachine machine_{fake::Preset::kWindows7x64};
};

TEST_F(OptionRecordTest, MissingFileStartsFromTheDefaultRecord) {
  WindowMode = 1;
  AdjustOptionRecord();
  std::string expected(200, '\0');
  expected[8] = 54;
  for (int offset : {9, 10, 12, 15, 19, 22, 24, 36, 41, 43, 58}) expected[offset] = 1;
  expected[1] = 1;  // set by every install; offset 54 is cleared
  EXPECT_EQ(Record(), expected);
}

TEST_F(OptionRecordTest, KeepsUnlistedBytesAndAppliesEditionCodePageAndWindowMode) {
  std::string stored(200, '\x55');
  machine_.AddFile("C:\\z\\zvszsj43.zvh", stored);
  UiCodePage = 950;
  EditionFlag = 1;
  WindowMode = 3;
  AdjustOptionRecord();
  const std::string r = Record();
  ASSERT_EQ(r.size(), 200u);
  EXPECT_EQ(r[0], 4);
  EXPECT_EQ(r[21], 1);
  EXPECT_EQ(r[15], 1);
  EXPECT_EQ(r[1], 1);
  EXPECT_EQ(r[62], 0);
  EXPECT_EQ(r[63], 0);
  EXPECT_EQ(r[54], 0);
  EXPECT_EQ(r[36], 0);  // the Pinyin edition clears what every install sets
  EXPECT_EQ(r[25], 1);
  for (int i = 27; i <= 35; ++i) EXPECT_EQ(r[i], 0) << i;
  for (int i = 66; i <= 69; ++i) EXPECT_EQ(r[i], 0) << i;
  EXPECT_EQ(r[75], 1);
  EXPECT_EQ(r[80], 10);
  EXPECT_EQ(r[2], '\x55');
  EXPECT_EQ(r[199], '\x55');
}

TEST_F(OptionRecordTest, ShortFileKeepsDefaultsBeyondItAndModesMapAsTheImeReadsThem) {
  machine_.AddFile("C:\\z\\zvszsj43.zvh", std::string(10, '\x07'));
  UiCodePage = 936;
  const std::pair<int, std::pair<int, int>> modes[] = {{1, {0, 0}}, {2, {1, 0}}, {3, {4, 1}},
                                                       {4, {3, 1}}, {0, {0, 0}}, {9, {0, 0}}};
  for (const auto& [mode, bytes] : modes) {
    WindowMode = mode;
    AdjustOptionRecord();
    const std::string r = Record();
    ASSERT_EQ(r.size(), 200u);
    EXPECT_EQ(r[0], bytes.first) << mode;
    EXPECT_EQ(r[21], bytes.second) << mode;
    EXPECT_EQ(r[15], 1) << "default byte kept on 936";
    EXPECT_EQ(r[9], '\x07');
    EXPECT_EQ(r[58], 1);
  }
}

// Every byte the routine writes, from a stored record whose bytes are
// neither 0 nor 1, for both editions, each window mode and both code pages:
// the whole record is compared, so every other byte must keep its value.
TEST_F(OptionRecordTest, WritesEveryOptionOfTheEditionAndWindowModeOverAStoredRecord) {
  using Writes = std::vector<std::pair<size_t, uint8_t>>;
  const Writes common = {{1, 1}, {36, 1}, {43, 1}, {54, 0}, {62, 0}, {63, 0}};
  Writes pinyin = {{19, 1}, {22, 0}, {25, 1}, {36, 0}, {42, 0}, {75, 1}, {80, 10}};
  for (size_t i = 27; i <= 35; ++i) pinyin.push_back({i, 0});
  for (size_t i = 66; i <= 69; ++i) pinyin.push_back({i, 0});
  // Window mode to offsets 0 and 21.
  const std::pair<int32_t, std::pair<uint8_t, uint8_t>> modes[] = {
      {1, {0, 0}}, {2, {1, 0}}, {3, {4, 1}}, {4, {3, 1}}, {0, {0, 0}}};
  const std::string stored(200, '\x55');
  for (const uint32_t codePage : {936u, 950u}) {
    for (const int32_t edition : {0, 1}) {
      for (const auto& [mode, bytes] : modes) {
        machine_.AddFile("C:\\z\\zvszsj43.zvh", stored);
        UiCodePage = codePage;
        EditionFlag = edition;
        WindowMode = mode;
        AdjustOptionRecord();

        std::string expected = stored;
        Writes writes = common;
        if (codePage == 950) writes.push_back({15, 1});
        if (edition == 1) writes.insert(writes.end(), pinyin.begin(), pinyin.end());
        writes.push_back({0, bytes.first});
        writes.push_back({21, bytes.second});
        for (const auto& [offset, value] : writes) expected[offset] = static_cast<char>(value);
        EXPECT_EQ(Record(), expected)
            << "code page " << codePage << ", edition " << edition << ", mode " << mode;
      }
    }
  }
}

// The user's record stays when the earlier data is kept, or when the
// extraction left it in place; data the backup could not take elsewhere
// does not spare the package's record its options.
TEST_F(OptionRecordTest, OnlyTheUsersOwnRecordIsLeftAlone) {
  struct Case {
    int32_t backupState;
    int32_t unsaved;
    int32_t kept;
    bool rewritten;
  };
  for (const Case& c : {Case{kBackupKeepOldData, 0, 0, false}, Case{kBackupNone, 1, 1, false},
                        Case{kBackupComplete, 1, 1, false}, Case{kBackupNone, 1, 0, true},
                        Case{kBackupComplete, 1, 0, true}, Case{kBackupComplete, 0, 0, true}}) {
    SCOPED_TRACE(::testing::Message() << c.backupState << c.unsaved << c.kept);
    machine_.AddFile("C:\\z\\zvszsj43.zvh", std::string(200, '\x7f'));
    BackupState = c.backupState;
    UserDataUnsaved = c.unsaved;
    OptionRecordKept = c.kept;
    WindowMode = 3;
    AdjustOptionRecord();
    const std::string record = Record();
    ASSERT_EQ(record.size(), 200u);
    EXPECT_EQ(record[0] == 4, c.rewritten);
  }
}

}  // namespace
}  // namespace zv
