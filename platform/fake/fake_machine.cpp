#include "platform/fake/fake_machine.h"

#include "platform/services.h"
#include "platform/win_constants.h"

namespace zv::fake {

FakeMachine::FakeMachine(Preset preset)
    : FakeFileSystem(machine_),
      FakeRegistry(machine_),
      FakeSystemInfo(machine_),
      FakeDialogs(machine_),
      FakeProcesses(machine_),
      FakeInputMethods(machine_, *this),
      FakeSecurity(machine_, *this),
      FakeResources(machine_) {
  ApplyPreset(preset);
}

FakeMachine::~FakeMachine() {
  if (installed_ && platform::CurrentServices().files == this) platform::ResetServices();
}

void FakeMachine::ApplyPreset(Preset preset) {
  bool xp = preset == Preset::kWindowsXp;
  bool x64 = preset == Preset::kWindows7x64;
  SetVersion(xp ? 5 : 6, 1, xp ? 2600 : 7601);
  SetCodePage(936);
  SetDriveType('C', win::kDriveFixed);
  SetDriveType('D', win::kDriveCdRom);
  SetWindowsDirectory("C:\\Windows");
  SetSystemDirectory("C:\\Windows\\system32");
  SetUserName("Administrator");
  SetCurrentDirectory("C:\\");
  SetWow64(x64);
  AddDirectory("C:\\Windows\\system32");
  AddDirectory("C:\\Program Files");
  if (x64) {
    AddDirectory("C:\\Windows\\SysWOW64");
    AddDirectory("C:\\Program Files (x86)");
  }
  SetProgramFilesFolder(x64 ? "C:\\Program Files (x86)" : "C:\\Program Files");
}

void FakeMachine::Install() {
  platform::Services services;
  services.files = this;
  services.registry = this;
  services.system = this;
  services.dialogs = this;
  services.processes = this;
  services.inputMethods = this;
  services.security = this;
  services.resources = this;
  services.md5 = this;
  platform::SetServices(services);
  installed_ = true;
}

void FakeMachine::FailOperation(const std::string& operation, uint32_t error,
                                const std::string& subject, int times) {
  machine_.faults.Fail(operation, error, subject, times);
}

}  // namespace zv::fake
