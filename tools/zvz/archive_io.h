// Reading an archive whole and writing an output file without ever leaving a
// half-written file under its name.
#pragma once

#include <string>
#include <string_view>

namespace zv::zvz {

// Reads the whole file. False with `*error` set (one line) when it cannot.
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error);

// Writes `bytes` to a new temporary file beside `path`, then puts it in
// place of `path` (replacing an existing file). On any failure the temporary
// file is removed, `path` is left as it was, and `*error` says why.
bool WriteFileReplacing(const std::string& path, std::string_view bytes, std::string* error);

}  // namespace zv::zvz
