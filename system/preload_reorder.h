// Reordering the preload list as the last FindImeInPreload read it. Neither
// operation reads the registry's list again.
#pragma once

namespace zv {

// On Windows major versions up to 5, when the product's layout stands at
// place 3 or later of a list of at least 3 entries, moves it to place 2
// (the entries between move one place down) and rewrites places 2 to the
// end of the current user's list and, on the NT family, of the default
// user's list. Does nothing otherwise.
void MoveImeToSecondPlace();

// Exchanges places 1 and 2 of the current user's list and, on the NT family,
// the default user's list. Does nothing when the last read found fewer than
// two entries.
void SwapFirstTwoPreloadEntries();

}  // namespace zv
