#include "system/preload_list.h"

#include <string>

#include "platform/scoped_reg_key.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "system/layout_environment.h"
#include "system/layout_texts.h"
#include "system/preload_store.h"
#include "system/registry_text.h"

namespace zv {

namespace {

using platform::ScopedRegKey;

// Room for a layout identifier and its terminator, and for a layout text.
constexpr uint32_t kEntryCapacity = 10;
constexpr uint32_t kTextCapacity = 200;

// The entries of the current user's list, from place 1 up to the first
// that is missing (on the NT family also one whose value does not fit); an
// unreadable 9x value leaves its entry empty. False when the list's key will
// not open.
bool ReadEntries() {
  PreloadStore store;
  const PreloadStore::OpenResult opened = store.Open(PreloadStore::User::kCurrent);
  if (opened == PreloadStore::OpenResult::kNoLayoutKey) return false;
  if (opened == PreloadStore::OpenResult::kNoPreloadKey) return true;
  std::string entry;
  while (PreloadList.count < kMaxPreloadPlaces &&
         store.Read(PreloadList.count + 1, kEntryCapacity, &entry) !=
             PreloadStore::Place::kAbsent) {
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
  PreloadList.Clear();
  const bool listRead = ReadEntries();
  if (!listRead || !ReadEntryTexts()) {
    PreloadList.Clear();
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
