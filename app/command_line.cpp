#include "app/command_line.h"

#include "system/install_locations.h"
#include "system/path_text.h"

namespace zv {
namespace {

constexpr std::string_view kRegisterSwitch = "regzv32=";

}  // namespace

void ParseRegisterPath(std::string_view commandLine) {
  const size_t first = commandLine.find('r');
  if (first == std::string_view::npos) return;
  if (commandLine.compare(first, kRegisterSwitch.size(), kRegisterSwitch) != 0) return;
  const std::string_view path = commandLine.substr(first + kRegisterSwitch.size());
  const bool needsBackslash = !EndsWithBackslash(path);
  if (path.size() + (needsBackslash ? 1 : 0) > InstallDir.kMaxLength) return;
  InstallDir.Assign(path);
}

}  // namespace zv
