// The package entries that the installer itself names: each name is kept
// here once, for the code that unpacks, places, stamps, starts, draws or
// reports it and for the tools that check a package before it ships. Every
// other entry is copied without being named.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "package/package_texts.h"

namespace zv::entries {

// The full IME: the 32-bit one (also what the system folders hold on 32-bit
// Windows of major version 5) and the 64-bit one.
inline constexpr char kFullIme32[] = "zavoli4.ime";
inline constexpr char kFullIme64[] = "zavoli64.ime";
// The small language variants placed by the first pass, for code page 936
// (ending in 0) and 950 (ending in 1); the second pass deletes them.
inline constexpr char kVariant32Cp936[] = "zavo320.ime";
inline constexpr char kVariant32Cp950[] = "zavo321.ime";
inline constexpr char kVariant64Cp936[] = "zavo640.ime";
inline constexpr char kVariant64Cp950[] = "zavo641.ime";
// The 64-bit companion started with "regzv32=" and the install directory.
inline constexpr char kCompanion64[] = "setupw64.exe";
// The program started at log-on and its variant for major version 6 and
// later, which the first pass moves over it there.
inline constexpr char kStartupProgram[] = "zavokpmt.exe";
inline constexpr char kStartupProgramVista[] = "zavokpm6.exe";
// The 32-bit and 64-bit uninstallers, copied into the system folder.
inline constexpr char kUninstaller32[] = "zavodel.exe";
inline constexpr char kUninstaller64[] = "zvqdel64.exe";
// The phrase dictionaries as shipped; the shape-code one goes through the
// phrase list filter (phrase_list.h) while it is unpacked.
inline constexpr char kShapeCodePhrases[] = "zavocyzk.bak";
inline constexpr char kPinyinPhrases[] = "zavopyck.bak";
// The IME's option record and its exact size.
inline constexpr char kOptionRecord[] = "zvszsj43.zvh";
inline constexpr size_t kOptionRecordBytes = 200;
// The welcome page's picture.
inline constexpr char kWelcomePicture[] = "kpmt1.bmp";
// The three selectable skin archives (GBK record names, package_texts.h).
inline constexpr std::string_view kSkinArchives[] = {texts::skins::kCoolPorcelainGbk,
                                                     texts::skins::kPinkPorcelainGbk,
                                                     texts::skins::kLittleAngelGbk};

// What the installer does with a named entry, and so what it relies on.
enum class EntryRole {
  kIme32,             // a 32-bit IME module
  kIme64,             // a 64-bit IME module
  kStampedIme32,      // a 32-bit language variant, version-stamped when placed
  kStampedIme64,      // a 64-bit language variant, version-stamped when placed
  kStampedProgram64,  // setupw64.exe: a 64-bit program, version-stamped
  kProgram32,
  kProgram64,
  kProgram,     // a program of either machine
  kPhraseList,  // the phrase list that the filter reads
  kDictionary,
  kOptionRecord,
  kWelcomePicture,
  kSkinArchive,
};

struct NamedEntry {
  std::string_view name;
  EntryRole role;
};

// Every entry the installer names, in the order it first relies on them.
inline constexpr NamedEntry kNamedEntries[] = {
    {kFullIme32, EntryRole::kIme32},
    {kFullIme64, EntryRole::kIme64},
    {kVariant32Cp936, EntryRole::kStampedIme32},
    {kVariant32Cp950, EntryRole::kStampedIme32},
    {kVariant64Cp936, EntryRole::kStampedIme64},
    {kVariant64Cp950, EntryRole::kStampedIme64},
    {kCompanion64, EntryRole::kStampedProgram64},
    {kStartupProgram, EntryRole::kProgram},
    {kStartupProgramVista, EntryRole::kProgram},
    {kUninstaller32, EntryRole::kProgram32},
    {kUninstaller64, EntryRole::kProgram64},
    {kShapeCodePhrases, EntryRole::kPhraseList},
    {kPinyinPhrases, EntryRole::kDictionary},
    {kOptionRecord, EntryRole::kOptionRecord},
    {kWelcomePicture, EntryRole::kWelcomePicture},
    {kSkinArchives[0], EntryRole::kSkinArchive},
    {kSkinArchives[1], EntryRole::kSkinArchive},
    {kSkinArchives[2], EntryRole::kSkinArchive},
};

// Files the install writes into the install directory besides the package's
// entries: the copy of the full 32-bit IME placed on systems of major
// version 6 and later, and the working copies of the phrase dictionaries.
inline constexpr char kPlacedIme32[] = "zavoli32.ime";
inline constexpr char kShapeCodeWorkingCopy[] = "zavocyzk.dat";
inline constexpr char kPinyinWorkingCopy[] = "zavopyck.dat";

// An entry's name (ASCII) as UTF-16 text, for the calls that take paths in
// UTF-16.
inline std::u16string WideName(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace zv::entries
