#include "system/option_record.h"

#include <gtest/gtest.h>

#include <string>

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

TEST_F(OptionRecordTest, KeepingTheEarlierDataLeavesTheRecordAlone) {
  machine_.AddFile("C:\\z\\zvszsj43.zvh", "mine");
  BackupState = kBackupKeepOldData;
  AdjustOptionRecord();
  EXPECT_EQ(Record(), "mine");
}

}  // namespace
}  // namespace zv
