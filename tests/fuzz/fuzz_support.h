// What the libFuzzer targets share: a check that stops the run with a
// message, exact copies of the input (so that the address sanitizer sees a
// read past its end), a byte reader that takes the input apart, and a
// picture of the fake machine's disks to prove that a reader wrote nothing
// outside its place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/fake/fake_machine.h"
#include "platform/win_constants.h"

namespace zv::fuzz {

inline void Require(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
  }
}

// The input in a block of exactly its size (one byte for an empty input).
inline std::unique_ptr<uint8_t[]> ExactCopy(const uint8_t* data, size_t size) {
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[size ? size : 1]);
  if (size > 0) std::memcpy(bytes.get(), data, size);
  return bytes;
}

// Takes the input apart from the front: single bytes, and pieces whose
// length is given by a byte before them. Past the end everything is zero or
// empty.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  // A piece of at most `limit` bytes, its length read first (the length
  // byte scaled by `scale`).
  std::string Piece(size_t scale = 1, size_t limit = 4096) {
    size_t length = Byte() * scale;
    if (length > limit) length = limit;
    return Take(length);
  }
  // Everything not read yet.
  std::string Rest() { return Take(size_ - at_); }
  bool empty() const { return at_ >= size_; }

 private:
  std::string Take(size_t length) {
    if (length > size_ - at_) length = size_ - at_;
    std::string piece(reinterpret_cast<const char*>(data_ + at_), length);
    at_ += length;
    return piece;
  }

  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

inline std::string LowerAscii(std::string text) {
  for (char& c : text) c = AsciiLower(c);
  return text;
}

// What DiskOutside keeps of one file or folder: a file's attributes and
// bytes; every folder is the same.
struct DiskContent {
  uint32_t attributes = win::kAttributeDirectory;
  std::vector<uint8_t> data;
  bool operator==(const DiskContent& other) const {
    return attributes == other.attributes && data == other.data;
  }
};

// Every file and folder on the fixed drive C: with its content, by its path
// in ASCII lower case, leaving out the paths equal to or below one of
// `places` (folder paths without a trailing backslash, ASCII case ignored).
// Two pictures differ exactly when something outside the places was
// created, changed or removed.
inline std::map<std::string, DiskContent> DiskOutside(
    const fake::FakeMachine& machine, std::initializer_list<std::string_view> places) {
  std::vector<std::string> folded;
  for (std::string_view place : places) folded.push_back(LowerAscii(std::string(place)));
  auto inPlace = [&](const std::string& lower) {
    for (const std::string& place : folded) {
      if (lower.compare(0, place.size(), place) == 0 &&
          (lower.size() == place.size() || lower[place.size()] == '\\')) {
        return true;
      }
    }
    return false;
  };
  std::map<std::string, DiskContent> picture;
  for (fake::TreeEntry& entry : machine.ListTree("C:\\")) {
    std::string lower = LowerAscii(std::move(entry.path));
    if (inPlace(lower)) continue;
    DiskContent content;
    if (!(entry.attributes & win::kAttributeDirectory)) {
      content.attributes = entry.attributes;
      content.data = std::move(entry.data);
    }
    picture.emplace(std::move(lower), std::move(content));
  }
  return picture;
}

}  // namespace zv::fuzz
