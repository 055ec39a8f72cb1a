// Every process-wide value is defined here, beside the reset that must name
// each of them.
#include "state/process_state.h"

#include "state/install_state.h"
#include "state/layout_state.h"
#include "state/locations.h"
#include "state/package_state.h"
#include "state/run_state.h"
#include "state/skin_choice.h"
#include "state/window_parts.h"
#include "state/wizard_state.h"

namespace zv {

uint32_t UiCodePage = 0;
int32_t RunMode = kRunModeInteractive;
int32_t EditionFlag = 0;

FixedText<200> InstallDir;
FixedText<256> PreviousInstallDir;
FixedText<200> SystemDir;
FixedText<200> WindowsDir;
FixedText<210> SysWow64Dir;
int32_t WindowsMajorVersion = 0;
FixedText<16> FixedDriveDir;
int32_t FixedDriveSearched = 0;

int32_t WizardPage = 0;
platform::WindowHandle MainWindow = 0;
FixedText<100> WebAddress;
int32_t WizardInstalling = 0;
int32_t WindowMode = 0;
int32_t SkinChoice = 0;
MainWindowParts WindowParts;
SkinChoiceFlags SkinDialogFlags;

PackageBytes PackageResource;
uint8_t* WorkBuffer = nullptr;
int32_t BackupState = kBackupNone;
int32_t UserDataUnsaved = 0;
int32_t OptionRecordKept = 0;

int32_t RestartRequired = 0;
int32_t ImeRegistered = 0;
platform::LayoutHandle InstalledLayout = 0;
int32_t ImeUseCount = 0;
std::u16string ImeUseText;

PreloadListTable PreloadList;
int32_t ImeInPreload = 0;
int32_t ImePreloadPosition = 0;
FixedText<200> LayoutId;

void ResetProcessState() {
  UiCodePage = 0;
  RunMode = kRunModeInteractive;
  EditionFlag = 0;

  InstallDir.clear();
  PreviousInstallDir.clear();
  SystemDir.clear();
  WindowsDir.clear();
  SysWow64Dir.clear();
  WindowsMajorVersion = 0;
  FixedDriveDir.clear();
  FixedDriveSearched = 0;

  WizardPage = 0;
  MainWindow = 0;
  WebAddress.clear();
  WizardInstalling = 0;
  WindowMode = 0;
  SkinChoice = 0;
  WindowParts = MainWindowParts{};
  SkinDialogFlags = SkinChoiceFlags();

  PackageResource = PackageBytes{};
  WorkBuffer = nullptr;
  BackupState = kBackupNone;
  UserDataUnsaved = 0;
  OptionRecordKept = 0;

  RestartRequired = 0;
  ImeRegistered = 0;
  InstalledLayout = 0;
  ImeUseCount = 0;
  ImeUseText.clear();

  PreloadList.Clear();
  ImeInPreload = 0;
  ImePreloadPosition = 0;
  LayoutId.clear();
}

}  // namespace zv
