// Letting the IME, which runs at low integrity in some programs, write its
// files in the install directory.
#pragma once

namespace zv {

// Starts "icacls.exe "<InstallDir>" /SetIntegrityLevel Level: L" without
// waiting; its result is not looked at.
void LowerIntegrityLevel();

}  // namespace zv
