// Program starts of the fake machine: recorded, never run.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/fake/machine_state.h"
#include "platform/processes.h"

namespace zv::fake {

struct CommandRecord {
  std::string commandLine;
  uint32_t show = 0;
  uint32_t result = 0;  // what WinExec returned
};

class FakeProcesses : public platform::Processes {
 public:
  explicit FakeProcesses(MachineState& state) : state_(state) {}

  // Returns 33 (started), or the injected error when it is below 32, else 2.
  uint32_t WinExec(const std::string& commandLine, uint32_t show) override;
  // Fails by injection of "CreateMutexA" (the name as subject).
  platform::MutexHandle CreateMutexA(const std::string& name, bool* alreadyExisted) override;
  bool CloseMutex(platform::MutexHandle handle) override;

  // A mutex that another program holds.
  void AddNamedMutex(const std::string& name) { ++mutexes_[name]; }
  // Handles of named mutexes not yet closed.
  size_t OpenMutexHandles() const { return mutexHandles_.size(); }
  uint32_t GetCurrentProcessId() override { return kInstallerProcessId; }

  // Every WinExec call, started or not.
  const std::vector<CommandRecord>& Commands() const { return commands_; }

 private:
  MachineState& state_;
  std::vector<CommandRecord> commands_;
  std::map<std::string, int> mutexes_;  // name to the handles open on it
  std::map<platform::MutexHandle, std::string> mutexHandles_;
  platform::MutexHandle nextMutex_ = 0x3000;
};

}  // namespace zv::fake
