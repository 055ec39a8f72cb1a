#include "app/run_modes.h"

namespace zv {

int RunInteractiveMode(void* /*instance*/, int /*showCommand*/) {
  // The wizard window and its message loop come with the installer window;
  // until then the interactive mode ends without a window.
  return 0;
}

}  // namespace zv
