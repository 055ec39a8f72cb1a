// The PE parser on small hand-made images: what it reads from a sound
// image, and that damaged or hostile images give an error rather than a
// crash or a read outside the file.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/artifact/pe_builder.h"
#include "tools/peinfo/icon_group.h"
#include "tools/peinfo/image_summary.h"
#include "tools/peinfo/report.h"
#include "tools/peinfo/text.h"
#include "tools/peinfo/version_info.h"

namespace zv::pe {
namespace {

using testing::BuiltLayout;
using testing::BuiltResource;
using testing::PeBuilder;
using testing::Put16;
using testing::Put32;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

const uint16_t kVersion78[4] = {7, 8, 0, 0};

// The functions that ImportingSample() imports, as the report lists them.
const std::vector<std::string> kSampleFunctions = {"KERNEL32.dll!CreateFileW", "KERNEL32.dll!#17",
                                                   "KERNEL32.dll!ExitProcess",
                                                   "USER32.dll!MessageBoxW"};

// With `functions`, the two DLLs come with lookup tables and names, which
// follow the DLL names in the import section.
PeBuilder SampleBuilder(bool functions = false) {
  PeBuilder builder;
  if (functions) {
    builder.AddImport("KERNEL32.dll", {"CreateFileW", "#17", "ExitProcess"})
        .AddImport("USER32.dll", {"MessageBoxW"});
  } else {
    builder.AddImport("KERNEL32.dll").AddImport("USER32.dll");
  }
  builder.AddResource({ResourceId::Number(kResourceManifest), ResourceId::Number(1), 0x0409,
                       Bytes("<assembly>requireAdministrator</assembly>")});
  builder.AddResource({ResourceId::Number(kResourceIcon), ResourceId::Number(1), 0,
                       testing::IconImageResource(32, 32, 4)});
  builder.AddResource({ResourceId::Number(kResourceGroupIcon), ResourceId::Name(u"ZAVOLI"), 0,
                       testing::IconGroupResource(32, 32, 16, 4, 1)});
  builder.AddResource(
      {ResourceId::Number(kResourceVersion), ResourceId::Number(1), 0x0804,
       testing::VersionResource(kVersion78, u"080404b0",
                                {{u"ProductName", u"智能岚汀"}, {u"FileVersion", u"7.8.0.0"}},
                                0x0804, 1200)});
  builder.AddResource(
      {ResourceId::Name(u"ZVZ"), ResourceId::Name(u"KPMTZVZ"), 0, Bytes("C0 package bytes")});
  builder.AddResource(
      {ResourceId::Name(u"ZVZ"), ResourceId::Name(u"智能"), 0x0804, Bytes("named in Chinese")});
  return builder;
}

// Inspects a copy of `bytes` that has exactly their size, so that a read
// past the end is caught by AddressSanitizer.
bool InspectCopy(const std::vector<uint8_t>& bytes, Inspection* out, std::string* error) {
  static std::vector<uint8_t> copy;
  copy = bytes;
  copy.shrink_to_fit();
  return InspectImage(ByteView(copy.data(), copy.size()), out, error);
}

std::string ErrorOf(const std::vector<uint8_t>& bytes) {
  Inspection inspection;
  std::string error;
  EXPECT_FALSE(InspectCopy(bytes, &inspection, &error));
  return error;
}

std::string FirstProblemOf(const std::vector<uint8_t>& bytes) {
  Inspection inspection;
  std::string error;
  EXPECT_TRUE(InspectCopy(bytes, &inspection, &error)) << error;
  return inspection.problems.empty() ? std::string() : inspection.problems.front();
}

TEST(PeParser, ReadsEveryPartOfASoundImage) {
  const std::vector<uint8_t> bytes = SampleBuilder().Build();
  Inspection inspection;
  std::string error;
  ASSERT_TRUE(InspectCopy(bytes, &inspection, &error)) << error;
  EXPECT_TRUE(inspection.problems.empty()) << inspection.problems.front();
  EXPECT_EQ(MachineName(inspection.image.machine), "i386");
  EXPECT_EQ(SubsystemName(inspection.image.subsystem), "GUI");
  EXPECT_FALSE(inspection.image.pe32_plus);
  EXPECT_EQ(inspection.image.image_base, 0x400000u);
  EXPECT_EQ(inspection.imported_dlls, (std::vector<std::string>{"KERNEL32.dll", "USER32.dll"}));
  EXPECT_TRUE(inspection.delay_imported_dlls.empty());

  ASSERT_EQ(inspection.resources.size(), 6u);
  const Resource* package =
      FindResource(inspection.resources, ResourceId::Name(u"zvz"), ResourceId::Name(u"KpmtZvz"));
  ASSERT_NE(package, nullptr);
  ByteView package_bytes;
  ASSERT_TRUE(ResourceBytes(inspection.image, *package, &package_bytes, &error));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(package_bytes.data()), package_bytes.size()),
            "C0 package bytes");
  EXPECT_EQ(FindResource(inspection.resources, ResourceId::Name(u"ZVZ"), ResourceId::Number(1)),
            nullptr);
  const Resource* chinese =
      FindResource(inspection.resources, ResourceId::Name(u"ZVZ"), ResourceId::Name(u"智能"));
  ASSERT_NE(chinese, nullptr);
  EXPECT_EQ(chinese->language, 0x0804);
  EXPECT_EQ(chinese->name.ToString(), "智能");

  ASSERT_TRUE(inspection.manifest.has_value());
  EXPECT_EQ(*inspection.manifest, "<assembly>requireAdministrator</assembly>");

  ASSERT_EQ(inspection.icon_groups.size(), 1u);
  const IconGroup& group = inspection.icon_groups[0];
  EXPECT_EQ(group.name.ToString(), "ZAVOLI");
  ASSERT_EQ(group.images.size(), 1u);
  const IconImage& icon = group.images[0];
  EXPECT_EQ(icon.width, 32);
  EXPECT_EQ(icon.height, 32);
  EXPECT_EQ(icon.colour_count, 16);
  EXPECT_EQ(icon.bit_count, 4);
  EXPECT_TRUE(icon.image_found);
  EXPECT_FALSE(icon.png);
  EXPECT_EQ(icon.dib_width, 32);
  EXPECT_EQ(icon.dib_height, 32);
  EXPECT_EQ(icon.dib_bit_count, 4);

  ASSERT_TRUE(inspection.version.has_value());
  EXPECT_EQ(FormatVersion(inspection.version->fixed.file_version), "7.8.0.0");
  std::u16string name;
  EXPECT_TRUE(inspection.version->FindString(u"080404B0", u"ProductName", &name));
  EXPECT_EQ(name, u"智能岚汀");
  EXPECT_FALSE(inspection.version->FindString(u"040904b0", u"ProductName", &name));
  EXPECT_EQ(inspection.version->translations,
            (std::vector<std::pair<uint16_t, uint16_t>>{{0x0804, 1200}}));

  const std::string report = FormatReport(inspection);
  for (const char* line :
       {"machine: i386\n", "subsystem: GUI\n", "  USER32.dll\n",
        "  ZVZ / KPMTZVZ, language 0x0000, 16 bytes\n", "icon group ZAVOLI: 1 image(s)\n",
        "file version: 7.8.0.0\n", "  ProductName = 智能岚汀\n", "translation: 0x0804 1200\n"}) {
    EXPECT_NE(report.find(line), std::string::npos) << line << " missing from:\n" << report;
  }
}

TEST(PeParser, ReadsA64BitConsoleImage) {
  const std::vector<uint8_t> bytes =
      PeBuilder().SetPe32Plus(true).SetMachine(0x8664).SetSubsystem(3).AddImport("a.dll").Build();
  Inspection inspection;
  std::string error;
  ASSERT_TRUE(InspectCopy(bytes, &inspection, &error)) << error;
  EXPECT_TRUE(inspection.image.pe32_plus);
  EXPECT_EQ(MachineName(inspection.image.machine), "x86-64");
  EXPECT_EQ(SubsystemName(inspection.image.subsystem), "console");
  EXPECT_EQ(inspection.image.image_base, 0x140000000u);
  EXPECT_EQ(inspection.imported_dlls, std::vector<std::string>{"a.dll"});
  EXPECT_TRUE(inspection.resources.empty());
  EXPECT_EQ(MachineName(0xAA64), "0xAA64");
}

std::vector<std::string> FunctionNames(const Inspection& inspection) {
  std::vector<std::string> names;
  for (const ImportedFunction& function : inspection.imported_functions) {
    names.push_back(function.dll + "!" +
                    (function.by_ordinal ? "#" + std::to_string(function.ordinal) : function.name));
  }
  return names;
}

TEST(PeParser, ReadsImportedFunctionsAndHeaderFieldsOfBothWidths) {
  for (bool pe32_plus : {false, true}) {
    SCOPED_TRACE(pe32_plus ? "PE32+" : "PE32");
    const std::vector<uint8_t> bytes = SampleBuilder(true)
                                           .SetPe32Plus(pe32_plus)
                                           .SetTimeStamp(1700000000)
                                           .SetHeaderVersions({5, 2}, {5, 1})
                                           .Build();
    Inspection inspection;
    std::string error;
    ASSERT_TRUE(InspectCopy(bytes, &inspection, &error)) << error;
    EXPECT_TRUE(inspection.problems.empty()) << inspection.problems.front();
    EXPECT_EQ(FunctionNames(inspection), kSampleFunctions);
    EXPECT_EQ(inspection.imported_functions[1].ordinal, 17);
    EXPECT_EQ(inspection.image.time_stamp, 1700000000u);
    EXPECT_EQ(inspection.image.os_version.major, 5);
    EXPECT_EQ(inspection.image.os_version.minor, 2);
    EXPECT_EQ(inspection.image.subsystem_version.major, 5);
    EXPECT_EQ(inspection.image.subsystem_version.minor, 1);
    const std::string report = FormatReport(inspection);
    for (const char* line :
         {"subsystem version: 5.1\n", "os version: 5.2\n", "time stamp: 1700000000\n",
          "  KERNEL32.dll!#17\n", "  USER32.dll!MessageBoxW\n"}) {
      EXPECT_NE(report.find(line), std::string::npos) << line << " missing from:\n" << report;
    }
  }
}

TEST(PeParser, RejectsBrokenImportLookupTables) {
  BuiltLayout layout;
  const std::vector<uint8_t> sound = SampleBuilder(true).Build(&layout);
  const size_t section = layout.import_table;
  const ByteView view(sound.data(), sound.size());
  uint32_t table_rva = 0;  // KERNEL32.dll's lookup table
  uint32_t mapped = 0;     // the .idata section's virtual size
  view.ReadU32(section, &table_rva);
  view.ReadU32(layout.section_table + 8, &mapped);
  const size_t table = section + table_rva - 0x1000;

  // Without an OriginalFirstThunk the FirstThunk table is read.
  std::vector<uint8_t> bytes = sound;
  Put32(&bytes, section, 0);
  Inspection inspection;
  std::string error;
  ASSERT_TRUE(InspectCopy(bytes, &inspection, &error)) << error;
  EXPECT_TRUE(inspection.problems.empty()) << inspection.problems.front();
  EXPECT_EQ(FunctionNames(inspection), kSampleFunctions);

  const struct {
    size_t offset;
    uint32_t value;
    const char* problem;
  } damage[] = {
      {section, 0x9000, "the import lookup table of KERNEL32.dll lies outside the image"},
      // The table starts 2 bytes before the mapped part of its section ends.
      {section, 0x1000 + mapped - 2, "the import lookup table of KERNEL32.dll has no end"},
      {table, 0x7FFF0000u, "an imported function name lies outside the image or has no end"},
      // A name entry whose hint is the section's last two bytes.
      {table, 0x1000 + mapped - 2,
       "an imported function name lies outside the image or has no end"},
  };
  for (const auto& [offset, value, problem] : damage) {
    bytes = sound;
    Put32(&bytes, offset, value);
    EXPECT_EQ(FirstProblemOf(bytes), problem) << "value " << value;
  }
  bytes = sound;
  bytes[section + mapped - 1] = 'A';  // the last function name loses its NUL
  EXPECT_EQ(FirstProblemOf(bytes),
            "an imported function name lies outside the image or has no end");
}

TEST(PeParser, RejectsEveryTruncationOfTheFile) {
  BuiltLayout layout;
  const std::vector<uint8_t> bytes = SampleBuilder().Build(&layout);
  for (size_t length = 0; length < bytes.size(); ++length) {
    const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + length);
    // The resource section's raw data reaches the end of the file, so every
    // prefix leaves some section outside it.
    EXPECT_FALSE(ErrorOf(prefix).empty()) << "prefix of " << length << " bytes";
  }
  auto cut = [&](size_t length) {
    return ErrorOf(std::vector<uint8_t>(bytes.begin(), bytes.begin() + length));
  };
  EXPECT_EQ(cut(1), "no MZ header");
  EXPECT_EQ(cut(0x3C), "the MZ header is truncated");
  EXPECT_EQ(cut(layout.pe_header + 2), "no PE signature where the MZ header points");
  EXPECT_EQ(cut(layout.pe_header + 10), "the COFF header is truncated");
  EXPECT_EQ(cut(layout.pe_header + 100), "the optional header runs past the end of the file");
  EXPECT_EQ(cut(layout.section_table + 50), "the section table runs past the end of the file");
  EXPECT_EQ(cut(layout.end_of_headers + 1),
            "the raw data of section '.idata' lies outside the file");
}

TEST(PeParser, RejectsHeadersThatPointOutsideTheFile) {
  BuiltLayout layout;
  const std::vector<uint8_t> sound = SampleBuilder().Build(&layout);
  const size_t coff = layout.pe_header + 4;
  const size_t optional = coff + 20;

  std::vector<uint8_t> bytes = sound;
  Put32(&bytes, 0x3C, 0xFFFFFFF0u);
  EXPECT_EQ(ErrorOf(bytes), "no PE signature where the MZ header points");

  bytes = sound;
  Put16(&bytes, coff + 2, 0xFFFF);  // section count
  EXPECT_EQ(ErrorOf(bytes), "the section table runs past the end of the file");

  bytes = sound;
  Put16(&bytes, coff + 16, 0xFFFF);  // optional header size
  EXPECT_EQ(ErrorOf(bytes), "the optional header runs past the end of the file");

  bytes = sound;
  Put16(&bytes, coff + 16, 0x70);  // too small for the data directories
  EXPECT_EQ(ErrorOf(bytes), "the data directories run past the optional header");

  bytes = sound;
  Put16(&bytes, optional, 0x107);
  EXPECT_EQ(ErrorOf(bytes), "the optional header has an unknown magic number");

  bytes = sound;
  Put32(&bytes, layout.section_table + 40 + 20, 0xFFFFFF00u);  // .rsrc raw offset
  EXPECT_EQ(ErrorOf(bytes), "the raw data of section '.rsrc' lies outside the file");

  // A directory count beyond 16 is read as 16.
  bytes = sound;
  Put32(&bytes, optional + 92, 0xFFFFFFFFu);
  Inspection inspection;
  std::string error;
  ASSERT_TRUE(InspectCopy(bytes, &inspection, &error)) << error;
  EXPECT_EQ(inspection.image.directories.size(), 16u);
  EXPECT_EQ(inspection.resources.size(), 6u);
}

TEST(PeParser, StopsResourceLoopsAndMalformedTrees) {
  BuiltLayout layout;
  const std::vector<uint8_t> sound = SampleBuilder().Build(&layout);
  const size_t root = layout.resource_root;
  // The root's first entry (a type) points at the type directory at `type`.
  const size_t first_type_entry = root + 16;
  uint32_t type_dir = 0;
  ByteView(sound.data(), sound.size()).ReadU32(first_type_entry + 4, &type_dir);
  type_dir &= 0x7FFFFFFF;
  uint32_t name_dir = 0;
  ByteView(sound.data(), sound.size()).ReadU32(root + type_dir + 16 + 4, &name_dir);
  name_dir &= 0x7FFFFFFF;

  std::vector<uint8_t> bytes = sound;
  Put32(&bytes, first_type_entry + 4, 0x80000000u);  // the root contains itself
  EXPECT_EQ(FirstProblemOf(bytes),
            "the resource directory at offset 0 is reached twice (a loop in the tree)");

  bytes = sound;
  Put32(&bytes, root + type_dir + 16 + 4, 0x80000000u | type_dir);  // a type names itself
  EXPECT_NE(FirstProblemOf(bytes).find("reached twice"), std::string::npos);

  bytes = sound;
  Put32(&bytes, root + name_dir + 16 + 4, 0x80000000u | name_dir);  // a language is a directory
  EXPECT_EQ(FirstProblemOf(bytes), "the resource tree is not three levels deep");

  bytes = sound;
  Put32(&bytes, first_type_entry + 4, type_dir);  // a type is a data entry
  EXPECT_EQ(FirstProblemOf(bytes), "the resource tree is not three levels deep");

  bytes = sound;
  Put16(&bytes, root + 12, 0xFFFF);  // more entries than the section holds
  Put16(&bytes, root + 14, 0xFFFF);
  EXPECT_FALSE(FirstProblemOf(bytes).empty());

  bytes = sound;
  Put32(&bytes, first_type_entry, 0xFFFFFFF0u);  // a name string far outside
  EXPECT_EQ(FirstProblemOf(bytes), "a resource name lies outside the resource section");

  bytes = sound;
  Put32(&bytes, root + 16 + 8 * 4 + 4, 0x80FFFF00u);  // the last type's directory, far outside
  EXPECT_EQ(FirstProblemOf(bytes), "a resource directory lies outside the resource section");

  // A data entry pointing outside the image: the manifest cannot be read,
  // and the parts before it (the imports) are still reported.
  const size_t manifest_entry = root + name_dir + 16;
  uint32_t data_entry = 0;
  ByteView(sound.data(), sound.size()).ReadU32(manifest_entry + 4, &data_entry);
  bytes = sound;
  Put32(&bytes, root + data_entry, 0x7FFFFF00u);
  Inspection inspection;
  std::string error;
  ASSERT_TRUE(InspectCopy(bytes, &inspection, &error)) << error;
  EXPECT_FALSE(inspection.manifest.has_value());
  EXPECT_EQ(inspection.imported_dlls.size(), 2u);
  ASSERT_FALSE(inspection.problems.empty());
  EXPECT_EQ(inspection.problems[0], "the data of resource MANIFEST/1 lies outside the image");
}

TEST(PeParser, RejectsBrokenImportTables) {
  BuiltLayout layout;
  const std::vector<uint8_t> sound = SampleBuilder().Build(&layout);
  const size_t directories = layout.pe_header + 24 + 96;
  const size_t section = layout.import_table;
  uint32_t mapped = 0;  // the .idata section's virtual size
  ByteView(sound.data(), sound.size()).ReadU32(layout.section_table + 8, &mapped);

  std::vector<uint8_t> bytes = sound;
  Put32(&bytes, section + 12, 0x7FFF0000u);  // first DLL name outside every section
  EXPECT_EQ(FirstProblemOf(bytes), "an imported DLL name lies outside the image or has no end");

  bytes = sound;
  bytes[section + mapped - 1] = 'A';  // the last name loses its NUL
  EXPECT_EQ(FirstProblemOf(bytes), "an imported DLL name lies outside the image or has no end");

  bytes = sound;
  // The table starts 8 bytes before the mapped part of its section ends.
  Put32(&bytes, directories + 8, 0x1000 + mapped - 8);
  EXPECT_EQ(FirstProblemOf(bytes), "the import table has no terminating entry");

  bytes = sound;
  Put32(&bytes, directories + 8, 0x9000);  // outside every section
  EXPECT_EQ(FirstProblemOf(bytes), "the import table lies outside the image");

  // Two delay-load descriptors in the section's slack, one with an RVA and
  // one with an old-style virtual address, then the all-zero terminator.
  bytes = sound;
  Put32(&bytes, layout.section_table + 8, 0);  // map the whole raw data
  Put32(&bytes, section + 0x100, 1);
  Put32(&bytes, section + 0x104, 0x1000 + 60);                  // "KERNEL32.dll"
  Put32(&bytes, section + 0x124, 0x400000 + 0x1000 + 60 + 13);  // "USER32.dll"
  Put32(&bytes, directories + 13 * 8, 0x1000 + 0x100);
  Inspection inspection;
  std::string error;
  ASSERT_TRUE(InspectCopy(bytes, &inspection, &error)) << error;
  EXPECT_TRUE(inspection.problems.empty()) << inspection.problems.front();
  EXPECT_EQ(inspection.delay_imported_dlls,
            (std::vector<std::string>{"KERNEL32.dll", "USER32.dll"}));

  Put32(&bytes, section + 0x124, 0x1000);  // a virtual address below the image base
  EXPECT_EQ(FirstProblemOf(bytes), "a delay-loaded DLL name lies outside the image");
}

TEST(PeParser, VersionAndIconResourcesFailSafely) {
  const std::vector<uint8_t> version = testing::VersionResource(
      kVersion78, u"080404b0", {{u"ProductVersion", u"7.8"}}, 0x0804, 1200);
  for (size_t length = 0; length < version.size(); ++length) {
    std::vector<uint8_t> prefix(version.begin(), version.begin() + length);
    prefix.shrink_to_fit();
    VersionInfo info;
    std::string error;
    EXPECT_FALSE(ParseVersionInfo(ByteView(prefix.data(), prefix.size()), &info, &error))
        << "prefix of " << length << " bytes";
    EXPECT_FALSE(error.empty());
  }
  auto parse_error = [](std::vector<uint8_t> bytes) {
    bytes.shrink_to_fit();
    VersionInfo info;
    std::string error;
    EXPECT_FALSE(ParseVersionInfo(ByteView(bytes.data(), bytes.size()), &info, &error));
    return error;
  };
  std::vector<uint8_t> bytes = version;
  Put32(&bytes, 40, 0x12345678);  // the fixed information's signature
  EXPECT_EQ(parse_error(bytes), "the fixed file information is unsigned");
  bytes = version;
  for (size_t i = 6; i < bytes.size(); ++i) bytes[i] = 'A';  // a key without its NUL
  EXPECT_EQ(parse_error(bytes), "a version block's key has no end");
  bytes = version;
  Put16(&bytes, 92, 0);  // StringFileInfo of length 0
  EXPECT_EQ(parse_error(bytes), "a version block's length does not fit the resource");
  bytes = version;
  Put16(&bytes, 92, 0xFFF0);  // StringFileInfo longer than everything
  EXPECT_EQ(parse_error(bytes), "a version block's length does not fit the resource");

  // An icon group listing more images than it holds, one that is not an
  // icon directory, and one whose image is missing.
  BuiltLayout layout;
  PeBuilder builder;
  std::vector<uint8_t> group = testing::IconGroupResource(32, 32, 16, 4, 7);
  builder.AddResource({ResourceId::Number(kResourceGroupIcon), ResourceId::Name(u"A"), 0, group});
  Put16(&group, 4, 5);
  builder.AddResource({ResourceId::Number(kResourceGroupIcon), ResourceId::Name(u"B"), 0, group});
  Put16(&group, 2, 2);
  builder.AddResource({ResourceId::Number(kResourceGroupIcon), ResourceId::Name(u"C"), 0, group});
  Inspection inspection;
  std::string error;
  ASSERT_TRUE(InspectCopy(builder.Build(&layout), &inspection, &error)) << error;
  ASSERT_EQ(inspection.icon_groups.size(), 1u);
  ASSERT_EQ(inspection.icon_groups[0].images.size(), 1u);
  EXPECT_FALSE(inspection.icon_groups[0].images[0].image_found);
  EXPECT_EQ(inspection.problems,
            (std::vector<std::string>{"icon group B lists more images than it holds",
                                      "icon group C is not an icon directory"}));
}

TEST(PeParser, SurvivesRandomDamage) {
  for (bool functions : {false, true}) {
    SCOPED_TRACE(functions ? "with imported functions" : "with DLL names only");
    const std::vector<uint8_t> sound = SampleBuilder(functions).Build();
    std::mt19937 random(20240607);
    std::uniform_int_distribution<size_t> position(0, sound.size() - 1);
    std::uniform_int_distribution<int> value(0, 255);
    std::uniform_int_distribution<int> count(1, 8);
    size_t inspected = 0;
    for (int round = 0; round < 3000; ++round) {
      std::vector<uint8_t> bytes = sound;
      for (int i = count(random); i > 0; --i)
        bytes[position(random)] = static_cast<uint8_t>(value(random));
      Inspection inspection;
      std::string error;
      if (InspectCopy(bytes, &inspection, &error)) {
        EXPECT_FALSE(FormatReport(inspection).empty());
        ++inspected;
      } else {
        EXPECT_FALSE(error.empty());
      }
    }
    // Most damage misses the headers; those images must still be read.
    EXPECT_GT(inspected, 1000u);
  }
}

TEST(PeText, ConvertsUtf16ToUtf8) {
  EXPECT_EQ(Utf8FromUtf16(u"zvsetup 岚汀"), "zvsetup 岚汀");
  EXPECT_EQ(Utf8FromUtf16(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8FromUtf16(std::u16string(1, char16_t{0xD800}) + u"a"),
            "\xEF\xBF\xBD"
            "a");
  EXPECT_EQ(Utf8FromUtf16(std::u16string(1, char16_t{0xDC00})), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace zv::pe
