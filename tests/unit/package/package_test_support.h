// Shared set-up of the package tests: a fake Windows 7 machine (with its ANSI
// code page conversions), InstallDir = C:\zavoli\, a WorkBuffer-sized scratch
// area, and helpers to build and damage containers.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "package/container_format.h"
#include "package/container_reader.h"
#include "package/container_writer.h"
#include "package/digest.h"
#include "package/extract.h"
#include "package/work_buffer.h"
#include "platform/fake/fake_machine.h"
#include "state/process_state.h"
#include "system/install_locations.h"

namespace zv::testing {

inline constexpr char kInstallDir[] = "C:\\zavoli\\";

// A container written by ContainerWriter from (name, content) pairs.
inline std::string BuildContainer(ContainerLayout layout,
                                  const std::vector<std::pair<std::string, std::string>>& files) {
  ContainerWriter writer(layout);
  for (const auto& [name, content] : files) {
    EXPECT_EQ(writer.Add(name, content), AddResult::kAdded) << name;
  }
  return writer.Finish();
}

inline ContainerBytes BytesOf(const std::string& container) {
  return ContainerBytes{reinterpret_cast<const uint8_t*>(container.data()), container.size()};
}

// The offsets at which the records of `container` begin.
inline std::vector<size_t> RecordOffsets(const std::string& container) {
  std::vector<size_t> offsets;
  ContainerReader reader(BytesOf(container));
  PackageEntry entry;
  while (reader.Next(&entry)) offsets.push_back(entry.offset);
  return offsets;
}

// Overwrites the name field of the record at `offset` with `field`, padded
// with zeros to the field's size (a field of full size gets no NUL).
inline void PatchName(std::string* container, size_t offset, ContainerLayout layout,
                      std::string_view field) {
  std::string padded(field);
  padded.resize(NameFieldSize(layout), '\0');
  container->replace(offset + kRecordNameOffset, padded.size(), padded);
}

inline void PatchU32(std::string* container, size_t offset, uint32_t value) {
  uint8_t bytes[4];
  WriteU32(bytes, value);
  container->replace(offset, 4, reinterpret_cast<const char*>(bytes), 4);
}

// zlib's compress of `content` at the default level.
inline std::string ZlibStream(std::string_view content) {
  uLongf size = compressBound(static_cast<uLong>(content.size()));
  std::string stream(size, '\0');
  compress(reinterpret_cast<Bytef*>(&stream[0]), &size,
           reinterpret_cast<const Bytef*>(content.data()), static_cast<uLong>(content.size()));
  stream.resize(size);
  return stream;
}

// The 32 digits of the content's digest, through the installed MD5.
inline std::string DigestOf(std::string_view content) {
  char text[kDigestTextSize];
  BufferDigest(content.data(), content.size(), text);
  return std::string(text);
}

// Records and containers put together byte by byte, with no checks, so that
// tests can build what the writer refuses.
inline std::string RawDigestRecord(std::string_view nameField, std::string_view digestText,
                                   std::string_view stream) {
  std::string record(kDigestRecordHeaderSize, '\0');
  record[0] = 'C';
  record[1] = 'F';
  record.replace(kRecordNameOffset, nameField.size(), nameField);
  record.replace(kDigestFieldOffset, digestText.size(), digestText);
  uint8_t size[4];
  WriteU32(size, static_cast<uint32_t>(stream.size()));
  record.replace(kDigestStreamSizeOffset, 4, reinterpret_cast<const char*>(size), 4);
  return record + std::string(stream);
}

inline std::string RawPlainRecord(std::string_view nameField, std::string_view stream) {
  std::string record(kPlainRecordHeaderSize, '\0');
  record[0] = 'C';
  record[1] = 'F';
  record.replace(kRecordNameOffset, nameField.size(), nameField);
  uint8_t size[4];
  WriteU32(size, static_cast<uint32_t>(stream.size()));
  record.replace(kPlainStreamSizeOffset, 4, reinterpret_cast<const char*>(size), 4);
  return record + std::string(stream);
}

inline std::string RawContainer(char layoutLetter, uint32_t count,
                                const std::vector<std::string>& records) {
  std::string body;
  for (const std::string& record : records) body += record;
  std::string header(kContainerHeaderSize, '\0');
  header[0] = 'C';
  header[1] = layoutLetter;
  uint8_t field[4];
  WriteU32(field, static_cast<uint32_t>(kContainerHeaderSize + body.size()));
  header.replace(kEndOffsetOffset, 4, reinterpret_cast<const char*>(field), 4);
  WriteU32(field, count);
  header.replace(kRecordCountOffset, 4, reinterpret_cast<const char*>(field), 4);
  return header + body;
}

// A copy of the bytes in a block of exactly their size, so that the address
// sanitizer reports any read past the end.
class ExactBytes {
 public:
  explicit ExactBytes(std::string_view bytes)
      : size_(bytes.size()), data_(new uint8_t[bytes.size() ? bytes.size() : 1]) {
    if (size_ > 0) std::memcpy(data_.get(), bytes.data(), size_);
  }
  uint8_t* data() { return data_.get(); }
  ContainerBytes container() const { return ContainerBytes{data_.get(), size_}; }

 private:
  size_t size_;
  std::unique_ptr<uint8_t[]> data_;
};

class PackageTest : public ::testing::Test {
 protected:
  PackageTest() {
    ResetProcessState();
    machine_.Install();
    machine_.AddDirectory("C:\\zavoli");
  }
  ~PackageTest() override { ResetProcessState(); }

  ScratchArea Scratch() { return ScratchArea{workBuffer_.data(), workBuffer_.size()}; }
  bool Extract(const std::string& container, const ExtractRules& rules = {}) {
    ExactBytes exact(container);
    return ExtractContainer(exact.container(), kInstallDir, Scratch(), rules);
  }
  std::string Installed(const std::string& name) {
    return machine_.ReadText(std::string(kInstallDir) + name).value_or("<missing>");
  }
  // The UTF-16 texts of the message boxes shown so far.
  std::vector<std::u16string> Messages() const {
    std::vector<std::u16string> texts;
    for (const auto& box : machine_.MessageBoxes()) texts.push_back(box.text);
    return texts;
  }

  fake::FakeMachine machine_;  // installs its ANSI code page conversions too
  std::vector<uint8_t> workBuffer_ = std::vector<uint8_t>(kWorkBufferSize);
};

// The failure message of one record, as the user sees it.
inline std::u16string RecordFailure(std::u16string_view name) {
  return u"没有成功解压复制" + std::u16string(name) + u"文件！请重新下载安装。";
}

}  // namespace zv::testing
