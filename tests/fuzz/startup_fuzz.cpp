// libFuzzer target: the small readers of the start-up and the settings, on a
// fresh fake Windows 7 machine each. The first byte chooses the reader:
//   0  the command line: the keyword tests and the "regzv32=" path parse of
//      the companion start-up, then the remembered directory written and
//      read back;
//   1  "<WindowsDir>\zavopath.zvh" as read into InstallDir or
//      PreviousInstallDir, and as the administrator check reads it;
//   2  "zvnetsj.dat" as the web-address page reads it;
//   3  the 200-byte option record "zvszsj43.zvh" as the install adjusts it.
// Each reader's result is checked against what its contract says it must
// be, and nothing may change on the disk outside the files it may write.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "app/administrator_check.h"
#include "app/command_line.h"
#include "fuzz_support.h"
#include "platform/fake/fake_machine.h"
#include "settings/web_address.h"
#include "state/locations.h"
#include "state/package_state.h"
#include "state/process_state.h"
#include "state/run_state.h"
#include "state/text_match.h"
#include "state/wizard_state.h"
#include "system/install_locations.h"
#include "system/option_record.h"

namespace {

using zv::fuzz::ByteReader;
using zv::fuzz::DiskOutside;
using zv::fuzz::Require;

constexpr char kWindowsFile[] = "C:\\Windows\\zavopath.zvh";
constexpr char kDriveDir[] = "C:\\zavoli";
constexpr char kInstallDir[] = "C:\\zavoli\\";

// The keyword test as its contract states it: capitals of the text match
// the keyword's small letters.
bool ContainsKeyword(std::string_view text, std::string_view keyword) {
  return zv::fuzz::LowerAscii(std::string(text)).find(keyword) != std::string::npos;
}

std::string FileText(zv::fake::FakeMachine& machine, const std::string& path) {
  return machine.ReadText(path).value_or("<missing>");
}

void FuzzCommandLine(zv::fake::FakeMachine& machine, std::string_view input) {
  // The entry routine is handed a C string: nothing behind a zero byte.
  const std::string line(input.substr(0, input.find('\0')));
  for (const char* keyword : {"regzv32", "setzvsrf32"}) {
    Require(zv::ContainsIgnoreCase(line, keyword) == (ContainsKeyword(line, keyword) ? 1 : 0),
            "the keyword test disagrees with its contract");
  }
  const auto before = DiskOutside(machine, {kWindowsFile, kDriveDir});
  // As at the start-up: the system is known before the companion runs.
  zv::DetectSystem();
  zv::InstallDir = zv::ChooseInstallDir();
  const std::string chosen = zv::InstallDir.str();

  zv::ParseRegisterPath(line);
  std::string expected = chosen;
  const size_t first = line.find('r');
  if (first != std::string::npos && line.compare(first, 8, "regzv32=") == 0) {
    const std::string path = line.substr(first + 8);
    const bool endsWithBackslash = !path.empty() && path.back() == '\\';
    if (path.size() + (endsWithBackslash ? 0 : 1) <= zv::InstallDir.kMaxLength) expected = path;
  }
  Require(zv::InstallDir.str() == expected, "the switch's path was not taken as it stands");

  zv::RememberInstallDir();
  const std::string remembered = zv::InstallDir.str();
  Require(!remembered.empty() && remembered.back() == '\\' &&
              remembered.size() <= zv::InstallDir.kMaxLength,
          "the remembered directory does not end with a backslash inside its buffer");
  Require(FileText(machine, kWindowsFile) == remembered,
          "the Windows folder's file does not hold the directory");
  Require(FileText(machine, std::string(kInstallDir) + "zavopath.zvh") == remembered,
          "the fixed drive's file does not hold the directory");
  zv::InstallDir.clear();
  zv::ReadRememberedInstallDir(0);
  Require(zv::InstallDir.str() == remembered, "the remembered directory does not read back");
  Require(DiskOutside(machine, {kWindowsFile, kDriveDir}) == before,
          "the companion start-up wrote outside the remembered-directory files");
}

// What ReadRememberedInstallDir must give for the file's bytes: the first
// 512, up to the first zero byte, cut to the destination.
std::string ExpectedDirectory(const std::string& bytes, size_t maxLength) {
  std::string text = bytes.substr(0, 512);
  text = text.substr(0, text.find('\0'));
  return text.substr(0, maxLength);
}

void FuzzRememberedFile(zv::fake::FakeMachine& machine, ByteReader& input) {
  const uint8_t how = input.Byte();
  const std::string bytes = input.Rest();
  machine.AddFile(kWindowsFile, bytes);
  const auto before = DiskOutside(machine, {kWindowsFile, kDriveDir});

  zv::ReadRememberedInstallDir(1);
  const std::string previous = ExpectedDirectory(bytes, zv::PreviousInstallDir.kMaxLength);
  Require(zv::PreviousInstallDir.str() == previous, "PreviousInstallDir is not the file's text");
  zv::ReadRememberedInstallDir(0);
  Require(zv::InstallDir.str() == ExpectedDirectory(bytes, zv::InstallDir.kMaxLength),
          "InstallDir is not the file's text");

  // The start-up: the check writes its probe, reads it back and puts the
  // directory it had back in place.
  zv::InstallDir.clear();
  if (how & 1) zv::InstallDir = zv::ChooseInstallDir();
  std::string kept = zv::InstallDir.str();
  // Put back as RememberInstallDir leaves it: ending with a backslash, which
  // takes the last byte's place in a full buffer.
  if (kept.empty() || kept.back() != '\\') {
    if (kept.size() == zv::InstallDir.kMaxLength) kept.pop_back();
    kept.push_back('\\');
  }
  Require(zv::CheckAdministrator() == 0, "the administrator check failed on a writable machine");
  Require(zv::PreviousInstallDir.str() == previous, "the check changed PreviousInstallDir");
  Require(zv::InstallDir.str() == kept, "the check did not put InstallDir back");
  Require(FileText(machine, kWindowsFile) == zv::InstallDir.str(),
          "the check left another directory remembered");
  Require(DiskOutside(machine, {kWindowsFile, kDriveDir}) == before,
          "reading the remembered directory wrote elsewhere");
}

void FuzzWebAddress(zv::fake::FakeMachine& machine, ByteReader& input) {
  const uint8_t how = input.Byte();
  const std::string bytes = input.Rest();
  // The file lies in the default install directory or in one already set.
  if (how & 1) zv::InstallDir.Assign(kInstallDir);
  const std::string path = zv::ChooseInstallDir().str() + "zvnetsj.dat";
  if (!(how & 2)) machine.AddFile(path, bytes);
  const auto before = DiskOutside(machine, {});

  const std::string value = zv::LoadWebAddress();
  std::string expected;
  const std::string head = (how & 2) ? std::string() : bytes.substr(0, 1000);
  const size_t at = head.find("ZVNETURL1=");
  if (at != std::string::npos) {
    for (size_t i = at + 10; i < head.size() && expected.size() < 250; ++i) {
      if (static_cast<unsigned char>(head[i]) <= 0x20) break;
      expected.push_back(head[i]);
    }
  }
  Require(value == expected, "the web address is not the key's value");
  Require(DiskOutside(machine, {}) == before, "reading the web address changed the disk");
}

// The record offsets that the install sets, whatever the stored record holds.
std::set<size_t> AdjustedOffsets() {
  std::set<size_t> offsets = {0, 1, 15, 19, 21, 22, 25, 36, 42, 43, 54, 62, 63, 75, 80};
  for (size_t i = 27; i <= 35; ++i) offsets.insert(i);
  for (size_t i = 66; i <= 69; ++i) offsets.insert(i);
  return offsets;
}

void FuzzOptionRecord(zv::fake::FakeMachine& machine, ByteReader& input) {
  zv::WindowMode = input.Byte() % 6;
  zv::EditionFlag = input.Byte() & 1;
  zv::UiCodePage = (input.Byte() & 1) ? 950 : 936;
  zv::BackupState = input.Byte() % 3;
  const bool present = (input.Byte() & 1) == 0;
  const std::string stored = input.Rest();
  const std::string path = std::string(kInstallDir) + "zvszsj43.zvh";
  zv::InstallDir.Assign(kInstallDir);
  machine.AddDirectory(kDriveDir);
  if (present) machine.AddFile(path, stored);
  const std::string before = FileText(machine, path);
  const auto outside = DiskOutside(machine, {path});

  zv::AdjustOptionRecord();
  const std::string after = FileText(machine, path);
  Require(DiskOutside(machine, {path}) == outside, "the option record was written elsewhere");
  if (zv::BackupState == zv::kBackupKeepOldData) {
    Require(after == before, "the kept record was changed");
    return;
  }
  Require(after.size() == zv::kOptionRecordSize, "the record written is not 200 bytes");
  const zv::OptionRecord defaults = zv::DefaultOptionRecord();
  const std::set<size_t> adjusted = AdjustedOffsets();
  for (size_t i = 0; i < zv::kOptionRecordSize; ++i) {
    if (adjusted.count(i)) continue;
    const uint8_t want =
        present && i < stored.size() ? static_cast<uint8_t>(stored[i]) : defaults[i];
    Require(static_cast<uint8_t>(after[i]) == want, "a byte the install keeps was changed");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zv::ResetProcessState();
  zv::fake::FakeMachine machine;
  machine.Install();
  const auto bytes = zv::fuzz::ExactCopy(data, size);
  ByteReader input(bytes.get(), size);
  switch (input.Byte() % 4) {
    case 0:
      FuzzCommandLine(machine, input.Rest());
      break;
    case 1:
      FuzzRememberedFile(machine, input);
      break;
    case 2:
      FuzzWebAddress(machine, input);
      break;
    default:
      FuzzOptionRecord(machine, input);
      break;
  }
  zv::ResetProcessState();
  return 0;
}
