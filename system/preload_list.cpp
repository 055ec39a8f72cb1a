#include "system/preload_list.h"

#include <string>

#include "platform/scoped_reg_key.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "system/layout_environment.h"
#include "system/layout_texts.h"
#include "system/registry_text.h"

namespace zv {

namespace {

using platform::ScopedRegKey;

// Room for a layout identifier and its terminator, and for a layout text.
constexpr uint32_t kEntryCapacity = 10;
constexpr uint32_t kTextCapacity = 200;

void EmptyPreloadList() {
  for (int i = 0; i < kMaxPreloadPlaces; ++i) {
    PreloadList.entries[i].clear();
    PreloadList.texts[i].clear();
  }
  PreloadList.count = 0;
}

// NT family: the values "1", "2", ... of "keyboard layout\preload", up to the
// first that is missing or does not fit. False when "keyboard layout" will
// not open.
bool ReadEntriesNt() {
  ScopedRegKey layout;
  if (layout.OpenA(platform::kHkeyCurrentUser, kUserLayoutKey, win::kKeyRead) != 0) return false;
  ScopedRegKey preload;
  if (preload.OpenA(layout.get(), kPreloadKey, win::kKeyAllAccess) != 0) return true;
  std::string entry;
  while (PreloadList.count < kMaxPreloadPlaces &&
         ReadRegistryText(preload.get(), std::to_string(PreloadList.count + 1), kEntryCapacity,
                          &entry)) {
    PreloadList.entries[PreloadList.count++].AssignTruncated(entry);
  }
  return true;
}

// 9x family: the unnamed values of the subkeys "1", "2", ... of
// "keyboard layout\preload", up to the first subkey that will not open. An
// unreadable value leaves its entry empty. False when the list will not open.
bool ReadEntries9x() {
  ScopedRegKey preload;
  if (preload.OpenA(platform::kHkeyCurrentUser, kPreloadKey9x, win::kKeyRead) != 0) return false;
  while (PreloadList.count < kMaxPreloadPlaces) {
    ScopedRegKey place;
    if (place.OpenA(preload.get(), std::to_string(PreloadList.count + 1), win::kKeyAllAccess) !=
        0) {
      break;
    }
    std::string entry;
    ReadRegistryText(place.get(), "", kEntryCapacity, &entry);
    PreloadList.entries[PreloadList.count++].AssignTruncated(entry);
  }
  return true;
}

// The layout text of every entry, from the entry's key in the keyboard
// layout list. False when that list will not open.
bool ReadEntryTexts() {
  ScopedRegKey layouts;
  if (layouts.OpenA(platform::kHkeyLocalMachine, kKeyboardLayoutsKey, win::kKeyRead) != 0) {
    return false;
  }
  for (int i = 0; i < PreloadList.count; ++i) {
    // An empty name would open the list key itself.
    if (PreloadList.entries[i].empty()) continue;
    ScopedRegKey layout;
    if (layout.OpenA(layouts.get(), PreloadList.entries[i].str(), win::kKeyAllAccess) != 0) {
      continue;
    }
    std::string text;
    if (ReadRegistryText(layout.get(), "layout text", kTextCapacity, &text)) {
      PreloadList.texts[i].AssignTruncated(text);
    }
  }
  return true;
}

}  // namespace

int ReadPreloadList() {
  EmptyPreloadList();
  const bool listRead = IsWindows9xFamily() != 0 ? ReadEntries9x() : ReadEntriesNt();
  if (!listRead || !ReadEntryTexts()) {
    EmptyPreloadList();
    return 0;
  }
  return PreloadList.count;
}

int FindImeInPreload() {
  ImeInPreload = 0;
  ImePreloadPosition = 0;
  const int count = ReadPreloadList();
  for (int i = 0; i < count; ++i) {
    if (StartsWithBytes(PreloadList.texts[i].view(), texts::layout::kImeFamilyPrefixGbk) != 0) {
      ImePreloadPosition = i + 1;
      ImeInPreload = 1;
      return 1;
    }
  }
  return 0;
}

}  // namespace zv
