#include "app/run_state.h"

namespace zv {

uint32_t UiCodePage = 0;
int32_t RunMode = kRunModeInteractive;
int32_t EditionFlag = 0;
int32_t WindowMode = 0;

void ResetRunState() {
  UiCodePage = 0;
  RunMode = kRunModeInteractive;
  EditionFlag = 0;
  WindowMode = 0;
}

}  // namespace zv
