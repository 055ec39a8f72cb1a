#include "platform/fake/fake_processes.h"

#include "platform/win_constants.h"

namespace zv::fake {
namespace {

constexpr uint32_t kStarted = 33;

}  // namespace

uint32_t FakeProcesses::WinExec(const std::string& commandLine, uint32_t show) {
  uint32_t result = kStarted;
  state_.NoteModuleLoad("WinExec", commandLine);
  if (state_.Injected("WinExec", {commandLine})) {
    result = state_.lastError < 32 ? state_.lastError : win::kErrorFileNotFound;
  }
  commands_.push_back(CommandRecord{commandLine, show, result});
  return result;
}

platform::MutexHandle FakeProcesses::CreateMutexA(const std::string& name, bool* alreadyExisted) {
  *alreadyExisted = false;
  if (state_.Injected("CreateMutexA", {name})) return 0;
  int& holders = mutexes_[name];
  *alreadyExisted = holders > 0;
  ++holders;
  mutexHandles_[nextMutex_] = name;
  return nextMutex_++;
}

bool FakeProcesses::CloseMutex(platform::MutexHandle handle) {
  auto it = mutexHandles_.find(handle);
  if (it == mutexHandles_.end()) return false;
  if (--mutexes_[it->second] == 0) mutexes_.erase(it->second);
  mutexHandles_.erase(it);
  return true;
}

}  // namespace zv::fake
