#include "platform/fake/fake_system.h"

#include "platform/fake/code_page.h"
#include "platform/win_constants.h"

namespace zv::fake {

uint32_t FakeSystemInfo::GetOEMCP() { return state_.settings.oemCodePage; }

uint32_t FakeSystemInfo::GetACP() { return state_.settings.ansiCodePage; }

bool FakeSystemInfo::GetVersionExA(platform::OsVersion* out) {
  if (state_.Injected("GetVersionExA", {})) return false;
  if (out == nullptr) return state_.Fail(win::kErrorInvalidParameter);
  *out = state_.settings.version;
  return true;
}

uint32_t FakeSystemInfo::GetVersion() {
  const platform::OsVersion& version = state_.settings.version;
  uint32_t packed = (version.major & 0xFF) | ((version.minor & 0xFF) << 8);
  if (version.platformId == win::kVerPlatformWin32Nt) {
    return packed | ((version.build & 0x7FFF) << 16);
  }
  return packed | 0x80000000u;  // the 9x family
}

std::string FakeSystemInfo::Fitting(std::string_view operation, const std::string& path,
                                    uint32_t capacity) {
  if (state_.Injected(operation, {path})) return std::string();
  if (path.size() + 1 > capacity) return std::string();
  return path;
}

std::string FakeSystemInfo::GetWindowsDirectoryA(uint32_t capacity) {
  return Fitting("GetWindowsDirectoryA", state_.settings.windowsDir, capacity);
}

std::string FakeSystemInfo::GetSystemDirectoryA(uint32_t capacity) {
  return Fitting("GetSystemDirectoryA", state_.settings.systemDir, capacity);
}

std::u16string FakeSystemInfo::GetSystemDirectoryW(uint32_t capacity) {
  if (state_.Injected("GetSystemDirectoryW", {state_.settings.systemDir})) return u"";
  std::u16string path = AnsiToUtf16(state_.settings.ansiCodePage, state_.settings.systemDir);
  if (path.size() + 1 > capacity) return u"";
  return path;
}

bool FakeSystemInfo::GetProgramFilesFolderA(std::string* out) {
  if (state_.Injected("SHGetSpecialFolderPathA", {})) return false;
  if (out == nullptr || !state_.settings.programFiles) {
    return state_.Fail(win::kErrorFileNotFound);
  }
  *out = *state_.settings.programFiles;
  return true;
}

bool FakeSystemInfo::GetUserNameA(uint32_t capacity, std::string* out) {
  if (state_.Injected("GetUserNameA", {})) return false;
  if (out == nullptr) return state_.Fail(win::kErrorInvalidParameter);
  const std::string& name = state_.settings.userName;
  if (name.size() + 1 > capacity) return state_.Fail(win::kErrorInsufficientBuffer);
  *out = name;
  return true;
}

uint32_t FakeSystemInfo::GetTickCount() { return state_.settings.tickCount; }

void FakeSystemInfo::Sleep(uint32_t milliseconds) {
  state_.settings.tickCount += milliseconds;  // wraps after 49.7 days, as on Windows
  slept_ += milliseconds;
}

void FakeSystemInfo::SetVersion(uint32_t major, uint32_t minor, uint32_t build,
                                uint32_t platformId) {
  state_.settings.version = platform::OsVersion{major, minor, build, platformId};
}

void FakeSystemInfo::SetCodePage(uint32_t codePage) {
  state_.settings.oemCodePage = codePage;
  state_.settings.ansiCodePage = codePage;
}

}  // namespace zv::fake
