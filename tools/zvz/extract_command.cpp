#include <memory>
#include <string>

#include "package/extract.h"
#include "package/work_buffer.h"
#include "tools/zvz/archive_io.h"
#include "tools/zvz/commands.h"
#include "tools/zvz/console.h"
#include "tools/zvz/container_check.h"
#include "tools/zvz/target_dir.h"

namespace zv::zvz {

int RunExtract(const Arguments& args, const Host& host) {
  if (args.size() != 2) return UsageError("extract needs ARCHIVE and DIR");
  std::string bytes;
  std::string error;
  if (!ReadWholeFile(args[0], &bytes, &error)) return Fail(host.consoleText(error));
  const ContainerCheck check = CheckStructure(host.consoleText(args[0]), bytes, host);
  if (!check.sound) return Fail(check.error);
  std::string target;
  if (!PrepareTargetDir(args[1], true, &target, &error)) return Fail(host.consoleText(error));
  auto scratch = std::make_unique<uint8_t[]>(kWorkBufferSize);
  const bool complete =
      ExtractContainer(ContainerBytes{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()},
                       target, ScratchArea{scratch.get(), kWorkBufferSize});
  if (!complete) return Fail(host.consoleText(args[0]) + ": not every record was unpacked");
  return kExitOk;
}

}  // namespace zv::zvz
