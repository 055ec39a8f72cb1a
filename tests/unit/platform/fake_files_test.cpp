// The file system of the fake machine behaves as Windows does where the
// installer's file handling depends on it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"

namespace zv::fake {
namespace {

using namespace zv::win;

constexpr uint32_t kShareAll = kFileShareRead | kFileShareWrite | kFileShareDelete;

std::unique_ptr<platform::File> OpenForWrite(FakeMachine& machine, const std::string& path,
                                             uint32_t disposition, uint32_t attributes = 0) {
  return machine.CreateFileA(path, kGenericWrite, 0, disposition, attributes);
}

std::unique_ptr<platform::File> OpenForRead(FakeMachine& machine, const std::string& path,
                                            uint32_t share = kFileShareRead) {
  return machine.CreateFileA(path, kGenericRead, share, kOpenExisting, 0);
}

TEST(FakeFiles, PresetsDescribeTheMachine) {
  FakeMachine x64 = FakeMachine::Windows7x64();
  platform::OsVersion version;
  ASSERT_TRUE(x64.GetVersionExA(&version));
  EXPECT_EQ(version.major, 6u);
  EXPECT_EQ(version.minor, 1u);
  EXPECT_EQ(version.build, 7601u);
  EXPECT_EQ(version.platformId, kVerPlatformWin32Nt);
  EXPECT_EQ(x64.GetOEMCP(), 936u);
  EXPECT_EQ(x64.GetACP(), 936u);
  std::string programFiles;
  ASSERT_TRUE(x64.GetProgramFilesFolderA(&programFiles));
  EXPECT_EQ(programFiles, "C:\\Program Files (x86)");
  EXPECT_EQ(x64.GetSystemDirectoryA(200), "C:\\Windows\\system32");
  for (const char* folder : {"C:\\Program Files", "C:\\Program Files (x86)", "C:\\Windows",
                             "C:\\Windows\\system32", "C:\\Windows\\SysWOW64"}) {
    EXPECT_EQ(x64.Attributes(folder), kAttributeDirectory) << folder;
  }
  EXPECT_EQ(x64.GetDriveTypeA("c:\\"), kDriveFixed);
  EXPECT_EQ(x64.GetDriveTypeA("D:\\"), kDriveCdRom);
  EXPECT_EQ(x64.GetDriveTypeA("e:\\"), kDriveNoRootDir);
  EXPECT_EQ(x64.GetDriveTypeA("c:\\Windows"), kDriveNoRootDir);

  FakeMachine x86 = FakeMachine::Windows7x86();
  ASSERT_TRUE(x86.GetProgramFilesFolderA(&programFiles));
  EXPECT_EQ(programFiles, "C:\\Program Files");
  EXPECT_EQ(x86.Attributes("C:\\Windows\\SysWOW64"), kInvalidFileAttributes);

  FakeMachine xp = FakeMachine::WindowsXp();
  EXPECT_EQ(xp.GetVersion(), 0x0A280105u);  // build 2600, 5.1
  xp.SetVersion(4, 10, 1998, kVerPlatformWin32Windows);
  EXPECT_EQ(xp.GetVersion() & 0x8000FFFFu, 0x80000A04u);
}

TEST(FakeFiles, NamesFoldAsciiCaseButNeverDoubleByteCharacters) {
  FakeMachine machine;
  // GBK 0x81 0x41 and 0x81 0x61 are two different characters whose trail
  // bytes happen to be 'A' and 'a'.
  ASSERT_TRUE(machine.AddFile("C:\\Data\\\x81\x41.txt", "x"));
  EXPECT_TRUE(machine.Exists("c:/DATA/\x81\x41.TXT"));
  EXPECT_FALSE(machine.Exists("C:\\Data\\\x81\x61.txt"));
  EXPECT_EQ(machine.GetFileAttributesA("C:\\Data\\\x81\x61.txt"), kInvalidFileAttributes);
  EXPECT_EQ(machine.LastError(), kErrorFileNotFound);

  // A trail byte 0x5C is part of its character, not a path separator.
  EXPECT_NE(OpenForWrite(machine, "C:\\Data\\\xB3\x5C.txt", kCreateNew), nullptr);
  EXPECT_EQ(machine.ListDirectory("C:\\Data"),
            (std::vector<std::string>{"\x81\x41.txt", "\xB3\x5C.txt"}));

  // Relative paths start from the current directory; "." and ".." resolve.
  machine.SetCurrentDirectory("C:\\Data");
  EXPECT_NE(OpenForRead(machine, "\x81\x41.txt"), nullptr);
  EXPECT_NE(OpenForRead(machine, "..\\data\\.\\\x81\x41.txt"), nullptr);
  EXPECT_NE(OpenForRead(machine, "\\Data\\\x81\x41.txt"), nullptr);
}

TEST(FakeFiles, MissingParentsAndExistingNames) {
  FakeMachine machine;
  EXPECT_EQ(OpenForWrite(machine, "C:\\nodir\\a.txt", kCreateAlways), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorPathNotFound);
  EXPECT_FALSE(machine.CreateDirectoryA("C:\\nodir\\sub"));
  EXPECT_EQ(machine.LastError(), kErrorPathNotFound);
  EXPECT_EQ(OpenForWrite(machine, "E:\\a.txt", kCreateAlways), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorPathNotFound);
  ASSERT_TRUE(machine.AddFile("C:\\file", ""));
  EXPECT_EQ(OpenForWrite(machine, "C:\\file\\a.txt", kCreateAlways), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorPathNotFound);
  EXPECT_EQ(OpenForRead(machine, "C:\\absent.txt"), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorFileNotFound);
  EXPECT_EQ(OpenForRead(machine, ""), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorPathNotFound);

  EXPECT_FALSE(machine.CreateDirectoryA("c:\\WINDOWS"));
  EXPECT_EQ(machine.LastError(), kErrorAlreadyExists);
  EXPECT_TRUE(machine.CreateDirectoryA("C:\\Windows\\new"));
  EXPECT_EQ(machine.Attributes("C:\\Windows\\NEW"), kAttributeDirectory);
  // A directory opens only with backup semantics.
  EXPECT_EQ(OpenForRead(machine, "C:\\Windows", kShareAll), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);
  EXPECT_NE(machine.CreateFileA("C:\\Windows", kGenericRead, kFileShareRead | kFileShareDelete,
                                kOpenExisting, kFileFlagBackupSemantics),
            nullptr);
}

TEST(FakeFiles, CreateRefusesReadOnlyAndHiddenTargets) {
  FakeMachine machine;
  ASSERT_TRUE(machine.AddFile("C:\\ro.txt", "old", kAttributeReadOnly));
  EXPECT_EQ(OpenForWrite(machine, "C:\\ro.txt", kCreateAlways, kAttributeNormal), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);
  EXPECT_EQ(OpenForWrite(machine, "C:\\ro.txt", kOpenExisting), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);
  EXPECT_NE(OpenForRead(machine, "C:\\ro.txt"), nullptr);

  ASSERT_TRUE(machine.AddFile("C:\\hidden.txt", "old", kAttributeHidden));
  ASSERT_TRUE(machine.AddFile("C:\\system.txt", "old", kAttributeSystem));
  EXPECT_EQ(OpenForWrite(machine, "C:\\hidden.txt", kCreateAlways, kAttributeNormal), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);
  EXPECT_EQ(OpenForWrite(machine, "C:\\system.txt", kCreateAlways, kAttributeHidden), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);
  // Repeating the hidden attribute replaces the file.
  EXPECT_NE(OpenForWrite(machine, "C:\\hidden.txt", kCreateAlways, kAttributeHidden), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorAlreadyExists);
  EXPECT_EQ(machine.ReadText("C:\\hidden.txt"), "");
  EXPECT_EQ(machine.Attributes("C:\\hidden.txt"), kAttributeHidden | kAttributeArchive);

  EXPECT_EQ(OpenForWrite(machine, "C:\\system.txt", kCreateNew), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorFileExists);
  EXPECT_NE(OpenForWrite(machine, "C:\\system.txt", kOpenAlways), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorAlreadyExists);
  EXPECT_NE(OpenForWrite(machine, "C:\\fresh.txt", kOpenAlways), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorSuccess);
  EXPECT_EQ(machine.Attributes("C:\\fresh.txt"), kAttributeArchive);
}

TEST(FakeFiles, SharingModesOfOpenHandles) {
  FakeMachine machine;
  ASSERT_TRUE(machine.AddFile("C:\\f.txt", "data"));
  auto reader = OpenForRead(machine, "C:\\f.txt", kFileShareRead);
  ASSERT_NE(reader, nullptr);
  // The reader does not share writing, and a new reader must share reading.
  EXPECT_EQ(machine.CreateFileA("C:\\f.txt", kGenericWrite, kShareAll, kOpenExisting, 0), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorSharingViolation);
  EXPECT_EQ(OpenForRead(machine, "C:\\f.txt", 0), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorSharingViolation);
  EXPECT_NE(OpenForRead(machine, "C:\\f.txt", kFileShareRead), nullptr);
  EXPECT_EQ(machine.OpenFileCount(), 1u);
  reader.reset();
  EXPECT_EQ(machine.OpenFileCount(), 0u);
  EXPECT_NE(OpenForWrite(machine, "C:\\f.txt", kOpenExisting), nullptr);

  // Another program writing with read and write sharing: a reader must let
  // it go on writing.
  uint32_t writer =
      machine.OpenHandle("C:\\f.txt", kGenericWrite, kFileShareRead | kFileShareWrite);
  ASSERT_NE(writer, 0u);
  EXPECT_EQ(OpenForRead(machine, "C:\\f.txt", kFileShareRead), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorSharingViolation);
  EXPECT_NE(OpenForRead(machine, "C:\\f.txt", kFileShareRead | kFileShareWrite), nullptr);
  EXPECT_TRUE(machine.ReleaseHandle(writer));
  EXPECT_FALSE(machine.ReleaseHandle(writer));
}

TEST(FakeFiles, DeleteAndRenameOfFilesInUse) {
  FakeMachine machine;
  ASSERT_TRUE(machine.AddFile("C:\\in\\open.ime", "x"));
  ASSERT_TRUE(machine.AddFile("C:\\in\\loaded.ime", "y"));
  uint32_t held = machine.OpenHandle("C:\\in\\open.ime", kGenericRead, kFileShareRead);
  ASSERT_NE(held, 0u);
  EXPECT_FALSE(machine.DeleteFileA("C:\\in\\open.ime"));
  EXPECT_EQ(machine.LastError(), kErrorSharingViolation);
  EXPECT_FALSE(machine.MoveFileA("C:\\in\\open.ime", "C:\\in\\open2.ime"));
  EXPECT_EQ(machine.LastError(), kErrorSharingViolation);

  // A loaded module cannot be deleted or written, but it can be renamed.
  ASSERT_TRUE(machine.LoadModule("C:\\in\\loaded.ime"));
  EXPECT_FALSE(machine.DeleteFileA("C:\\in\\loaded.ime"));
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);
  EXPECT_EQ(OpenForWrite(machine, "C:\\in\\loaded.ime", kOpenExisting), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorSharingViolation);
  EXPECT_TRUE(machine.MoveFileA("C:\\in\\loaded.ime", "C:\\in\\LOADED2.ime"));
  EXPECT_FALSE(machine.Exists("C:\\in\\loaded.ime"));
  EXPECT_TRUE(machine.IsModuleLoaded("C:\\in\\loaded2.ime"));
  EXPECT_EQ(machine.ListDirectory("C:\\in"), (std::vector<std::string>{"LOADED2.ime", "open.ime"}));

  // With delete sharing the delete succeeds; the name goes with the last handle.
  ASSERT_TRUE(machine.ReleaseHandle(held));
  held = machine.OpenHandle("C:\\in\\open.ime", kGenericRead, kShareAll);
  EXPECT_TRUE(machine.DeleteFileA("C:\\in\\open.ime"));
  EXPECT_TRUE(machine.Exists("C:\\in\\open.ime"));
  EXPECT_EQ(OpenForRead(machine, "C:\\in\\open.ime", kShareAll), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);
  ASSERT_TRUE(machine.ReleaseHandle(held));
  EXPECT_FALSE(machine.Exists("C:\\in\\open.ime"));

  ASSERT_TRUE(machine.AddFile("C:\\in\\ro.txt", "", kAttributeReadOnly));
  EXPECT_FALSE(machine.DeleteFileA("C:\\in\\ro.txt"));
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);
  EXPECT_FALSE(machine.DeleteFileA("C:\\in"));
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);
  EXPECT_FALSE(machine.MoveFileA("C:\\in\\loaded2.ime", "C:\\in\\ro.txt"));
  EXPECT_EQ(machine.LastError(), kErrorAlreadyExists);
  EXPECT_TRUE(machine.MoveFileA("C:\\in\\ro.txt", "C:\\in\\ro2.txt"));
  EXPECT_FALSE(machine.DeleteFileA("C:\\in\\absent.txt"));
  EXPECT_EQ(machine.LastError(), kErrorFileNotFound);
}

TEST(FakeFiles, CopyFileChecksBothEnds) {
  FakeMachine machine;
  ASSERT_TRUE(machine.AddFile("C:\\src.ime", "new", kAttributeReadOnly));
  EXPECT_TRUE(machine.CopyFileA("C:\\src.ime", "C:\\dst.ime", true));
  EXPECT_EQ(machine.ReadText("C:\\dst.ime"), "new");
  EXPECT_EQ(machine.Attributes("C:\\dst.ime"), kAttributeReadOnly | kAttributeArchive);
  EXPECT_FALSE(machine.CopyFileA("C:\\src.ime", "C:\\dst.ime", true));
  EXPECT_EQ(machine.LastError(), kErrorFileExists);
  EXPECT_FALSE(machine.CopyFileA("C:\\src.ime", "C:\\dst.ime", false));  // now read-only
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);

  ASSERT_TRUE(machine.AddFile("C:\\hidden.ime", "old", kAttributeHidden));
  EXPECT_FALSE(machine.CopyFileA("C:\\src.ime", "C:\\hidden.ime", false));
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);
  EXPECT_EQ(machine.ReadText("C:\\hidden.ime"), "old");

  ASSERT_TRUE(machine.AddFile("C:\\held.ime", "old"));
  uint32_t held = machine.OpenHandle("C:\\held.ime", kGenericRead, 0);
  EXPECT_FALSE(machine.CopyFileA("C:\\src.ime", "C:\\held.ime", false));
  EXPECT_EQ(machine.LastError(), kErrorSharingViolation);
  ASSERT_TRUE(machine.ReleaseHandle(held));
  ASSERT_TRUE(machine.LoadModule("C:\\held.ime"));
  EXPECT_FALSE(machine.CopyFileA("C:\\src.ime", "C:\\held.ime", false));
  EXPECT_EQ(machine.LastError(), kErrorSharingViolation);
  ASSERT_TRUE(machine.UnloadModule("C:\\held.ime"));
  EXPECT_TRUE(machine.CopyFileA("C:\\src.ime", "C:\\held.ime", false));

  // The source must open for reading with read sharing only.
  held = machine.OpenHandle("C:\\src.ime", kGenericRead, kFileShareRead | kFileShareWrite);
  EXPECT_TRUE(machine.CopyFileA("C:\\src.ime", "C:\\third.ime", false));
  ASSERT_TRUE(machine.ReleaseHandle(held));
  held = machine.OpenHandle("C:\\src.ime", kGenericRead, 0);
  EXPECT_FALSE(machine.CopyFileA("C:\\src.ime", "C:\\fourth.ime", false));
  EXPECT_EQ(machine.LastError(), kErrorSharingViolation);
  EXPECT_FALSE(machine.CopyFileA("C:\\absent.ime", "C:\\fourth.ime", false));
  EXPECT_EQ(machine.LastError(), kErrorFileNotFound);
  EXPECT_FALSE(machine.Exists("C:\\fourth.ime"));
}

TEST(FakeFiles, HandlesReadAndWriteAtTheirPositionUntilTheDiskIsFull) {
  FakeMachine machine;
  auto file = OpenForWrite(machine, "C:\\out.bin", kCreateAlways);
  ASSERT_NE(file, nullptr);
  uint32_t count = 0;
  ASSERT_TRUE(file->Write("abc", 3, &count));
  ASSERT_TRUE(file->Write("def", 3, &count));
  EXPECT_EQ(file->Size(), 6u);
  char buffer[8] = {};
  EXPECT_FALSE(file->Read(buffer, 4, &count));  // opened for writing only
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);
  file.reset();  // the writer shares nothing
  file = OpenForRead(machine, "C:\\out.bin");
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(file->Read(buffer, 4, &count));
  EXPECT_EQ(std::string(buffer, count), "abcd");
  ASSERT_TRUE(file->Read(buffer, 4, &count));
  EXPECT_EQ(std::string(buffer, count), "ef");
  ASSERT_TRUE(file->Read(buffer, 4, &count));
  EXPECT_EQ(count, 0u);

  machine.SetDiskFullAfter(5);
  file.reset();
  file = OpenForWrite(machine, "C:\\out.bin", kCreateAlways);
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(file->Write("12345678", 8, &count));
  EXPECT_EQ(count, 5u);
  EXPECT_EQ(machine.LastError(), kErrorDiskFull);
  EXPECT_FALSE(file->Write("9", 1, &count));
  EXPECT_EQ(count, 0u);
  file.reset();
  EXPECT_EQ(machine.ReadText("C:\\out.bin"), "12345");
  // A copy that does not fit leaves no partial target behind.
  EXPECT_FALSE(machine.CopyFileA("C:\\out.bin", "C:\\copy.bin", false));
  EXPECT_EQ(machine.LastError(), kErrorDiskFull);
  EXPECT_FALSE(machine.Exists("C:\\copy.bin"));
  machine.ClearDiskFull();
  EXPECT_TRUE(machine.CopyFileA("C:\\out.bin", "C:\\copy.bin", false));
}

// Cutting a file needs a handle that may write, takes no disk space and
// leaves the position at the new end.
TEST(FakeFiles, TruncateCutsAtTheGivenSizeEvenOnAFullDisk) {
  FakeMachine machine;
  machine.AddFile("C:\\out.bin", "abcdef");
  machine.SetDiskFullAfter(0);
  auto reader = OpenForRead(machine, "C:\\out.bin");
  ASSERT_NE(reader, nullptr);
  EXPECT_FALSE(reader->Truncate(2));
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);
  reader.reset();
  auto file = OpenForWrite(machine, "C:\\out.bin", kOpenExisting);
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->Truncate(2));
  EXPECT_EQ(file->Size(), 2u);
  EXPECT_FALSE(file->Truncate(3));  // growing would need room
  EXPECT_EQ(machine.LastError(), kErrorDiskFull);
  machine.ClearDiskFull();
  uint32_t count = 0;
  EXPECT_TRUE(file->Write("Z", 1, &count));
  file.reset();
  EXPECT_EQ(machine.ReadText("C:\\out.bin"), "abZ");
}

// Seeking moves the position only; a write behind the end fills the gap
// with zero bytes, and the gap takes disk space too.
TEST(FakeFiles, SeekMovesThePositionAndAWriteBehindTheEndFillsTheGap) {
  FakeMachine machine;
  machine.AddFile("C:\\out.bin", "abcdef");
  auto file = machine.CreateFileA("C:\\out.bin", kGenericRead | kGenericWrite, 0, kOpenExisting, 0);
  ASSERT_NE(file, nullptr);
  char buffer[4] = {};
  uint32_t count = 0;
  ASSERT_TRUE(file->Seek(2));
  ASSERT_TRUE(file->Read(buffer, 2, &count));
  EXPECT_EQ(std::string(buffer, count), "cd");
  ASSERT_TRUE(file->Seek(8));
  ASSERT_TRUE(file->Read(buffer, 2, &count));
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(file->Size(), 6u);
  ASSERT_TRUE(file->Write("Z", 1, &count));
  machine.SetDiskFullAfter(3);
  ASSERT_TRUE(file->Seek(20));
  EXPECT_FALSE(file->Write("Y", 1, &count));
  EXPECT_EQ(machine.LastError(), kErrorDiskFull);
  file.reset();
  EXPECT_EQ(machine.ReadText("C:\\out.bin"), std::string("abcdef\0\0Z", 9));
}

TEST(FakeFiles, Wow64RedirectsTheSystemFolderUnlessSwitchedOff) {
  FakeMachine machine = FakeMachine::Windows7x64();
  EXPECT_NE(OpenForWrite(machine, "C:\\WINDOWS\\System32\\zavoli4.ime", kCreateAlways), nullptr);
  EXPECT_TRUE(machine.Exists("C:\\Windows\\SysWOW64\\zavoli4.ime"));
  EXPECT_FALSE(machine.Exists("C:\\Windows\\system32\\zavoli4.ime"));

  void* outer = nullptr;
  void* inner = nullptr;
  ASSERT_TRUE(machine.DisableFsRedirection(&outer));
  ASSERT_TRUE(machine.DisableFsRedirection(&inner));
  EXPECT_TRUE(machine.CopyFileA("C:\\Windows\\SysWOW64\\zavoli4.ime",
                                "C:\\Windows\\system32\\zavoli4.ime", false));
  ASSERT_TRUE(machine.RevertFsRedirection(inner));
  EXPECT_TRUE(machine.RedirectionDisabled());  // the outer switch still holds
  ASSERT_TRUE(machine.RevertFsRedirection(outer));
  EXPECT_FALSE(machine.RedirectionDisabled());
  EXPECT_EQ(machine.RedirectionDisables(), 2);
  EXPECT_EQ(machine.RedirectionReverts(), 2);
  EXPECT_TRUE(machine.Exists("C:\\Windows\\system32\\zavoli4.ime"));
  // Redirected again: the delete reaches the SysWOW64 copy.
  EXPECT_TRUE(machine.DeleteFileA("C:\\Windows\\system32\\zavoli4.ime"));
  EXPECT_FALSE(machine.Exists("C:\\Windows\\SysWOW64\\zavoli4.ime"));
  EXPECT_TRUE(machine.Exists("C:\\Windows\\system32\\zavoli4.ime"));

  FakeMachine x86 = FakeMachine::Windows7x86();
  void* old = nullptr;
  EXPECT_TRUE(x86.DisableFsRedirection(&old));
  EXPECT_FALSE(x86.RedirectionDisabled());
  EXPECT_TRUE(x86.RevertFsRedirection(old));
  EXPECT_NE(OpenForWrite(x86, "C:\\Windows\\system32\\zavoli4.ime", kCreateAlways), nullptr);
  EXPECT_TRUE(x86.Exists("C:\\Windows\\system32\\zavoli4.ime"));
}

TEST(FakeFiles, InjectedFaultsHitMatchingCallsOnly) {
  FakeMachine machine;
  machine.FailOperation("CreateFileA", kErrorAccessDenied, "ZAVO", 2);
  EXPECT_NE(OpenForWrite(machine, "C:\\other.txt", kCreateAlways), nullptr);
  EXPECT_EQ(OpenForWrite(machine, "C:\\zavoli.txt", kCreateAlways), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);
  EXPECT_EQ(OpenForWrite(machine, "C:\\zavoli.txt", kCreateAlways), nullptr);
  EXPECT_NE(OpenForWrite(machine, "C:\\zavoli.txt", kCreateAlways), nullptr);
  EXPECT_EQ(machine.CallCount("CreateFileA"), 4);

  machine.FailOperation("WriteFile", kErrorHandleDiskFull);
  auto file = OpenForWrite(machine, "C:\\zavoli.txt", kCreateAlways);
  ASSERT_NE(file, nullptr);
  uint32_t written = 7;
  EXPECT_FALSE(file->Write("ab", 2, &written));
  EXPECT_EQ(written, 0u);
  EXPECT_EQ(machine.LastError(), kErrorHandleDiskFull);
  EXPECT_FALSE(file->Write("ab", 2, &written));
  machine.ClearFailures();
  EXPECT_TRUE(file->Write("ab", 2, &written));
  EXPECT_EQ(machine.CallCount("WriteFile"), 3);
}

TEST(FakeFiles, FindFilesListsDotsAndMatchesWildcardsWithoutCase) {
  FakeMachine machine;
  ASSERT_TRUE(machine.AddFile("C:\\Data\\b.TXT", "x"));
  ASSERT_TRUE(machine.AddFile("C:\\Data\\a.zvh", "x"));
  ASSERT_TRUE(machine.AddFile("C:\\Data\\README", "x"));
  ASSERT_TRUE(machine.AddFile("C:\\Data\\\xB3\x5C.txt", "x"));
  ASSERT_TRUE(machine.AddDirectory("C:\\Data\\sub"));
  std::vector<std::string> names{"stale"};
  ASSERT_TRUE(machine.FindFilesA("c:\\data\\*.*", &names));
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "a.zvh", "b.TXT", "README", "sub",
                                             "\xB3\x5C.txt"}));
  ASSERT_TRUE(machine.FindFilesA("C:\\DATA\\*.txt", &names));
  EXPECT_EQ(names, (std::vector<std::string>{"b.TXT", "\xB3\x5C.txt"}));
  ASSERT_TRUE(machine.FindFilesA("C:\\Data\\?.zv?", &names));
  EXPECT_EQ(names, (std::vector<std::string>{"a.zvh"}));
  // "?" is one character, of one byte or two; the trail byte 0x5C of the
  // name's first character does not cut the pattern.
  ASSERT_TRUE(machine.FindFilesA("C:\\Data\\?.txt", &names));
  EXPECT_EQ(names, (std::vector<std::string>{"b.TXT", "\xB3\x5C.txt"}));
  ASSERT_TRUE(machine.FindFilesA("C:\\Data\\\xB3\x5C.*", &names));
  EXPECT_EQ(names, (std::vector<std::string>{"\xB3\x5C.txt"}));
  machine.SetCurrentDirectory("C:\\Data");
  ASSERT_TRUE(machine.FindFilesA("readme.*", &names));
  EXPECT_EQ(names, (std::vector<std::string>{"README"}));

  // A drive's root has no dot entries.
  ASSERT_TRUE(machine.FindFilesA("C:\\*.*", &names));
  EXPECT_EQ(names.front(), "Data");

  struct Failure {
    const char* pattern;
    uint32_t error;
  };
  for (const Failure& failure :
       {Failure{"C:\\Data\\*.exe", kErrorFileNotFound}, Failure{"C:\\Data\\", kErrorFileNotFound},
        Failure{"C:\\missing\\*.*", kErrorPathNotFound},
        Failure{"C:\\Data\\a.zvh\\*.*", kErrorPathNotFound},
        Failure{"E:\\*.*", kErrorPathNotFound}}) {
    names = {"stale"};
    EXPECT_FALSE(machine.FindFilesA(failure.pattern, &names)) << failure.pattern;
    EXPECT_EQ(machine.LastError(), failure.error) << failure.pattern;
    EXPECT_TRUE(names.empty()) << failure.pattern;
  }
  machine.FailOperation("FindFirstFileA", kErrorAccessDenied, "c:\\data", 1);
  EXPECT_FALSE(machine.FindFilesA("C:\\Data\\*.*", &names));
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);
  EXPECT_TRUE(machine.FindFilesA("C:\\Data\\*.*", &names));
}

TEST(FakeFiles, ListTreeWalksEverythingBelowADirectoryOnce) {
  FakeMachine machine;
  ASSERT_TRUE(machine.AddFile("C:\\Data\\sub\\b.bin", std::string("\0\x01", 2)));
  ASSERT_TRUE(machine.AddFile("C:\\Data\\A.txt", "text", kAttributeReadOnly | kAttributeHidden));
  ASSERT_TRUE(machine.AddDirectory("C:\\Data\\empty"));
  std::vector<std::string> listed;
  for (const TreeEntry& entry : machine.ListTree("c:\\data\\")) {
    listed.push_back(entry.path + " " + std::to_string(entry.attributes) + " " +
                     std::string(entry.data.begin(), entry.data.end()));
  }
  EXPECT_EQ(listed, (std::vector<std::string>{
                        "C:\\data\\A.txt 3 text", "C:\\data\\empty 16 ", "C:\\data\\sub 16 ",
                        "C:\\data\\sub\\b.bin 32 " + std::string("\0\x01", 2)}));

  const std::vector<TreeEntry> disk = machine.ListTree("C:\\");
  const auto at = [&](const std::string& path) {
    return std::find_if(disk.begin(), disk.end(),
                        [&](const TreeEntry& entry) { return entry.path == path; });
  };
  ASSERT_NE(at("C:\\Windows\\system32"), disk.end());
  EXPECT_LT(at("C:\\Windows"), at("C:\\Windows\\system32"));
  EXPECT_EQ(at("C:\\Data\\sub\\b.bin")->data.size(), 2u);
  for (const char* missing : {"C:\\nothing", "C:\\Data\\A.txt", "E:\\", "C:\\<"}) {
    EXPECT_TRUE(machine.ListTree(missing).empty()) << missing;
  }
}

TEST(FakeFiles, SetCurrentDirectoryTakesExistingDirectoriesOnly) {
  FakeMachine machine;
  ASSERT_TRUE(machine.AddFile("C:\\Data\\a.txt", "x"));
  EXPECT_TRUE(machine.SetCurrentDirectoryA("c:\\data\\"));
  EXPECT_EQ(machine.CurrentDirectory(), "C:\\data");
  EXPECT_NE(OpenForRead(machine, "a.txt"), nullptr);
  EXPECT_TRUE(machine.SetCurrentDirectoryA(".."));
  EXPECT_EQ(machine.CurrentDirectory(), "C:\\");

  struct Failure {
    const char* path;
    uint32_t error;
  };
  for (const Failure& failure :
       {Failure{"C:\\Data\\a.txt", 267}, Failure{"C:\\Data\\none", kErrorFileNotFound},
        Failure{"C:\\none\\sub", kErrorPathNotFound}, Failure{"", kErrorPathNotFound}}) {
    EXPECT_FALSE(machine.SetCurrentDirectoryA(failure.path)) << failure.path;
    EXPECT_EQ(machine.LastError(), failure.error) << failure.path;
    EXPECT_EQ(machine.CurrentDirectory(), "C:\\") << failure.path;
  }
  machine.FailOperation("SetCurrentDirectoryA", kErrorAccessDenied, "data", 1);
  EXPECT_FALSE(machine.SetCurrentDirectoryA("C:\\Data"));
  EXPECT_EQ(machine.LastError(), kErrorAccessDenied);
  EXPECT_EQ(machine.CurrentDirectory(), "C:\\");
}

}  // namespace
}  // namespace zv::fake
