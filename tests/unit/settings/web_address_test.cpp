#include "settings/web_address.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win_constants.h"
#include "settings/ime_settings_files.h"
#include "settings_test_support.h"

namespace zv {
namespace {

using LoadWebAddressTest = SettingsFilesTest;

TEST_F(LoadWebAddressTest, OffersTheFirstLineAddressOfAnEarlierFile) {
  EXPECT_EQ(LoadWebAddress(), "");  // no file

  machine_.AddFile(kTestInstallDir + "zvnetsj.dat",
                   "ZVNETURL1=http://old.cn/news\r\nZVNETURL2=second.cn\r\nZVNETTIME=1\r\n");
  const std::string offered = LoadWebAddress();
  EXPECT_EQ(offered, "http://old.cn/news");

  // Written back unchanged, the address moves to the second line.
  WriteImeSettingsFiles(offered);
  EXPECT_EQ(Read("zvnetsj.dat").substr(0, 42), "ZVNETURL1=\r\nZVNETURL2=http://old.cn/news\r\n");
  EXPECT_EQ(LoadWebAddress(), "");
}

TEST_F(LoadWebAddressTest, ReadsOnlyTheFirst1000BytesAndCutsLongValues) {
  const std::string path = kTestInstallDir + "zvnetsj.dat";
  // The key lies beyond the bytes read.
  machine_.AddFile(path, std::string(1000, 'x') + "ZVNETURL1=far.cn\r\n");
  EXPECT_EQ(LoadWebAddress(), "");
  // The value runs over the end of the bytes read and is cut there.
  machine_.AddFile(path, std::string(985, 'x') + "ZVNETURL1=abcdefghij\r\n");
  EXPECT_EQ(LoadWebAddress(), "abcde");
  machine_.AddFile(path, "ZVNETURL1=" + std::string(600, 'w') + "\r\n");
  EXPECT_EQ(LoadWebAddress(), std::string(250, 'w'));
  machine_.AddFile(path, "ZVNETURL1=a b\r\n");
  EXPECT_EQ(LoadWebAddress(), "a");
  machine_.AddFile(path, std::string(5000, '\0'));
  EXPECT_EQ(LoadWebAddress(), "");

  // A file that cannot be opened offers nothing.
  machine_.AddFile(path, "ZVNETURL1=locked.cn\r\n");
  const uint32_t handle = machine_.OpenHandle(path, win::kGenericWrite, 0);
  ASSERT_NE(handle, 0u);
  EXPECT_EQ(LoadWebAddress(), "");
  machine_.ReleaseHandle(handle);
  EXPECT_EQ(LoadWebAddress(), "locked.cn");
}

}  // namespace
}  // namespace zv
