// The whole install on the fake machine, once for every platform call it
// makes, with that one call failing; and once for each of a spread of disk
// sizes, with the disk full after that many bytes. Each run reinstalls over
// an earlier install whose user has data of their own: silently, and through
// the wizard with a backup of that data, the confirming click, a Yes to
// keeping it, the restore and the last pages. Every run must end, show only
// the program's own messages, report what it failed to place, write nowhere
// but its own places, and keep the user's data.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "app/app_texts.h"
#include "app/exit_codes.h"
#include "app/installer_main.h"
#include "checks/check_texts.h"
#include "package/container_reader.h"
#include "package/package_texts.h"
#include "package/user_data_backup.h"
#include "platform/fake/fake_machine.h"
#include "platform/win_constants.h"
#include "state/locations.h"
#include "state/package_state.h"
#include "state/process_state.h"
#include "state/wizard_state.h"
#include "system/system_texts.h"
#include "tests/unit/support/wizard_machine.h"
#include "ui/ui_texts.h"

namespace zv {
namespace {

using fake::FakeMachine;
using fake::MessageBoxRecord;
using fake::Preset;

// ---- Pictures of the machine's files and registry -------------------------

struct FileEntry {
  std::string path;
  std::vector<uint8_t> bytes;
  uint32_t attributes = 0;
};
struct RegEntry {
  platform::RegKey root = 0;
  std::u16string key;
  std::u16string name;  // empty for the key itself
  bool isKey = false;
  fake::RegValue value;
};
// Entries by their path with ASCII letters in upper case.
struct MachineImage {
  std::map<std::string, FileEntry> files;
  std::map<std::u16string, RegEntry> registry;
};

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return text;
}
std::u16string Upper(std::u16string text) {
  for (char16_t& c : text) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
  }
  return text;
}

void AddFiles(const FakeMachine& machine, const std::string& directory, MachineImage* image) {
  for (const std::string& name : machine.ListDirectory(directory + "\\")) {
    FileEntry entry{directory + "\\" + name, {}, machine.Attributes(directory + "\\" + name)};
    if ((entry.attributes & win::kAttributeDirectory) != 0) {
      AddFiles(machine, entry.path, image);
    } else {
      entry.bytes = machine.ReadFile(entry.path).value_or(std::vector<uint8_t>());
    }
    image->files[Upper(entry.path)] = std::move(entry);
  }
}

const std::pair<platform::RegKey, const char16_t*> kRoots[] = {
    {platform::kHkeyLocalMachine, u"HKLM"},
    {platform::kHkeyCurrentUser, u"HKCU"},
    {platform::kHkeyUsers, u"HKU"}};

void AddKeys(const FakeMachine& machine, platform::RegKey root, const std::u16string& shownRoot,
             const std::u16string& key, MachineImage* image) {
  const std::u16string shown = shownRoot + u"\\" + key;
  image->registry[Upper(shown)] = RegEntry{root, key, u"", true, {}};
  for (const std::u16string& name : machine.ValueNamesW(root, key)) {
    image->registry[Upper(shown + u"\\\\" + name)] =
        RegEntry{root, key, name, false, *machine.GetValue(root, key, name)};
  }
  for (const std::u16string& sub : machine.SubKeysW(root, key)) {
    AddKeys(machine, root, shownRoot, key.empty() ? sub : key + u"\\" + sub, image);
  }
}

MachineImage TakeImage(const FakeMachine& machine) {
  MachineImage image;
  for (const char* drive : {"C:", "D:"}) AddFiles(machine, drive, &image);
  for (const auto& [root, name] : kRoots) AddKeys(machine, root, name, u"", &image);
  return image;
}

void Restore(const MachineImage& image, FakeMachine& machine) {
  for (const auto& [upper, entry] : image.files) {
    if ((entry.attributes & win::kAttributeDirectory) != 0) {
      machine.AddDirectory(entry.path);
    } else {
      machine.AddFile(entry.path, entry.bytes, entry.attributes);
    }
  }
  for (const auto& [upper, entry] : image.registry) {
    if (entry.isKey) {
      if (!entry.key.empty()) machine.CreateKey(entry.root, entry.key);
    } else {
      machine.SetValue(entry.root, entry.key, entry.name, entry.value.type, entry.value.data);
    }
  }
}

bool SameFile(const FileEntry& a, const FileEntry& b) {
  return a.bytes == b.bytes && a.attributes == b.attributes;
}
bool SameValue(const RegEntry& a, const RegEntry& b) {
  return a.isKey == b.isKey && a.value.type == b.value.type && a.value.data == b.value.data;
}

// The upper-case paths that were added, removed or changed.
template <typename Map, typename Same>
std::vector<typename Map::key_type> Changes(const Map& before, const Map& after, Same same) {
  std::vector<typename Map::key_type> changed;
  for (const auto& [path, entry] : after) {
    auto it = before.find(path);
    if (it == before.end() || !same(it->second, entry)) changed.push_back(path);
  }
  for (const auto& [path, entry] : before) {
    if (after.count(path) == 0) changed.push_back(path);
  }
  return changed;
}

// ---- Where the installer may write ----------------------------------------

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}
bool StartsWith(const std::u16string& text, const std::u16string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}
bool EndsWith(const std::u16string& text, const std::u16string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The install directory with everything in it; the IME, its aside names and
// the uninstaller in the system folders; the remembered-directory files.
bool MayWriteFile(const std::string& path, const std::string& installDir) {
  const std::string dir = Upper(installDir);
  if (StartsWith(path + "\\", dir)) return true;
  static const std::set<std::string> kOwned = [] {
    std::set<std::string> owned = {"C:\\WINDOWS\\ZAVOPATH.ZVH", "C:\\ZAVOLI",
                                   "C:\\ZAVOLI\\ZAVOPATH.ZVH"};
    for (const char* folder : {"C:\\WINDOWS\\SYSTEM32\\", "C:\\WINDOWS\\SYSWOW64\\"}) {
      for (const char* name : {"ZAVOLI4.IME", "ZAVOLI2.IME", "ZAVOL12.IME", "ZAVODEL.EXE"}) {
        owned.insert(std::string(folder) + name);
      }
    }
    return owned;
  }();
  return kOwned.count(path) != 0;
}

// The product's layout keys, the preload lists, its uninstall entry, and
// its values in the log-on and user-agent keys.
bool MayWriteRegistry(const std::u16string& path) {
  static const std::u16string kPrefixes[] = {
      u"HKLM\\SYSTEM\\CURRENTCONTROLSET\\CONTROL\\KEYBOARD LAYOUTS\\E0",
      u"HKCU\\KEYBOARD LAYOUT\\PRELOAD",
      u"HKU\\.DEFAULT\\KEYBOARD LAYOUT\\PRELOAD",
      u"HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL\\ZAVOQWB",
      u"HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\\\ZVZXSJGL",
      u"HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\INTERNET SETTINGS\\USER "
      u"AGENT\\POST PLATFORM"};
  return std::any_of(std::begin(kPrefixes), std::end(kPrefixes),
                     [&](const std::u16string& prefix) { return StartsWith(path, prefix); });
}

// ---- The program's messages -----------------------------------------------

// A shown text is the program's when it is one of its fixed texts, or has
// the fixed start and end of one of its formatted ones. The list of programs
// and the install report go on after their heading.
bool IsProgramText(const std::u16string& text) {
  enum class Fit { kExact, kStartAndEnd, kStart };
  struct Shape {
    std::u16string start, end;
    Fit fit;
  };
  static const std::vector<Shape> kShapes = [] {
    std::vector<Shape> shapes;
    for (const char16_t* fixed :
         {texts::kAdministratorRequired, texts::kCompanionSucceeded, texts::kKeepDataInInstallDir,
          texts::kKeepDataElsewhere, texts::kImeLocked, texts::ui::kImeDataInMemory,
          texts::ui::kRestartNow, texts::ui::kRestartIfNeeded, texts::kUserDataNotRestored}) {
      shapes.push_back({fixed, u"", Fit::kExact});
    }
    shapes.push_back({std::u16string(texts::kExtractIncompleteStart) + texts::kHomePage +
                          texts::kExtractIncompleteEnd,
                      u"", Fit::kExact});
    for (const auto& [format, placeholder] :
         {std::pair<const char16_t*, const char16_t*>{texts::kRecordExtractFailed, u"%s"},
          {texts::kCopyFailed, u"%s"},
          {texts::kUserDataRestored, u"%d"}}) {
      const std::u16string whole = format;
      const size_t slot = whole.find(placeholder);
      shapes.push_back({whole.substr(0, slot), whole.substr(slot + 2), Fit::kStartAndEnd});
    }
    // Failure lists end with their closing sentence.
    for (const char16_t* closing :
         {texts::kPackageFilesNotCopied, texts::kSkinFilesNotCopied, texts::kUserDataNotRestored}) {
      shapes.push_back({u"", closing, Fit::kStartAndEnd});
    }
    const std::u16string programs = texts::checks::kProgramsHead;
    shapes.push_back({programs.substr(0, programs.find(u"%d")), u"", Fit::kStart});
    shapes.push_back({texts::kReportHeading, u"", Fit::kStart});
    return shapes;
  }();
  return std::any_of(kShapes.begin(), kShapes.end(), [&](const Shape& shape) {
    switch (shape.fit) {
      case Fit::kExact:
        return text == shape.start;
      case Fit::kStart:
        return text.size() > shape.start.size() && StartsWith(text, shape.start);
      case Fit::kStartAndEnd:
        return text.size() > shape.start.size() + shape.end.size() &&
               StartsWith(text, shape.start) && EndsWith(text, shape.end);
    }
    return false;
  });
}

// The texts that tell the user all went well, or only ask.
bool IsGoodNews(const MessageBoxRecord& box) {
  for (const char16_t* text : {texts::ui::kRestartNow, texts::ui::kRestartIfNeeded,
                               texts::kKeepDataInInstallDir, texts::kKeepDataElsewhere}) {
    if (box.text == text) return true;
  }
  const std::u16string restored = texts::kUserDataRestored;
  return StartsWith(box.text, restored.substr(0, restored.find(u"%d")));
}

// ---- The user and their data ----------------------------------------------

// The sources of the backup's rows in the Pinyin edition that the wizard
// runs, with the name each is packed under.
struct UserFile {
  const char* source;
  const char* packedAs;
};
constexpr UserFile kUserFiles[] = {
    {"zavopyck.zvh", "zavopyck.bak"}, {"zvszsj43.zvh", "zvszsj43.bak"},
    {"cfontset.zvh", "cfontset.bak"}, {"cwbzlcz1.zvh", "cwbzlcz1.bak"},
    {"zvwbcmxz.zvh", "zvwbcmxz.bak"}, {"zvdhzcm.zvh", "zvdhzcm.bak"},
    {"zavodhz.zvh", "zavodhz.bak"},   {"zvgbkhz.zvh", "zvgbkhz.bak"},
    {"zvszsj43.zvh", "zvszsj43.zvh"}, {"zavodwdw.txt", "zavodwdw.txt"},
    {"zavozdym.zvh", "zavozdym.zvh"}, {"zvpyzdym.zvh", "zvpyzdym.zvh"},
    {"zvwbpy.txt", "zvwbpy.txt"},     {"zavoynhz.txt", "zavoynhz.txt"},
    {"zavozdfh.zvh", "zavozdfh.zvh"}, {"userck.txt", "userck.txt"},
    {"delck.txt", "delck.txt"},       {"ftzvzdym.txt", "ftzvzdym.txt"},
    {"ftpyzdym.txt", "ftpyzdym.txt"}, {"zavopymb.ov1", "zavopymb.ov1"},
    {"zvgbkbh.zvh", "zvgbkbh.zvh"},   {"zvszsj05.zvh", "zvszsj05.zvh"},
    {"zvszsj06.zvh", "zvszsj06.zvh"}};

// What the user made of each file: the option record keeps its 200 bytes.
std::string UserContent(const std::string& name) {
  const size_t size = name == "zvszsj43.zvh" ? 200 : 1500 + name.size() * 97;
  std::string content(size, '\0');
  for (size_t i = 0; i < size; ++i) {
    content[i] = static_cast<char>(name[i % name.size()] + i * 31 + i / 7);
  }
  return content;
}

bool IsUserFile(const std::string& name) {
  return std::any_of(std::begin(kUserFiles), std::end(kUserFiles), [&](const UserFile& file) {
    return Upper(name) == Upper(file.source) || Upper(name) == Upper(file.packedAs);
  });
}

// The records of a backup archive that inflate, by name.
std::map<std::string, std::string> ArchiveRecords(const std::vector<uint8_t>& archive) {
  std::map<std::string, std::string> records;
  ContainerReader reader(ContainerBytes{archive.data(), archive.size()});
  PackageEntry entry;
  while (reader.Next(&entry)) {
    std::string content(1 << 16, '\0');
    uLongf size = static_cast<uLongf>(content.size());
    if (uncompress(reinterpret_cast<Bytef*>(&content[0]), &size, entry.stream, entry.streamSize) !=
        Z_OK) {
      continue;
    }
    content.resize(size);
    records.emplace(std::string(entry.name), content);
  }
  return records;
}

// The user's part in the wizard: a click on the confirming button whenever
// the wizard waits, the typing-test timer let run at once, a bounded number
// of times. Past the bound the message loop starves instead of hanging.
void ActAsUser(FakeMachine& machine, int steps) {
  machine.WhenIdle([&machine, steps] {
    if (MainWindow == 0 || steps == 0) return;
    const std::vector<fake::FakeTimer> timers = machine.Timers();
    if (!timers.empty()) {
      machine.FireTimer(timers.front().window, timers.front().id);
    } else {
      machine.PostMessageA(MainWindow, win::kWmLButtonDown, 0, test::kConfirmPoint);
    }
    ActAsUser(machine, steps - 1);
  });
}
constexpr int kUserSteps = 12;

// ---- One run ----------------------------------------------------------------

struct Scenario {
  const char* name;
  Preset preset;
  bool wizard;
  // How many calls of each operation fail, spread over them.
  int spread;
  // Every write, copy, rename and delete of the user's files and of the
  // archive fails in turn as well.
  bool everyUserDataCall;
};

const Scenario kScenarios[] = {
    {"silent reinstall, 64-bit Windows 7", Preset::kWindows7x64, false, 3, false},
    {"wizard reinstall, 64-bit Windows 7", Preset::kWindows7x64, true, 2, true},
    {"wizard reinstall, 32-bit Windows 7", Preset::kWindows7x86, true, 2, false},
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

// A fault to inject: the nth call of an operation, or a disk that is full
// after some bytes.
struct Fault {
  std::string operation;  // empty for a full disk
  int nth = 0;
  uint64_t diskBytes = 0;

  std::string Describe() const {
    return operation.empty() ? "disk full after " + std::to_string(diskBytes) + " bytes"
                             : operation + " call " + std::to_string(nth);
  }
};

uint32_t ErrorFor(const std::string& operation) {
  if (operation == "WriteFile") return win::kErrorDiskFull;
  if (operation == "GlobalAlloc") return win::kErrorNotEnoughMemory;
  return win::kErrorAccessDenied;
}

int Start(FakeMachine& machine, bool wizard) {
  if (wizard) {
    machine.QueueDialogScript({fake::DialogStep::Click(test::kSkinDialogOk)});
    ActAsUser(machine, kUserSteps);
  }
  return InstallerMain(reinterpret_cast<void*>(fake::FakeWindows::kModule), nullptr,
                       wizard ? "" : "setzvsrf32", win::kSwShowNormal);
}

// The machine after a first install through the wizard, with the user's own
// data written over the files of that install.
const MachineImage& EarlierInstall(Preset preset) {
  static std::map<Preset, MachineImage> images;
  auto it = images.find(preset);
  if (it != images.end()) return it->second;
  ResetProcessState();
  FakeMachine machine(preset);
  test::AddProgramResources(machine);
  machine.Install();
  Start(machine, true);
  const std::string dir = InstallDir.str();
  machine.EndProgram();
  for (const UserFile& file : kUserFiles)
    machine.AddFile(dir + file.source, UserContent(file.source));
  ResetProcessState();
  return images[preset] = TakeImage(machine);
}

struct Outcome {
  int exitCode = -1;
  bool starved = false;
  size_t openFiles = 0, openKeys = 0;
  std::vector<MessageBoxRecord> boxes;
  MachineImage after;
  std::string installDir, previousDir;
  int32_t backupState = kBackupNone;
  std::map<std::string, int, std::less<>> calls;  // made by this run
  std::vector<fake::FaultInjector::CallRecord> log;
  uint64_t bytesWritten = 0;
};

constexpr uint64_t kUnlimitedDisk = uint64_t{1} << 40;

Outcome RunInstall(const Scenario& scenario, const Fault* fault) {
  ResetProcessState();
  Outcome outcome;
  {
    FakeMachine machine(scenario.preset);
    Restore(EarlierInstall(scenario.preset), machine);
    test::AddProgramResources(machine);
    machine.Install();
    const auto callsBefore = machine.CallCounts();
    if (fault == nullptr) {
      machine.RecordCalls(true);
      machine.SetDiskFullAfter(kUnlimitedDisk);
    } else if (fault->operation.empty()) {
      machine.SetDiskFullAfter(fault->diskBytes);
    } else {
      machine.FailNthCall(fault->operation, ErrorFor(fault->operation), fault->nth);
    }
    outcome.exitCode = Start(machine, scenario.wizard);
    outcome.starved = machine.Starved();
    outcome.installDir = InstallDir.str();
    outcome.previousDir = PreviousInstallDir.str();
    outcome.backupState = BackupState;
    if (MainWindow != 0) machine.DestroyWindow(MainWindow);
    outcome.openFiles = machine.OpenFileCount();
    outcome.openKeys = machine.OpenKeyCount();
    outcome.boxes = machine.MessageBoxes();
    outcome.after = TakeImage(machine);
    for (const auto& [operation, count] : machine.CallCounts()) {
      auto before = callsBefore.find(operation);
      const int made = count - (before == callsBefore.end() ? 0 : before->second);
      if (made > 0) outcome.calls[operation] = made;
    }
    outcome.log = machine.RecordedCalls();
    if (fault == nullptr) outcome.bytesWritten = kUnlimitedDisk - *machine.DiskSpaceLeft();
    machine.ClearFailures();
  }
  ResetProcessState();
  return outcome;
}

// ---- What every run must hold ---------------------------------------------

// The files whose placement failure the user must hear of: the package's
// files in the install directory that no later step rewrites, removes or
// may leave unreported, and the IME and uninstaller in the system folders.
bool MustBeReported(const std::string& upperPath, const std::string& installDir) {
  const std::string dir = Upper(installDir);
  if (!StartsWith(upperPath, dir)) {
    return upperPath.find("\\SYSTEM32\\ZAVOLI4.IME") != std::string::npos ||
           upperPath.find("\\SYSWOW64\\ZAVOLI4.IME") != std::string::npos ||
           upperPath.find("\\SYSTEM32\\ZAVODEL.EXE") != std::string::npos;
  }
  const std::string name = upperPath.substr(dir.size());
  if (name.find('\\') != std::string::npos || IsUserFile(name)) return false;
  // Written by steps whose failures are ignored: the dictionaries' working
  // copies, the companion's swap, the language variants, the stamped
  // companion, the option record, the settings and the archive.
  static const std::set<std::string> kUnreported = {
      "ZAVOLI32.IME", "ZAVOCYZK.DAT", "ZAVOPYCK.DAT", "ZAVOKPMT.EXE", "ZAVOKPM6.EXE",
      "ZAVO320.IME",  "ZAVO321.IME",  "ZAVO640.IME",  "ZAVO641.IME",  "SETUPW64.EXE",
      "ZVSZSJ43.ZVH", "ZVNETSJ.DAT",  "WBPYBZ.ZVH",   "INSTALL.ZVH",  "ZAVOBACK.ZVZ"};
  return kUnreported.count(name) == 0;
}

int TotalCalls(const Outcome& outcome) {
  int total = 0;
  for (const auto& [operation, count] : outcome.calls) total += count;
  return total;
}

// Runs whose backup failed: the user was not asked and what the package
// brings replaced those of the user's files that the archive does not hold.
int g_unprotectedRuns = 0;
// Files of the user that a run neither left alone nor kept in the archive.
int g_lostFiles = 0;

void CheckRun(const Scenario& scenario, const Outcome& clean, const Outcome& run,
              const Fault& fault) {
  // A box that fails to show cannot say anything.
  const bool boxesMayFail = StartsWith(fault.operation, "MessageBox");
  SCOPED_TRACE(std::string(scenario.name) + ", " + fault.Describe());
  const MachineImage& before = EarlierInstall(scenario.preset);
  // The wizard always ends with 0; a silent install says how it went.
  const bool silentSuccess =
      !scenario.wizard && (run.exitCode == kExitInstalled || run.exitCode == kExitRestartRequired);
  if (scenario.wizard) {
    EXPECT_EQ(run.exitCode, 0);
  } else {
    EXPECT_TRUE(silentSuccess || run.exitCode == kExitNotInstalled ||
                run.exitCode == kExitIncomplete)
        << "exit code " << run.exitCode;
  }
  EXPECT_FALSE(run.starved) << "the wizard was left waiting";
  EXPECT_EQ(run.openFiles, 0u);
  EXPECT_EQ(run.openKeys, 0u);
  // No step went round in circles: no more calls than a clean run makes,
  // give or take the retries of a failed step.
  EXPECT_LE(TotalCalls(run), TotalCalls(clean) + TotalCalls(clean) / 4);

  bool badNews = false;
  for (const MessageBoxRecord& box : run.boxes) {
    EXPECT_TRUE(IsProgramText(box.text)) << std::string(box.text8);
    badNews |= !IsGoodNews(box);
  }

  for (const std::string& path :
       Changes(before.files, run.after.files, [](auto&a, auto&b) { return SameFile(a, b); })) {
    EXPECT_TRUE(MayWriteFile(path, clean.installDir) ||
                (IsDriveDirectory(run.installDir) && MayWriteFile(path, run.installDir)))
        << "wrote " << path;
  }
  for (const std::u16string& path : Changes(before.registry, run.after.registry,
                                            [](auto&a, auto&b) { return SameValue(a, b); })) {
    EXPECT_TRUE(MayWriteRegistry(path))
        << "wrote the registry at " << std::string(path.begin(), path.end());
  }

  // Whatever was not placed as in the clean run was reported: by a message,
  // and by a silent install's exit code whatever the messages did.
  if ((!badNews && !boxesMayFail) || silentSuccess) {
    for (const auto& [path, entry] : clean.after.files) {
      if (!MustBeReported(path, clean.installDir)) continue;
      auto it = run.after.files.find(path);
      EXPECT_TRUE(it != run.after.files.end() && it->second.bytes == entry.bytes)
          << path << " differs from a clean install, and "
          << (silentSuccess ? "the exit code says it succeeded" : "no message said so");
    }
  }

  // The user's data: where a file of theirs is no longer as they left it,
  // the archive holds it whole, and a Yes brought it back unless the user
  // was told that it did not come back. The silent install keeps no data:
  // it lays the package over whatever is there.
  if (!scenario.wizard) return;
  const std::string dir = run.previousDir.empty() ? clean.previousDir : run.previousDir;
  const auto archiveFile = run.after.files.find(Upper(dir + kBackupArchiveName));
  const std::map<std::string, std::string> archive =
      archiveFile == run.after.files.end() ? std::map<std::string, std::string>()
                                           : ArchiveRecords(archiveFile->second.bytes);
  bool saidYes = false, restored = false, notRestored = false;
  for (const MessageBoxRecord& box : run.boxes) {
    notRestored |= EndsWith(box.text, texts::kUserDataNotRestored);
    saidYes |=
        (box.text == texts::kKeepDataInInstallDir || box.text == texts::kKeepDataElsewhere) &&
        box.answer == win::kIdYes;
    restored |= IsGoodNews(box) && StartsWith(box.text, u"成功恢复");
  }
  if (run.backupState == kBackupNone) ++g_unprotectedRuns;
  int lost = 0;
  std::string lostNames;
  for (const UserFile& file : kUserFiles) {
    const std::string content = UserContent(file.source);
    const auto now = run.after.files.find(Upper(dir + file.source));
    const bool untouched =
        now != run.after.files.end() &&
        std::string(now->second.bytes.begin(), now->second.bytes.end()) == content;
    auto packed = archive.find(file.packedAs);
    const bool kept = packed != archive.end() && packed->second == content;
    if (!untouched && !kept) {
      ++lost;
      ++g_lostFiles;
      lostNames += std::string(" ") + file.source;
      continue;
    }
    if (!untouched && saidYes && restored) {
      const auto back = run.after.files.find(Upper(run.installDir + file.packedAs));
      EXPECT_TRUE(back != run.after.files.end() &&
                  std::string(back->second.bytes.begin(), back->second.bytes.end()) == content)
          << file.packedAs << " was reported restored but is not";
    }
  }
  EXPECT_EQ(lost, 0) << "files of the user lost:" << lostNames;
  if (saidYes && !boxesMayFail) {
    EXPECT_TRUE(restored || notRestored) << "the user said Yes and heard nothing back";
  }
}

// ---- The sweep ------------------------------------------------------------

// Under the sanitizers, which run the install some seven times slower, one
// call of each operation and a deterministic sixth of the user's data calls
// fail in turn.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kMaxSpread = 1;
constexpr int kUserDataStride = 6;
#else
constexpr int kMaxSpread = 1 << 10;
constexpr int kUserDataStride = 1;
#endif

// The calls of `operation` to fail: a deterministic spread of a few, the
// first and the last among them, and in a scenario that asks for it every
// write, copy, rename and delete that names a file of the user's data or
// the backup archive.
std::vector<int> CallsToFail(const Scenario& scenario, const Outcome& clean,
                             const std::string& operation, int count) {
  const int spread = std::min(scenario.spread, kMaxSpread);
  std::set<int> chosen;
  if (spread == 1) chosen.insert((count + 1) / 2);
  for (int k = 0; spread > 1 && k < spread && k < count; ++k) {
    chosen.insert(1 + static_cast<int>(int64_t{k} * (count - 1) / (spread - 1)));
  }
  static const std::set<std::string> kDataOperations = {"WriteFile", "MoveFileA", "DeleteFileA",
                                                        "CopyFileA"};
  if (!scenario.everyUserDataCall || kDataOperations.count(operation) == 0) {
    return std::vector<int>(chosen.begin(), chosen.end());
  }
  int nth = 0;
  for (const auto& call : clean.log) {
    if (call.operation != operation) continue;
    ++nth;
    size_t start = 0;
    while (start <= call.subjects.size()) {
      const size_t bar = std::min(call.subjects.find('|', start), call.subjects.size());
      const std::string path = call.subjects.substr(start, bar - start);
      const size_t slash = path.rfind('\\');
      const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
      if ((IsUserFile(name) || Upper(name) == Upper(kBackupArchiveName)) &&
          nth % kUserDataStride == 0) {
        chosen.insert(nth);
      }
      start = bar + 1;
    }
  }
  return std::vector<int>(chosen.begin(), chosen.end());
}

class FaultSweepTest : public ::testing::TestWithParam<Scenario> {
 protected:
  // Runs with one fault and checks the run; past a number of failing runs
  // the rest are left out, as they would only repeat the finding.
  void Sweep(const Scenario& scenario, const Outcome& clean, const Fault& fault) {
    if (failingRuns_ >= kFailingRunsShown) return;
    const int partsBefore = PartCount();
    CheckRun(scenario, clean, RunInstall(scenario, &fault), fault);
    if (PartCount() != partsBefore) ++failingRuns_;
  }

 private:
  static constexpr int kFailingRunsShown = 15;
  static int PartCount() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
  }
  int failingRuns_ = 0;
};

TEST_P(FaultSweepTest, EveryFailingCallAndFullDiskIsSurvived) {
  const Scenario& scenario = GetParam();
  const Outcome clean = RunInstall(scenario, nullptr);
  // The silent install shows nothing; the wizard ends with its closing words.
  ASSERT_EQ(clean.boxes.empty(), !scenario.wizard);
  for (const MessageBoxRecord& box : clean.boxes) EXPECT_TRUE(IsGoodNews(box)) << box.text8;
  ASSERT_EQ(clean.after.files.count(Upper(clean.installDir + "zavoli32.ime")), 1u);
  if (scenario.wizard) {
    ASSERT_EQ(clean.backupState, kBackupKeepOldData);
  }
  CheckRun(scenario, clean, clean, Fault{"", 0, kUnlimitedDisk});
  ASSERT_FALSE(HasFailure()) << "the clean run itself does not hold";

  int injected = 0;
  for (const auto& [operation, count] : clean.calls) {
    for (int nth : CallsToFail(scenario, clean, operation, count)) {
      const Fault fault{operation, nth, 0};
      Sweep(scenario, clean, fault);
      ++injected;
    }
  }
  constexpr int kDiskSizes = 12;
  for (int k = 0; k < kDiskSizes; ++k) {
    const Fault fault{"", 0, clean.bytesWritten * k / kDiskSizes + (k % 3) * 17};
    Sweep(scenario, clean, fault);
    ++injected;
  }
  std::printf(
      "%s: %d faults injected over %zu kinds of call, %llu bytes written; %d runs without "
      "a whole backup, %d user files lost\n",
      scenario.name, injected, clean.calls.size(),
      static_cast<unsigned long long>(clean.bytesWritten), g_unprotectedRuns, g_lostFiles);
  g_unprotectedRuns = g_lostFiles = 0;
}

INSTANTIATE_TEST_SUITE_P(Installs, FaultSweepTest, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                           return std::string(info.param.wizard ? "Wizard" : "Silent") +
                                  (info.param.preset == Preset::kWindows7x64 ? "X64" : "X86");
                         });

}  // namespace
}  // namespace zv
