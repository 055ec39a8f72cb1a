// The registry of the fake machine: keys, typed values, code-page
// conversion of the 8-bit calls, enumeration order and the refusals the
// layout registration relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"

namespace zv::fake {
namespace {

using namespace zv::win;
using platform::kHkeyClassesRoot;
using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;
using platform::RegKey;

// 智能 and 岚汀形码 in GBK; 智能 in Big5.
const std::string kGbkName = "\xd6\xc7\xc4\xdc";
const std::string kGbkText = "\xe1\xb0\xcd\xa1\xd0\xce\xc2\xeb";
const std::string kBig5Name = "\xb4\xbc\xaf\xe0";

std::string Text(const std::vector<uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> Enumerate(FakeMachine& machine, RegKey key) {
  std::vector<std::string> names;
  std::string name;
  for (uint32_t index = 0; machine.RegEnumKeyExA(key, index, &name) == kErrorSuccess; ++index) {
    names.push_back(name);
  }
  return names;
}

TEST(FakeRegistry, KeysOpenCreateAndClose) {
  FakeMachine machine;
  RegKey key = 1;
  EXPECT_EQ(machine.RegOpenKeyExA(kHkeyLocalMachine, "Software\\Zavo", kKeyRead, &key),
            kErrorFileNotFound);
  EXPECT_EQ(key, 0u);
  ASSERT_EQ(
      machine.RegCreateKeyExA(kHkeyLocalMachine, "Software\\Zavo\\Sub\\Leaf", kKeyAllAccess, &key),
      kErrorSuccess);
  EXPECT_TRUE(machine.KeyExists(kHkeyLocalMachine, "SOFTWARE\\zavo\\sub"));
  RegKey again = 0;
  ASSERT_EQ(machine.RegOpenKeyExA(kHkeyLocalMachine, "software\\ZAVO\\SUB\\leaf", kKeyRead, &again),
            kErrorSuccess);
  EXPECT_EQ(machine.OpenKeyCount(), 2u);
  EXPECT_EQ(machine.RegCloseKey(key), kErrorSuccess);
  EXPECT_EQ(machine.RegCloseKey(again), kErrorSuccess);
  EXPECT_EQ(machine.OpenKeyCount(), 0u);
  EXPECT_EQ(machine.RegCloseKey(key), kErrorInvalidHandle);
  EXPECT_EQ(machine.RegOpenKeyExA(key, "x", kKeyRead, &again), kErrorInvalidHandle);

  ASSERT_EQ(machine.RegCreateKeyExA(kHkeyClassesRoot, ".zvh", kKeyAllAccess, &key), kErrorSuccess);
  EXPECT_TRUE(machine.KeyExists(kHkeyLocalMachine, "Software\\Classes\\.zvh"));
  EXPECT_EQ(machine.RegCloseKey(key), kErrorSuccess);
}

// A subkey path is names joined by single backslashes, one more allowed at
// its end; any other path is refused before a key is made.
TEST(FakeRegistry, SubkeyPathsTakeOneBackslashBetweenNames) {
  struct Case {
    const char* path;
    uint32_t error;
    const char* made;  // the key the create leaves, or null
  };
  const Case cases[] = {{"Zv\\A\\", kErrorSuccess, "zv\\a"}, {"Zv\\B", kErrorSuccess, "ZV\\b"},
                        {"\\Zv\\C", 161, nullptr},           {"Zv\\\\D", 161, nullptr},
                        {"Zv\\E\\\\", 161, nullptr},         {"\\", 161, nullptr}};
  FakeMachine machine;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    RegKey key = 0;
    EXPECT_EQ(machine.RegCreateKeyExA(kHkeyCurrentUser, c.path, kKeyAllAccess, &key), c.error);
    if (c.made != nullptr) {
      EXPECT_TRUE(machine.KeyExists(kHkeyCurrentUser, c.made));
      EXPECT_EQ(machine.RegCloseKey(key), kErrorSuccess);
    } else {
      EXPECT_EQ(key, 0u);
    }
    RegKey opened = 0;
    EXPECT_EQ(machine.RegOpenKeyExA(kHkeyCurrentUser, c.path, kKeyRead, &opened), c.error);
    if (opened != 0) {
      EXPECT_EQ(machine.RegCloseKey(opened), kErrorSuccess);
    }
  }
  EXPECT_EQ(machine.SubKeys(kHkeyCurrentUser, "Zv"), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(machine.RegDeleteKeyA(kHkeyCurrentUser, "zv\\a\\"), kErrorSuccess);
  EXPECT_EQ(machine.RegDeleteKeyA(kHkeyCurrentUser, "zv\\\\b"), 161u);
  EXPECT_EQ(machine.RegDeleteKeyA(kHkeyCurrentUser, "zv\\absent\\b"), kErrorFileNotFound);
  EXPECT_EQ(machine.RegDeleteKeyA(kHkeyCurrentUser, ""), kErrorInvalidParameter);
  EXPECT_EQ(machine.SubKeys(kHkeyCurrentUser, "Zv"), (std::vector<std::string>{"B"}));
  EXPECT_EQ(machine.OpenKeyCount(), 0u);
}

TEST(FakeRegistry, AnsiCallsStoreUtf16ThroughTheCodePage) {
  FakeMachine machine;
  RegKey key = 0;
  ASSERT_EQ(
      machine.RegCreateKeyExA(kHkeyLocalMachine, "Software\\" + kGbkName, kKeyAllAccess, &key),
      kErrorSuccess);
  const std::string data = kGbkText + '\0';
  ASSERT_EQ(machine.RegSetValueExA(key, kGbkName, kRegSz, data.data(), 9), kErrorSuccess);
  EXPECT_EQ(machine.GetStringW(kHkeyLocalMachine, u"Software\\智能", u"智能"), u"岚汀形码");
  EXPECT_EQ(machine.GetValue(kHkeyLocalMachine, u"Software\\智能", u"智能")->data.size(), 10u);

  std::vector<uint8_t> out;
  uint32_t type = 0;
  ASSERT_EQ(machine.RegQueryValueExA(key, kGbkName, &type, &out, 200), kErrorSuccess);
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(Text(out), data);
  EXPECT_EQ(machine.RegQueryValueExA(key, kGbkName, &type, &out, 8), kErrorMoreData);
  EXPECT_TRUE(out.empty());

  // A UTF-16 value reads back in whatever code page the machine has.
  const std::u16string wide = u"智能";
  ASSERT_EQ(machine.RegSetValueExW(key, u"DisplayName", kRegSz, wide.c_str(), 6), kErrorSuccess);
  ASSERT_EQ(machine.RegQueryValueExA(key, "displayname", &type, &out, 200), kErrorSuccess);
  EXPECT_EQ(Text(out), kGbkName + '\0');
  machine.SetCodePage(950);
  ASSERT_EQ(machine.RegQueryValueExA(key, "DisplayName", &type, &out, 200), kErrorSuccess);
  EXPECT_EQ(Text(out), kBig5Name + '\0');

  // Binary data passes untouched.
  ASSERT_EQ(machine.RegSetValueExA(key, "raw", kRegBinary, kGbkName.data(), 4), kErrorSuccess);
  ASSERT_EQ(machine.RegQueryValueExA(key, "raw", &type, &out, 4), kErrorSuccess);
  EXPECT_EQ(Text(out), kGbkName);
  EXPECT_EQ(machine.RegCloseKey(key), kErrorSuccess);
}

TEST(FakeRegistry, SubkeysEnumerateInCaseInsensitiveOrder) {
  FakeMachine machine;
  for (const char* name : {"E0200804", "e0010804", "00000804", "E00F0411", "_x", "b", "A"}) {
    ASSERT_TRUE(machine.CreateKey(kHkeyLocalMachine, std::string("Layouts\\") + name));
  }
  RegKey key = 0;
  ASSERT_EQ(machine.RegOpenKeyExA(kHkeyLocalMachine, "Layouts", kKeyRead, &key), kErrorSuccess);
  uint32_t count = 0;
  uint32_t longest = 0;
  ASSERT_EQ(machine.RegQueryInfoKeyA(key, &count, &longest), kErrorSuccess);
  EXPECT_EQ(count, 7u);
  EXPECT_EQ(longest, 8u);
  // Windows compares upper-cased names, so '_' sorts after the letters.
  EXPECT_EQ(Enumerate(machine, key), (std::vector<std::string>{"00000804", "A", "b", "e0010804",
                                                               "E00F0411", "E0200804", "_x"}));
  std::string name;
  EXPECT_EQ(machine.RegEnumKeyExA(key, 7, &name), kErrorNoMoreItems);
  EXPECT_EQ(machine.RegCloseKey(key), kErrorSuccess);
}

TEST(FakeRegistry, DeletingKeysAndValues) {
  FakeMachine machine;
  ASSERT_TRUE(machine.CreateKey(kHkeyCurrentUser, "Keyboard Layout\\Preload\\1"));
  RegKey parent = 0;
  RegKey leaf = 0;
  ASSERT_EQ(machine.RegOpenKeyExA(kHkeyCurrentUser, "Keyboard Layout", kKeyRead, &parent),
            kErrorSuccess);
  ASSERT_EQ(machine.RegOpenKeyExA(parent, "Preload\\1", kKeyAllAccess, &leaf), kErrorSuccess);
  EXPECT_EQ(machine.RegDeleteKeyA(parent, "Preload"), kErrorAccessDenied);  // it has a subkey
  EXPECT_EQ(machine.RegDeleteKeyA(parent, "PRELOAD\\1"), kErrorSuccess);
  EXPECT_EQ(machine.RegSetValueExA(leaf, "", kRegSz, "x", 2), 1018u);  // ERROR_KEY_DELETED
  EXPECT_EQ(machine.RegDeleteKeyA(parent, "Preload"), kErrorSuccess);
  EXPECT_FALSE(machine.KeyExists(kHkeyCurrentUser, "Keyboard Layout\\Preload"));
  EXPECT_EQ(machine.RegDeleteKeyA(parent, "Preload"), kErrorFileNotFound);

  ASSERT_TRUE(machine.SetString(kHkeyCurrentUser, "Run", "zvzxsjgl", "cmd"));
  RegKey reader = 0;
  RegKey writer = 0;
  ASSERT_EQ(machine.RegOpenKeyExA(kHkeyCurrentUser, "Run", kKeyRead, &reader), kErrorSuccess);
  ASSERT_EQ(machine.RegOpenKeyExA(kHkeyCurrentUser, "Run", kKeyAllAccess, &writer), kErrorSuccess);
  EXPECT_EQ(machine.RegDeleteValueA(reader, "zvzxsjgl"), kErrorAccessDenied);
  EXPECT_EQ(machine.RegSetValueExA(reader, "zvzxsjgl", kRegSz, "x", 2), kErrorAccessDenied);
  EXPECT_EQ(machine.RegDeleteValueA(writer, "ZVZXSJGL"), kErrorSuccess);
  EXPECT_EQ(machine.RegDeleteValueA(writer, "zvzxsjgl"), kErrorFileNotFound);
  EXPECT_TRUE(machine.ValueNames(kHkeyCurrentUser, "Run").empty());
  for (RegKey key : {parent, leaf, reader, writer}) EXPECT_EQ(machine.RegCloseKey(key), 0u);
  EXPECT_EQ(machine.OpenKeyCount(), 0u);
}

// A machine shares its preset's keys until it changes or opens one: every
// handle on a key still sees what the others wrote and whether the key was
// deleted, and the next machine starts from the preset as it was.
TEST(FakeRegistry, APresetKeyChangedThroughHandlesChangesOnlyThisMachine) {
  const std::string layouts = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
  const std::string preload = "Keyboard Layout\\Preload";
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    FakeMachine machine;
    EXPECT_EQ(machine.GetStringA(kHkeyLocalMachine, layouts + "\\00000804", "Layout Text"),
              "Chinese (Simplified) - US Keyboard");
    EXPECT_EQ(machine.GetStringA(kHkeyCurrentUser, preload, "1"), "00000804");
    RegKey reader = 0;
    RegKey writer = 0;
    ASSERT_EQ(machine.RegOpenKeyExA(kHkeyLocalMachine, layouts + "\\00000804", kKeyRead, &reader),
              kErrorSuccess);
    ASSERT_EQ(machine.RegOpenKeyExA(kHkeyLocalMachine, layouts, kKeyAllAccess, &writer),
              kErrorSuccess);
    RegKey leaf = 0;
    ASSERT_EQ(machine.RegOpenKeyExA(writer, "00000804", kKeyAllAccess, &leaf), kErrorSuccess);
    ASSERT_EQ(machine.RegSetValueExA(leaf, "Layout Text", kRegSz, "changed", 8), kErrorSuccess);
    std::vector<uint8_t> out;
    uint32_t type = 0;
    ASSERT_EQ(machine.RegQueryValueExA(reader, "Layout Text", &type, &out, 100), kErrorSuccess);
    EXPECT_EQ(Text(out), std::string("changed", 8));

    RegKey held = 0;
    ASSERT_EQ(machine.RegOpenKeyExA(kHkeyCurrentUser, preload, kKeyAllAccess, &held),
              kErrorSuccess);
    EXPECT_EQ(machine.RegDeleteKeyA(kHkeyCurrentUser, preload), kErrorSuccess);
    EXPECT_EQ(machine.RegSetValueExA(held, "2", kRegSz, "x", 2), 1018u);  // ERROR_KEY_DELETED
    EXPECT_EQ(machine.RegDeleteKeyA(kHkeyCurrentUser, "Keyboard Layout\\absent"),
              kErrorFileNotFound);
    ASSERT_TRUE(machine.DeleteTree(kHkeyLocalMachine, layouts));
    EXPECT_EQ(machine.RegSetValueExA(leaf, "x", kRegSz, "x", 2), 1018u);
    EXPECT_EQ(machine.RegSetValueExA(writer, "x", kRegSz, "x", 2), 1018u);
    EXPECT_FALSE(machine.KeyExists(kHkeyLocalMachine, layouts + "\\00000409"));
    EXPECT_TRUE(machine.KeyExists(kHkeyLocalMachine, "System\\CurrentControlSet\\Control"));
    ASSERT_TRUE(machine.SetString(kHkeyClassesRoot, ".zvh", "", "zv"));
    EXPECT_EQ(machine.GetStringA(kHkeyLocalMachine, "Software\\Classes\\.zvh", ""), "zv");
    for (RegKey key : {reader, writer, leaf, held}) EXPECT_EQ(machine.RegCloseKey(key), 0u);
  }
  FakeMachine next;
  EXPECT_EQ(next.SubKeys(kHkeyLocalMachine, layouts),
            (std::vector<std::string>{"00000404", "00000409", "00000804"}));
  EXPECT_FALSE(next.KeyExists(kHkeyClassesRoot, ".zvh"));
}

TEST(FakeRegistry, InjectedFailuresMatchKeyPaths) {
  FakeMachine machine;
  ASSERT_TRUE(
      machine.CreateKey(kHkeyLocalMachine, "System\\CurrentControlSet\\Control\\Keyboard Layouts"));
  machine.FailOperation("RegOpenKeyExA", kErrorAccessDenied, "keyboard layouts");
  machine.FailOperation("RegSetValueExA", kErrorAccessDenied, "Preload\\2", 1);
  RegKey key = 0;
  EXPECT_EQ(
      machine.RegOpenKeyExA(kHkeyLocalMachine,
                            "System\\CurrentControlSet\\Control\\Keyboard Layouts", kKeyRead, &key),
      kErrorAccessDenied);
  ASSERT_EQ(
      machine.RegCreateKeyExA(kHkeyCurrentUser, "Keyboard Layout\\Preload", kKeyAllAccess, &key),
      kErrorSuccess);
  EXPECT_EQ(machine.RegSetValueExA(key, "1", kRegSz, "e0200804", 9), kErrorSuccess);
  EXPECT_EQ(machine.RegSetValueExA(key, "2", kRegSz, "e0210804", 9), kErrorAccessDenied);
  EXPECT_EQ(machine.RegSetValueExA(key, "2", kRegSz, "e0210804", 9), kErrorSuccess);
  EXPECT_EQ(machine.GetStringA(kHkeyCurrentUser, "Keyboard Layout\\Preload", "2"), "e0210804");
  EXPECT_EQ(machine.CallCount("RegSetValueExA"), 3);
  EXPECT_EQ(machine.RegCloseKey(key), kErrorSuccess);
}

// What other programs may leave in the registry: 8-bit values without a
// terminating zero, with zero bytes inside and longer than any buffer the
// installer reads them through all come back byte for byte.
TEST(FakeRegistry, RawValuesReadBackAsStored) {
  FakeMachine machine;
  const std::string path = "Keyboard Layout\\Preload";
  const std::string unterminated = "e0200804";
  const std::string inner = std::string("0804\0zz", 7);
  const std::string overlong = kGbkText + std::string(300, 'x');
  struct Case {
    const char* name;
    uint32_t type;
    std::string bytes;
  };
  const Case cases[] = {{"1", kRegSz, unterminated},
                        {"2", kRegSz, inner},
                        {"3", kRegExpandSz, overlong},
                        {"4", kRegBinary, inner + "\xff"},
                        {"5", kRegSz, ""}};
  for (const Case& c : cases)
    ASSERT_TRUE(machine.SetValueA(kHkeyCurrentUser, path, c.name, c.type, c.bytes));
  RegKey key = 0;
  ASSERT_EQ(machine.RegOpenKeyExA(kHkeyCurrentUser, path, kKeyRead, &key), kErrorSuccess);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> out;
    uint32_t type = 0;
    ASSERT_EQ(machine.RegQueryValueExA(key, c.name, &type, &out, 1000), kErrorSuccess);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(Text(out), c.bytes);
    if (c.bytes.empty()) continue;
    const uint32_t tooSmall = static_cast<uint32_t>(c.bytes.size() - 1);
    EXPECT_EQ(machine.RegQueryValueExA(key, c.name, &type, &out, tooSmall), kErrorMoreData);
    EXPECT_TRUE(out.empty());
  }
  EXPECT_EQ(machine.RegCloseKey(key), kErrorSuccess);
}

}  // namespace
}  // namespace zv::fake
