#include "package/verify.h"

#include "package/container_reader.h"
#include "package/digest.h"
#include "package/package_texts.h"
#include "package/record_name.h"
#include "platform/text_codec.h"
#include "state/text_match.h"

namespace zv {
namespace {

bool RecordPasses(const PackageEntry& entry, ContainerLayout layout, std::string_view directory,
                  std::string_view exemptList) {
  if (CheckRecordName(entry) != NameProblem::kNone) return false;
  char digestText[kDigestTextSize];
  std::string path(directory);
  path += entry.name;
  const uint64_t bytesRead = FileDigest(path, digestText);
  if (layout == ContainerLayout::kPlain) return bytesRead >= entry.streamSize;
  return DigestMatches(entry.digestField, digestText) ||
         ContainsIgnoreCase(exemptList, entry.name) != 0;
}

}  // namespace

int VerifyContainer(ContainerBytes container, std::string_view directory, std::string* failList,
                    std::string_view exemptList) {
  failList->clear();
  ContainerReader reader(container);
  int passed = 0;
  PackageEntry entry;
  while (reader.Next(&entry)) {
    if (RecordPasses(entry, reader.layout(), directory, exemptList)) {
      ++passed;
    } else {
      failList->append(entry.name);
      failList->append(texts::kFailedNameSuffix);
    }
  }
  const bool complete = reader.hasHeader() && reader.stop() == WalkStop::kNone &&
                        static_cast<uint32_t>(passed) == reader.recordCount();
  if (!complete) failList->append(platform::Codec().WideCharToMultiByte(texts::kVerifyIncomplete));
  return passed;
}

}  // namespace zv
