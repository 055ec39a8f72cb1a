// What kind of Windows this is and where its folders are.
#pragma once

#include <cstdint>
#include <string>

namespace zv::platform {

// The fields of OSVERSIONINFOEXA that the installer reads.
struct OsVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  uint32_t platformId = 0;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  virtual uint32_t GetOEMCP() = 0;
  virtual uint32_t GetACP() = 0;
  // GetVersionExA with the extended structure; false when the call fails.
  virtual bool GetVersionExA(OsVersion* out) = 0;
  // GetVersion: the packed form (low byte major, next byte minor, high bit set on 9x).
  virtual uint32_t GetVersion() = 0;
  // GetWindowsDirectoryA / GetSystemDirectoryA with a buffer of `capacity`
  // bytes. Returns the path, or an empty text when it does not fit or the call fails.
  virtual std::string GetWindowsDirectoryA(uint32_t capacity) = 0;
  virtual std::string GetSystemDirectoryA(uint32_t capacity) = 0;
  // GetSystemDirectoryW with a buffer of `capacity` characters.
  virtual std::u16string GetSystemDirectoryW(uint32_t capacity) = 0;
  // SHGetSpecialFolderPathA(CSIDL_PROGRAM_FILES), creation not requested.
  // False when the folder is unknown.
  virtual bool GetProgramFilesFolderA(std::string* out) = 0;
  // GetUserNameA with a buffer of `capacity` bytes.
  virtual bool GetUserNameA(uint32_t capacity, std::string* out) = 0;
  virtual uint32_t GetTickCount() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
};

}  // namespace zv::platform
