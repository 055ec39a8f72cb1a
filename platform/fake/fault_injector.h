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

class FaultInjector {
 public:
  // Makes calls of `operation` (the Win32 function name, such as "CreateFileA")
  // fail with `error`. With a non-empty `subject`, only calls whose path, key
  // or value name contains it (ignoring ASCII case) fail. `times` limits how
  // many calls fail; -1 means every matching call from now on.
  void Fail(const std::string& operation, uint32_t error, const std::string& subject, int times);
  // Forgets every scripted failure (the call counts stay).
  void Clear();

  // Counts a call of `operation` on `subjects` and tells whether it must fail,
  // and with which error. The first matching rule wins and is used up by one.
  std::optional<uint32_t> Check(std::string_view operation,
                                std::initializer_list<std::string_view> subjects);

  // How many times `operation` was called, failed or not.
  int Calls(std::string_view operation) const;

 private:
  struct Rule {
    std::string operation;
    uint32_t error = 0;
    std::string subject;  // ASCII lower case
    int remaining = -1;
  };

  std::vector<Rule> rules_;
  std::map<std::string, int, std::less<>> calls_;
};

}  // namespace zv::fake
