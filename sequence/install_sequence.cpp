#include "sequence/install_sequence.h"

#include <string>

#include "package/file_replace.h"
#include "package/package_entries.h"
#include "platform/scoped_fs_redirection.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "settings/ime_settings_files.h"
#include "state/run_state.h"
#include "state/wizard_state.h"
#include "system/access_rights.h"
#include "system/ime_placement.h"
#include "system/ime_registration.h"
#include "system/install_locations.h"
#include "system/integrity_level.h"
#include "system/layout_registration.h"
#include "system/preload_list.h"
#include "system/preload_reorder.h"
#include "system/registry_entries.h"
#include "system/system_texts.h"

namespace zv {

namespace {

void ShowImeLocked() {
  platform::Boxes().MessageBoxW(texts::kImeLocked, texts::kSetupCaption, win::kMbOk);
}

void PrepareInstallDir() {
  RefreshSystemDir();
  RememberInstallDir();
  platform::Files().CreateDirectoryA(InstallDir.str());
  GrantUserFullAccess(InstallDir.str());
  // Made after the grant so that it inherits it.
  platform::Files().CreateDirectoryA(InstallDir.str() + "filer\\");
}

// The 32-bit IME in SysWOW64: a file that will not go away needs a restart
// even when it could be moved aside. Returns false when it is stuck.
bool ReleaseSysWow64Ime() {
  LowerIntegrityLevel();
  MakeSysWow64Path(&SysWow64Dir);
  const std::string path = FileInFolder(SysWow64Dir.view(), entries::kFullIme32);
  if (DeleteFileForced(path) == 0) return true;
  RestartRequired = 1;
  return MoveLockedFileAside(path) == 0;
}

// The IME in the system directory; on 64-bit Windows the native one, which
// only a call without redirection reaches.
bool ReleaseSystemIme() {
  platform::ScopedFsRedirectionOff native;
  const std::string path = FileInFolder(SystemDir.view(), entries::kFullIme32);
  if (DeleteFileForced(path) == 0) return true;
  if (MoveLockedFileAside(path) == 0) return true;
  RestartRequired = 1;
  return false;
}

// Frees the IME files an earlier install left in the system folders.
// Returns false when one of them is held so that the install must stop.
bool ReleaseHeldIme() {
  RefreshSystemDir();
  if (DetectSystem() == 1 && !ReleaseSysWow64Ime()) return false;
  return ReleaseSystemIme();
}

void RegisterIme() {
  ImeRegistered = RegisterImeWithSystem();
  if (ImeRegistered == 0) RegisterLayoutByHand();
  if (WindowsMajorVersion < 6) {
    FindImeInPreload();
    MoveImeToSecondPlace();
  }
}

void StartSixtyFourBitCompanion() {
  const std::string dir = InstallDir.str();
  platform::Programs().WinExec(dir + entries::kCompanion64 + " regzv32=" + dir, win::kSwShowNormal);
}

}  // namespace

InstallOutcome InstallSequence() {
  // The wizard's install comes as long after the start-up probe as the user
  // takes: drives may have come or gone since.
  if (RunMode != kRunModeSilent) ForgetFixedDriveDir();
  PrepareInstallDir();
  if (RunMode != kRunModeSilent) DetectSystem();
  WriteImeSettingsFiles(WebAddress.view());
  FindImeInPreload();
  RestartRequired = 0;
  if (ImeInPreload != 0 && !ReleaseHeldIme()) {
    ShowImeLocked();
    return InstallOutcome::kStopped;
  }
  PlaceImeFiles(PlacementPass::kFirst);
  RegisterIme();
  PlaceImeFiles(PlacementPass::kSecond);
  MarkUserAgent();
  WriteStartupEntry(InstallDir.str() + entries::kStartupProgram + " zv");
  if (DetectSystem() == 1) StartSixtyFourBitCompanion();
  return InstallOutcome::kRanToItsEnd;
}

}  // namespace zv
