// zvz's output: results on stdout, one-line errors on stderr.
#pragma once

#include <string>

namespace zv::zvz {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Prints "zvz: <message>" on stderr and returns kExitFailure.
int Fail(const std::string& message);

// Prints "zvz: <message> (try 'zvz --help')" on stderr and returns kExitUsage.
int UsageError(const std::string& message);

// Prints `text` and a line end on stdout.
void PrintLine(const std::string& text);

}  // namespace zv::zvz
