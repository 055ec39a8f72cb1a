#include "package/fast_inflate.h"

#include <zlib.h>

#include <cstring>

namespace zv {
namespace {

constexpr unsigned kMaxCodeLength = 15;
constexpr unsigned kLitLenSymbols = 288;
constexpr unsigned kDistanceSymbols = 32;
constexpr unsigned kPrecodeSymbols = 19;
constexpr unsigned kLitLenTableBits = 11;
constexpr unsigned kDistanceTableBits = 9;
constexpr unsigned kPrecodeTableBits = 7;
constexpr unsigned kEndOfBlock = 256;

// A table entry: bits 0-3 the code's length (4-7 zero), 8-11 the extra
// bits that follow it, 12-14 its kind, 16-31 its value (a literal byte, or
// the base of a length or distance).
enum EntryKind : uint32_t {
  kInvalid = 0,  // a symbol no valid stream uses
  kLiteral = 1,
  kMatch = 2,     // a length or a distance
  kEnd = 3,       // end of block
  kLongCode = 4,  // the code is longer than the table's bits
};

constexpr uint32_t MakeInfo(EntryKind kind, uint32_t value, uint32_t extraBits) {
  return (value << 16) | (static_cast<uint32_t>(kind) << 12) | (extraBits << 8);
}
constexpr unsigned CodeLength(uint32_t entry) { return entry & 0xF; }
constexpr unsigned ExtraBits(uint32_t entry) { return (entry >> 8) & 0xF; }
constexpr uint32_t Kind(uint32_t entry) { return (entry >> 12) & 0x7; }
constexpr uint32_t Value(uint32_t entry) { return entry >> 16; }

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                      15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                      67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block sends its precode lengths.
constexpr uint8_t kPrecodeOrder[kPrecodeSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                    11, 4,  12, 3, 13, 2, 14, 1, 15};

struct SymbolInfo {
  uint32_t litLen[kLitLenSymbols];
  uint32_t distance[kDistanceSymbols];
  uint32_t precode[kPrecodeSymbols];
};

constexpr SymbolInfo MakeSymbolInfo() {
  SymbolInfo info{};
  for (uint32_t s = 0; s < 256; ++s) info.litLen[s] = MakeInfo(kLiteral, s, 0);
  info.litLen[kEndOfBlock] = MakeInfo(kEnd, 0, 0);
  for (uint32_t s = 257; s < 286; ++s) {
    info.litLen[s] = MakeInfo(kMatch, kLengthBase[s - 257], kLengthExtra[s - 257]);
  }
  for (uint32_t s = 0; s < 30; ++s) {
    info.distance[s] = MakeInfo(kMatch, kDistanceBase[s], kDistanceExtra[s]);
  }
  for (uint32_t s = 0; s < kPrecodeSymbols; ++s) info.precode[s] = MakeInfo(kLiteral, s, 0);
  return info;  // litLen 286-287 and distance 30-31 stay kInvalid
}
constexpr SymbolInfo kSymbolInfo = MakeSymbolInfo();

// A canonical Huffman code: a table indexed by the next `Bits` bits of the
// stream for codes up to that length, and the counts and sorted symbols that
// decode the rare longer codes one bit at a time.
template <unsigned Bits, unsigned Symbols>
struct HuffmanTable {
  uint32_t entries[1u << Bits];
  uint16_t count[kMaxCodeLength + 1];
  uint16_t sorted[Symbols];

  // False for an over-subscribed or incomplete code: zlib decides those.
  bool Build(const uint8_t* lengths, unsigned symbols, const uint32_t* info) {
    std::memset(count, 0, sizeof count);
    for (unsigned s = 0; s < symbols; ++s) ++count[lengths[s]];
    count[0] = 0;
    int left = 1;
    for (unsigned len = 1; len <= kMaxCodeLength; ++len) {
      left = (left << 1) - count[len];
      if (left < 0) return false;
    }
    if (left != 0) return false;

    uint16_t offset[kMaxCodeLength + 2] = {};
    for (unsigned len = 1; len <= kMaxCodeLength; ++len) offset[len + 1] = offset[len] + count[len];
    for (unsigned s = 0; s < symbols; ++s) {
      if (lengths[s] != 0) sorted[offset[lengths[s]]++] = static_cast<uint16_t>(s);
    }

    // Every slot not taken by a short code is the prefix of a long one: the
    // code is complete.
    const uint32_t longCode = MakeInfo(kLongCode, 0, 0);
    for (uint32_t& entry : entries) entry = longCode;
    unsigned index = 0;
    uint32_t code = 0;
    for (unsigned len = 1; len <= Bits; ++len, code <<= 1) {
      for (unsigned n = 0; n < count[len]; ++n, ++code, ++index) {
        const uint32_t entry = info[sorted[index]] | len;
        for (uint32_t slot = Reversed(code, len); slot < (1u << Bits); slot += 1u << len) {
          entries[slot] = entry;
        }
      }
    }
    return true;
  }

  // Decodes a code longer than `Bits` from the low bits of `bits`; sets
  // `*used` to its length. The code is complete, so it always ends.
  template <typename BitBuffer>
  uint32_t DecodeLong(BitBuffer bits, unsigned* used, const uint32_t* info) const {
    int code = 0;
    int first = 0;
    int index = 0;
    for (unsigned len = 1; len <= kMaxCodeLength; ++len) {
      code |= static_cast<int>((bits >> (len - 1)) & 1);
      const int n = count[len];
      if (code - n < first) {
        *used = len;
        return info[sorted[index + code - first]];
      }
      index += n;
      first = (first + n) << 1;
      code <<= 1;
    }
    *used = 0;
    return MakeInfo(kInvalid, 0, 0);
  }

  static uint32_t Reversed(uint32_t code, unsigned len) {
    uint32_t result = 0;
    for (unsigned i = 0; i < len; ++i, code >>= 1) result = (result << 1) | (code & 1);
    return result;
  }
};

using LitLenTable = HuffmanTable<kLitLenTableBits, kLitLenSymbols>;
using DistanceTable = HuffmanTable<kDistanceTableBits, kDistanceSymbols>;
using PrecodeTable = HuffmanTable<kPrecodeTableBits, kPrecodeSymbols>;

// The codes of fixed-Huffman blocks, built once.
struct FixedTables {
  LitLenTable litLen;
  DistanceTable distance;
  bool ready = false;

  static const FixedTables& Get() {
    static const FixedTables tables = Make();
    return tables;
  }

 private:
  static FixedTables Make() {
    uint8_t lengths[kLitLenSymbols + kDistanceSymbols];
    std::memset(lengths, 8, 144);
    std::memset(lengths + 144, 9, 112);
    std::memset(lengths + 256, 7, 24);
    std::memset(lengths + 280, 8, 8);
    std::memset(lengths + kLitLenSymbols, 5, kDistanceSymbols);
    FixedTables tables;
    tables.ready =
        tables.litLen.Build(lengths, kLitLenSymbols, kSymbolInfo.litLen) &&
        tables.distance.Build(lengths + kLitLenSymbols, kDistanceSymbols, kSymbolInfo.distance);
    return tables;
  }
};

// The stream's bits, lowest first. The bit buffer is the machine's word:
// 64 bits in the 64-bit build, 32 in the 32-bit one, where a 64-bit shift
// costs several instructions.
template <typename BitBuffer>
struct BitReader {
  static constexpr unsigned kBufferBits = sizeof(BitBuffer) * 8;
  // A refill leaves at least this many bits in the buffer.
  static constexpr unsigned kRefilledBits = kBufferBits - 8;

  const uint8_t* in;
  const uint8_t* end;
  BitBuffer bits = 0;
  unsigned count = 0;
  unsigned padding = 0;  // zero bytes shifted in past the input's end

  // Fills the buffer to at least kRefilledBits. Past the input's end it
  // shifts in zero bytes and counts them; consuming any of them means the
  // stream was cut short.
  void Refill() {
    if (end - in >= static_cast<ptrdiff_t>(sizeof(BitBuffer))) {
      BitBuffer word;
      std::memcpy(&word, in, sizeof word);
      bits |= word << count;
      in += (kBufferBits - 1 - count) >> 3;
      count |= kRefilledBits;
      return;
    }
    while (count < kRefilledBits) {
      if (in < end) {
        bits |= static_cast<BitBuffer>(*in++) << count;
      } else {
        ++padding;
      }
      count += 8;
    }
  }

  bool ReadPastEnd() const { return padding * 8 > count; }

  void Drop(unsigned n) {
    bits >>= n;
    count -= n;
  }

  uint32_t Take(unsigned n) {
    const uint32_t value = static_cast<uint32_t>(bits & ((BitBuffer{1} << n) - 1));
    Drop(n);
    return value;
  }

  // Drops the bits up to the next byte boundary and gives the whole bytes
  // still in the buffer back to the input. False when the buffer held more
  // padding than bits: the stream ended early.
  bool ReturnWholeBytes() {
    Drop(count & 7);
    const unsigned buffered = count / 8;
    if (padding > buffered) return false;
    in -= buffered - padding;
    bits = 0;
    count = 0;
    padding = 0;
    return true;
  }

  template <typename Table>
  uint32_t Decode(const Table& table, const uint32_t* info, unsigned tableBits) {
    uint32_t entry = table.entries[bits & ((BitBuffer{1} << tableBits) - 1)];
    if (Kind(entry) == kLongCode) {
      unsigned used = 0;
      entry = table.template DecodeLong<BitBuffer>(bits, &used, info);
      Drop(used);
      return entry;
    }
    // Bits 4-7 of an entry are zero, so its low bits are the shift itself:
    // no masking on the path from one lookup to the next.
    bits >>= entry & (kBufferBits - 1);
    count -= CodeLength(entry);
    return entry;
  }
};

// Copies `length` bytes from `distance` before `out` and returns the end of
// the copy; `end` is the output's end. Far enough from it, a distance of at
// least a word copies whole words, each read from bytes already written; the
// last word may run up to 7 bytes past the match, still inside the output.
uint8_t* CopyMatch(uint8_t* out, const uint8_t* end, size_t length, size_t distance) {
  const uint8_t* from = out - distance;
  uint8_t* const last = out + length;
  if (distance >= 8 && static_cast<size_t>(end - out) >= length + 8) {
    while (out < last) {
      uint64_t word;
      std::memcpy(&word, from, 8);
      std::memcpy(out, &word, 8);
      from += 8;
      out += 8;
    }
    return last;
  }
  if (distance == 1) {
    std::memset(out, *from, length);
    return last;
  }
  while (out < last) *out++ = *from++;
  return last;
}

template <typename BitBuffer>
class Decoder {
  using Reader = BitReader<BitBuffer>;

 public:
  Decoder(const uint8_t* in, size_t inSize, uint8_t* out, size_t capacity)
      : reader_{in, in + inSize}, outBegin_(out), out_(out), outEnd_(out + capacity) {}

  FastInflateResult Run(size_t* length) {
    const FastInflateResult result = RunStream();
    *length = static_cast<size_t>(out_ - outBegin_);
    return result;
  }

 private:
  FastInflateResult RunStream() {
    Reader& bits = reader_;
    if (bits.end - bits.in < 2) return FastInflateResult::kFailed;
    const unsigned method = bits.in[0];
    const unsigned flags = bits.in[1];
    // Deflate with a window of at most 32 KiB, a valid check, no dictionary.
    if ((method & 0x0F) != 8 || (method >> 4) > 7 || ((method << 8) | flags) % 31 != 0 ||
        (flags & 0x20) != 0) {
      return FastInflateResult::kFailed;
    }
    bits.in += 2;
    bool last = false;
    while (!last) {
      bits.Refill();
      last = bits.Take(1) != 0;
      FastInflateResult result = FastInflateResult::kFailed;
      switch (bits.Take(2)) {
        case 0:
          result = StoredBlock();
          break;
        case 1:
          result = FixedBlock();
          break;
        case 2:
          result = DynamicBlock();
          break;
        default:
          break;
      }
      if (result != FastInflateResult::kDone) return result;
      if (bits.ReadPastEnd()) return FastInflateResult::kFailed;
    }
    if (!bits.ReturnWholeBytes() || bits.end - bits.in < 4) return FastInflateResult::kFailed;
    const uint8_t* trailer = bits.in;
    const uLong stored = (uLong{trailer[0]} << 24) | (uLong{trailer[1]} << 16) |
                         (uLong{trailer[2]} << 8) | trailer[3];
    return stored == ContentChecksum() ? FastInflateResult::kDone : FastInflateResult::kFailed;
  }

  // The Adler-32 of the content, in pieces zlib's length type holds.
  uLong ContentChecksum() const {
    uLong checksum = adler32(0, nullptr, 0);
    for (const uint8_t* at = outBegin_; at < out_;) {
      const size_t piece = static_cast<size_t>(out_ - at) < 0x40000000 ? out_ - at : 0x40000000;
      checksum = adler32(checksum, at, static_cast<uInt>(piece));
      at += piece;
    }
    return checksum;
  }

  FastInflateResult StoredBlock() {
    Reader& bits = reader_;
    if (!bits.ReturnWholeBytes() || bits.end - bits.in < 4) return FastInflateResult::kFailed;
    const size_t size = bits.in[0] | (bits.in[1] << 8);
    const size_t check = bits.in[2] | (bits.in[3] << 8);
    bits.in += 4;
    if ((size ^ check) != 0xFFFF || static_cast<size_t>(bits.end - bits.in) < size) {
      return FastInflateResult::kFailed;
    }
    if (static_cast<size_t>(outEnd_ - out_) < size) return FastInflateResult::kOutputFull;
    std::memcpy(out_, bits.in, size);
    out_ += size;
    bits.in += size;
    return FastInflateResult::kDone;
  }

  FastInflateResult FixedBlock() {
    const FixedTables& fixed = FixedTables::Get();
    if (!fixed.ready) return FastInflateResult::kFailed;
    return Codes(fixed.litLen, fixed.distance);
  }

  FastInflateResult DynamicBlock() {
    Reader& bits = reader_;
    const unsigned litLenCount = bits.Take(5) + 257;
    const unsigned distanceCount = bits.Take(5) + 1;
    const unsigned precodeCount = bits.Take(4) + 4;
    if (litLenCount > 286 || distanceCount > 30) return FastInflateResult::kFailed;

    uint8_t precodeLengths[kPrecodeSymbols] = {};
    for (unsigned i = 0; i < precodeCount; ++i) {
      bits.Refill();
      precodeLengths[kPrecodeOrder[i]] = static_cast<uint8_t>(bits.Take(3));
    }
    if (!precode_.Build(precodeLengths, kPrecodeSymbols, kSymbolInfo.precode)) {
      return FastInflateResult::kFailed;
    }

    uint8_t lengths[kLitLenSymbols + kDistanceSymbols] = {};
    const unsigned total = litLenCount + distanceCount;
    for (unsigned i = 0; i < total;) {
      bits.Refill();  // a precode (7 bits) and its repeat count (7 bits)
      const uint32_t symbol = Value(bits.Decode(precode_, kSymbolInfo.precode, kPrecodeTableBits));
      if (symbol < 16) {
        lengths[i++] = static_cast<uint8_t>(symbol);
        continue;
      }
      uint8_t repeated = 0;
      unsigned times = 0;
      if (symbol == 16) {
        if (i == 0) return FastInflateResult::kFailed;
        repeated = lengths[i - 1];
        times = 3 + bits.Take(2);
      } else if (symbol == 17) {
        times = 3 + bits.Take(3);
      } else {
        times = 11 + bits.Take(7);
      }
      if (times > total - i) return FastInflateResult::kFailed;
      std::memset(lengths + i, repeated, times);
      i += times;
    }
    if (bits.ReadPastEnd() || lengths[kEndOfBlock] == 0) return FastInflateResult::kFailed;
    if (!litLen_.Build(lengths, litLenCount, kSymbolInfo.litLen) ||
        !distance_.Build(lengths + litLenCount, distanceCount, kSymbolInfo.distance)) {
      return FastInflateResult::kFailed;
    }
    return Codes(litLen_, distance_);
  }

  // The literals and matches of one block, up to its end-of-block code. The
  // loop works on local copies of the reader and the output position: the
  // content's bytes could alias the decoder's own fields, which would then
  // go to memory at every byte stored.
  FastInflateResult Codes(const LitLenTable& litLen, const DistanceTable& distance) {
    Reader bits = reader_;
    uint8_t* out = out_;
    uint8_t* const begin = outBegin_;
    uint8_t* const end = outEnd_;
    const auto finish = [&](FastInflateResult result) {
      reader_ = bits;
      out_ = out;
      return result;
    };
    for (;;) {
      // A refill is due only when the next code might not be whole in the
      // buffer: the 64-bit one then holds a few literals' codes at a time.
      if (bits.count < kMaxCodeLength) bits.Refill();
      uint32_t entry = bits.Decode(litLen, kSymbolInfo.litLen, kLitLenTableBits);
      const uint32_t kind = Kind(entry);
      if (kind == kLiteral) {
        if (out == end) {
          // A stream cut short decodes padding as literals until it fills
          // the output: that is a damaged stream, not a large one.
          return finish(bits.ReadPastEnd() ? FastInflateResult::kFailed
                                           : FastInflateResult::kOutputFull);
        }
        *out++ = static_cast<uint8_t>(Value(entry));
        continue;
      }
      if (kind != kMatch) {
        return finish(kind == kEnd ? FastInflateResult::kDone : FastInflateResult::kFailed);
      }
      // The length's extra bits, then a distance code and its extra bits,
      // take at most 33 bits: the 64-bit buffer refills once before them,
      // the 32-bit one before each of the three.
      bits.Refill();
      const size_t matchLength = Value(entry) + bits.Take(ExtraBits(entry));
      if constexpr (Reader::kBufferBits < 64) bits.Refill();
      entry = bits.Decode(distance, kSymbolInfo.distance, kDistanceTableBits);
      if (Kind(entry) != kMatch) return finish(FastInflateResult::kFailed);
      if constexpr (Reader::kBufferBits < 64) bits.Refill();
      const size_t matchDistance = Value(entry) + bits.Take(ExtraBits(entry));

      if (bits.ReadPastEnd() || matchDistance > static_cast<size_t>(out - begin)) {
        return finish(FastInflateResult::kFailed);
      }
      if (matchLength > static_cast<size_t>(end - out)) {
        return finish(FastInflateResult::kOutputFull);
      }
      out = CopyMatch(out, end, matchLength, matchDistance);
    }
  }

  Reader reader_;
  uint8_t* const outBegin_;
  uint8_t* out_;
  uint8_t* const outEnd_;
  LitLenTable litLen_;
  DistanceTable distance_;
  PrecodeTable precode_;
};

template <typename BitBuffer>
FastInflateResult Inflate(const uint8_t* in, size_t inSize, uint8_t* out, size_t capacity,
                          size_t* length) {
  *length = 0;
  if (in == nullptr || out == nullptr) return FastInflateResult::kFailed;
  Decoder<BitBuffer> decoder(in, inSize, out, capacity);
  return decoder.Run(length);
}

}  // namespace

FastInflateResult FastInflate(const uint8_t* in, size_t inSize, uint8_t* out, size_t capacity,
                              size_t* length) {
  return Inflate<size_t>(in, inSize, out, capacity, length);
}

FastInflateResult FastInflateWordOf32Bits(const uint8_t* in, size_t inSize, uint8_t* out,
                                          size_t capacity, size_t* length) {
  return Inflate<uint32_t>(in, inSize, out, capacity, length);
}

}  // namespace zv
