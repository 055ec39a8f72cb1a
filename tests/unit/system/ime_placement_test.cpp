#include "system/ime_placement.h"

#include <gtest/gtest.h>

#include <string>

#include "package/container_writer.h"
#include "package/package_resource.h"
#include "package/work_buffer.h"
#include "platform/fake/fake_machine.h"
#include "platform/fake/fake_text_codec.h"
#include "platform/win_constants.h"
#include "state/package_state.h"
#include "state/process_state.h"
#include "state/run_state.h"
#include "system/install_locations.h"
#include "tests/unit/support/recording_window_hooks.h"
#include "tests/unit/system/ime_test_package.h"

namespace zv {
namespace {

using fake::FakeMachine;
using fake::Preset;

using test::StampedImeModule;

constexpr char kDir[] = "C:\\Program Files\\zavoli\\";
constexpr char kWow64Ime[] = "C:\\Windows\\SysWOW64\\zavoli4.ime";
constexpr char kNativeIme[] = "C:\\Windows\\system32\\zavoli4.ime";
constexpr char kNativeUninstaller[] = "C:\\Windows\\system32\\zavodel.exe";

class ImePlacementTest : public ::testing::Test {
 protected:
  void Prepare(Preset preset, uint32_t codePage = 936) {
    machine_ = std::make_unique<FakeMachine>(preset);
    machine_->SetCodePage(codePage);
    machine_->Install();
    ResetProcessState();
    RunMode = kRunModeSilent;
    UiCodePage = codePage;
    ContainerWriter writer(ContainerLayout::kDigest);
    for (const auto& [name, content] : test::kImePackageFiles)
      ASSERT_EQ(writer.Add(name, content), AddResult::kAdded);
    package_ = writer.Finish();
    PackageResource =
        PackageBytes{reinterpret_cast<const uint8_t*>(package_.data()), package_.size()};
    buffer_ = std::make_unique<WorkBufferReservation>();
    DetectSystem();
    InstallDir.Assign(kDir);
    machine_->AddDirectory(kDir);
  }
  void TearDown() override {
    buffer_.reset();
    ReleasePackageResource();
    ResetProcessState();
  }
  std::string Read(const std::string& path) { return machine_->ReadText(path).value_or("<none>"); }
  std::string InDir(const std::string& name) { return Read(kDir + name); }

  fake::ScopedFakeTextCodec codec_;
  std::unique_ptr<FakeMachine> machine_;
  std::string package_;
  std::unique_ptr<WorkBufferReservation> buffer_;
};

TEST_F(ImePlacementTest, SixtyFourBitSystemGetsEachVariantInItsOwnFolder) {
  Prepare(Preset::kWindows7x64);

  PlaceImeFiles(PlacementPass::kFirst);
  EXPECT_EQ(Read(kWow64Ime), StampedImeModule("v320"));
  // The native folder, reached only with the redirection switched off.
  EXPECT_EQ(Read(kNativeIme), StampedImeModule("v640"));
  EXPECT_EQ(Read(kNativeUninstaller), "del64");
  EXPECT_EQ(machine_->RedirectionDisables(), machine_->RedirectionReverts());
  EXPECT_GE(machine_->RedirectionDisables(), 1);
  EXPECT_FALSE(machine_->RedirectionDisabled());
  EXPECT_EQ(InDir("zavokpmt.exe"), "kpm6");
  EXPECT_FALSE(machine_->Exists(std::string(kDir) + "zavokpm6.exe"));
  EXPECT_EQ(InDir("setupw64.exe"), StampedImeModule("w64"));
  EXPECT_EQ(InDir("zavoli32.ime"), "ime32-full");
  EXPECT_EQ(InDir("zavopyck.dat"), "py");
  EXPECT_TRUE(machine_->MessageBoxes().empty());

  PlaceImeFiles(PlacementPass::kSecond);
  EXPECT_EQ(Read(kWow64Ime), "ime32-full");
  EXPECT_EQ(Read(kNativeIme), "ime64-full");
  EXPECT_EQ(Read(kNativeUninstaller), "del64");
  for (const char* variant : {"zavo320.ime", "zavo321.ime", "zavo640.ime", "zavo641.ime"}) {
    EXPECT_FALSE(machine_->Exists(std::string(kDir) + variant)) << variant;
  }
  // The icacls start once per pass on Vista and later.
  ASSERT_EQ(machine_->Commands().size(), 2u);
  EXPECT_EQ(machine_->Commands()[0].commandLine,
            "icacls.exe \"C:\\Program Files\\zavoli\" /SetIntegrityLevel Level: L");
  EXPECT_EQ(machine_->Commands()[0].show, win::kSwShow);
  EXPECT_EQ(machine_->OpenFileCount(), 0u);
}

// What the first pass leaves in the system folders: the small language
// variant for the code page, stamped; on 64-bit Windows one of each width.
TEST_F(ImePlacementTest, FirstPassPlacesTheLanguageVariantsOfTheCodePage) {
  struct Case {
    Preset preset;
    uint32_t codePage;
    const char* wow64;  // null where there is no SysWOW64
    const char* native;
  };
  const Case cases[] = {
      {Preset::kWindows7x64, 936, "v320", "v640"},  {Preset::kWindows7x64, 950, "v321", "v641"},
      {Preset::kWindows7x86, 936, nullptr, "v320"}, {Preset::kWindows7x86, 950, nullptr, "v321"},
      {Preset::kWindowsXp, 950, nullptr, "v321"},
  };
  for (const Case& c : cases) {
    Prepare(c.preset, c.codePage);
    PlaceImeFiles(PlacementPass::kFirst);
    const std::string label =
        std::to_string(static_cast<int>(c.preset)) + "/" + std::to_string(c.codePage);
    if (c.wow64 != nullptr) {
      EXPECT_EQ(Read(kWow64Ime), StampedImeModule(c.wow64)) << label;
    }
    EXPECT_EQ(Read(kNativeIme), StampedImeModule(c.native)) << label;
  }
}

// Copying into the native folder runs with the redirection off, but the
// message of a failed copy must wait until it is back on: without it a
// message box (or any DLL it needs) cannot be loaded.
TEST_F(ImePlacementTest, NativeCopyFailuresAreReportedWithTheRedirectionBackOn) {
  Prepare(Preset::kWindows7x64);
  // Held without any sharing: neither replaced nor moved aside.
  for (const char* held : {kNativeIme, kNativeUninstaller}) {
    ASSERT_TRUE(machine_->AddFile(held, "old"));
    ASSERT_NE(machine_->OpenHandle(held, win::kGenericRead, 0), 0u);
  }
  PlaceImeFiles(PlacementPass::kFirst);

  EXPECT_EQ(Read(kWow64Ime), StampedImeModule("v320"));
  EXPECT_EQ(Read(kNativeIme), "old");
  EXPECT_FALSE(machine_->Exists("C:\\Windows\\system32\\zavoli2.ime"));
  ASSERT_EQ(machine_->MessageBoxes().size(), 2u);
  EXPECT_EQ(machine_->MessageBoxes()[0].text,
            u"没有成功复制C:\\Windows\\system32\\zavoli4.ime文件，"
            u"请退出安装程序并手动删除该文件后重新安装！");
  EXPECT_EQ(machine_->MessageBoxes()[1].text,
            u"没有成功复制C:\\Windows\\system32\\zavodel.exe文件，"
            u"请退出安装程序并手动删除该文件后重新安装！");
  for (const auto& box : machine_->MessageBoxes()) {
    EXPECT_TRUE(box.wide);
    EXPECT_EQ(box.caption, u"智能岚汀(岚汀形码)安装");
    EXPECT_EQ(box.style, win::kMbOk);
  }
  // Neither a box nor the icacls start came while the redirection was off.
  EXPECT_EQ(machine_->CallsWithRedirectionOff(), std::vector<std::string>{});
  EXPECT_EQ(machine_->Commands().size(), 1u);
  EXPECT_FALSE(machine_->RedirectionDisabled());
  EXPECT_EQ(machine_->RedirectionDisables(), machine_->RedirectionReverts());
}

TEST_F(ImePlacementTest, OnlyTheInteractiveModeAsksTheWindowToPaint) {
  const std::vector<std::string> onePass = {"redraw", "redraw", "progress 0/64"};
  for (const int32_t mode : {kRunModeSilent, kRunModeInteractive}) {
    Prepare(Preset::kWindows7x64);
    RunMode = mode;
    test::RecordingWindowHooks window;
    PlaceImeFiles(PlacementPass::kFirst);
    PlaceImeFiles(PlacementPass::kSecond);
    std::vector<std::string> expected;
    if (mode == kRunModeInteractive) {
      expected = onePass;
      expected.insert(expected.end(), onePass.begin(), onePass.end());
    }
    EXPECT_EQ(window.calls(), expected) << "run mode " << mode;
  }
}

TEST_F(ImePlacementTest, MessagesReadRightOnTheTraditionalCodePage) {
  // Big5 lacks some simplified characters of the texts: the boxes are UTF-16
  // and only the path is taken from the system's code page.
  Prepare(Preset::kWindows7x86, 950);
  ShowCopyFailure("D:\\\xA5\x5C\\zavoli4.ime");
  ReleasePackageResource();
  PlaceImeFiles(PlacementPass::kFirst);
  ASSERT_GE(machine_->MessageBoxes().size(), 2u);
  for (const auto& box : machine_->MessageBoxes()) {
    EXPECT_TRUE(box.wide);
    EXPECT_EQ(box.caption, u"智能岚汀(岚汀形码)安装");
  }
  EXPECT_EQ(machine_->MessageBoxes()[0].text,
            u"没有成功复制D:\\功\\zavoli4.ime文件，请退出安装程序并手动删除该文件后重新安装！");
  EXPECT_EQ(machine_->MessageBoxes()[1].text,
            u"文件解压不完整，请到智能岚汀网站http://www.zavoli.cn/重新下载安装。");
}

TEST_F(ImePlacementTest, ThirtyTwoBitSystemsUseTheSystemFolderOnly) {
  Prepare(Preset::kWindows7x86, 950);
  PlaceImeFiles(PlacementPass::kFirst);
  EXPECT_EQ(Read(kNativeIme), StampedImeModule("v321"));
  EXPECT_EQ(Read(kNativeUninstaller), "del32");
  EXPECT_EQ(InDir("zavokpmt.exe"), "kpm6");
  EXPECT_FALSE(machine_->Exists("C:\\Windows\\SysWOW64"));
  PlaceImeFiles(PlacementPass::kSecond);
  EXPECT_EQ(Read(kNativeIme), "ime32-full");

  Prepare(Preset::kWindowsXp);
  PlaceImeFiles(PlacementPass::kFirst);
  EXPECT_EQ(Read(kNativeIme), StampedImeModule("v320"));
  // On XP the companion from the package stays, its variant beside it.
  EXPECT_EQ(InDir("zavokpmt.exe"), "kpmt");
  EXPECT_EQ(InDir("zavokpm6.exe"), "kpm6");
  PlaceImeFiles(PlacementPass::kSecond);
  EXPECT_EQ(Read(kNativeIme), "ime32-full");
  EXPECT_TRUE(machine_->Commands().empty());
}

TEST_F(ImePlacementTest, AnImeInUseIsMovedAsideAndALockedOneIsReported) {
  Prepare(Preset::kWindows7x86);
  machine_->AddFile(kNativeIme, "old");
  ASSERT_TRUE(machine_->LoadModule(kNativeIme));
  PlaceImeFiles(PlacementPass::kFirst);
  EXPECT_EQ(Read("C:\\Windows\\system32\\zavoli2.ime"), "old");
  EXPECT_EQ(Read(kNativeIme), StampedImeModule("v320"));
  EXPECT_TRUE(machine_->MessageBoxes().empty());

  // Held open without any sharing: neither replaced nor moved aside.
  ASSERT_NE(machine_->OpenHandle(kNativeIme, win::kGenericRead, 0), 0u);
  PlaceImeFiles(PlacementPass::kSecond);
  EXPECT_EQ(Read(kNativeIme), StampedImeModule("v320"));
  ASSERT_EQ(machine_->MessageBoxes().size(), 1u);
  const auto& box = machine_->MessageBoxes()[0];
  EXPECT_TRUE(box.wide);
  EXPECT_EQ(box.text,
            u"没有成功复制C:\\Windows\\system32\\zavoli4.ime文件，"
            u"请退出安装程序并手动删除该文件后重新安装！");
  EXPECT_EQ(box.caption, u"智能岚汀(岚汀形码)安装");
  EXPECT_EQ(box.style, win::kMbOk);
}

TEST_F(ImePlacementTest, EarlierDataQuestionFollowsTheBackupAndTheDirectory) {
  Prepare(Preset::kWindows7x86);
  BackupState = kBackupComplete;
  PreviousInstallDir.Assign(kDir);
  machine_->QueueAnswer(win::kIdYes);
  PlaceImeFiles(PlacementPass::kFirst);
  ASSERT_EQ(machine_->MessageBoxes().size(), 1u);
  EXPECT_EQ(machine_->MessageBoxes()[0].text,
            u"检测到安装目录下有智能岚汀以前的词组等数据文件，是否保留？");
  EXPECT_EQ(machine_->MessageBoxes()[0].caption, u"智能岚汀安装");
  EXPECT_EQ(machine_->MessageBoxes()[0].style, win::kMbYesNo);
  EXPECT_EQ(BackupState, kBackupKeepOldData);

  Prepare(Preset::kWindows7x86);
  BackupState = kBackupComplete;
  PreviousInstallDir.Assign("C:\\PROGRAM FILES\\zavoli\\");  // the comparison is exact
  machine_->QueueAnswer(win::kIdNo);
  PlaceImeFiles(PlacementPass::kFirst);
  ASSERT_EQ(machine_->MessageBoxes().size(), 1u);
  EXPECT_EQ(machine_->MessageBoxes()[0].text, u"检测到有智能岚汀以前的词组等数据文件，是否保留？");
  EXPECT_EQ(BackupState, kBackupComplete);
}

// User files that the backup could not take stay where they are, in the
// earlier install's directory, unless the user says not to keep the earlier
// data; the option record left in place is marked as the user's own.
TEST_F(ImePlacementTest, UnsavedUserFilesStayUnlessTheUserSaysNo) {
  struct Case {
    const char* what;
    const char* previousDir;
    int32_t backupState;
    int answer;  // to the keep-old-data question; 0: none is asked, -1: its box fails
    bool kept;
  };
  const Case cases[] = {
      {"no backup, same directory", kDir, kBackupNone, 0, true},
      {"no earlier directory known", "", kBackupNone, 0, true},
      {"whole backup, Yes", kDir, kBackupComplete, win::kIdYes, true},
      {"whole backup, No", kDir, kBackupComplete, win::kIdNo, false},
      {"whole backup, the question cannot be shown", kDir, kBackupComplete, -1, true},
      {"another directory", "D:\\old\\", kBackupNone, 0, false},
  };
  const std::string packageRecord(200, '\1');
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Prepare(Preset::kWindows7x86);
    UserDataUnsaved = 1;
    BackupState = c.backupState;
    PreviousInstallDir.Assign(c.previousDir);
    machine_->AddFile(std::string(kDir) + "zvszsj43.zvh", "mine");
    machine_->AddFile(std::string(kDir) + "zavopyck.bak", "my phrases");
    if (c.answer > 0) machine_->QueueAnswer(c.answer);
    if (c.answer < 0) machine_->FailOperation("MessageBoxW", win::kErrorNotEnoughMemory);
    PlaceImeFiles(PlacementPass::kFirst);
    machine_->ClearFailures();
    EXPECT_EQ(machine_->MessageBoxes().size(), c.answer > 0 ? 1u : 0u);
    EXPECT_EQ(InDir("zvszsj43.zvh"), c.kept ? "mine" : packageRecord);
    EXPECT_EQ(InDir("zavopyck.bak"), c.kept ? "my phrases" : "py");
    EXPECT_EQ(InDir("zavoli4.ime"), "ime32-full");
    EXPECT_EQ(OptionRecordKept, c.kept ? 1 : 0);
  }
}

TEST_F(ImePlacementTest, IncompleteExtractionIsReportedAndTheInstallGoesOn) {
  Prepare(Preset::kWindows7x86);
  BackupState = kBackupComplete;
  // A package cut short after its first records.
  PackageResource.size = package_.size() / 2;
  PlaceImeFiles(PlacementPass::kFirst);
  // Files missing from the cut package also fail their copies later.
  ASSERT_GE(machine_->MessageBoxes().size(), 1u);
  EXPECT_TRUE(machine_->MessageBoxes()[0].wide);
  EXPECT_EQ(machine_->MessageBoxes()[0].text,
            u"文件解压不完整，请到智能岚汀网站http://www.zavoli.cn/重新下载安装。");
  EXPECT_EQ(BackupState, kBackupComplete);  // no question after a failed extraction

  // Without any package the same message appears and nothing is unpacked.
  Prepare(Preset::kWindows7x86);
  ReleasePackageResource();
  PlaceImeFiles(PlacementPass::kFirst);
  ASSERT_GE(machine_->MessageBoxes().size(), 1u);
  EXPECT_EQ(machine_->MessageBoxes()[0].text,
            u"文件解压不完整，请到智能岚汀网站http://www.zavoli.cn/重新下载安装。");
}

}  // namespace
}  // namespace zv
