#include <string>
#include <vector>

#include "package/container_writer.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "tools/zvz/archive_io.h"
#include "tools/zvz/commands.h"
#include "tools/zvz/console.h"

namespace zv::zvz {
namespace {

struct Input {
  std::string path;  // as given, or directory + separator + name
  std::string name;  // the record name: the path's last component, bytes unchanged
};

// The last component of a path; '\' is a separator only on Windows, where a
// host file name could not hold it anyway.
std::string BaseName(const std::string& path) {
#ifdef _WIN32
  const size_t separator = path.find_last_of("\\/:");
#else
  const size_t separator = path.find_last_of('/');
#endif
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool IsDirectory(const std::string& path) {
  const uint32_t attributes = platform::Files().GetFileAttributesA(path);
  return attributes != win::kInvalidFileAttributes && (attributes & win::kAttributeDirectory) != 0;
}

// Expands the arguments into the files to pack, in order.
bool CollectInputs(const Arguments& paths, const Host& host, std::vector<Input>* inputs) {
  for (const std::string& path : paths) {
    if (!IsDirectory(path)) {
      inputs->push_back(Input{path, BaseName(path)});
      continue;
    }
    std::vector<std::string> names;
    if (!host.listing->ListFiles(path, &names)) {
      Fail(host.consoleText(path) + ": cannot list the directory");
      return false;
    }
    const bool hasSeparator = path.back() == '/' || path.back() == '\\';
    for (const std::string& name : names) {
      inputs->push_back(Input{path + (hasSeparator ? "" : "/") + name, name});
    }
  }
  return true;
}

std::string RefusalText(const ContainerWriter& writer, AddResult result) {
  if (result == AddResult::kBadName) return DescribeNameProblem(writer.nameProblem());
  return DescribeAddResult(result);
}

bool AddInput(ContainerWriter* writer, const Input& input, const Host& host) {
  std::string content;
  std::string error;
  if (!ReadWholeFile(input.path, &content, &error)) {
    Fail(host.consoleText(error));
    return false;
  }
  const AddResult result = writer->Add(input.name, content);
  if (result == AddResult::kAdded) return true;
  Fail(host.consoleText(input.path) + ": record name \"" + host.consoleText(input.name) +
       "\": " + RefusalText(*writer, result));
  return false;
}

}  // namespace

int RunCreate(const Arguments& arguments, const Host& host) {
  Arguments args = arguments;
  ContainerLayout layout = ContainerLayout::kDigest;
  if (!args.empty() && args[0] == "--plain") {
    layout = ContainerLayout::kPlain;
    args.erase(args.begin());
  }
  if (args.size() < 2) return UsageError("create needs OUT and at least one FILE or DIR");
  const std::string out = args[0];
  std::vector<Input> inputs;
  if (!CollectInputs(Arguments(args.begin() + 1, args.end()), host, &inputs)) return kExitFailure;
  if (inputs.empty()) return Fail("no files to pack");
  ContainerWriter writer(layout);
  for (const Input& input : inputs) {
    if (!AddInput(&writer, input, host)) return kExitFailure;
  }
  std::string error;
  if (!WriteFileReplacing(out, writer.Finish(), &error)) return Fail(host.consoleText(error));
  return kExitOk;
}

}  // namespace zv::zvz
