// The fake machine's text conversions: ASCII text takes a shortcut past
// iconv in the code pages that keep ASCII as it is, and must come out as
// iconv would give it; the converters iconv keeps between calls must start
// each conversion afresh.
#include "platform/fake/code_page.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/host/iconv_text.h"

namespace zv::fake {
namespace {

using platform::host::ConvertCharset;
using platform::host::IconvNameOfCodePage;

std::string AllAscii() {
  std::string text;
  for (int c = 0; c < 0x80; ++c) text.push_back(static_cast<char>(c));
  return text;
}

TEST(CodePage, AsciiConvertsAsIconvConvertsIt) {
  const std::string ascii = AllAscii();
  const std::u16string wide(ascii.begin(), ascii.end());
  for (uint32_t codePage : {936u, 950u, 1252u, 20127u, 28591u, 65001u}) {
    SCOPED_TRACE(codePage);
    const std::string name = IconvNameOfCodePage(codePage);
    const std::optional<std::string> toWide =
        ConvertCharset(name.c_str(), "UTF-16LE", ascii, std::string_view("?\0", 2));
    ASSERT_TRUE(toWide.has_value());
    EXPECT_EQ(AnsiToUtf16(codePage, ascii), BytesToUtf16(*toWide));
    const std::optional<std::string> toAnsi =
        ConvertCharset("UTF-16LE", name.c_str(), Utf16ToBytes(wide), "?");
    ASSERT_TRUE(toAnsi.has_value());
    EXPECT_EQ(Utf16ToAnsi(codePage, wide), *toAnsi);
  }
}

TEST(CodePage, EachConversionStartsAfreshWhateverTheLastOneLeft) {
  // 智能 in GBK, and GBK text cut inside its last character.
  const std::string gbk = "\xd6\xc7\xc4\xdc";
  const std::string cut = "a\xd6";
  struct Step {
    std::string bytes;
    std::u16string wide;
  };
  const Step steps[] = {{gbk, u"智能"},           {cut, u"a?"},          {gbk, u"智能"},
                        {"\xff" + gbk, u"?智能"}, {"x" + gbk, u"x智能"}, {cut, u"a?"}};
  for (int round = 0; round < 2; ++round) {
    for (const Step& step : steps) {
      SCOPED_TRACE(step.bytes);
      EXPECT_EQ(AnsiToUtf16(936, step.bytes), step.wide);
    }
  }
  EXPECT_EQ(Utf16ToAnsi(936, u"智能"), gbk);
  EXPECT_EQ(Utf16ToAnsi(950, u"智能"), "\xb4\xbc\xaf\xe0");
  EXPECT_EQ(Utf16ToAnsi(936, u"a\xd800"), "a?");
  EXPECT_EQ(Utf16ToAnsi(936, u"智能"), gbk);
}

}  // namespace
}  // namespace zv::fake
