#include <string>

#include "tools/zvz/archive_io.h"
#include "tools/zvz/check_output.h"
#include "tools/zvz/commands.h"
#include "tools/zvz/console.h"
#include "tools/zvz/package_check.h"

namespace zv::zvz {

int RunCheck(const Arguments& args, const Host& host) {
  bool json = false;
  std::string package;
  size_t packages = 0;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      json = true;
    } else {
      package = arg;
      ++packages;
    }
  }
  if (packages != 1) return UsageError("check needs exactly one PACKAGE");
  std::string bytes;
  std::string error;
  if (!ReadWholeFile(package, &bytes, &error)) return Fail(host.consoleText(error));
  const PackageReport report = CheckPackage(bytes);
  if (json) {
    PrintLine(FindingsJson(report, package));
  } else {
    PrintFindings(report, package, host);
  }
  return report.Count(Severity::kError) == 0 ? kExitOk : kExitFailure;
}

}  // namespace zv::zvz
