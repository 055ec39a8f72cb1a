#include <string>

#include "package/verify.h"
#include "tools/zvz/archive_io.h"
#include "tools/zvz/commands.h"
#include "tools/zvz/console.h"
#include "tools/zvz/container_check.h"
#include "tools/zvz/target_dir.h"

namespace zv::zvz {
namespace {

std::string WithoutLineEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

int RunVerify(const Arguments& args, const Host& host) {
  if (args.size() != 2) return UsageError("verify needs ARCHIVE and DIR");
  std::string bytes;
  std::string error;
  if (!ReadWholeFile(args[0], &bytes, &error)) return Fail(host.consoleText(error));
  const ContainerCheck check = CheckStructure(host.consoleText(args[0]), bytes, host);
  if (!check.sound) return Fail(check.error);
  std::string target;
  if (!PrepareTargetDir(args[1], false, &target, &error)) return Fail(host.consoleText(error));
  std::string failList;
  const int passed =
      VerifyContainer(ContainerBytes{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()},
                      target, &failList, std::string_view());
  if (!failList.empty()) PrintLine(WithoutLineEnd(host.consoleText(failList)));
  PrintLine(std::to_string(passed) + " of " + std::to_string(check.recordCount) + " records pass");
  if (static_cast<uint32_t>(passed) != check.recordCount) {
    return Fail(std::to_string(check.recordCount - static_cast<uint32_t>(passed)) +
                " record(s) fail");
  }
  return kExitOk;
}

}  // namespace zv::zvz
