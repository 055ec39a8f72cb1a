// Linked into every unit test program: a scripted failure of the fake machine
// that never fired fails the test that scripted it.
#include <gtest/gtest.h>

#include <string>

#include "platform/fake/fault_injector.h"

namespace {

const bool kReporterInstalled = [] {
  zv::fake::SetUnfiredFaultReporter([](const std::string& message) { ADD_FAILURE() << message; });
  return true;
}();

}  // namespace
