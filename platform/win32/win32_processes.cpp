#include <windows.h>

#include "platform/win32/win32_services.h"

namespace zv::platform::win32 {

uint32_t Win32Processes::WinExec(const std::string& commandLine, uint32_t show) {
  return ::WinExec(commandLine.c_str(), show);
}

uint32_t Win32Processes::GetCurrentProcessId() { return ::GetCurrentProcessId(); }

}  // namespace zv::platform::win32
