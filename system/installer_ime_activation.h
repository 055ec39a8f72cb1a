// Letting the user try the new IME in the installer's own window.
#pragma once

namespace zv {

// From wizard page 7 on, makes the product's layout the active keyboard
// layout of this process unless it already is. Uses InstalledLayout, and
// when that is unknown, the first loaded layout whose description begins
// with the product's GBK name (which then becomes InstalledLayout).
void ActivateImeForInstaller();

}  // namespace zv
