// Starting programs, and the program's own process.
#pragma once

#include <cstdint>
#include <string>

namespace zv::platform {

class Processes {
 public:
  virtual ~Processes() = default;
  // WinExec: starts the 8-bit command line without waiting. Returns a value
  // above 31 on success, as Windows does.
  virtual uint32_t WinExec(const std::string& commandLine, uint32_t show) = 0;
  // GetCurrentProcessId: the id of the installer's own process.
  virtual uint32_t GetCurrentProcessId() = 0;
};

}  // namespace zv::platform
