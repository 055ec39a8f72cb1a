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

}  // namespace zv::fake
