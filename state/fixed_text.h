// A fixed-capacity 8-bit text buffer. Capacity counts the terminating zero,
// as a Windows path buffer does. Every operation that could overrun it
// reports failure instead and leaves the text unchanged.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace zv {

template <size_t Capacity>
class FixedText {
  static_assert(Capacity >= 1, "room for the terminator");

 public:
  static constexpr size_t kCapacity = Capacity;
  static constexpr size_t kMaxLength = Capacity - 1;

  FixedText() { clear(); }

  // Replaces the text when `text` fits; otherwise returns false unchanged.
  bool Assign(std::string_view text) {
    if (text.size() > kMaxLength) return false;
    Set(text);
    return true;
  }
  // Replaces the text with as much of `text` as fits.
  void AssignTruncated(std::string_view text) {
    Set(text.substr(0, text.size() < kMaxLength ? text.size() : kMaxLength));
  }
  // Appends when the result fits; otherwise returns false unchanged.
  bool Append(std::string_view text) {
    if (text.size() > kMaxLength - length_) return false;
    std::memcpy(bytes_ + length_, text.data(), text.size());
    length_ += text.size();
    bytes_[length_] = '\0';
    return true;
  }
  // Cuts the text to `length` bytes (no effect when it is shorter).
  void Truncate(size_t length) {
    if (length >= length_) return;
    length_ = length;
    bytes_[length_] = '\0';
  }
  // Fills the whole buffer with zero bytes.
  void clear() {
    std::memset(bytes_, 0, Capacity);
    length_ = 0;
  }

  bool EndsWith(char c) const { return length_ > 0 && bytes_[length_ - 1] == c; }
  bool empty() const { return length_ == 0; }
  size_t size() const { return length_; }
  char operator[](size_t i) const { return i < length_ ? bytes_[i] : '\0'; }
  const char* c_str() const { return bytes_; }
  std::string_view view() const { return std::string_view(bytes_, length_); }
  std::string str() const { return std::string(bytes_, length_); }

 private:
  void Set(std::string_view text) {
    std::memset(bytes_, 0, Capacity);
    std::memcpy(bytes_, text.data(), text.size());
    length_ = text.size();
  }

  char bytes_[Capacity];
  size_t length_ = 0;
};

}  // namespace zv
