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

WalkStop ReadRecordHeader(const uint8_t* record, uint64_t left, ContainerLayout layout,
                          PackageEntry* entry) {
  if (left < sizeof(kRecordMarker)) return WalkStop::kHeaderPastEnd;
  if (std::memcmp(record, kRecordMarker, sizeof(kRecordMarker)) != 0) return WalkStop::kBadMarker;
  const size_t headerSize = RecordHeaderSize(layout);
  if (left < headerSize) return WalkStop::kHeaderPastEnd;
  const uint32_t streamSize = ReadU32(record + StreamSizeOffset(layout));
  if (streamSize > left - headerSize) return WalkStop::kStreamPastEnd;
  entry->nameField = View(record + kRecordNameOffset, NameFieldSize(layout));
  entry->name = UpToNul(entry->nameField);
  entry->digestField = layout == ContainerLayout::kDigest
                           ? View(record + kDigestFieldOffset, kDigestTextSize)
                           : std::string_view();
  entry->stream = record + headerSize;
  entry->streamSize = streamSize;
  return WalkStop::kNone;
}

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
  const WalkStop stop =
      ReadRecordHeader(container_.data + position_, container_.size - position_, layout_, entry);
  if (stop != WalkStop::kNone) return Stop(stop);
  entry->offset = position_;
  position_ += RecordHeaderSize(layout_) + entry->streamSize;
  ++read_;
  return true;
}

}  // namespace zv
