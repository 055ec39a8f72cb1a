// Starting programs, and the program's own process.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gui_types.h"

namespace zv::platform {

class Processes {
 public:
  virtual ~Processes() = default;
  // WinExec: starts the 8-bit command line without waiting. Returns a value
  // above 31 on success, as Windows does.
  virtual uint32_t WinExec(const std::string& commandLine, uint32_t show) = 0;
  // CreateMutexA(no security, not owned, name): a handle of the named mutex,
  // made when no process has one of that name; `*alreadyExisted` tells
  // whether another did. 0 when it cannot be had.
  virtual MutexHandle CreateMutexA(const std::string& name, bool* alreadyExisted) = 0;
  // CloseHandle of a handle from CreateMutexA.
  virtual bool CloseMutex(MutexHandle handle) = 0;
  // GetCurrentProcessId: the id of the installer's own process.
  virtual uint32_t GetCurrentProcessId() = 0;
};

}  // namespace zv::platform
