#include "system/preload_store.h"

#include "platform/services.h"
#include "platform/win_constants.h"
#include "system/layout_environment.h"
#include "system/registry_text.h"

namespace zv {
namespace {

constexpr char kUserLayoutKey[] = "keyboard layout";
constexpr char kDefaultUserLayoutKey[] = ".DEFAULT\\keyboard layout";
constexpr char kPreloadKey[] = "preload";
constexpr char kPreloadKey9x[] = "keyboard layout\\preload";

bool ValidPlace(int place) { return place >= 1 && place <= kMaxPreloadPlaces; }

}  // namespace

PreloadStore::PreloadStore() : windows9x_(IsWindows9xFamily() != 0) {}

PreloadStore::OpenResult PreloadStore::Open(User user) {
  if (windows9x_) {
    if (user != User::kCurrent ||
        preload_.OpenA(platform::kHkeyCurrentUser, kPreloadKey9x, win::kKeyRead) != 0) {
      return OpenResult::kNoLayoutKey;
    }
    return OpenResult::kOpen;
  }
  const bool current = user == User::kCurrent;
  if (layout_.OpenA(current ? platform::kHkeyCurrentUser : platform::kHkeyUsers,
                    current ? kUserLayoutKey : kDefaultUserLayoutKey, win::kKeyRead) != 0) {
    return OpenResult::kNoLayoutKey;
  }
  if (preload_.OpenA(layout_.get(), kPreloadKey, win::kKeyAllAccess) != 0) {
    return OpenResult::kNoPreloadKey;
  }
  return OpenResult::kOpen;
}

bool PreloadStore::OpenPlaceKey(int place, bool create) {
  if (openPlace_ == place && placeKey_.valid()) return true;
  openPlace_ = 0;
  const std::string name = std::to_string(place);
  const uint32_t status = create ? placeKey_.CreateA(preload_.get(), name, win::kKeyAllAccess)
                                 : placeKey_.OpenA(preload_.get(), name, win::kKeyAllAccess);
  if (status != 0) return false;
  openPlace_ = place;
  return true;
}

PreloadStore::Place PreloadStore::Read(int place, uint32_t capacity, std::string* text) {
  text->clear();
  if (!preload_.valid() || !ValidPlace(place)) return Place::kAbsent;
  if (!windows9x_) {
    return ReadRegistryText(preload_.get(), std::to_string(place), capacity, text) ? Place::kRead
                                                                                   : Place::kAbsent;
  }
  if (!OpenPlaceKey(place, false)) return Place::kAbsent;
  return ReadRegistryText(placeKey_.get(), "", capacity, text) ? Place::kRead : Place::kUnreadable;
}

void PreloadStore::Write(int place, std::string_view text, bool createMissing) {
  if (!preload_.valid() || !ValidPlace(place)) return;
  if (!windows9x_) {
    WriteRegistryText(preload_.get(), std::to_string(place), text);
    return;
  }
  if (OpenPlaceKey(place, createMissing)) WriteRegistryText(placeKey_.get(), "", text);
}

}  // namespace zv
