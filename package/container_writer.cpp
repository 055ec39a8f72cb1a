#include "package/container_writer.h"

#include <zlib.h>

#include <cstring>

#include "package/digest.h"

namespace zv {
namespace {

constexpr uint64_t kMaxContainerSize = 0xFFFFFFFFu;

// zlib's compress at its default level. False when it fails.
bool Compress(std::string_view content, std::string* stream) {
  uLongf size = compressBound(static_cast<uLong>(content.size()));
  stream->assign(size, '\0');
  const int result = compress2(reinterpret_cast<Bytef*>(&(*stream)[0]), &size,
                               reinterpret_cast<const Bytef*>(content.data()),
                               static_cast<uLong>(content.size()), Z_DEFAULT_COMPRESSION);
  if (result != Z_OK) return false;
  stream->resize(size);
  return true;
}

NameProblem CheckNameForLayout(std::string_view name, ContainerLayout layout) {
  const NameProblem problem = CheckFileName(name);
  if (problem != NameProblem::kNone) return problem;
  return name.size() + 1 > NameFieldSize(layout) ? NameProblem::kTooLong : NameProblem::kNone;
}

}  // namespace

ContainerWriter::ContainerWriter(ContainerLayout layout) : layout_(layout) {}

bool ContainerWriter::IsDuplicate(std::string_view name) const {
  for (const std::string& existing : names_) {
    if (SameFileName(existing, name)) return true;
  }
  return false;
}

AddResult ContainerWriter::Add(std::string_view name, std::string_view content) {
  nameProblem_ = CheckNameForLayout(name, layout_);
  if (nameProblem_ != NameProblem::kNone) return AddResult::kBadName;
  if (IsDuplicate(name)) return AddResult::kDuplicateName;
  if (content.empty()) return AddResult::kEmptyContent;
  if (content.size() > kMaxRecordContent) return AddResult::kTooLarge;
  std::string stream;
  if (!Compress(content, &stream)) return AddResult::kCompressFailed;
  if (layout_ == ContainerLayout::kPlain && stream.size() > content.size()) {
    return AddResult::kUnverifiable;
  }
  const uint64_t newSize =
      kContainerHeaderSize + records_.size() + RecordHeaderSize(layout_) + stream.size();
  if (newSize > kMaxContainerSize) return AddResult::kTooLarge;
  AppendRecord(name, content, stream);
  names_.emplace_back(name);
  return AddResult::kAdded;
}

void ContainerWriter::AppendRecord(std::string_view name, std::string_view content,
                                   std::string_view stream) {
  uint8_t header[kDigestRecordHeaderSize] = {};
  std::memcpy(header, kRecordMarker, sizeof(kRecordMarker));
  std::memcpy(header + kRecordNameOffset, name.data(), name.size());
  if (layout_ == ContainerLayout::kDigest) {
    BufferDigest(content.data(), content.size(),
                 reinterpret_cast<char*>(header + kDigestFieldOffset));
  }
  WriteU32(header + StreamSizeOffset(layout_), static_cast<uint32_t>(stream.size()));
  records_.append(reinterpret_cast<const char*>(header), RecordHeaderSize(layout_));
  records_.append(stream);
}

std::string ContainerWriter::Finish() const {
  uint8_t header[kContainerHeaderSize] = {};
  header[0] = kContainerLetter;
  header[kLayoutLetterOffset] =
      layout_ == ContainerLayout::kDigest ? kDigestLayoutLetter : kPlainLayoutLetter;
  WriteU32(header + kEndOffsetOffset,
           static_cast<uint32_t>(kContainerHeaderSize + records_.size()));
  WriteU32(header + kRecordCountOffset, static_cast<uint32_t>(names_.size()));
  std::string container(reinterpret_cast<const char*>(header), kContainerHeaderSize);
  container += records_;
  return container;
}

const char* DescribeAddResult(AddResult result) {
  switch (result) {
    case AddResult::kAdded:
      return "added";
    case AddResult::kBadName:
      return "unusable name";
    case AddResult::kDuplicateName:
      return "duplicate name";
    case AddResult::kEmptyContent:
      return "empty file (an empty record cannot be unpacked)";
    case AddResult::kTooLarge:
      return "too large (at most 2097008 bytes per file, 4 GiB per container)";
    case AddResult::kCompressFailed:
      return "compression failed";
    case AddResult::kUnverifiable:
      return "compressed stream longer than the file: the installer's check of a plain "
             "container would always report it missing";
  }
  return "unknown result";
}

}  // namespace zv
