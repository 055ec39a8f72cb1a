// Reading and writing the 8-bit REG_SZ values of layout keys and preload
// lists through bounded buffers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace zv {

// Reads value `name` of `key` as RegQueryValueExA does into a buffer of
// `capacity` bytes and gives its text up to the first zero byte. False, with
// `out` emptied, when the value is missing, cannot be read or is larger than
// the buffer, counting a terminating zero that the value may lack: a value
// of exactly `capacity` bytes without a zero byte does not fit.
bool ReadRegistryText(platform::RegKey key, const std::string& name, uint32_t capacity,
                      std::string* out);

// Writes `text` with its terminating zero as REG_SZ value `name` of `key`.
// Returns the Windows error code.
uint32_t WriteRegistryText(platform::RegKey key, const std::string& name, std::string_view text);

}  // namespace zv
