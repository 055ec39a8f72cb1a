// The web address an earlier install left in the network settings, offered
// to the user again in the wizard's web-address field.
#pragma once

#include <string>

namespace zv {

// Reads the first 1000 bytes of "zvnetsj.dat" in the install directory
// ChooseInstallDir gives and returns the value of "ZVNETURL1=" as
// FindKeyValue gives it (at most 250 bytes). Returns an empty text when the
// file cannot be read or has no such key. The wizard puts the result into its
// web-address field; nothing else is changed.
std::string LoadWebAddress();

}  // namespace zv
