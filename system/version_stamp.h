// Bringing the version shown inside an IME module to 7.8.
#pragma once

#include <string>

namespace zv {

// Wherever the file holds the UTF-16 brand text "智能岚汀输入平台" followed by
// a blank, any one character and "6.3" or "6.7", the version becomes "7.8".
// The whole file is stamped, whatever its size; a file that cannot be read
// whole is left as it was, and one without such a text is not rewritten. A
// rewrite that fails (a full disk, a file in use) leaves the unstamped file
// whole under its name.
void StampImeVersion(const std::string& path);

// The stamping itself, on bytes in memory. Returns how many versions changed.
int StampVersionBytes(std::string* bytes);

}  // namespace zv
