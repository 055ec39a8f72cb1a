// The demo package as a whole: a digest-layout container with the shipped
// package's 4-byte trailer, every record sound, every name the installer
// relies on present.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "demo_package_support.h"
#include "package/container_reader.h"

namespace zv::demo {
namespace {

class DemoPackageTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Demo().error, "") << Demo().error; }
};

// A lower-case 8.3 name: a stem of 1 to 8 and an extension of 1 to 3
// lower-case letters, digits or underscores.
bool IsLowerCaseShortName(const std::string& name) {
  const size_t dot = name.find('.');
  const std::string stem = name.substr(0, dot);
  const std::string extension = dot == std::string::npos ? "" : name.substr(dot + 1);
  auto allowed = [](const std::string& part) {
    return std::all_of(part.begin(), part.end(), [](char c) {
      return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
  };
  return !stem.empty() && stem.size() <= 8 && extension.size() <= 3 &&
         (dot == std::string::npos || !extension.empty()) && allowed(stem) && allowed(extension);
}

bool IsSkinName(const std::string& name) {
  return name == kColdPorcelainSkin || name == kLittleAngelSkin || name == kPinkPorcelainSkin;
}

TEST_F(DemoPackageTest, IsADigestContainerEndingInFourZeroBytesOutsideTheEndOffset) {
  const std::string& bytes = Demo().bytes;
  ContainerReader reader(Demo().container());
  PackageEntry entry;
  while (reader.Next(&entry)) {
  }
  EXPECT_EQ(bytes[0], 'C');
  EXPECT_EQ(reader.layout(), ContainerLayout::kDigest);
  EXPECT_EQ(reader.layoutLetter(), '0');
  EXPECT_EQ(reader.stop(), WalkStop::kNone);
  EXPECT_EQ(reader.recordsRead(), reader.recordCount());
  EXPECT_EQ(reader.endOffset(), reader.position()) << "the end offset must end at the last record";
  ASSERT_EQ(bytes.size(), reader.position() + 4);
  EXPECT_EQ(bytes.substr(reader.position()), std::string(4, '\0'));
  // Modest: the whole package well under 2 MB, and the installer's work
  // buffer (2,097,008 bytes of content) holds every record.
  EXPECT_LT(bytes.size(), 1000000u);
  for (const DemoRecord& record : Demo().records) {
    EXPECT_LE(record.content.size(), 2097008u) << record.name;
  }
}

TEST_F(DemoPackageTest, EveryRecordInflatesToContentMatchingItsDigest) {
  ASSERT_GE(Demo().records.size(), 80u);
  for (const DemoRecord& record : Demo().records) {
    SCOPED_TRACE(record.name);
    EXPECT_EQ(record.problem, "");
    EXPECT_FALSE(record.content.empty()) << "the installer fails a record of no content";
    EXPECT_EQ(record.digestField, Md5Digits(record.content) + std::string(2, '\0'));
  }
}

TEST_F(DemoPackageTest, NamesAreUniqueBareShortNamesInAZeroFilledField) {
  std::set<std::string> seen;
  for (const DemoRecord& record : Demo().records) {
    SCOPED_TRACE(record.name);
    EXPECT_TRUE(seen.insert(record.name).second) << "name occurs twice";
    EXPECT_LE(record.name.size(), 15u);
    EXPECT_EQ(record.nameField, record.name + std::string(16 - record.name.size(), '\0'));
    EXPECT_TRUE(IsLowerCaseShortName(record.name) || IsSkinName(record.name));
  }
}

TEST_F(DemoPackageTest, HoldsEveryEntryTheInstallerNames) {
  for (const char* name :
       {"zavoli4.ime", "zavoli64.ime", "zavo320.ime", "zavo321.ime", "zavo640.ime", "zavo641.ime",
        "setupw64.exe", "zavokpmt.exe", "zavokpm6.exe", "zavodel.exe", "zvqdel64.exe",
        "zavocyzk.bak", "zavopyck.bak", "zvszsj43.zvh", "kpmt1.bmp", kColdPorcelainSkin,
        kLittleAngelSkin, kPinkPorcelainSkin}) {
    EXPECT_NE(Demo().Find(name), nullptr) << name;
  }
}

TEST_F(DemoPackageTest, HoldsFiveArchivesInTheContainerFormat) {
  int archives = 0;
  for (const DemoRecord& record : Demo().records) {
    if (record.name.size() < 4 || record.name.substr(record.name.size() - 4) != ".zvz") continue;
    ++archives;
    std::vector<DemoRecord> inner;
    std::string error;
    EXPECT_TRUE(
        UnpackContainer(ContainerBytes{reinterpret_cast<const uint8_t*>(record.content.data()),
                                       record.content.size()},
                        &inner, &error))
        << record.name << ": " << error;
    EXPECT_FALSE(inner.empty()) << record.name;
    for (const DemoRecord& file : inner) EXPECT_EQ(file.problem, "") << file.name;
  }
  EXPECT_EQ(archives, 5);
}

}  // namespace
}  // namespace zv::demo
