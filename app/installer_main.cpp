#include "app/installer_main.h"

#include <string_view>

#include "app/administrator_check.h"
#include "app/app_texts.h"
#include "app/command_line.h"
#include "app/exit_codes.h"
#include "app/run_modes.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "state/run_state.h"
#include "state/wizard_state.h"
#include "system/install_locations.h"

namespace zv {

int InstallerMain(void* instance, void* /*previousInstance*/, const char* commandLine,
                  int showCommand) {
  WizardPage = 0;
  UiCodePage = platform::System().GetOEMCP();
  RunMode = kRunModeInteractive;

  // The switches are read before the check only so that a silent run can
  // tell its caller that it installed nothing.
  const std::string_view arguments = commandLine != nullptr ? commandLine : "";
  const bool companionRequested = ContainsIgnoreCase(arguments, "regzv32") == 1;
  const bool silentRequested =
      !companionRequested && ContainsIgnoreCase(arguments, "setzvsrf32") == 1;

  InstallDir = ChooseInstallDir();
  if (CheckAdministrator() == 1) {
    platform::Boxes().MessageBoxW(texts::kAdministratorRequired, texts::kProductCaption,
                                  win::kMbOk);
    return silentRequested ? kExitNotInstalled : 0;
  }

  if (silentRequested) RunMode = kRunModeSilent;

  if (DetectSystem() == 1 && companionRequested) return RunCompanionMode(arguments);
  if (RunMode == kRunModeSilent) return RunSilentMode();
  return RunInteractiveMode(instance, showCommand);
}

}  // namespace zv
