// libFuzzer target: the archives that an earlier install left behind, on a
// fresh fake Windows 7 machine each. The first byte chooses the reader:
//   0  the backup archive "zavoback.zvz" as AddFileToArchive walks it before
//      appending one of the user's files;
//   1  the backup archive as RestoreUserData reads it back into the install
//      directory (from the earlier install's directory or the same one);
//   2  a skin archive as the skin step reads and unpacks it into WorkBuffer.
// Nothing may appear or change outside the install directory (the archive's
// own file only, for the backup), an archive that cannot take the file must
// stay as it was, and one that took it must read back whole with the file.
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "package/container_format.h"
#include "package/container_reader.h"
#include "package/extra_files.h"
#include "package/extract.h"
#include "package/user_data_backup.h"
#include "package/user_data_restore.h"
#include "package/verify.h"
#include "package/work_buffer.h"
#include "platform/fake/fake_machine.h"
#include "state/locations.h"
#include "state/package_state.h"
#include "state/process_state.h"

namespace {

using zv::fuzz::ByteReader;
using zv::fuzz::DiskOutside;
using zv::fuzz::Require;

constexpr char kInstallDir[] = "C:\\zavoli\\";
constexpr char kInstallFolder[] = "C:\\zavoli";
constexpr char kEarlierDir[] = "C:\\old\\";

std::optional<std::string> Read(zv::fake::FakeMachine& machine, const std::string& path) {
  return machine.ReadText(path);
}

// The content of the archive's last record, unpacked, when the archive is a
// whole digest-layout container whose last record is named `name`.
std::optional<std::string> LastRecord(const std::string& archive, const std::string& name,
                                      uint32_t count) {
  zv::ContainerReader reader(
      zv::ContainerBytes{reinterpret_cast<const uint8_t*>(archive.data()), archive.size()});
  zv::PackageEntry entry;
  zv::PackageEntry last;
  while (reader.Next(&entry)) last = entry;
  if (reader.recordCount() != count || reader.recordsRead() != count ||
      reader.position() != archive.size() || last.name != name) {
    return std::nullopt;
  }
  std::string content(1 << 16, '\0');
  uLongf length = content.size();
  if (uncompress(reinterpret_cast<Bytef*>(&content[0]), &length, last.stream, last.streamSize) !=
      Z_OK) {
    return std::nullopt;
  }
  content.resize(length);
  return content;
}

uint32_t CountOf(const std::string& archive) {
  return zv::ContainerReader(
             zv::ContainerBytes{reinterpret_cast<const uint8_t*>(archive.data()), archive.size()})
      .recordCount();
}

void FuzzAddToArchive(zv::fake::FakeMachine& machine, ByteReader& input) {
  static const char* const kNames[] = {"userck.txt", "zvszsj43.zvh", "a", "abcdefghijkl",
                                       "abcdefghijklm"};
  const uint8_t how = input.Byte();
  const std::string name = kNames[how % 5];
  const std::string content = input.Piece(16);
  const std::string archivePath = std::string(kInstallDir) + zv::kBackupArchiveName;
  if (!(how & 0x80)) machine.AddFile(archivePath, input.Rest());
  const std::string filePath = kInstallDir + name;
  machine.AddFile(filePath, content);
  const std::optional<std::string> before = Read(machine, archivePath);
  const auto outside = DiskOutside(machine, {archivePath});

  const int added = zv::AddFileToArchive(archivePath, filePath);
  const std::optional<std::string> after = Read(machine, archivePath);
  Require(DiskOutside(machine, {archivePath}) == outside, "the backup wrote beside its archive");
  if (added == 0) {
    // A new archive may stay behind as its empty header.
    Require(before ? after == before : !after || after->size() == zv::kContainerHeaderSize,
            "an archive that took nothing was changed");
    return;
  }
  Require(after.has_value(), "the archive is gone");
  Require(added == 1, "AddFileToArchive gave neither 0 nor 1");
  if (before) {
    Require(after->size() > before->size() &&
                after->compare(zv::kContainerHeaderSize, before->size() - zv::kContainerHeaderSize,
                               *before, zv::kContainerHeaderSize) == 0,
            "the archive's earlier records were changed");
  }
  const uint32_t count = before ? CountOf(*before) + 1 : 1;
  Require(LastRecord(*after, name, count) == content,
          "the archive does not read back whole with the file");
}

void FuzzRestore(zv::fake::FakeMachine& machine, ByteReader& input) {
  const uint8_t how = input.Byte();
  const std::string archive = input.Rest();
  zv::WorkBufferReservation buffer;
  Require(buffer.reserved(), "no WorkBuffer");
  zv::InstallDir.Assign(kInstallDir);
  machine.AddDirectory(kInstallFolder);
  // The archive lies in the earlier directory, to be copied over, or here.
  const bool elsewhere = how & 1;
  zv::PreviousInstallDir.Assign(elsewhere ? kEarlierDir : kInstallDir);
  machine.AddFile(std::string(elsewhere ? kEarlierDir : kInstallDir) + zv::kBackupArchiveName,
                  archive);
  const auto outside = DiskOutside(machine, {kInstallFolder});

  zv::RestoreUserData();
  Require(DiskOutside(machine, {kInstallFolder}) == outside,
          "restoring the data wrote outside the install directory");
  // Record boxes (one per failing record) may come first; the last box is
  // the summary, shown once the archive is long enough to hold a record.
  const size_t boxes = machine.MessageBoxes().size();
  Require(archive.size() < 100 ? boxes == 0 : boxes >= 1, "the summary box is missing or extra");
  Require(machine.Exists(std::string(kInstallDir) + zv::kBackupArchiveName),
          "the archive was not left in place");
}

void FuzzSkinArchive(zv::fake::FakeMachine& machine, ByteReader& input) {
  const std::string archive = input.Rest();
  zv::WorkBufferReservation buffer;
  Require(buffer.reserved(), "no WorkBuffer");
  zv::InstallDir.Assign(kInstallDir);
  const std::string path = kInstallDir + std::string(zv::SkinArchiveName(1));
  machine.AddFile(path, archive);
  const auto outside = DiskOutside(machine, {kInstallFolder});

  zv::ExtractSkinArchive(path);
  const size_t held = std::min(archive.size(), zv::kSkinArchiveRoom);
  Require(std::memcmp(zv::WorkBuffer, archive.data(), held) == 0,
          "unpacking the skin overwrote the archive it was reading");
  std::string failures;
  const int passed =
      zv::VerifyContainer(zv::ContainerBytes{zv::WorkBuffer, held}, kInstallDir, &failures, {});
  Require(passed >= 0, "a negative count of skin files");
  Require(DiskOutside(machine, {kInstallFolder}) == outside,
          "the skin was unpacked outside the install directory");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zv::ResetProcessState();
  {
    zv::fake::FakeMachine machine;
    machine.Install();
    const auto bytes = zv::fuzz::ExactCopy(data, size);
    ByteReader input(bytes.get(), size);
    switch (input.Byte() % 3) {
      case 0:
        FuzzAddToArchive(machine, input);
        break;
      case 1:
        FuzzRestore(machine, input);
        break;
      default:
        FuzzSkinArchive(machine, input);
        break;
    }
  }
  zv::ResetProcessState();
  return 0;
}
