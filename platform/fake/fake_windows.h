// The window manager, message queue and modal dialogs of the fake machine.
//
// Windows live in one tree with their class, caption, style, owner, parent,
// control id, rectangle, visibility, focus and check state. Sent messages run
// the procedure at once; posted ones wait in the queue, which a test pumps
// with DispatchPosted() or the logic's own message loop drains. GetMessageW
// hands out, in Windows' order, posted messages, WM_QUIT, WM_PAINT for
// invalid visible windows and WM_TIMER for due timers; when nothing is left
// it runs the next action queued with WhenIdle(), and then lets the clock
// run on to the next timer. A loop with nothing left to wait for fails with
// -1 instead of hanging (Starved()).
//
// A modal dialog runs its procedure with WM_INITDIALOG and then the steps of
// the next queued script (clicks as BM_CLICK does them, WM_COMMAND, Escape,
// the close box) until EndDialog; one that outlives its script returns -1.
// Windows of other programs are added with AddForeignWindow().
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog_boxes.h"
#include "platform/fake/machine_state.h"
#include "platform/message_queue.h"
#include "platform/window_manager.h"

namespace zv::fake {

struct FakeWindow {
  platform::WindowHandle handle = 0;
  std::string className;                // as registered, or "Edit", "Button", "Static", "#32770"
  platform::WindowProc proc = nullptr;  // null for system and foreign classes
  platform::DialogProc dialogProc = nullptr;  // set on a dialog
  std::u16string text;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  platform::WindowHandle parent = 0;  // of a child window
  platform::WindowHandle owner = 0;   // of a top-level window
  uintptr_t id = 0;                   // control identifier of a child
  platform::Rect rect;  // relative to the parent's client area for a child, else on the screen
  bool alive = true;
  bool visible = false;
  bool enabled = true;
  bool invalid = false;  // waiting for WM_PAINT
  bool erase = false;
  bool paintSent = false;  // WM_PAINT handed out and not yet validated
  bool foreign = false;    // belongs to another program
  uint32_t check = 0;      // of a button
  bool dialogEnded = false;
  intptr_t dialogResult = 0;
};

struct FakeWindowClass {
  std::string name;
  uint32_t style = 0;
  platform::WindowProc proc = nullptr;
  platform::InstanceHandle instance = 0;
  platform::IconHandle icon = 0;
  platform::CursorHandle cursor = 0;
  platform::GdiObject background = 0;
};

struct FakeTimer {
  platform::WindowHandle window = 0;
  uintptr_t id = 0;
  uint32_t elapseMs = 0;
  uint32_t due = 0;  // tick count
};

// One control of a dialog template; positions are in pixels.
struct DialogControl {
  int32_t id = -1;
  std::u16string className;  // u"Button", u"Static", u"Edit"
  uint32_t style = 0;        // kBsAutoRadioButton, kWsGroup, ...
  std::u16string text;
  platform::Rect rect;
};

struct DialogTemplate {
  std::u16string caption;
  uint32_t style = 0;
  platform::Rect rect;  // on the screen
  std::vector<DialogControl> controls;
};

// One action of the user in a modal dialog.
struct DialogStep {
  enum class Kind { kClick, kCommand, kEscape, kClose };
  Kind kind = Kind::kClick;
  int32_t id = 0;
  static DialogStep Click(int32_t id) { return {Kind::kClick, id}; }
  static DialogStep Command(int32_t id) { return {Kind::kCommand, id}; }
  static DialogStep Escape() { return {Kind::kEscape, 0}; }
  static DialogStep Close() { return {Kind::kClose, 0}; }
};

// What one DialogBoxParamW call did.
struct DialogRecord {
  std::u16string templateName;
  platform::WindowHandle owner = 0;
  platform::WindowHandle dialog = 0;
  intptr_t initParam = 0;
  bool ended = false;  // EndDialog was called; false when the script ran out
  intptr_t result = -1;
  bool ownerDisabled = false;  // the owner was disabled while the dialog ran
  platform::Rect rect;         // the dialog's rectangle when it closed
  // The check state of every button (id to kBst...) after WM_INITDIALOG and
  // after each step.
  std::vector<std::map<int32_t, uint32_t>> checks;
  // Steps that named no enabled control of the dialog and did nothing.
  std::vector<int32_t> ignoredClicks;
};

class FakeWindows : public platform::WindowManager,
                    public platform::MessageQueue,
                    public platform::DialogBoxes {
 public:
  static constexpr platform::InstanceHandle kModule = 0x400000;

  explicit FakeWindows(MachineState& state) : state_(state) {}

  // WindowManager. CreateWindowExW of an unknown class and RegisterClassA
  // may be failed by injection ("CreateWindowExW" with the class name and
  // caption as subjects, "RegisterClassA" with the class name), as may
  // "LoadIconA" (the name), "SetTimer", "PostMessageA" and "DialogBoxParamW"
  // (the template name). SetWindowText does not send WM_SETTEXT.
  platform::InstanceHandle GetModuleHandleW() override { return kModule; }
  platform::IconHandle LoadIconA(platform::InstanceHandle instance,
                                 const std::string& name) override;
  platform::CursorHandle LoadCursorA(uint32_t standardCursorId) override;
  uint16_t RegisterClassA(const platform::WindowClassA& windowClass) override;
  platform::WindowHandle CreateWindowExW(uint32_t exStyle, const std::u16string& className,
                                         const std::u16string& windowName, uint32_t style,
                                         int32_t x, int32_t y, int32_t width, int32_t height,
                                         platform::WindowHandle parentOrOwner, uintptr_t menuOrId,
                                         platform::InstanceHandle instance) override;
  bool DestroyWindow(platform::WindowHandle window) override;
  bool IsWindow(platform::WindowHandle window) override { return Alive(window) != nullptr; }
  bool ShowWindow(platform::WindowHandle window, uint32_t showCommand) override;
  bool IsWindowVisible(platform::WindowHandle window) override;
  bool UpdateWindow(platform::WindowHandle window) override;
  bool InvalidateRect(platform::WindowHandle window, bool erase) override;
  bool EnableWindow(platform::WindowHandle window, bool enable) override;
  bool IsWindowEnabled(platform::WindowHandle window) override;
  bool SetWindowTextW(platform::WindowHandle window, const std::u16string& text) override;
  bool SetWindowTextA(platform::WindowHandle window, const std::string& text) override;
  std::u16string GetWindowTextW(platform::WindowHandle window, uint32_t capacity) override;
  std::string GetWindowTextA(platform::WindowHandle window, uint32_t capacity) override;
  std::string GetClassNameA(platform::WindowHandle window, uint32_t capacity) override;
  platform::WindowHandle SetFocus(platform::WindowHandle window) override;
  platform::WindowHandle GetFocus() override { return focus_; }
  bool GetWindowRect(platform::WindowHandle window, platform::Rect* out) override;
  bool MoveWindow(platform::WindowHandle window, int32_t x, int32_t y, int32_t width,
                  int32_t height, bool repaint) override;
  bool SetWindowPos(platform::WindowHandle window, platform::WindowHandle insertAfter, int32_t x,
                    int32_t y, int32_t width, int32_t height, uint32_t flags) override;
  int32_t GetSystemMetrics(int32_t index) override;
  platform::WindowHandle GetParent(platform::WindowHandle window) override;
  // kInstallerProcessId for the program's own windows, kOtherProcessId for
  // those of AddForeignWindow.
  uint32_t GetWindowThreadProcessId(platform::WindowHandle window) override;
  bool EnumWindows(platform::EnumWindowsProc callback, intptr_t lParam) override;
  intptr_t DefWindowProcA(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                          intptr_t lParam) override;

  // MessageQueue.
  intptr_t SendMessageW(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                        intptr_t lParam) override;
  bool PostMessageA(platform::WindowHandle window, uint32_t message, uintptr_t wParam,
                    intptr_t lParam) override;
  void PostQuitMessage(int32_t exitCode) override;
  int32_t GetMessageW(platform::Message* out) override;
  bool TranslateMessage(const platform::Message&) override { return false; }
  intptr_t DispatchMessageW(const platform::Message& message) override;
  uintptr_t SetTimer(platform::WindowHandle window, uintptr_t id, uint32_t elapseMs) override;
  bool KillTimer(platform::WindowHandle window, uintptr_t id) override;

  // DialogBoxes.
  intptr_t DialogBoxParamW(platform::InstanceHandle instance, const std::u16string& templateName,
                           platform::WindowHandle owner, platform::DialogProc dialogProc,
                           intptr_t initParam) override;
  bool EndDialog(platform::WindowHandle dialog, intptr_t result) override;
  platform::WindowHandle GetDlgItem(platform::WindowHandle dialog, int32_t id) override;
  bool CheckDlgButton(platform::WindowHandle dialog, int32_t id, uint32_t check) override;
  uint32_t IsDlgButtonChecked(platform::WindowHandle dialog, int32_t id) override;
  intptr_t SendDlgItemMessageW(platform::WindowHandle dialog, int32_t id, uint32_t message,
                               uintptr_t wParam, intptr_t lParam) override;

  // --- Set-up and inspection by tests ---

  // An icon resource of the program's module, for LoadIconA.
  void AddIcon(const std::string& name);
  // The resource name an icon handle was loaded from; empty for none.
  std::string IconName(platform::IconHandle icon) const;
  // A dialog template of the program's module (names ignore ASCII case).
  void AddDialogTemplate(const std::u16string& name, DialogTemplate dialogTemplate);
  // The user's actions in the next modal dialog; each dialog takes one script.
  void QueueDialogScript(std::vector<DialogStep> steps);
  const std::vector<DialogRecord>& DialogLog() const { return dialogs_; }

  // A top-level window of another program (no procedure of ours).
  platform::WindowHandle AddForeignWindow(const std::string& className, const std::u16string& title,
                                          uint32_t style, platform::WindowHandle owner);
  void SetScreenSize(int32_t width, int32_t height);
  // The program ended: its window classes, posted messages, timers and quit
  // code go with it, so that the next start registers its class afresh.
  // Windows of other programs stay.
  void EndProgram();

  // The window's state, destroyed windows included; null for an unknown handle.
  const FakeWindow* Window(platform::WindowHandle window) const;
  const FakeWindowClass* RegisteredClass(const std::string& name) const;
  // The first live window of the class (ASCII case ignored), 0 for none.
  platform::WindowHandle FindWindowOfClass(const std::string& className) const;
  // Live top-level windows from the top of the Z order down; live children
  // of `parent` in creation order.
  std::vector<platform::WindowHandle> TopLevelWindows() const { return zOrder_; }
  std::vector<platform::WindowHandle> Children(platform::WindowHandle parent) const;
  // The caption of a window in the ANSI code page.
  std::string WindowTextA(platform::WindowHandle window) const;

  // Delivers posted messages, WM_QUIT and pending WM_PAINT (no timers, no
  // idle actions) until none are left or WM_QUIT came; returns how many
  // messages were handed to windows.
  int DispatchPosted();
  const std::deque<platform::Message>& PostedMessages() const { return posted_; }
  // The code of the WM_QUIT that was taken from the queue, if any.
  std::optional<int32_t> QuitCode() const { return quitCode_; }
  // Runs once GetMessageW has nothing else to hand out.
  void WhenIdle(std::function<void()> action) { idle_.push_back(std::move(action)); }
  // Whether a message loop asked for a message when none could ever come.
  bool Starved() const { return starved_; }
  // WM_PAINT handlers that returned without validating the window.
  int UnvalidatedPaints() const { return unvalidatedPaints_; }

  // The window's live timers; FireTimer sends WM_TIMER for one now (false
  // when it does not exist, e.g. after KillTimer).
  std::vector<FakeTimer> Timers() const { return timers_; }
  bool FireTimer(platform::WindowHandle window, uintptr_t id);

  // For the fake GDI: makes the window valid (BeginPaint); false for a dead one.
  bool Validate(platform::WindowHandle window, bool* erase);
  FakeWindow* Alive(platform::WindowHandle window);
  const FakeWindow* Alive(platform::WindowHandle window) const;

 private:
  bool InvalidHandle();
  platform::WindowHandle NewWindow(FakeWindow window);
  void DestroyTree(platform::WindowHandle window);
  intptr_t Call(FakeWindow& window, uint32_t message, uintptr_t wParam, intptr_t lParam);
  intptr_t ButtonProc(FakeWindow& button, uint32_t message, uintptr_t wParam, intptr_t lParam);
  void Click(FakeWindow& button);
  bool NextQueued(platform::Message* out);
  bool NextPaint(platform::Message* out);
  bool NextDueTimer(platform::Message* out);
  void RunStep(DialogRecord& record, FakeWindow& dialog, const DialogStep& step);
  std::map<int32_t, uint32_t> CheckStates(platform::WindowHandle dialog) const;

  MachineState& state_;
  uintptr_t nextHandle_ = 0x10010;
  std::map<platform::WindowHandle, FakeWindow> windows_;
  std::vector<platform::WindowHandle> zOrder_;
  std::map<std::string, FakeWindowClass> classes_;  // by folded name
  std::map<platform::IconHandle, std::string> icons_;
  std::map<std::string, std::string> iconResources_;    // folded name to name
  std::map<std::u16string, DialogTemplate> templates_;  // by folded name
  std::deque<std::vector<DialogStep>> scripts_;
  std::vector<DialogRecord> dialogs_;
  platform::WindowHandle focus_ = 0;
  int32_t screenWidth_ = 1024;
  int32_t screenHeight_ = 768;
  std::deque<platform::Message> posted_;
  std::optional<int32_t> quitPending_;
  std::optional<int32_t> quitCode_;
  std::deque<std::function<void()>> idle_;
  bool starved_ = false;
  int unvalidatedPaints_ = 0;
  std::vector<FakeTimer> timers_;
  uintptr_t nextThreadTimer_ = 1;
  uint16_t nextAtom_ = 0xC000;
};

}  // namespace zv::fake
