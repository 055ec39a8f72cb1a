// A fake machine prepared for the keyboard layout tests, with helpers that
// seed and read the layout list and the preload lists.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/fake/fake_machine.h"
#include "platform/fake/fake_text_codec.h"
#include "platform/registry.h"
#include "platform/win_constants.h"
#include "state/process_state.h"
#include "state/run_state.h"
#include "state/wizard_state.h"
#include "system/ime_registration.h"
#include "system/install_locations.h"
#include "system/layout_environment.h"
#include "system/layout_registration.h"
#include "system/layout_texts.h"
#include "system/preload_list.h"

namespace zv::layout_test {

inline const std::string kLayoutsPath = kKeyboardLayoutsKey;
inline const std::string kUserPreload = "keyboard layout\\preload";
inline const std::string kDefaultPreload = ".DEFAULT\\keyboard layout\\preload";

// The product's layout texts as the registry holds them on a 936 or 950 system.
inline std::string ProductTextGbk() { return std::string(texts::layout::kImeLayoutTextGbk); }
inline std::string ProductTextBig5() { return std::string(texts::layout::kImeLayoutTextBig5); }

class LayoutTest : public ::testing::Test {
 protected:
  explicit LayoutTest(fake::Preset preset = fake::Preset::kWindows7x86) : machine_(preset) {}

  void SetUp() override {
    machine_.Install();
    ResetProcessState();
    UiCodePage = 936;
  }

  void TearDown() override {
    // Whatever the path taken, every key opened on the way is closed again.
    EXPECT_EQ(machine_.OpenKeyCount(), 0u);
    ResetProcessState();
  }

  void Use9xFamily() { machine_.SetVersion(4, 10, 2222, win::kVerPlatformWin32Windows); }
  void UseCodePage950() {
    machine_.SetCodePage(950);
    UiCodePage = 950;
  }

  // A key of the layout list; `text` is its 8-bit "layout text", none when empty.
  void AddLayoutKey(const std::string& name, const std::string& text = "") {
    const std::string path = kLayoutsPath + "\\" + name;
    machine_.CreateKey(platform::kHkeyLocalMachine, path);
    if (!text.empty()) {
      machine_.SetString(platform::kHkeyLocalMachine, path, "layout text", text);
    }
  }
  // The standard keyboards most machines have, with their layout texts.
  void AddStandardKeyboards() {
    AddLayoutKey("00000409", "US");
    AddLayoutKey("00000804", "Chinese (Simplified) - US Keyboard");
    AddLayoutKey("00000404", "Chinese (Traditional) - US Keyboard");
  }
  std::optional<std::string> LayoutValue(const std::string& name, const std::string& value) const {
    return machine_.GetStringA(platform::kHkeyLocalMachine, kLayoutsPath + "\\" + name, value);
  }

  // NT family lists: values "1", "2", ... below `path` of `root`. Setting
  // a list replaces the whole key.
  void SetNtList(platform::RegKey root, const std::string& path,
                 const std::vector<std::string>& entries) {
    machine_.DeleteTree(root, path);
    machine_.CreateKey(root, path);
    for (size_t i = 0; i < entries.size(); ++i) {
      machine_.SetString(root, path, std::to_string(i + 1), entries[i]);
    }
  }
  std::vector<std::string> NtList(platform::RegKey root, const std::string& path) const {
    std::vector<std::string> entries;
    while (auto entry = machine_.GetStringA(root, path, std::to_string(entries.size() + 1))) {
      entries.push_back(*entry);
    }
    return entries;
  }
  void SetUserList(const std::vector<std::string>& entries) {
    SetNtList(platform::kHkeyCurrentUser, kUserPreload, entries);
  }
  std::vector<std::string> UserList() const {
    return NtList(platform::kHkeyCurrentUser, kUserPreload);
  }

  // The 9x list: subkeys "1", "2", ... with unnamed values. Setting it
  // replaces the whole list.
  void Set9xList(const std::vector<std::string>& entries) {
    machine_.DeleteTree(platform::kHkeyCurrentUser, kUserPreload);
    machine_.CreateKey(platform::kHkeyCurrentUser, kUserPreload);
    for (size_t i = 0; i < entries.size(); ++i) {
      machine_.SetString(platform::kHkeyCurrentUser, kUserPreload + "\\" + std::to_string(i + 1),
                         "", entries[i]);
    }
  }
  // The unnamed values of consecutive subkeys from "1"; "<none>" for a
  // subkey without one.
  std::vector<std::string> List9x() const {
    std::vector<std::string> entries;
    for (size_t place = 1;; ++place) {
      const std::string path = kUserPreload + "\\" + std::to_string(place);
      if (!machine_.KeyExists(platform::kHkeyCurrentUser, path)) return entries;
      entries.push_back(
          machine_.GetStringA(platform::kHkeyCurrentUser, path, "").value_or("<none>"));
    }
  }

  // The 8-bit texts of the message boxes shown so far.
  std::vector<std::u16string> BoxTexts() const {
    std::vector<std::u16string> out;
    for (const auto& box : machine_.MessageBoxes()) out.push_back(box.text);
    return out;
  }

  fake::FakeMachine machine_;
  fake::ScopedFakeTextCodec codec_;
};

}  // namespace zv::layout_test
