// Checks a built zvsetup.exe as it will ship: a GUI program for the expected
// machine that needs only DLLs every Windows has, runs elevated, and carries
// its icon, version and package resources.
//
// Usage: artifact_test EXE MACHINE [FUNCTION_LIST] [GoogleTest flags],
// MACHINE being "i386" or "x86-64". FUNCTION_LIST, one DLL!function a line,
// names every function the program may import; without it the imported
// functions are not checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/artifact/container_walk.h"
#include "tests/artifact/dialog_template.h"
#include "tools/peinfo/file_bytes.h"
#include "tools/peinfo/image_summary.h"
#include "tools/peinfo/text.h"

namespace zv::pe {
namespace {

struct Target {
  std::string path;
  std::string machine;
  std::string function_list;
};

Target g_target;

// The DLLs the installer may import: each ships with every Windows from NT 4
// on, so the program starts on a bare system. The C and C++ runtimes, winpthread
// and zlib are linked statically; msvcrt.dll is the system's own C runtime
// that MinGW programs use.
const char* const kAllowedDlls[] = {
    "kernel32.dll",  // files, processes, resources, file mappings
    "user32.dll",    // windows, message boxes, keyboard layouts
    "gdi32.dll",     // painting the wizard's pages
    "advapi32.dll",  // registry, access control lists, user name
    "shell32.dll",   // the Program Files folder
    "imm32.dll",     // input method registration and descriptions
    "msvcrt.dll",    // the C runtime of MinGW programs
};

bool IsAllowed(const std::string& dll) {
  return std::any_of(std::begin(kAllowedDlls), std::end(kAllowedDlls),
                     [&](const char* allowed) { return EqualsIgnoreAsciiCase(dll, allowed); });
}

// The oldest Windows each build must start on, as the subsystem version its
// loader accepts: XP (5.1) for the 32-bit program, XP x64 (5.2) for the
// 64-bit one. Below 3.10 no Windows loads an image.
struct OldestWindows {
  const char* machine;
  HeaderVersion version;
  const char* name;
};
const OldestWindows kOldestWindows[] = {{"i386", {5, 1}, "Windows XP"},
                                        {"x86-64", {5, 2}, "Windows XP x64"}};
constexpr HeaderVersion kOldestLoadableSubsystem = {3, 10};

bool NotAfter(const HeaderVersion& a, const HeaderVersion& b) {
  return a.major < b.major || (a.major == b.major && a.minor <= b.minor);
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

// An imported function as the list writes it: the DLL name in lower case
// (Windows matches DLL names without case, function names with it), "!",
// then the name or "#" and the ordinal.
std::string ListEntry(const ImportedFunction& function) {
  return Lower(function.dll) + "!" +
         (function.by_ordinal ? "#" + std::to_string(function.ordinal) : function.name);
}

// Reads the function list: blank lines and lines starting with '#' are
// skipped, every other line is DLL!function. A malformed line is an error.
bool ReadFunctionList(const std::string& path, std::set<std::string>* entries, std::string* error) {
  std::ifstream in(path);
  if (!in) {
    *error = "cannot read the function list " + path;
    return false;
  }
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const size_t bang = line.find('!');
    if (bang == 0 || bang == std::string::npos || bang + 1 == line.size() ||
        line.find_first_of(" \t") != std::string::npos) {
      *error = path + ":" + std::to_string(number) + ": not DLL!function: " + line;
      return false;
    }
    entries->insert(Lower(line.substr(0, bang)) + line.substr(bang));
  }
  return true;
}

std::string PresetFor(const std::string& machine) { return machine == "i386" ? "win32" : "win64"; }

// The artifact, read and inspected once for all the tests. The inspection
// borrows `bytes`, so the object stays where it was made.
struct LoadedArtifact {
  std::string error;
  std::vector<uint8_t> bytes;
  Inspection inspection;
};

const LoadedArtifact& Artifact() {
  static const LoadedArtifact* const artifact = [] {
    auto* loaded = new LoadedArtifact;
    std::string error;
    if (!ReadFileBytes(g_target.path, uint64_t{1} << 30, &loaded->bytes, &error)) {
      const std::string preset = PresetFor(g_target.machine);
      loaded->error = "The artifact " + g_target.path + " cannot be read (" + error +
                      "). Build it before running the host tests: cmake --preset " + preset +
                      " && cmake --build --preset " + preset +
                      "; or point ZV_WIN32_EXE / ZV_WIN64_EXE at it.";
    } else if (!InspectImage(ByteView(loaded->bytes.data(), loaded->bytes.size()),
                             &loaded->inspection, &error)) {
      loaded->error = g_target.path + " is not a readable PE image: " + error;
    }
    return loaded;
  }();
  return *artifact;
}

class ShippedArtifact : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Artifact().error.empty()) << Artifact().error; }

  const Inspection& inspection() const { return Artifact().inspection; }
};

TEST_F(ShippedArtifact, IsAGuiProgramForItsMachineAndReadsCleanly) {
  EXPECT_EQ(MachineName(inspection().image.machine), g_target.machine);
  EXPECT_EQ(inspection().image.pe32_plus, g_target.machine == "x86-64");
  EXPECT_EQ(SubsystemName(inspection().image.subsystem), "GUI");
  for (const std::string& problem : inspection().problems) ADD_FAILURE() << problem;
}

TEST_F(ShippedArtifact, ImportsOnlyDllsEveryWindowsHas) {
  const std::vector<std::string>& dlls = inspection().imported_dlls;
  EXPECT_TRUE(std::any_of(dlls.begin(), dlls.end(), [](const std::string& dll) {
    return EqualsIgnoreAsciiCase(dll, "kernel32.dll");
  })) << "no import table, or kernel32.dll missing from it";
  std::vector<std::string> all = dlls;
  all.insert(all.end(), inspection().delay_imported_dlls.begin(),
             inspection().delay_imported_dlls.end());
  for (const std::string& dll : all) {
    EXPECT_TRUE(IsAllowed(dll)) << dll
                                << " is imported but not on the list of system DLLs; a MinGW "
                                   "runtime DLL means the program was not linked with -static";
  }
}

TEST_F(ShippedArtifact, ImportsOnlyFunctionsOfTheListedSystemDlls) {
  if (g_target.function_list.empty()) GTEST_SKIP() << "no function list for " << g_target.machine;
  std::set<std::string> allowed;
  std::string error;
  ASSERT_TRUE(ReadFunctionList(g_target.function_list, &allowed, &error)) << error;
  const std::vector<ImportedFunction>& functions = inspection().imported_functions;
  EXPECT_FALSE(functions.empty()) << "no imported functions were found";
  for (const ImportedFunction& function : functions) {
    const std::string entry = ListEntry(function);
    if (allowed.count(entry) != 0) continue;
    if (function.by_ordinal) {
      ADD_FAILURE() << function.dll << " ordinal " << function.ordinal
                    << " is imported by number only, and it is not on the list "
                    << g_target.function_list;
    } else {
      ADD_FAILURE() << function.dll << "!" << function.name << " is imported but not on the list "
                    << g_target.function_list
                    << "; if the oldest supported Windows has it, add it there, otherwise "
                       "resolve it with GetProcAddress";
    }
  }
}

TEST_F(ShippedArtifact, HeaderVersionsLetItStartOnItsOldestWindows) {
  const OldestWindows* oldest = nullptr;
  for (const OldestWindows& candidate : kOldestWindows) {
    if (g_target.machine == candidate.machine) oldest = &candidate;
  }
  ASSERT_NE(oldest, nullptr);
  const std::pair<const char*, HeaderVersion> fields[] = {
      {"subsystem version", inspection().image.subsystem_version},
      {"operating system version", inspection().image.os_version}};
  for (const auto& [field, version] : fields) {
    EXPECT_TRUE(NotAfter(version, oldest->version))
        << "the " << field << " " << version.major << "." << version.minor << " is newer than "
        << oldest->name << " (" << oldest->version.major << "." << oldest->version.minor << ")";
  }
  const HeaderVersion& subsystem = inspection().image.subsystem_version;
  EXPECT_TRUE(NotAfter(kOldestLoadableSubsystem, subsystem))
      << "no Windows loads subsystem version " << subsystem.major << "." << subsystem.minor;
}

TEST_F(ShippedArtifact, ManifestRequestsAdministratorAndNamesSupportedSystems) {
  const Resource* resource = FindResource(
      inspection().resources, ResourceId::Number(kResourceManifest), ResourceId::Number(1));
  ASSERT_NE(resource, nullptr) << "no RT_MANIFEST resource with id 1";
  ASSERT_TRUE(inspection().manifest.has_value());
  const std::string& manifest = *inspection().manifest;
  for (const char* needed : {"<?xml version=\"1.0\"", "level=\"requireAdministrator\"",
                             "uiAccess=\"false\"", "{e2011457-1546-43c5-a5fe-008deee3d3f0}",
                             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "</assembly>"}) {
    EXPECT_NE(manifest.find(needed), std::string::npos) << needed << " missing from\n" << manifest;
  }
  EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos)
      << "the windows are self-painted; no Common Controls dependency is wanted";
  EXPECT_EQ(std::count(manifest.begin(), manifest.end(), '\0'), 0);
}

TEST_F(ShippedArtifact, IconZavoliIsOne32x32ImageIn16Colours) {
  const IconGroup* zavoli = nullptr;
  for (const IconGroup& group : inspection().icon_groups) {
    if (group.name.Matches(ResourceId::Name(u"ZAVOLI"))) zavoli = &group;
  }
  ASSERT_NE(zavoli, nullptr) << "no icon group named ZAVOLI";
  ASSERT_EQ(zavoli->images.size(), 1u);
  const IconImage& icon = zavoli->images[0];
  EXPECT_EQ(icon.width, 32);
  EXPECT_EQ(icon.height, 32);
  EXPECT_EQ(icon.colour_count, 16);
  EXPECT_EQ(icon.bit_count, 4);
  EXPECT_EQ(icon.planes, 1);
  ASSERT_TRUE(icon.image_found) << "the group's RT_ICON " << icon.icon_id << " is missing";
  EXPECT_FALSE(icon.png);
  EXPECT_EQ(icon.dib_width, 32);
  EXPECT_EQ(icon.dib_height, 32);
  EXPECT_EQ(icon.dib_bit_count, 4);
}

TEST_F(ShippedArtifact, VersionResourceIs78InChinesePrc) {
  ASSERT_TRUE(inspection().version.has_value()) << "no readable version resource";
  const VersionInfo& version = *inspection().version;
  EXPECT_EQ(FormatVersion(version.fixed.file_version), "7.8.0.0");
  EXPECT_EQ(FormatVersion(version.fixed.product_version), "7.8.0.0");
  EXPECT_EQ(version.fixed.type, 1u);  // an application
  EXPECT_EQ(version.translations, (std::vector<std::pair<uint16_t, uint16_t>>{{0x0804, 1200}}));
  const std::pair<std::u16string, std::u16string> expected[] = {
      {u"CompanyName", u"岚汀软件"},
      {u"FileVersion", u"7.8.0.0"},
      {u"ProductVersion", u"7.8"},
      {u"ProductName", u"智能岚汀"},
      {u"OriginalFilename", u"zvsetup.exe"}};
  for (const auto& [name, value] : expected) {
    std::u16string found;
    EXPECT_TRUE(version.FindString(u"080404b0", name, &found)) << Utf8FromUtf16(name);
    EXPECT_EQ(Utf8FromUtf16(found), Utf8FromUtf16(value)) << Utf8FromUtf16(name);
  }
  for (const char16_t* name : {u"FileDescription", u"InternalName", u"LegalCopyright"}) {
    std::u16string found;
    EXPECT_TRUE(version.FindString(u"080404b0", name, &found) && !found.empty())
        << Utf8FromUtf16(name) << " missing or empty";
  }
}

TEST_F(ShippedArtifact, PackageResourceIsAWholeContainer) {
  const Resource* resource =
      FindResource(inspection().resources, ResourceId::Name(u"ZVZ"), ResourceId::Name(u"KPMTZVZ"));
  ASSERT_NE(resource, nullptr) << "no resource KPMTZVZ of the named type ZVZ";
  ByteView bytes;
  std::string error;
  ASSERT_TRUE(ResourceBytes(inspection().image, *resource, &bytes, &error)) << error;
  testing::ContainerWalk walk;
  ASSERT_TRUE(testing::WalkDigestContainer(bytes, &walk, &error)) << error;
  EXPECT_GT(walk.record_count, 0u);
  EXPECT_EQ(walk.records.size(), walk.record_count)
      << "the header counts " << walk.record_count << " records, the container holds "
      << walk.records.size();
  EXPECT_EQ(walk.end_offset, walk.records_end) << "the end offset is not where the records end";
  EXPECT_EQ(walk.trailing_bytes, 4u);
  EXPECT_TRUE(walk.trailing_all_zero);
}

// One control of the skin dialog: id (-1 for none), class atom, style bits
// that must be set, position and size, and the text of each template.
struct ExpectedControl {
  int32_t id;
  uint16_t classAtom;
  uint32_t style;
  int16_t x, y, cx, cy;
  const char16_t* simplified;
  const char16_t* traditional;
};

constexpr uint16_t kButton = 0x80;
constexpr uint16_t kStatic = 0x82;
constexpr uint32_t kChildVisible = 0x50000000;  // WS_CHILD | WS_VISIBLE
constexpr uint32_t kTabStop = 0x00010000;
constexpr uint32_t kGroup = 0x00020000;
constexpr uint32_t kDefPushButton = 0x1;
constexpr uint32_t kGroupBox = 0x7;
constexpr uint32_t kAutoRadioButton = 0x9;

const ExpectedControl kSkinDialogControls[] = {
    {105, kButton, kChildVisible | kTabStop | kDefPushButton, 88, 117, 44, 14, u"确定", u"確定"},
    {-1, kButton, kChildVisible | kGroupBox, 6, 8, 204, 39, u"输入法状态窗口模式选择",
     u"輸入法狀態窗口模式選擇"},
    {-1, kButton, kChildVisible | kGroupBox, 6, 54, 204, 39, u"输入法皮肤选择", u"輸入法皮膚選擇"},
    {101, kButton, kChildVisible | kAutoRadioButton, 15, 25, 44, 10, u"双行窗口", u"雙行窗口"},
    {102, kButton, kChildVisible | kAutoRadioButton, 66, 25, 44, 10, u"单行窗口", u"單行窗口"},
    {106, kButton, kChildVisible | kAutoRadioButton, 113, 25, 36, 10, u"双窗口", u"雙窗口"},
    {107, kButton, kChildVisible | kAutoRadioButton, 155, 25, 48, 10, u"仿WIN窗口", u"仿WIN窗口"},
    {110, kButton, kChildVisible | kAutoRadioButton, 15, 72, 48, 10, u"冷色瓷面", u"冷色瓷面"},
    {111, kButton, kChildVisible | kAutoRadioButton, 84, 72, 48, 10, u"粉色瓷面", u"粉色瓷面"},
    {112, kButton, kChildVisible | kAutoRadioButton, 150, 71, 40, 10, u"小天使", u"小天使"},
    {-1, kStatic, kChildVisible | kGroup, 13, 99, 145, 8, u"注：你也可在安装完毕后改变这些参数。",
     u"注：你也可在安裝完畢后改變這些參數。"},
};

TEST_F(ShippedArtifact, SkinDialogTemplatesInBothScripts) {
  struct Expected {
    const char16_t* name;
    uint16_t language;
    const char16_t* caption;
    uint16_t pointSize;
    const char16_t* face;
    bool traditional;
  };
  const Expected templates[] = {
      {u"PYKEY", 0x0804, u"智能岚汀皮肤及窗口模式选择", 12, u"宋体", false},
      {u"PYKEYB", 0x0404, u"智能嵐汀皮膚及窗口模式選擇", 10, u"System", true},
  };
  for (const Expected& expected : templates) {
    SCOPED_TRACE(Utf8FromUtf16(expected.name));
    const Resource* resource = FindResource(inspection().resources, ResourceId::Number(5),
                                            ResourceId::Name(expected.name));
    ASSERT_NE(resource, nullptr) << "no RT_DIALOG resource";
    EXPECT_EQ(resource->language, expected.language);
    ByteView bytes;
    std::string error;
    ASSERT_TRUE(ResourceBytes(inspection().image, *resource, &bytes, &error)) << error;
    testing::DialogTemplate dialog;
    ASSERT_TRUE(testing::ReadDialogTemplate(bytes, &dialog, &error)) << error;
    // WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, and DS_SETFONT for the font.
    EXPECT_EQ(dialog.style, 0x80C800C0u);
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(std::vector<int>({dialog.x, dialog.y, dialog.cx, dialog.cy}),
              std::vector<int>({10, 15, 219, 140}));
    EXPECT_EQ(Utf8FromUtf16(dialog.caption), Utf8FromUtf16(expected.caption));
    EXPECT_EQ(dialog.pointSize, expected.pointSize);
    EXPECT_EQ(Utf8FromUtf16(dialog.face), Utf8FromUtf16(expected.face));
    if (!expected.traditional) {
      EXPECT_EQ(dialog.weight, 400);
      EXPECT_EQ(dialog.charset, 134);
    }
    ASSERT_EQ(dialog.items.size(), std::size(kSkinDialogControls));
    for (size_t i = 0; i < dialog.items.size(); ++i) {
      const testing::DialogItem& item = dialog.items[i];
      const ExpectedControl& want = kSkinDialogControls[i];
      SCOPED_TRACE(i);
      EXPECT_EQ(item.id == 0xFFFF ? -1 : item.id, want.id);
      EXPECT_EQ(item.classAtom, want.classAtom);
      EXPECT_EQ(item.style & want.style, want.style);
      EXPECT_EQ(item.style & 0xF, want.style & 0xF);
      // Only the closing note starts a group, so the seven choices form one.
      EXPECT_EQ((item.style & kGroup) != 0, (want.style & kGroup) != 0);
      EXPECT_EQ(std::vector<int>({item.x, item.y, item.cx, item.cy}),
                std::vector<int>({want.x, want.y, want.cx, want.cy}));
      EXPECT_EQ(Utf8FromUtf16(item.text),
                Utf8FromUtf16(expected.traditional ? want.traditional : want.simplified));
    }
  }
}

}  // namespace
}  // namespace zv::pe

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if ((argc != 3 && argc != 4) ||
      (std::string(argv[2]) != "i386" && std::string(argv[2]) != "x86-64")) {
    std::fprintf(stderr,
                 "usage: artifact_test EXE i386|x86-64 [FUNCTION_LIST] [GoogleTest flags]\n");
    return 2;
  }
  zv::pe::g_target = {argv[1], argv[2], argc == 4 ? argv[3] : ""};
  return RUN_ALL_TESTS();
}
