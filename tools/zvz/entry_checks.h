// The checks of what the installer relies on in the entries it names (the
// modules, the phrase list, the option record, the welcome picture and the
// skins), and of the files an install would leave in its directory.
#pragma once

#include <string>
#include <string_view>

#include "package/package_entries.h"
#include "tools/zvz/container_check.h"
#include "tools/zvz/package_check.h"

namespace zv::zvz {

// Checks `content`, the unpacked entry `name`, for what its role needs.
void CheckEntryContent(std::string_view name, entries::EntryRole role, const std::string& content,
                       PackageReport* report);

// Checks that every entry the installer names is in `package` and sound
// for its role (records that failed their own checks are not looked into).
void CheckNamedEntries(const ContainerCheck& package, PackageReport* report);

// Counts the files an install of `package` leaves in the install directory
// and reports fewer than the install report requires.
void CheckInstalledFileCount(const ContainerCheck& package, PackageReport* report);

}  // namespace zv::zvz
