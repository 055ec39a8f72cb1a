// Full access for the installing user on the install directory.
#pragma once

#include <string>

namespace zv {

// Merges one entry into the access list of `path`: the current user's
// account, all rights, inherited by every subdirectory and file, including
// those created later. Returns 1 on success and 0 when any step fails (the
// user name, reading the list, building the new list, writing it); the path
// keeps its old list then.
int GrantUserFullAccess(const std::string& path);

}  // namespace zv
