// libFuzzer target: the registry's keyboard-layout values as the preload
// list and the layout keys are read. The input is a Windows family and code
// page, which of the keys exist, and a list of preload places and layout
// keys, each value raw 8-bit bytes of any length and type, with or without a
// terminating zero, stored as RegSetValueExA would store them:
//   byte 0   bit 0 the 9x family, bit 1 code page 950, bit 2 no
//            "keyboard layout" key, bit 3 no preload key, bit 4 no keyboard
//            layout list
//   then     items: a kind byte (0 a preload place: place byte, type byte,
//            value; 1 a layout key: name, type byte, "layout text" value or
//            none; 2 a 9x place's subkey without value), pieces led by their
//            length byte
// Then ReadPreloadList, FindImeInPreload and RegisterLayoutByHand run. The
// list must hold what the registry holds within its bounds, every key opened
// must be closed, and the product key written must carry its layout text.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "platform/fake/fake_machine.h"
#include "platform/scoped_reg_key.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "state/layout_state.h"
#include "state/process_state.h"
#include "state/run_state.h"
#include "system/layout_environment.h"
#include "system/layout_key_names.h"
#include "system/layout_registration.h"
#include "system/layout_texts.h"
#include "system/preload_list.h"

namespace {

using zv::fuzz::ByteReader;
using zv::fuzz::Require;
using zv::platform::kHkeyCurrentUser;
using zv::platform::kHkeyLocalMachine;

constexpr char kPreloadKey[] = "keyboard layout\\preload";
constexpr uint32_t kTypes[] = {zv::win::kRegSz, zv::win::kRegExpandSz, zv::win::kRegBinary,
                               zv::win::kRegDword};

std::string LayoutKey(const std::string& name) {
  return std::string(zv::kKeyboardLayoutsKey) + "\\" + name;
}

void Build(zv::fake::FakeMachine& machine, ByteReader& input, bool windows9x) {
  while (!input.empty()) {
    const uint8_t kind = input.Byte() % 3;
    if (kind == 0) {
      const std::string place = std::to_string(input.Byte() % 52);
      const uint32_t type = kTypes[input.Byte() % 4];
      const std::string value = input.Piece();
      if (windows9x) {
        machine.SetValueA(kHkeyCurrentUser, std::string(kPreloadKey) + "\\" + place, "", type,
                          value);
      } else {
        machine.SetValueA(kHkeyCurrentUser, kPreloadKey, place, type, value);
      }
    } else if (kind == 1) {
      const std::string name = input.Piece();
      const uint8_t how = input.Byte();
      const std::string text = input.Piece();
      if (name.empty() || name.find('\\') != std::string::npos) continue;
      machine.CreateKey(kHkeyLocalMachine, LayoutKey(name));
      if (how & 4) continue;
      machine.SetValueA(kHkeyLocalMachine, LayoutKey(name), "layout text", kTypes[how % 4], text);
    } else {
      machine.CreateKey(kHkeyCurrentUser,
                        std::string(kPreloadKey) + "\\" + std::to_string(input.Byte() % 52));
    }
  }
}

// The NT list as its contract gives it: places from 1 on, each up to its
// first zero byte, ending at the first missing one or one whose value does
// not fit the 10-byte buffer with a terminating zero.
std::vector<std::string> ExpectedNtEntries(zv::fake::FakeMachine& machine) {
  std::vector<std::string> entries;
  zv::platform::ScopedRegKey preload;
  if (preload.OpenA(kHkeyCurrentUser, kPreloadKey, zv::win::kKeyRead) != 0) return entries;
  for (int place = 1; place <= zv::kMaxPreloadPlaces; ++place) {
    uint32_t type = 0;
    std::vector<uint8_t> data;
    if (machine.RegQueryValueExA(preload.get(), std::to_string(place), &type, &data, 10) != 0) {
      break;
    }
    const std::string entry(data.begin(), data.end());
    const size_t zero = entry.find('\0');
    // Ten bytes without a zero leave no room for the terminator.
    if (zero == std::string::npos && entry.size() == 10) break;
    entries.push_back(entry.substr(0, zero));
  }
  return entries;
}

void CheckList(zv::fake::FakeMachine& machine, bool windows9x, bool listOpens) {
  const int count = zv::ReadPreloadList();
  Require(count >= 0 && count <= zv::kMaxPreloadPlaces && count == zv::PreloadList.count,
          "the preload count is out of bounds");
  for (int i = 0; i < zv::kMaxPreloadPlaces; ++i) {
    const auto& entry = zv::PreloadList.entries[i];
    const auto& text = zv::PreloadList.texts[i];
    Require(entry.size() <= entry.kMaxLength && entry.view().find('\0') == std::string::npos,
            "a preload entry holds a zero byte or overran its buffer");
    Require(text.size() <= text.kMaxLength && text.view().find('\0') == std::string::npos,
            "a layout text holds a zero byte or overran its buffer");
    Require(i < count || (entry.empty() && text.empty()), "an entry past the count");
  }
  if (!windows9x && listOpens) {
    const std::vector<std::string> expected = ExpectedNtEntries(machine);
    Require(static_cast<size_t>(count) == expected.size(), "the list's length is wrong");
    for (int i = 0; i < count; ++i) {
      Require(zv::PreloadList.entries[i].str() == expected[i], "a preload entry is wrong");
    }
  }
  Require(machine.OpenKeyCount() == 0, "reading the preload list left a key open");

  zv::FindImeInPreload();
  const std::string_view prefix = zv::texts::layout::kImeFamilyPrefixGbk;
  int first = 0;
  for (int i = 0; i < zv::PreloadList.count && first == 0; ++i) {
    if (zv::PreloadList.texts[i].view().substr(0, prefix.size()) == prefix) first = i + 1;
  }
  Require(zv::ImePreloadPosition == first && zv::ImeInPreload == (first != 0 ? 1 : 0),
          "the product's place in the list is wrong");
  Require(machine.OpenKeyCount() == 0, "looking for the product left a key open");
}

void CheckRegistration(zv::fake::FakeMachine& machine) {
  {
    zv::platform::ScopedRegKey layouts;
    if (layouts.OpenA(kHkeyLocalMachine, zv::kKeyboardLayoutsKey, zv::win::kKeyRead) == 0) {
      for (const std::string& name : zv::CollectSubKeyNamesDescending(layouts.get())) {
        Require(name.size() <= zv::kMaxLayoutKeyNameLength, "a layout key name overran");
      }
    }
  }
  zv::RegisterLayoutByHand();
  Require(machine.OpenKeyCount() == 0, "the registration left a key open");
  const std::string id = zv::LayoutId.str();
  if (id.empty()) return;
  const zv::ProductLayoutForm form = zv::CurrentProductForm();
  Require(machine.GetStringA(kHkeyLocalMachine, LayoutKey(id), "layout text") ==
              std::string(form.layoutText),
          "the product key does not carry the product's layout text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zv::ResetProcessState();
  {
    zv::fake::FakeMachine machine;
    const auto bytes = zv::fuzz::ExactCopy(data, size);
    ByteReader input(bytes.get(), size);
    const uint8_t flags = input.Byte();
    const bool windows9x = flags & 1;
    if (windows9x) machine.SetVersion(4, 10, 2222, zv::win::kVerPlatformWin32Windows);
    zv::UiCodePage = (flags & 2) ? 950 : 936;
    machine.SetCodePage(zv::UiCodePage);
    machine.Install();
    if (flags & 4) machine.DeleteTree(kHkeyCurrentUser, "keyboard layout");
    if (flags & 8) machine.DeleteTree(kHkeyCurrentUser, kPreloadKey);
    if (flags & 16) machine.DeleteTree(kHkeyLocalMachine, zv::kKeyboardLayoutsKey);
    Build(machine, input, windows9x);
    const bool listOpens = !(flags & 16);
    CheckList(machine, windows9x, listOpens);
    CheckRegistration(machine);
  }
  zv::ResetProcessState();
  return 0;
}
