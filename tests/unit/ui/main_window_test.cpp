// The whole wizard on the fake machine: a person clicking through the pages
// of the real window procedure, with the demo package embedded.
#include "ui/main_window.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/installer_main.h"
#include "platform/fake/fake_machine.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "state/install_state.h"
#include "state/package_state.h"
#include "state/process_state.h"
#include "state/window_parts.h"
#include "state/wizard_state.h"
#include "tests/unit/support/wizard_machine.h"

namespace zv {
namespace {

using fake::DialogStep;
using fake::FakeMachine;
using fake::Preset;

constexpr char kDir[] = "C:\\Program Files\\zavoli\\";
constexpr uint32_t kConfirm = test::kConfirmPoint;
constexpr uint32_t kExit = test::kExitPoint;
constexpr uint32_t kBetween = test::kBetweenPoint;

class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetProcessState(); }
  void TearDown() override {
    // A wizard that a failed case left open is closed with its machine.
    if (machine_ && MainWindow != 0) machine_->DestroyWindow(MainWindow);
    ResetProcessState();
  }

  void Prepare(Preset preset, bool withPackage = true) {
    machine_ = std::make_unique<FakeMachine>(preset);
    test::AddProgramResources(*machine_, withPackage);
  }

  // The user's next click on the main window, made once the wizard waits.
  void ThenClick(uint32_t point, uint32_t message = win::kWmLButtonDown) {
    machine_->WhenIdle([this, point, message] {
      pages_.push_back(WizardPage);
      machine_->PostMessageA(MainWindow, message, 0, point);
    });
  }
  // Waits until the typing-test timer is due (1.6 s after the install).
  void ThenTimer() {
    machine_->WhenIdle([this] {
      ASSERT_EQ(machine_->Timers().size(), 1u);
      EXPECT_EQ(machine_->Timers()[0].id, 2u);
      EXPECT_EQ(machine_->Timers()[0].elapseMs, 1600u);
      pages_.push_back(WizardPage);
      machine_->FireTimer(MainWindow, 2);
    });
  }
  void ThenType(const std::string& text) {
    machine_->WhenIdle([this, text] { machine_->SetWindowTextA(WindowParts.webAddressBox, text); });
  }

  int Run() {
    machine_->Install();
    return InstallerMain(reinterpret_cast<void*>(fake::FakeWindows::kModule), nullptr, "",
                         win::kSwShowNormal);
  }
  std::string Installed(const std::string& name) {
    return machine_->ReadText(kDir + name).value_or("<missing>");
  }

  std::unique_ptr<FakeMachine> machine_;
  std::vector<int32_t> pages_;  // the page shown before each click
};

TEST_F(WizardTest, APersonClicksThroughTheWizardOn32BitWindows) {
  Prepare(Preset::kWindows7x86);
  ThenClick(kBetween);                       // does nothing
  ThenClick(kConfirm, win::kWmRButtonDown);  // a right click works as well
  ThenType("http://www.example.cn/");
  ThenClick(kConfirm);
  machine_->QueueDialogScript(
      {DialogStep::Click(102), DialogStep::Click(112), DialogStep::Click(105)});
  ThenClick(kConfirm);

  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(pages_, (std::vector<int32_t>{0, 0, 1, 6}));
  EXPECT_FALSE(machine_->Starved()) << "the wizard waited for a click that never came";
  // The main window is gone, with its fonts, brush and work buffer.
  EXPECT_EQ(machine_->FindWindowOfClass("installWClass"), 0u);
  EXPECT_EQ(machine_->LiveObjectCount(), 0u);
  EXPECT_EQ(machine_->LiveDcCount(), 0u);
  EXPECT_EQ(WorkBuffer, nullptr);

  // The Pinyin edition, the typed address, the chosen window mode and skin.
  EXPECT_EQ(Installed("wbpybz.zvh"), std::string("ZVWBPYBZ=1", 11));
  EXPECT_NE(Installed("zvnetsj.dat").find("ZVNETURL2=http://www.example.cn/\r\n"),
            std::string::npos);
  const std::string options = Installed("zvszsj43.zvh");
  ASSERT_EQ(options.size(), 200u);
  EXPECT_EQ(options[0], 1);  // window mode 2
  EXPECT_EQ(options[21], 0);
  EXPECT_EQ(options[19], 1);  // the Pinyin edition's options
  EXPECT_TRUE(machine_->Exists(std::string(kDir) + "zvbmp8.zvh"));
  EXPECT_TRUE(machine_->Exists(std::string(kDir) + "install.zvh"));
  ASSERT_EQ(machine_->DialogLog().size(), 1u);
  EXPECT_EQ(machine_->DialogLog()[0].templateName, u"PYKEY");

  // One message: the closing one.
  ASSERT_EQ(machine_->MessageBoxes().size(), 1u);
  EXPECT_EQ(machine_->MessageBoxes()[0].text, u"安装完毕，如不能使用，请重新启动计算机！");
  EXPECT_EQ(machine_->MessageBoxes()[0].caption, u"智能岚汀");
}

TEST_F(WizardTest, OnSixtyFourBitWindowsTheTypingTestFollowsTheProcessingPage) {
  Prepare(Preset::kWindows7x64);
  ThenClick(kConfirm);
  ThenClick(kConfirm);
  machine_->QueueDialogScript({DialogStep::Click(105)});
  ThenClick(kConfirm);  // the install
  ThenTimer();          // the processing page, then page 8
  machine_->WhenIdle([this] {
    const fake::FakeWindow* nameBox = machine_->Window(WindowParts.nameBox);
    ASSERT_NE(nameBox, nullptr);
    EXPECT_TRUE(nameBox->visible);
    EXPECT_EQ(nameBox->text, u"");
  });
  ThenClick(kConfirm);  // to page 9
  ThenClick(kConfirm);  // finish

  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(pages_, (std::vector<int32_t>{0, 1, 6, 7, 8, 9}));
  EXPECT_TRUE(machine_->Timers().empty());
  ASSERT_EQ(machine_->MessageBoxes().size(), 1u);
  EXPECT_EQ(machine_->MessageBoxes()[0].text, u"安装完毕，如不能使用，请重新启动计算机！");
}

// While the closing message or the report is open, the end of the install
// is not run again: clicks and close requests wait until it is over.
TEST_F(WizardTest, TheEndOfTheInstallRunsOnceWhateverTheUserClicksMeanwhile) {
  struct Case {
    const char* what;
    std::vector<uint32_t> typingTestClicks;  // the last one ends the install
    bool report;
  };
  for (const Case& c : {Case{"exit on page 8, closing message", {kExit}, false},
                        Case{"confirm on page 9, report", {kConfirm, kConfirm}, true}}) {
    SCOPED_TRACE(c.what);
    ResetProcessState();
    Prepare(Preset::kWindows7x64);
    ThenClick(kConfirm);
    ThenClick(kConfirm);
    machine_->QueueDialogScript({DialogStep::Click(test::kSkinDialogOk)});
    ThenClick(kConfirm);
    ThenTimer();
    machine_->WhenIdle([this, &c] {
      if (c.report) machine_->RemovePath(std::string(kDir) + "zavoli4.ime");
      machine_->WhileNextBoxIsOpen([this] {
        for (uint32_t point : {kExit, kConfirm}) {
          machine_->SendMessageW(MainWindow, win::kWmLButtonDown, 0, point);
        }
        machine_->SendMessageW(MainWindow, win::kWmClose, 0, 0);
        EXPECT_TRUE(machine_->IsWindow(MainWindow));
      });
    });
    for (uint32_t point : c.typingTestClicks) ThenClick(point);

    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(machine_->FindWindowOfClass("installWClass"), 0u);
    ASSERT_EQ(machine_->MessageBoxes().size(), 1u);
    EXPECT_EQ(
        machine_->MessageBoxes()[0].text.rfind(u"智能岚汀汉字输入系统7.8版安装情况报告。", 0) == 0,
        c.report);
  }
}

// A close request or a timer that the system refuses does not leave the
// wizard open with nothing left to do.
TEST_F(WizardTest, ARefusedCloseRequestOrTimerStillEndsTheWizard) {
  struct Case {
    Preset preset;
    const char* operation;
    int nth;  // the test's own clicks are posted too
    int clicks;
  };
  for (const Case& refused : {Case{Preset::kWindows7x86, "PostMessageA", 4, 3},
                              Case{Preset::kWindows7x64, "SetTimer", 1, 5}}) {
    SCOPED_TRACE(refused.operation);
    ResetProcessState();
    Prepare(refused.preset);
    for (int click = 0; click < refused.clicks; ++click) ThenClick(kConfirm);
    machine_->QueueDialogScript({DialogStep::Click(test::kSkinDialogOk)});
    machine_->FailNthCall(refused.operation, win::kErrorNotEnoughMemory, refused.nth);
    EXPECT_EQ(Run(), 0);
    EXPECT_FALSE(machine_->Starved());
    EXPECT_EQ(machine_->FindWindowOfClass("installWClass"), 0u);
    ASSERT_FALSE(machine_->MessageBoxes().empty());
    EXPECT_EQ(machine_->MessageBoxes().back().text, u"安装完毕，如不能使用，请重新启动计算机！");
  }
}

TEST_F(WizardTest, TheExitButtonOnTheWelcomePageLeavesWithoutAWordOrAFile) {
  Prepare(Preset::kWindows7x64);
  ThenClick(kExit);
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(machine_->MessageBoxes().empty());
  EXPECT_FALSE(machine_->Exists(std::string(kDir) + "wbpybz.zvh"));
  EXPECT_TRUE(machine_->Commands().empty());
}

TEST_F(WizardTest, ProgramsUsingTheImeSendTheUserBackToTheInstallPathPage) {
  Prepare(Preset::kWindows7x86);
  const platform::WindowHandle editor =
      machine_->AddForeignWindow("Notepad", u"记事本", win::kWsOverlapped, 0);
  const platform::WindowHandle ime =
      machine_->AddForeignWindow("UIKPMT", u"", win::kWsPopup, editor);
  ThenClick(kConfirm);
  ThenClick(kConfirm);
  ThenClick(kConfirm);  // refused: the editor still uses the IME
  machine_->WhenIdle([this, ime] { machine_->DestroyWindow(ime); });
  machine_->QueueDialogScript({DialogStep::Click(105)});
  ThenClick(kConfirm);  // now it installs

  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(pages_, (std::vector<int32_t>{0, 1, 6, 6}));
  ASSERT_EQ(machine_->MessageBoxes().size(), 2u);
  EXPECT_NE(machine_->MessageBoxes()[0].text.find(u"　　1：记事本\r\n"), std::u16string::npos);
  EXPECT_EQ(machine_->MessageBoxes()[1].text, u"安装完毕，如不能使用，请重新启动计算机！");
}

TEST_F(WizardTest, WithoutAPackageTheWizardSaysSoAndEndsWithTheReport) {
  Prepare(Preset::kWindows7x86, false);
  ThenClick(kConfirm);
  ThenClick(kConfirm);
  ThenClick(kConfirm);

  EXPECT_EQ(Run(), 0);
  // The welcome page had no picture to draw: only its loading notice.
  bool noticeDrawn = false;
  for (const fake::DrawCall& call : machine_->DrawCalls()) {
    EXPECT_NE(call.kind, fake::DrawKind::kStretchBlt);
    noticeDrawn |= call.text == u"安装程序正在载入文件，请等待……";
  }
  EXPECT_TRUE(noticeDrawn);
  const auto& boxes = machine_->MessageBoxes();
  ASSERT_GE(boxes.size(), 3u);
  EXPECT_EQ(boxes.front().text,
            u"文件解压不完整，请到智能岚汀网站http://www.zavoli.cn/重新下载安装。");
  // The package's files are reported as not copied, and the install report
  // ends the install instead of the closing message.
  bool filesReported = false;
  for (const auto& box : boxes) {
    filesReported |=
        box.text.find(u"上述文件没有成功复制，请重新下载安装！") != std::u16string::npos;
  }
  EXPECT_TRUE(filesReported);
  EXPECT_EQ(boxes.back().text.rfind(u"智能岚汀汉字输入系统7.8版安装情况报告。", 0), 0u);
  EXPECT_NE(boxes.back().text.find(u"文件不完整！"), std::u16string::npos);
  EXPECT_EQ(machine_->LiveObjectCount(), 0u);
}

TEST_F(WizardTest, AReinstallKeepsTheUsersDataWhenTheUserSaysYes) {
  Prepare(Preset::kWindows7x86);
  for (int click = 0; click < 3; ++click) ThenClick(kConfirm);
  machine_->QueueDialogScript({DialogStep::Click(102), DialogStep::Click(105)});
  ASSERT_EQ(Run(), 0);

  // The user's own phrases grow, one file beyond what a work buffer holds.
  std::string dictionary(3 << 20, '\0');
  for (size_t i = 0; i < dictionary.size(); ++i) dictionary[i] = static_cast<char>(i * 7 + i / 251);
  machine_->AddFile(std::string(kDir) + "zavopyck.zvh", dictionary);
  machine_->AddFile(std::string(kDir) + "zvszsj05.zvh", "my own phrases");
  const std::string options = Installed("zvszsj43.zvh");

  // A second start of the wizard, a new process.
  machine_->EndProgram();
  ResetProcessState();
  pages_.clear();
  machine_->ClearMessageBoxes();
  for (int click = 0; click < 3; ++click) ThenClick(kConfirm);
  machine_->QueueAnswer(win::kIdYes);  // keep the earlier data
  ASSERT_EQ(Run(), 0);

  const auto& boxes = machine_->MessageBoxes();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, u"检测到安装目录下有智能岚汀以前的词组等数据文件，是否保留？");
  EXPECT_EQ(boxes[1].text.rfind(u"成功恢复了", 0), 0u) << "the restore's count message";
  EXPECT_EQ(boxes[2].text, u"安装完毕，如不能使用，请重新启动计算机！");
  // Rows packed from their .bak copies come back under those names.
  EXPECT_TRUE(Installed("zavopyck.bak") == dictionary);
  EXPECT_EQ(Installed("zvszsj05.zvh"), "my own phrases");
  // The option record and the skin were kept: no skin dialog the second time.
  EXPECT_EQ(Installed("zvszsj43.zvh"), options);
  EXPECT_EQ(machine_->DialogLog().size(), 1u);
}

// A data file that exists but cannot be read for the backup (another program
// holds it) is not laid over: whether the backup stops there (zavodwdw.txt)
// or goes on without it (zvszsj05.zvh) and the user keeps the earlier data,
// the user's files stay as they were. A user who says not to keep it gets
// the package's files, the option record set up by this install.
TEST_F(WizardTest, AReinstallLeavesTheUsersDataAloneWhenTheBackupCannotTakeIt) {
  struct Case {
    const char* unreadable;
    int answer;  // to the keep-old-data question; 0: none is asked
  };
  for (const Case& c : {Case{"zavodwdw.txt", 0}, Case{"zvszsj05.zvh", win::kIdYes},
                        Case{"zvszsj05.zvh", win::kIdNo}}) {
    SCOPED_TRACE(::testing::Message() << c.unreadable << " " << c.answer);
    ResetProcessState();
    Prepare(Preset::kWindows7x86);
    for (int click = 0; click < 3; ++click) ThenClick(kConfirm);
    machine_->QueueDialogScript({DialogStep::Click(102), DialogStep::Click(105)});
    ASSERT_EQ(Run(), 0);
    const std::map<std::string, std::string> mine = {
        {"zavodwdw.txt", "my words"},
        {"zvszsj05.zvh", "my phrases"},
        {"zvszsj43.zvh", Installed("zvszsj43.zvh").substr(0, 199) + "!"}};
    std::map<std::string, std::string> installed;
    for (const auto& [name, content] : mine) {
      installed[name] = Installed(name);
      machine_->AddFile(kDir + name, content);
    }

    machine_->EndProgram();
    ResetProcessState();
    machine_->ClearMessageBoxes();
    for (int click = 0; click < 3; ++click) ThenClick(kConfirm);
    if (c.answer != 0) machine_->QueueAnswer(c.answer);
    machine_->QueueDialogScript({DialogStep::Click(102), DialogStep::Click(105)});
    machine_->FailOperation("CreateFileA", win::kErrorSharingViolation, c.unreadable, 1);
    ASSERT_EQ(Run(), 0);
    machine_->ClearFailures();

    const auto& boxes = machine_->MessageBoxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0].text == u"检测到安装目录下有智能岚汀以前的词组等数据文件，是否保留？",
              c.answer != 0);
    const std::map<std::string, std::string>& expected = c.answer == win::kIdNo ? installed : mine;
    for (const auto& [name, content] : expected) EXPECT_EQ(Installed(name), content) << name;
  }
}

TEST_F(WizardTest, WhileTheInstallShowsABoxTheWindowCannotBeClosed) {
  Prepare(Preset::kWindows7x86);
  // The IME's memory is still held: the install warns and goes on.
  machine_->AddFileMapping("zavolikpmt");
  ThenClick(kConfirm);
  ThenClick(kConfirm);
  machine_->QueueDialogScript({DialogStep::Click(105)});
  // While the warning is open the user clicks the exit button, right-clicks
  // it, and asks the window to close; every request is ignored.
  machine_->WhileNextBoxIsOpen([this] {
    machine_->SendMessageW(MainWindow, win::kWmLButtonDown, 0, kExit);
    machine_->SendMessageW(MainWindow, win::kWmRButtonDown, 0, kExit);
    machine_->SendMessageW(MainWindow, win::kWmClose, 0, 0);
    machine_->PostMessageA(MainWindow, win::kWmClose, 0, 0);
    EXPECT_NE(WorkBuffer, nullptr);
  });
  ThenClick(kConfirm);

  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(machine_->MessageBoxes().size(), 2u);
  EXPECT_EQ(machine_->MessageBoxes()[0].text,
            u"检测到内存中有智能岚汀数据没有退出，请安装后重新启动机器再使用！");
  // The install went through to its end.
  EXPECT_EQ(machine_->MessageBoxes()[1].text, u"安装完毕，如不能使用，请重新启动计算机！");
  EXPECT_TRUE(machine_->Exists(std::string(kDir) + "install.zvh"));
  EXPECT_TRUE(machine_->Exists(std::string(kDir) + "zvbmp8.zvh"));
}

}  // namespace
}  // namespace zv
