// The window manager, message queue, timers, dialogs and file mappings of
// the fake machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "platform/scoped_mapping.h"
#include "platform/services.h"
#include "platform/win_constants.h"

namespace zv::fake {
namespace {

using namespace zv::win;
using platform::Message;
using platform::WindowHandle;

// What the test procedures saw, as "message window wParam" lines.
std::vector<std::string>& Seen() {
  static std::vector<std::string> seen;
  return seen;
}

std::string Line(const char* what, uintptr_t wParam) {
  return std::string(what) + " " + std::to_string(wParam);
}

const char* Name(uint32_t message) {
  switch (message) {
    case kWmCreate:
      return "create";
    case kWmDestroy:
      return "destroy";
    case kWmPaint:
      return "paint";
    case kWmTimer:
      return "timer";
    case kWmSetFocus:
      return "setfocus";
    case kWmKillFocus:
      return "killfocus";
    case kWmLButtonDown:
      return "click";
    case kWmInitDialog:
      return "init";
    case kWmCommand:
      return "command";
    case kWmClose:
      return "close";
    default:
      return nullptr;
  }
}

// A window that logs, paints properly and quits with 7 when destroyed.
intptr_t LoggingProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (const char* name = Name(message)) Seen().push_back(Line(name, wParam));
  if (message == kWmDestroy) platform::Messages().PostQuitMessage(7);
  if (message == kWmPaint) {
    platform::PaintInfo paint;
    platform::Gdi().BeginPaint(window, &paint);
    platform::Gdi().EndPaint(window, paint);
    return 0;
  }
  return platform::Windows().DefWindowProcA(window, message, wParam, lParam);
}

intptr_t RefusingProc(WindowHandle, uint32_t message, uintptr_t, intptr_t) {
  return message == kWmCreate ? -1 : 0;
}

class FakeWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Seen().clear();
    machine.Install();
  }

  WindowHandle MakeMain(platform::WindowProc proc = LoggingProc, uint32_t style = kWsSysMenu) {
    if (machine.RegisteredClass("installWClass") == nullptr) {
      platform::WindowClassA windowClass;
      windowClass.windowProc = proc;
      windowClass.instance = machine.GetModuleHandleW();
      windowClass.className = "installWClass";
      EXPECT_NE(machine.RegisterClassA(windowClass), 0);
    }
    return machine.CreateWindowExW(0, u"installWClass", u"安装", style, 10, 20, 400, 310, 0, 0,
                                   machine.GetModuleHandleW());
  }

  FakeMachine machine;
};

TEST_F(FakeWindowsTest, ClassesAndCreation) {
  machine.AddIcon("ZAVOLI");
  platform::WindowClassA windowClass;
  windowClass.windowProc = LoggingProc;
  windowClass.instance = machine.GetModuleHandleW();
  windowClass.icon = machine.LoadIconA(windowClass.instance, "zavoli");
  windowClass.cursor = machine.LoadCursorA(kIdcArrow);
  windowClass.background = machine.GetStockObject(kWhiteBrush);
  windowClass.className = "installWClass";
  EXPECT_EQ(machine.IconName(windowClass.icon), "ZAVOLI");
  EXPECT_EQ(machine.LoadIconA(windowClass.instance, "OTHER"), 0u);
  EXPECT_NE(windowClass.cursor, 0u);
  EXPECT_NE(machine.RegisterClassA(windowClass), 0);
  EXPECT_EQ(machine.RegisterClassA(windowClass), 0);
  EXPECT_EQ(machine.LastError(), kErrorClassAlreadyExists);
  ASSERT_NE(machine.RegisteredClass("INSTALLWCLASS"), nullptr);
  EXPECT_EQ(machine.RegisteredClass("installwclass")->background, windowClass.background);

  WindowHandle main = MakeMain();
  ASSERT_NE(main, 0u);
  EXPECT_EQ(Seen(), std::vector<std::string>{"create 0"});  // WM_CREATE before the call returns
  EXPECT_EQ(machine.GetClassNameA(main, 100), "installWClass");
  EXPECT_EQ(machine.GetClassNameA(main, 8), "install");
  EXPECT_EQ(machine.GetWindowTextW(main, 200), u"安装");
  EXPECT_EQ(machine.WindowTextA(main), "\xb0\xb2\xd7\xb0");
  WindowHandle edit = machine.CreateWindowExW(0, u"EDIT", u" ", kWsChild | kWsSysMenu, 120, 195,
                                              230, 20, main, 5, machine.GetModuleHandleW());
  ASSERT_NE(edit, 0u);
  EXPECT_EQ(machine.Window(edit)->id, 5u);
  EXPECT_EQ(machine.GetClassNameA(edit, 100), "Edit");
  EXPECT_FALSE(machine.IsWindowVisible(edit));
  platform::Rect rect;
  ASSERT_TRUE(machine.GetWindowRect(edit, &rect));
  EXPECT_EQ(rect.left, 130);
  EXPECT_EQ(rect.bottom, 235);

  EXPECT_EQ(machine.CreateWindowExW(0, u"noSuchClass", u"", 0, 0, 0, 1, 1, 0, 0, 0), 0u);
  EXPECT_EQ(machine.LastError(), kErrorCannotFindWndClass);
  machine.FailOperation("CreateWindowExW", kErrorNotEnoughMemory, "EDIT", 1);
  EXPECT_EQ(machine.CreateWindowExW(0, u"EDIT", u"", kWsChild, 0, 0, 1, 1, main, 0, 0), 0u);
  EXPECT_EQ(machine.LastError(), kErrorNotEnoughMemory);
}

TEST_F(FakeWindowsTest, RefusedCreationDestroysTheWindow) {
  platform::WindowClassA windowClass;
  windowClass.windowProc = RefusingProc;
  windowClass.className = "refuses";
  ASSERT_NE(machine.RegisterClassA(windowClass), 0);
  EXPECT_EQ(machine.CreateWindowExW(0, u"refuses", u"", 0, 0, 0, 1, 1, 0, 0, 0), 0u);
  EXPECT_TRUE(machine.TopLevelWindows().empty());
}

TEST_F(FakeWindowsTest, TextIsCutToTheBuffer) {
  WindowHandle main = MakeMain();
  ASSERT_TRUE(machine.SetWindowTextA(main, "ab\xb0\xb2"));  // "ab安" in GBK
  struct Case {
    uint32_t capacity;
    std::string narrow;
    std::u16string wide;
  };
  for (const Case& c : {Case{0, "", u""}, Case{1, "", u""}, Case{3, "ab", u"ab"},
                        Case{4, "ab", u"ab安"}, Case{5, "ab\xb0\xb2", u"ab安"}}) {
    EXPECT_EQ(machine.GetWindowTextA(main, c.capacity), c.narrow) << c.capacity;
    EXPECT_EQ(machine.GetWindowTextW(main, c.capacity), c.wide) << c.capacity;
  }
}

TEST_F(FakeWindowsTest, ParentsOwnersAndEnumeration) {
  WindowHandle main = MakeMain();
  WindowHandle other = machine.AddForeignWindow("Notepad", u"Notes", kWsOverlapped, 0);
  WindowHandle popup = machine.AddForeignWindow("UIKPMT", u"", kWsPopup, other);
  WindowHandle owned = machine.AddForeignWindow("UIKPMT", u"", kWsOverlapped, other);
  WindowHandle child = machine.CreateWindowExW(0, u"EDIT", u"", kWsChild, 0, 0, 1, 1, main, 0, 0);
  struct Case {
    WindowHandle window;
    WindowHandle parent;
  };
  // GetParent gives the owner only of a pop-up, as Windows does.
  for (const Case& c : {Case{popup, other}, Case{owned, 0}, Case{child, main}, Case{main, 0}}) {
    EXPECT_EQ(machine.GetParent(c.window), c.parent);
  }

  static std::vector<WindowHandle> listed;
  listed.clear();
  auto collect = [](WindowHandle window, intptr_t limit) {
    listed.push_back(window);
    return static_cast<intptr_t>(listed.size()) < limit;
  };
  EXPECT_TRUE(machine.EnumWindows(collect, 100));
  // Top-level windows only, the newest on top.
  EXPECT_EQ(listed, (std::vector<WindowHandle>{owned, popup, other, main}));
  listed.clear();
  EXPECT_FALSE(machine.EnumWindows(collect, 2));
  EXPECT_EQ(listed.size(), 2u);

  // Destroying the owner takes its owned windows with it.
  ASSERT_TRUE(machine.DestroyWindow(other));
  EXPECT_FALSE(machine.IsWindow(popup));
  EXPECT_EQ(machine.TopLevelWindows(), std::vector<WindowHandle>{main});
}

TEST_F(FakeWindowsTest, FocusMovesWithItsMessages) {
  WindowHandle main = MakeMain();
  WindowHandle edit = machine.CreateWindowExW(0, u"EDIT", u"", kWsChild, 0, 0, 1, 1, main, 0, 0);
  Seen().clear();
  EXPECT_EQ(machine.SetFocus(main), 0u);
  EXPECT_EQ(machine.SetFocus(edit), main);
  EXPECT_EQ(machine.GetFocus(), edit);
  EXPECT_EQ(Seen(), (std::vector<std::string>{"setfocus 0", Line("killfocus", edit)}));
  machine.DestroyWindow(main);
  EXPECT_EQ(machine.GetFocus(), 0u);
}

TEST_F(FakeWindowsTest, PostedMessagesPaintsAndQuit) {
  WindowHandle main = MakeMain(LoggingProc, kWsSysMenu | kWsVisible);
  Seen().clear();
  ASSERT_TRUE(machine.PostMessageA(main, kWmLButtonDown, 1, platform::MakeLong(50, 250)));
  EXPECT_TRUE(Seen().empty());             // posted, not sent
  EXPECT_EQ(machine.DispatchPosted(), 2);  // the click, then the paint of the new window
  EXPECT_EQ(Seen(), (std::vector<std::string>{"click 1", "paint 0"}));
  EXPECT_EQ(machine.DispatchPosted(), 0);  // the paint validated the window

  machine.InvalidateRect(main, false);
  Seen().clear();
  machine.UpdateWindow(main);
  EXPECT_EQ(Seen(), std::vector<std::string>{"paint 0"});

  EXPECT_FALSE(machine.PostMessageA(0x999, kWmClose, 0, 0));
  EXPECT_EQ(machine.LastError(), kErrorInvalidWindowHandle);
  // WM_CLOSE through DefWindowProcA destroys the window, whose procedure
  // posts the quit message that ends the loop.
  machine.PostMessageA(main, kWmClose, 0, 0);
  EXPECT_EQ(platform::RunMessageLoop(platform::Messages()), 7);
  EXPECT_FALSE(machine.IsWindow(main));
  EXPECT_EQ(machine.QuitCode(), 7);
}

TEST_F(FakeWindowsTest, LoopRunsIdleActionsAndStarvesInsteadOfHanging) {
  WindowHandle main = MakeMain();
  machine.WhenIdle([main] { platform::Messages().PostMessageA(main, kWmLButtonDown, 0, 0); });
  EXPECT_EQ(platform::RunMessageLoop(platform::Messages()), -1);
  EXPECT_TRUE(machine.Starved());
  EXPECT_EQ(Seen(), (std::vector<std::string>{"create 0", "click 0"}));
}

TEST_F(FakeWindowsTest, TimersFireInTheLoopAndOnRequest) {
  WindowHandle main = MakeMain();
  uint32_t start = machine.GetTickCount();
  ASSERT_EQ(machine.SetTimer(main, 2, 1600), 2u);
  EXPECT_FALSE(machine.FireTimer(main, 3));
  ASSERT_TRUE(machine.FireTimer(main, 2));
  Message message;
  ASSERT_EQ(machine.GetMessageW(&message), 1);  // the clock runs on to the timer
  EXPECT_EQ(message.message, kWmTimer);
  EXPECT_EQ(message.wParam, 2u);
  EXPECT_EQ(machine.GetTickCount() - start, 1600u);
  ASSERT_TRUE(machine.KillTimer(main, 2));
  EXPECT_FALSE(machine.KillTimer(main, 2));
  EXPECT_FALSE(machine.FireTimer(main, 2));
  EXPECT_TRUE(machine.Timers().empty());
  EXPECT_EQ(Seen(), (std::vector<std::string>{"create 0", "timer 2"}));
}

// The skin dialog's shape: two groups of radio buttons, OK closes.
uint8_t g_choice = 0;
intptr_t SkinProc(WindowHandle dialog, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (const char* name = Name(message)) {
    Seen().push_back(Line(name, message == kWmCommand ? platform::LowWord(wParam) : 0));
  }
  if (message == kWmInitDialog) {
    platform::Dialogs().CheckDlgButton(dialog, 101, kBstChecked);
    g_choice = static_cast<uint8_t>(lParam);
  }
  if (message == kWmCommand && platform::LowWord(wParam) == 105) {
    g_choice = platform::Dialogs().IsDlgButtonChecked(dialog, 102) == kBstChecked ? 2 : 1;
    platform::Dialogs().EndDialog(dialog, 9);
    return 1;
  }
  return 0;
}

DialogTemplate SkinTemplate() {
  DialogTemplate dialog;
  dialog.caption = u"选择";
  dialog.rect = platform::Rect{10, 15, 300, 200};
  auto control = [](int32_t id, uint32_t style) {
    return DialogControl{id, u"Button", style, u"", platform::Rect{}};
  };
  dialog.controls = {control(105, kBsDefPushButton), control(101, kBsAutoRadioButton),
                     control(102, kBsAutoRadioButton), control(-1, kBsGroupBox | kWsGroup),
                     control(110, kBsAutoRadioButton)};
  return dialog;
}

TEST_F(FakeWindowsTest, DialogRunsItsScriptUntilEndDialog) {
  WindowHandle main = MakeMain();
  machine.AddDialogTemplate(u"PYKEY", SkinTemplate());
  machine.QueueDialogScript({DialogStep::Click(102), DialogStep::Click(110), DialogStep::Escape(),
                             DialogStep::Close(), DialogStep::Click(104), DialogStep::Click(105),
                             DialogStep::Click(101)});
  Seen().clear();
  EXPECT_EQ(machine.DialogBoxParamW(machine.GetModuleHandleW(), u"pykey", main, SkinProc, 5), 9);
  EXPECT_EQ(g_choice, 2);
  EXPECT_EQ(Seen(), (std::vector<std::string>{"init 0", "command 102", "command 110", "command 2",
                                              "close 0", "command 2", "command 105", "destroy 0"}));
  ASSERT_EQ(machine.DialogLog().size(), 1u);
  const DialogRecord& record = machine.DialogLog()[0];
  EXPECT_TRUE(record.ended);
  EXPECT_TRUE(record.ownerDisabled);
  EXPECT_TRUE(machine.IsWindowEnabled(main));
  EXPECT_FALSE(machine.IsWindow(record.dialog));
  EXPECT_EQ(record.ignoredClicks, std::vector<int32_t>{104});
  // A radio click clears the others of its group only; the last click came
  // after EndDialog and did not run.
  ASSERT_EQ(record.checks.size(), 7u);
  EXPECT_EQ(record.checks[0].at(101), kBstChecked);
  EXPECT_EQ(record.checks[1].at(101), kBstUnchecked);
  EXPECT_EQ(record.checks[2].at(102), kBstChecked);
  EXPECT_EQ(record.checks[2].at(110), kBstChecked);

  // Without OK in the script the dialog would stay open: -1.
  machine.QueueDialogScript({DialogStep::Click(101)});
  EXPECT_EQ(machine.DialogBoxParamW(machine.GetModuleHandleW(), u"PYKEY", main, SkinProc, 0), -1);
  EXPECT_FALSE(machine.DialogLog()[1].ended);
  EXPECT_EQ(machine.DialogBoxParamW(machine.GetModuleHandleW(), u"PYKEYB", main, SkinProc, 0), -1);
  EXPECT_EQ(machine.LastError(), kErrorResourceNameNotFound);
}

TEST_F(FakeWindowsTest, FileMappingsOpenAndClose) {
  machine.AddFileMapping("zavolikpmt");
  machine.AddFileMapping("readonly", false);
  struct Case {
    const char* name;
    uint32_t access;
    uint32_t error;
  };
  for (const Case& c :
       {Case{"zavolikpmt", kFileMapWrite, 0}, Case{"ZAVOLIKPMT", kFileMapWrite, kErrorFileNotFound},
        Case{"readonly", kFileMapWrite, kErrorAccessDenied}, Case{"readonly", kFileMapRead, 0}}) {
    platform::ScopedMapping mapping(c.access, true, c.name);
    EXPECT_EQ(mapping.valid(), c.error == 0) << c.name;
    if (c.error != 0) {
      EXPECT_EQ(machine.LastError(), c.error) << c.name;
    }
    EXPECT_EQ(machine.OpenMappingHandles(), c.error == 0 ? 1u : 0u);
  }
  EXPECT_EQ(machine.OpenMappingHandles(), 0u);
  EXPECT_TRUE(machine.MappingOpens()[0].inheritHandle);
  EXPECT_FALSE(machine.CloseHandle(0x1234));
}

}  // namespace
}  // namespace zv::fake
