// The product's marks in the registry outside the keyboard layout: the entry
// through which the user removes it, the entry that starts its companion
// program at every log-on, and its token in the browser's user-agent text.
// All of them live under HKEY_LOCAL_MACHINE. None shows a message: a key that
// cannot be opened or created leaves its entry unwritten, and a value that
// cannot be written is skipped.
#pragma once

#include <string>

namespace zv {

// The uninstall entry's key below HKEY_LOCAL_MACHINE and its subkey.
inline constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr char kUninstallSubKey[] = "zavoqwb";
// The log-on entry's key, its subkey and value name.
inline constexpr char kRunParentKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
inline constexpr char kRunSubKey[] = "Run";
inline constexpr char kStartupValueName[] = "zvzxsjgl";
// The user-agent token's key, its subkey and the token of this version.
inline constexpr char kUserAgentKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent";
inline constexpr char kPostPlatformSubKey[] = "Post Platform";
inline constexpr char kUserAgentToken[] = "kpmt7800";

// Writes the uninstall entry "zavoqwb" with UTF-16 values: "DisplayName",
// the edition's name by EditionFlag, and "UninstallString", the system
// directory followed by "\zavodel.exe". When the system directory cannot be
// read (it must fit 100 characters) only the display name is written, since a
// bare "\zavodel.exe" would be a command that cannot work.
void WriteUninstallEntry();

// Sets the log-on value "zvzxsjgl" under the Run key to `commandLine`
// (8-bit text, up to its first zero byte), replacing any earlier value.
void WriteStartupEntry(const std::string& commandLine);

// Removes the user-agent tokens of versions 6.3 to 6.8 and 7.0 to 7.9 and
// sets this version's token "kpmt7800" to the empty text. Tokens of other
// names are left alone.
void MarkUserAgent();

}  // namespace zv
