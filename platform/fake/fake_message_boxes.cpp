#include "platform/fake/fake_message_boxes.h"

#include <utility>

#include "platform/fake/code_page.h"
#include "platform/win_constants.h"

namespace zv::fake {
namespace {

constexpr uint32_t kButtonMask = 0xF;
constexpr uint32_t kMbYesNoCancel = 0x3;

int DefaultAnswer(uint32_t style) {
  uint32_t buttons = style & kButtonMask;
  return buttons == win::kMbYesNo || buttons == kMbYesNoCancel ? win::kIdYes : win::kIdOk;
}

}  // namespace

int FakeMessageBoxes::MessageBoxA(const std::string& text, const std::string& caption,
                                  uint32_t type) {
  state_.NoteModuleLoad("MessageBoxA", text);
  if (state_.Injected("MessageBoxA", {text, caption})) return 0;
  uint32_t codePage = state_.settings.ansiCodePage;
  return Show(MessageBoxRecord{AnsiToUtf16(codePage, text), AnsiToUtf16(codePage, caption), type, 0,
                               false, text, caption});
}

int FakeMessageBoxes::MessageBoxW(const std::u16string& text, const std::u16string& caption,
                                  uint32_t type) {
  uint32_t codePage = state_.settings.ansiCodePage;
  state_.NoteModuleLoad("MessageBoxW", Utf16ToAnsi(codePage, text));
  if (state_.Injected("MessageBoxW",
                      {Utf16ToAnsi(codePage, text), Utf16ToAnsi(codePage, caption)})) {
    return 0;
  }
  return Show(MessageBoxRecord{text, caption, type, 0, true, "", ""});
}

int FakeMessageBoxes::Show(MessageBoxRecord record) {
  if (!whileOpen_.empty()) {
    const std::function<void()> action = std::move(whileOpen_.front());
    whileOpen_.pop_front();
    action();
  }
  record.answer = DefaultAnswer(record.style);
  if (!answers_.empty()) {
    record.answer = answers_.front();
    answers_.pop_front();
  }
  boxes_.push_back(std::move(record));
  return boxes_.back().answer;
}

}  // namespace zv::fake
