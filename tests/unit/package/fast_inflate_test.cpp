#include "package/fast_inflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "package_test_support.h"

namespace zv::testing {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Deflate(const Bytes& content, int level, int windowBits, int strategy) {
  z_stream stream{};
  EXPECT_EQ(deflateInit2(&stream, level, Z_DEFLATED, windowBits, 8, strategy), Z_OK);
  Bytes out(deflateBound(&stream, content.size()));
  stream.next_in = const_cast<Bytef*>(content.data());
  stream.avail_in = static_cast<uInt>(content.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

struct Decoded {
  FastInflateResult result;
  Bytes content;
};

// Decodes with both bit buffers, the 64-bit build's and the 32-bit build's,
// which must agree.
Decoded DecodeFast(const Bytes& stream, size_t capacity) {
  Decoded both[2];
  for (int narrow = 0; narrow < 2; ++narrow) {
    Bytes out(capacity + 1);  // never empty, so never a null buffer
    size_t length = 0;
    both[narrow].result = (narrow ? FastInflateWordOf32Bits : FastInflate)(
        stream.data(), stream.size(), out.data(), capacity, &length);
    EXPECT_LE(length, capacity);
    out.resize(length);
    both[narrow].content = out;
  }
  EXPECT_EQ(both[0].result, both[1].result);
  EXPECT_TRUE(both[0].content == both[1].content);
  return both[0];
}

// zlib's verdict on the same stream into the same room.
bool ZlibTakes(const Bytes& stream, size_t capacity, Bytes* content) {
  content->assign(capacity + 1, 0);
  uLongf length = static_cast<uLongf>(content->size());
  const int result = uncompress(content->data(), &length, stream.data(), stream.size());
  content->resize(length);
  return result == Z_OK && length <= capacity;
}

std::vector<std::pair<std::string, Bytes>> Contents() {
  std::mt19937 random(7);
  Bytes noise(150000);
  for (uint8_t& b : noise) b = static_cast<uint8_t>(random());
  Bytes text;
  const std::string words[] = {"\xD6\xD0\xCE\xC4", "; ", "zavoli", "\xBA\xBA\xD7\xD6", "\r\n"};
  while (text.size() < 300000) {
    const std::string& word = words[random() % 5];
    text.insert(text.end(), word.begin(), word.end());
  }
  Bytes periodic;
  for (int i = 0; i < 70000; ++i)
    periodic.push_back(static_cast<uint8_t>("abcdefg"[i % (2 + i / 10000)]));
  // The same 40,000 bytes twice: the second half is matches 40,000 back,
  // beyond the window, then nearer ones as the encoder finds them.
  Bytes farMatches(80000);
  std::copy_n(noise.begin(), 40000, farMatches.begin());
  std::copy_n(noise.begin(), 40000, farMatches.begin() + 40000);
  return {{"one byte", {'x'}}, {"a run", Bytes(100000, 0x90)}, {"noise", noise},
          {"GBK text", text},  {"short periods", periodic},    {"matches 32 KiB back", farMatches}};
}

// Every stream zlib's deflate writes, at every level, strategy and window
// size, decodes to the same bytes; room one byte short is reported as such.
TEST(FastInflateTest, DecodesWhatDeflateWrites) {
  const struct {
    int level, windowBits, strategy;
  } settings[] = {{0, 15, Z_DEFAULT_STRATEGY},
                  {1, 15, Z_DEFAULT_STRATEGY},
                  {6, 15, Z_DEFAULT_STRATEGY},
                  {9, 15, Z_DEFAULT_STRATEGY},
                  {9, 9, Z_DEFAULT_STRATEGY},
                  {6, 12, Z_FILTERED},
                  {6, 15, Z_HUFFMAN_ONLY},
                  {6, 15, Z_RLE},
                  {6, 15, Z_FIXED}};
  for (const auto& [name, content] : Contents()) {
    for (const auto& setting : settings) {
      SCOPED_TRACE(name + " level " + std::to_string(setting.level) + " window " +
                   std::to_string(setting.windowBits) + " strategy " +
                   std::to_string(setting.strategy));
      const Bytes stream = Deflate(content, setting.level, setting.windowBits, setting.strategy);
      const Decoded exact = DecodeFast(stream, content.size());
      EXPECT_EQ(exact.result, FastInflateResult::kDone);
      EXPECT_TRUE(exact.content == content);
      EXPECT_EQ(DecodeFast(stream, content.size() - 1).result, FastInflateResult::kOutputFull);
    }
  }
}

// Damage anywhere never gives a result zlib would not: whatever the decoder
// accepts, zlib accepts with the same content. A stream cut short is never
// taken for a whole one.
TEST(FastInflateTest, DamagedStreamsAreNeverTakenWhereZlibRefuses) {
  Bytes content;
  for (int i = 0; i < 3000; ++i)
    content.push_back(static_cast<uint8_t>("zavo; li4"[i % 9] + i / 700));
  std::mt19937 random(11);
  for (int strategy : {Z_DEFAULT_STRATEGY, Z_FIXED, Z_HUFFMAN_ONLY}) {
    const Bytes stream = Deflate(content, 9, 15, strategy);
    for (size_t cut = 0; cut < stream.size(); ++cut) {
      const Bytes shorter(stream.begin(), stream.begin() + cut);
      EXPECT_EQ(DecodeFast(shorter, content.size() * 2).result, FastInflateResult::kFailed) << cut;
    }
    for (int trial = 0; trial < 3000; ++trial) {
      Bytes damaged = stream;
      damaged[random() % damaged.size()] ^= static_cast<uint8_t>(1u << (random() % 8));
      const size_t capacity = random() % 2 ? content.size() : content.size() * 2;
      const Decoded decoded = DecodeFast(damaged, capacity);
      Bytes expected;
      const bool zlibTakes = ZlibTakes(damaged, capacity, &expected);
      if (decoded.result == FastInflateResult::kDone) {
        EXPECT_TRUE(zlibTakes) << trial;
        EXPECT_TRUE(decoded.content == expected) << trial;
      }
      if (decoded.result == FastInflateResult::kOutputFull) {
        EXPECT_FALSE(zlibTakes) << trial;
      }
    }
  }
}

// Writes deflate's bit order: fields from the lowest bit, Huffman codes from
// their highest.
class BitWriter {
 public:
  void Field(uint32_t value, unsigned bits) {
    for (unsigned i = 0; i < bits; ++i) Bit((value >> i) & 1);
  }
  void Code(uint32_t code, unsigned bits) {
    for (unsigned i = bits; i-- > 0;) Bit((code >> i) & 1);
  }
  Bytes Finish() {
    Bytes bytes = bytes_;
    if (used_ != 0) bytes.push_back(partial_);
    return bytes;
  }

 private:
  void Bit(uint32_t bit) {
    partial_ = static_cast<uint8_t>(partial_ | (bit << used_));
    if (++used_ == 8) {
      bytes_.push_back(partial_);
      partial_ = 0;
      used_ = 0;
    }
  }
  Bytes bytes_;
  uint8_t partial_ = 0;
  unsigned used_ = 0;
};

// "aaa" in a dynamic block whose distance code has a single code: valid, and
// zlib takes it, but the fast decoder leaves such incomplete codes to zlib.
Bytes SingleDistanceCodeStream() {
  BitWriter bits;
  bits.Field(0x78, 8);
  bits.Field(0x01, 8);
  bits.Field(1, 1);   // final
  bits.Field(2, 2);   // dynamic
  bits.Field(0, 5);   // 257 literal/length codes
  bits.Field(0, 5);   // 1 distance code
  bits.Field(14, 4);  // 18 precode lengths
  for (int i = 0; i < 18; ++i) bits.Field(i == 2 || i == 17 ? 1 : 0, 3);  // symbols 18 and 1
  // Precode: symbol 1 is code 0, symbol 18 code 1.
  bits.Code(1, 1), bits.Field(97 - 11, 7);      // 97 zeros
  bits.Code(0, 1);                              // 'a': length 1
  bits.Code(1, 1), bits.Field(138 - 11, 7);     // 138 zeros
  bits.Code(1, 1), bits.Field(20 - 11, 7);      // 20 zeros
  bits.Code(0, 1);                              // end of block: length 1
  bits.Code(0, 1);                              // distance 0: length 1
  for (int i = 0; i < 3; ++i) bits.Code(0, 1);  // 'a' is code 0
  bits.Code(1, 1);                              // end of block
  Bytes stream = bits.Finish();
  const uLong check = adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>("aaa"), 3);
  for (int shift = 24; shift >= 0; shift -= 8)
    stream.push_back(static_cast<uint8_t>(check >> shift));
  return stream;
}

class FastInflateExtractTest : public PackageTest {};

TEST_F(FastInflateExtractTest, StreamsLeftToZlibAreStillUnpacked) {
  const Bytes stream = SingleDistanceCodeStream();
  EXPECT_EQ(DecodeFast(stream, 10).result, FastInflateResult::kFailed);
  Bytes content;
  ASSERT_TRUE(ZlibTakes(stream, 10, &content));
  ASSERT_EQ(std::string(content.begin(), content.end()), "aaa");

  const std::string raw(stream.begin(), stream.end());
  const std::string container =
      RawContainer('0', 1, {RawDigestRecord("a.zvh", DigestOf("aaa"), raw)});
  EXPECT_TRUE(Extract(container));
  EXPECT_EQ(Installed("a.zvh"), "aaa");
  EXPECT_TRUE(Messages().empty());
}

}  // namespace
}  // namespace zv::testing
