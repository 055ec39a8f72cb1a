// The marker of when the IME was installed.
#pragma once

#include <cstdint>
#include <string>

namespace zv {

// The tick count as a signed 32-bit decimal number: plain digits below 2^31,
// a leading '-' from 2^31 on (4294967295 gives "-1").
std::string FormatTickCount(uint32_t ticks);

// Writes "install.zvh" into InstallDir: the tick count taken just before, in
// decimal, with no line end and no terminator. A file that cannot be created
// is not written; nothing is reported.
void WriteInstallStamp();

}  // namespace zv
