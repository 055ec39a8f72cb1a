#include "checks/ime_in_use.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "package/work_buffer.h"
#include "platform/fake/fake_machine.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "state/install_state.h"
#include "state/process_state.h"

namespace zv {
namespace {

using platform::WindowHandle;

class ImeInUseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    machine_.Install();
    buffer_ = std::make_unique<WorkBufferReservation>();
    ASSERT_TRUE(buffer_->reserved());
  }
  void TearDown() override {
    buffer_.reset();
    ResetProcessState();
  }

  // A program's main window, and an IME window owned by a window below it.
  WindowHandle Program(const std::u16string& title) {
    return machine_.AddForeignWindow("Notepad", title, win::kWsOverlapped, 0);
  }
  void ImeWindowOf(WindowHandle owner, const std::string& className = kImeWindowClass) {
    machine_.AddForeignWindow(className, u"", win::kWsPopup, owner);
  }
  // The UTF-16 text at `offset` of WorkBuffer, up to its terminator.
  static std::u16string Region(size_t offset) {
    std::u16string text;
    for (size_t at = offset; at + 1 < kWorkBufferSize; at += 2) {
      const char16_t c = static_cast<char16_t>(WorkBuffer[at] | WorkBuffer[at + 1] << 8);
      if (c == 0) break;
      text.push_back(c);
    }
    return text;
  }

  fake::FakeMachine machine_;
  std::unique_ptr<WorkBufferReservation> buffer_;
};

TEST_F(ImeInUseTest, TwoProgramsAreListedByTheirMainWindowsTitles) {
  const WindowHandle a = Program(u"A");
  // B's IME window is owned by a dialog of B: the list names B itself.
  const WindowHandle b = Program(u"B");
  const WindowHandle dialogOfB = machine_.AddForeignWindow("#32770", u"Find", win::kWsPopup, b);
  ImeWindowOf(a);
  ImeWindowOf(dialogOfB);
  // Neither a longer class name nor another letter case counts.
  ImeWindowOf(a, "UIKPMTX");
  ImeWindowOf(a, "uikpmt");

  ListProgramsUsingIme();
  EXPECT_EQ(ImeUseCount, 2);
  // The enumeration runs from the top of the Z order: the newest first.
  const std::u16string expected =
      u"智能岚汀安装软件检测到有下列 2 个软件在使用智能岚汀输入法:\r\n\r\n"
      u"　　1：B\r\n"
      u"　　2：A\r\n"
      u"\r\n\r\n请关闭上述软件后再继续安装！\r\n如无法关闭，则请重新启动机器后立即安装！";
  EXPECT_EQ(ImeUseMessage(), expected);
  EXPECT_EQ(Region(kImeMessageOffset), expected);
  EXPECT_EQ(Region(kImeListOffset), u"　　1：B\r\n　　2：A\r\n");
}

intptr_t PlainProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return platform::Windows().DefWindowProcA(window, message, wParam, lParam);
}

// An IME the user switched on in the wizard shows its window in the
// installer's own process, owned by the wizard: that is no other program.
TEST_F(ImeInUseTest, TheInstallersOwnImeWindowIsLeftOut) {
  for (const char* className : {"installWClass", kImeWindowClass}) {
    platform::WindowClassA windowClass;
    windowClass.windowProc = PlainProc;
    windowClass.instance = fake::FakeWindows::kModule;
    windowClass.className = className;
    ASSERT_NE(machine_.RegisterClassA(windowClass), 0);
  }
  const WindowHandle wizard =
      machine_.CreateWindowExW(0, u"installWClass", u"智能岚汀安装", win::kWsOverlapped, 0, 0, 400,
                               310, 0, 0, fake::FakeWindows::kModule);
  ASSERT_NE(machine_.CreateWindowExW(0, u"UIKPMT", u"", win::kWsPopup, 0, 0, 0, 0, wizard, 0,
                                     fake::FakeWindows::kModule),
            0u);
  ImeWindowOf(Program(u"A"));
  ListProgramsUsingIme();
  EXPECT_EQ(ImeUseCount, 1);
  EXPECT_EQ(Region(kImeListOffset), u"　　1：A\r\n");
}

TEST_F(ImeInUseTest, AWindowWithoutOwnerIsCountedButNotListed) {
  ImeWindowOf(0);
  ImeWindowOf(Program(u"有标题的程序"));
  ListProgramsUsingIme();
  EXPECT_EQ(ImeUseCount, 2);
  EXPECT_NE(ImeUseMessage().find(u"下列 2 个软件"), std::u16string::npos);
  // The numbers are the count after each window: the listed one is the first.
  EXPECT_EQ(Region(kImeListOffset), u"　　1：有标题的程序\r\n");
}

TEST_F(ImeInUseTest, NoImeWindowLeavesTheMessageRegionAlone) {
  std::memcpy(WorkBuffer, u"earlier", 16);
  Program(u"A");
  ListProgramsUsingIme();
  EXPECT_EQ(ImeUseCount, 0);
  EXPECT_EQ(Region(kImeMessageOffset), u"earlier");
}

TEST_F(ImeInUseTest, AListTooLongForItsRoomKeepsWholeLinesAndTheClosingSentences) {
  const std::u16string longTitle(199, u'长');
  for (int i = 0; i < 700; ++i) ImeWindowOf(Program(longTitle));
  ListProgramsUsingIme();
  EXPECT_EQ(ImeUseCount, 700);
  const std::u16string message = Region(kImeMessageOffset);
  EXPECT_EQ(message, ImeUseMessage());
  // It ends before the scratch line, whole lines and the two sentences in it.
  EXPECT_LT((message.size() + 1) * 2, kImeLineScratchOffset);
  const std::u16string tail =
      u"\r\n\r\n请关闭上述软件后再继续安装！\r\n如无法关闭，则请重新启动机器后立即安装！";
  ASSERT_GE(message.size(), tail.size());
  EXPECT_EQ(message.substr(message.size() - tail.size()), tail);
  EXPECT_EQ(message.substr(message.size() - tail.size() - 2 - 199, 199), longTitle);
}

TEST_F(ImeInUseTest, SharedMemoryIsFoundOnlyWhenItOpensForWriting) {
  // The count of programs is another question's answer: it stays.
  ImeUseCount = 3;
  EXPECT_EQ(CheckImeSharedMemory(), 0);
  machine_.AddFileMapping("zavolikpmt");
  EXPECT_EQ(CheckImeSharedMemory(), 1);
  EXPECT_EQ(ImeUseCount, 3);
  ASSERT_FALSE(machine_.MappingOpens().empty());
  EXPECT_EQ(machine_.MappingOpens().back().access, win::kFileMapWrite);
  EXPECT_TRUE(machine_.MappingOpens().back().inheritHandle);
  EXPECT_EQ(machine_.OpenMappingHandles(), 0u) << "the handle is closed at once";
  machine_.RemoveFileMapping("zavolikpmt");
  machine_.AddFileMapping("ZAVOLIKPMT");
  EXPECT_EQ(CheckImeSharedMemory(), 0) << "mapping names are case-sensitive";
}

}  // namespace
}  // namespace zv
