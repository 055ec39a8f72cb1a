#include "system/install_locations.h"

#include "package/file_io.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "state/package_state.h"
#include "system/path_text.h"

namespace zv {

namespace {

constexpr char kDefaultProgramFiles[] = "c:\\Program Files";
constexpr char kProductFolder[] = "zavoli\\";
constexpr size_t kRememberedFileReadLimit = 512;

// The Program Files folder without a " (x86)" part: the text is cut at its
// first '(' and then loses its trailing blanks.
std::string ProgramFilesBase() {
  std::string folder;
  if (!platform::System().GetProgramFilesFolderA(&folder)) folder = kDefaultProgramFiles;
  const size_t paren = folder.find('(');
  if (paren != std::string::npos) folder.resize(paren);
  while (!folder.empty() && folder.back() == ' ') folder.pop_back();
  if (PathExists(folder) == 0) folder = kDefaultProgramFiles;
  return folder;
}

// Reads the Windows directory into WindowsDir. A query that fails keeps the
// directory read before, so that no path falls back to the drive's root.
void RefreshWindowsDir() {
  const std::string directory = platform::System().GetWindowsDirectoryA(200);
  if (!directory.empty()) WindowsDir.AssignTruncated(directory);
}

std::string RememberedFilePath() {
  RefreshWindowsDir();
  return FileInFolder(WindowsDir.view(), kRememberedDirFileName);
}

// The text of the file at `path` up to its first zero byte; nothing when
// there is no path or the file cannot be read.
std::optional<std::string> ReadRememberedFile(const std::string& path) {
  std::string bytes;
  if (path.empty() || !ReadFileBytes(path, kRememberedFileReadLimit, &bytes)) return std::nullopt;
  const size_t zero = bytes.find('\0');
  if (zero != std::string::npos) bytes.resize(zero);
  return bytes;
}

}  // namespace

FixedText<200> ChooseInstallDir() {
  if (InstallDir[1] == ':' && InstallDir[2] == '\\') return InstallDir;
  std::string folder = ProgramFilesBase();
  if (!folder.empty() && !EndsWithBackslash(folder)) folder += '\\';
  folder += kProductFolder;
  // The Program Files folder is at most MAX_PATH; cut rather than overrun,
  // which still leaves a path ending in a backslash for the usual folders.
  FixedText<200> chosen;
  chosen.AssignTruncated(folder);
  return chosen;
}

void WriteRememberedDir(std::string_view dir) {
  const std::string windowsFile = RememberedFilePath();
  if (!windowsFile.empty()) WriteFileBytes(windowsFile, dir);
  RefreshSystemDir();
  if (WindowsMajorVersion < 6) return;
  const std::string driveDir = FindFixedDriveDir();
  platform::Files().CreateDirectoryA(driveDir);
  // Without a fixed drive the bare name is written, in the current directory.
  WriteFileBytes(driveDir + kRememberedDirFileName, dir);
}

void RememberInstallDir() {
  if (!EndsWithBackslash(InstallDir.view()) && !InstallDir.Append("\\")) {
    // A full buffer cannot take the backslash: replace its last byte so the
    // invariant holds and nothing is written past the capacity.
    InstallDir.Truncate(InstallDir.size() - 1);
    InstallDir.Append("\\");
  }
  WriteRememberedDir(InstallDir.view());
}

std::optional<std::string> ReadRememberedDir() { return ReadRememberedFile(RememberedFilePath()); }

void ReadRememberedInstallDir(int intoPrevious) {
  const std::string path = RememberedFilePath();
  const std::optional<std::string> remembered = ReadRememberedFile(path);
  if (!remembered) {
    // Where an earlier install may keep its data is unknown, unless the
    // file is simply not there: nothing there may be laid over.
    if (intoPrevious == 1 && (path.empty() || !IsNotFoundError(platform::Files().LastError()))) {
      UserDataUnsaved = 1;
    }
    return;
  }
  const std::string& bytes = *remembered;
  if (intoPrevious == 1) {
    PreviousInstallDir.AssignTruncated(bytes);
  } else {
    InstallDir.AssignTruncated(bytes);
  }
}

std::string FindFixedDriveDir() {
  if (FixedDriveSearched == 1) return FixedDriveDir.str();
  FixedDriveDir.clear();
  std::string root = "g:\\";
  for (char letter = 'g'; letter >= 'c'; --letter) {
    root[0] = letter;
    if (platform::Files().GetDriveTypeA(root) == win::kDriveFixed) {
      FixedDriveDir.Assign(root + kProductFolder);
      break;
    }
  }
  FixedDriveSearched = 1;
  return FixedDriveDir.str();
}

void ForgetFixedDriveDir() { FixedDriveSearched = 0; }

int DetectSystem() {
  // A query that fails keeps the version found before (0 before the first).
  platform::OsVersion version;
  if (platform::System().GetVersionExA(&version)) {
    WindowsMajorVersion = static_cast<int32_t>(version.major);
  }
  if (WindowsMajorVersion <= 5) return 0;
  MakeSysWow64Path(&SysWow64Dir);
  return PathExists(SysWow64Dir.str());
}

void RefreshSystemDir() {
  const std::string directory = platform::System().GetSystemDirectoryA(200);
  if (!directory.empty()) SystemDir.AssignTruncated(directory);
}

void MakeSysWow64Path(FixedText<210>* out) {
  RefreshWindowsDir();
  out->clear();
  if (WindowsDir.empty()) return;
  out->Append(WindowsDir.view());
  out->Append("\\syswow64");
}

std::string FileInFolder(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string();
  std::string path(folder);
  path += '\\';
  path += name;
  return path;
}

}  // namespace zv
