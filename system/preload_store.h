// One user's preload list in the registry, in the form of this Windows
// family: on the NT family the values "1", "2", ... of "keyboard layout\preload"
// below the user's key; on the 9x family the unnamed values of the subkeys
// "1", "2", ... of the current user's "keyboard layout\preload". Places are
// numbered from 1 to kMaxPreloadPlaces; no other place is read or written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/scoped_reg_key.h"
#include "state/layout_state.h"

namespace zv {

class PreloadStore {
 public:
  enum class User {
    kCurrent,  // HKEY_CURRENT_USER
    kDefault,  // the default user of HKEY_USERS (the NT family only)
  };
  enum class OpenResult {
    kOpen,
    kNoLayoutKey,   // "keyboard layout" (9x: "keyboard layout\preload") will not open
    kNoPreloadKey,  // NT: "preload" below it will not open
  };
  enum class Place {
    kAbsent,      // NT: no value that fits; 9x: no subkey
    kUnreadable,  // 9x: the subkey is there but its value cannot be read
    kRead,
  };

  // Takes the family (IsWindows9xFamily) once, when made.
  PreloadStore();

  // Opens the list of `user`: the layout key for reading, "preload" with all
  // rights. The default user has no 9x list (kNoLayoutKey).
  OpenResult Open(User user);
  bool windows9x() const { return windows9x_; }

  // Reads `place` through a buffer of `capacity` bytes; `*text` is empty
  // unless kRead.
  Place Read(int place, uint32_t capacity, std::string* text);

  // Writes `text` into `place`. A 9x place without its subkey is created
  // when `createMissing` is set and skipped otherwise.
  void Write(int place, std::string_view text, bool createMissing);

 private:
  // The 9x subkey of `place`, opened (or created) and kept for the next call.
  bool OpenPlaceKey(int place, bool create);

  bool windows9x_;
  platform::ScopedRegKey layout_;
  platform::ScopedRegKey preload_;
  platform::ScopedRegKey placeKey_;
  int openPlace_ = 0;
};

}  // namespace zv
