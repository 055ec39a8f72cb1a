// libFuzzer target: the fast zlib decoder against zlib itself. The first two
// bytes give the room for the content (0 to 65,535 bytes), the rest is the
// stream, copied into a block of exactly its size so that a read past its end
// stops the run; the room is followed by a poisoned guard. Both bit buffer
// widths run. Whatever the
// decoder accepts, zlib must accept with the same content; a stream zlib
// takes into that room may only be left to zlib (kFailed), never called too
// large for it.
#include <sanitizer/asan_interface.h>
#include <zlib.h>

#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "package/fast_inflate.h"

namespace {

using zv::fuzz::Require;

constexpr size_t kGuard = 64;

using Decoder = zv::FastInflateResult (*)(const uint8_t*, size_t, uint8_t*, size_t, size_t*);

// Decodes into `out`, whose bytes behind the room are poisoned meanwhile.
zv::FastInflateResult Decode(Decoder decode, const uint8_t* stream, size_t streamSize,
                             std::vector<uint8_t>* out, size_t room, size_t* length) {
  ASAN_POISON_MEMORY_REGION(out->data() + room, kGuard);
  const zv::FastInflateResult result = decode(stream, streamSize, out->data(), room, length);
  ASAN_UNPOISON_MEMORY_REGION(out->data() + room, kGuard);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t room = data[0] | (data[1] << 8);
  const auto stream = zv::fuzz::ExactCopy(data + 2, size - 2);
  const size_t streamSize = size - 2;

  // The 64-bit build's decoder, then the 32-bit build's, which must agree.
  std::vector<uint8_t> out(room + kGuard);
  std::vector<uint8_t> narrowOut(room + kGuard);
  size_t length = 0;
  size_t narrowLength = 0;
  const zv::FastInflateResult result =
      Decode(zv::FastInflate, stream.get(), streamSize, &out, room, &length);
  const zv::FastInflateResult narrow = Decode(zv::FastInflateWordOf32Bits, stream.get(), streamSize,
                                              &narrowOut, room, &narrowLength);
  Require(length <= room, "the decoder reports more content than its room");
  Require(narrow == result && narrowLength == length &&
              std::memcmp(out.data(), narrowOut.data(), length) == 0,
          "the two bit buffers disagree");

  std::vector<uint8_t> expected(room + 1);
  uLongf expectedLength = static_cast<uLongf>(expected.size());
  const bool zlibTakes =
      uncompress(expected.data(), &expectedLength, stream.get(), streamSize) == Z_OK &&
      expectedLength <= room;

  if (result == zv::FastInflateResult::kDone) {
    Require(zlibTakes, "the decoder accepts a stream zlib refuses");
    Require(length == expectedLength && std::memcmp(out.data(), expected.data(), length) == 0,
            "the decoder's content differs from zlib's");
  }
  if (result == zv::FastInflateResult::kOutputFull) {
    Require(!zlibTakes, "the decoder calls a stream too large that fits its room");
  }
  return 0;
}
