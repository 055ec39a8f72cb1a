#include "platform/fake/fake_windows.h"

#include <algorithm>
#include <utility>

#include "platform/fake/code_page.h"
#include "platform/win_constants.h"

namespace zv::fake {
namespace {

using platform::Rect;
using platform::WindowHandle;

constexpr int32_t kIdCancelControl = win::kIdCancel;

bool IsChild(const FakeWindow& window) { return (window.style & win::kWsChild) != 0; }

std::string Folded(const std::string& name) { return FoldAnsi(936, name); }

std::u16string FoldedWide(const std::u16string& name) {
  std::u16string folded = name;
  for (char16_t& c : folded) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return folded;
}

// The system classes the fake knows, by folded name, with the spelling
// GetClassName reports.
const char* SystemClass(const std::string& folded) {
  static const std::pair<const char*, const char*> kClasses[] = {
      {"edit", "Edit"}, {"button", "Button"}, {"static", "Static"}, {"#32770", "#32770"}};
  for (const auto& [key, name] : kClasses) {
    if (folded == key) return name;
  }
  return nullptr;
}

uint32_t ButtonType(const FakeWindow& window) { return window.style & win::kBsTypeMask; }

}  // namespace

bool FakeWindows::InvalidHandle() { return state_.Fail(win::kErrorInvalidWindowHandle); }

FakeWindow* FakeWindows::Alive(WindowHandle window) {
  auto found = windows_.find(window);
  return found != windows_.end() && found->second.alive ? &found->second : nullptr;
}

const FakeWindow* FakeWindows::Alive(WindowHandle window) const {
  auto found = windows_.find(window);
  return found != windows_.end() && found->second.alive ? &found->second : nullptr;
}

const FakeWindow* FakeWindows::Window(WindowHandle window) const {
  auto found = windows_.find(window);
  return found == windows_.end() ? nullptr : &found->second;
}

// --- Classes and resources ---

void FakeWindows::AddIcon(const std::string& name) { iconResources_[Folded(name)] = name; }

std::string FakeWindows::IconName(platform::IconHandle icon) const {
  auto found = icons_.find(icon);
  return found == icons_.end() ? std::string() : found->second;
}

platform::IconHandle FakeWindows::LoadIconA(platform::InstanceHandle instance,
                                            const std::string& name) {
  if (state_.Injected("LoadIconA", {name})) return 0;
  auto found = iconResources_.find(Folded(name));
  if (instance != kModule || found == iconResources_.end()) {
    state_.Fail(win::kErrorResourceNameNotFound);
    return 0;
  }
  for (const auto& [handle, iconName] : icons_) {
    if (iconName == found->second) return handle;  // a shared icon: the same handle each time
  }
  platform::IconHandle handle = nextHandle_;
  nextHandle_ += 4;
  icons_[handle] = found->second;
  return handle;
}

platform::CursorHandle FakeWindows::LoadCursorA(uint32_t standardCursorId) {
  // The standard cursors are shared objects with fixed handles.
  return standardCursorId == win::kIdcArrow ? 0x10003 : 0;
}

uint16_t FakeWindows::RegisterClassA(const platform::WindowClassA& windowClass) {
  if (state_.Injected("RegisterClassA", {windowClass.className})) return 0;
  std::string key = Folded(windowClass.className);
  if (windowClass.windowProc == nullptr || key.empty()) {
    state_.Fail(win::kErrorInvalidParameter);
    return 0;
  }
  if (classes_.count(key) != 0 || SystemClass(key) != nullptr) {
    state_.Fail(win::kErrorClassAlreadyExists);
    return 0;
  }
  classes_[key] = FakeWindowClass{windowClass.className, windowClass.style, windowClass.windowProc,
                                  windowClass.instance,  windowClass.icon,  windowClass.cursor,
                                  windowClass.background};
  return nextAtom_++;
}

const FakeWindowClass* FakeWindows::RegisteredClass(const std::string& name) const {
  auto found = classes_.find(Folded(name));
  return found == classes_.end() ? nullptr : &found->second;
}

// --- The window tree ---

WindowHandle FakeWindows::NewWindow(FakeWindow window) {
  window.handle = nextHandle_;
  nextHandle_ += 4;
  window.visible = (window.style & win::kWsVisible) != 0;
  window.enabled = (window.style & win::kWsDisabled) == 0;
  window.invalid = window.erase = window.visible;
  if (!IsChild(window)) zOrder_.insert(zOrder_.begin(), window.handle);  // new windows go on top
  WindowHandle handle = window.handle;
  windows_.emplace(handle, std::move(window));
  return handle;
}

WindowHandle FakeWindows::CreateWindowExW(uint32_t exStyle, const std::u16string& className,
                                          const std::u16string& windowName, uint32_t style,
                                          int32_t x, int32_t y, int32_t width, int32_t height,
                                          WindowHandle parentOrOwner, uintptr_t menuOrId,
                                          platform::InstanceHandle) {
  uint32_t codePage = state_.settings.ansiCodePage;
  std::string name8 = Utf16ToAnsi(codePage, className);
  if (state_.Injected("CreateWindowExW", {name8, Utf16ToAnsi(codePage, windowName)})) return 0;
  FakeWindow window;
  std::string key = Folded(name8);
  if (const char* system = SystemClass(key)) {
    window.className = system;
  } else if (auto found = classes_.find(key); found != classes_.end()) {
    window.className = found->second.name;
    window.proc = found->second.proc;
  } else {
    state_.Fail(win::kErrorCannotFindWndClass);
    return 0;
  }
  bool child = (style & win::kWsChild) != 0;
  if ((child && Alive(parentOrOwner) == nullptr) ||
      (!child && parentOrOwner != 0 && Alive(parentOrOwner) == nullptr)) {
    InvalidHandle();
    return 0;
  }
  window.text = windowName;
  window.style = style;
  window.exStyle = exStyle;
  (child ? window.parent : window.owner) = parentOrOwner;
  window.id = child ? menuOrId : 0;
  window.rect = Rect{x, y, x + width, y + height};
  WindowHandle handle = NewWindow(std::move(window));
  if (SendMessageW(handle, win::kWmCreate, 0, 0) == -1) {
    DestroyWindow(handle);
    return 0;
  }
  return handle;
}

WindowHandle FakeWindows::AddForeignWindow(const std::string& className,
                                           const std::u16string& title, uint32_t style,
                                           WindowHandle owner) {
  FakeWindow window;
  window.className = className;
  window.text = title;
  window.style = style & ~win::kWsChild;
  window.owner = owner;
  window.foreign = true;
  window.rect = Rect{0, 0, 100, 100};
  return NewWindow(std::move(window));
}

void FakeWindows::DestroyTree(WindowHandle handle) {
  FakeWindow* window = Alive(handle);
  if (window == nullptr) return;
  SendMessageW(handle, win::kWmDestroy, 0, 0);
  for (WindowHandle child : Children(handle)) DestroyTree(child);
  window->alive = false;
  window->visible = false;
  if (focus_ == handle) focus_ = 0;
  timers_.erase(std::remove_if(timers_.begin(), timers_.end(),
                               [handle](const FakeTimer& t) { return t.window == handle; }),
                timers_.end());
  zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), handle), zOrder_.end());
}

bool FakeWindows::DestroyWindow(WindowHandle handle) {
  FakeWindow* window = Alive(handle);
  if (window == nullptr) return InvalidHandle();
  // Owned windows go first, then the window and its children.
  for (WindowHandle other : std::vector<WindowHandle>(zOrder_)) {
    const FakeWindow* owned = Alive(other);
    if (owned != nullptr && owned->owner == handle) DestroyWindow(other);
  }
  window->visible = false;
  DestroyTree(handle);
  return true;
}

std::vector<WindowHandle> FakeWindows::Children(WindowHandle parent) const {
  std::vector<WindowHandle> children;
  for (const auto& [handle, window] : windows_) {
    if (window.alive && IsChild(window) && window.parent == parent) children.push_back(handle);
  }
  return children;
}

WindowHandle FakeWindows::FindWindowOfClass(const std::string& className) const {
  std::string key = Folded(className);
  for (const auto& [handle, window] : windows_) {
    if (window.alive && Folded(window.className) == key) return handle;
  }
  return 0;
}

// --- Visibility, painting, enabling ---

bool FakeWindows::ShowWindow(WindowHandle handle, uint32_t showCommand) {
  FakeWindow* window = Alive(handle);
  if (window == nullptr) return InvalidHandle();
  bool was = window->visible;
  window->visible = showCommand != win::kSwHide;
  if (window->visible && !was) window->invalid = window->erase = true;
  return was;
}

bool FakeWindows::IsWindowVisible(WindowHandle handle) {
  // A child shows only while every window above it does.
  for (const FakeWindow* window = Alive(handle); window != nullptr;
       window = IsChild(*window) ? Alive(window->parent) : nullptr) {
    if (!window->visible) return false;
    if (!IsChild(*window)) return true;
  }
  return false;
}

bool FakeWindows::InvalidateRect(WindowHandle handle, bool erase) {
  FakeWindow* window = Alive(handle);
  if (window == nullptr) return InvalidHandle();
  window->invalid = true;
  window->erase = window->erase || erase;
  return true;
}

bool FakeWindows::Validate(WindowHandle handle, bool* erase) {
  FakeWindow* window = Alive(handle);
  if (window == nullptr) return false;
  if (erase != nullptr) *erase = window->erase;
  window->invalid = window->erase = window->paintSent = false;
  return true;
}

bool FakeWindows::UpdateWindow(WindowHandle handle) {
  FakeWindow* window = Alive(handle);
  if (window == nullptr) return InvalidHandle();
  if (window->invalid && IsWindowVisible(handle)) SendMessageW(handle, win::kWmPaint, 0, 0);
  return true;
}

bool FakeWindows::EnableWindow(WindowHandle handle, bool enable) {
  FakeWindow* window = Alive(handle);
  if (window == nullptr) return InvalidHandle();
  bool wasDisabled = !window->enabled;
  window->enabled = enable;
  return wasDisabled;
}

bool FakeWindows::IsWindowEnabled(WindowHandle handle) {
  const FakeWindow* window = Alive(handle);
  return window != nullptr && window->enabled;
}

// --- Text ---

bool FakeWindows::SetWindowTextW(WindowHandle handle, const std::u16string& text) {
  FakeWindow* window = Alive(handle);
  if (window == nullptr) return InvalidHandle();
  window->text = text;
  return true;
}

bool FakeWindows::SetWindowTextA(WindowHandle handle, const std::string& text) {
  return SetWindowTextW(handle, AnsiToUtf16(state_.settings.ansiCodePage, text));
}

std::u16string FakeWindows::GetWindowTextW(WindowHandle handle, uint32_t capacity) {
  const FakeWindow* window = Alive(handle);
  if (window == nullptr) {
    InvalidHandle();
    return {};
  }
  if (capacity == 0) return {};
  return window->text.substr(0, capacity - 1);
}

std::string FakeWindows::GetWindowTextA(WindowHandle handle, uint32_t capacity) {
  const FakeWindow* window = Alive(handle);
  if (window == nullptr) {
    InvalidHandle();
    return {};
  }
  uint32_t codePage = state_.settings.ansiCodePage;
  std::string text = Utf16ToAnsi(codePage, window->text);
  // Cut to the buffer, never through the middle of a double-byte character.
  size_t length = 0;
  while (length < text.size()) {
    size_t next = length + CharacterLength(codePage, text, length);
    if (capacity == 0 || next > capacity - 1) break;
    length = next;
  }
  return text.substr(0, length);
}

std::string FakeWindows::WindowTextA(WindowHandle handle) const {
  const FakeWindow* window = Window(handle);
  return window == nullptr ? std::string()
                           : Utf16ToAnsi(state_.settings.ansiCodePage, window->text);
}

std::string FakeWindows::GetClassNameA(WindowHandle handle, uint32_t capacity) {
  const FakeWindow* window = Alive(handle);
  if (window == nullptr) {
    InvalidHandle();
    return {};
  }
  if (capacity == 0) return {};
  return window->className.substr(0, capacity - 1);
}

// --- Focus and geometry ---

WindowHandle FakeWindows::SetFocus(WindowHandle handle) {
  if (handle != 0 && Alive(handle) == nullptr) {
    InvalidHandle();
    return 0;
  }
  WindowHandle previous = focus_;
  if (previous == handle) return previous;
  if (Alive(previous) != nullptr) SendMessageW(previous, win::kWmKillFocus, handle, 0);
  focus_ = handle;
  if (handle != 0) SendMessageW(handle, win::kWmSetFocus, previous, 0);
  return previous;
}

bool FakeWindows::GetWindowRect(WindowHandle handle, Rect* out) {
  const FakeWindow* window = Alive(handle);
  if (window == nullptr) return InvalidHandle();
  // The fake has no frames: a window's client area is its whole rectangle.
  Rect rect = window->rect;
  for (const FakeWindow* up = window; IsChild(*up);) {
    up = Alive(up->parent);
    if (up == nullptr) break;
    rect.left += up->rect.left;
    rect.right += up->rect.left;
    rect.top += up->rect.top;
    rect.bottom += up->rect.top;
  }
  *out = rect;
  return true;
}

bool FakeWindows::MoveWindow(WindowHandle handle, int32_t x, int32_t y, int32_t width,
                             int32_t height, bool repaint) {
  FakeWindow* window = Alive(handle);
  if (window == nullptr) return InvalidHandle();
  window->rect = Rect{x, y, x + width, y + height};
  if (repaint) window->invalid = true;
  return true;
}

bool FakeWindows::SetWindowPos(WindowHandle handle, WindowHandle insertAfter, int32_t x, int32_t y,
                               int32_t width, int32_t height, uint32_t flags) {
  FakeWindow* window = Alive(handle);
  if (window == nullptr) return InvalidHandle();
  Rect& rect = window->rect;
  int32_t oldWidth = rect.right - rect.left;
  int32_t oldHeight = rect.bottom - rect.top;
  if ((flags & win::kSwpNoMove) == 0) rect = Rect{x, y, x + oldWidth, y + oldHeight};
  if ((flags & win::kSwpNoSize) == 0) {
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
  }
  if ((flags & win::kSwpNoZOrder) == 0 && !IsChild(*window) && insertAfter == 0) {
    // HWND_TOP: to the top of the Z order.
    zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), handle), zOrder_.end());
    zOrder_.insert(zOrder_.begin(), handle);
  }
  return true;
}

void FakeWindows::SetScreenSize(int32_t width, int32_t height) {
  screenWidth_ = width;
  screenHeight_ = height;
}

int32_t FakeWindows::GetSystemMetrics(int32_t index) {
  if (index == win::kSmCxScreen) return screenWidth_;
  if (index == win::kSmCyScreen) return screenHeight_;
  return 0;
}

WindowHandle FakeWindows::GetParent(WindowHandle handle) {
  const FakeWindow* window = Alive(handle);
  if (window == nullptr) {
    InvalidHandle();
    return 0;
  }
  if (IsChild(*window)) return window->parent;
  // A top-level window reports its owner only when it is a pop-up.
  return (window->style & win::kWsPopup) != 0 ? window->owner : 0;
}

uint32_t FakeWindows::GetWindowThreadProcessId(WindowHandle handle) {
  const FakeWindow* window = Alive(handle);
  if (window == nullptr) {
    InvalidHandle();
    return 0;
  }
  return window->foreign ? kOtherProcessId : kInstallerProcessId;
}

bool FakeWindows::EnumWindows(platform::EnumWindowsProc callback, intptr_t lParam) {
  // The callback may create or destroy windows: walk a copy, skip the dead.
  for (WindowHandle handle : std::vector<WindowHandle>(zOrder_)) {
    if (Alive(handle) == nullptr) continue;
    if (!callback(handle, lParam)) return false;
  }
  return true;
}

// --- Procedures ---

intptr_t FakeWindows::DefWindowProcA(WindowHandle handle, uint32_t message, uintptr_t, intptr_t) {
  if (message == win::kWmClose) DestroyWindow(handle);
  if (message == win::kWmPaint) Validate(handle, nullptr);
  return 0;
}

intptr_t FakeWindows::Call(FakeWindow& window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) {
  WindowHandle handle = window.handle;
  if (window.dialogProc != nullptr) {
    intptr_t handled = window.dialogProc(handle, message, wParam, lParam);
    // What the dialog manager does with a message the procedure leaves.
    if (handled == 0 && message == win::kWmClose) {
      SendMessageW(handle, win::kWmCommand, win::kIdCancel, 0);
    }
    return handled;
  }
  if (window.proc != nullptr) return window.proc(handle, message, wParam, lParam);
  if (window.className == "Button") return ButtonProc(window, message, wParam, lParam);
  return DefWindowProcA(handle, message, wParam, lParam);
}

intptr_t FakeWindows::SendMessageW(WindowHandle handle, uint32_t message, uintptr_t wParam,
                                   intptr_t lParam) {
  FakeWindow* window = Alive(handle);
  if (window == nullptr) {
    InvalidHandle();
    return 0;
  }
  return Call(*window, message, wParam, lParam);
}

intptr_t FakeWindows::ButtonProc(FakeWindow& button, uint32_t message, uintptr_t wParam,
                                 intptr_t lParam) {
  switch (message) {
    case win::kBmGetCheck:
      return button.check;
    case win::kBmSetCheck:
      button.check = static_cast<uint32_t>(wParam);
      return 0;
    case win::kBmClick:
      Click(button);
      return 0;
    default:
      return DefWindowProcA(button.handle, message, wParam, lParam);
  }
}

// A click on a button: an automatic radio button becomes the only checked
// one of its group (from the last control with kWsGroup up to the next), an
// automatic check box toggles, and the parent gets WM_COMMAND/BN_CLICKED.
void FakeWindows::Click(FakeWindow& button) {
  if (!button.enabled) return;
  WindowHandle handle = button.handle;
  WindowHandle parent = button.parent;
  if (ButtonType(button) == win::kBsAutoCheckBox) button.check = button.check == 0 ? 1 : 0;
  if (ButtonType(button) == win::kBsAutoRadioButton) {
    std::vector<WindowHandle> siblings = Children(parent);
    auto at = std::find(siblings.begin(), siblings.end(), handle);
    auto first = at;
    while (first != siblings.begin() && (windows_[*first].style & win::kWsGroup) == 0) --first;
    auto last = at + 1;
    while (last != siblings.end() && (windows_[*last].style & win::kWsGroup) == 0) ++last;
    for (auto it = first; it != last; ++it) {
      FakeWindow& other = windows_[*it];
      if (other.className == "Button" && ButtonType(other) == win::kBsAutoRadioButton) {
        other.check = 0;
      }
    }
    button.check = 1;
  }
  SendMessageW(parent, win::kWmCommand,
               platform::MakeLong(static_cast<uint16_t>(button.id), win::kBnClicked),
               static_cast<intptr_t>(handle));
}

// --- The queue ---

bool FakeWindows::PostMessageA(WindowHandle handle, uint32_t message, uintptr_t wParam,
                               intptr_t lParam) {
  if (state_.Injected("PostMessageA", {})) return false;
  if (handle != 0 && Alive(handle) == nullptr) return InvalidHandle();
  posted_.push_back(platform::Message{handle, message, wParam, lParam});
  return true;
}

void FakeWindows::PostQuitMessage(int32_t exitCode) { quitPending_ = exitCode; }

void FakeWindows::EndProgram() {
  // Destroying runs window procedures, which may change the window list.
  std::vector<WindowHandle> own;
  for (const auto& [handle, window] : windows_) {
    if (window.alive && !window.foreign && window.parent == 0) own.push_back(handle);
  }
  for (WindowHandle handle : own) {
    if (Alive(handle) != nullptr) DestroyWindow(handle);
  }
  classes_.clear();
  posted_.clear();
  timers_.clear();
  quitPending_.reset();
  quitCode_.reset();
  starved_ = false;
}

bool FakeWindows::NextPaint(platform::Message* out) {
  for (auto& [handle, window] : windows_) {
    if (!window.alive || !window.invalid || !IsWindowVisible(handle)) continue;
    if (window.paintSent) {
      // The last WM_PAINT left the window invalid; Windows would send it
      // forever. Count it and let the window be.
      ++unvalidatedPaints_;
      window.invalid = window.paintSent = false;
      continue;
    }
    window.paintSent = true;
    *out = platform::Message{handle, win::kWmPaint, 0, 0};
    return true;
  }
  return false;
}

bool FakeWindows::NextQueued(platform::Message* out) {
  if (!posted_.empty()) {
    *out = posted_.front();
    posted_.pop_front();
    return true;
  }
  if (quitPending_) {
    *out = platform::Message{0, win::kWmQuit, static_cast<uintptr_t>(*quitPending_), 0};
    quitCode_ = quitPending_;
    quitPending_.reset();
    return true;
  }
  return NextPaint(out);
}

bool FakeWindows::NextDueTimer(platform::Message* out) {
  uint32_t now = state_.settings.tickCount;
  for (FakeTimer& timer : timers_) {
    if (static_cast<int32_t>(now - timer.due) < 0) continue;
    timer.due = now + timer.elapseMs;
    *out = platform::Message{timer.window, win::kWmTimer, timer.id, 0};
    return true;
  }
  return false;
}

int32_t FakeWindows::GetMessageW(platform::Message* out) {
  for (;;) {
    if (NextQueued(out) || NextDueTimer(out)) return out->message == win::kWmQuit ? 0 : 1;
    if (!idle_.empty()) {
      std::function<void()> action = std::move(idle_.front());
      idle_.pop_front();
      action();
      continue;
    }
    if (timers_.empty()) {
      starved_ = true;
      state_.Fail(win::kErrorInvalidWindowHandle);
      return -1;
    }
    // Wait: the clock runs on to the next timer.
    uint32_t now = state_.settings.tickCount;
    uint32_t wait = UINT32_MAX;
    for (const FakeTimer& timer : timers_) {
      int32_t left = static_cast<int32_t>(timer.due - now);
      wait = std::min(wait, left < 0 ? 0u : static_cast<uint32_t>(left));
    }
    state_.settings.tickCount = now + wait;
  }
}

intptr_t FakeWindows::DispatchMessageW(const platform::Message& message) {
  if (message.window == 0) return 0;  // a thread message has no procedure
  return SendMessageW(message.window, message.message, message.wParam, message.lParam);
}

int FakeWindows::DispatchPosted() {
  int dispatched = 0;
  platform::Message message;
  while (NextQueued(&message)) {
    if (message.message == win::kWmQuit) break;
    if (message.window != 0) ++dispatched;
    DispatchMessageW(message);
  }
  return dispatched;
}

// --- Timers ---

uintptr_t FakeWindows::SetTimer(WindowHandle window, uintptr_t id, uint32_t elapseMs) {
  if (state_.Injected("SetTimer", {})) return 0;
  if (window != 0 && Alive(window) == nullptr) {
    InvalidHandle();
    return 0;
  }
  if (window == 0) id = nextThreadTimer_++;
  // Windows clamps the period to at least 10 ms.
  uint32_t elapse = std::max<uint32_t>(elapseMs, 10);
  uint32_t due = state_.settings.tickCount + elapse;
  for (FakeTimer& timer : timers_) {
    if (timer.window == window && timer.id == id) {
      timer.elapseMs = elapse;
      timer.due = due;
      return id;
    }
  }
  timers_.push_back(FakeTimer{window, id, elapse, due});
  return window == 0 ? id : (id == 0 ? 1 : id);
}

bool FakeWindows::KillTimer(WindowHandle window, uintptr_t id) {
  auto found = std::find_if(timers_.begin(), timers_.end(), [&](const FakeTimer& timer) {
    return timer.window == window && timer.id == id;
  });
  if (found == timers_.end()) return state_.Fail(win::kErrorInvalidParameter);
  timers_.erase(found);
  return true;
}

bool FakeWindows::FireTimer(WindowHandle window, uintptr_t id) {
  for (FakeTimer& timer : timers_) {
    if (timer.window != window || timer.id != id) continue;
    timer.due = state_.settings.tickCount + timer.elapseMs;
    SendMessageW(window, win::kWmTimer, id, 0);
    return true;
  }
  return false;
}

// --- Dialogs ---

void FakeWindows::AddDialogTemplate(const std::u16string& name, DialogTemplate dialogTemplate) {
  templates_[FoldedWide(name)] = std::move(dialogTemplate);
}

void FakeWindows::QueueDialogScript(std::vector<DialogStep> steps) {
  scripts_.push_back(std::move(steps));
}

std::map<int32_t, uint32_t> FakeWindows::CheckStates(WindowHandle dialog) const {
  std::map<int32_t, uint32_t> checks;
  for (const auto& [handle, window] : windows_) {
    if (window.alive && window.parent == dialog && window.className == "Button") {
      checks[static_cast<int32_t>(window.id)] = window.check;
    }
  }
  return checks;
}

void FakeWindows::RunStep(DialogRecord& record, FakeWindow& dialog, const DialogStep& step) {
  WindowHandle handle = dialog.handle;
  switch (step.kind) {
    case DialogStep::Kind::kClick: {
      FakeWindow* control = Alive(GetDlgItem(handle, step.id));
      if (control == nullptr || !control->enabled || control->className != "Button") {
        record.ignoredClicks.push_back(step.id);
        return;
      }
      Click(*control);
      return;
    }
    case DialogStep::Kind::kCommand:
      SendMessageW(handle, win::kWmCommand, static_cast<uint16_t>(step.id), 0);
      return;
    case DialogStep::Kind::kEscape:
      // The dialog manager turns Escape into the Cancel command.
      SendMessageW(handle, win::kWmCommand, kIdCancelControl,
                   static_cast<intptr_t>(GetDlgItem(handle, kIdCancelControl)));
      return;
    case DialogStep::Kind::kClose:
      SendMessageW(handle, win::kWmClose, 0, 0);
      return;
  }
}

intptr_t FakeWindows::DialogBoxParamW(platform::InstanceHandle instance,
                                      const std::u16string& templateName, WindowHandle owner,
                                      platform::DialogProc dialogProc, intptr_t initParam) {
  if (state_.Injected("DialogBoxParamW",
                      {Utf16ToAnsi(state_.settings.ansiCodePage, templateName)})) {
    return -1;
  }
  auto found = templates_.find(FoldedWide(templateName));
  if (instance != kModule || found == templates_.end()) {
    state_.Fail(win::kErrorResourceNameNotFound);
    return -1;
  }
  if ((owner != 0 && Alive(owner) == nullptr) || dialogProc == nullptr) {
    InvalidHandle();
    return -1;
  }
  const DialogTemplate& dialogTemplate = found->second;
  FakeWindow window;
  window.className = "#32770";
  window.dialogProc = dialogProc;
  window.text = dialogTemplate.caption;
  window.style = (dialogTemplate.style | win::kWsVisible) & ~win::kWsChild;
  window.owner = owner;
  window.rect = dialogTemplate.rect;
  WindowHandle dialog = NewWindow(std::move(window));
  WindowHandle firstControl = 0;
  for (const DialogControl& control : dialogTemplate.controls) {
    FakeWindow child;
    std::string key = Folded(Utf16ToAnsi(state_.settings.ansiCodePage, control.className));
    const char* system = SystemClass(key);
    child.className = system != nullptr ? system : "Static";
    child.text = control.text;
    child.style = control.style | win::kWsChild | win::kWsVisible;
    child.parent = dialog;
    child.id = static_cast<uintptr_t>(static_cast<uint16_t>(control.id));
    child.rect = control.rect;
    WindowHandle made = NewWindow(std::move(child));
    if (firstControl == 0) firstControl = made;
  }

  DialogRecord record;
  record.templateName = templateName;
  record.owner = owner;
  record.dialog = dialog;
  record.initParam = initParam;
  bool ownerWasDisabled = owner != 0 && EnableWindow(owner, false);
  record.ownerDisabled = owner != 0 && !IsWindowEnabled(owner);
  std::vector<DialogStep> steps;
  if (!scripts_.empty()) {
    steps = std::move(scripts_.front());
    scripts_.pop_front();
  }
  SendMessageW(dialog, win::kWmInitDialog, firstControl, initParam);
  record.checks.push_back(CheckStates(dialog));
  for (const DialogStep& step : steps) {
    const FakeWindow* open = Alive(dialog);
    if (open == nullptr || open->dialogEnded) break;
    RunStep(record, *Alive(dialog), step);
    record.checks.push_back(CheckStates(dialog));
  }
  const FakeWindow& closed = windows_[dialog];
  record.ended = closed.dialogEnded;
  record.result = closed.dialogEnded ? closed.dialogResult : -1;
  record.rect = closed.rect;
  if (Alive(dialog) != nullptr) DestroyWindow(dialog);
  if (owner != 0 && Alive(owner) != nullptr) EnableWindow(owner, !ownerWasDisabled);
  dialogs_.push_back(std::move(record));
  return dialogs_.back().result;
}

bool FakeWindows::EndDialog(WindowHandle dialog, intptr_t result) {
  FakeWindow* window = Alive(dialog);
  if (window == nullptr || window->dialogProc == nullptr) return InvalidHandle();
  window->dialogEnded = true;
  window->dialogResult = result;
  return true;
}

WindowHandle FakeWindows::GetDlgItem(WindowHandle dialog, int32_t id) {
  for (WindowHandle child : Children(dialog)) {
    if (windows_[child].id == static_cast<uintptr_t>(static_cast<uint16_t>(id))) return child;
  }
  state_.Fail(win::kErrorInvalidWindowHandle);
  return 0;
}

bool FakeWindows::CheckDlgButton(WindowHandle dialog, int32_t id, uint32_t check) {
  FakeWindow* button = Alive(GetDlgItem(dialog, id));
  if (button == nullptr || button->className != "Button") return false;
  button->check = check;
  return true;
}

uint32_t FakeWindows::IsDlgButtonChecked(WindowHandle dialog, int32_t id) {
  const FakeWindow* button = Alive(GetDlgItem(dialog, id));
  return button != nullptr && button->className == "Button" ? button->check : win::kBstUnchecked;
}

intptr_t FakeWindows::SendDlgItemMessageW(WindowHandle dialog, int32_t id, uint32_t message,
                                          uintptr_t wParam, intptr_t lParam) {
  WindowHandle control = GetDlgItem(dialog, id);
  if (control == 0) return 0;
  return SendMessageW(control, message, wParam, lParam);
}

}  // namespace zv::fake
