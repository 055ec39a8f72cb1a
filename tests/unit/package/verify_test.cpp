#include "package/verify.h"

#include <string>

#include "package_test_support.h"
#include "platform/fake/code_page.h"

namespace zv::testing {
namespace {

const std::u16string kIncomplete = u"有文件没有成功解压，请重新下载安装！\r\n";

class VerifyTest : public PackageTest {
 protected:
  int Verify(const std::string& container, std::string_view exemptList = {}) {
    ExactBytes exact(container);
    failList_ = "left over from before";
    return VerifyContainer(exact.container(), kInstallDir, &failList_, exemptList);
  }
  std::u16string FailText() const {
    return fake::AnsiToUtf16(machine_.Settings().ansiCodePage, failList_);
  }
  std::string failList_;
};

TEST_F(VerifyTest, DigestLayoutListsMissingAndChangedFiles) {
  const std::string container = BuildContainer(
      ContainerLayout::kDigest, {{"a.zvh", "aaa"}, {"b.zvh", "bbb"}, {"c.zvh", "ccc"}});
  machine_.AddFile("C:\\zavoli\\a.zvh", "aaa");
  machine_.AddFile("C:\\zavoli\\c.zvh", "ccc");
  EXPECT_EQ(Verify(container), 2);
  EXPECT_EQ(FailText(), u"b.zvh...." + kIncomplete);

  machine_.AddFile("C:\\zavoli\\b.zvh", "bbb");
  EXPECT_EQ(Verify(container), 3);
  EXPECT_EQ(failList_, "");

  machine_.AddFile("C:\\zavoli\\a.zvh", "aaa ");
  machine_.AddFile("C:\\zavoli\\c.zvh", "");
  EXPECT_EQ(Verify(container), 1);
  EXPECT_EQ(FailText(), u"a.zvh....c.zvh...." + kIncomplete);

  // The closing sentence is 8-bit text of the system's code page (Big5
  // lacks some of its simplified characters).
  const std::string gbk = failList_;
  machine_.SetAnsiCodePage(950);
  Verify(container);
  EXPECT_NE(failList_, gbk);
  EXPECT_EQ(FailText().substr(0, 21), u"a.zvh....c.zvh....有文件");
}

TEST_F(VerifyTest, ExemptionListIsAPlainSubstringTest) {
  const std::string container = BuildContainer(
      ContainerLayout::kDigest,
      {{"320.ime", "1"}, {"zavo32.ime", "2"}, {"ZVSZSJ43.ZVH", "3"}, {"setupw64.exe", "4"}});
  // None of the files is present.
  EXPECT_EQ(Verify(container, "zavo320.ime zvszsj43.zvh SETUPW64.EXE "), 2);
  EXPECT_EQ(FailText(), u"zavo32.ime....ZVSZSJ43.ZVH...." + kIncomplete);
  EXPECT_EQ(Verify(container, ""), 0);
}

TEST_F(VerifyTest, PlainLayoutPassesFilesAtLeastAsLongAsTheStream) {
  const std::string content(4000, 'x');
  const std::string container =
      BuildContainer(ContainerLayout::kPlain, {{"zvbmpsx1.bmp", content}});
  ContainerReader reader(BytesOf(container));
  PackageEntry entry;
  ASSERT_TRUE(reader.Next(&entry));
  machine_.AddFile("C:\\zavoli\\zvbmpsx1.bmp", std::string(entry.streamSize, 'y'));
  EXPECT_EQ(Verify(container, "zvbmpsx1.bmp"), 1);
  EXPECT_EQ(failList_, "");
  machine_.AddFile("C:\\zavoli\\zvbmpsx1.bmp", std::string(entry.streamSize - 1, 'y'));
  EXPECT_EQ(Verify(container, "zvbmpsx1.bmp"), 0);
  EXPECT_EQ(FailText(), u"zvbmpsx1.bmp...." + kIncomplete);
}

TEST_F(VerifyTest, StoppedWalkAndUnusableNamesFail) {
  std::string container =
      BuildContainer(ContainerLayout::kDigest, {{"a.zvh", "aaa"}, {"b.zvh", "bbb"}});
  machine_.AddFile("C:\\zavoli\\a.zvh", "aaa");
  machine_.AddFile("C:\\zavoli\\b.zvh", "bbb");
  std::string overcounted = container + std::string(4, '\0');
  PatchU32(&overcounted, kRecordCountOffset, 3);
  EXPECT_EQ(Verify(overcounted), 2);
  EXPECT_EQ(FailText(), kIncomplete);

  EXPECT_EQ(Verify(container.substr(0, container.size() - 1)), 1);
  EXPECT_EQ(FailText(), kIncomplete);

  EXPECT_EQ(Verify(container.substr(0, 5)), 0);
  EXPECT_EQ(FailText(), kIncomplete);

  // An empty name would be "found" in any exemption list; it fails anyway,
  // as do names that point elsewhere.
  machine_.AddFile("C:\\b.zvh", "bbb");
  PatchName(&container, RecordOffsets(container)[1], ContainerLayout::kDigest, "");
  EXPECT_EQ(Verify(container, "a.zvh b.zvh "), 1);
  EXPECT_EQ(FailText(), u"...." + kIncomplete);
  PatchName(&container, RecordOffsets(container)[1], ContainerLayout::kDigest, "..\\b.zvh");
  EXPECT_EQ(Verify(container), 1);
  EXPECT_EQ(FailText(), u"..\\b.zvh...." + kIncomplete);
}

}  // namespace
}  // namespace zv::testing
