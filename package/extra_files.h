// What the interactive install does after its sequence: it checks the
// package's files in the install directory and puts the chosen skin in place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zv {

// The package files that the install sequence changes or leaves to the user,
// so that their digests are not checked: 8-bit names, each followed by one
// blank ("zavo320.ime zavo321.ime zavo640.ime zavo641.ime zvszsj43.zvh
// setupw64.exe zavocyzk.bak zavokpmt.exe zavokpm6.exe ").
std::string VerifyExemptFiles();

// True when every package file not exempted is in `directory` (which ends
// with a backslash) with its digest; false without the package.
bool PackageFilesIntact(const std::string& directory);

// The eight files a skin archive holds: zvbmp8.zvh and zvbmpsx1.bmp to
// zvbmpsx7.bmp.
inline constexpr char kSkinTableFile[] = "zvbmp8.zvh";
inline constexpr int kSkinBitmapCount = 7;
std::string SkinBitmapFile(int number);

// The file name of the skin archive for `skin` (a SkinChoice): 2 and 3 name
// their own skins, 1 and every other value the first. The names are the
// package's record names, the same bytes on every code page.
std::string_view SkinArchiveName(int32_t skin);

// Verifies the package's files in InstallDir and reports the failures; then,
// unless the user kept the earlier data and its skin is complete, shows the
// skin dialog, unpacks the chosen skin archive and verifies its files. Every
// problem is shown in a box captioned "智能岚汀". Without the package every
// package file is reported missing; without WorkBuffer the skin is reported
// not copied and no dialog is shown.
void InstallExtraFiles();

// 1 when InstallDir holds all eight skin files (each opens for reading), else 0.
int SkinComplete();

// Reads at most kSkinArchiveRoom bytes of the skin archive at `path` into
// WorkBuffer and unpacks it into InstallDir, with the rest of WorkBuffer as the
// scratch area. Does nothing when the file cannot be opened or WorkBuffer is
// not reserved.
void ExtractSkinArchive(const std::string& path);

}  // namespace zv
