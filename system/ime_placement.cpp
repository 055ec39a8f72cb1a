#include "system/ime_placement.h"

#include "package/extract.h"
#include "package/file_io.h"
#include "package/file_replace.h"
#include "package/package_entries.h"
#include "package/package_resource.h"
#include "package/record_name.h"
#include "package/user_data_backup.h"
#include "package/work_buffer.h"
#include "platform/scoped_fs_redirection.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "platform/win_constants.h"
#include "state/message_text.h"
#include "state/package_state.h"
#include "state/run_state.h"
#include "state/window_hooks.h"
#include "system/install_locations.h"
#include "system/integrity_level.h"
#include "system/registry_entries.h"
#include "system/system_texts.h"
#include "system/version_stamp.h"

namespace zv {

namespace {

constexpr uint32_t kPauseMs = 50;

std::string InInstallDir(const char* name) { return InstallDir.str() + name; }

void ClearAttributes(const std::string& path) {
  platform::Files().SetFileAttributesA(path, win::kAttributeArchive);
}

bool CopyOver(const std::string& source, const std::string& target) {
  return platform::Files().CopyFileA(source, target, false);
}

// The 32-bit or 64-bit language variant for this code page.
std::string LanguageVariant(bool sixtyFourBit) {
  const char* name =
      sixtyFourBit ? (UiCodePage == 950 ? entries::kVariant64Cp950 : entries::kVariant64Cp936)
                   : (UiCodePage == 950 ? entries::kVariant32Cp950 : entries::kVariant32Cp936);
  return InInstallDir(name);
}

std::string StampedVariant(bool sixtyFourBit) {
  const std::string variant = LanguageVariant(sixtyFourBit);
  StampImeVersion(variant);
  return variant;
}

void ShowExtractionIncomplete() {
  std::u16string text = texts::kExtractIncompleteStart;
  text += texts::kHomePage;
  text += texts::kExtractIncompleteEnd;
  platform::Boxes().MessageBoxW(text, texts::kShapeCodeSetupCaption, win::kMbOk);
}

// Returns the user's answer (0 when the question could not be shown).
int AskToKeepEarlierData() {
  const char16_t* question = InstallDir.view() == PreviousInstallDir.view()
                                 ? texts::kKeepDataInInstallDir
                                 : texts::kKeepDataElsewhere;
  const int answer = platform::Boxes().MessageBoxW(question, texts::kSetupCaption, win::kMbYesNo);
  if (answer == win::kIdYes) BackupState = kBackupKeepOldData;
  return answer;
}

bool ExtractPackageRecords(UserFileRecords userFiles) {
  if (PackageResource.data == nullptr || WorkBuffer == nullptr) return false;
  ExtractRules rules;
  rules.isUserFile = IsUserDataFile;
  rules.userFiles = userFiles;
  return ExtractContainer(ContainerBytes{PackageResource.data, PackageResource.size},
                          InstallDir.view(), WorkBufferScratch(), rules);
}

void ExtractPackage() {
  // DeleteFileForced clears the attributes of a file that is there first.
  for (const char* companion : {entries::kStartupProgramVista, entries::kStartupProgram}) {
    DeleteFileForced(InInstallDir(companion));
  }
  // Data files of the earlier install that the backup could not take stay
  // as they are: the package's copies would replace them for good.
  const bool overUnsavedData =
      UserDataUnsaved == 1 &&
      (PreviousInstallDir.empty() || SameFileName(InstallDir.view(), PreviousInstallDir.view()));
  OptionRecordKept = overUnsavedData && FileMayExist(InInstallDir(entries::kOptionRecord)) ? 1 : 0;
  if (!ExtractPackageRecords(overUnsavedData ? UserFileRecords::kKeepExisting
                                             : UserFileRecords::kWrite)) {
    ShowExtractionIncomplete();
    return;
  }
  if (BackupState != kBackupComplete) return;
  // Only a No said by the user lets the package's copies take the place of
  // the user's files that stayed; a question that could not be shown keeps
  // them.
  if (AskToKeepEarlierData() != win::kIdNo || !overUnsavedData) return;
  OptionRecordKept = 0;
  if (!ExtractPackageRecords(UserFileRecords::kOnly)) ShowExtractionIncomplete();
}

// On 6.0 and later the companion started at log-on is the variant built for it.
void ReplaceCompanion() {
  const std::string companion = InInstallDir(entries::kStartupProgram);
  DeleteFileForced(companion);
  platform::Files().MoveFileA(InInstallDir(entries::kStartupProgramVista), companion);
}

// The file calls of PlaceFile: clear the attributes, copy, and when that
// fails move the target aside and copy again. False when both copies failed.
bool CopyMovingAside(const std::string& source, const std::string& target) {
  ClearAttributes(target);
  if (CopyOver(source, target)) return true;
  MoveLockedFileAside(target);
  return CopyOver(source, target);
}

// The uninstaller's copy: no move-aside retry.
bool CopyUninstaller(const std::string& source, const std::string& target) {
  ClearAttributes(target);
  return CopyOver(source, target);
}

using CopyCalls = bool (*)(const std::string& source, const std::string& target);

std::string UninstallerTarget() { return FileInFolder(SystemDir.view(), entries::kUninstaller32); }

// Copies into the native system folder of a 64-bit Windows, which a 32-bit
// installer only reaches with the WOW64 redirection switched off; it would
// otherwise be sent to SysWOW64 and overwrite the 32-bit IME placed there a
// moment ago. Only the file calls run without redirection: loading a DLL
// then fails, and a delay-loaded function that failed once stays failed, so
// the message of a failed copy waits until redirection is back on.
void PlaceNatively(CopyCalls copy, const std::string& source, const std::string& target) {
  bool copied = false;
  {
    platform::ScopedFsRedirectionOff native;
    copied = copy(source, target);
  }
  if (!copied) ShowCopyFailure(target);
}

void PlaceOn64BitSystem(PlacementPass pass) {
  MakeSysWow64Path(&SysWow64Dir);
  const std::string wow64Source =
      pass == PlacementPass::kFirst ? StampedVariant(false) : InInstallDir(entries::kPlacedIme32);
  PlaceFile(wow64Source, FileInFolder(SysWow64Dir.view(), entries::kFullIme32));

  RefreshSystemDir();
  const std::string nativeSource =
      pass == PlacementPass::kFirst ? StampedVariant(true) : InInstallDir(entries::kFullIme64);
  PlaceNatively(CopyMovingAside, nativeSource, FileInFolder(SystemDir.view(), entries::kFullIme32));
  if (pass == PlacementPass::kFirst) {
    PlaceNatively(CopyUninstaller, InInstallDir(entries::kUninstaller64), UninstallerTarget());
    ReplaceCompanion();
  }
}

void PlaceOn32BitSystem(PlacementPass pass) {
  RefreshSystemDir();
  const bool vistaOrLater = WindowsMajorVersion >= 6;
  std::string source;
  if (pass == PlacementPass::kFirst) {
    if (vistaOrLater) ReplaceCompanion();
    source = StampedVariant(false);
  } else {
    source = InInstallDir(vistaOrLater ? entries::kPlacedIme32 : entries::kFullIme32);
  }
  PlaceFile(source, FileInFolder(SystemDir.view(), entries::kFullIme32));
  if (pass == PlacementPass::kFirst) {
    const std::string target = UninstallerTarget();
    if (!CopyUninstaller(InInstallDir(entries::kUninstaller32), target)) ShowCopyFailure(target);
  }
}

void RemoveLanguageVariants() {
  for (const char* name : {entries::kVariant32Cp936, entries::kVariant32Cp950,
                           entries::kVariant64Cp936, entries::kVariant64Cp950}) {
    DeleteFileForced(InInstallDir(name));
  }
}

}  // namespace

void ShowCopyFailure(const std::string& target) {
  const std::u16string text =
      FillNameSlot<char16_t>(texts::kCopyFailed, platform::Codec().MultiByteToWideChar(target));
  platform::Boxes().MessageBoxW(text, texts::kShapeCodeSetupCaption, win::kMbOk);
}

void PlaceFile(const std::string& source, const std::string& target) {
  if (!CopyMovingAside(source, target)) ShowCopyFailure(target);
}

void PlaceImeFiles(PlacementPass pass) {
  platform::Files().CreateDirectoryA(InstallDir.str());
  if (WindowsMajorVersion > 5) LowerIntegrityLevel();
  // Only the wizard's window is asked to paint, never in the silent mode.
  const bool interactive = RunMode != kRunModeSilent;
  if (interactive) RequestInstallPathRedraw();
  platform::System().Sleep(kPauseMs);
  if (pass == PlacementPass::kFirst) ExtractPackage();
  if (interactive) RequestInstallPathRedraw();

  ClearAttributes(InInstallDir(entries::kPlacedIme32));
  CopyOver(InInstallDir(entries::kFullIme32), InInstallDir(entries::kPlacedIme32));
  CopyOver(InInstallDir(entries::kShapeCodePhrases), InInstallDir(entries::kShapeCodeWorkingCopy));
  CopyOver(InInstallDir(entries::kPinyinPhrases), InInstallDir(entries::kPinyinWorkingCopy));
  platform::System().Sleep(kPauseMs);
  if (interactive) RequestProgress(0, 64);

  if (DetectSystem() == 1) {
    PlaceOn64BitSystem(pass);
  } else {
    PlaceOn32BitSystem(pass);
  }

  if (pass == PlacementPass::kFirst) {
    StampImeVersion(InInstallDir(entries::kCompanion64));
    WriteUninstallEntry();
  } else {
    RemoveLanguageVariants();
  }
}

}  // namespace zv
