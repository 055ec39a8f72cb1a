// A fake machine with the install directory in place and the process-wide
// values of start-up reset, for the settings file tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/fake/fake_machine.h"
#include "state/process_state.h"
#include "state/run_state.h"
#include "system/install_locations.h"

namespace zv {

inline const std::string kTestInstallDir = "C:\\Program Files\\zavoli\\";

class SettingsFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    machine_.Install();
    machine_.AddDirectory(kTestInstallDir);
    InstallDir.Assign(kTestInstallDir);
  }
  void TearDown() override {
    EXPECT_EQ(machine_.OpenFileCount(), 0u) << "a file was left open";
    ResetProcessState();
  }

  std::string Read(const std::string& name) {
    return machine_.ReadText(kTestInstallDir + name).value_or("<missing>");
  }

  fake::FakeMachine machine_{fake::Preset::kWindows7x64};
};

}  // namespace zv
