#include "system/install_locations.h"

#include <gtest/gtest.h>

#include <string>

#include "package/file_io.h"
#include "platform/fake/fake_machine.h"
#include "platform/win_constants.h"
#include "state/process_state.h"

namespace zv {
namespace {

using fake::FakeMachine;

class InstallLocationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    machine_.Install();
  }
  void TearDown() override { ResetProcessState(); }

  FakeMachine machine_{fake::Preset::kWindows7x64};
};

TEST_F(InstallLocationsTest, DefaultDirectoryDropsTheX86PartOfProgramFiles) {
  // A 32-bit process on 64-bit Windows is told "C:\Program Files (x86)".
  EXPECT_EQ(ChooseInstallDir().str(), "C:\\Program Files\\zavoli\\");

  InstallDir.clear();
  machine_.SetProgramFilesFolder("C:\\Programme  (x86)");
  machine_.AddDirectory("C:\\Programme");
  EXPECT_EQ(ChooseInstallDir().str(), "C:\\Programme\\zavoli\\");

  // A root folder already ends with its backslash.
  InstallDir.clear();
  machine_.SetProgramFilesFolder("C:\\");
  EXPECT_EQ(ChooseInstallDir().str(), "C:\\zavoli\\");
}

TEST_F(InstallLocationsTest, DefaultFallsBackWhenProgramFilesIsUnknownOrMissing) {
  machine_.SetProgramFilesUnknown();
  EXPECT_EQ(ChooseInstallDir().str(), "c:\\Program Files\\zavoli\\");

  InstallDir.clear();
  machine_.SetProgramFilesFolder("E:\\Apps");  // no such folder
  EXPECT_EQ(ChooseInstallDir().str(), "c:\\Program Files\\zavoli\\");
}

TEST_F(InstallLocationsTest, KeepsOnlyADirectoryThatStartsWithADriveRoot) {
  InstallDir.Assign("D:\\Tools\\zavoli");
  EXPECT_EQ(ChooseInstallDir().str(), "D:\\Tools\\zavoli");

  for (const char* notARoot : {"D:Tools\\zavoli", "\\\\server\\share\\", "zavoisadmin", ""}) {
    InstallDir.Assign(notARoot);
    EXPECT_EQ(ChooseInstallDir().str(), "C:\\Program Files\\zavoli\\") << notARoot;
    EXPECT_EQ(InstallDir.str(), notARoot);
  }
}

TEST_F(InstallLocationsTest, RemembersTheDirectoryWithItsBackslashInBothPlaces) {
  machine_.SetDriveType('d', win::kDriveFixed);
  machine_.SetDriveType('e', win::kDriveCdRom);
  DetectSystem();
  InstallDir.Assign("D:\\Tools\\zavoli");
  RememberInstallDir();

  EXPECT_EQ(InstallDir.str(), "D:\\Tools\\zavoli\\");
  EXPECT_EQ(machine_.ReadText("C:\\Windows\\zavopath.zvh"), "D:\\Tools\\zavoli\\");
  // The highest fixed drive from g: down wins; c: is passed over for d:.
  EXPECT_EQ(machine_.ReadText("d:\\zavoli\\zavopath.zvh"), "D:\\Tools\\zavoli\\");
  EXPECT_FALSE(machine_.Exists("c:\\zavoli\\zavopath.zvh"));
  EXPECT_EQ(SystemDir.str(), "C:\\Windows\\system32");
  EXPECT_EQ(machine_.OpenFileCount(), 0u);

  // A second call adds no second backslash and replaces the file's content.
  InstallDir.Assign("C:\\x\\");
  RememberInstallDir();
  EXPECT_EQ(machine_.ReadText("C:\\Windows\\zavopath.zvh"), "C:\\x\\");
}

TEST_F(InstallLocationsTest, XpWritesOnlyTheWindowsDirectoryFile) {
  FakeMachine xp(fake::Preset::kWindowsXp);
  xp.Install();
  DetectSystem();
  EXPECT_EQ(WindowsMajorVersion, 5);
  InstallDir.Assign("C:\\Program Files\\zavoli\\");
  RememberInstallDir();
  EXPECT_EQ(xp.ReadText("C:\\Windows\\zavopath.zvh"), "C:\\Program Files\\zavoli\\");
  EXPECT_FALSE(xp.Exists("c:\\zavoli"));
}

TEST_F(InstallLocationsTest, WriteFailuresAreIgnoredAndWithoutFixedDriveTheBareNameIsUsed) {
  machine_.SetDriveType('c', win::kDriveRemote);
  machine_.FailOperation("CreateFileA", win::kErrorAccessDenied, "windows\\zavopath.zvh");
  DetectSystem();
  InstallDir.Assign("C:\\p\\");
  RememberInstallDir();
  EXPECT_FALSE(machine_.Exists("C:\\Windows\\zavopath.zvh"));
  // No fixed drive: the second copy lands in the current directory.
  EXPECT_EQ(machine_.ReadText("C:\\zavopath.zvh"), "C:\\p\\");
}

TEST_F(InstallLocationsTest, ReadingTheRememberedFileNeverOverrunsItsDestination) {
  // Missing file: the destination stays as it was.
  PreviousInstallDir.Assign("kept");
  ReadRememberedInstallDir(1);
  EXPECT_EQ(PreviousInstallDir.str(), "kept");

  machine_.AddFile("C:\\Windows\\zavopath.zvh", "E:\\old\\zavoli\\");
  ReadRememberedInstallDir(1);
  EXPECT_EQ(PreviousInstallDir.str(), "E:\\old\\zavoli\\");
  ReadRememberedInstallDir(0);
  EXPECT_EQ(InstallDir.str(), "E:\\old\\zavoli\\");

  // Longer than either buffer: cut to fit, 199 and 255 bytes.
  machine_.AddFile("C:\\Windows\\zavopath.zvh", std::string(5000, 'x'));
  ReadRememberedInstallDir(0);
  EXPECT_EQ(InstallDir.str(), std::string(199, 'x'));
  ReadRememberedInstallDir(1);
  EXPECT_EQ(PreviousInstallDir.str(), std::string(255, 'x'));

  // A zero byte ends the text.
  machine_.AddFile("C:\\Windows\\zavopath.zvh", std::string("D:\\a\\\0junk", 10));
  ReadRememberedInstallDir(1);
  EXPECT_EQ(PreviousInstallDir.str(), "D:\\a\\");
}

TEST_F(InstallLocationsTest, FixedDriveSearchRunsFromGDownToC) {
  EXPECT_EQ(FindFixedDriveDir(), "c:\\zavoli\\");
  machine_.SetDriveType('e', win::kDriveFixed);
  machine_.SetDriveType('g', win::kDriveRemovable);
  ForgetFixedDriveDir();
  EXPECT_EQ(FindFixedDriveDir(), "e:\\zavoli\\");
  machine_.SetDriveType('g', win::kDriveFixed);
  ForgetFixedDriveDir();
  EXPECT_EQ(FindFixedDriveDir(), "g:\\zavoli\\");
  // h: and beyond are never looked at.
  FakeMachine other(fake::Preset::kWindows7x64);
  other.Install();
  other.SetDriveType('c', win::kDriveRemote);
  other.SetDriveType('h', win::kDriveFixed);
  ForgetFixedDriveDir();
  EXPECT_EQ(FindFixedDriveDir(), "");
}

// Once per run: a drive that comes later is only seen after
// ForgetFixedDriveDir, and ResetProcessState starts the run anew.
TEST_F(InstallLocationsTest, FixedDrivesAreProbedOnceUntilForgotten) {
  for (const bool fixedC : {true, false}) {
    SCOPED_TRACE(fixedC);
    ResetProcessState();
    machine_.SetDriveType('c', fixedC ? win::kDriveFixed : win::kDriveRemote);
    const std::string found = fixedC ? "c:\\zavoli\\" : "";
    const int queries = machine_.DriveTypeQueries();
    EXPECT_EQ(FindFixedDriveDir(), found);
    machine_.SetDriveType('g', win::kDriveFixed);
    EXPECT_EQ(FindFixedDriveDir(), found);
    EXPECT_EQ(machine_.DriveTypeQueries(), queries + 5);
    ForgetFixedDriveDir();
    EXPECT_EQ(FindFixedDriveDir(), "g:\\zavoli\\");
    machine_.SetDriveType('g', win::kDriveNoRootDir);
  }
}

TEST_F(InstallLocationsTest, DetectSystemNeedsVistaAndASysWow64Folder) {
  EXPECT_EQ(DetectSystem(), 1);
  EXPECT_EQ(WindowsMajorVersion, 6);
  EXPECT_EQ(SysWow64Dir.str(), "C:\\Windows\\syswow64");

  FakeMachine x86(fake::Preset::kWindows7x86);
  x86.Install();
  EXPECT_EQ(DetectSystem(), 0);
  EXPECT_EQ(WindowsMajorVersion, 6);

  // XP is always taken for 32-bit, even with a SysWOW64 folder.
  FakeMachine xp(fake::Preset::kWindowsXp);
  xp.AddDirectory("C:\\Windows\\SysWOW64");
  xp.Install();
  EXPECT_EQ(DetectSystem(), 0);
  EXPECT_EQ(WindowsMajorVersion, 5);

  // A version query that fails keeps the version found before: 5 here, and
  // 0 before any was found.
  machine_.Install();
  machine_.FailOperation("GetVersionExA", win::kErrorInvalidParameter);
  EXPECT_EQ(DetectSystem(), 0);
  EXPECT_EQ(WindowsMajorVersion, 5);
  WindowsMajorVersion = 0;
  EXPECT_EQ(DetectSystem(), 0);
  EXPECT_EQ(WindowsMajorVersion, 0);
}

// A system or Windows directory that cannot be read keeps the one read
// before, and before any was read no path falls back to the drive's root.
TEST_F(InstallLocationsTest, FailedFolderQueriesNeverLeadToTheDrivesRoot) {
  InstallDir.Assign("C:\\zavoli\\");
  for (bool readBefore : {false, true}) {
    SCOPED_TRACE(readBefore);
    if (readBefore) {
      RefreshSystemDir();
      MakeSysWow64Path(&SysWow64Dir);
    }
    machine_.FailOperation("GetSystemDirectoryA", win::kErrorAccessDenied, "", 1);
    machine_.FailOperation("GetWindowsDirectoryA", win::kErrorAccessDenied, "", 2);
    RefreshSystemDir();
    const std::string ime = FileInFolder(SystemDir.view(), "zavoli4.ime");
    MakeSysWow64Path(&SysWow64Dir);
    RememberInstallDir();
    machine_.ClearFailures();
    EXPECT_EQ(ime, readBefore ? "C:\\Windows\\system32\\zavoli4.ime" : "");
    EXPECT_EQ(SysWow64Dir.str(), readBefore ? "C:\\Windows\\syswow64" : "");
    EXPECT_EQ(machine_.Exists("C:\\Windows\\zavopath.zvh"), readBefore);
    EXPECT_FALSE(machine_.Exists("C:\\zavopath.zvh"));
  }
}

TEST_F(InstallLocationsTest, PathExistsOpensFilesAndDirectoriesButNotLockedOrMissingOnes) {
  machine_.AddFile("C:\\a.txt", "a");
  EXPECT_EQ(PathExists("C:\\a.txt"), 1);
  EXPECT_EQ(PathExists("c:\\WINDOWS"), 1);
  EXPECT_EQ(PathExists("C:\\missing"), 0);
  // Another program holding the file without read sharing keeps it from opening.
  ASSERT_NE(machine_.OpenHandle("C:\\a.txt", win::kGenericWrite, 0), 0u);
  EXPECT_EQ(PathExists("C:\\a.txt"), 0);
  EXPECT_EQ(machine_.OpenFileCount(), 0u);
}

}  // namespace
}  // namespace zv
