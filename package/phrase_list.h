// The filter applied to the phrase list zavocyzk.bak while it is unpacked.
//
// The phrase list is GBK text of phrases, each followed by "; ". The filter
// keeps the phrases of two or more double-byte characters, drops the others
// (keeping the separator that followed them) and appends a 12-byte trailer:
// "ZAVO", a u32 checksum (the sum of the bytes of every double-byte run
// scanned, kept or dropped) and the u32 number of phrases kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "package/package_entries.h"

namespace zv {

inline constexpr size_t kPhraseTrailerSize = 12;
inline constexpr char kPhraseTrailerTag[4] = {'Z', 'A', 'V', 'O'};

// The name of the only record that goes through CompactPhraseList.
inline constexpr std::string_view kPhraseListRecordName = entries::kShapeCodePhrases;

// Filters the `length` bytes at `text` in place and writes the trailer behind
// the filtered text. `text` must have room for length + 12 bytes; nothing
// outside them is read or written, whatever the bytes. Returns the length of
// the filtered text without the trailer: the caller writes that plus 12
// bytes. A text whose bytes at length - 12 already read "ZAVO" carries its
// trailer and is left as it is (the result is then length - 12).
size_t CompactPhraseList(uint8_t* text, size_t length);

}  // namespace zv
