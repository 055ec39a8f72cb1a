#include "state/skin_choice.h"

#include <cstddef>

namespace zv {
namespace {

// The index of `id` in `ids`, or -1.
template <size_t N>
int IndexOf(const int (&ids)[N], int id) {
  for (size_t i = 0; i < N; ++i) {
    if (ids[i] == id) return static_cast<int>(i);
  }
  return -1;
}

template <size_t N>
void SetOnly(bool (&flags)[N], int index) {
  for (size_t i = 0; i < N; ++i) flags[i] = static_cast<int>(i) == index;
}

template <size_t N>
int32_t FirstSet(const bool (&flags)[N]) {
  for (size_t i = 0; i < N; ++i) {
    if (flags[i]) return static_cast<int32_t>(i + 1);
  }
  return 1;
}

}  // namespace

SkinChoiceFlags::SkinChoiceFlags() {
  SetOnly(modes_, 0);
  SetOnly(skins_, 0);
}

bool SkinChoiceFlags::OnCommand(int id) {
  if (id == kSkinDialogOk) return true;
  if (const int mode = IndexOf(kWindowModeIds, id); mode >= 0) SetOnly(modes_, mode);
  if (const int skin = IndexOf(kSkinIds, id); skin >= 0) SetOnly(skins_, skin);
  return false;
}

bool SkinChoiceFlags::IsChecked(int id) const {
  if (const int mode = IndexOf(kWindowModeIds, id); mode >= 0) return modes_[mode];
  if (const int skin = IndexOf(kSkinIds, id); skin >= 0) return skins_[skin];
  return false;
}

int32_t SkinChoiceFlags::WindowModeResult() const { return FirstSet(modes_); }
int32_t SkinChoiceFlags::SkinChoiceResult() const { return FirstSet(skins_); }

}  // namespace zv
