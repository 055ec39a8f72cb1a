#include "state/message_text.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

TEST(FillNameSlot, ReplacesTheFirstSlotOnlyAndLeavesOtherFormatsAlone) {
  struct Case {
    std::string_view format, insert, expected;
  };
  const Case cases[] = {
      {"copy %s failed", "C:\\a.ime", "copy C:\\a.ime failed"},
      // 8-bit names go in byte for byte, even bytes that look like a slot.
      {"%s!", "D:\\\xA5\x5C%s", "D:\\\xA5\x5C%s!"},
      {"%s and %s", "x", "x and %s"},
      {"no slot here", "x", "no slot here"},
      {"%", "x", "%"},
      {"", "x", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FillNameSlot<char>(c.format, c.insert), c.expected) << c.format;
  }
  EXPECT_EQ(FillNameSlot<char16_t>(u"没有成功解压复制%s文件", u"甲.ime"),
            u"没有成功解压复制甲.ime文件");
}

}  // namespace
}  // namespace zv
