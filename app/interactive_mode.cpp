#include "app/run_modes.h"
#include "platform/message_queue.h"
#include "platform/services.h"
#include "ui/main_window.h"

namespace zv {

int RunInteractiveMode(void* instance, int showCommand) {
  const auto module = reinterpret_cast<platform::InstanceHandle>(instance);
  if (RegisterMainClass(module) == 0 || CreateMainWindow(module, showCommand) == 0) return 0;
  return platform::RunMessageLoop(platform::Messages());
}

}  // namespace zv
