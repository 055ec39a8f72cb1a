// Builds a container in memory, in either layout, the way the installer reads
// it back: names checked, content compressed with zlib at its default level
// and (digest layout) digested through the platform's MD5.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "package/container_format.h"
#include "package/extract.h"
#include "package/record_name.h"

namespace zv {

// The largest content the writer takes: the room that WorkBuffer leaves
// behind the name slot and the digest text, so that every record it writes
// unpacks through the scratch slot, also in installers that had no other way.
inline constexpr size_t kMaxRecordContent = kWorkBufferContentRoom;

enum class AddResult {
  kAdded,
  kBadName,        // see nameProblem()
  kDuplicateName,  // the same name, ignoring ASCII case (it would be the same file on Windows)
  kEmptyContent,   // an empty record can never be unpacked
  kTooLarge,       // more than kMaxRecordContent, or the container would pass 4 GiB
  kCompressFailed,
  // Plain layout: the stream is longer than the content. The installer
  // verifies a plain record by the file being at least as long as the
  // stream, so such a record would always be reported as missing.
  kUnverifiable,
};

class ContainerWriter {
 public:
  explicit ContainerWriter(ContainerLayout layout);

  // Appends a record holding `content` under `name` (8-bit bytes, kept as
  // they are). Nothing is added unless the result is kAdded.
  AddResult Add(std::string_view name, std::string_view content);

  // The problem of the name last refused with kBadName.
  NameProblem nameProblem() const { return nameProblem_; }
  size_t recordCount() const { return names_.size(); }

  // The whole container: header (end offset = its full size) and records.
  std::string Finish() const;

 private:
  bool IsDuplicate(std::string_view name) const;
  void AppendRecord(std::string_view name, std::string_view content, std::string_view stream);

  ContainerLayout layout_;
  std::vector<std::string> names_;
  std::string records_;
  NameProblem nameProblem_ = NameProblem::kNone;
};

const char* DescribeAddResult(AddResult result);

}  // namespace zv
