// Whole-file reads and writes on top of the file system service.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zv {

// Reads at most `limit` bytes from the start of the file. Returns false when
// the file cannot be opened or read; `out` then is empty.
bool ReadFileBytes(const std::string& path, size_t limit, std::string* out);

// Creates or truncates the file and writes `bytes`. Returns false when it
// cannot be created or not every byte was written.
bool WriteFileBytes(const std::string& path, std::string_view bytes);

// 1 when the file or directory can be opened for reading (directories too), else 0.
int PathExists(const std::string& path);

// Whether a failed call's error says that the name, or a folder on its
// way, does not exist.
bool IsNotFoundError(uint32_t error);

// Whether a file (not a directory) may stand at `path`: false only when it
// is known to be absent; a query that fails for another reason than a
// missing file or folder leaves the question open and counts as true.
bool FileMayExist(const std::string& path);

}  // namespace zv
