// zvz check: whether a package will install as the product expects. Every
// problem found is one finding that names its entry, in wording that stays
// the same from one release of the tool to the next.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zv::zvz {

enum class Severity { kError, kWarning };

// One finding. `entry` and `message` are 8-bit text of the ANSI code page
// (record names keep their bytes); `entry` is a record name or one of the
// words below.
struct Finding {
  Severity severity = Severity::kError;
  std::string entry;
  std::string message;
};

// The entry of findings about the container as a whole, and about the
// install directory the package would leave.
inline constexpr char kContainerEntry[] = "(container)";
inline constexpr char kInstallDirEntry[] = "(install directory)";

struct PackageReport {
  std::vector<Finding> findings;
  size_t records = 0;  // records walked
  // Files the install would leave in the install directory (0 when the
  // container could not be walked).
  size_t installedFiles = 0;
  // The version stamp places found in each stamped module.
  std::map<std::string, int> stampPlaces;

  void Add(Severity severity, std::string_view entry, std::string message) {
    findings.push_back(Finding{severity, std::string(entry), std::move(message)});
  }
  size_t Count(Severity severity) const;
};

// Checks the package's bytes: the container, the entries the installer
// names and what it relies on in each, and the install directory's file
// count. Findings come in the order of the checks.
PackageReport CheckPackage(const std::string& bytes);

}  // namespace zv::zvz
