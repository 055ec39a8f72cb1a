#include "package/install_report.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "package/package_entries.h"
#include "package/package_texts.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "state/locations.h"
#include "state/text_match.h"

namespace zv {
namespace {

// The report's buffer: the message of the original 8-bit report had this
// room. Here the probes read into it; the message itself is UTF-16.
constexpr size_t kReportBufferSize = 69376;

// The first of the probes that finds its file present, or the last result.
int ProbeAny(std::initializer_list<const char*> names, uint8_t* area) {
  int result = 0;
  for (const char* name : names) {
    result = ProbeFile(name, area);
    if (result == kProbePresent) break;
  }
  return result;
}

// What is wrong with the install directory; null when nothing is.
const char16_t* VerdictProbingInto(uint8_t* area) {
  const InstallDirScan scan = ScanInstallDir();
  if (scan.pathScore < kFullPathScore) return texts::kReportNoInstallPath;
  // Widened before adding, so that no count can wrap.
  const uint64_t files =
      uint64_t{scan.textFiles} + uint64_t{scan.dictionaryFiles} + uint64_t{scan.otherFiles};
  if (files < kFewestInstalledFiles) return texts::kReportFilesIncomplete;
  if (ProbeAny({"zavocyzk.zvh", entries::kShapeCodePhrases, entries::kShapeCodeWorkingCopy},
               area) != kProbePresent) {
    return texts::kReportNoWubiDictionary;
  }
  if (ProbeAny({"zavopyck.zvh", entries::kPinyinPhrases, entries::kPinyinWorkingCopy}, area) !=
      kProbePresent) {
    return texts::kReportNoPinyinDictionary;
  }
  if (ProbeFile(entries::kFullIme32, area) != kProbePresent) return texts::kReportMissingFile;
  return nullptr;
}

// InstallDir with a backslash behind it, so that a name can follow; empty
// while InstallDir is.
std::string InstallDirFolder() {
  std::string folder = InstallDir.str();
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

}  // namespace

InstallDirScan ScanInstallDir() {
  InstallDirScan scan;
  const std::string directory = InstallDirFolder();
  platform::FileSystem& files = platform::Files();
  std::vector<std::string> names;
  files.FindFilesA(directory + "*.*", &names);
  for (const std::string& name : names) {
    scan.pathScore = 1;
    if (name == "." || name == "..") continue;
    if (files.SetCurrentDirectoryA(directory + name)) continue;
    if (ContainsIgnoreCase(name, ".txt")) {
      ++scan.textFiles;
    } else if (ContainsIgnoreCase(name, ".zvh")) {
      ++scan.dictionaryFiles;
    } else {
      ++scan.otherFiles;
    }
  }
  if (files.SetCurrentDirectoryA(directory)) scan.pathScore += 10;
  // A directory may carry further bits (archive, not indexed, compressed).
  const uint32_t attributes = files.GetFileAttributesA(directory);
  if (attributes != win::kInvalidFileAttributes && (attributes & win::kAttributeDirectory) != 0) {
    scan.pathScore += 3;
  }
  return scan;
}

int ProbeFile(const std::string& name, uint8_t* area) {
  platform::FileSystem& files = platform::Files();
  auto file = files.CreateFileA(InstallDirFolder() + name, win::kGenericRead, win::kFileShareRead,
                                win::kOpenExisting, win::kAttributeNormal);
  if (!file) return static_cast<int>(files.LastError());
  uint32_t got = 0;
  file->Read(area, kProbeSize, &got);
  const uint32_t error = got == kProbeSize ? 0 : files.LastError();
  return static_cast<int>(got * 256 + error);
}

const char16_t* InstallReportVerdict() {
  std::unique_ptr<platform::GlobalBlock> buffer =
      platform::Res().AllocateZeroedBlock(kReportBufferSize);
  if (!buffer) return nullptr;
  return VerdictProbingInto(buffer->data());
}

int WriteInstallReport() {
  const char16_t* verdict = InstallReportVerdict();
  if (verdict == nullptr) return 0;
  std::u16string text = texts::kReportHeading;
  text += texts::kParagraphBreak;
  text += texts::kReportErrorIs;
  text += verdict;
  text += texts::kParagraphBreak;
  text += texts::kReportVisitHomePage;
  text += texts::kHomePage;
  text += texts::kReportDownloadAgain;
  text += texts::kParagraphBreak;
  platform::Boxes().MessageBoxW(text, texts::kProductCaption, win::kMbOk);
  return 1;
}

}  // namespace zv
