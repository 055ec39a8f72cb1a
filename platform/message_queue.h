// The thread's message queue: sending, posting, the message loop and timers.
#pragma once

#include <cstdint>

#include "platform/gui_types.h"

namespace zv::platform {

// The fields of MSG that the loop passes on.
struct Message {
  WindowHandle window = 0;
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

class MessageQueue {
 public:
  virtual ~MessageQueue() = default;

  // SendMessageW: runs the window's procedure now and returns its answer.
  virtual intptr_t SendMessageW(WindowHandle window, uint32_t message, uintptr_t wParam,
                                intptr_t lParam) = 0;
  // PostMessageA: queues the message for the window (0: for the thread).
  virtual bool PostMessageA(WindowHandle window, uint32_t message, uintptr_t wParam,
                            intptr_t lParam) = 0;
  // PostQuitMessage: the loop ends with WM_QUIT carrying `exitCode` once the
  // posted messages before it are handled.
  virtual void PostQuitMessage(int32_t exitCode) = 0;

  // GetMessageW(msg, NULL, 0, 0): waits for the next message. Returns a
  // positive value for a message, 0 for WM_QUIT (its code in out->wParam),
  // -1 on failure.
  virtual int32_t GetMessageW(Message* out) = 0;
  virtual bool TranslateMessage(const Message& message) = 0;
  // DispatchMessageW: hands the message to its window's procedure.
  virtual intptr_t DispatchMessageW(const Message& message) = 0;

  // SetTimer without a timer procedure: WM_TIMER with wParam `id` arrives
  // every `elapseMs`. Returns the id, 0 on failure.
  virtual uintptr_t SetTimer(WindowHandle window, uintptr_t id, uint32_t elapseMs) = 0;
  virtual bool KillTimer(WindowHandle window, uintptr_t id) = 0;
};

// The loop of a GUI program: get, translate and dispatch until WM_QUIT.
// Returns the quit code, or -1 when getting a message failed.
inline int32_t RunMessageLoop(MessageQueue& queue) {
  Message message;
  for (;;) {
    int32_t got = queue.GetMessageW(&message);
    if (got == 0) return static_cast<int32_t>(message.wParam);
    if (got < 0) return -1;
    queue.TranslateMessage(message);
    queue.DispatchMessageW(message);
  }
}

}  // namespace zv::platform
