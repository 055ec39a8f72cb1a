#include "package/container_reader.h"

#include <cstring>

namespace zv {
namespace {

std::string_view View(const uint8_t* bytes, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(bytes), size);
}

// The field up to its first NUL, or the whole field.
std::string_view UpToNul(std::string_view field) {
  const size_t nul = field.find('\0');
  return nul == std::string_view::npos ? field : field.substr(0, nul);
}

}  // namespace

ContainerReader::ContainerReader(ContainerBytes container) : container_(container) {
  if (container.data == nullptr || container.size < kContainerHeaderSize) {
    stop_ = WalkStop::kNoHeader;
    return;
  }
  letter_ = container.data[kLayoutLetterOffset];
  layout_ = letter_ == kDigestLayoutLetter ? ContainerLayout::kDigest : ContainerLayout::kPlain;
  endOffset_ = ReadU32(container.data + kEndOffsetOffset);
  count_ = ReadU32(container.data + kRecordCountOffset);
}

bool ContainerReader::Stop(WalkStop why) {
  stop_ = why;
  return false;
}

bool ContainerReader::Next(PackageEntry* entry) {
  if (stop_ != WalkStop::kNone || read_ >= count_) return false;
  // position_ never exceeds the size: it only moves past bytes that exist.
  const size_t left = container_.size - position_;
  const uint8_t* record = container_.data + position_;
  if (left < sizeof(kRecordMarker)) return Stop(WalkStop::kHeaderPastEnd);
  if (std::memcmp(record, kRecordMarker, sizeof(kRecordMarker)) != 0) {
    return Stop(WalkStop::kBadMarker);
  }
  const size_t headerSize = RecordHeaderSize(layout_);
  if (left < headerSize) return Stop(WalkStop::kHeaderPastEnd);
  const uint32_t streamSize = ReadU32(record + StreamSizeOffset(layout_));
  if (streamSize > left - headerSize) return Stop(WalkStop::kStreamPastEnd);

  entry->nameField = View(record + kRecordNameOffset, NameFieldSize(layout_));
  entry->name = UpToNul(entry->nameField);
  entry->digestField = layout_ == ContainerLayout::kDigest
                           ? View(record + kDigestFieldOffset, kDigestTextSize)
                           : std::string_view();
  entry->stream = record + headerSize;
  entry->streamSize = streamSize;
  entry->offset = position_;
  position_ += headerSize + streamSize;
  ++read_;
  return true;
}

}  // namespace zv
