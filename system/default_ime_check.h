// The check before an install that an earlier copy of the IME is not the
// system's default input method.
#pragma once

namespace zv {

// Returns 1 when the install may go on. Returns 0, after telling the user
// why, when the product's layout is place 1 of the current user's preload
// list, or when the installer's own active layout is the product's. With
// the product at place 1 of a list of two or more on a 32-bit Windows, the
// user is offered to exchange places 1 and 2 (and asked to restart).
int CheckImeNotDefault();

}  // namespace zv
