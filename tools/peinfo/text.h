// Text found inside a PE image: bounded string reads and UTF-16 to UTF-8.
#pragma once

#include <cstddef>
#include <string>

#include "tools/peinfo/byte_view.h"

namespace zv::pe {

// Reads `units` UTF-16LE code units at `offset`; false when they do not fit.
bool ReadUtf16(const ByteView& bytes, uint64_t offset, size_t units, std::u16string* out);

// Reads UTF-16LE code units at `offset` up to a NUL unit, which must lie
// inside the view and within `max_units` units; `units_read` (optional)
// receives the count including the NUL.
bool ReadUtf16z(const ByteView& bytes, uint64_t offset, size_t max_units, std::u16string* out,
                size_t* units_read);

// Reads 8-bit characters at `offset` up to a NUL byte, which must lie inside
// the view and within `max_length` bytes.
bool ReadCString(const ByteView& bytes, uint64_t offset, size_t max_length, std::string* out);

// UTF-8 form of UTF-16 text; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromUtf16(const std::u16string& text);

// ASCII case-insensitive comparison, as Windows compares resource names.
bool EqualsIgnoreAsciiCase(const std::u16string& a, const std::u16string& b);
bool EqualsIgnoreAsciiCase(const std::string& a, const std::string& b);

}  // namespace zv::pe
