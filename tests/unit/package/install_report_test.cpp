#include "package/install_report.h"

#include <functional>
#include <string>
#include <vector>

#include "package_test_support.h"
#include "platform/win_constants.h"
#include "state/locations.h"

namespace zv::testing {
namespace {

const std::string kDir = "C:\\zavoli\\";
const std::string kDictionary(20, 'd');

std::u16string Report(std::u16string_view verdict) {
  return u"智能岚汀汉字输入系统7.8版安装情况报告。\r\n\r\n安装出现错误！错误为：" +
         std::u16string(verdict) +
         u"\r\n\r\n请到主页http://www.zavoli.cn/"
         u"重新下载安装！并解除杀毒软件对安装过程的拦截！\r\n\r\n";
}

class InstallReportTest : public PackageTest {
 protected:
  // A complete install: the three probed files and 71 others, 74 in all.
  InstallReportTest() { Populate(); }
  void Populate() {
    machine_.RemovePath("C:\\zavoli");
    InstallDir.Assign("C:\\zavoli");
    for (const char* name : {"zavocyzk.zvh", "zavopyck.zvh", "zavoli4.ime"}) {
      machine_.AddFile(kDir + name, kDictionary);
    }
    AddFiles("filler", ".dll", 71);
  }
  void AddFiles(const std::string& stem, const std::string& extension, int count) {
    for (int i = 0; i < count; ++i) {
      machine_.AddFile(kDir + stem + std::to_string(i) + extension, "x");
    }
  }
  // The texts of the boxes WriteInstallReport showed, checked for caption and style.
  std::vector<std::u16string> Reports(int expectedResult) {
    machine_.ClearMessageBoxes();
    EXPECT_EQ(WriteInstallReport(), expectedResult);
    std::vector<std::u16string> texts;
    for (const auto& box : machine_.MessageBoxes()) {
      EXPECT_EQ(box.caption, u"智能岚汀");
      EXPECT_EQ(box.style, win::kMbOk);
      texts.push_back(box.text);
    }
    EXPECT_EQ(machine_.LiveBlockCount(), 0u);
    return texts;
  }
};

TEST_F(InstallReportTest, ScanCountsFilesOfEachKindAndLeavesOutDirectories) {
  AddFiles("notes", ".TXT", 2);
  machine_.AddFile(kDir + "a.zvh.txt", "x");
  machine_.AddDirectory(kDir + "skins.txt");
  machine_.AddFile(kDir + "skins.txt\\inner.zvh", "x");
  const InstallDirScan scan = ScanInstallDir();
  // The scan reads the directory with its backslash; InstallDir stays as set.
  EXPECT_EQ(InstallDir.str(), "C:\\zavoli");
  EXPECT_EQ(scan.pathScore, 14);
  EXPECT_EQ(scan.textFiles, 3u);
  EXPECT_EQ(scan.dictionaryFiles, 2u);
  EXPECT_EQ(scan.otherFiles, 72u);
  EXPECT_EQ(machine_.CurrentDirectory(), "C:\\zavoli");
}

// 8-bit counters would wrap at 256 and call a full directory incomplete.
TEST_F(InstallReportTest, MoreThan256FilesOfOneKindStillCount) {
  for (int i = 0; i < 71; ++i) machine_.RemovePath(kDir + "filler" + std::to_string(i) + ".dll");
  AddFiles("page", ".txt", 300);
  EXPECT_EQ(ScanInstallDir().textFiles, 300u);
  EXPECT_TRUE(Reports(0).empty());
}

// Any directory scores its 3, whatever further bits it carries; a path whose
// attributes cannot be read, or that names a file, does not.
TEST_F(InstallReportTest, TheDirectoryBitAloneMakesTheDirectoryScore) {
  struct Case {
    uint32_t attributes;
    bool attributesFail;
    int score;
  };
  const uint32_t allBits = win::kAttributeReadOnly | win::kAttributeHidden | win::kAttributeSystem |
                           win::kAttributeArchive | win::kAttributeCompressed |
                           win::kAttributeNotContentIndexed;
  for (const Case& c :
       {Case{0, false, 14}, Case{win::kAttributeArchive, false, 14},
        Case{win::kAttributeNotContentIndexed, false, 14},
        Case{win::kAttributeCompressed, false, 14}, Case{allBits, false, 14}, Case{0, true, 11}}) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.attributes << " " << c.attributesFail);
    ASSERT_TRUE(machine_.SetStoredAttributes("C:\\zavoli", c.attributes));
    if (c.attributesFail) {
      machine_.FailOperation("GetFileAttributesA", win::kErrorAccessDenied, "zavoli");
    }
    EXPECT_EQ(ScanInstallDir().pathScore, c.score);
    machine_.ClearFailures();
  }
  machine_.RemovePath("C:\\zavoli");
  machine_.AddFile("C:\\zavoli", "a file");
  EXPECT_EQ(ScanInstallDir().pathScore, 0);
}

TEST_F(InstallReportTest, ProbeGivesBytesTimes256PlusTheError) {
  machine_.AddFile(kDir + "exact", std::string(20, 'e'));
  machine_.AddFile(kDir + "short", "7 bytes");
  InstallDir.Assign(kDir);
  struct Case {
    const char* name;
    int result;
  };
  for (const Case& c : {Case{"zavocyzk.zvh", 5120}, Case{"exact", 5120}, Case{"short", 7 * 256},
                        Case{"missing", 2}, Case{"nodir\\missing", 3}}) {
    uint8_t area[kProbeSize] = {};
    EXPECT_EQ(ProbeFile(c.name, area), c.result) << c.name;
  }
  uint8_t area[kProbeSize] = {};
  ProbeFile("zavopyck.zvh", area);
  EXPECT_EQ(std::string(area, area + kProbeSize), kDictionary);
}

// Each case spoils the complete install in one way (or several, where the
// first verdict in order must win alone).
TEST_F(InstallReportTest, TheFirstVerdictThatAppliesIsReported) {
  struct Case {
    const char* what;
    std::function<void(fake::FakeMachine&)> spoil;
    const char16_t* verdict;  // null: nothing is shown
  };
  auto remove = [](const char* name) {
    return [name](fake::FakeMachine& m) { m.RemovePath(kDir + name); };
  };
  auto shorten = [](const char* name) {
    return [name](fake::FakeMachine& m) { m.AddFile(kDir + name, "short"); };
  };
  const Case cases[] = {
      {"complete", [](fake::FakeMachine&) {}, nullptr},
      {"no directory", [](fake::FakeMachine& m) { m.RemovePath("C:\\zavoli"); },
       u"检测不到安装路径！"},
      {"read-only directory",
       [](fake::FakeMachine& m) { m.SetFileAttributesA("C:\\zavoli", win::kAttributeReadOnly); },
       nullptr},
      {"archive bit and few files",
       [](fake::FakeMachine& m) {
         m.SetFileAttributesA("C:\\zavoli", win::kAttributeArchive);
         m.RemovePath(kDir + "filler0.dll");
       },
       u"文件不完整！"},
      {"listing refused",
       [](fake::FakeMachine& m) { m.FailOperation("FindFirstFileA", win::kErrorAccessDenied); },
       u"检测不到安装路径！"},
      {"73 files, a subdirectory of files",
       [](fake::FakeMachine& m) {
         m.RemovePath(kDir + "filler0.dll");
         m.AddFile(kDir + "sub\\a.txt", "x");
         m.AddFile(kDir + "sub\\b.zvh", "x");
       },
       u"文件不完整！"},
      {"73 files, no Wubi dictionary",
       [](fake::FakeMachine& m) { m.RemovePath(kDir + "zavocyzk.zvh"); }, u"文件不完整！"},
      {"Wubi dictionary as .dat only",
       [](fake::FakeMachine& m) {
         m.RemovePath(kDir + "zavocyzk.zvh");
         m.AddFile(kDir + "zavocyzk.dat", kDictionary);
       },
       nullptr},
      {"Wubi dictionary as .bak only",
       [](fake::FakeMachine& m) {
         m.RemovePath(kDir + "zavocyzk.zvh");
         m.AddFile(kDir + "zavocyzk.bak", kDictionary);
       },
       nullptr},
      {"short Wubi dictionary, short Pinyin dictionary",
       [&](fake::FakeMachine& m) {
         shorten("zavocyzk.zvh")(m);
         shorten("zavopyck.zvh")(m);
       },
       u"无五笔词库文件！"},
      {"short Wubi .zvh, short .dat",
       [&](fake::FakeMachine& m) {
         shorten("zavocyzk.zvh")(m);
         m.AddFile(kDir + "zavocyzk.dat", "x");
       },
       u"无五笔词库文件！"},
      {"Pinyin dictionary as .dat only",
       [](fake::FakeMachine& m) {
         m.AddFile(kDir + "zavopyck.dat", kDictionary);
         m.RemovePath(kDir + "zavopyck.zvh");
       },
       nullptr},
      {"short Pinyin dictionary, no IME",
       [&](fake::FakeMachine& m) {
         shorten("zavopyck.zvh")(m);
         remove("zavoli4.ime")(m);
         m.AddFile(kDir + "filler99.dll", "x");
       },
       u"无拼音词库文件！"},
      {"short IME", shorten("zavoli4.ime"), u"缺少文件！"},
      {"IME locked away",
       [](fake::FakeMachine& m) {
         m.FailOperation("CreateFileA", win::kErrorSharingViolation, "zavoli4.ime");
       },
       u"缺少文件！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Populate();
    c.spoil(machine_);
    const std::vector<std::u16string> shown = Reports(c.verdict ? 1 : 0);
    if (c.verdict == nullptr) {
      EXPECT_TRUE(shown.empty());
    } else {
      EXPECT_EQ(shown, std::vector<std::u16string>{Report(c.verdict)});
    }
    machine_.ClearFailures();
  }
}

TEST_F(InstallReportTest, ReportReadsRightOnBothCodePages) {
  machine_.RemovePath(kDir + "zavoli4.ime");
  machine_.AddFile(kDir + "zavoli5.ime", "x");
  for (uint32_t codePage : {936u, 950u}) {
    machine_.SetAnsiCodePage(codePage);
    EXPECT_EQ(Reports(1), std::vector<std::u16string>{Report(u"缺少文件！")}) << codePage;
  }
}

TEST_F(InstallReportTest, RefusedReportBufferShowsNothing) {
  machine_.RemovePath("C:\\zavoli");
  machine_.FailOperation("GlobalAlloc", win::kErrorNotEnoughMemory);
  EXPECT_TRUE(Reports(0).empty());
}

}  // namespace
}  // namespace zv::testing
