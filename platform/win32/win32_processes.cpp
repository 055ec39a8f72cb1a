#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/win32_services.h"

namespace zv::platform::win32 {

uint32_t Win32Processes::WinExec(const std::string& commandLine, uint32_t show) {
  return ::WinExec(commandLine.c_str(), show);
}

MutexHandle Win32Processes::CreateMutexA(const std::string& name, bool* alreadyExisted) {
  HANDLE mutex = ::CreateMutexA(nullptr, FALSE, name.c_str());
  *alreadyExisted = mutex != nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS;
  return FromWin(mutex);
}

bool Win32Processes::CloseMutex(MutexHandle handle) {
  return ::CloseHandle(ToWin<HANDLE>(handle)) != 0;
}

uint32_t Win32Processes::GetCurrentProcessId() { return ::GetCurrentProcessId(); }

}  // namespace zv::platform::win32
