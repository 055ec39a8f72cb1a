// The Win32 implementation of every platform service.
#pragma once

#include "platform/services.h"

namespace zv::platform::win32 {

class Win32FileSystem : public FileSystem {
 public:
  std::unique_ptr<File> CreateFileA(const std::string& path, uint32_t access, uint32_t share,
                                    uint32_t disposition, uint32_t flags) override;
  bool DeleteFileA(const std::string& path) override;
  bool MoveFileA(const std::string& from, const std::string& to) override;
  bool CopyFileA(const std::string& from, const std::string& to, bool failIfExists) override;
  uint32_t GetFileAttributesA(const std::string& path) override;
  bool SetFileAttributesA(const std::string& path, uint32_t attributes) override;
  bool CreateDirectoryA(const std::string& path) override;
  bool FindFilesA(const std::string& pattern, std::vector<std::string>* names) override;
  bool SetCurrentDirectoryA(const std::string& path) override;
  uint32_t GetDriveTypeA(const std::string& root) override;
  bool DisableFsRedirection(void** oldValue) override;
  bool RevertFsRedirection(void* oldValue) override;
  uint32_t LastError() override;
};

class Win32Registry : public Registry {
 public:
  uint32_t RegOpenKeyExA(RegKey parent, const std::string& subKey, uint32_t access,
                         RegKey* out) override;
  uint32_t RegOpenKeyExW(RegKey parent, const std::u16string& subKey, uint32_t access,
                         RegKey* out) override;
  uint32_t RegCreateKeyExA(RegKey parent, const std::string& subKey, uint32_t access,
                           RegKey* out) override;
  uint32_t RegCreateKeyExW(RegKey parent, const std::u16string& subKey, uint32_t access,
                           RegKey* out) override;
  uint32_t RegCloseKey(RegKey key) override;
  uint32_t RegQueryInfoKeyA(RegKey key, uint32_t* subKeys, uint32_t* maxSubKeyLength) override;
  uint32_t RegEnumKeyExA(RegKey key, uint32_t index, std::string* name) override;
  uint32_t RegQueryValueExA(RegKey key, const std::string& name, uint32_t* type,
                            std::vector<uint8_t>* data, uint32_t capacity) override;
  uint32_t RegSetValueExA(RegKey key, const std::string& name, uint32_t type, const void* data,
                          uint32_t size) override;
  uint32_t RegSetValueExW(RegKey key, const std::u16string& name, uint32_t type, const void* data,
                          uint32_t size) override;
  uint32_t RegDeleteValueA(RegKey key, const std::string& name) override;
  uint32_t RegDeleteKeyA(RegKey parent, const std::string& subKey) override;
};

class Win32SystemInfo : public SystemInfo {
 public:
  uint32_t GetOEMCP() override;
  uint32_t GetACP() override;
  bool GetVersionExA(OsVersion* out) override;
  uint32_t GetVersion() override;
  std::string GetWindowsDirectoryA(uint32_t capacity) override;
  std::string GetSystemDirectoryA(uint32_t capacity) override;
  std::u16string GetSystemDirectoryW(uint32_t capacity) override;
  bool GetProgramFilesFolderA(std::string* out) override;
  bool GetUserNameA(uint32_t capacity, std::string* out) override;
  uint32_t GetTickCount() override;
  void Sleep(uint32_t milliseconds) override;
};

class Win32MessageBoxes : public MessageBoxes {
 public:
  int MessageBoxA(const std::string& text, const std::string& caption, uint32_t type) override;
  int MessageBoxW(const std::u16string& text, const std::u16string& caption,
                  uint32_t type) override;
};

class Win32Processes : public Processes {
 public:
  uint32_t WinExec(const std::string& commandLine, uint32_t show) override;
};

class Win32InputMethods : public InputMethods {
 public:
  LayoutHandle ImmInstallIMEW(const std::u16string& imeFile,
                              const std::u16string& layoutText) override;
  std::string ImmGetDescriptionA(LayoutHandle layout) override;
  std::vector<LayoutHandle> GetKeyboardLayoutList() override;
  LayoutHandle GetKeyboardLayout() override;
  LayoutHandle ActivateKeyboardLayout(LayoutHandle layout, uint32_t flags) override;
};

class Win32Security : public Security {
 public:
  std::unique_ptr<AccessList> GetFileAccessList(const std::string& path) override;
  std::unique_ptr<AccessList> AddInheritableFullAccess(const AccessList& existing,
                                                       const std::string& account) override;
  bool SetFileAccessList(const std::string& path, const AccessList& list) override;
};

class Win32Resources : public Resources {
 public:
  ResourceBytes LoadResourceBytes(const std::string& name, const std::string& type) override;
  std::unique_ptr<GlobalBlock> AllocateZeroedBlock(size_t size) override;
};

class Win32Md5 : public Md5 {
 public:
  std::unique_ptr<Md5Context> Begin() override;
};

// Fills the process-wide service table with the Win32 implementation.
void InstallWin32Services();

}  // namespace zv::platform::win32
