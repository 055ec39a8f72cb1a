#include "package/extra_files.h"

#include <string>
#include <vector>

#include "../support/recording_window_hooks.h"
#include "package/package_texts.h"
#include "package_test_support.h"
#include "platform/fake/code_page.h"
#include "platform/win_constants.h"
#include "state/locations.h"
#include "state/package_state.h"
#include "state/wizard_state.h"

namespace zv::testing {
namespace {

const std::u16string kIncomplete = u"有文件没有成功解压，请重新下载安装！\r\n";
const std::u16string kPackageNotCopied = u"\r\n\r\n上述文件没有成功复制，请重新下载安装！\r\n";
const std::u16string kSkinNotCopied = u"皮肤文件没有成功复制，请重新安装皮肤文件！\r\n";

std::vector<std::string> SkinFiles() {
  std::vector<std::string> names{"zvbmp8.zvh"};
  for (int n = 1; n <= 7; ++n) names.push_back("zvbmpsx" + std::to_string(n) + ".bmp");
  return names;
}

// What a skin file of the skin `tag` holds: long enough to be longer than
// its stream, as the plain layout's check wants.
std::string SkinContent(const std::string& tag, const std::string& name) {
  std::string content;
  for (int i = 0; i < 20; ++i) content += tag + " " + name + "\n";
  return content;
}

// A plain-layout skin archive of the eight skin files.
std::string SkinArchive(const std::string& tag) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const std::string& name : SkinFiles()) files.emplace_back(name, SkinContent(tag, name));
  return BuildContainer(ContainerLayout::kPlain, files);
}

class ExtraFilesTest : public PackageTest {
 protected:
  ExtraFilesTest() {
    InstallDir.Assign(kInstallDir);
    WorkBuffer = workBuffer_.data();
    UsePackage({{"a.zvh", "aaa"}, {"zavocyzk.bak", "dictionary"}});
  }

  void UsePackage(const std::vector<std::pair<std::string, std::string>>& files) {
    package_ = std::make_unique<ExactBytes>(BuildContainer(ContainerLayout::kDigest, files));
    const ContainerBytes bytes = package_->container();
    PackageResource = PackageBytes{bytes.data, bytes.size};
    for (const auto& [name, content] : files) machine_.AddFile(kInstallDir + name, content);
  }
  void AddSkin(std::string_view archiveName, const std::string& tag) {
    machine_.AddFile(kInstallDir + std::string(archiveName), SkinArchive(tag));
  }
  void AddSkinFiles(const std::string& except = "") {
    for (const std::string& name : SkinFiles()) {
      if (name != except) machine_.AddFile(kInstallDir + name, SkinContent("old", name));
    }
  }
  // Every box must carry the product caption and an OK button only.
  std::vector<std::u16string> ProductBoxes() const {
    std::vector<std::u16string> texts;
    for (const auto& box : machine_.MessageBoxes()) {
      EXPECT_EQ(box.caption, u"智能岚汀");
      EXPECT_EQ(box.style, win::kMbOk);
      EXPECT_TRUE(box.wide);
      texts.push_back(box.text);
    }
    return texts;
  }

  std::unique_ptr<ExactBytes> package_;
};

TEST_F(ExtraFilesTest, SkinArchiveNamesAreGbkBytesOfTheirTexts) {
  struct Skin {
    std::string_view gbk;
    const char16_t* text;
  };
  for (const Skin& skin :
       {Skin{texts::skins::kCoolPorcelainGbk, texts::skins::kCoolPorcelainGbkText},
        Skin{texts::skins::kPinkPorcelainGbk, texts::skins::kPinkPorcelainGbkText},
        Skin{texts::skins::kLittleAngelGbk, texts::skins::kLittleAngelGbkText}}) {
    EXPECT_EQ(fake::Utf16ToAnsi(936, skin.text), std::string(skin.gbk));
  }
  EXPECT_EQ(SkinArchiveName(1), texts::skins::kCoolPorcelainGbk);
  EXPECT_EQ(SkinArchiveName(2), texts::skins::kPinkPorcelainGbk);
  EXPECT_EQ(SkinArchiveName(3), texts::skins::kLittleAngelGbk);
  EXPECT_EQ(SkinArchiveName(0), texts::skins::kCoolPorcelainGbk);
  EXPECT_EQ(SkinArchiveName(4), texts::skins::kCoolPorcelainGbk);
}

// The failing names come through the code page, the fixed texts as UTF-16,
// so the box reads right on 936 and on 950 alike; an exempted file that
// differs is not reported.
TEST_F(ExtraFilesTest, PackageFailuresReadRightOnBothCodePages) {
  for (uint32_t codePage : {936u, 950u}) {
    SCOPED_TRACE(codePage);
    machine_.SetAnsiCodePage(codePage);
    machine_.ClearMessageBoxes();
    const std::string chinese = fake::Utf16ToAnsi(codePage, u"中文.zvh");
    UsePackage({{"a.zvh", "aaa"}, {chinese, "ccc"}, {"b.zvh", "bbb"}, {"zavocyzk.bak", "d"}});
    machine_.RemovePath(kInstallDir + chinese);
    machine_.AddFile(std::string(kInstallDir) + "b.zvh", "changed");
    machine_.AddFile(std::string(kInstallDir) + "zavocyzk.bak", "changed too");
    AddSkin(texts::skins::kCoolPorcelainGbk, "cool");

    InstallExtraFiles();
    EXPECT_EQ(ProductBoxes(), (std::vector<std::u16string>{u"中文.zvh....b.zvh...." + kIncomplete +
                                                           kPackageNotCopied}));
  }
}

TEST_F(ExtraFilesTest, WholePackageAndSkinShowNothing) {
  AddSkin(texts::skins::kCoolPorcelainGbk, "cool");
  test::RecordingWindowHooks hooks;
  InstallExtraFiles();
  EXPECT_EQ(hooks.calls(), std::vector<std::string>{"skin dialog"});
  EXPECT_TRUE(machine_.MessageBoxes().empty());
  EXPECT_EQ(WindowMode, 1);
  EXPECT_EQ(SkinChoice, 1);
  for (const std::string& name : SkinFiles()) EXPECT_EQ(Installed(name), SkinContent("cool", name));
}

TEST_F(ExtraFilesTest, KeptDataWithAWholeSkinSkipsTheDialog) {
  struct Case {
    int32_t backup;
    const char* missing;
    bool dialog;
  };
  for (const Case& c :
       {Case{kBackupKeepOldData, "", false}, Case{kBackupKeepOldData, "zvbmpsx7.bmp", true},
        Case{kBackupKeepOldData, "zvbmp8.zvh", true}, Case{kBackupComplete, "", true},
        Case{kBackupNone, "", true}}) {
    SCOPED_TRACE(std::to_string(c.backup) + " " + c.missing);
    for (const std::string& name : SkinFiles()) machine_.RemovePath(kInstallDir + name);
    AddSkinFiles(c.missing);
    AddSkin(texts::skins::kCoolPorcelainGbk, "cool");
    BackupState = c.backup;
    EXPECT_EQ(SkinComplete(), c.missing[0] == '\0' ? 1 : 0);
    test::RecordingWindowHooks hooks;
    InstallExtraFiles();
    EXPECT_EQ(hooks.calls().size(), c.dialog ? 1u : 0u);
    EXPECT_EQ(Installed("zvbmpsx1.bmp"), SkinContent(c.dialog ? "cool" : "old", "zvbmpsx1.bmp"));
    EXPECT_TRUE(machine_.MessageBoxes().empty());
  }
}

// The dialog's choice picks the archive; on code page 950 it is looked for
// under the same GBK bytes that extraction of the package wrote.
TEST_F(ExtraFilesTest, TheChosenSkinIsExtractedOnEveryCodePage) {
  static int32_t choice;
  static std::vector<int32_t> seen;
  WindowHooks choosing;
  choosing.showSkinDialog = [](SkinDialogChoice preset) {
    seen = {preset.windowMode, preset.skin};
    return SkinDialogChoice{preset.windowMode, choice};
  };
  AddSkin(texts::skins::kCoolPorcelainGbk, "cool");
  AddSkin(texts::skins::kPinkPorcelainGbk, "pink");
  AddSkin(texts::skins::kLittleAngelGbk, "angel");
  struct Case {
    uint32_t codePage;
    int32_t choice;
    const char* tag;
  };
  for (const Case& c : {Case{936, 2, "pink"}, Case{936, 3, "angel"}, Case{950, 3, "angel"},
                        Case{950, 2, "pink"}, Case{950, 9, "cool"}}) {
    SCOPED_TRACE(std::to_string(c.codePage) + " " + c.tag);
    machine_.SetAnsiCodePage(c.codePage);
    choice = c.choice;
    WindowMode = 3;
    SkinChoice = 2;
    {
      ScopedWindowHooks scope(choosing);
      InstallExtraFiles();
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{1, 1}));
    EXPECT_EQ(Installed("zvbmp8.zvh"), SkinContent(c.tag, "zvbmp8.zvh"));
    EXPECT_TRUE(machine_.MessageBoxes().empty());
  }
}

TEST_F(ExtraFilesTest, MissingSkinArchiveFollowsThePackageFailures) {
  for (uint32_t codePage : {936u, 950u}) {
    SCOPED_TRACE(codePage);
    machine_.SetAnsiCodePage(codePage);
    machine_.ClearMessageBoxes();
    InstallExtraFiles();
    EXPECT_EQ(ProductBoxes(), std::vector<std::u16string>{kSkinNotCopied});

    machine_.ClearMessageBoxes();
    machine_.RemovePath(std::string(kInstallDir) + "a.zvh");
    const std::u16string packageText = u"a.zvh...." + kIncomplete + kPackageNotCopied;
    InstallExtraFiles();
    EXPECT_EQ(ProductBoxes(),
              (std::vector<std::u16string>{packageText, packageText + kSkinNotCopied}));
    machine_.AddFile(std::string(kInstallDir) + "a.zvh", "aaa");
  }
}

TEST_F(ExtraFilesTest, DamagedSkinArchiveIsReported) {
  std::string archive = SkinArchive("cool");
  const size_t third = RecordOffsets(archive)[3];  // zvbmpsx3.bmp
  archive[third + kPlainRecordHeaderSize + 2] ^= 0x55;
  machine_.AddFile(kInstallDir + std::string(texts::skins::kCoolPorcelainGbk), archive);
  for (uint32_t codePage : {936u, 950u}) {
    SCOPED_TRACE(codePage);
    machine_.SetAnsiCodePage(codePage);
    machine_.ClearMessageBoxes();
    InstallExtraFiles();
    const auto& boxes = machine_.MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, RecordFailure(u"zvbmpsx3.bmp"));
    EXPECT_EQ(boxes[1].caption, u"智能岚汀");
    EXPECT_EQ(boxes[1].text, u"zvbmpsx3.bmp...." + kIncomplete + u"\r\n\r\n" + kSkinNotCopied);
    EXPECT_EQ(Installed("zvbmpsx3.bmp"), "<missing>");
  }
}

// A skin archive longer than the room it is read into is cut short there:
// the records behind the cut are reported, nothing is read past it.
TEST_F(ExtraFilesTest, SkinArchiveBeyondItsRoomIsReportedIncomplete) {
  std::vector<std::pair<std::string, std::string>> files;
  std::string noise;
  for (uint32_t i = 0; noise.size() < 70000; ++i) noise += std::to_string(i * 2654435761u);
  for (const std::string& name : SkinFiles()) files.emplace_back(name, noise + name);
  machine_.AddFile(kInstallDir + std::string(texts::skins::kCoolPorcelainGbk),
                   BuildContainer(ContainerLayout::kPlain, files));
  InstallExtraFiles();
  EXPECT_EQ(ProductBoxes(),
            std::vector<std::u16string>{kIncomplete + u"\r\n\r\n" + kSkinNotCopied});
  EXPECT_EQ(Installed("zvbmp8.zvh"), noise + "zvbmp8.zvh");
}

TEST_F(ExtraFilesTest, WithoutPackageOrWorkBufferNothingIsReadAndTheUserIsTold) {
  AddSkin(texts::skins::kCoolPorcelainGbk, "cool");
  PackageResource = PackageBytes{};
  InstallExtraFiles();
  EXPECT_EQ(ProductBoxes(), std::vector<std::u16string>{kIncomplete + kPackageNotCopied});
  EXPECT_EQ(Installed("zvbmp8.zvh"), SkinContent("cool", "zvbmp8.zvh"));

  machine_.ClearMessageBoxes();
  machine_.RemovePath(std::string(kInstallDir) + "zvbmp8.zvh");
  WorkBuffer = nullptr;
  test::RecordingWindowHooks hooks;
  InstallExtraFiles();
  EXPECT_TRUE(hooks.calls().empty());
  EXPECT_EQ(ProductBoxes(),
            (std::vector<std::u16string>{kIncomplete + kPackageNotCopied,
                                         kIncomplete + kPackageNotCopied + kSkinNotCopied}));
  EXPECT_EQ(Installed("zvbmp8.zvh"), "<missing>");
}

}  // namespace
}  // namespace zv::testing
