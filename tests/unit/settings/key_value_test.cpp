#include "settings/key_value.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zv {
namespace {

// Looks the key up in a heap block of exactly the data's size, so that a
// read past the end is caught by the address sanitizer.
std::string Find(const std::string& data, const std::string& key = "ZVNETURL1=") {
  std::vector<char> exact(data.begin(), data.end());
  KeyValueText out;
  out.Assign("left over");
  FindKeyValue(std::string_view(exact.data(), exact.size()), key, &out);
  EXPECT_EQ(out.c_str()[out.size()], '\0');
  return out.str();
}

TEST(FindKeyValue, TakesTheBytesAfterTheKeyUpToTheFirstSpaceOrControlByte) {
  EXPECT_EQ(Find("ZVNETURL1=http://a.cn\r\nZVNETURL2=b\r\n"), "http://a.cn");
  EXPECT_EQ(Find("X=1\r\nZVNETURL2=b\r\nZVNETURL1=c.cn\r\n", "ZVNETURL2="), "b");
  EXPECT_EQ(Find("ZVNETURL1=a b"), "a");
  EXPECT_EQ(Find("ZVNETURL1=a\tb"), "a");
  EXPECT_EQ(Find("ZVNETURL1=a\nb"), "a");
  EXPECT_EQ(Find(std::string("ZVNETURL1=a\0b", 13)), "a");
  EXPECT_EQ(Find("ZVNETURL1=a\x01"
                 "b"),
            "a");
  // Bytes above 0x20, double-byte characters (智能 in GBK) and DEL included.
  EXPECT_EQ(Find("ZVNETURL1=\xd6\xc7\xc4\xdc.cn/\x7f\xff~ rest"), "\xd6\xc7\xc4\xdc.cn/\x7f\xff~");
}

TEST(FindKeyValue, FindsTheFirstExactOccurrenceAnywhere) {
  // Inside a longer word on an earlier line: the first occurrence wins.
  EXPECT_EQ(Find("OLDZVNETURL1=first\r\nZVNETURL1=second\r\n"), "first");
  // Letter case counts.
  EXPECT_EQ(Find("zvneturl1=lower\r\nZVNETURL1=upper"), "upper");
  EXPECT_EQ(Find("zvneturl1=lower"), "");
  // Zero bytes before the key do not end the search.
  EXPECT_EQ(Find(std::string("\0\0ZVNETURL1=x", 13)), "x");
  // A key that is only partly there is not found.
  EXPECT_EQ(Find("ZVNETURL1"), "");
  EXPECT_EQ(Find("ZVNETURL"), "");
}

TEST(FindKeyValue, StaysInsideHostileData) {
  EXPECT_EQ(Find(""), "");
  EXPECT_EQ(Find("no key here"), "");
  EXPECT_EQ(Find("ZVNETURL1=x", ""), "");
  // Key at the very end, and a value running to the end without terminator.
  EXPECT_EQ(Find("A=1\r\nZVNETURL1="), "");
  EXPECT_EQ(Find("ZVNETURL1=abc"), "abc");
  EXPECT_EQ(Find("ZVNETURL1=\r\nZVNETURL2=x"), "");
  // Values are cut after 250 bytes.
  EXPECT_EQ(Find("ZVNETURL1=" + std::string(249, 'a')), std::string(249, 'a'));
  EXPECT_EQ(Find("ZVNETURL1=" + std::string(250, 'a')), std::string(250, 'a'));
  EXPECT_EQ(Find("ZVNETURL1=" + std::string(251, 'b')), std::string(250, 'b'));
  EXPECT_EQ(Find("ZVNETURL1=" + std::string(5000, '\xb0') + "\r\n"), std::string(250, '\xb0'));
  // A key longer than the data.
  EXPECT_EQ(Find("ZV", std::string(300, 'Z')), "");
}

}  // namespace
}  // namespace zv
