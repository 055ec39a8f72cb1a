#include "system/preload_reorder.h"

#include <string>

#include "platform/services.h"
#include "platform/win_constants.h"
#include "system/install_locations.h"
#include "system/layout_environment.h"
#include "system/preload_list.h"
#include "system/preload_store.h"

namespace zv {

namespace {

// One place to write: its number and the entry that goes there.
struct PlaceWrite {
  int place;
  int entry;  // index into PreloadList.entries
};

// Writes the places into the current user's list and, on the NT family,
// into the default user's, unless the current user's layout key will not
// open. A list whose "preload" will not open is skipped; so is a 9x place
// without its subkey.
void WriteLists(const PlaceWrite* writes, int count) {
  for (const PreloadStore::User user :
       {PreloadStore::User::kCurrent, PreloadStore::User::kDefault}) {
    PreloadStore store;
    const PreloadStore::OpenResult opened = store.Open(user);
    if (opened == PreloadStore::OpenResult::kNoLayoutKey) return;
    if (opened == PreloadStore::OpenResult::kNoPreloadKey) continue;
    for (int i = 0; i < count; ++i) {
      store.Write(writes[i].place, PreloadList.entries[writes[i].entry].view(), false);
    }
    if (store.windows9x()) return;
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
  WriteLists(writes, writeCount);
}

void SwapFirstTwoPreloadEntries() {
  if (PreloadList.count < 2) return;
  // The 9x list gets place 2 first.
  const PlaceWrite nt[] = {{1, 1}, {2, 0}};
  const PlaceWrite nineX[] = {{2, 0}, {1, 1}};
  WriteLists(IsWindows9xFamily() != 0 ? nineX : nt, 2);
}

}  // namespace zv
