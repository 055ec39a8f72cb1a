#include "package/phrase_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace zv::testing {
namespace {

struct Compacted {
  std::string text;  // the filtered text
  std::string trailer;
};

// Runs the filter on a block of exactly length + 12 bytes, so that the
// address sanitizer catches any access outside the text and its trailer,
// once with the trailer's room holding zeros and once 0xFF: the room is only
// written, so both runs must agree.
Compacted Compact(const std::string& input) {
  Compacted results[2];
  const uint8_t fills[2] = {0x00, 0xFF};
  for (int run = 0; run < 2; ++run) {
    const size_t room = input.size() + kPhraseTrailerSize;
    std::unique_ptr<uint8_t[]> block(new uint8_t[room]);
    std::memcpy(block.get(), input.data(), input.size());
    std::memset(block.get() + input.size(), fills[run], kPhraseTrailerSize);
    const size_t length = CompactPhraseList(block.get(), input.size());
    EXPECT_LE(length, input.size());
    const char* bytes = reinterpret_cast<const char*>(block.get());
    results[run] =
        Compacted{std::string(bytes, length), std::string(bytes + length, kPhraseTrailerSize)};
  }
  EXPECT_EQ(results[0].text, results[1].text) << input;
  EXPECT_EQ(results[0].trailer, results[1].trailer) << input;
  return results[0];
}

std::string Trailer(uint32_t checksum, uint32_t kept) {
  std::string trailer = "ZAVO";
  for (uint32_t value : {checksum, kept}) {
    for (int i = 0; i < 4; ++i) trailer.push_back(static_cast<char>(value >> (8 * i)));
  }
  return trailer;
}

// GBK: 中 D6D0, 文 CEC4, 词 B4CA, 语 D3EF, 一 D2BB.
const std::string kZhong = "\xD6\xD0";
const std::string kWen = "\xCE\xC4";
const std::string kCi = "\xB4\xCA";
const std::string kYu = "\xD3\xEF";
const std::string kYi = "\xD2\xBB";
constexpr uint32_t kSumZhongWen = 0xD6 + 0xD0 + 0xCE + 0xC4;
constexpr uint32_t kSumCiYu = 0xB4 + 0xCA + 0xD3 + 0xEF;
constexpr uint32_t kSumYi = 0xD2 + 0xBB;

TEST(CompactPhraseListTest, KeepsPhrasesOfTwoOrMoreCharactersAndAppendsTheTrailer) {
  const std::string shipped = kZhong + kWen + "; " + kCi + kYu + "; ";
  EXPECT_EQ(Compact(shipped).text, shipped);
  EXPECT_EQ(Compact(shipped).trailer, Trailer(kSumZhongWen + kSumCiYu, 2));

  // A one-character phrase and one holding other bytes are dropped; their
  // separators stay and their characters still count in the checksum.
  const std::string mixed = kZhong + kWen + "; " + kYi + "; " + kCi + "x" + kYu + "; " + kCi + kYu;
  const Compacted result = Compact(mixed);
  EXPECT_EQ(result.text, kZhong + kWen + "; ; ; ");
  // 语 after the 'x' is skipped over, not scanned as a run, so it does not count.
  EXPECT_EQ(result.trailer, Trailer(kSumZhongWen + kSumYi + 0xB4 + 0xCA + kSumCiYu, 1));
}

TEST(CompactPhraseListTest, TextCarryingItsTrailerIsLeftAlone) {
  const std::string withTrailer = kZhong + kWen + "; " + Trailer(123, 1);
  const size_t room = withTrailer.size();
  std::string block = withTrailer;
  EXPECT_EQ(CompactPhraseList(reinterpret_cast<uint8_t*>(&block[0]), room), room - 12);
  EXPECT_EQ(block, withTrailer);
  // "ZAVO" elsewhere than 12 bytes before the end is just text.
  // Here the skip after the leading letters runs over the phrase to its "; ".
  const Compacted notTrailer = Compact("ZAVO" + kZhong + kWen + "; ");
  EXPECT_EQ(notTrailer.text, "; ");
  EXPECT_EQ(notTrailer.trailer, Trailer(0, 0));
}

TEST(CompactPhraseListTest, HostileTextsStayInsideTheTextAndItsTrailer) {
  struct Case {
    std::string input;
    std::string text;
    uint32_t checksum;
    uint32_t kept;
  };
  const Case cases[] = {
      {"", "", 0, 0},
      {";", "", 0, 0},
      {"\xD6", "", 0, 0},
      {kZhong + "\xCE", "", 0xD6 + 0xD0, 0},       // ends inside a character
      {kZhong + kWen + ";", "", kSumZhongWen, 0},  // a lone ';' at the end
      {kZhong + kWen + "; " + kCi + ";", kZhong + kWen + "; ", kSumZhongWen + 0xB4 + 0xCA, 1},
      {"no-separators-at-all", "", 0, 0},
      {"a b", "a ", 0, 0},  // any byte before a blank is taken for a separator
      {"\xFF\xFF\xFF\xFF\xFF", "", 4 * 0xFF, 0},  // lead bytes to the end
      {"; ; ; ", "; ; ; ", 0, 0},
      {kZhong + kWen + ";x" + kCi + kYu + "; ", ";x" + kCi + kYu + "; ", kSumZhongWen + kSumCiYu,
       1},
      {std::string("a\0 b", 4), std::string("\0 ", 2), 0, 0},
  };
  for (const Case& c : cases) {
    const Compacted result = Compact(c.input);
    EXPECT_EQ(result.text, c.text) << c.input;
    EXPECT_EQ(result.trailer, Trailer(c.checksum, c.kept)) << c.input;
  }
}

}  // namespace
}  // namespace zv::testing
