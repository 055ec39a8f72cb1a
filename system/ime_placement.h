// Putting the IME files into the install directory and the system folders.
#pragma once

#include <string>

namespace zv {

// The first pass extracts the package, asks whether to keep the user's
// earlier data, places the small language variant of the IME for this code
// page in the system folders and writes the uninstall entry; the second pass,
// after the IME was registered, replaces it with the full IME.
enum class PlacementPass : int { kFirst = 0, kSecond = 1 };
void PlaceImeFiles(PlacementPass pass);

// Copies `source` over `target` after clearing the target's attributes; a
// target that cannot be overwritten is moved aside and the copy retried. A
// second failure shows the copy-failure message naming the target.
void PlaceFile(const std::string& source, const std::string& target);

// The 8-bit copy-failure message for `target`, OK button, no owner.
void ShowCopyFailure(const std::string& target);

}  // namespace zv
