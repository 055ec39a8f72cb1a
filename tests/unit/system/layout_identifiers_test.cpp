#include <gtest/gtest.h>

#include <string>

#include "platform/fake/code_page.h"
#include "system/layout_id.h"
#include "system/layout_texts.h"

namespace zv {
namespace {

TEST(LayoutIdentifiers, NumbersFromKeyNames) {
  EXPECT_EQ(LeadingHexNumber("E0200804"), 0xE0200804u);
  EXPECT_EQ(LeadingHexNumber("e0200804"), 0xE0200804u);
  EXPECT_EQ(LeadingHexNumber("0000041a"), 0x41Au);
  EXPECT_EQ(LeadingHexNumber("12zz"), 0x12u);
  EXPECT_EQ(LeadingHexNumber("000000000E0200804"), 0xE0200804u);
  EXPECT_FALSE(LeadingHexNumber("layout1").has_value());
  EXPECT_FALSE(LeadingHexNumber("").has_value());
  EXPECT_FALSE(LeadingHexNumber("123456789").has_value());
}

TEST(LayoutIdentifiers, NextIdentifierStaysInRange) {
  EXPECT_EQ(NextLayoutId(0x804, 0xE0000804, "804"), "E0010804");
  EXPECT_EQ(NextLayoutId(0xE0200411, 0xE0000804, "804"), "E0210804");
  EXPECT_EQ(NextLayoutId(0xE0200804, 0xE0000404, "404"), "E0210404");
  EXPECT_EQ(NextLayoutId(0xFFFEFFFF, 0xE0000804, "804"), "FFFFF804");
  EXPECT_FALSE(NextLayoutId(0xFFFF0000, 0xE0000804, "804").has_value());
  EXPECT_EQ(WithLanguageEnding("E0200404", "804"), "E0200804");
  EXPECT_EQ(WithLanguageEnding("ab", "804"), "804");
}

// The fixed 8-bit forms of the product's texts are the GBK and Big5
// encodings of their UTF-16 texts.
TEST(LayoutIdentifiers, ProductByteConstantsMatchTheirTexts) {
  using namespace texts::layout;
  EXPECT_EQ(fake::Utf16ToAnsi(936, kImeNamePrefixGbkText), std::string(kImeNamePrefixGbk));
  EXPECT_EQ(fake::Utf16ToAnsi(950, kImeNamePrefixBig5Text), std::string(kImeNamePrefixBig5));
  EXPECT_EQ(fake::Utf16ToAnsi(936, kImeLayoutText), std::string(kImeLayoutTextGbk));
  EXPECT_EQ(fake::Utf16ToAnsi(950, kImeLayoutTextBig5Text), std::string(kImeLayoutTextBig5));
  EXPECT_EQ(fake::Utf16ToAnsi(936, kImeFamilyPrefixGbkText), std::string(kImeFamilyPrefixGbk));
  EXPECT_EQ(kImeNamePrefixGbk.size(), 16u);
  EXPECT_EQ(kImeLayoutTextBig5.size(), 21u);
  EXPECT_EQ(kImeFamilyPrefixGbk.size(), 12u);
}

}  // namespace
}  // namespace zv
