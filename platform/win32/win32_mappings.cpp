#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/win32_services.h"

namespace zv::platform::win32 {

MappingHandle Win32FileMappings::OpenFileMappingA(uint32_t access, bool inheritHandle,
                                                  const std::string& name) {
  return FromWin(::OpenFileMappingA(access, inheritHandle ? TRUE : FALSE, name.c_str()));
}

bool Win32FileMappings::CloseHandle(MappingHandle handle) {
  return ::CloseHandle(ToWin<HANDLE>(handle)) != 0;
}

}  // namespace zv::platform::win32
