// The demo package installed by the installer's own extraction and
// verification on a fake machine: every record unpacks without a message,
// passes verification, each skin unpacks and passes, and the install
// directory ends up with a comfortable margin over the 74 files that the
// install report requires.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "demo_package_support.h"
#include "package/extract.h"
#include "package/verify.h"
#include "package/work_buffer.h"
#include "platform/fake/fake_machine.h"
#include "state/process_state.h"
#include "system/install_locations.h"

namespace zv::demo {
namespace {

constexpr char kInstallDir[] = "C:\\zavoli\\";

// The exemption list that the installer verifies its package with.
constexpr char kExemptions[] =
    "zavo320.ime zavo321.ime zavo640.ime zavo641.ime zvszsj43.zvh setupw64.exe zavocyzk.bak "
    "zavokpmt.exe zavokpm6.exe ";

// Files the installer writes into the install directory itself.
const char* const kInstallerWrites[] = {"zavoli32.ime", "zavocyzk.dat", "zavopyck.dat",
                                        "wbpybz.zvh",   "zvnetsj.dat",  "install.zvh"};
// Entries it removes: the language variants, and zavokpm6.exe renamed over
// zavokpmt.exe on Windows Vista and later.
const char* const kInstallerRemoves[] = {"zavo320.ime", "zavo321.ime", "zavo640.ime", "zavo641.ime",
                                         "zavokpm6.exe"};

class DemoInstallTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Demo().error, "") << Demo().error;
    ResetProcessState();
    machine_.Install();
    machine_.AddDirectory("C:\\zavoli");
  }
  void TearDown() override { ResetProcessState(); }

  ScratchArea Scratch(size_t offset = 0) {
    return ScratchArea{workBuffer_.data() + offset, workBuffer_.size() - offset};
  }
  std::string Installed(const std::string& name) {
    return machine_.ReadText(kInstallDir + name).value_or("<missing>");
  }

  fake::FakeMachine machine_;
  std::vector<uint8_t> workBuffer_ = std::vector<uint8_t>(kWorkBufferSize);
};

TEST_F(DemoInstallTest, EveryRecordUnpacksAndPassesVerification) {
  EXPECT_TRUE(ExtractContainer(Demo().container(), kInstallDir, Scratch()));
  EXPECT_TRUE(machine_.MessageBoxes().empty());
  bool ok = false;
  const std::string withTrailer = ReadWholeFile(DemoDir() + "/zavocyzk_trailer.bak", &ok);
  ASSERT_TRUE(ok);
  for (const DemoRecord& record : Demo().records) {
    const std::string& expected = record.name == "zavocyzk.bak" ? withTrailer : record.content;
    EXPECT_TRUE(Installed(record.name) == expected) << record.name;
  }
  std::string failList;
  EXPECT_EQ(VerifyContainer(Demo().container(), kInstallDir, &failList, kExemptions),
            static_cast<int>(Demo().records.size()));
  EXPECT_EQ(failList, "");
}

TEST_F(DemoInstallTest, EachSkinUnpacksBehindItsArchiveAndPassesVerification) {
  for (const char* name : {kColdPorcelainSkin, kLittleAngelSkin, kPinkPorcelainSkin}) {
    const DemoRecord* record = Demo().Find(name);
    ASSERT_NE(record, nullptr);
    for (const std::string& file : SkinFileNames()) machine_.RemovePath(kInstallDir + file);
    // As the installer does it: the archive in the first 131,072 bytes of the
    // work buffer, its extraction behind them.
    ASSERT_LT(record->content.size(), kSkinArchiveRoom);
    std::copy(record->content.begin(), record->content.end(), workBuffer_.begin());
    const ContainerBytes archive{workBuffer_.data(), record->content.size()};
    EXPECT_TRUE(ExtractContainer(archive, kInstallDir, Scratch(kSkinArchiveRoom))) << name;
    std::string failList;
    EXPECT_EQ(VerifyContainer(archive, kInstallDir, &failList, ""), 8) << name;
    EXPECT_EQ(failList, "") << name;
    for (const std::string& file : SkinFileNames()) {
      EXPECT_TRUE(machine_.Exists(kInstallDir + file)) << file;
    }
  }
  EXPECT_TRUE(machine_.MessageBoxes().empty());
}

TEST_F(DemoInstallTest, InstallDirectoryHoldsWellOverSeventyFourFiles) {
  ASSERT_TRUE(ExtractContainer(Demo().container(), kInstallDir, Scratch()));
  std::set<std::string> files;
  for (const std::string& name : machine_.ListDirectory("C:\\zavoli")) files.insert(name);
  for (const char* name : kInstallerWrites) {
    EXPECT_EQ(files.count(name), 0u) << name << " would be written over a package entry";
    files.insert(name);
  }
  for (const char* name : kInstallerRemoves) EXPECT_EQ(files.erase(name), 1u) << name;
  // Without the skin: the silent mode installs none and writes no install.zvh.
  files.erase("install.zvh");
  EXPECT_GE(files.size(), 80u);
  for (const std::string& name : SkinFileNames()) {
    EXPECT_EQ(files.count(name), 0u) << name << " is already a package entry";
  }
}

}  // namespace
}  // namespace zv::demo
