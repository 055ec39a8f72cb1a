// Helpers for replacing a file that may be read-only, hidden or in use.
#pragma once

#include <cstddef>
#include <cstdint>
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

// Writes `length` bytes of `content` to `target` so that a failure at any
// step (a full disk, a file in use) leaves the target as it was, attributes
// included. A target that does not exist yet is created and written under
// its own name (and removed again if the write fails). An existing one gets
// the content written in full beside it (target + "~zvn"), which is then
// swapped in: the old target is renamed to target + "~zvo" and deleted only
// once the new file stands under its name, or, when the system holds it (a
// loaded module, a file another program has open), moved to its neighbour
// name (MoveLockedFileAside). True when the content stands under the
// target's name.
bool WriteFileBesideAndSwap(const std::string& target, const uint8_t* content, size_t length);

}  // namespace zv
