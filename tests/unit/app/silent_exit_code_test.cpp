// The exit codes of the silent install, on the fake machine with the demo
// package: what a deployment tool reads of each way an install can end.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/exit_codes.h"
#include "app/installer_main.h"
#include "platform/fake/fake_machine.h"
#include "platform/win_constants.h"
#include "state/process_state.h"
#include "system/layout_texts.h"
#include "tests/unit/support/wizard_machine.h"

namespace zv {
namespace {

using fake::FakeMachine;
using fake::Preset;

constexpr char kWow64Ime[] = "C:\\Windows\\SysWOW64\\zavoli4.ime";
constexpr char kNativeIme[] = "C:\\Windows\\system32\\zavoli4.ime";
constexpr char kLayoutKey[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts\\E0200804";

// An earlier install: its layout in the user's preload list and its IMEs in
// the system folders.
void SeedEarlierInstall(FakeMachine& machine) {
  machine.SetString(platform::kHkeyLocalMachine, kLayoutKey, "Layout Text",
                    std::string(texts::layout::kImeLayoutTextGbk));
  machine.SetString(platform::kHkeyLocalMachine, kLayoutKey, "Ime File", "zavoli4.ime");
  machine.SetString(platform::kHkeyCurrentUser, "Keyboard Layout\\Preload", "2", "E0200804");
  machine.AddFile(kNativeIme, "old-native");
  if (machine.Exists("C:\\Windows\\SysWOW64")) machine.AddFile(kWow64Ime, "old-wow64");
}

struct ExitCase {
  const char* name;
  Preset preset;
  const char* commandLine;
  std::function<void(FakeMachine&)> arrange;
  int exitCode;
  bool withPackage = true;
};

const ExitCase kCases[] = {
    {"a clean install on 64-bit Windows 7", Preset::kWindows7x64, "setzvsrf32", {}, kExitInstalled},
    {"a clean install on XP", Preset::kWindowsXp, "/SETZVSRF32", {}, kExitInstalled},
    {"no administrator rights", Preset::kWindows7x64, "setzvsrf32",
     [](FakeMachine& m) {
       m.FailOperation("CreateFileA", win::kErrorAccessDenied, "windows\\zavopath.zvh");
     },
     kExitNotInstalled},
    {"no administrator rights, in the companion mode", Preset::kWindows7x64,
     "regzv32=C:\\x\\ setzvsrf32",
     [](FakeMachine& m) {
       m.FailOperation("CreateFileA", win::kErrorAccessDenied, "windows\\zavopath.zvh");
     },
     0},
    {"another silent install running", Preset::kWindows7x64, "setzvsrf32",
     [](FakeMachine& m) { m.AddNamedMutex("Global\\zvsetup-7.8-silent-install"); },
     kExitNotInstalled},
    {"no mutex to be had", Preset::kWindows7x64, "setzvsrf32",
     [](FakeMachine& m) { m.FailOperation("CreateMutexA", win::kErrorAccessDenied); },
     kExitInstalled},
    {"an earlier IME held open", Preset::kWindows7x86, "setzvsrf32",
     [](FakeMachine& m) {
       SeedEarlierInstall(m);
       m.OpenHandle(kNativeIme, win::kGenericRead, win::kFileShareRead);
     },
     kExitNotInstalled},
    {"an earlier 32-bit IME loaded, moved aside", Preset::kWindows7x64, "setzvsrf32",
     [](FakeMachine& m) {
       SeedEarlierInstall(m);
       m.LoadModule(kWow64Ime);
     },
     kExitRestartRequired},
    {"a package file that could not be written", Preset::kWindows7x64, "setzvsrf32",
     [](FakeMachine& m) { m.FailOperation("WriteFile", win::kErrorDiskFull, "zavocyzk.zvh"); },
     kExitIncomplete},
    {"the native IME that could not be copied", Preset::kWindows7x64, "setzvsrf32",
     [](FakeMachine& m) {
       m.FailOperation("CopyFileA", win::kErrorAccessDenied, "system32\\zavoli4.ime");
     },
     kExitIncomplete},
    {"the uninstaller that could not be copied", Preset::kWindowsXp, "setzvsrf32",
     [](FakeMachine& m) {
       m.FailOperation("CopyFileA", win::kErrorAccessDenied, "system32\\zavodel.exe");
     },
     kExitIncomplete},
    {"no package", Preset::kWindows7x86, "setzvsrf32", {}, kExitIncomplete, false},
};

TEST(SilentExitCodeTest, EachEndOfASilentInstallHasItsCode) {
  for (const ExitCase& c : kCases) {
    SCOPED_TRACE(c.name);
    ResetProcessState();
    FakeMachine machine(c.preset);
    test::AddProgramResources(machine, c.withPackage);
    machine.Install();
    if (c.arrange) c.arrange(machine);
    EXPECT_EQ(InstallerMain(nullptr, nullptr, c.commandLine, win::kSwShowNormal), c.exitCode);
    EXPECT_EQ(machine.OpenMutexHandles(), 0u);
    machine.ClearFailures();
    ResetProcessState();
  }
}

}  // namespace
}  // namespace zv
