// An in-memory Windows machine for the unit tests. It implements every
// platform service and adds what tests need to set the machine up, script
// the user and inject faults, and to look at what the code under test did.
//
//   zv::fake::FakeMachine machine = zv::fake::FakeMachine::Windows7x64();
//   machine.Install();  // the platform accessors now reach this machine
//   machine.AddFile("C:\\Program Files\\zavoli\\a.zvh", "bytes");
//   machine.FailOperation("WriteFile", zv::win::kErrorDiskFull, "a.zvh", 1);
//
// Each service's test-facing calls are documented in its own header
// (fake_files.h, fake_registry.h, fake_windows.h, fake_graphics.h, ...).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/fake/fake_files.h"
#include "platform/fake/fake_graphics.h"
#include "platform/fake/fake_input_methods.h"
#include "platform/fake/fake_mappings.h"
#include "platform/fake/fake_md5.h"
#include "platform/fake/fake_message_boxes.h"
#include "platform/fake/fake_processes.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_resources.h"
#include "platform/fake/fake_security.h"
#include "platform/fake/fake_system.h"
#include "platform/fake/fake_windows.h"
#include "platform/fake/machine_state.h"

namespace zv::fake {

enum class Preset {
  // 6.1.7601, a 32-bit process under WOW64: Program Files reported as
  // "C:\Program Files (x86)", SysWOW64 present.
  kWindows7x64,
  // 6.1.7601 on 32-bit Windows: no SysWOW64, no WOW64.
  kWindows7x86,
  // 5.1.2600 on 32-bit Windows.
  kWindowsXp,
};

// Holds the state before the services that share it are built.
struct MachineStateHolder {
  MachineState machine_;
};

class FakeMachine : private MachineStateHolder,
                    public FakeFileSystem,
                    public FakeRegistry,
                    public FakeSystemInfo,
                    public FakeMessageBoxes,
                    public FakeProcesses,
                    public FakeInputMethods,
                    public FakeSecurity,
                    public FakeResources,
                    public FakeMd5,
                    public FakeWindows,
                    public FakeGraphics,
                    public FakeFileMappings {
 public:
  // Every preset has code page 936, drive C: fixed with C:\Windows,
  // C:\Windows\system32 and the Program Files folders, drive D: a CD-ROM,
  // the user "Administrator" and the current directory C:\. The preset's
  // settings, drives and keys are copied from a machine built once per
  // process, so that a new machine costs little.
  explicit FakeMachine(Preset preset = Preset::kWindows7x64);
  // Empties the service table if this machine is still the one installed.
  ~FakeMachine() override;
  FakeMachine(const FakeMachine&) = delete;
  FakeMachine& operator=(const FakeMachine&) = delete;

  static FakeMachine Windows7x64() { return FakeMachine(Preset::kWindows7x64); }
  static FakeMachine Windows7x86() { return FakeMachine(Preset::kWindows7x86); }
  static FakeMachine WindowsXp() { return FakeMachine(Preset::kWindowsXp); }

  // Puts this machine's services, and a text codec over its ANSI code
  // page, into the process-wide tables.
  void Install();

  // Makes calls of the Win32 function `operation` ("CreateFileA", "WriteFile",
  // "RegSetValueExA", ...) fail with `error`: only those whose path, key or
  // value name contains `subject` (ASCII case ignored) when it is given, and
  // only `times` of them unless it is -1.
  void FailOperation(const std::string& operation, uint32_t error, const std::string& subject = "",
                     int times = -1);
  // Makes only the `nth` call (counting from 1) of `operation` from now on
  // fail with `error`, whatever its subject.
  void FailNthCall(const std::string& operation, uint32_t error, int nth) {
    machine_.faults.Fail(operation, error, "", 1, nth - 1);
  }
  void ClearFailures() { machine_.faults.Clear(); }
  // How many times the code under test called `operation`.
  int CallCount(const std::string& operation) const { return machine_.faults.Calls(operation); }
  // Notes every call from now on, in order, with its subjects.
  void RecordCalls(bool on) { machine_.faults.RecordCalls(on); }
  const std::vector<FaultInjector::CallRecord>& RecordedCalls() const {
    return machine_.faults.RecordedCalls();
  }
  // Every operation called so far with its count.
  const std::map<std::string, int, std::less<>>& CallCounts() const {
    return machine_.faults.AllCalls();
  }
  // The calls that load a module or start a program (message boxes, WinExec,
  // ImmInstallIMEW, ActivateKeyboardLayout, the access-list calls) made while
  // WOW64 redirection was switched off, as "<operation> <text, command line
  // or path>". They still do their work; on Windows they may not.
  const std::vector<std::string>& CallsWithRedirectionOff() const {
    return machine_.callsWithRedirectionOff;
  }

  const MachineSettings& Settings() const { return machine_.settings; }

 private:
  // Copies `prototype`'s settings, drives and keys, or builds the preset
  // call by call when it is null.
  FakeMachine(Preset preset, const FakeMachine* prototype);
  // The machine of `preset` built call by call, once per process.
  static const FakeMachine& Prototype(Preset preset);
  void CopyPresetFrom(const FakeMachine& prototype);
  void ApplyPreset(Preset preset);
  void AddStandardRegistry();

  bool installed_ = false;
};

}  // namespace zv::fake
