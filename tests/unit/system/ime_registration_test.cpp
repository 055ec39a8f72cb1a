#include "system/ime_registration.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_machine.h"
#include "platform/win_constants.h"

namespace zv {
namespace {

TEST(RegisterImeWithSystem, HandsTheSystemDirectoryImeToTheInputMethodManager) {
  fake::FakeMachine machine(fake::Preset::kWindows7x86);
  machine.Install();
  machine.AddFile("C:\\Windows\\system32\\zavoli4.ime", "MZ");

  EXPECT_EQ(RegisterImeWithSystem(), 1);
  ASSERT_EQ(machine.ImeInstalls().size(), 1u);
  EXPECT_EQ(machine.ImeInstalls()[0].imeFile, u"C:\\Windows\\system32\\zavoli4.ime");
  EXPECT_EQ(machine.ImeInstalls()[0].layoutText, u"智能岚汀输入平台  7.8");
  EXPECT_NE(InstalledLayout, 0u);
  EXPECT_EQ(InstalledLayout, machine.ImeInstalls()[0].result);
}

TEST(RegisterImeWithSystem, ReportsRefusalThroughItsResultAndTheLayout) {
  fake::FakeMachine machine(fake::Preset::kWindows7x86);
  machine.Install();
  machine.AddFile("C:\\Windows\\system32\\zavoli4.ime", "MZ");
  InstalledLayout = 0x1234;
  machine.FailOperation("ImmInstallIMEW", win::kErrorAccessDenied);
  EXPECT_EQ(RegisterImeWithSystem(), 0);
  EXPECT_EQ(InstalledLayout, 0u);

  // A system directory too long for the 100-character buffer gives a bare
  // name, which the system refuses as it finds no such file.
  machine.ClearFailures();
  machine.SetSystemDirectory("C:\\" + std::string(120, 'w'));
  EXPECT_EQ(RegisterImeWithSystem(), 0);
  EXPECT_EQ(machine.ImeInstalls().back().imeFile, u"\\zavoli4.ime");
}

}  // namespace
}  // namespace zv
