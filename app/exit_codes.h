// What a silent install ("setzvsrf32") tells the program that started it,
// for scripts and deployment tools. The wizard and the companion mode keep
// their own exit codes.
#pragma once

namespace zv {

// The install went through and every package file checked out.
inline constexpr int kExitInstalled = 0;
// Nothing was installed: no administrator rights, another silent install
// running, or an earlier IME that Windows holds could be neither deleted nor
// moved aside. At most the remembered-directory and settings files were
// written.
inline constexpr int kExitNotInstalled = 1;
// The install ran, but package files are missing or damaged in the install
// directory, or it does not look like a complete install.
inline constexpr int kExitIncomplete = 2;
// Installed and checked; an earlier IME was moved aside and goes away with
// the next restart. The value deployment tools know as "restart required".
inline constexpr int kExitRestartRequired = 3010;

}  // namespace zv
