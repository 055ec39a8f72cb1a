#include "platform/scoped_reg_key.h"

#include <gtest/gtest.h>

#include <utility>

#include "platform/fake/fake_machine.h"
#include "platform/win_constants.h"

namespace zv::platform {
namespace {

TEST(ScopedRegKey, ClosesEveryKeyItHeldExactlyOnce) {
  fake::FakeMachine machine;
  machine.Install();
  machine.CreateKey(kHkeyLocalMachine, std::string("Software\\Zavo"));
  {
    ScopedRegKey key;
    EXPECT_FALSE(key.valid());
    ASSERT_EQ(key.OpenA(kHkeyLocalMachine, "Software\\Zavo", win::kKeyRead), 0u);
    EXPECT_TRUE(key.valid());
    EXPECT_EQ(machine.OpenKeyCount(), 1u);
    // Opening again through the same object closes the first key.
    ASSERT_EQ(key.OpenW(kHkeyLocalMachine, u"Software\\Zavo", win::kKeyRead), 0u);
    EXPECT_EQ(machine.OpenKeyCount(), 1u);

    ScopedRegKey moved(std::move(key));
    EXPECT_FALSE(key.valid());
    EXPECT_TRUE(moved.valid());
    EXPECT_EQ(machine.OpenKeyCount(), 1u);

    ScopedRegKey created;
    ASSERT_EQ(created.CreateW(moved.get(), u"岚汀", win::kKeyAllAccess), 0u);
    EXPECT_EQ(machine.OpenKeyCount(), 2u);
    created = std::move(moved);  // closes the created key, takes the other
    EXPECT_EQ(machine.OpenKeyCount(), 1u);
    created.Close();
    created.Close();
    EXPECT_EQ(machine.OpenKeyCount(), 0u);
  }
  EXPECT_EQ(machine.OpenKeyCount(), 0u);
  EXPECT_TRUE(machine.KeyExists(kHkeyLocalMachine, u"Software\\Zavo\\岚汀"));
}

TEST(ScopedRegKey, HoldsNothingAfterAFailedCall) {
  fake::FakeMachine machine;
  machine.Install();
  ScopedRegKey key;
  ASSERT_EQ(key.CreateA(kHkeyLocalMachine, "Software\\Zavo", win::kKeyAllAccess), 0u);
  EXPECT_EQ(key.OpenA(kHkeyLocalMachine, "Software\\Missing", win::kKeyRead),
            win::kErrorFileNotFound);
  EXPECT_FALSE(key.valid());
  EXPECT_EQ(machine.OpenKeyCount(), 0u);

  machine.FailOperation("RegCreateKeyExW", win::kErrorAccessDenied);
  EXPECT_EQ(key.CreateW(kHkeyLocalMachine, u"Software\\Zavo", win::kKeyAllAccess),
            win::kErrorAccessDenied);
  EXPECT_FALSE(key.valid());
  machine.FailOperation("RegOpenKeyExW", win::kErrorAccessDenied);
  EXPECT_EQ(key.OpenW(kHkeyLocalMachine, u"Software\\Zavo", win::kKeyRead),
            win::kErrorAccessDenied);
  EXPECT_FALSE(key.valid());
  EXPECT_EQ(machine.OpenKeyCount(), 0u);

  // A key handed over by hand is released without being closed.
  ASSERT_EQ(key.OpenA(kHkeyLocalMachine, "Software\\Zavo", win::kKeyRead), 0u);
  const RegKey raw = key.Release();
  EXPECT_FALSE(key.valid());
  EXPECT_EQ(machine.OpenKeyCount(), 1u);
  ScopedRegKey adopted(raw);
  adopted.Close();
  EXPECT_EQ(machine.OpenKeyCount(), 0u);
}

}  // namespace
}  // namespace zv::platform
