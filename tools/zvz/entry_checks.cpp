#include "tools/zvz/entry_checks.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "package/extra_files.h"
#include "package/extract.h"
#include "package/install_report.h"
#include "package/phrase_list.h"
#include "package/record_name.h"
#include "settings/settings_file_names.h"
#include "state/package_state.h"
#include "system/version_stamp.h"
#include "tools/peinfo/pe_image.h"
#include "tools/zvz/record_checks.h"
#include "ui/package_bitmap.h"

namespace zv::zvz {
namespace {

using entries::EntryRole;

// What the welcome page shows of its picture.
constexpr int32_t kWelcomeWidth = 400;
constexpr int32_t kWelcomeHeight = 190;

const RecordInfo* FindRecord(const ContainerCheck& container, std::string_view name) {
  for (const RecordInfo& record : container.records) {
    if (SameFileName(record.entry.name, name)) return &record;
  }
  return nullptr;
}

void CheckMachine(std::string_view name, const std::string& content,
                  std::optional<uint16_t> machine, PackageReport* report) {
  pe::PeImage image;
  std::string error;
  if (!pe::ParsePeImage(
          pe::ByteView(reinterpret_cast<const uint8_t*>(content.data()), content.size()), &image,
          &error)) {
    report->Add(Severity::kError, name, "not a PE image: " + error);
    return;
  }
  if (machine && image.machine != *machine) {
    report->Add(
        Severity::kError, name,
        "machine " + pe::MachineName(image.machine) + ", expected " + pe::MachineName(*machine));
  }
}

void CheckStampPlaces(std::string_view name, const std::string& content, PackageReport* report) {
  std::string copy = content;
  const int places = StampVersionBytes(&copy);
  report->stampPlaces[std::string(name)] = places;
  if (places == 0) {
    report->Add(Severity::kError, name,
                "no UTF-16 brand text followed by a blank, one character and 6.3 or 6.7: "
                "version stamping finds nothing to change");
  }
}

// The byte offset of the first byte that is neither ASCII nor part of a
// GBK double-byte character, or npos.
size_t FirstNonGbkByte(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const uint8_t lead = static_cast<uint8_t>(text[i]);
    if (lead < 0x80) continue;
    const uint8_t trail = i + 1 < text.size() ? static_cast<uint8_t>(text[i + 1]) : 0;
    if (lead == 0x80 || lead == 0xFF || trail < 0x40 || trail == 0x7F || trail == 0xFF) return i;
    ++i;
  }
  return std::string::npos;
}

void CheckPhraseList(std::string_view name, const std::string& content, PackageReport* report) {
  const size_t bad = FirstNonGbkByte(content);
  if (bad != std::string::npos) {
    report->Add(Severity::kError, name,
                "byte " + std::to_string(static_cast<uint8_t>(content[bad])) + " at offset " +
                    std::to_string(bad) + " is not GBK text");
  }
  // Phrases are the pieces between "; " separators (a last piece without
  // one included); the filter's trailer tells how many it keeps.
  // A list that already carries its trailer is written as it is.
  if (content.size() >= kPhraseTrailerSize &&
      std::memcmp(content.data() + content.size() - kPhraseTrailerSize, kPhraseTrailerTag,
                  sizeof(kPhraseTrailerTag)) == 0) {
    return;
  }
  std::vector<uint8_t> text(content.begin(), content.end());
  text.resize(content.size() + kPhraseTrailerSize);
  const size_t kept = CompactPhraseList(text.data(), content.size());
  const uint32_t keptPhrases = ReadU32(text.data() + kept + 8);
  size_t phrases = 0;
  size_t start = 0;
  for (size_t at; (at = content.find("; ", start)) != std::string::npos; start = at + 2) ++phrases;
  if (start < content.size()) ++phrases;
  if (keptPhrases < phrases) {
    report->Add(Severity::kWarning, name,
                "the phrase filter would drop " + std::to_string(phrases - keptPhrases) + " of " +
                    std::to_string(phrases) + " phrases");
  }
}

void CheckWelcomePicture(std::string_view name, const std::string& content, PackageReport* report) {
  if (content.size() < 2 || content[0] != 'B' || content[1] != 'M') {
    report->Add(Severity::kError, name, "not a bitmap file (no \"BM\")");
    return;
  }
  if (content.size() > kWorkBufferSize - kBitmapOffset) {
    report->Add(Severity::kError, name,
                std::to_string(content.size()) + " bytes, more than the " +
                    std::to_string(kWorkBufferSize - kBitmapOffset) +
                    " the welcome page unpacks it into");
    return;
  }
  const auto view =
      ParseBitmapFile(reinterpret_cast<const uint8_t*>(content.data()), content.size());
  if (!view) {
    report->Add(Severity::kError, name,
                "not an uncompressed 24-bit bottom-up bitmap whose pixel data lies inside the "
                "file");
    return;
  }
  if (view->width < kWelcomeWidth || view->height < kWelcomeHeight) {
    report->Add(Severity::kError, name,
                std::to_string(view->width) + " x " + std::to_string(view->height) +
                    " pixels, smaller than the 400 x 190 the welcome page shows");
  }
}

void CheckSkinArchive(std::string_view name, const std::string& content, PackageReport* report) {
  if (content.size() > kSkinArchiveRoom) {
    report->Add(Severity::kError, name,
                std::to_string(content.size()) + " bytes, more than the " +
                    std::to_string(kSkinArchiveRoom) + " the installer reads of a skin archive");
    return;
  }
  const RecordScope scope{
      name, kWorkBufferSize - kSkinArchiveRoom - kScratchContentOffset - kScratchDigestRoom};
  const ContainerCheck skin = CheckRecords(content, scope, report);
  if (!skin.isContainer) return;
  std::vector<std::string> wanted{kSkinTableFile};
  for (int number = 1; number <= kSkinBitmapCount; ++number) {
    wanted.push_back(SkinBitmapFile(number));
  }
  for (const std::string& file : wanted) {
    if (FindRecord(skin, file) == nullptr) {
      report->Add(Severity::kError, name, "lacks the skin file " + file);
    }
  }
  for (const RecordInfo& record : skin.records) {
    bool known = false;
    for (const std::string& file : wanted) known = known || SameFileName(record.entry.name, file);
    if (!known) {
      report->Add(Severity::kError, name,
                  "holds " + std::string(record.entry.name) + ", not one of the eight skin files");
    }
  }
}

// The install report reads 20 bytes of these to find them present.
void CheckProbed(std::string_view name, const std::string& content, PackageReport* report) {
  if (content.size() < kProbeSize) {
    report->Add(Severity::kError, name,
                std::to_string(content.size()) +
                    " bytes: the install report takes a file of fewer than 20 bytes for missing");
  }
}

}  // namespace

void CheckEntryContent(std::string_view name, EntryRole role, const std::string& content,
                       PackageReport* report) {
  switch (role) {
    case EntryRole::kIme32:
      CheckProbed(name, content, report);
      return CheckMachine(name, content, pe::kMachineI386, report);
    case EntryRole::kProgram32:
      return CheckMachine(name, content, pe::kMachineI386, report);
    case EntryRole::kIme64:
    case EntryRole::kProgram64:
      return CheckMachine(name, content, pe::kMachineAmd64, report);
    case EntryRole::kProgram:
      return CheckMachine(name, content, std::nullopt, report);
    case EntryRole::kStampedIme32:
      CheckMachine(name, content, pe::kMachineI386, report);
      return CheckStampPlaces(name, content, report);
    case EntryRole::kStampedIme64:
    case EntryRole::kStampedProgram64:
      CheckMachine(name, content, pe::kMachineAmd64, report);
      return CheckStampPlaces(name, content, report);
    case EntryRole::kPhraseList:
      CheckProbed(name, content, report);
      return CheckPhraseList(name, content, report);
    case EntryRole::kDictionary:
      return CheckProbed(name, content, report);
    case EntryRole::kOptionRecord:
      if (content.size() != entries::kOptionRecordBytes) {
        report->Add(
            Severity::kError, name,
            std::to_string(content.size()) + " bytes; the option record must be exactly 200 bytes");
      }
      return;
    case EntryRole::kWelcomePicture:
      return CheckWelcomePicture(name, content, report);
    case EntryRole::kSkinArchive:
      return CheckSkinArchive(name, content, report);
  }
}

void CheckNamedEntries(const ContainerCheck& package, PackageReport* report) {
  for (const entries::NamedEntry& named : entries::kNamedEntries) {
    const RecordInfo* record = FindRecord(package, named.name);
    if (record == nullptr) {
      report->Add(Severity::kError, named.name, "missing from the package");
      continue;
    }
    std::string content;
    if (record->state != RecordState::kSound || !UnpackRecord(record->entry, &content)) continue;
    CheckEntryContent(named.name, named.role, content, report);
  }
}

void CheckInstalledFileCount(const ContainerCheck& package, PackageReport* report) {
  std::vector<std::string> files;
  auto add = [&files](std::string_view name) {
    for (const std::string& file : files) {
      if (SameFileName(file, name)) return;
    }
    files.emplace_back(name);
  };
  for (const RecordInfo& record : package.records) add(record.entry.name);
  // The install's own files, and the chosen skin's eight.
  for (const char* written :
       {entries::kPlacedIme32, entries::kShapeCodeWorkingCopy, entries::kPinyinWorkingCopy,
        kEditionFileName, kNetworkSettingsFileName, kInstallStampFileName, kSkinTableFile}) {
    add(written);
  }
  for (int number = 1; number <= kSkinBitmapCount; ++number) add(SkinBitmapFile(number));
  // The second pass deletes the language variants; on systems of major
  // version 6 and later the log-on program's variant is moved over it.
  size_t gone = 0;
  for (const char* removed :
       {entries::kVariant32Cp936, entries::kVariant32Cp950, entries::kVariant64Cp936,
        entries::kVariant64Cp950, entries::kStartupProgramVista}) {
    for (const std::string& file : files) gone += SameFileName(file, removed) ? 1 : 0;
  }
  report->installedFiles = files.size() - gone;
  if (report->installedFiles < kFewestInstalledFiles) {
    report->Add(Severity::kError, kInstallDirEntry,
                "the install would leave " + std::to_string(report->installedFiles) +
                    " files, fewer than the " + std::to_string(kFewestInstalledFiles) +
                    " the install report requires");
  }
}

}  // namespace zv::zvz
