#include <gtest/gtest.h>

#include <string>

#include "app/administrator_check.h"
#include "app/app_texts.h"
#include "app/exit_codes.h"
#include "app/installer_main.h"
#include "package/package_resource.h"
#include "package/work_buffer.h"
#include "platform/fake/fake_machine.h"
#include "platform/win_constants.h"
#include "state/process_state.h"
#include "state/run_state.h"
#include "state/wizard_state.h"
#include "system/ime_registration.h"
#include "system/install_locations.h"

namespace zv {
namespace {

using fake::FakeMachine;
using fake::Preset;

constexpr char kWindowsFile[] = "C:\\Windows\\zavopath.zvh";
constexpr char kDriveFile[] = "c:\\zavoli\\zavopath.zvh";
constexpr char kWow64Ime[] = "C:\\Windows\\SysWOW64\\zavoli4.ime";

class StartUpTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetAll(); }
  void TearDown() override { ResetAll(); }

  static void ResetAll() {
    ResetProcessState();
    WizardPage = 7;
  }

  // Runs the installer. Should it show the wizard, the user leaves it with
  // the exit button of the welcome page as soon as it waits for input.
  int Start(FakeMachine& machine, const char* commandLine) {
    machine.Install();
    machine.AddResource("KPMTZVZ", "ZVZ", std::string("C0\x0e\0\0\0\0\0\0\0", 10));
    wizardShown_ = false;
    machine.WhenIdle([&machine, this] {
      const platform::WindowHandle wizard = machine.FindWindowOfClass("installWClass");
      wizardShown_ = wizard != 0 && machine.Window(wizard)->visible;
      machine.PostMessageA(wizard, win::kWmLButtonDown, 0, platform::MakeLong(300, 255));
    });
    return InstallerMain(nullptr, nullptr, commandLine, win::kSwShowNormal);
  }

  bool wizardShown_ = false;
};

TEST_F(StartUpTest, EmptyCommandLineOnWindows7RewritesBothFilesAndKeepsThePreviousDirectory) {
  FakeMachine machine(Preset::kWindows7x64);
  machine.AddFile(kWindowsFile, "E:\\old\\zavoli\\");

  EXPECT_EQ(Start(machine, ""), 0);

  EXPECT_EQ(WizardPage, 0);
  EXPECT_EQ(UiCodePage, 936u);
  EXPECT_EQ(RunMode, kRunModeInteractive);
  EXPECT_TRUE(machine.MessageBoxes().empty());
  EXPECT_TRUE(machine.ImeInstalls().empty());
  EXPECT_EQ(PreviousInstallDir.str(), "E:\\old\\zavoli\\");
  EXPECT_EQ(machine.ReadText(kWindowsFile), "C:\\Program Files\\zavoli\\");
  EXPECT_EQ(machine.ReadText(kDriveFile), "C:\\Program Files\\zavoli\\");
  EXPECT_EQ(machine.OpenFileCount(), 0u);
}

TEST_F(StartUpTest, OnXpTheCheckPassesAndWritesNothing) {
  FakeMachine machine(Preset::kWindowsXp);
  EXPECT_EQ(Start(machine, ""), 0);
  EXPECT_FALSE(machine.Exists(kWindowsFile));
  EXPECT_FALSE(machine.Exists("c:\\zavoli"));
  EXPECT_TRUE(machine.MessageBoxes().empty());

  FakeMachine seeded(Preset::kWindowsXp);
  seeded.AddFile(kWindowsFile, "D:\\mine\\");
  EXPECT_EQ(Start(seeded, "regzv32"), 0);
  EXPECT_EQ(seeded.ReadText(kWindowsFile), "D:\\mine\\");
  EXPECT_EQ(PreviousInstallDir.str(), "D:\\mine\\");
  EXPECT_TRUE(seeded.MessageBoxes().empty());
}

TEST_F(StartUpTest, SilentSwitchIsFoundInAnyCaseAndPosition) {
  for (const char* line : {"setzvsrf32", "SETZVSRF32", "/setzvsrf32", "xsetzvsrf32y"}) {
    ResetAll();
    FakeMachine machine(Preset::kWindows7x64);
    // The package carries no file, so the install cannot be complete.
    EXPECT_EQ(Start(machine, line), kExitIncomplete) << line;
    EXPECT_EQ(RunMode, kRunModeSilent) << line;
    // The package and the work buffer were prepared, the install ran and
    // was checked (the report's buffer), and both buffers were released.
    EXPECT_EQ(machine.CallCount("FindResourceA"), 1) << line;
    EXPECT_EQ(machine.CallCount("GlobalAlloc"), 2) << line;
    EXPECT_EQ(machine.LiveBlockCount(), 0u) << line;
    EXPECT_EQ(WorkBuffer, nullptr);
    EXPECT_EQ(machine.ReadText("C:\\Program Files\\zavoli\\wbpybz.zvh"),
              std::string("ZVWBPYBZ=0\0", 11))
        << line;
  }
}

TEST_F(StartUpTest, CompanionModeRemembersTheGivenDirectoryAndRegistersTheIme) {
  FakeMachine machine(Preset::kWindows7x64);
  // The 32-bit installer's system32 is SysWOW64: the 32-bit IME is the one
  // handed over.
  machine.AddFile(kWow64Ime, "MZ32");
  machine.AddFile("C:\\Windows\\system32\\zavoli4.ime", "MZ64");

  EXPECT_EQ(Start(machine, "regzv32=C:\\Program Files (x86)\\zavoli\\"), 0);

  EXPECT_EQ(InstallDir.str(), "C:\\Program Files (x86)\\zavoli\\");
  EXPECT_EQ(machine.ReadText(kWindowsFile), "C:\\Program Files (x86)\\zavoli\\");
  EXPECT_EQ(machine.ReadText(kDriveFile), "C:\\Program Files (x86)\\zavoli\\");
  ASSERT_EQ(machine.ImeInstalls().size(), 1u);
  EXPECT_EQ(machine.ImeInstalls()[0].imeFile, u"C:\\Windows\\system32\\zavoli4.ime");
  EXPECT_EQ(machine.ImeInstalls()[0].fileBytes, "MZ32");
  EXPECT_NE(InstalledLayout, 0u);
  ASSERT_EQ(machine.MessageBoxes().size(), 1u);
  EXPECT_EQ(machine.MessageBoxes()[0].text, texts::kCompanionSucceeded);
  EXPECT_EQ(machine.MessageBoxes()[0].caption, u"智能岚汀");
  EXPECT_EQ(machine.MessageBoxes()[0].style, win::kMbOk);
  EXPECT_EQ(RunMode, kRunModeInteractive);
  // The companion mode prepares no package.
  EXPECT_EQ(machine.CallCount("FindResourceA"), 0);
}

TEST_F(StartUpTest, CompanionModeWithAnUnparsablePathKeepsTheDefaultAndConfirmsEvenARefusal) {
  FakeMachine machine(Preset::kWindows7x64);  // no IME file: the system refuses it
  EXPECT_EQ(Start(machine, "REGZV32=D:\\x\\"), 0);
  EXPECT_EQ(machine.ReadText(kWindowsFile), "C:\\Program Files\\zavoli\\");
  EXPECT_EQ(machine.ImeInstalls().size(), 1u);
  EXPECT_EQ(InstalledLayout, 0u);
  ASSERT_EQ(machine.MessageBoxes().size(), 1u);
  EXPECT_EQ(machine.MessageBoxes()[0].text, texts::kCompanionSucceeded);

  // "regzv32" wins over "setzvsrf32" on a 64-bit system.
  ResetAll();
  FakeMachine both(Preset::kWindows7x64);
  EXPECT_EQ(Start(both, "setzvsrf32 run regzv32=D:\\x\\"), 0);
  EXPECT_EQ(RunMode, kRunModeInteractive);
  EXPECT_EQ(both.ImeInstalls().size(), 1u);
  EXPECT_EQ(both.ReadText(kWindowsFile), "C:\\Program Files\\zavoli\\");
}

TEST_F(StartUpTest, RegisterSwitchIsIgnoredWhereThereIsNo64BitVista) {
  for (Preset preset : {Preset::kWindows7x86, Preset::kWindowsXp}) {
    ResetAll();
    FakeMachine machine(preset);
    EXPECT_EQ(Start(machine, "regzv32 setzvsrf32"), 0);
    EXPECT_EQ(RunMode, kRunModeInteractive);
    EXPECT_TRUE(machine.ImeInstalls().empty());
    EXPECT_TRUE(machine.MessageBoxes().empty());
    // The wizard waits for the user; nothing is installed.
    EXPECT_TRUE(wizardShown_);
    EXPECT_TRUE(machine.Commands().empty());
    EXPECT_FALSE(machine.Exists("C:\\Windows\\system32\\zavoli4.ime"));
  }
  // XP with a SysWOW64 folder is still no 64-bit system.
  ResetAll();
  FakeMachine xp64(Preset::kWindowsXp);
  xp64.AddDirectory("C:\\Windows\\SysWOW64");
  EXPECT_EQ(Start(xp64, "regzv32=D:\\x\\"), 0);
  EXPECT_TRUE(xp64.ImeInstalls().empty());
}

TEST_F(StartUpTest, UnwritableWindowsDirectoryStopsEveryModeWithTheAdministratorMessage) {
  for (const char* line : {"", "setzvsrf32", "regzv32=C:\\x\\"}) {
    ResetAll();
    FakeMachine machine(Preset::kWindows7x64);
    machine.AddFile(kWow64Ime, "MZ");
    machine.AddFile(kWindowsFile, "E:\\old\\");
    machine.FailOperation("CreateFileA", win::kErrorAccessDenied, "windows\\zavopath.zvh");

    // Only the silent mode tells its caller that nothing was installed.
    EXPECT_EQ(Start(machine, line), std::string(line) == "setzvsrf32" ? kExitNotInstalled : 0)
        << line;

    ASSERT_EQ(machine.MessageBoxes().size(), 1u) << line;
    EXPECT_EQ(machine.MessageBoxes()[0].text, texts::kAdministratorRequired);
    EXPECT_EQ(machine.MessageBoxes()[0].caption, u"智能岚汀");
    EXPECT_TRUE(machine.MessageBoxes()[0].wide);
    // Nothing else happened: no IME, no package, the old file untouched.
    EXPECT_TRUE(machine.ImeInstalls().empty()) << line;
    EXPECT_EQ(machine.CallCount("FindResourceA"), 0) << line;
    EXPECT_EQ(RunMode, kRunModeInteractive) << line;
    EXPECT_EQ(machine.ReadText(kWindowsFile), "E:\\old\\") << line;
    // The drive copy holds what the second write of the check left there.
    EXPECT_EQ(machine.ReadText(kDriveFile), "C:\\Program Files\\zavoli\\") << line;
  }
}

TEST_F(StartUpTest, AdministratorCheckComparesTheReadBackExactly) {
  FakeMachine machine(Preset::kWindows7x64);
  machine.Install();
  InstallDir = ChooseInstallDir();
  EXPECT_EQ(CheckAdministrator(), 0);
  EXPECT_EQ(InstallDir.str(), "C:\\Program Files\\zavoli\\");

  // A read-back that fails leaves the copy empty: no rights. (The first of
  // the two failing reads is the one of the earlier directory.)
  machine.FailOperation("ReadFile", win::kErrorAccessDenied, "windows\\zavopath.zvh", 2);
  EXPECT_EQ(CheckAdministrator(), 1);
  EXPECT_EQ(InstallDir.str(), "C:\\Program Files\\zavoli\\");
}

TEST_F(StartUpTest, TraditionalChineseCodePageReachesUiCodePage) {
  FakeMachine machine(Preset::kWindows7x64);
  machine.SetCodePage(950);
  EXPECT_EQ(Start(machine, ""), 0);
  EXPECT_EQ(UiCodePage, 950u);
}

}  // namespace
}  // namespace zv
