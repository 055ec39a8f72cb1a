// What the skin dialog remembers while it is open: one flag per radio button,
// exactly one of the four window modes and one of the three skins set. The
// dialog itself is in ui/.
#pragma once

#include <cstdint>

namespace zv {

inline constexpr int kSkinDialogOk = 105;
inline constexpr int kWindowModeIds[4] = {101, 102, 106, 107};
inline constexpr int kSkinIds[3] = {110, 111, 112};
// The seven radio buttons in the order their check states are set.
inline constexpr int kSkinDialogRadioIds[7] = {101, 102, 106, 107, 110, 111, 112};

class SkinChoiceFlags {
 public:
  // Window mode 101 and skin 110 chosen.
  SkinChoiceFlags();

  // A command from control `id`: a window-mode button becomes the only
  // window mode, a skin button the only skin; any other id changes nothing.
  // Returns true for OK, which ends the dialog.
  bool OnCommand(int id);

  // Whether the radio button `id` is to be shown checked.
  bool IsChecked(int id) const;

  // 1 to 4 for the first window mode set in the order 101, 102, 106, 107;
  // 1 to 3 for the first skin set in the order 110, 111, 112; 1 when none is.
  int32_t WindowModeResult() const;
  int32_t SkinChoiceResult() const;

 private:
  bool modes_[4] = {};
  bool skins_[3] = {};
};

// The flags of the skin dialog that is open, or was last; set afresh each
// time the dialog opens.
extern SkinChoiceFlags SkinDialogFlags;

}  // namespace zv
