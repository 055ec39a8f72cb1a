// The settings and the per-thread state that every service of the fake
// machine shares: version, code pages, folders, drives, the last error.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fake/fault_injector.h"
#include "platform/system_info.h"

namespace zv::fake {

// The process ids of the installer and of every other program whose windows
// the machine shows.
inline constexpr uint32_t kInstallerProcessId = 0x1234;
inline constexpr uint32_t kOtherProcessId = 0x5678;

struct MachineSettings {
  platform::OsVersion version;
  uint32_t oemCodePage = 936;
  uint32_t ansiCodePage = 936;
  std::string windowsDir = "C:\\Windows";
  std::string systemDir = "C:\\Windows\\system32";
  // Empty when the Program Files query is to fail.
  std::optional<std::string> programFiles;
  std::string userName = "Administrator";
  std::string currentDir = "C:\\";
  // A 32-bit process on 64-bit Windows: file system redirection applies.
  bool wow64 = false;
  // Drive letter (upper case) to its GetDriveType value; absent letters have no root.
  std::map<char, uint32_t> driveTypes;
  uint32_t tickCount = 1000000;
};

struct MachineState {
  MachineSettings settings;
  FaultInjector faults;
  // GetLastError of the one thread the installer runs on.
  uint32_t lastError = 0;
  // The thread switched WOW64 file system redirection off.
  bool redirectionDisabled = false;
  // Calls that load a module or start a program, made while redirection was
  // off: "MessageBoxA <text>", "WinExec <command line>", ...
  std::vector<std::string> callsWithRedirectionOff;

  // Records `error` as the last error and returns false, for `return Fail(...)`.
  bool Fail(uint32_t error) {
    lastError = error;
    return false;
  }
  // Runs the fault check of `operation`; on a scripted failure records its
  // error and returns true.
  bool Injected(std::string_view operation, std::initializer_list<std::string_view> subjects) {
    std::optional<uint32_t> error = faults.Check(operation, subjects);
    if (!error) return false;
    lastError = *error;
    return true;
  }
  // Notes a call of `operation` that loads a module (a message box, a program
  // start, an IME) when the thread has redirection switched off: a 32-bit
  // process would then be sent to the 64-bit system folder for the DLL, and a
  // delay-loaded function that fails to resolve stays failed.
  void NoteModuleLoad(std::string_view operation, std::string_view subject) {
    if (!redirectionDisabled) return;
    callsWithRedirectionOff.push_back(std::string(operation) + " " + std::string(subject));
  }
};

}  // namespace zv::fake
