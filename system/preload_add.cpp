#include "system/preload_add.h"

#include <string>

#include "platform/ascii_case.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "platform/win_constants.h"
#include "system/layout_environment.h"
#include "system/layout_texts.h"
#include "system/preload_store.h"

namespace zv {

namespace {

// A preload entry may hold more than an identifier; read it whole.
constexpr uint32_t kPlaceCapacity = 200;
// The characters at the end of an identifier that name its language.
constexpr size_t kLanguageLength = 3;

enum class PlaceMatch { kOther, kSameIme, kSameLayout };

// Compares the first `length` characters, ASCII letter case ignored; a text
// that ends before then differs.
bool SamePrefix(std::string_view a, std::string_view b, size_t length) {
  if (a.size() < length || b.size() < length) return false;
  return EqualsIgnoreAsciiCase(a.substr(0, length), b.substr(0, length));
}

PlaceMatch Compare(std::string_view place, std::string_view layoutId) {
  const size_t length = layoutId.size();
  if (SamePrefix(place, layoutId, length)) return PlaceMatch::kSameLayout;
  if (length > kLanguageLength && SamePrefix(place, layoutId, length - kLanguageLength)) {
    return PlaceMatch::kSameIme;
  }
  return PlaceMatch::kOther;
}

void ShowPreloadOpenError() {
  platform::Boxes().MessageBoxW(texts::layout::kPreloadOpenError, texts::layout::kShapeCodeCaption,
                                win::kMbOk);
}

// Puts `layoutId` into the first free place, over the place of the same IME
// index with another language ending, or into the last place when every one
// holds another layout. A list that holds it already is left alone; an
// unreadable 9x place is passed over.
void Add(const std::string& layoutId) {
  PreloadStore store;
  const PreloadStore::OpenResult opened = store.Open(PreloadStore::User::kCurrent);
  if (opened == PreloadStore::OpenResult::kNoLayoutKey) {
    ShowPreloadOpenError();
    return;
  }
  if (opened == PreloadStore::OpenResult::kNoPreloadKey) return;
  for (int place = 1; place <= kMaxPreloadPlaces; ++place) {
    std::string current;
    const PreloadStore::Place found = store.Read(place, kPlaceCapacity, &current);
    if (found == PreloadStore::Place::kUnreadable) continue;
    if (found == PreloadStore::Place::kAbsent) {
      store.Write(place, layoutId, true);
      return;
    }
    const PlaceMatch match = Compare(current, layoutId);
    if (match == PlaceMatch::kSameLayout) return;
    if (match == PlaceMatch::kSameIme) {
      store.Write(place, layoutId, true);
      return;
    }
  }
  store.Write(kMaxPreloadPlaces, layoutId, true);
}

}  // namespace

void AddLayoutToPreload(std::string_view layoutId) {
  Add(InAsciiCase(layoutId, IsWindows9xFamily() != 0));
}

}  // namespace zv
