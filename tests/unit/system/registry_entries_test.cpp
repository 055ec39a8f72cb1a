#include "system/registry_entries.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "state/process_state.h"
#include "state/run_state.h"

namespace zv {
namespace {

using platform::kHkeyLocalMachine;

const std::u16string kUninstallEntry =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\zavoqwb";
const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kPostPlatform =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent\\Post Platform";

// UTF-16 little-endian bytes of `text` and its terminating zero, as a REG_SZ
// value written with the byte count (characters + 1) * 2 holds them.
std::vector<uint8_t> Utf16Value(const std::u16string& text) {
  std::vector<uint8_t> bytes;
  for (char16_t c : text + u'\0') {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

// The 8-bit bytes RegQueryValueExA gives for a value.
std::vector<uint8_t> AnsiValue(fake::FakeMachine& machine, const std::string& keyPath,
                               const std::string& name) {
  platform::RegKey key = 0;
  std::vector<uint8_t> data;
  if (machine.RegOpenKeyExA(kHkeyLocalMachine, keyPath, win::kKeyRead, &key) != 0) return data;
  uint32_t type = 0;
  machine.RegQueryValueExA(key, name, &type, &data, 1024);
  machine.RegCloseKey(key);
  return data;
}

class RegistryEntries : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetProcessState();
    machine_.Install();
    machine_.CreateKey(kHkeyLocalMachine, std::string(kUninstallKey));
    machine_.CreateKey(kHkeyLocalMachine, std::string(kRunParentKey));
    machine_.CreateKey(kHkeyLocalMachine, std::string(kUserAgentKey));
  }
  void TearDown() override {
    EXPECT_EQ(machine_.OpenKeyCount(), 0u) << "a registry key was left open";
    ResetProcessState();
  }

  fake::FakeMachine machine_{fake::Preset::kWindows7x64};
};

TEST_F(RegistryEntries, UninstallEntryNamesTheEditionAndTheUninstaller) {
  EditionFlag = 1;
  WriteUninstallEntry();
  auto name = machine_.GetValue(kHkeyLocalMachine, kUninstallEntry, u"DisplayName");
  ASSERT_TRUE(name);
  EXPECT_EQ(name->type, win::kRegSz);
  EXPECT_EQ(name->data, Utf16Value(u"岚汀拼音"));
  EXPECT_EQ(name->data.size(), 10u);
  auto command = machine_.GetValue(kHkeyLocalMachine, kUninstallEntry, u"UninstallString");
  ASSERT_TRUE(command);
  EXPECT_EQ(command->type, win::kRegSz);
  EXPECT_EQ(command->data, Utf16Value(u"C:\\Windows\\system32\\zavodel.exe"));
  EXPECT_EQ(command->data.size(), 64u);

  // The silent mode's edition; a second write replaces the values.
  EditionFlag = 0;
  WriteUninstallEntry();
  EXPECT_EQ(machine_.GetValue(kHkeyLocalMachine, kUninstallEntry, u"DisplayName")->data,
            Utf16Value(u"岚汀形码"));
  EXPECT_EQ(machine_.ValueNamesW(kHkeyLocalMachine, kUninstallEntry),
            (std::vector<std::u16string>{u"DisplayName", u"UninstallString"}));
}

TEST_F(RegistryEntries, UninstallEntryNeedsASystemDirectoryOfAtMost99Characters) {
  const std::string longest = "C:\\" + std::string(96, 'w');
  machine_.SetSystemDirectory(longest);
  WriteUninstallEntry();
  auto command = machine_.GetStringW(kHkeyLocalMachine, kUninstallEntry, u"UninstallString");
  ASSERT_TRUE(command);
  EXPECT_EQ(*command, u"C:\\" + std::u16string(96, u'w') + u"\\zavodel.exe");

  // One character more does not fit: the display name is still written, the
  // uninstall command is not replaced by a bare "\zavodel.exe".
  machine_.DeleteTree(kHkeyLocalMachine, std::string(kUninstallKey) + "\\zavoqwb");
  machine_.SetSystemDirectory(longest + "w");
  WriteUninstallEntry();
  EXPECT_TRUE(machine_.GetStringW(kHkeyLocalMachine, kUninstallEntry, u"DisplayName"));
  EXPECT_FALSE(machine_.GetValue(kHkeyLocalMachine, kUninstallEntry, u"UninstallString"));
}

TEST_F(RegistryEntries, UninstallEntryIsSkippedWhenItsKeysWillNotOpen) {
  machine_.FailOperation("RegOpenKeyExW", win::kErrorAccessDenied, "Uninstall");
  WriteUninstallEntry();
  EXPECT_FALSE(machine_.KeyExists(kHkeyLocalMachine, kUninstallEntry));
  EXPECT_EQ(machine_.CallCount("RegCreateKeyExW"), 0);

  machine_.ClearFailures();
  machine_.FailOperation("RegCreateKeyExW", win::kErrorAccessDenied, "zavoqwb");
  WriteUninstallEntry();
  EXPECT_FALSE(machine_.KeyExists(kHkeyLocalMachine, kUninstallEntry));
  EXPECT_EQ(machine_.CallCount("RegSetValueExW"), 0);
  EXPECT_EQ(machine_.OpenKeyCount(), 0u);

  // A value that cannot be written does not stop the next one.
  machine_.ClearFailures();
  machine_.FailOperation("RegSetValueExW", win::kErrorAccessDenied, "DisplayName");
  WriteUninstallEntry();
  EXPECT_FALSE(machine_.GetValue(kHkeyLocalMachine, kUninstallEntry, u"DisplayName"));
  EXPECT_TRUE(machine_.GetValue(kHkeyLocalMachine, kUninstallEntry, u"UninstallString"));

  // Without the Uninstall key nothing is created.
  machine_.ClearFailures();
  machine_.DeleteTree(kHkeyLocalMachine, std::string(kUninstallKey));
  WriteUninstallEntry();
  EXPECT_FALSE(machine_.KeyExists(kHkeyLocalMachine, std::string(kUninstallKey)));
}

TEST_F(RegistryEntries, StartupEntryReplacesTheEarlierValue) {
  machine_.SetString(kHkeyLocalMachine, kRunKey, "Other", "other.exe");
  machine_.SetString(kHkeyLocalMachine, kRunKey, "ZVZXSJGL", "C:\\old\\zavokpmt.exe zv");
  // D:\智能\ in GBK: the command line is 8-bit text of the ANSI code page.
  const std::string command = "D:\\\xd6\xc7\xc4\xdc\\zavokpmt.exe zv";
  WriteStartupEntry(command);

  const std::vector<std::string> names = machine_.ValueNames(kHkeyLocalMachine, kRunKey);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], "Other");
  EXPECT_EQ(names[1], "zvzxsjgl");
  auto value = machine_.GetValue(kHkeyLocalMachine, kRunKey, "zvzxsjgl");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->type, win::kRegSz);
  // The byte count was the length and one terminator: exactly one zero at the end.
  std::vector<uint8_t> expected(command.begin(), command.end());
  expected.push_back(0);
  EXPECT_EQ(AnsiValue(machine_, kRunKey, "zvzxsjgl"), expected);

  // Run itself is created when missing, and a failed delete does not stop the write.
  machine_.DeleteTree(kHkeyLocalMachine, kRunKey);
  machine_.FailOperation("RegDeleteValueA", win::kErrorAccessDenied);
  WriteStartupEntry("c:\\zavoli\\zavokpmt.exe zv");
  EXPECT_EQ(machine_.GetStringA(kHkeyLocalMachine, kRunKey, "zvzxsjgl"),
            "c:\\zavoli\\zavokpmt.exe zv");
}

TEST_F(RegistryEntries, StartupEntryIsSkippedWhenItsKeysWillNotOpen) {
  machine_.DeleteTree(kHkeyLocalMachine, kRunKey);
  machine_.FailOperation("RegOpenKeyExA", win::kErrorAccessDenied, "CurrentVersion");
  WriteStartupEntry("x.exe");
  EXPECT_FALSE(machine_.KeyExists(kHkeyLocalMachine, kRunKey));

  machine_.ClearFailures();
  machine_.FailOperation("RegCreateKeyExA", win::kErrorAccessDenied, "Run");
  WriteStartupEntry("x.exe");
  EXPECT_FALSE(machine_.KeyExists(kHkeyLocalMachine, kRunKey));
  EXPECT_EQ(machine_.CallCount("RegSetValueExA"), 0);
  EXPECT_EQ(machine_.OpenKeyCount(), 0u);
}

TEST_F(RegistryEntries, UserAgentTokenReplacesTheEarlierVersionsOnly) {
  const std::vector<std::string> earlier = {"kpmt6300", "kpmt6400", "kpmt6500", "kpmt6600",
                                            "kpmt6700", "kpmt6800", "kpmt7000", "kpmt7100",
                                            "kpmt7200", "kpmt7300", "kpmt7400", "kpmt7500",
                                            "kpmt7600", "kpmt7700", "kpmt7800", "KPMT7900"};
  const std::vector<std::string> others = {"kpmt6200", "kpmt6900", "kpmt8000",
                                           "kpmt5300", "kpmt7810", "SV1"};
  for (const std::string& name : earlier) {
    machine_.SetString(kHkeyLocalMachine, kPostPlatform, name, "old");
  }
  for (const std::string& name : others) {
    machine_.SetString(kHkeyLocalMachine, kPostPlatform, name, "kept");
  }

  MarkUserAgent();
  for (const std::string& name : earlier) {
    if (name == "kpmt7800") continue;
    EXPECT_FALSE(machine_.GetValue(kHkeyLocalMachine, kPostPlatform, name)) << name;
  }
  for (const std::string& name : others) {
    EXPECT_EQ(machine_.GetStringA(kHkeyLocalMachine, kPostPlatform, name), "kept") << name;
  }
  auto token = machine_.GetValue(kHkeyLocalMachine, kPostPlatform, "kpmt7800");
  ASSERT_TRUE(token);
  EXPECT_EQ(token->type, win::kRegSz);
  // The empty text with a byte count of 1: the terminating zero alone.
  EXPECT_EQ(AnsiValue(machine_, kPostPlatform, "kpmt7800"), std::vector<uint8_t>{0});
  EXPECT_EQ(token->data, Utf16Value(u""));
  EXPECT_EQ(machine_.ValueNames(kHkeyLocalMachine, kPostPlatform).size(), others.size() + 1);
}

TEST_F(RegistryEntries, UserAgentTokenSurvivesMissingKeysAndFailedDeletes) {
  // Post Platform is created below an existing User Agent key.
  MarkUserAgent();
  EXPECT_TRUE(machine_.GetValue(kHkeyLocalMachine, kPostPlatform, "kpmt7800"));

  // A delete that fails leaves that one name; the others go and the token is set.
  machine_.SetString(kHkeyLocalMachine, kPostPlatform, "kpmt6500", "old");
  machine_.SetString(kHkeyLocalMachine, kPostPlatform, "kpmt7300", "old");
  machine_.FailOperation("RegDeleteValueA", win::kErrorAccessDenied, "kpmt6500");
  MarkUserAgent();
  EXPECT_TRUE(machine_.GetValue(kHkeyLocalMachine, kPostPlatform, "kpmt6500"));
  EXPECT_FALSE(machine_.GetValue(kHkeyLocalMachine, kPostPlatform, "kpmt7300"));
  EXPECT_TRUE(machine_.GetValue(kHkeyLocalMachine, kPostPlatform, "kpmt7800"));

  machine_.ClearFailures();
  machine_.DeleteTree(kHkeyLocalMachine, kPostPlatform);
  machine_.FailOperation("RegCreateKeyExA", win::kErrorAccessDenied, "Post Platform");
  MarkUserAgent();
  EXPECT_FALSE(machine_.KeyExists(kHkeyLocalMachine, kPostPlatform));
  EXPECT_EQ(machine_.OpenKeyCount(), 0u);

  // Without the User Agent key nothing is created.
  machine_.ClearFailures();
  machine_.DeleteTree(kHkeyLocalMachine, std::string(kUserAgentKey));
  MarkUserAgent();
  EXPECT_FALSE(machine_.KeyExists(kHkeyLocalMachine, std::string(kUserAgentKey)));
}

}  // namespace
}  // namespace zv
