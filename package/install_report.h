// The report shown when the install directory does not look like a complete
// install: what is wrong and where to download the package again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zv {

// What ScanInstallDir found.
struct InstallDirScan {
  // 1 when the directory could be listed, plus 10 when it could be made the
  // current directory, plus 3 when its attributes are the directory
  // attribute alone: 14 for a sound install directory.
  int pathScore = 0;
  // The files (not directories) directly inside: names containing ".txt",
  // names containing ".zvh", and all others. Counted without limit.
  uint32_t textFiles = 0;
  uint32_t dictionaryFiles = 0;
  uint32_t otherFiles = 0;
};

// The path score of a sound install directory.
inline constexpr int kFullPathScore = 14;
// The fewest files a complete install directory holds.
inline constexpr uint32_t kFewestInstalledFiles = 74;

// Lists and scores InstallDir, read with a trailing backslash when it has
// none; InstallDir itself is left as it is. An entry counts as a directory,
// and is left out, when it can be made the current directory; InstallDir is
// the current directory afterwards when it can be.
InstallDirScan ScanInstallDir();

// The room ProbeFile reads into, and what it gives for a file that holds at
// least that much.
inline constexpr size_t kProbeSize = 20;
inline constexpr int kProbePresent = static_cast<int>(kProbeSize) * 256;

// Opens the file `name` in InstallDir (a backslash between them when
// InstallDir has none of its own) and reads up to kProbeSize bytes into
// `area`, which has room for them. Returns the system's error code when the file cannot be opened;
// otherwise the bytes read times 256, plus the last error code when fewer
// than kProbeSize were read. A file of kProbeSize bytes or more gives
// kProbePresent.
int ProbeFile(const std::string& name, uint8_t* area);

// Scans InstallDir for what the report checks: the path, the file count, the
// Wubi dictionary, the Pinyin dictionary and the IME file, in this order.
// Returns the report's sentence for the first that is wanting, null when
// none is or the report buffer could not be reserved.
const char16_t* InstallReportVerdict();

// Scans InstallDir and, when the path, the file count, the Wubi dictionary,
// the Pinyin dictionary or the IME file is wanting (the first of these that
// is), shows the report, captioned "智能岚汀". Returns 1 when it was shown, 0
// when nothing was wrong or the report buffer could not be reserved.
int WriteInstallReport();

}  // namespace zv
