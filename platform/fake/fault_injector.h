// Scripted failures of named Win32 operations for the fake machine.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zv::fake {

// Told of every scripted failure that was forgotten (by Clear or with the
// machine) without having failed a single call: a misspelt operation or a
// subject that no call names would otherwise let a fault test pass without
// testing anything. The default reporter prints the message and aborts; unit
// tests install one that fails the running test instead.
using UnfiredFaultReporter = void (*)(const std::string& message);
// Returns the reporter it replaces; null puts the default back.
UnfiredFaultReporter SetUnfiredFaultReporter(UnfiredFaultReporter reporter);

class FaultInjector {
 public:
  FaultInjector() = default;
  ~FaultInjector();
  FaultInjector(const FaultInjector&) = delete;
  FaultInjector& operator=(const FaultInjector&) = delete;

  // Makes calls of `operation` (the Win32 function name, such as "CreateFileA")
  // fail with `error`. With a non-empty `subject`, only calls whose path, key
  // or value name contains it (ignoring ASCII case) fail. `times` limits how
  // many calls fail; -1 means every matching call from now on.
  // The first `skip` matching calls pass before the failures begin.
  void Fail(const std::string& operation, uint32_t error, const std::string& subject, int times,
            int skip = 0);
  // Forgets every scripted failure (the call counts stay), reporting those
  // that never fired.
  void Clear();

  // Counts a call of `operation` on `subjects` and tells whether it must fail,
  // and with which error. The first matching rule wins and is used up by one.
  std::optional<uint32_t> Check(std::string_view operation,
                                std::initializer_list<std::string_view> subjects);

  // How many times `operation` was called, failed or not.
  int Calls(std::string_view operation) const;
  // One call as RecordCalls notes it: the operation and every path, key or
  // value name it named, joined by '|'.
  struct CallRecord {
    std::string operation;
    std::string subjects;
  };
  // Starts or stops noting every call in order (a clean run's log tells a
  // fault sweep which call touches which file).
  void RecordCalls(bool on) { recording_ = on; }
  const std::vector<CallRecord>& RecordedCalls() const { return recorded_; }

  // Every operation called so far with its count, by name.
  const std::map<std::string, int, std::less<>>& AllCalls() const { return calls_; }

 private:
  struct Rule {
    std::string operation;
    uint32_t error = 0;
    std::string subject;  // ASCII lower case
    int remaining = -1;
    int skip = 0;  // matching calls still to let pass
    bool fired = false;
  };

  void ReportUnfired() const;

  std::vector<Rule> rules_;
  std::map<std::string, int, std::less<>> calls_;
  bool recording_ = false;
  std::vector<CallRecord> recorded_;
};

}  // namespace zv::fake
