#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/win32_services.h"

namespace zv::platform::win32 {
namespace {

class Win32File : public File {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}

  bool Read(void* buffer, uint32_t size, uint32_t* got) override {
    DWORD count = 0;
    const BOOL ok = ReadFile(handle_.get(), buffer, size, &count, nullptr);
    *got = count;
    return ok != FALSE;
  }
  bool Write(const void* data, uint32_t size, uint32_t* written) override {
    DWORD count = 0;
    const BOOL ok = WriteFile(handle_.get(), data, size, &count, nullptr);
    *written = count;
    return ok != FALSE && count == size;
  }
  uint64_t Size() override {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle_.get(), &size)) return 0;
    return static_cast<uint64_t>(size.QuadPart);
  }
  bool Truncate(uint64_t size) override {
    return Seek(size) && SetEndOfFile(handle_.get()) != FALSE;
  }
  bool Seek(uint64_t offset) override {
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(handle_.get(), position, nullptr, FILE_BEGIN) != FALSE;
  }

 private:
  ScopedHandle handle_;
};

// A search of FindFirstFileA, closed with the object.
class ScopedFind {
 public:
  explicit ScopedFind(HANDLE handle) : handle_(handle) {}
  ~ScopedFind() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  ScopedFind(const ScopedFind&) = delete;
  ScopedFind& operator=(const ScopedFind&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

void* Kernel32Function(const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name));
}

bool IsWow64() {
  using Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto fn = reinterpret_cast<Fn>(Kernel32Function("IsWow64Process"));
  BOOL isWow64 = FALSE;
  return fn != nullptr && fn(GetCurrentProcess(), &isWow64) && isWow64;
}

}  // namespace

std::unique_ptr<File> Win32FileSystem::CreateFileA(const std::string& path, uint32_t access,
                                                   uint32_t share, uint32_t disposition,
                                                   uint32_t flags) {
  HANDLE handle = ::CreateFileA(path.c_str(), access, share, nullptr, disposition, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32File>(handle);
}

bool Win32FileSystem::DeleteFileA(const std::string& path) {
  return ::DeleteFileA(path.c_str()) != FALSE;
}

bool Win32FileSystem::MoveFileA(const std::string& from, const std::string& to) {
  return ::MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool Win32FileSystem::CopyFileA(const std::string& from, const std::string& to, bool failIfExists) {
  return ::CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE) != FALSE;
}

uint32_t Win32FileSystem::GetFileAttributesA(const std::string& path) {
  return ::GetFileAttributesA(path.c_str());
}

bool Win32FileSystem::SetFileAttributesA(const std::string& path, uint32_t attributes) {
  return ::SetFileAttributesA(path.c_str(), attributes) != FALSE;
}

bool Win32FileSystem::CreateDirectoryA(const std::string& path) {
  return ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool Win32FileSystem::FindFilesA(const std::string& pattern, std::vector<std::string>* names) {
  names->clear();
  DWORD error = ERROR_SUCCESS;
  {
    WIN32_FIND_DATAA found{};
    ScopedFind find(::FindFirstFileA(pattern.c_str(), &found));
    if (find.get() == INVALID_HANDLE_VALUE) return false;
    do {
      names->push_back(found.cFileName);
    } while (::FindNextFileA(find.get(), &found));
    error = ::GetLastError();
  }
  // The search ends with ERROR_NO_MORE_FILES; anything else cut it short.
  if (error == ERROR_NO_MORE_FILES) return true;
  names->clear();
  ::SetLastError(error);
  return false;
}

bool Win32FileSystem::SetCurrentDirectoryA(const std::string& path) {
  return ::SetCurrentDirectoryA(path.c_str()) != FALSE;
}

uint32_t Win32FileSystem::GetDriveTypeA(const std::string& root) {
  return ::GetDriveTypeA(root.c_str());
}

// The WOW64 functions exist only from XP SP2 on; they are looked up so that
// the program still starts on systems without them, where there is no
// redirection to switch.
bool Win32FileSystem::DisableFsRedirection(void** oldValue) {
  using Fn = BOOL(WINAPI*)(PVOID*);
  *oldValue = nullptr;
  auto fn = reinterpret_cast<Fn>(Kernel32Function("Wow64DisableWow64FsRedirection"));
  if (fn == nullptr || !IsWow64()) return true;
  return fn(oldValue) != FALSE;
}

bool Win32FileSystem::RevertFsRedirection(void* oldValue) {
  using Fn = BOOL(WINAPI*)(PVOID);
  auto fn = reinterpret_cast<Fn>(Kernel32Function("Wow64RevertWow64FsRedirection"));
  if (fn == nullptr || !IsWow64()) return true;
  return fn(oldValue) != FALSE;
}

uint32_t Win32FileSystem::LastError() { return ::GetLastError(); }

}  // namespace zv::platform::win32
