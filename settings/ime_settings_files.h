// The edition file and the network settings that the installed IME reads.
#pragma once

#include <string>
#include <string_view>

namespace zv {

// The bytes of "zvnetsj.dat" for `webAddress`: nine CR LF ended lines,
// "ZVNETURL1=" empty, "ZVNETURL2=" followed by the address, then the fixed
// defaults of the article download. 110 bytes for an empty address, one more
// for each byte of it. The address ends at its first CR, LF or zero byte, so
// that it cannot add lines or keys of its own to the file.
std::string MakeNetworkSettingsText(std::string_view webAddress);

// Writes into the install directory ChooseInstallDir gives (InstallDir is
// left as it is) "wbpybz.zvh" (11 bytes: "ZVWBPYBZ=1" for the Pinyin edition by EditionFlag,
// "ZVWBPYBZ=0" otherwise, and a zero byte) and "zvnetsj.dat" with
// `webAddress`, the text the wizard took from its web-address field (empty
// when that page was never shown). Each file is created or truncated; one
// that cannot be created is skipped and the other is still written. Nothing
// is reported.
void WriteImeSettingsFiles(std::string_view webAddress);

}  // namespace zv
