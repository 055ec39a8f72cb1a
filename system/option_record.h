// The IME's 200-byte option record "zvszsj43.zvh" in the install directory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "package/package_entries.h"

namespace zv {

inline constexpr size_t kOptionRecordSize = entries::kOptionRecordBytes;
using OptionRecord = std::array<uint8_t, kOptionRecordSize>;

// The record an IME starts from when it has none.
OptionRecord DefaultOptionRecord();

// Writes the window mode, the edition and the code page into the record,
// keeping every other byte; does nothing when the user keeps the earlier data.
void AdjustOptionRecord();

}  // namespace zv
