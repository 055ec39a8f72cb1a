#include "package/user_data_restore.h"

#include <new>
#include <string>
#include <string_view>

#include "package/container_format.h"
#include "package/extract.h"
#include "package/file_io.h"
#include "package/package_texts.h"
#include "package/user_data_backup.h"
#include "package/verify.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "platform/win_constants.h"
#include "state/locations.h"

namespace zv {
namespace {

// An archive shorter than this holds no record worth restoring.
constexpr size_t kMinimumArchiveSize = 100;
constexpr size_t kArchiveReadLimit = 0xFFFFFFFFu;

// The verification's failure list in UTF-16: its 8-bit names converted from
// the ANSI code page, its closing sentence (8-bit in the list) taken from
// its UTF-16 form so that it reads right where the code page lacks some of
// its characters.
std::u16string FailureText(std::string_view failList) {
  platform::TextCodec& codec = platform::Codec();
  const std::string closing = codec.WideCharToMultiByte(texts::kVerifyIncomplete);
  const size_t namesEnd = failList.size() - closing.size();
  if (failList.size() >= closing.size() && failList.substr(namesEnd) == closing) {
    return codec.MultiByteToWideChar(failList.substr(0, namesEnd)) + texts::kVerifyIncomplete;
  }
  return codec.MultiByteToWideChar(failList);
}

std::u16string RestoredText(int count) {
  std::u16string text = texts::kUserDataRestored;
  const std::string digits = std::to_string(count);
  const size_t slot = text.find(u"%d");
  text.replace(slot, 2, std::u16string(digits.begin(), digits.end()));
  return text;
}

void Show(const std::u16string& text) {
  platform::Boxes().MessageBoxW(text, texts::kProductCaption, win::kMbOk);
}

// The archive this run made lies in the earlier install's directory: an
// install elsewhere copies it to `archivePath` in InstallDir. False when
// that cannot be done; whatever older archive lies there then is not the
// user's data as it was.
bool BringArchiveHere(const std::string& archivePath) {
  if (InstallDir.view() == PreviousInstallDir.view()) return true;
  return IsDriveDirectory(PreviousInstallDir.view()) &&
         platform::Files().CopyFileA(PreviousInstallDir.str() + kBackupArchiveName, archivePath,
                                     false);
}

}  // namespace

void RestoreUserData() {
  const std::string directory = InstallDir.str();
  const std::string archivePath = directory + kBackupArchiveName;
  if (!BringArchiveHere(archivePath)) {
    Show(texts::kUserDataNotRestored);
    return;
  }
  std::string archive;
  bool read = false;
  try {
    read = ReadFileBytes(archivePath, kArchiveReadLimit, &archive);
  } catch (const std::bad_alloc&) {
  }
  if (!read) {
    // No archive, no word. One that is there but cannot be read leaves the
    // earlier data unrestored, which the user who chose to keep it is told.
    if (platform::Files().GetFileAttributesA(archivePath) != win::kInvalidFileAttributes) {
      Show(texts::kUserDataNotRestored);
    }
    return;
  }
  if (archive.size() < kMinimumArchiveSize) return;
  const ContainerBytes container{reinterpret_cast<const uint8_t*>(archive.data()), archive.size()};
  // A user file that was empty when packed comes back empty.
  ExtractRules rules;
  rules.emptyRecordsAreFiles = true;
  ExtractContainer(container, directory, WorkBufferScratch(), rules);
  std::string failList;
  const int restored = VerifyContainer(container, directory, &failList, {});
  if (!failList.empty()) {
    Show(FailureText(failList) + texts::kParagraphBreak + texts::kUserDataNotRestored);
  } else {
    Show(RestoredText(restored));
  }
}

}  // namespace zv
