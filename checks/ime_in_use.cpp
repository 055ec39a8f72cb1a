#include "checks/ime_in_use.h"

#include <cstring>
#include <string_view>

#include "checks/check_texts.h"
#include "platform/scoped_mapping.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "state/install_state.h"
#include "state/package_state.h"

namespace zv {
namespace {

constexpr uint32_t kClassNameCapacity = 100;
constexpr uint32_t kTitleCapacity = 200;
// Far above any real window tree; only stops a chain that never ends.
constexpr int kMaxAncestors = 256;

// What the window enumeration carries from one IME window to the next:
// the installer's process id, whose windows are left out, and the list as
// it is built.
struct ImeWindowSearch {
  uint32_t ownProcess;
  std::u16string list;
};

std::u16string Number(int32_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

// `format` with its "%d" replaced by `value`.
std::u16string Formatted(std::u16string_view format, int32_t value) {
  std::u16string text(format);
  const size_t slot = text.find(u"%d");
  if (slot != std::u16string::npos) text.replace(slot, 2, Number(value));
  return text;
}

// The room, in characters with the terminator, from `offset` to `end`.
size_t Room(size_t offset, size_t end) { return (end - offset) / sizeof(char16_t); }

// Writes `text` as UTF-16 with its terminator at `offset` of WorkBuffer.
void Store(size_t offset, const std::u16string& text) {
  std::memcpy(WorkBuffer + offset, text.c_str(), (text.size() + 1) * sizeof(char16_t));
}

platform::WindowHandle TopmostAncestor(platform::WindowHandle window) {
  for (int i = 0; i < kMaxAncestors; ++i) {
    const platform::WindowHandle parent = platform::Windows().GetParent(window);
    if (parent == 0) break;
    window = parent;
  }
  return window;
}

void AppendLine(platform::WindowHandle imeWindow, std::u16string* list) {
  const platform::WindowHandle owner = platform::Windows().GetParent(imeWindow);
  if (owner == 0) return;
  const platform::WindowHandle program = TopmostAncestor(owner);
  std::u16string line = Formatted(texts::checks::kProgramLineHead, ImeUseCount);
  line += platform::Windows().GetWindowTextW(program, kTitleCapacity);
  line += u"\r\n";
  // The list stays inside WorkBuffer; a line that does not fit is left out.
  if (list->size() + line.size() >= Room(kImeListOffset, kWorkBufferSize)) return;
  if (WorkBuffer != nullptr) Store(kImeLineScratchOffset, line);
  *list += line;
}

// `search` points at the enumeration's ImeWindowSearch. An IME the user
// switched on in the wizard itself shows its window in the installer's
// process, owned by the wizard, and the installer is no program the user
// could close to go on.
bool CountImeWindow(platform::WindowHandle window, intptr_t search) {
  ImeWindowSearch& searching = *reinterpret_cast<ImeWindowSearch*>(search);
  platform::WindowManager& windows = platform::Windows();
  if (windows.GetClassNameA(window, kClassNameCapacity) == kImeWindowClass &&
      windows.GetWindowThreadProcessId(window) != searching.ownProcess) {
    ++ImeUseCount;
    AppendLine(window, &searching.list);
  }
  return true;
}

// The message, with as many whole lines of `list` as its room takes.
std::u16string ComposeMessage(std::u16string list) {
  const std::u16string head = Formatted(texts::checks::kProgramsHead, ImeUseCount);
  std::u16string tail = u"\r\n\r\n";
  tail += texts::checks::kCloseThem;
  tail += u"\r\n";
  tail += texts::checks::kOrRestart;
  const size_t room = Room(kImeMessageOffset, kImeLineScratchOffset) - 1;
  while (!list.empty() && head.size() + list.size() + tail.size() > room) {
    // Every line ends with CR LF: drop the last one.
    const size_t lastEnd = list.size() - 2;
    const size_t previousEnd =
        lastEnd == 0 ? std::u16string::npos : list.rfind(u"\r\n", lastEnd - 1);
    list.resize(previousEnd == std::u16string::npos ? 0 : previousEnd + 2);
  }
  return head + list + tail;
}

}  // namespace

void ListProgramsUsingIme() {
  ImeWindowSearch searching{platform::Programs().GetCurrentProcessId(), std::u16string()};
  if (WorkBuffer != nullptr) Store(kImeListOffset, searching.list);
  ImeUseCount = 0;
  platform::Windows().EnumWindows(CountImeWindow, reinterpret_cast<intptr_t>(&searching));
  if (WorkBuffer != nullptr) Store(kImeListOffset, searching.list);
  if (ImeUseCount == 0) return;
  ImeUseText = ComposeMessage(searching.list);
  if (WorkBuffer != nullptr) Store(kImeMessageOffset, ImeUseText);
}

std::u16string ImeUseMessage() { return ImeUseText; }

int CheckImeSharedMemory() {
  const platform::ScopedMapping mapping(win::kFileMapWrite, true, kImeSharedMemory);
  return mapping.valid() ? 1 : 0;
}

}  // namespace zv
