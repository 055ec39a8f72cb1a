#include <cstdio>
#include <string>

#include "tools/zvz/archive_io.h"
#include "tools/zvz/commands.h"
#include "tools/zvz/console.h"
#include "tools/zvz/container_check.h"

namespace zv::zvz {
namespace {

std::string LayoutText(const ContainerCheck& check) {
  const std::string letter(1, static_cast<char>(check.layoutLetter));
  return check.layout == ContainerLayout::kDigest ? "digest (layout letter '0')"
                                                  : "plain (layout letter '" + letter + "')";
}

// The stored digest: the field up to its first NUL.
std::string StoredDigest(const PackageEntry& entry) {
  const std::string_view field = entry.digestField;
  return std::string(field.substr(0, field.find('\0')));
}

void PrintRecord(const RecordInfo& record, ContainerLayout layout, const Host& host) {
  char sizes[64];
  std::snprintf(sizes, sizeof(sizes), "%10u %10llu  ", record.entry.streamSize,
                static_cast<unsigned long long>(record.contentSize));
  char state[48];
  std::snprintf(state, sizeof(state), "%-16s  ", DescribeRecordState(record.state));
  std::string line = sizes;
  if (layout == ContainerLayout::kDigest) line += StoredDigest(record.entry) + "  ";
  line += state + host.consoleText(record.entry.name);
  PrintLine(line);
}

}  // namespace

int RunList(const Arguments& args, const Host& host) {
  if (args.size() != 1) return UsageError("list needs exactly one ARCHIVE");
  std::string bytes;
  std::string error;
  if (!ReadWholeFile(args[0], &bytes, &error)) return Fail(host.consoleText(error));
  ContainerCheck check = CheckStructure(host.consoleText(args[0]), bytes, host);
  if (!check.isContainer) return Fail(check.error);
  PrintLine("layout: " + LayoutText(check) + ", " + std::to_string(check.recordCount) +
            " records, end offset " + std::to_string(check.endOffset) + ", file size " +
            std::to_string(bytes.size()));
  PrintLine(check.layout == ContainerLayout::kDigest
                ? "    stream   unpacked  digest                            state             name"
                : "    stream   unpacked  state             name");
  size_t unsound = 0;
  for (RecordInfo& record : check.records) {
    InspectRecord(check.layout, &record);
    if (record.state != RecordState::kSound) ++unsound;
    PrintRecord(record, check.layout, host);
  }
  if (!check.sound) return Fail(check.error);
  if (unsound > 0) return Fail(std::to_string(unsound) + " record(s) cannot be unpacked");
  return kExitOk;
}

}  // namespace zv::zvz
