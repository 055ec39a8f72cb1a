// What the fake machine says about itself: version, code pages, folders, the
// user, and a tick count that only Sleep moves.
#pragma once

#include <cstdint>
#include <string>

#include "platform/fake/machine_state.h"
#include "platform/system_info.h"
#include "platform/win_constants.h"

namespace zv::fake {

class FakeSystemInfo : public platform::SystemInfo {
 public:
  explicit FakeSystemInfo(MachineState& state) : state_(state) {}

  // platform::SystemInfo
  uint32_t GetOEMCP() override;
  uint32_t GetACP() override;
  bool GetVersionExA(platform::OsVersion* out) override;
  uint32_t GetVersion() override;
  std::string GetWindowsDirectoryA(uint32_t capacity) override;
  std::string GetSystemDirectoryA(uint32_t capacity) override;
  std::u16string GetSystemDirectoryW(uint32_t capacity) override;
  bool GetProgramFilesFolderA(std::string* out) override;
  bool GetUserNameA(uint32_t capacity, std::string* out) override;
  uint32_t GetTickCount() override;
  void Sleep(uint32_t milliseconds) override;

  // Settings. Folder setters change what is reported, not the file system.
  void SetVersion(uint32_t major, uint32_t minor, uint32_t build,
                  uint32_t platformId = win::kVerPlatformWin32Nt);
  // Sets both the OEM and the ANSI code page.
  void SetCodePage(uint32_t codePage);
  void SetOemCodePage(uint32_t codePage) { state_.settings.oemCodePage = codePage; }
  void SetAnsiCodePage(uint32_t codePage) { state_.settings.ansiCodePage = codePage; }
  void SetWindowsDirectory(const std::string& path) { state_.settings.windowsDir = path; }
  void SetSystemDirectory(const std::string& path) { state_.settings.systemDir = path; }
  void SetProgramFilesFolder(const std::string& path) { state_.settings.programFiles = path; }
  // The Program Files query fails from now on.
  void SetProgramFilesUnknown() { state_.settings.programFiles.reset(); }
  void SetUserName(const std::string& name) { state_.settings.userName = name; }
  void SetTickCount(uint32_t ticks) { state_.settings.tickCount = ticks; }
  // The total of all Sleep calls.
  uint64_t SleptMilliseconds() const { return slept_; }

 private:
  // The folder if it fits a buffer of `capacity` with its terminator, else "".
  std::string Fitting(std::string_view operation, const std::string& path, uint32_t capacity);

  MachineState& state_;
  uint64_t slept_ = 0;
};

}  // namespace zv::fake
