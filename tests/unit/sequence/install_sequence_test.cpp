#include "sequence/install_sequence.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "package/container_writer.h"
#include "package/package_resource.h"
#include "package/work_buffer.h"
#include "platform/fake/fake_machine.h"
#include "platform/win_constants.h"
#include "state/package_state.h"
#include "state/process_state.h"
#include "state/run_state.h"
#include "state/wizard_state.h"
#include "system/ime_registration.h"
#include "system/install_locations.h"
#include "system/layout_texts.h"
#include "system/preload_list.h"
#include "tests/unit/system/ime_test_package.h"

namespace zv {
namespace {

using fake::FakeMachine;
using fake::Preset;

using test::StampedImeModule;

constexpr char kDir[] = "C:\\Program Files\\zavoli\\";
constexpr char kWow64Ime[] = "C:\\Windows\\SysWOW64\\zavoli4.ime";
constexpr char kNativeIme[] = "C:\\Windows\\system32\\zavoli4.ime";
constexpr char kIcacls[] = "icacls.exe \"C:\\Program Files\\zavoli\" /SetIntegrityLevel Level: L";
constexpr char kCompanion[] =
    "C:\\Program Files\\zavoli\\setupw64.exe regzv32=C:\\Program Files\\zavoli\\";
constexpr char kLayouts[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char16_t kUninstallKey[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\zavoqwb";

class InstallSequenceTest : public ::testing::Test {
 protected:
  void Prepare(Preset preset, int32_t runMode = kRunModeSilent) {
    machine_ = std::make_unique<FakeMachine>(preset);
    machine_->Install();
    ResetProcessState();
    RunMode = runMode;
    UiCodePage = 936;
    RestartRequired = 7;
    ContainerWriter writer(ContainerLayout::kDigest);
    for (const auto& [name, content] : test::kImePackageFiles) writer.Add(name, content);
    package_ = writer.Finish();
    PackageResource =
        PackageBytes{reinterpret_cast<const uint8_t*>(package_.data()), package_.size()};
    buffer_ = std::make_unique<WorkBufferReservation>();
    InstallDir = ChooseInstallDir();
    DetectSystem();
  }
  void TearDown() override {
    buffer_.reset();
    ReleasePackageResource();
    ResetProcessState();
  }

  // An earlier install whose layout is in the user's preload list, and
  // whose IME files are still in the system folders.
  void SeedEarlierInstall() {
    const std::string key = std::string(kLayouts) + "\\E0200804";
    machine_->SetString(platform::kHkeyLocalMachine, key, "Layout Text",
                        std::string(texts::layout::kImeLayoutTextGbk));
    machine_->SetString(platform::kHkeyLocalMachine, key, "Ime File", "zavoli4.ime");
    machine_->SetString(platform::kHkeyCurrentUser, "Keyboard Layout\\Preload", "1", "00000804");
    machine_->SetString(platform::kHkeyCurrentUser, "Keyboard Layout\\Preload", "2", "E0200804");
    machine_->AddFile(kNativeIme, "old-native");
    if (machine_->Exists("C:\\Windows\\SysWOW64")) machine_->AddFile(kWow64Ime, "old-wow64");
  }

  std::string Read(const std::string& path) { return machine_->ReadText(path).value_or("<none>"); }
  bool SequenceFinished() {
    return machine_->GetStringA(platform::kHkeyLocalMachine, kRunKey, "zvzxsjgl").has_value();
  }

  std::unique_ptr<FakeMachine> machine_;
  std::string package_;
  std::unique_ptr<WorkBufferReservation> buffer_;
};

TEST_F(InstallSequenceTest, SixtyFourBitInstallRunsEveryStepAndStartsTheCompanionLast) {
  Prepare(Preset::kWindows7x64);
  InstallSequence();

  EXPECT_EQ(RestartRequired, 0);
  EXPECT_EQ(ImeRegistered, 1);
  EXPECT_EQ(Read("C:\\Windows\\zavopath.zvh"), kDir);
  EXPECT_EQ(Read("c:\\zavoli\\zavopath.zvh"), kDir);
  EXPECT_TRUE(machine_->Exists(std::string(kDir) + "filer"));
  // The grant was made before filer\ was created, which inherited it.
  EXPECT_FALSE(machine_->AccessEntries(std::string(kDir) + "filer").empty());
  EXPECT_EQ(Read(std::string(kDir) + "wbpybz.zvh"), std::string("ZVWBPYBZ=0\0", 11));
  EXPECT_EQ(Read(kWow64Ime), "ime32-full");
  EXPECT_EQ(Read(kNativeIme), "ime64-full");
  EXPECT_EQ(Read("C:\\Windows\\system32\\zavodel.exe"), "del64");
  EXPECT_EQ(machine_->GetStringA(platform::kHkeyLocalMachine, kRunKey, "zvzxsjgl"),
            "C:\\Program Files\\zavoli\\zavokpmt.exe zv");
  EXPECT_EQ(machine_->GetStringW(platform::kHkeyLocalMachine, kUninstallKey, u"DisplayName"),
            u"岚汀形码");
  ASSERT_FALSE(machine_->Commands().empty());
  EXPECT_EQ(machine_->Commands().back().commandLine,
            "C:\\Program Files\\zavoli\\setupw64.exe regzv32=C:\\Program Files\\zavoli\\");
  EXPECT_EQ(machine_->Commands().back().show, win::kSwShowNormal);
  EXPECT_TRUE(machine_->MessageBoxes().empty());
  EXPECT_EQ(machine_->CallsWithRedirectionOff(), std::vector<std::string>{});
  EXPECT_EQ(machine_->OpenFileCount(), 0u);
  EXPECT_EQ(machine_->OpenKeyCount(), 0u);
}

// The start-up probe found c:. A silent install follows it at once and keeps
// that answer; the wizard's install comes later and looks at the drives again.
TEST_F(InstallSequenceTest, OnlyTheWizardsInstallSearchesTheFixedDrivesAgain) {
  for (int32_t mode : {kRunModeSilent, kRunModeInteractive}) {
    SCOPED_TRACE(mode);
    Prepare(Preset::kWindows7x64, mode);
    ASSERT_EQ(FindFixedDriveDir(), "c:\\zavoli\\");
    const int queries = machine_->DriveTypeQueries();
    machine_->SetDriveType('e', win::kDriveFixed);
    InstallSequence();
    const bool again = mode == kRunModeInteractive;
    EXPECT_EQ(machine_->DriveTypeQueries(), queries + (again ? 3 : 0));
    EXPECT_EQ(machine_->Exists("e:\\zavoli\\zavopath.zvh"), again);
    EXPECT_TRUE(SequenceFinished());
  }
}

TEST_F(InstallSequenceTest, ThirtyTwoBitInstallStartsNoCompanionAndRefusedImeIsRegisteredByHand) {
  Prepare(Preset::kWindows7x86);
  machine_->FailOperation("ImmInstallIMEW", win::kErrorAccessDenied);
  InstallSequence();
  EXPECT_EQ(ImeRegistered, 0);
  EXPECT_EQ(Read(kNativeIme), "ime32-full");
  EXPECT_EQ(Read("C:\\Windows\\system32\\zavodel.exe"), "del32");
  for (const auto& command : machine_->Commands()) {
    EXPECT_EQ(command.commandLine.find("setupw64"), std::string::npos);
  }
  // The layout key written by hand.
  EXPECT_FALSE(machine_->SubKeys(platform::kHkeyLocalMachine, kLayouts).empty());
  EXPECT_TRUE(SequenceFinished());
}

TEST_F(InstallSequenceTest, WithoutTheLayoutInThePreloadListNothingIsReleased) {
  Prepare(Preset::kWindows7x86);
  machine_->AddFile(kNativeIme, "old-native");
  ASSERT_TRUE(machine_->LoadModule(kNativeIme));
  InstallSequence();
  EXPECT_EQ(ImeInPreload, 0);
  EXPECT_EQ(RestartRequired, 0);
  // The placement still moved the module aside to replace it.
  EXPECT_EQ(Read("C:\\Windows\\system32\\zavoli2.ime"), "old-native");
  EXPECT_EQ(Read(kNativeIme), "ime32-full");
}

TEST_F(InstallSequenceTest, AHeldSysWow64ImeOutsideThePreloadListIsOverwrittenWhereItLies) {
  Prepare(Preset::kWindows7x64);
  machine_->AddFile(kWow64Ime, "old-wow64");
  // Shared for reading and writing but not for deleting: it can be copied
  // over, but neither deleted nor renamed.
  ASSERT_NE(machine_->OpenHandle(kWow64Ime, win::kGenericRead,
                                 win::kFileShareRead | win::kFileShareWrite),
            0u);
  InstallSequence();
  EXPECT_EQ(ImeInPreload, 0);
  EXPECT_EQ(RestartRequired, 0);
  EXPECT_TRUE(machine_->MessageBoxes().empty());  // no locked-IME message
  EXPECT_EQ(Read(kWow64Ime), "ime32-full");
  EXPECT_FALSE(machine_->Exists("C:\\Windows\\SysWOW64\\zavoli2.ime"));
  EXPECT_TRUE(SequenceFinished());
}

// The IME is handed to the system between the passes, while the system
// folder the installer sees holds the first pass's stamped language variant
// (through redirection, SysWOW64 on 64-bit Windows).
TEST_F(InstallSequenceTest, RegistersTheStampedLanguageVariantBetweenThePasses) {
  for (Preset preset : {Preset::kWindows7x64, Preset::kWindows7x86, Preset::kWindowsXp}) {
    Prepare(preset);
    InstallSequence();
    const int label = static_cast<int>(preset);
    ASSERT_EQ(machine_->ImeInstalls().size(), 1u) << label;
    EXPECT_EQ(machine_->ImeInstalls()[0].imeFile, u"C:\\Windows\\system32\\zavoli4.ime");
    EXPECT_EQ(machine_->ImeInstalls()[0].fileBytes, StampedImeModule("v320")) << label;
    EXPECT_EQ(ImeRegistered, 1) << label;
  }
}

// Every program the install starts: icacls before the release of an earlier
// IME in SysWOW64 and before each placement pass (from Vista on), and the
// 64-bit companion last.
TEST_F(InstallSequenceTest, StartsIcaclsForEachStepThatNeedsItAndTheCompanionLast) {
  struct Case {
    Preset preset;
    bool earlierInstall;
    std::vector<std::string> commands;
  };
  const Case cases[] = {
      {Preset::kWindows7x64, true, {kIcacls, kIcacls, kIcacls, kCompanion}},
      {Preset::kWindows7x64, false, {kIcacls, kIcacls, kCompanion}},
      {Preset::kWindows7x86, true, {kIcacls, kIcacls}},
      {Preset::kWindowsXp, true, {}},
  };
  for (const Case& c : cases) {
    Prepare(c.preset);
    if (c.earlierInstall) SeedEarlierInstall();
    InstallSequence();
    std::vector<std::string> started;
    for (const auto& command : machine_->Commands()) started.push_back(command.commandLine);
    EXPECT_EQ(started, c.commands) << static_cast<int>(c.preset) << " " << c.earlierInstall;
    EXPECT_TRUE(SequenceFinished());
  }
}

TEST_F(InstallSequenceTest, ReleasedSysWow64ImeNeedsARestartButTheSystemOneDoesNot) {
  // The 32-bit IME in SysWOW64 in use: moved aside, restart required.
  Prepare(Preset::kWindows7x64);
  SeedEarlierInstall();
  ASSERT_TRUE(machine_->LoadModule(kWow64Ime));
  InstallSequence();
  EXPECT_EQ(ImeInPreload, 1);
  EXPECT_EQ(RestartRequired, 1);
  EXPECT_EQ(Read("C:\\Windows\\SysWOW64\\zavoli2.ime"), "old-wow64");
  EXPECT_EQ(Read(kWow64Ime), "ime32-full");
  EXPECT_TRUE(SequenceFinished());

  // The native IME in use: moved aside within the native folder, no restart.
  Prepare(Preset::kWindows7x64);
  SeedEarlierInstall();
  ASSERT_TRUE(machine_->LoadModule(kNativeIme));
  InstallSequence();
  EXPECT_EQ(RestartRequired, 0);
  EXPECT_EQ(Read("C:\\Windows\\system32\\zavoli2.ime"), "old-native");
  EXPECT_FALSE(machine_->Exists("C:\\Windows\\SysWOW64\\zavoli2.ime"));
  EXPECT_EQ(Read(kNativeIme), "ime64-full");
  EXPECT_EQ(Read(kWow64Ime), "ime32-full");
  EXPECT_TRUE(SequenceFinished());
  EXPECT_TRUE(machine_->MessageBoxes().empty());
  EXPECT_EQ(machine_->CallsWithRedirectionOff(), std::vector<std::string>{});
}

TEST_F(InstallSequenceTest, AnImeThatCanNeitherGoNorMoveStopsTheInstall) {
  for (const char* held : {kWow64Ime, kNativeIme}) {
    Prepare(Preset::kWindows7x64);
    SeedEarlierInstall();
    // Shared for reading but not for deleting: neither delete nor rename works.
    ASSERT_NE(machine_->OpenHandle(held, win::kGenericRead, win::kFileShareRead), 0u);
    InstallSequence();

    EXPECT_EQ(RestartRequired, 1) << held;
    ASSERT_EQ(machine_->MessageBoxes().size(), 1u) << held;
    EXPECT_TRUE(machine_->MessageBoxes()[0].wide);
    EXPECT_EQ(machine_->MessageBoxes()[0].text,
              u"　　你以前安装的岚汀形码正在使用，请关闭使用岚汀形码的所有窗口，"
              u"或者重新启动机器后，才能安装新版本的岚汀形码！");
    EXPECT_EQ(machine_->MessageBoxes()[0].caption, u"智能岚汀安装");
    // Steps up to the settings files ran; nothing from the placement on.
    EXPECT_TRUE(machine_->Exists(std::string(kDir) + "wbpybz.zvh")) << held;
    EXPECT_FALSE(machine_->Exists(std::string(kDir) + "zavoli4.ime")) << held;
    EXPECT_FALSE(SequenceFinished()) << held;
    EXPECT_FALSE(machine_->KeyExists(platform::kHkeyLocalMachine, kUninstallKey)) << held;
    for (const auto& command : machine_->Commands()) {
      EXPECT_EQ(command.commandLine.find("setupw64"), std::string::npos) << held;
    }
  }
}

TEST_F(InstallSequenceTest, XpReordersThePreloadListAfterRegistering) {
  Prepare(Preset::kWindowsXp);
  SeedEarlierInstall();
  machine_->SetString(platform::kHkeyCurrentUser, "Keyboard Layout\\Preload", "2", "00000409");
  machine_->SetString(platform::kHkeyCurrentUser, "Keyboard Layout\\Preload", "3", "E0200804");
  InstallSequence();
  EXPECT_EQ(machine_->GetStringA(platform::kHkeyCurrentUser, "Keyboard Layout\\Preload", "2"),
            "E0200804");
  EXPECT_TRUE(machine_->Commands().empty());  // no icacls before Vista, no companion
  EXPECT_TRUE(SequenceFinished());
}

}  // namespace
}  // namespace zv
