// The smaller services of the fake machine: the service table, system
// information, message boxes, program starts, input methods, access lists,
// resources and MD5.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "platform/services.h"

namespace zv::fake {
namespace {

using namespace zv::win;

constexpr uint32_t kGenericAll = 0x10000000;

TEST(FakeMachineTable, InstallFillsTheServiceTableUntilDestroyed) {
  {
    FakeMachine machine;
    machine.Install();
    EXPECT_EQ(&platform::Files(), static_cast<platform::FileSystem*>(&machine));
    EXPECT_EQ(&platform::Digests(), static_cast<platform::Md5*>(&machine));
    EXPECT_TRUE(platform::Files().CreateDirectoryA("C:\\through-the-table"));
    EXPECT_TRUE(machine.Exists("C:\\through-the-table"));
  }
  EXPECT_EQ(platform::CurrentServices().files, nullptr);

  FakeMachine kept;
  kept.Install();
  {
    FakeMachine replaced;
    replaced.Install();
    kept.Install();
  }  // `replaced` is no longer in the table and leaves it alone
  EXPECT_EQ(platform::CurrentServices().registry, static_cast<platform::Registry*>(&kept));
}

// Every machine of a preset starts as a copy of one built once: whatever an
// earlier machine changed on its disks, in its registry or in its settings
// must not reach the next one, and the copy's HKCR must be its own HKLM's
// classes key.
TEST(FakeMachinePresets, EachMachineStartsFromItsPresetWhateverEarlierOnesChanged) {
  const std::string layout = "System\\CurrentControlSet\\Control\\Keyboard Layouts\\00000804";
  for (Preset preset : {Preset::kWindows7x64, Preset::kWindows7x86, Preset::kWindowsXp}) {
    SCOPED_TRACE(static_cast<int>(preset));
    {
      FakeMachine earlier(preset);
      ASSERT_TRUE(earlier.AddFile("C:\\Windows\\system32\\left.dll", "bytes"));
      ASSERT_TRUE(earlier.RemovePath("C:\\Program Files"));
      ASSERT_TRUE(earlier.SetString(platform::kHkeyLocalMachine, layout, "Layout Text", "changed"));
      ASSERT_TRUE(earlier.DeleteTree(platform::kHkeyCurrentUser, "Keyboard Layout"));
      ASSERT_TRUE(earlier.SetString(platform::kHkeyClassesRoot, ".zvh", "", "left"));
      earlier.SetCodePage(950);
      earlier.SetWindowsDirectory("D:\\WINNT");
      earlier.SetDriveType('E', kDriveFixed);
    }
    FakeMachine next(preset);
    EXPECT_FALSE(next.Exists("C:\\Windows\\system32\\left.dll"));
    EXPECT_EQ(next.Attributes("C:\\Program Files"), kAttributeDirectory);
    EXPECT_EQ(next.GetStringA(platform::kHkeyLocalMachine, layout, "Layout Text"),
              "Chinese (Simplified) - US Keyboard");
    EXPECT_EQ(next.GetStringA(platform::kHkeyCurrentUser, "Keyboard Layout\\Preload", "1"),
              "00000804");
    EXPECT_FALSE(next.KeyExists(platform::kHkeyLocalMachine, "Software\\Classes\\.zvh"));
    EXPECT_EQ(next.GetACP(), 936u);
    EXPECT_EQ(next.GetWindowsDirectoryA(200), "C:\\Windows");
    EXPECT_EQ(next.GetDriveTypeA("E:\\"), kDriveNoRootDir);

    ASSERT_TRUE(next.SetString(platform::kHkeyClassesRoot, ".zvh", "", "own"));
    EXPECT_EQ(next.GetStringA(platform::kHkeyLocalMachine, "Software\\Classes\\.zvh", ""), "own");
  }
}

TEST(FakeSystemInfo, BuffersFollowTheWindowsCapacityRules) {
  FakeMachine machine;
  EXPECT_EQ(machine.GetWindowsDirectoryA(10), "");  // "C:\Windows" needs 11 with its zero
  EXPECT_EQ(machine.GetWindowsDirectoryA(11), "C:\\Windows");
  EXPECT_EQ(machine.GetSystemDirectoryW(19), u"");
  EXPECT_EQ(machine.GetSystemDirectoryW(20), u"C:\\Windows\\system32");
  std::string user;
  EXPECT_FALSE(machine.GetUserNameA(13, &user));
  EXPECT_EQ(machine.LastError(), kErrorInsufficientBuffer);
  EXPECT_TRUE(machine.GetUserNameA(14, &user));
  EXPECT_EQ(user, "Administrator");
  std::string folder;
  machine.SetProgramFilesUnknown();
  EXPECT_FALSE(machine.GetProgramFilesFolderA(&folder));

  machine.FailOperation("GetVersionExA", kErrorAccessDenied, "", 1);
  platform::OsVersion version;
  EXPECT_FALSE(machine.GetVersionExA(&version));
  EXPECT_TRUE(machine.GetVersionExA(&version));

  uint32_t start = machine.GetTickCount();
  machine.Sleep(1600);
  EXPECT_EQ(machine.GetTickCount() - start, 1600u);
  machine.SetTickCount(0xFFFFFF00u);
  machine.Sleep(0x200);
  EXPECT_EQ(machine.GetTickCount(), 0x100u);
  EXPECT_EQ(machine.SleptMilliseconds(), 1600u + 0x200u);
}

TEST(FakeMessageBoxes, LogsEveryBoxAndAnswersFromTheScript) {
  FakeMachine machine;
  // 安装 and 智能 in GBK.
  EXPECT_EQ(machine.MessageBoxA("\xb0\xb2\xd7\xb0", "\xd6\xc7\xc4\xdc", kMbOk | kMbIconError),
            kIdOk);
  EXPECT_EQ(machine.MessageBoxW(u"是否保留？", u"安装", kMbYesNo), kIdYes);
  machine.QueueAnswer(kIdNo);
  EXPECT_EQ(machine.MessageBoxW(u"是否保留？", u"安装", kMbYesNo | kMbIconQuestion), kIdNo);
  EXPECT_EQ(machine.MessageBoxW(u"是否保留？", u"安装", kMbYesNo), kIdYes);

  const std::vector<MessageBoxRecord>& boxes = machine.MessageBoxes();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].text, u"安装");
  EXPECT_EQ(boxes[0].caption, u"智能");
  EXPECT_EQ(boxes[0].text8, "\xb0\xb2\xd7\xb0");
  EXPECT_EQ(boxes[0].style, kMbOk | kMbIconError);
  EXPECT_FALSE(boxes[0].wide);
  EXPECT_TRUE(boxes[2].wide);
  EXPECT_EQ(boxes[2].style, kMbYesNo | kMbIconQuestion);
  EXPECT_EQ(boxes[2].answer, kIdNo);
  EXPECT_EQ(machine.QueuedAnswers(), 0u);
}

std::vector<std::string>& ReportedFaults() {
  static std::vector<std::string> reports;
  return reports;
}

TEST(FaultInjector, AScriptedFailureThatNeverFiredIsReported) {
  const UnfiredFaultReporter testsOwn =
      SetUnfiredFaultReporter([](const std::string& m) { ReportedFaults().push_back(m); });
  ReportedFaults().clear();
  {
    FakeMachine machine;
    machine.Install();
    machine.FailOperation("CreateFileA", kErrorAccessDenied, "used.txt", 1);
    machine.FailOperation("CreateFile", kErrorAccessDenied);  // misspelt: never called
    machine.FailOperation("DeleteFileA", kErrorAccessDenied, "other.txt");  // no such call
    EXPECT_EQ(platform::Files().CreateFileA("C:\\used.txt", kGenericRead, 0, kOpenExisting, 0),
              nullptr);
    platform::Files().DeleteFileA("C:\\used.txt");
    machine.ClearFailures();
    EXPECT_EQ(ReportedFaults(),
              (std::vector<std::string>{
                  "the scripted failure of CreateFile never failed a call",
                  "the scripted failure of DeleteFileA on \"other.txt\" never failed a call"}));
    // Forgotten with the machine: reported just the same.
    machine.FailOperation("RegOpenKeyExA", kErrorAccessDenied, "Software", 1);
  }
  EXPECT_EQ(ReportedFaults().size(), 3u);
  SetUnfiredFaultReporter(testsOwn);
}

// The nth call alone fails, counted from when it was scripted; the log
// names every call with its subjects.
TEST(FaultInjector, TheNthCallAloneFailsAndEveryCallIsLogged) {
  FakeMachine machine;
  machine.Install();
  machine.AddFile("C:\\a.txt", "a");
  platform::Files().DeleteFileA("C:\\missing.txt");
  machine.RecordCalls(true);
  machine.FailNthCall("GetFileAttributesA", kErrorAccessDenied, 2);
  std::vector<bool> found;
  for (int call = 0; call < 3; ++call) {
    found.push_back(platform::Files().GetFileAttributesA("C:\\a.txt") != kInvalidFileAttributes);
  }
  platform::Files().MoveFileA("C:\\a.txt", "C:\\b.txt");
  EXPECT_EQ(found, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(machine.CallCounts().at("GetFileAttributesA"), 3);
  EXPECT_EQ(machine.CallCount("DeleteFileA"), 1);
  ASSERT_EQ(machine.RecordedCalls().size(), 4u);
  EXPECT_EQ(machine.RecordedCalls()[0].operation, "GetFileAttributesA");
  EXPECT_EQ(machine.RecordedCalls()[3].operation, "MoveFileA");
  EXPECT_NE(machine.RecordedCalls()[3].subjects.find("a.txt|"), std::string::npos);
}

TEST(FakeProcesses, WinExecRecordsEveryCommandLine) {
  FakeMachine machine;
  EXPECT_EQ(machine.WinExec("icacls.exe \"C:\\z\" /SetIntegrityLevel Level: L", kSwShow), 33u);
  machine.FailOperation("WinExec", kErrorFileNotFound, "setupw64");
  EXPECT_EQ(machine.WinExec("C:\\z\\setupw64.exe", kSwShowNormal), 2u);
  ASSERT_EQ(machine.Commands().size(), 2u);
  EXPECT_EQ(machine.Commands()[0].commandLine, "icacls.exe \"C:\\z\" /SetIntegrityLevel Level: L");
  EXPECT_EQ(machine.Commands()[0].show, kSwShow);
  EXPECT_EQ(machine.Commands()[1].result, 2u);
}

TEST(FakeInputMethods, InstallNeedsTheFileAndNumbersTheLayouts) {
  FakeMachine machine = FakeMachine::Windows7x64();
  const std::u16string ime = u"C:\\Windows\\system32\\zavoli4.ime";
  const std::u16string text = u"智能岚汀输入平台  7.8";
  // The 32-bit process's system32 is SysWOW64: a native copy alone is not enough.
  ASSERT_TRUE(machine.AddFile("C:\\Windows\\system32\\zavoli4.ime", "64"));
  EXPECT_EQ(machine.ImmInstallIMEW(ime, text), 0u);
  ASSERT_TRUE(machine.AddFile("C:\\Windows\\SysWOW64\\zavoli4.ime", "32"));
  EXPECT_EQ(machine.ImmInstallIMEW(ime, text), 0xE0200804u);
  // With the redirection switched off the path reaches the native copy.
  void* old = nullptr;
  ASSERT_TRUE(machine.DisableFsRedirection(&old));
  EXPECT_EQ(machine.ImmInstallIMEW(ime, text), 0xE0210804u);
  ASSERT_TRUE(machine.RevertFsRedirection(old));
  machine.FailOperation("ImmInstallIMEW", kErrorAccessDenied, "", 1);
  EXPECT_EQ(machine.ImmInstallIMEW(ime, text), 0u);
  ASSERT_EQ(machine.ImeInstalls().size(), 4u);
  EXPECT_EQ(machine.ImeInstalls()[1].layoutText, text);
  // The file each call found, refused or not.
  const std::optional<std::string> found[] = {std::nullopt, "32", "64", "32"};
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(machine.ImeInstalls()[i].fileBytes, found[i]) << i;

  EXPECT_EQ(machine.ImmGetDescriptionA(0xE0200804),
            "\xd6\xc7\xc4\xdc\xe1\xb0\xcd\xa1\xca\xe4\xc8\xeb\xc6\xbd\xcc\xa8  7.8");
  EXPECT_EQ(machine.ImmGetDescriptionA(0x08040804), "");
  EXPECT_EQ(machine.GetKeyboardLayoutList(),
            (std::vector<platform::LayoutHandle>{0x08040804, 0xE0200804, 0xE0210804}));
  EXPECT_EQ(machine.GetKeyboardLayout(), 0x08040804u);
  EXPECT_EQ(machine.ActivateKeyboardLayout(0xE0300804, 0x100), 0u);  // not loaded
  EXPECT_EQ(machine.ActivateKeyboardLayout(0xE0210804, 0x100), 0x08040804u);
  EXPECT_EQ(machine.GetKeyboardLayout(), 0xE0210804u);
  ASSERT_EQ(machine.Activations().size(), 1u);
  EXPECT_EQ(machine.Activations()[0].flags, 0x100u);
}

// Calls that load a module or start a program are noted while a 32-bit
// process has the redirection off, and still do their work.
TEST(FakeMachineRedirection, NotesModuleLoadingCallsWhileTheRedirectionIsOff) {
  const auto callEach = [](FakeMachine& machine) {
    machine.MessageBoxA("a", "c", kMbOk);
    machine.MessageBoxW(u"w", u"c", kMbOk);
    machine.WinExec("icacls.exe x", kSwShow);
    machine.ActivateKeyboardLayout(0x08040804, 0);
    machine.ImmInstallIMEW(u"C:\\x.ime", u"t");
    machine.GetFileAccessList("C:\\Windows");
  };
  FakeMachine machine = FakeMachine::Windows7x64();
  callEach(machine);
  EXPECT_EQ(machine.CallsWithRedirectionOff(), std::vector<std::string>{});
  void* old = nullptr;
  ASSERT_TRUE(machine.DisableFsRedirection(&old));
  callEach(machine);
  ASSERT_TRUE(machine.RevertFsRedirection(old));
  callEach(machine);
  EXPECT_EQ(machine.CallsWithRedirectionOff(),
            (std::vector<std::string>{"MessageBoxA a", "MessageBoxW w", "WinExec icacls.exe x",
                                      "ActivateKeyboardLayout ", "ImmInstallIMEW C:\\x.ime",
                                      "GetNamedSecurityInfoA C:\\Windows"}));
  EXPECT_EQ(machine.MessageBoxes().size(), 6u);
  EXPECT_EQ(machine.Commands().size(), 3u);

  // Without WOW64 there is no redirection to switch off.
  FakeMachine x86 = FakeMachine::Windows7x86();
  ASSERT_TRUE(x86.DisableFsRedirection(&old));
  callEach(x86);
  EXPECT_EQ(x86.CallsWithRedirectionOff(), std::vector<std::string>{});
}

TEST(FakeSecurity, InheritableGrantsReachNewAndExistingSubdirectories) {
  FakeMachine machine;
  ASSERT_TRUE(machine.AddDirectory("C:\\Program Files\\zavoli\\old"));
  EXPECT_EQ(machine.GetFileAccessList("C:\\Program Files\\absent"), nullptr);
  EXPECT_EQ(machine.LastError(), kErrorFileNotFound);

  auto list = machine.GetFileAccessList("C:\\Program Files\\zavoli\\");
  ASSERT_NE(list, nullptr);
  auto granted = machine.AddInheritableFullAccess(*list, "Administrator");
  ASSERT_NE(granted, nullptr);
  ASSERT_TRUE(machine.SetFileAccessList("C:\\Program Files\\zavoli", *granted));
  const AccessEntry grant{"Administrator", kGenericAll, true, false};
  const AccessEntry inherited{"Administrator", kGenericAll, true, true};
  EXPECT_EQ(machine.AccessEntries("C:\\Program Files\\zavoli"), std::vector<AccessEntry>{grant});
  EXPECT_EQ(machine.AccessEntries("C:\\Program Files\\zavoli\\old"),
            std::vector<AccessEntry>{inherited});
  ASSERT_TRUE(machine.CreateDirectoryA("C:\\Program Files\\zavoli\\filer"));
  EXPECT_EQ(machine.AccessEntries("C:\\Program Files\\zavoli\\filer"),
            std::vector<AccessEntry>{inherited});

  // A second grant to the same account merges into the first.
  list = machine.GetFileAccessList("C:\\Program Files\\zavoli");
  granted = machine.AddInheritableFullAccess(*list, "ADMINISTRATOR");
  ASSERT_TRUE(machine.SetFileAccessList("C:\\Program Files\\zavoli", *granted));
  EXPECT_EQ(machine.AccessEntries("C:\\Program Files\\zavoli").size(), 1u);
  machine.FailOperation("SetEntriesInAclA", kErrorAccessDenied);
  EXPECT_EQ(machine.AddInheritableFullAccess(*list, "Administrator"), nullptr);
}

TEST(FakeResources, ResourcesStayPutAndBlocksAreZeroed) {
  FakeMachine machine;
  machine.AddResource("KPMTZVZ", "ZVZ", "package");
  platform::ResourceBytes package = machine.LoadResourceBytes("kpmtzvz", "zvz");
  ASSERT_NE(package.data, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(package.data), package.size), "package");
  machine.AddResource("OTHER", "ZVZ", std::string(4096, 'x'));
  EXPECT_EQ(machine.LoadResourceBytes("KPMTZVZ", "ZVZ").data, package.data);
  EXPECT_EQ(machine.LoadResourceBytes("PYKEY", "ZVZ").data, nullptr);
  machine.FailOperation("FindResourceA", kErrorAccessDenied, "KPMTZVZ", 1);
  EXPECT_EQ(machine.LoadResourceBytes("KPMTZVZ", "ZVZ").data, nullptr);

  auto block = machine.AllocateZeroedBlock(2097152);
  ASSERT_NE(block, nullptr);
  ASSERT_EQ(block->size(), 2097152u);
  EXPECT_TRUE(std::all_of(block->data(), block->data() + block->size(),
                          [](uint8_t byte) { return byte == 0; }));
  EXPECT_EQ(machine.LiveBlockCount(), 1u);
  std::fill(block->data(), block->data() + block->size(), uint8_t{0xA5});
  block.reset();
  EXPECT_EQ(machine.LiveBlockCount(), 0u);
  // A block of the size just given back is zeroed all the same.
  block = machine.AllocateZeroedBlock(2097152);
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(std::all_of(block->data(), block->data() + block->size(),
                          [](uint8_t byte) { return byte == 0; }));
  block.reset();
  machine.FailOperation("GlobalAlloc", kErrorNotEnoughMemory, "", 1);
  EXPECT_EQ(machine.AllocateZeroedBlock(16), nullptr);
  EXPECT_NE(machine.AllocateZeroedBlock(16), nullptr);
}

std::string Hex(const platform::Md5Digest& digest) {
  std::string text;
  char pair[3];
  for (uint8_t byte : digest) {
    std::snprintf(pair, sizeof(pair), "%02x", byte);
    text += pair;
  }
  return text;
}

TEST(FakeMd5, MatchesTheReferenceDigests) {
  FakeMachine machine;
  EXPECT_EQ(Hex(machine.Begin()->Final()), "d41d8cd98f00b204e9800998ecf8427e");
  auto context = machine.Begin();
  context->Update("a", 1);
  context->Update("bc", 2);
  EXPECT_EQ(Hex(context->Final()), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
}  // namespace zv::fake
