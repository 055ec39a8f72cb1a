// The fake machine's text conversions: the converters iconv keeps between
// calls must start each conversion afresh.
#include "platform/fake/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace zv::fake {
namespace {

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
