// The program modules: PE images for the right machine, the language
// variants told apart by their names, and the version texts that the
// installer stamps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo_package_support.h"
#include "tools/peinfo/image_summary.h"
#include "tools/peinfo/pe_image.h"
#include "tools/peinfo/text.h"

namespace zv::demo {
namespace {

// "智能岚汀输入平台" in UTF-16 little-endian.
const std::string kBrand("\x7A\x66\xFD\x80\x9A\x5C\x40\x6C\x93\x8F\x65\x51\x73\x5E\xF0\x53", 16);

const char* const kLanguageVariants[] = {"zavo320.ime", "zavo321.ime", "zavo640.ime",
                                         "zavo641.ime"};

struct BrandTexts {
  int stampable = 0;  // followed by a blank, one character and 6.3 or 6.7
  int other = 0;      // followed by anything else
};

// Counts the UTF-16 brand texts the way the installer's stamp looks at them:
// the low bytes of the blank, '6', '.' and '3' or '7' behind the brand.
BrandTexts CountBrandTexts(const std::string& content) {
  BrandTexts texts;
  for (size_t p = content.find(kBrand); p != std::string::npos; p = content.find(kBrand, p + 1)) {
    const size_t q = p + kBrand.size();
    const bool stampable = q + 8 < content.size() && content[q] == ' ' && content[q + 4] == '6' &&
                           content[q + 6] == '.' &&
                           (content[q + 8] == '3' || content[q + 8] == '7');
    ++(stampable ? texts.stampable : texts.other);
  }
  return texts;
}

const DemoRecord& Record(const std::string& name) {
  static const DemoRecord missing;
  const DemoRecord* record = Demo().Find(name);
  EXPECT_NE(record, nullptr) << name << " is not in the package";
  return record ? *record : missing;
}

class DemoModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Demo().error, "") << Demo().error; }
};

TEST_F(DemoModuleTest, VariantsAndCompanionCarryVersionTextsToStampAndOnesToLeave) {
  std::vector<std::string> stamped(std::begin(kLanguageVariants), std::end(kLanguageVariants));
  stamped.push_back("setupw64.exe");
  for (const std::string& name : stamped) {
    const std::string& content = Record(name).content;
    const BrandTexts texts = CountBrandTexts(content);
    EXPECT_GE(texts.stampable, 2) << name << ": the stamp must find work more than once";
    // The installer reads at most 131,072 bytes of a file it stamps.
    EXPECT_LT(content.size(), 131072u) << name;
  }
  for (const char* name : kLanguageVariants) {
    EXPECT_GE(CountBrandTexts(Record(name).content).other, 2)
        << name << ": brand texts that the stamp must leave alone";
  }
  // One variant ends with a stamp site: the last bytes of a file are stamped too.
  const std::string& last = Record("zavo641.ime").content;
  ASSERT_GE(last.size(), kBrand.size() + 10);
  EXPECT_EQ(last.substr(last.size() - kBrand.size() - 10, kBrand.size()), kBrand);
  EXPECT_EQ(CountBrandTexts(last.substr(last.size() - kBrand.size() - 10)).stampable, 1);
}

TEST_F(DemoModuleTest, EachLanguageVariantNamesItselfAndNoOtherVariant) {
  for (const char* name : kLanguageVariants) {
    const std::string& content = Record(name).content;
    for (const char* other : kLanguageVariants) {
      const bool found = content.find(other) != std::string::npos;
      EXPECT_EQ(found, std::string(name) == other) << other << " in " << name;
    }
  }
}

TEST_F(DemoModuleTest, ModulesArePeImagesForTheirMachine) {
  const std::pair<const char*, uint16_t> modules[] = {
      {"zavoli4.ime", pe::kMachineI386},   {"zavoli64.ime", pe::kMachineAmd64},
      {"zavo320.ime", pe::kMachineI386},   {"zavo321.ime", pe::kMachineI386},
      {"zavo640.ime", pe::kMachineAmd64},  {"zavo641.ime", pe::kMachineAmd64},
      {"zavokpmt.exe", pe::kMachineI386},  {"zavokpm6.exe", pe::kMachineI386},
      {"zavodel.exe", pe::kMachineI386},   {"zvqdel64.exe", pe::kMachineAmd64},
      {"setupw64.exe", pe::kMachineAmd64},
  };
  for (const auto& [name, machine] : modules) {
    const std::string& content = Record(name).content;
    pe::PeImage image;
    std::string error;
    ASSERT_TRUE(
        ParsePeImage(pe::ByteView(reinterpret_cast<const uint8_t*>(content.data()), content.size()),
                     &image, &error))
        << name << ": " << error;
    EXPECT_EQ(image.machine, machine) << name;
    EXPECT_EQ(image.pe32_plus, machine == pe::kMachineAmd64) << name;
    EXPECT_EQ(image.subsystem, pe::kSubsystemWindowsGui) << name;
  }
}

TEST_F(DemoModuleTest, CompanionIsARealProgramThatNeedsOnlyKernel32) {
  const std::string& content = Record("setupw64.exe").content;
  pe::Inspection inspection;
  std::string error;
  ASSERT_TRUE(pe::InspectImage(
      pe::ByteView(reinterpret_cast<const uint8_t*>(content.data()), content.size()), &inspection,
      &error))
      << error;
  EXPECT_TRUE(inspection.problems.empty());
  ASSERT_EQ(inspection.imported_dlls.size(), 1u);
  EXPECT_TRUE(pe::EqualsIgnoreAsciiCase(inspection.imported_dlls[0], "kernel32.dll"))
      << inspection.imported_dlls[0];
  // It writes setupw64.log beside itself.
  EXPECT_NE(content.find("setupw64.log"), std::string::npos);
}

}  // namespace
}  // namespace zv::demo
