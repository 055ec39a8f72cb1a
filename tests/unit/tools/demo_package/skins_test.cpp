// The three skin archives: plain-layout containers of the eight skin files,
// small enough for the installer's 131,072-byte read, and passing the
// installer's size check once unpacked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bitmap_reader.h"
#include "demo_package_support.h"
#include "package/container_reader.h"
#include "platform/fake/fake_machine.h"
#include "platform/text_codec.h"

namespace zv::demo {
namespace {

class DemoSkinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Demo().error, "") << Demo().error;
    machine_.Install();  // code page 936
  }
  fake::FakeMachine machine_;
};

TEST_F(DemoSkinTest, SkinNamesAreTheGbkFormsOfTheSkinTitles) {
  auto gbk = [](const std::u16string& text) { return platform::Codec().WideCharToMultiByte(text); };
  EXPECT_EQ(gbk(u"冷色瓷面.zvz"), kColdPorcelainSkin);
  EXPECT_EQ(gbk(u"小天使.zvz"), kLittleAngelSkin);
  EXPECT_EQ(gbk(u"粉色瓷面.zvz"), kPinkPorcelainSkin);
}

TEST_F(DemoSkinTest, EachSkinIsAPlainContainerOfTheEightSkinFiles) {
  std::vector<std::string> archives;
  for (const char* name : {kColdPorcelainSkin, kLittleAngelSkin, kPinkPorcelainSkin}) {
    const DemoRecord* record = Demo().Find(name);
    ASSERT_NE(record, nullptr) << name;
    const std::string& archive = record->content;
    archives.push_back(archive);
    EXPECT_LT(archive.size(), 131072u) << name;

    ContainerBytes bytes{reinterpret_cast<const uint8_t*>(archive.data()), archive.size()};
    EXPECT_EQ(ContainerReader(bytes).layout(), ContainerLayout::kPlain) << name;
    std::vector<DemoRecord> files;
    std::string error;
    ASSERT_TRUE(UnpackContainer(bytes, &files, &error)) << name << ": " << error;

    std::vector<std::string> names;
    for (const DemoRecord& file : files) {
      SCOPED_TRACE(file.name);
      names.push_back(file.name);
      EXPECT_EQ(file.problem, "");
      EXPECT_FALSE(file.content.empty());
      // Verification passes an unpacked skin file holding at least as many
      // bytes as its record's stream.
      EXPECT_LE(file.streamSize, file.content.size());
      if (file.name != "zvbmp8.zvh") {
        Bitmap bitmap;
        std::string problem;
        EXPECT_TRUE(ReadBitmap24(file.content, &bitmap, &problem)) << problem;
      }
    }
    EXPECT_EQ(names, SkinFileNames()) << name;
  }
  ASSERT_EQ(archives.size(), 3u);
  EXPECT_NE(archives[0], archives[1]);
  EXPECT_NE(archives[1], archives[2]);
  EXPECT_NE(archives[0], archives[2]);
}

}  // namespace
}  // namespace zv::demo
