#include "state/fixed_text.h"

#include <gtest/gtest.h>

#include <string>

namespace zv {
namespace {

TEST(FixedText, NeverHoldsMoreThanItsCapacityLessTheTerminator) {
  FixedText<8> text;
  EXPECT_TRUE(text.Assign("1234567"));
  EXPECT_FALSE(text.Assign("12345678"));
  EXPECT_EQ(text.str(), "1234567");  // a refused assignment changes nothing
  EXPECT_FALSE(text.Append("x"));
  EXPECT_EQ(text.size(), 7u);
  EXPECT_EQ(text.c_str()[7], '\0');

  text.AssignTruncated("abcdefghijk");
  EXPECT_EQ(text.str(), "abcdefg");
  text.Truncate(3);
  EXPECT_TRUE(text.Append("\\"));
  EXPECT_EQ(text.str(), "abc\\");
  EXPECT_TRUE(text.EndsWith('\\'));
  EXPECT_EQ(text[5], '\0');  // past the end of the text reads as the terminator
}

}  // namespace
}  // namespace zv
