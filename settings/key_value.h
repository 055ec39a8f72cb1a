// Reading one "KEY=value" setting out of the bytes of a settings file.
#pragma once

#include <cstddef>
#include <string_view>

#include "state/fixed_text.h"

namespace zv {

// The longest value FindKeyValue gives, and the buffer that holds it with its
// terminating zero.
inline constexpr size_t kKeyValueMaxLength = 250;
using KeyValueText = FixedText<kKeyValueMaxLength + 1>;

// Looks for the first place in `data` where `key` stands, byte for byte and
// letter case included, anywhere in the data (not only at a line start), and
// puts the bytes after it into `out` for as long as each is above 0x20 as an
// unsigned byte: space, CR, LF, other control bytes and zero end the value,
// while the bytes of double-byte characters belong to it. The value also ends
// at the end of the data and after 250 bytes. `out` is empty when the key
// does not occur, when nothing follows it, or when `key` is empty. `data` may
// hold any bytes, zero bytes included, and need not end with a terminator.
void FindKeyValue(std::string_view data, std::string_view key, KeyValueText* out);

}  // namespace zv
