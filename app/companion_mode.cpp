#include "app/app_texts.h"
#include "app/command_line.h"
#include "app/run_modes.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "system/ime_registration.h"
#include "system/install_locations.h"

namespace zv {

int RunCompanionMode(std::string_view commandLine) {
  ParseRegisterPath(commandLine);
  RememberInstallDir();
  // The 32-bit program's view of the system directory is redirected to the
  // 32-bit system folder, so this registers the 32-bit IME. Whether the
  // system accepted it, the user is told to restart if it does not work.
  RegisterImeWithSystem();
  platform::Boxes().MessageBoxW(texts::kCompanionSucceeded, texts::kProductCaption, win::kMbOk);
  return 0;
}

}  // namespace zv
