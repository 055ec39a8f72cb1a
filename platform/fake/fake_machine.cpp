#include "platform/fake/fake_machine.h"

#include "platform/fake/fake_text_codec.h"
#include "platform/services.h"
#include "platform/win_constants.h"

namespace zv::fake {

FakeMachine::FakeMachine(Preset preset) : FakeMachine(preset, &Prototype(preset)) {}

FakeMachine::FakeMachine(Preset preset, const FakeMachine* prototype)
    : FakeFileSystem(machine_),
      FakeRegistry(machine_),
      FakeSystemInfo(machine_),
      FakeMessageBoxes(machine_),
      FakeProcesses(machine_),
      FakeInputMethods(machine_, *this),
      FakeSecurity(machine_, *this),
      FakeResources(machine_),
      FakeWindows(machine_),
      FakeGraphics(machine_, *this),
      FakeFileMappings(machine_) {
  if (prototype != nullptr) {
    CopyPresetFrom(*prototype);
  } else {
    ApplyPreset(preset);
  }
}

FakeMachine::~FakeMachine() {
  if (installed_ && platform::CurrentServices().files == this) platform::ResetServices();
}

const FakeMachine& FakeMachine::Prototype(Preset preset) {
  // Never destroyed: a machine may take its registry's copy as late as its
  // own last call, and may be one that outlives the statics.
  static const FakeMachine* const windows7x64 = new FakeMachine(Preset::kWindows7x64, nullptr);
  static const FakeMachine* const windows7x86 = new FakeMachine(Preset::kWindows7x86, nullptr);
  static const FakeMachine* const windowsXp = new FakeMachine(Preset::kWindowsXp, nullptr);
  switch (preset) {
    case Preset::kWindows7x86:
      return *windows7x86;
    case Preset::kWindowsXp:
      return *windowsXp;
    default:
      return *windows7x64;
  }
}

void FakeMachine::CopyPresetFrom(const FakeMachine& prototype) {
  machine_.settings = prototype.machine_.settings;
  CopyDrivesFrom(prototype);
  CopyKeysFrom(prototype);
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
  AddStandardRegistry();
}

// The keys every Windows has that the installer opens as parents, the
// standard keyboards, and the user's keyboard as the only preload entry.
void FakeMachine::AddStandardRegistry() {
  const std::string currentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
  for (const char* key : {"\\Run", "\\Uninstall", "\\Internet Settings\\User Agent"}) {
    CreateKey(platform::kHkeyLocalMachine, currentVersion + key);
  }
  CreateKey(platform::kHkeyCurrentUser, currentVersion + "\\Run");
  const std::string layouts = "System\\CurrentControlSet\\Control\\Keyboard Layouts\\";
  const std::pair<const char*, const char*> keyboards[] = {
      {"00000409", "US"},
      {"00000804", "Chinese (Simplified) - US Keyboard"},
      {"00000404", "Chinese (Traditional) - US Keyboard"}};
  for (const auto& [id, text] : keyboards) {
    SetString(platform::kHkeyLocalMachine, layouts + id, "Layout File", "KBDUS.DLL");
    SetString(platform::kHkeyLocalMachine, layouts + id, "Layout Text", text);
  }
  SetString(platform::kHkeyCurrentUser, "Keyboard Layout\\Preload", "1", "00000804");
  SetString(platform::kHkeyUsers, ".DEFAULT\\Keyboard Layout\\Preload", "1", "00000804");
}

void FakeMachine::Install() {
  platform::Services services;
  services.files = this;
  services.registry = this;
  services.system = this;
  services.messageBoxes = this;
  services.processes = this;
  services.inputMethods = this;
  services.security = this;
  services.resources = this;
  services.md5 = this;
  services.windows = this;
  services.messages = this;
  services.dialogs = this;
  services.graphics = this;
  services.mappings = this;
  platform::SetServices(services);
  // The codec asks the installed machine for its code page at each call, so
  // one stateless instance serves every machine.
  static FakeTextCodec codec;
  platform::SetTextCodec(&codec);
  installed_ = true;
}

void FakeMachine::FailOperation(const std::string& operation, uint32_t error,
                                const std::string& subject, int times) {
  machine_.faults.Fail(operation, error, subject, times);
}

}  // namespace zv::fake
