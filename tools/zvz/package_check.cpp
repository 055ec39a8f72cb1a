#include "tools/zvz/package_check.h"

#include "package/extract.h"
#include "tools/zvz/entry_checks.h"
#include "tools/zvz/record_checks.h"

namespace zv::zvz {
namespace {

// The shipped package ends with this many zero bytes behind its last record,
// which its end offset field does not count.
constexpr size_t kShippedTrailer = 4;

void CheckLayoutAndEnd(const std::string& bytes, const ContainerCheck& check,
                       PackageReport* report) {
  if (check.layout != ContainerLayout::kDigest) {
    report->Add(Severity::kError, kContainerEntry,
                std::string("plain layout (letter '") + static_cast<char>(check.layoutLetter) +
                    "'): the package must use the digest layout ('0')");
  }
  if (!check.sound) return;
  size_t end = kContainerHeaderSize;
  if (!check.records.empty()) {
    const PackageEntry& last = check.records.back().entry;
    end = last.offset + RecordHeaderSize(check.layout) + last.streamSize;
  }
  const std::string trailer = bytes.substr(end);
  if (trailer != std::string(kShippedTrailer, '\0')) {
    report->Add(Severity::kWarning, kContainerEntry,
                std::to_string(trailer.size()) +
                    " bytes behind the last record; the shipped package has 4 zero bytes there");
  }
  if (check.endOffset != end) {
    report->Add(Severity::kWarning, kContainerEntry,
                "end offset field " + std::to_string(check.endOffset) +
                    ", but the records end at " + std::to_string(end));
  }
}

}  // namespace

size_t PackageReport::Count(Severity severity) const {
  size_t count = 0;
  for (const Finding& finding : findings) count += finding.severity == severity ? 1 : 0;
  return count;
}

PackageReport CheckPackage(const std::string& bytes) {
  PackageReport report;
  const ContainerCheck check =
      CheckRecords(bytes, RecordScope{{}, kWorkBufferContentRoom}, &report);
  report.records = check.records.size();
  if (!check.isContainer) return report;
  CheckLayoutAndEnd(bytes, check, &report);
  CheckNamedEntries(check, &report);
  CheckInstalledFileCount(check, &report);
  return report;
}

}  // namespace zv::zvz
