#include "settings/install_stamp.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win_constants.h"
#include "settings_test_support.h"

namespace zv {
namespace {

TEST(FormatTickCount, IsTheSigned32BitDecimalNumber) {
  EXPECT_EQ(FormatTickCount(0), "0");
  EXPECT_EQ(FormatTickCount(86400000), "86400000");
  EXPECT_EQ(FormatTickCount(0x7FFFFFFFu), "2147483647");
  EXPECT_EQ(FormatTickCount(0x80000000u), "-2147483648");
  EXPECT_EQ(FormatTickCount(0xFFFFFFFFu), "-1");
}

using WriteInstallStampTest = SettingsFilesTest;

TEST_F(WriteInstallStampTest, WritesTheTickCountWithoutLineEndOrTerminator) {
  machine_.AddFile(kTestInstallDir + "install.zvh", std::string(40, '9'));
  machine_.SetTickCount(123456);
  WriteInstallStamp();
  EXPECT_EQ(Read("install.zvh"), "123456");

  machine_.SetTickCount(0x80000005u);
  WriteInstallStamp();
  EXPECT_EQ(Read("install.zvh"), "-2147483643");

  machine_.FailOperation("CreateFileA", win::kErrorAccessDenied, "install.zvh");
  machine_.SetTickCount(7);
  WriteInstallStamp();
  EXPECT_EQ(Read("install.zvh"), "-2147483643");
}

}  // namespace
}  // namespace zv
