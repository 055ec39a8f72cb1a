// Helpers for replacing a file that may be read-only, hidden or in use.
#pragma once

#include <string>

namespace zv {

// Clears the file's read-only, hidden and system attributes (archive only)
// and deletes it. Returns 0 when the file is absent (it cannot be opened for
// reading) or was deleted, -1 when it exists and cannot be deleted (a module
// in use, a file held open by another program).
int DeleteFileForced(const std::string& path);

// Renames a file that cannot be deleted to a neighbouring name, clearing that
// name first with DeleteFileForced: the name with the fifth character from
// the end replaced by '2' ("zavoli4.ime" -> "zavoli2.ime"), or when that fails
// the same with the sixth character from the end also replaced by '1'
// ("zavol12.ime"). Only characters of the file name itself are replaced: when
// the name part is too short for a neighbour, that neighbour is not tried, so
// a file never moves into another directory. Returns 0 when a rename
// succeeded, -1 otherwise.
int MoveLockedFileAside(const std::string& path);

}  // namespace zv
