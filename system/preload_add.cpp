#include "system/preload_add.h"

#include <cctype>
#include <string>

#include "platform/scoped_reg_key.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "platform/win_constants.h"
#include "state/layout_state.h"
#include "system/layout_environment.h"
#include "system/layout_texts.h"
#include "system/registry_text.h"

namespace zv {

namespace {

using platform::ScopedRegKey;

// A preload entry may hold more than an identifier; read it whole.
constexpr uint32_t kPlaceCapacity = 200;
// The characters at the end of an identifier that name its language.
constexpr size_t kLanguageLength = 3;

enum class PlaceMatch { kOther, kSameIme, kSameLayout };

std::string InCase(std::string_view text, bool upper) {
  std::string out(text);
  for (char& c : out) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x80) c = static_cast<char>(upper ? std::toupper(byte) : std::tolower(byte));
  }
  return out;
}

// Compares the first `length` characters, ASCII letter case ignored; a text
// that ends before then differs.
bool SamePrefix(std::string_view a, std::string_view b, size_t length) {
  if (a.size() < length || b.size() < length) return false;
  return InCase(a.substr(0, length), false) == InCase(b.substr(0, length), false);
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
  platform::Boxes().MessageBoxA(
      texts::layout::kPreloadOpenError,
      platform::Codec().WideCharToMultiByte(texts::layout::kShapeCodeCaption), win::kMbOk);
}

void AddNt(const std::string& layoutId) {
  ScopedRegKey layout;
  if (layout.OpenA(platform::kHkeyCurrentUser, kUserLayoutKey, win::kKeyRead) != 0) {
    ShowPreloadOpenError();
    return;
  }
  ScopedRegKey preload;
  if (preload.OpenA(layout.get(), kPreloadKey, win::kKeyAllAccess) != 0) return;
  for (int place = 1; place <= kMaxPreloadPlaces; ++place) {
    const std::string name = std::to_string(place);
    std::string current;
    if (!ReadRegistryText(preload.get(), name, kPlaceCapacity, &current)) {
      WriteRegistryText(preload.get(), name, layoutId);
      return;
    }
    const PlaceMatch match = Compare(current, layoutId);
    if (match == PlaceMatch::kSameLayout) return;
    if (match == PlaceMatch::kSameIme) {
      WriteRegistryText(preload.get(), name, layoutId);
      return;
    }
  }
  WriteRegistryText(preload.get(), std::to_string(kMaxPreloadPlaces), layoutId);
}

// Creates (or opens) subkey `place` of the 9x list and sets its unnamed value.
void SetPlace9x(platform::RegKey preload, int place, const std::string& layoutId) {
  ScopedRegKey key;
  if (key.CreateA(preload, std::to_string(place), win::kKeyAllAccess) != 0) return;
  WriteRegistryText(key.get(), "", layoutId);
}

void Add9x(const std::string& layoutId) {
  ScopedRegKey preload;
  if (preload.OpenA(platform::kHkeyCurrentUser, kPreloadKey9x, win::kKeyRead) != 0) {
    ShowPreloadOpenError();
    return;
  }
  for (int place = 1; place <= kMaxPreloadPlaces; ++place) {
    ScopedRegKey key;
    if (key.OpenA(preload.get(), std::to_string(place), win::kKeyAllAccess) != 0) {
      SetPlace9x(preload.get(), place, layoutId);
      return;
    }
    std::string current;
    if (!ReadRegistryText(key.get(), "", kPlaceCapacity, &current)) continue;
    const PlaceMatch match = Compare(current, layoutId);
    if (match == PlaceMatch::kSameLayout) return;
    if (match == PlaceMatch::kSameIme) {
      WriteRegistryText(key.get(), "", layoutId);
      return;
    }
  }
  SetPlace9x(preload.get(), kMaxPreloadPlaces, layoutId);
}

}  // namespace

void AddLayoutToPreload(std::string_view layoutId) {
  if (IsWindows9xFamily() != 0) {
    Add9x(InCase(layoutId, true));
  } else {
    AddNt(InCase(layoutId, false));
  }
}

}  // namespace zv
