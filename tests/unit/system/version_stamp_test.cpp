#include "system/version_stamp.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "package/work_buffer.h"
#include "platform/fake/fake_machine.h"
#include "platform/win_constants.h"
#include "tests/unit/system/utf16_bytes.h"

namespace zv {
namespace {

using test::Utf16;

const std::u16string kBrand = u"智能岚汀输入平台";

TEST(StampVersionBytes, RewritesOnlyVersions63And67AfterTheBrandText) {
  std::string bytes = "MZ" + Utf16(kBrand + u"  6.3") + "::" + Utf16(kBrand + u" V6.7") +
                      Utf16(kBrand + u"  6.5") + Utf16(u"其他  6.3");
  const std::string expected = "MZ" + Utf16(kBrand + u"  7.8") + "::" + Utf16(kBrand + u" V7.8") +
                               Utf16(kBrand + u"  6.5") + Utf16(u"其他  6.3");
  EXPECT_EQ(StampVersionBytes(&bytes), 2);
  EXPECT_EQ(bytes, expected);
}

TEST(StampVersionBytes, NeverReachesPastTheEnd) {
  // The brand text right at the end, and cut off inside its version.
  for (const std::u16string& tail :
       {std::u16string(), std::u16string(u"  6."), std::u16string(u" "), std::u16string(u"  6")}) {
    std::string bytes = Utf16(kBrand + tail);
    const std::string before = bytes;
    EXPECT_EQ(StampVersionBytes(&bytes), 0);
    EXPECT_EQ(bytes, before);
  }
  // The last byte that the version needs is inside: still stamped.
  std::string exact = Utf16(kBrand + u"  6.3").substr(0, 16 + 9);
  EXPECT_EQ(StampVersionBytes(&exact), 1);
  EXPECT_EQ(exact[16 + 8], '8');
  std::string empty;
  EXPECT_EQ(StampVersionBytes(&empty), 0);
}

class StampImeVersionTest : public ::testing::Test {
 protected:
  void SetUp() override { machine_.Install(); }
  fake::FakeMachine machine_{fake::Preset::kWindows7x64};
};

TEST_F(StampImeVersionTest, StampsTheWholeFileEvenPastTheOldReadLimit) {
  WorkBufferReservation buffer;
  const std::string head(200000, 'x');
  machine_.AddFile("C:\\a.ime", head + Utf16(kBrand + u"  6.3") + "tail");
  StampImeVersion("C:\\a.ime");
  EXPECT_EQ(machine_.ReadText("C:\\a.ime"), head + Utf16(kBrand + u"  7.8") + "tail");
}

TEST_F(StampImeVersionTest, LeavesTheFileAloneWhenItCannotBeReadOrNeedsNoStamp) {
  const std::string content = Utf16(kBrand + u"  6.3");
  machine_.AddFile("C:\\a.ime", content);
  {
    // No work buffer: nothing happens.
    StampImeVersion("C:\\a.ime");
    EXPECT_EQ(machine_.ReadText("C:\\a.ime"), content);
  }
  WorkBufferReservation buffer;
  machine_.FailOperation("ReadFile", win::kErrorAccessDenied, "a.ime", 1);
  StampImeVersion("C:\\a.ime");
  EXPECT_EQ(machine_.ReadText("C:\\a.ime"), content);

  machine_.AddFile("C:\\plain.ime", "no brand here", win::kAttributeReadOnly);
  const int writesBefore = machine_.CallCount("WriteFile");
  StampImeVersion("C:\\plain.ime");
  EXPECT_EQ(machine_.CallCount("WriteFile"), writesBefore);
  EXPECT_EQ(machine_.ReadText("C:\\plain.ime"), "no brand here");
  StampImeVersion("C:\\missing.ime");
  EXPECT_FALSE(machine_.Exists("C:\\missing.ime"));
}

// A rewrite that fails at any step leaves the module whole and unstamped
// under its name, with nothing left beside it.
TEST_F(StampImeVersionTest, AFailedRewriteLeavesTheUnstampedModuleWhole) {
  WorkBufferReservation buffer;
  const std::string content = "MZ" + Utf16(kBrand + u"  6.3") + std::string(4096, 'm');
  struct Case {
    const char* what;
    std::function<uint32_t(fake::FakeMachine&)> fault;  // a handle it holds, or 0
  };
  const Case cases[] = {
      {"disk full",
       [](fake::FakeMachine& m) {
         m.SetDiskFullAfter(100);
         return 0u;
       }},
      {"write refused",
       [](fake::FakeMachine& m) {
         m.FailOperation("WriteFile", win::kErrorAccessDenied);
         return 0u;
       }},
      {"rename refused",
       [](fake::FakeMachine& m) {
         m.FailOperation("MoveFileA", win::kErrorAccessDenied);
         return 0u;
       }},
      {"held open by another program",
       [](fake::FakeMachine& m) {
         return m.OpenHandle("C:\\a.ime", win::kGenericRead, win::kFileShareRead);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    machine_.AddFile("C:\\a.ime", content);
    const uint32_t held = c.fault(machine_);
    StampImeVersion("C:\\a.ime");
    if (held != 0) machine_.ReleaseHandle(held);
    machine_.ClearFailures();
    machine_.ClearDiskFull();
    EXPECT_EQ(machine_.ReadText("C:\\a.ime"), content);
    for (const char* beside : {"C:\\a.ime~zvn", "C:\\a.ime~zvo", "C:\\a2.ime"}) {
      EXPECT_FALSE(machine_.Exists(beside)) << beside;
    }
  }
}

}  // namespace
}  // namespace zv
