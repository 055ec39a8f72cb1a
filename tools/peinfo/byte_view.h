// A read-only window on bytes whose every access is bounds-checked.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zv::pe {

// Borrows `size` bytes at `data`; the owner keeps them alive. Every read
// names an offset and fails, without touching memory, when the bytes it
// needs do not all lie inside the view. Integers are little-endian.
class ByteView {
 public:
  ByteView() = default;
  ByteView(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }

  // True when [offset, offset + length) lies inside the view; safe for any
  // values, however large.
  bool Contains(uint64_t offset, uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }

  bool ReadU8(uint64_t offset, uint8_t* out) const { return ReadLittleEndian(offset, 1, out); }
  bool ReadU16(uint64_t offset, uint16_t* out) const { return ReadLittleEndian(offset, 2, out); }
  bool ReadU32(uint64_t offset, uint32_t* out) const { return ReadLittleEndian(offset, 4, out); }
  bool ReadU64(uint64_t offset, uint64_t* out) const { return ReadLittleEndian(offset, 8, out); }

  // Sets `out` to the bytes [offset, offset + length) of this view.
  bool Sub(uint64_t offset, uint64_t length, ByteView* out) const {
    if (!Contains(offset, length)) return false;
    *out = ByteView(data_ + offset, static_cast<size_t>(length));
    return true;
  }

  // Sets `out` to everything from `offset` to the end of this view.
  bool Tail(uint64_t offset, ByteView* out) const {
    if (offset > size_) return false;
    return Sub(offset, size_ - offset, out);
  }

 private:
  template <typename T>
  bool ReadLittleEndian(uint64_t offset, size_t width, T* out) const {
    if (!Contains(offset, width)) return false;
    T value = 0;
    for (size_t i = width; i > 0; --i) {
      value = static_cast<T>((value << 8) | data_[offset + i - 1]);
    }
    *out = value;
    return true;
  }

  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace zv::pe
