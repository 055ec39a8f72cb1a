#include "settings/ime_settings_files.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win_constants.h"
#include "settings/web_address.h"
#include "settings_test_support.h"
#include "state/run_state.h"
#include "system/install_locations.h"

namespace zv {
namespace {

const std::string kEmptyAddressNetworkFile =
    "ZVNETURL1=\r\n"
    "ZVNETURL2=\r\n"
    "ZVNETTIME=1\r\n"
    "ZVBJTIME=7\r\n"
    "ZVWYTIME=3\r\n"
    "ZVSJOFF=0\r\n"
    "ZVNETTIME0=0\r\n"
    "ZVBJTIME0=0\r\n"
    "ZVNEONE=1\r\n";

using WriteImeSettingsFilesTest = SettingsFilesTest;

TEST_F(WriteImeSettingsFilesTest, SilentModeWritesTheShapeCodeEditionAndNoAddress) {
  machine_.AddFile(kTestInstallDir + "zvnetsj.dat", std::string(2000, 'x'));
  WriteImeSettingsFiles("");
  EXPECT_EQ(Read("wbpybz.zvh"), std::string("ZVWBPYBZ=0\0", 11));
  ASSERT_EQ(kEmptyAddressNetworkFile.size(), 110u);
  EXPECT_EQ(Read("zvnetsj.dat"), kEmptyAddressNetworkFile);
}

TEST_F(WriteImeSettingsFilesTest, PinyinEditionWithAnAddressOnTheSecondLine) {
  EditionFlag = 1;
  // www.智能.cn with the two characters in GBK: each adds two bytes.
  const std::string address = "www.\xd6\xc7\xc4\xdc.cn";
  WriteImeSettingsFiles(address);
  EXPECT_EQ(Read("wbpybz.zvh"), std::string("ZVWBPYBZ=1\0", 11));
  const std::string network = Read("zvnetsj.dat");
  EXPECT_EQ(network.size(), 110u + address.size());
  EXPECT_EQ(network, "ZVNETURL1=\r\nZVNETURL2=" + address + kEmptyAddressNetworkFile.substr(22));

  // A file written by this installer alone offers no address back.
  EXPECT_EQ(LoadWebAddress(), "");
}

TEST_F(WriteImeSettingsFilesTest, AnAddressCannotAddLinesOfItsOwn) {
  WriteImeSettingsFiles("a.cn\r\nZVNETURL1=evil.cn");
  EXPECT_EQ(Read("zvnetsj.dat"),
            "ZVNETURL1=\r\nZVNETURL2=a.cn" + kEmptyAddressNetworkFile.substr(22));
  WriteImeSettingsFiles(std::string("b.cn\0ZVNETURL1=evil.cn", 22));
  EXPECT_EQ(Read("zvnetsj.dat").size(), 114u);
  EXPECT_EQ(LoadWebAddress(), "");
}

TEST_F(WriteImeSettingsFilesTest, EachFileIsWrittenEvenWhenTheOtherFails) {
  machine_.FailOperation("CreateFileA", win::kErrorAccessDenied, "wbpybz.zvh");
  WriteImeSettingsFiles("x.cn");
  EXPECT_FALSE(machine_.Exists(kTestInstallDir + "wbpybz.zvh"));
  EXPECT_EQ(Read("zvnetsj.dat").size(), 114u);

  machine_.ClearFailures();
  machine_.RemovePath(kTestInstallDir + "zvnetsj.dat");
  machine_.FailOperation("CreateFileA", win::kErrorAccessDenied, "zvnetsj.dat");
  WriteImeSettingsFiles("x.cn");
  EXPECT_FALSE(machine_.Exists(kTestInstallDir + "zvnetsj.dat"));
  EXPECT_EQ(Read("wbpybz.zvh").size(), 11u);
}

TEST_F(WriteImeSettingsFilesTest, NothingIsWrittenBeforeTheInstallDirectoryExists) {
  machine_.AddDirectory("C:\\Tools");
  InstallDir.Assign("C:\\Tools\\zavoli\\");
  WriteImeSettingsFiles("x.cn");
  EXPECT_EQ(InstallDir.str(), "C:\\Tools\\zavoli\\");
  EXPECT_FALSE(machine_.Exists("C:\\Tools\\zavoli"));

  // Without a directory of the form "X:\..." the files go to the default,
  // and InstallDir is left as it is.
  InstallDir.clear();
  WriteImeSettingsFiles("");
  EXPECT_TRUE(InstallDir.empty());
  EXPECT_EQ(Read("zvnetsj.dat"), kEmptyAddressNetworkFile);
}

}  // namespace
}  // namespace zv
