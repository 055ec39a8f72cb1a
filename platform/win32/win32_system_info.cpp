#include <windows.h>
// These need windows.h first.
#include <shlobj.h>

#include "platform/win32/wide.h"
#include "platform/win32/win32_services.h"

namespace zv::platform::win32 {

uint32_t Win32SystemInfo::GetOEMCP() { return ::GetOEMCP(); }
uint32_t Win32SystemInfo::GetACP() { return ::GetACP(); }

bool Win32SystemInfo::GetVersionExA(OsVersion* out) {
  OSVERSIONINFOEXA info{};
  static_assert(sizeof(info) == 156, "the extended version structure");
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return false;
#pragma GCC diagnostic pop
  out->major = info.dwMajorVersion;
  out->minor = info.dwMinorVersion;
  out->build = info.dwBuildNumber;
  out->platformId = info.dwPlatformId;
  return true;
}

uint32_t Win32SystemInfo::GetVersion() {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return ::GetVersion();
#pragma GCC diagnostic pop
}

std::string Win32SystemInfo::GetWindowsDirectoryA(uint32_t capacity) {
  std::string buffer(capacity, '\0');
  const UINT length = ::GetWindowsDirectoryA(buffer.data(), capacity);
  if (length == 0 || length >= capacity) return std::string();
  buffer.resize(length);
  return buffer;
}

std::string Win32SystemInfo::GetSystemDirectoryA(uint32_t capacity) {
  std::string buffer(capacity, '\0');
  const UINT length = ::GetSystemDirectoryA(buffer.data(), capacity);
  if (length == 0 || length >= capacity) return std::string();
  buffer.resize(length);
  return buffer;
}

std::u16string Win32SystemInfo::GetSystemDirectoryW(uint32_t capacity) {
  std::wstring buffer(capacity, L'\0');
  const UINT length = ::GetSystemDirectoryW(buffer.data(), capacity);
  if (length == 0 || length >= capacity) return std::u16string();
  return FromWide(buffer.data(), length);
}

bool Win32SystemInfo::GetProgramFilesFolderA(std::string* out) {
  char buffer[MAX_PATH + 1] = {};
  if (!::SHGetSpecialFolderPathA(nullptr, buffer, CSIDL_PROGRAM_FILES, FALSE)) return false;
  *out = buffer;
  return true;
}

bool Win32SystemInfo::GetUserNameA(uint32_t capacity, std::string* out) {
  std::string buffer(capacity, '\0');
  DWORD size = capacity;
  if (!::GetUserNameA(buffer.data(), &size)) return false;
  buffer.resize(size > 0 ? size - 1 : 0);  // the count includes the terminator
  *out = buffer;
  return true;
}

uint32_t Win32SystemInfo::GetTickCount() { return ::GetTickCount(); }
void Win32SystemInfo::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace zv::platform::win32
