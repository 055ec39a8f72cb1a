// Checking what the placement passes left in the system folders.
#pragma once

namespace zv {

// True when the IME in the system folders (the native one and, on a 64-bit
// Windows, the 32-bit one in SysWOW64) and the uninstaller in the system
// directory hold the bytes of the install directory's files that the second
// pass and the first pass copied there. Reads the folders afresh.
bool SystemFilesPlaced();

}  // namespace zv
