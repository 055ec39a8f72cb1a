// The three ways the installer runs.
#pragma once

#include <string_view>

namespace zv {

// Records the install directory given after "regzv32=", registers the IME
// of the system directory and confirms with a message. Returns 0.
int RunCompanionMode(std::string_view commandLine);

// Prepares the package and the work buffer, runs the install without a
// window and checks the installed files. Returns one of the exit codes of
// app/exit_codes.h.
int RunSilentMode();

// Shows the wizard and runs its message loop. Returns the quit message's value.
int RunInteractiveMode(void* instance, int showCommand);

}  // namespace zv
