// Reading a whole file into memory, with a size limit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zv::pe {

// Reads the file at `path` into `bytes`. Fails, with the reason in `error`,
// when it cannot be opened or read or is larger than `max_size` bytes.
bool ReadFileBytes(const std::string& path, uint64_t max_size, std::vector<uint8_t>* bytes,
                   std::string* error);

}  // namespace zv::pe
