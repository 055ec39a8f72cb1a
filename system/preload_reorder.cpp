#include "system/preload_reorder.h"

#include <string>

#include "platform/scoped_reg_key.h"
#include "platform/services.h"
#include "platform/win_constants.h"
#include "system/install_locations.h"
#include "system/layout_environment.h"
#include "system/preload_list.h"
#include "system/registry_text.h"

namespace zv {

namespace {

using platform::ScopedRegKey;

// One place to write: its number and the entry that goes there.
struct PlaceWrite {
  int place;
  int entry;  // index into PreloadList.entries
};

// The places of the NT list below `layoutKey` of `root`. False when
// `layoutKey` will not open; a "preload" that will not open is skipped.
bool WriteNtList(platform::RegKey root, const char* layoutKey, const PlaceWrite* writes,
                 int count) {
  ScopedRegKey layout;
  if (layout.OpenA(root, layoutKey, win::kKeyRead) != 0) return false;
  ScopedRegKey preload;
  if (preload.OpenA(layout.get(), kPreloadKey, win::kKeyAllAccess) != 0) return true;
  for (int i = 0; i < count; ++i) {
    WriteRegistryText(preload.get(), std::to_string(writes[i].place),
                      PreloadList.entries[writes[i].entry].view());
  }
  return true;
}

// The current user's NT list, then the default user's.
void WriteNtLists(const PlaceWrite* writes, int count) {
  if (!WriteNtList(platform::kHkeyCurrentUser, kUserLayoutKey, writes, count)) return;
  WriteNtList(platform::kHkeyUsers, kDefaultUserLayoutKey, writes, count);
}

// The 9x list: each place's subkey that opens gets its unnamed value set.
void Write9xList(const PlaceWrite* writes, int count) {
  ScopedRegKey preload;
  if (preload.OpenA(platform::kHkeyCurrentUser, kPreloadKey9x, win::kKeyRead) != 0) return;
  for (int i = 0; i < count; ++i) {
    ScopedRegKey place;
    if (place.OpenA(preload.get(), std::to_string(writes[i].place), win::kKeyAllAccess) != 0) {
      continue;
    }
    WriteRegistryText(place.get(), "", PreloadList.entries[writes[i].entry].view());
  }
}

// Moves the entry (and its text) at index `from` to index `to` < `from`;
// the entries between move one place down.
void MoveEntry(int from, int to) {
  const FixedText<10> entry = PreloadList.entries[from];
  const FixedText<200> text = PreloadList.texts[from];
  for (int i = from; i > to; --i) {
    PreloadList.entries[i] = PreloadList.entries[i - 1];
    PreloadList.texts[i] = PreloadList.texts[i - 1];
  }
  PreloadList.entries[to] = entry;
  PreloadList.texts[to] = text;
}

}  // namespace

void MoveImeToSecondPlace() {
  const int count = PreloadList.count;
  const int position = ImePreloadPosition;
  if (ImeInPreload == 0 || count < 3 || position < 3 || position > count ||
      WindowsMajorVersion > 5) {
    return;
  }
  MoveEntry(position - 1, 1);
  ImePreloadPosition = 2;
  PlaceWrite writes[kMaxPreloadPlaces];
  int writeCount = 0;
  for (int place = 2; place <= count; ++place) writes[writeCount++] = PlaceWrite{place, place - 1};
  if (IsWindows9xFamily() != 0) {
    Write9xList(writes, writeCount);
  } else {
    WriteNtLists(writes, writeCount);
  }
}

void SwapFirstTwoPreloadEntries() {
  if (PreloadList.count < 2) return;
  if (IsWindows9xFamily() != 0) {
    // The 9x list gets place 2 first.
    const PlaceWrite writes[] = {{2, 0}, {1, 1}};
    Write9xList(writes, 2);
  } else {
    const PlaceWrite writes[] = {{1, 1}, {2, 0}};
    WriteNtLists(writes, 2);
  }
}

}  // namespace zv
