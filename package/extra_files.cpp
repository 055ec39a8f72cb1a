#include "package/extra_files.h"

#include <cstring>
#include <initializer_list>

#include "package/extract.h"
#include "package/file_io.h"
#include "package/package_entries.h"
#include "package/package_texts.h"
#include "package/verify.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "platform/win_constants.h"
#include "state/locations.h"
#include "state/package_state.h"
#include "state/window_hooks.h"
#include "state/wizard_state.h"

namespace zv {
namespace {

void ShowProblem(const std::u16string& text) {
  platform::Boxes().MessageBoxW(text, texts::kProductCaption, win::kMbOk);
}

// Reads at most kSkinArchiveRoom bytes of the archive into WorkBuffer.
// Returns false when the file cannot be read or WorkBuffer is not reserved.
bool ReadSkinArchive(const std::string& path, ContainerBytes* archive) {
  std::string bytes;
  if (WorkBuffer == nullptr || !ReadFileBytes(path, kSkinArchiveRoom, &bytes)) return false;
  std::memcpy(WorkBuffer, bytes.data(), bytes.size());
  *archive = ContainerBytes{WorkBuffer, bytes.size()};
  return true;
}

// A failure list of VerifyContainer in UTF-16: the 8-bit names (and their
// "....") converted from the ANSI code page, and the closing sentence, 8-bit
// only in the list, taken from its UTF-16 form so that it reads right on
// code pages that lack some of its characters.
std::u16string WideFailList(const std::string& failList) {
  platform::TextCodec& codec = platform::Codec();
  const std::string closing = codec.WideCharToMultiByte(texts::kVerifyIncomplete);
  if (failList.size() < closing.size() ||
      failList.compare(failList.size() - closing.size(), closing.size(), closing) != 0) {
    return codec.MultiByteToWideChar(failList);
  }
  const std::string_view names(failList.data(), failList.size() - closing.size());
  return codec.MultiByteToWideChar(names) + texts::kVerifyIncomplete;
}

bool Opens(const std::string& path) {
  return platform::Files().CreateFileA(path, win::kGenericRead, win::kFileShareRead,
                                       win::kOpenExisting, win::kAttributeNormal) != nullptr;
}

// The package's files in the install directory: the failure list in UTF-16,
// empty when every file passed. Without the package nothing can pass.
std::u16string PackageFailures(const std::string& directory) {
  if (PackageResource.data == nullptr) return texts::kVerifyIncomplete;
  std::string failList;
  VerifyContainer(ContainerBytes{PackageResource.data, PackageResource.size}, directory, &failList,
                  VerifyExemptFiles());
  return WideFailList(failList);
}

}  // namespace

bool PackageFilesIntact(const std::string& directory) { return PackageFailures(directory).empty(); }

std::string VerifyExemptFiles() {
  std::string list;
  for (const char* name :
       {entries::kVariant32Cp936, entries::kVariant32Cp950, entries::kVariant64Cp936,
        entries::kVariant64Cp950, entries::kOptionRecord, entries::kCompanion64,
        entries::kShapeCodePhrases, entries::kStartupProgram, entries::kStartupProgramVista}) {
    list += name;
    list += ' ';
  }
  return list;
}

std::string SkinBitmapFile(int number) { return "zvbmpsx" + std::to_string(number) + ".bmp"; }

std::string_view SkinArchiveName(int32_t skin) {
  switch (skin) {
    case 2:
      return texts::skins::kPinkPorcelainGbk;
    case 3:
      return texts::skins::kLittleAngelGbk;
    default:
      return texts::skins::kCoolPorcelainGbk;
  }
}

int SkinComplete() {
  const std::string directory = InstallDir.str();
  if (!Opens(directory + kSkinTableFile)) return 0;
  for (int number = 1; number <= kSkinBitmapCount; ++number) {
    if (!Opens(directory + SkinBitmapFile(number))) return 0;
  }
  return 1;
}

void ExtractSkinArchive(const std::string& path) {
  ContainerBytes archive;
  if (!ReadSkinArchive(path, &archive)) return;
  ExtractContainer(archive, InstallDir.view(), SkinArchiveScratch());
}

void InstallExtraFiles() {
  const std::string directory = InstallDir.str();
  // What the user has been told so far; the skin's failure follows it.
  std::u16string shown;
  const std::u16string packageFailures = PackageFailures(directory);
  if (!packageFailures.empty()) {
    shown = packageFailures + texts::kParagraphBreak + texts::kPackageFilesNotCopied;
    ShowProblem(shown);
  }
  // The user kept the earlier data, and its skin is whole.
  if (BackupState == kBackupKeepOldData && SkinComplete() == 1) return;
  // Without WorkBuffer no skin archive can be read.
  if (WorkBuffer == nullptr) {
    ShowProblem(shown + texts::kSkinFilesNotCopied);
    return;
  }

  // The dialog opens on the first window mode and skin. The choice is kept
  // for the option record, which takes the window mode from WindowMode.
  const SkinDialogChoice choice = RequestSkinDialog({1, 1});
  WindowMode = choice.windowMode;
  SkinChoice = choice.skin;
  const std::string archivePath = directory + std::string(SkinArchiveName(choice.skin));
  ExtractSkinArchive(archivePath);

  ContainerBytes archive;
  if (!ReadSkinArchive(archivePath, &archive)) {
    ShowProblem(shown + texts::kSkinFilesNotCopied);
    return;
  }
  std::string skinFailures;
  VerifyContainer(archive, directory, &skinFailures, {});
  if (!skinFailures.empty()) {
    ShowProblem(WideFailList(skinFailures) + texts::kParagraphBreak + texts::kSkinFilesNotCopied);
  }
}

}  // namespace zv
