// Message boxes of the fake machine: every box is logged, answers come from
// a script.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/fake/machine_state.h"
#include "platform/message_boxes.h"

namespace zv::fake {

struct MessageBoxRecord {
  std::u16string text;  // 8-bit boxes converted through the ANSI code page
  std::u16string caption;
  uint32_t style = 0;
  int answer = 0;
  bool wide = false;  // MessageBoxW
  std::string text8;  // the bytes of an 8-bit box
  std::string caption8;
};

class FakeMessageBoxes : public platform::MessageBoxes {
 public:
  explicit FakeMessageBoxes(MachineState& state) : state_(state) {}

  int MessageBoxA(const std::string& text, const std::string& caption, uint32_t type) override;
  int MessageBoxW(const std::u16string& text, const std::u16string& caption,
                  uint32_t type) override;

  // The user's next answer. Without one a box is answered kIdOk, or kIdYes
  // when it has Yes and No buttons.
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  // What the user does in other windows while the next box is open (the box
  // has no owner, so the rest of the program stays clickable); it runs before
  // the box is answered.
  void WhileNextBoxIsOpen(std::function<void()> action) { whileOpen_.push_back(std::move(action)); }
  size_t QueuedAnswers() const { return answers_.size(); }
  const std::vector<MessageBoxRecord>& MessageBoxes() const { return boxes_; }
  void ClearMessageBoxes() { boxes_.clear(); }

 private:
  int Show(MessageBoxRecord record);

  MachineState& state_;
  std::deque<int> answers_;
  std::deque<std::function<void()>> whileOpen_;
  std::vector<MessageBoxRecord> boxes_;
};

}  // namespace zv::fake
