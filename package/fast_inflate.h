// A decoder for whole zlib streams into a buffer that holds the entire
// content, faster than zlib's own inflate for that one case: a bit buffer of
// the machine's word, refilled a word at a time, one lookup for almost every
// code, and matches copied a word at a time.
//
// It takes what zlib takes: the zlib header without a preset dictionary,
// every block with full bounds checks on input, output and distances, and the
// Adler-32 trailer. A few valid but unusual forms (an incomplete Huffman
// code, such as a block with a single distance code) give kFailed as well:
// a caller that gets kFailed asks zlib, whose verdict stands.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zv {

enum class FastInflateResult {
  kDone,        // the whole stream, trailer included, was decoded
  kOutputFull,  // the content needs more than `capacity` bytes
  kFailed,      // damaged, cut short, or a form left to zlib
};

// Decodes the zlib stream `in[0, inSize)` into `out[0, capacity)`, setting
// `*length` to the bytes written. Never reads or writes outside the two
// ranges; bytes of `out` beyond `*length` may have been written.
FastInflateResult FastInflate(const uint8_t* in, size_t inSize, uint8_t* out, size_t capacity,
                              size_t* length);

// The decoder as the 32-bit build runs it, with a 32-bit bit buffer; the
// same as FastInflate there. Lets a 64-bit test run that build's path.
FastInflateResult FastInflateWordOf32Bits(const uint8_t* in, size_t inSize, uint8_t* out,
                                          size_t capacity, size_t* length);

}  // namespace zv
