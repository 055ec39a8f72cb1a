// What zvz needs of the machine it runs on, beyond the platform services
// that its main() installs: a directory listing and the console's view of
// 8-bit and UTF-16 text.
#pragma once

#include <string>
#include <string_view>

#include "platform/directory_listing.h"

namespace zv::zvz {

struct Host {
  platform::DirectoryListing* listing = nullptr;
  // 8-bit text of the ANSI code page as the console shows it.
  std::string (*consoleText)(std::string_view ansi) = nullptr;
  // UTF-16 text as the console shows it.
  std::string (*consoleWide)(std::u16string_view text) = nullptr;
};

// Installs the platform services zvz uses (files, MD5, message boxes on
// stderr, the ANSI code page) and returns the host. `codePage` is the ANSI
// code page that 8-bit names are taken in on hosts without one (936 or 950);
// Windows always uses its own.
Host InstallHost(unsigned codePage);

}  // namespace zv::zvz
