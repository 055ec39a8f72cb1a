// The names of the settings files the installer writes for the IME. Each lies
// directly in the install directory.
#pragma once

namespace zv {

inline constexpr char kEditionFileName[] = "wbpybz.zvh";
inline constexpr char kNetworkSettingsFileName[] = "zvnetsj.dat";
inline constexpr char kInstallStampFileName[] = "install.zvh";

}  // namespace zv
