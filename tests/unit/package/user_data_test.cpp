#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "package/user_data_backup.h"
#include "package/user_data_restore.h"
#include "package_test_support.h"
#include "platform/fake/code_page.h"
#include "platform/win_constants.h"
#include "state/locations.h"
#include "state/package_state.h"
#include "state/run_state.h"

namespace zv::testing {
namespace {

const std::string kDir = kInstallDir;
const std::string kArchive = kDir + "zavoback.zvz";

// The rows as packed by the Pinyin edition, with the file each is read from.
struct Row {
  std::string packed;
  std::string source;
};
std::vector<Row> Rows(int edition) {
  std::vector<Row> rows = {{edition == 1 ? "zavopyck.bak" : "zavocyzk.bak",
                            edition == 1 ? "zavopyck.zvh" : "zavocyzk.zvh"}};
  for (const char* stem :
       {"zvszsj43", "cfontset", "cwbzlcz1", "zvwbcmxz", "zvdhzcm", "zavodhz", "zvgbkhz"}) {
    rows.push_back({std::string(stem) + ".bak", std::string(stem) + ".zvh"});
  }
  for (const char* name :
       {"zvszsj43.zvh", "zavodwdw.txt", "zavozdym.zvh", "zvpyzdym.zvh", "zvwbpy.txt",
        "zavoynhz.txt", "zavozdfh.zvh", "userck.txt", "delck.txt", "ftzvzdym.txt", "ftpyzdym.txt",
        "cwb.ov1", "zavopymb.ov1", "zvgbkbh.zvh", "zvszsj05.zvh", "zvszsj06.zvh"}) {
    if (edition == 1 && std::string(name) == "cwb.ov1") continue;
    rows.push_back({name, name});
  }
  return rows;
}
constexpr size_t kRequiredRows = 15;

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
  return bytes;
}

std::string ContentOf(const std::string& source) { return "data of " + source; }

class UserDataTest : public PackageTest {
 protected:
  UserDataTest() {
    WorkBuffer = workBuffer_.data();
    EditionFlag = 1;
    PreviousInstallDir.Assign(kDir);
    InstallDir.Assign(kDir);
  }

  // Every source file of every row, with its own content.
  void AddUserFiles(int edition = 1) {
    for (const Row& row : Rows(edition)) machine_.AddFile(kDir + row.source, ContentOf(row.source));
  }
  // Every file of a directory with its content.
  std::map<std::string, std::string> Snapshot(const std::string& directory) {
    std::map<std::string, std::string> files;
    for (const std::string& name : machine_.ListDirectory(directory)) {
      files[name] = machine_.ReadText(directory + name).value_or("<dir>");
    }
    return files;
  }
  std::string Archive(const std::string& path = kArchive) {
    return machine_.ReadText(path).value_or("<missing>");
  }
  static std::vector<std::string> RecordNames(const std::string& archive) {
    std::vector<std::string> names;
    ContainerReader reader(BytesOf(archive));
    PackageEntry entry;
    while (reader.Next(&entry)) names.emplace_back(entry.name);
    return names;
  }
  static std::vector<std::string> PackedNames(const std::vector<Row>& rows) {
    std::vector<std::string> names;
    for (const Row& row : rows) names.push_back(row.packed);
    return names;
  }
};

TEST_F(UserDataTest, ArchiveHoldsEveryRowInTableOrderInTheDigestLayout) {
  AddUserFiles();
  machine_.AddFile(kArchive, "an archive of an earlier run");
  ASSERT_EQ(BackupUserData(PreviousInstallDir.view()), 1);
  std::vector<std::pair<std::string, std::string>> expected;
  for (const Row& row : Rows(1)) expected.emplace_back(row.packed, ContentOf(row.source));
  const std::string archive = Archive();
  EXPECT_EQ(archive, BuildContainer(ContainerLayout::kDigest, expected));
  // The header and the first record's header, field by field.
  ASSERT_GT(archive.size(), kContainerHeaderSize + kDigestRecordHeaderSize);
  EXPECT_EQ(archive.substr(0, 2), "C0");
  const auto* bytes = reinterpret_cast<const uint8_t*>(archive.data());
  EXPECT_EQ(ReadU32(bytes + kEndOffsetOffset), archive.size());
  EXPECT_EQ(ReadU32(bytes + kRecordCountOffset), 23u);
  const std::string record = archive.substr(kContainerHeaderSize, kDigestRecordHeaderSize);
  EXPECT_EQ(record.substr(0, 18), std::string("CFzavopyck.bak\0\0\0\0", 18));
  EXPECT_EQ(record.substr(18, 34), DigestOf(ContentOf("zavopyck.zvh")) + std::string(2, '\0'));
  EXPECT_EQ(ReadU32(bytes + kContainerHeaderSize + kDigestStreamSizeOffset),
            ZlibStream(ContentOf("zavopyck.zvh")).size());
  // Rows 1 to 8 were copied beside their .zvh; the user's files are unchanged.
  EXPECT_EQ(machine_.ReadText(kDir + "zvgbkhz.bak"), ContentOf("zvgbkhz.zvh"));
  for (const Row& row : Rows(1))
    EXPECT_EQ(machine_.ReadText(kDir + row.source), ContentOf(row.source));
}

TEST_F(UserDataTest, EditionPicksTheFirstRowAndTheShapeCodeRow) {
  for (int edition : {0, 1}) {
    SCOPED_TRACE(edition);
    EditionFlag = edition;
    AddUserFiles(edition);
    EXPECT_EQ(BackupUserData(PreviousInstallDir.view()), 1);
    EXPECT_EQ(RecordNames(Archive()), PackedNames(Rows(edition)));
  }
  EXPECT_EQ(Rows(0).size(), 24u);
  EXPECT_EQ(Rows(1).size(), 23u);
}

// A missing file among the first fifteen ends the backup with the rows
// before it packed; any of the others is left out and the backup goes on.
TEST_F(UserDataTest, MissingRowStopsTheBackupOnlyAmongTheFirstFifteen) {
  const std::vector<Row> rows = Rows(1);
  for (size_t missing = 0; missing < rows.size(); ++missing) {
    SCOPED_TRACE(rows[missing].packed);
    machine_.RemovePath("C:\\zavoli");
    machine_.AddDirectory("C:\\zavoli");
    AddUserFiles();
    machine_.RemovePath(kDir + rows[missing].source);
    // zvszsj43.zvh is the source of row 2 too: the backup ends there.
    size_t first = 0;
    while (rows[first].source != rows[missing].source) ++first;
    std::vector<Row> packed(rows.begin(), rows.begin() + first);
    if (missing >= kRequiredRows) {
      packed.insert(packed.end(), rows.begin() + missing + 1, rows.end());
    }
    EXPECT_EQ(BackupUserData(PreviousInstallDir.view()), missing < kRequiredRows ? 0 : 1);
    EXPECT_EQ(RecordNames(Archive()), PackedNames(packed));
  }
}

TEST_F(UserDataTest, OlderBakIsPackedWhenItsZvhIsMissing) {
  AddUserFiles();
  machine_.RemovePath(kDir + "zvdhzcm.zvh");
  machine_.AddFile(kDir + "zvdhzcm.bak", "older copy");
  EXPECT_EQ(BackupUserData(PreviousInstallDir.view()), 1);
  ASSERT_TRUE(machine_.Exists(kDir + "zvdhzcm.bak"));
  machine_.RemovePath(kDir + "zvdhzcm.bak");
  RestoreUserData();
  EXPECT_EQ(machine_.ReadText(kDir + "zvdhzcm.bak"), "older copy");
}

TEST_F(UserDataTest, AddFileRefusesBadPathsAndNamesAlreadyPacked) {
  machine_.AddFile(kDir + "zvszsj43.zvh", "a");
  machine_.AddFile(kDir + "ZVSZSJ43.ZVH.", "b");
  machine_.AddFile(kDir + "abcdefghi.txt", "c");
  EXPECT_EQ(AddFileToArchive(kArchive, ""), 0);
  EXPECT_FALSE(machine_.Exists(kArchive));
  EXPECT_EQ(AddFileToArchive(kArchive, kDir + "abcdefghi.txt"), 0);  // 13 characters
  EXPECT_EQ(AddFileToArchive(kArchive, kDir + "zvszsj43.zvh"), 1);
  EXPECT_EQ(AddFileToArchive(kArchive, kDir + "zvszsj43.zvh"), 0);
  EXPECT_EQ(AddFileToArchive(kArchive, kDir + "missing.zvh"), 0);
  EXPECT_EQ(AddFileToArchive(kArchive, kDir + "ZVSZSJ43.ZVH"), 1);  // names compare exactly
  EXPECT_EQ(RecordNames(Archive()), (std::vector<std::string>{"zvszsj43.zvh", "ZVSZSJ43.ZVH"}));
  // An archive with bytes behind its last record takes nothing more.
  machine_.AddFile(kArchive, Archive() + "x");
  EXPECT_EQ(AddFileToArchive(kArchive, kDir + "abcdefghi.txt"), 0);
  // A relative path's name is the whole path.
  machine_.SetCurrentDirectory("C:\\zavoli");
  EXPECT_EQ(AddFileToArchive(kDir + "b.zvz", "abcdefghi.txt"), 0);
  machine_.AddFile(kDir + "short.txt", "s");
  EXPECT_EQ(AddFileToArchive(kDir + "b.zvz", "short.txt"), 1);
}

TEST_F(UserDataTest, NoEarlierInstallTouchesNothing) {
  machine_.AddFile("C:\\zavoback.zvz", "someone else's file");
  machine_.AddFile("C:\\zavopyck.zvh", "a file beside the installer");
  machine_.AddFile(kDir + "zavopyck.zvh", "p");
  // Longer than an install directory can be: no earlier install's.
  const std::string tooLong = "C:\\" + std::string(196, 'a') + "\\";
  for (const std::string& previous :
       {std::string(), std::string("zavoli\\"), std::string("\\\\server\\share\\"),
        std::string("C:zavoli\\"), std::string("C:\\zavoli"), std::string("1:\\zavoli\\"),
        tooLong}) {
    SCOPED_TRACE(previous);
    InstallDir.Assign("C:\\Program Files\\zavoli\\");
    const auto root = Snapshot("C:\\");
    const int createCalls = machine_.CallCount("CreateFileA");
    const int deleteCalls = machine_.CallCount("DeleteFileA");
    EXPECT_EQ(BackupUserData(previous), 0);
    EXPECT_EQ(Snapshot("C:\\"), root);
    EXPECT_EQ(machine_.CallCount("CreateFileA"), createCalls);
    EXPECT_EQ(machine_.CallCount("DeleteFileA"), deleteCalls);
    EXPECT_EQ(machine_.CallCount("CopyFileA"), 0);
    EXPECT_EQ(InstallDir.view(), "C:\\Program Files\\zavoli\\");
  }
}

// The backup works in the earlier install's directory it is given, wherever
// the install goes.
TEST_F(UserDataTest, BackupWorksInTheGivenDirectoryAndLeavesInstallDirAlone) {
  AddUserFiles();
  InstallDir.Assign("C:\\Program Files\\zavoli\\");
  ASSERT_EQ(BackupUserData(kDir), 1);
  EXPECT_EQ(RecordNames(Archive()), PackedNames(Rows(1)));
  EXPECT_EQ(InstallDir.str(), "C:\\Program Files\\zavoli\\");
  EXPECT_FALSE(machine_.Exists("C:\\Program Files\\zavoli\\zavoback.zvz"));
}

TEST_F(UserDataTest, RestoreBringsEveryFileBackAndCountsThem) {
  AddUserFiles();
  ASSERT_EQ(BackupUserData(PreviousInstallDir.view()), 1);
  // The install puts the package's copies over them.
  for (const Row& row : Rows(1)) machine_.AddFile(kDir + row.packed, "the package's copy");
  RestoreUserData();
  for (const Row& row : Rows(1))
    EXPECT_EQ(machine_.ReadText(kDir + row.packed), ContentOf(row.source));
  ASSERT_EQ(machine_.MessageBoxes().size(), 1u);
  EXPECT_EQ(machine_.MessageBoxes()[0].text, u"成功恢复了23个原有数据文件！");
  EXPECT_EQ(machine_.MessageBoxes()[0].caption, u"智能岚汀");
  EXPECT_EQ(machine_.MessageBoxes()[0].style, win::kMbOk);
  EXPECT_TRUE(machine_.Exists(kArchive));
}

TEST_F(UserDataTest, RestoreIntoAnotherDirectoryCopiesTheArchiveThere) {
  AddUserFiles();
  ASSERT_EQ(BackupUserData(PreviousInstallDir.view()), 1);
  InstallDir.Assign("C:\\new\\");
  machine_.AddDirectory("C:\\new");
  RestoreUserData();
  EXPECT_EQ(Archive("C:\\new\\zavoback.zvz"), Archive());
  EXPECT_EQ(machine_.ReadText("C:\\new\\zvszsj43.bak"), ContentOf("zvszsj43.zvh"));
  EXPECT_EQ(machine_.ReadText("C:\\new\\zvszsj06.zvh"), ContentOf("zvszsj06.zvh"));
  EXPECT_EQ(Messages(), std::vector<std::u16string>{u"成功恢复了23个原有数据文件！"});
}

// An archive that an earlier run left in the new InstallDir is not this
// run's backup: when the archive this run made cannot be copied there,
// nothing is restored and the user is told.
TEST_F(UserDataTest, AStaleArchiveInTheNewDirectoryIsNeverRestored) {
  AddUserFiles();
  ASSERT_EQ(BackupUserData(PreviousInstallDir.view()), 1);
  InstallDir.Assign("C:\\new\\");
  machine_.AddDirectory("C:\\new");
  machine_.AddFile("C:\\new\\zavoback.zvz",
                   BuildContainer(ContainerLayout::kDigest, {{"zvszsj06.zvh", "stale data"},
                                                             {"zvszsj05.zvh", "stale data"}}));
  struct Case {
    const char* what;
    std::function<void()> spoil;
  };
  const Case cases[] = {
      {"copy refused",
       [this] { machine_.FailOperation("CopyFileA", win::kErrorDiskFull, "zavoback.zvz", 1); }},
      {"no archive made", [this] { machine_.RemovePath(kArchive); }},
      {"no earlier directory", [] { PreviousInstallDir.clear(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    machine_.ClearMessageBoxes();
    c.spoil();
    RestoreUserData();
    machine_.ClearFailures();
    EXPECT_FALSE(machine_.Exists("C:\\new\\zvszsj06.zvh"));
    EXPECT_EQ(Messages(),
              std::vector<std::u16string>{u"原有数据文件没有成功复制，原有数据不能使用！\r\n"});
  }
}

TEST_F(UserDataTest, MissingOrShortArchiveRestoresNothingSilently) {
  RestoreUserData();
  machine_.AddFile(kDir + "a.txt", "aaaa");
  const std::string small = BuildContainer(ContainerLayout::kDigest, {{"b.txt", "b"}});
  ASSERT_LT(small.size(), 100u);
  machine_.AddFile(kArchive, small);
  RestoreUserData();
  EXPECT_FALSE(machine_.Exists(kDir + "b.txt"));
  EXPECT_TRUE(machine_.MessageBoxes().empty());
  // 100 bytes are enough.
  const std::string enough = BuildContainer(ContainerLayout::kDigest, {{"b.txt", "b"}, {"c", "c"}});
  ASSERT_GE(enough.size(), 100u);
  machine_.AddFile(kArchive, enough);
  RestoreUserData();
  EXPECT_EQ(machine_.ReadText(kDir + "b.txt"), "b");
}

// The summary lists each failing name in the code page, the sentences in
// UTF-16, on 936 and 950 alike.
TEST_F(UserDataTest, FailureSummaryListsTheFilesThatDidNotComeBack) {
  for (uint32_t codePage : {936u, 950u}) {
    SCOPED_TRACE(codePage);
    machine_.SetAnsiCodePage(codePage);
    machine_.ClearMessageBoxes();
    const std::string chinese = fake::Utf16ToAnsi(codePage, u"中文.txt");
    machine_.AddFile(
        kArchive,
        BuildContainer(ContainerLayout::kDigest, {{"ok.txt", "fine"}, {chinese, "held"}}) + "");
    machine_.AddFile(kDir + chinese, "kept");
    const uint32_t held =
        machine_.OpenHandle(kDir + chinese, win::kGenericRead, win::kFileShareRead);
    ASSERT_NE(held, 0u);
    RestoreUserData();
    machine_.ReleaseHandle(held);
    EXPECT_EQ(machine_.ReadText(kDir + chinese), "kept");
    EXPECT_EQ(Messages(), (std::vector<std::u16string>{
                              RecordFailure(u"中文.txt"),
                              u"中文.txt....有文件没有成功解压，请重新下载安装！\r\n\r\n\r\n"
                              u"原有数据文件没有成功复制，原有数据不能使用！\r\n"}));
    EXPECT_EQ(machine_.MessageBoxes().back().caption, u"智能岚汀");
  }
}

// An empty user file is data: it is packed, and it comes back empty over
// the package's copy (or where there is none), counted as restored.
TEST_F(UserDataTest, EmptyFileIsPackedAndWrittenBackEmpty) {
  AddUserFiles();
  machine_.AddFile(kDir + "userck.txt", "");
  ASSERT_EQ(BackupUserData(PreviousInstallDir.view()), 1);
  const std::string archive = Archive();
  ContainerReader reader(BytesOf(archive));
  PackageEntry entry;
  bool found = false;
  while (reader.Next(&entry)) {
    if (entry.name != "userck.txt") continue;
    found = true;
    EXPECT_EQ(std::string(entry.digestField.substr(0, 32)), "D41D8CD98F00B204E9800998ECF8427E");
  }
  EXPECT_TRUE(found);
  for (bool packageCopy : {true, false}) {
    SCOPED_TRACE(packageCopy);
    machine_.ClearMessageBoxes();
    machine_.RemovePath(kDir + "userck.txt");
    if (packageCopy) machine_.AddFile(kDir + "userck.txt", "the package's copy");
    RestoreUserData();
    EXPECT_EQ(machine_.ReadText(kDir + "userck.txt"), "");
    EXPECT_EQ(Messages(), std::vector<std::u16string>{u"成功恢复了23个原有数据文件！"});
  }
}

// Random bytes do not shrink: they need the room compressBound gives. Over
// 2,097,008 bytes they come back through a block of their own.
TEST_F(UserDataTest, IncompressibleAndLargeFilesAreBackedUpAndRestored) {
  for (size_t size : {size_t{8193}, size_t{20000}, size_t{3} * 1024 * 1024}) {
    SCOPED_TRACE(size);
    AddUserFiles();
    const std::string random = RandomBytes(size, static_cast<unsigned>(size));
    machine_.AddFile(kDir + "zavopyck.zvh", random);
    machine_.AddFile(kDir + "zvszsj43.zvh", random);
    machine_.AddFile(kDir + "zvszsj05.zvh", random);
    ASSERT_EQ(BackupUserData(PreviousInstallDir.view()), 1);
    const std::string archive = Archive();
    EXPECT_GT(archive.size(), 3 * size);
    for (const char* name : {"zavopyck.bak", "zvszsj43.zvh", "zvszsj05.zvh"}) {
      machine_.AddFile(kDir + name, "the package's copy");
    }
    machine_.ClearMessageBoxes();
    RestoreUserData();
    for (const char* name : {"zavopyck.bak", "zvszsj43.zvh", "zvszsj05.zvh"}) {
      EXPECT_EQ(machine_.ReadText(kDir + name), random) << name;
    }
    EXPECT_EQ(Messages(), std::vector<std::u16string>{u"成功恢复了23个原有数据文件！"});
  }
}

// Whatever file step of the backup fails, the user's files stay as they were
// and a failure among the first fifteen rows is reported.
TEST_F(UserDataTest, FaultsInTheBackupLeaveTheUserFilesAlone) {
  struct Fault {
    const char* operation;
    const char* subject;
    int result;
  };
  for (const Fault& fault :
       {Fault{"CreateFileA", "zavoback.zvz", 0}, Fault{"WriteFile", "zavoback.zvz", 0},
        Fault{"ReadFile", "zavoback.zvz", 0}, Fault{"ReadFile", "zavodwdw.txt", 0},
        Fault{"CreateFileA", "zvwbpy.txt", 0}, Fault{"CopyFileA", "cfontset", 1},
        Fault{"DeleteFileA", "zavoback.zvz", 0}, Fault{"ReadFile", "delck.txt", 1}}) {
    SCOPED_TRACE(std::string(fault.operation) + " " + fault.subject);
    machine_.RemovePath("C:\\zavoli");
    AddUserFiles();
    machine_.AddFile(kArchive, "an archive of an earlier run");
    machine_.AddFile(kDir + "cfontset.bak", "older copy");
    std::map<std::string, std::string> before = Snapshot(kDir);
    machine_.FailOperation(fault.operation, win::kErrorAccessDenied, fault.subject, 1);
    EXPECT_EQ(BackupUserData(PreviousInstallDir.view()), fault.result);
    machine_.ClearFailures();
    std::map<std::string, std::string> after = Snapshot(kDir);
    for (const Row& row : Rows(1)) EXPECT_EQ(after[row.source], before[row.source]) << row.source;
    // A failed copy leaves the older .bak on the disk as it was.
    if (std::string(fault.operation) == "CopyFileA") {
      EXPECT_EQ(after["cfontset.bak"], "older copy");
    }
  }
}

// A failed copy of a row's .zvh does not let an older .bak stand in for the
// user's current file: the .zvh itself is packed under the .bak name.
TEST_F(UserDataTest, AFailedCopyPacksTheCurrentFileUnderTheCopysName) {
  AddUserFiles();
  machine_.AddFile(kDir + "cfontset.bak", "older copy");
  machine_.FailOperation("CopyFileA", win::kErrorAccessDenied, "cfontset", 1);
  EXPECT_EQ(BackupUserData(PreviousInstallDir.view()), 1);
  machine_.ClearFailures();
  machine_.RemovePath(kDir + "cfontset.bak");
  RestoreUserData();
  EXPECT_EQ(machine_.ReadText(kDir + "cfontset.bak"), ContentOf("cfontset.zvh"));
}

// An addition that fails while writing its record or the header leaves the
// archive whole, without trailing bytes, so that later additions are taken.
TEST_F(UserDataTest, AFailedAdditionLeavesTheArchiveOpenToTheNext) {
  for (const char* file : {"a.txt", "b.txt", "c.txt"}) {
    machine_.AddFile(kDir + file, RandomBytes(5000, static_cast<unsigned>(file[0])));
  }
  // An addition to an archive writes the record's header, its stream, the
  // record's header again with the stream's size, and the archive's header;
  // the first one writes the new archive's header first.
  struct Case {
    bool first;
    int failingWrite;
  };
  for (const Case& fault :
       {Case{true, 1}, Case{false, 1}, Case{false, 2}, Case{false, 3}, Case{false, 4}}) {
    SCOPED_TRACE(::testing::Message() << fault.first << " " << fault.failingWrite);
    machine_.RemovePath(kArchive);
    if (!fault.first) {
      ASSERT_EQ(AddFileToArchive(kArchive, kDir + "a.txt"), 1);
    }
    machine_.FailNthCall("WriteFile", win::kErrorDiskFull, fault.failingWrite);
    EXPECT_EQ(AddFileToArchive(kArchive, kDir + "b.txt"), 0);
    machine_.ClearFailures();
    EXPECT_EQ(AddFileToArchive(kArchive, kDir + "c.txt"), 1);
    const std::string archive = Archive();
    const std::vector<std::string> kept = fault.first ? std::vector<std::string>{"c.txt"}
                                                      : std::vector<std::string>{"a.txt", "c.txt"};
    EXPECT_EQ(RecordNames(archive), kept);
    ASSERT_GE(archive.size(), kContainerHeaderSize);
    EXPECT_EQ(ReadU32(reinterpret_cast<const uint8_t*>(archive.data()) + kEndOffsetOffset),
              archive.size());
  }
}

// The record is the zero-filled header and the stream of compress at its
// default level, byte for byte, whether the stream takes one piece or many.
TEST_F(UserDataTest, ARecordHoldsTheStreamOfCompress) {
  std::string compressible;
  for (int i = 0; compressible.size() < (3u << 20); ++i) compressible += std::to_string(i) + "; ";
  const std::string contents[] = {"", "abc", RandomBytes(3 << 20, 5), compressible};
  std::vector<std::string> names;
  std::string records;
  for (const std::string& content : contents) {
    names.push_back("f" + std::to_string(names.size()) + ".txt");
    machine_.AddFile(kDir + names.back(), content);
    ASSERT_EQ(AddFileToArchive(kArchive, kDir + names.back()), 1);
    const std::string stream = ZlibStream(content);
    std::string header(kDigestRecordHeaderSize, '\0');
    header.replace(0, 2, "CF");
    header.replace(kRecordNameOffset, names.back().size(), names.back());
    header.replace(kDigestFieldOffset, kDigestDigits, DigestOf(content));
    uint8_t size[4];
    WriteU32(size, static_cast<uint32_t>(stream.size()));
    header.replace(kDigestStreamSizeOffset, 4, reinterpret_cast<const char*>(size), 4);
    records += header + stream;
  }
  const std::string archive = Archive();
  ASSERT_EQ(archive.size(), kContainerHeaderSize + records.size());
  EXPECT_TRUE(archive.substr(kContainerHeaderSize) == records);
  EXPECT_EQ(RecordNames(archive), names);
}

// An addition walks the archive by its headers: it reads none of the
// streams already packed, so that its cost is its own record's.
TEST_F(UserDataTest, AnAdditionReadsOnlyTheArchivesHeaders) {
  machine_.AddFile(kDir + "big.bin", RandomBytes(3 << 20, 3));
  machine_.AddFile(kDir + "small.txt", "small");
  ASSERT_EQ(AddFileToArchive(kArchive, kDir + "big.bin"), 1);
  machine_.RecordCalls(true);
  ASSERT_EQ(AddFileToArchive(kArchive, kDir + "small.txt"), 1);
  machine_.RecordCalls(false);
  int archiveReads = 0;
  for (const auto& call : machine_.RecordedCalls()) {
    archiveReads +=
        call.operation == "ReadFile" && call.subjects.find(kBackupArchiveName) != std::string::npos;
  }
  EXPECT_EQ(archiveReads, 2) << "the container's header and the one record's";
  EXPECT_EQ(RecordNames(Archive()), (std::vector<std::string>{"big.bin", "small.txt"}));
}

// The user who chose to keep the earlier data hears when its archive is
// there but cannot be read; a missing archive stays without a word.
TEST_F(UserDataTest, AnArchiveThatCannotBeReadIsReported) {
  AddUserFiles();
  ASSERT_EQ(BackupUserData(PreviousInstallDir.view()), 1);
  for (const char* operation : {"CreateFileA", "ReadFile"}) {
    SCOPED_TRACE(operation);
    machine_.ClearMessageBoxes();
    machine_.FailOperation(operation, win::kErrorAccessDenied, "zavoback.zvz", 1);
    RestoreUserData();
    machine_.ClearFailures();
    EXPECT_EQ(Messages(),
              std::vector<std::u16string>{u"原有数据文件没有成功复制，原有数据不能使用！\r\n"});
  }
  machine_.ClearMessageBoxes();
  machine_.RemovePath(kArchive);
  RestoreUserData();
  EXPECT_TRUE(Messages().empty());
}

// Whatever file step of the restore fails, the file in InstallDir stays whole
// and the summary names it.
TEST_F(UserDataTest, FaultsInTheRestoreLeaveTheFileInPlace) {
  AddUserFiles();
  ASSERT_EQ(BackupUserData(PreviousInstallDir.view()), 1);
  struct Fault {
    const char* operation;
    const char* subject;
  };
  for (const Fault& fault :
       {Fault{"CreateFileA", "zvwbpy.txt~zvn"}, Fault{"WriteFile", "zvwbpy.txt"},
        Fault{"MoveFileA", "zvwbpy.txt~zvo"}, Fault{"MoveFileA", "zvwbpy.txt~zvn"}}) {
    SCOPED_TRACE(std::string(fault.operation) + " " + fault.subject);
    machine_.AddFile(kDir + "zvwbpy.txt", "the user's current file");
    machine_.ClearMessageBoxes();
    machine_.FailOperation(fault.operation, win::kErrorAccessDenied, fault.subject, 1);
    RestoreUserData();
    machine_.ClearFailures();
    EXPECT_EQ(machine_.ReadText(kDir + "zvwbpy.txt"), "the user's current file");
    EXPECT_FALSE(machine_.Exists(kDir + "zvwbpy.txt~zvn"));
    EXPECT_FALSE(machine_.Exists(kDir + "zvwbpy.txt~zvo"));
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[1],
              u"zvwbpy.txt....有文件没有成功解压，请重新下载安装！\r\n\r\n\r\n"
              u"原有数据文件没有成功复制，原有数据不能使用！\r\n");
  }
}

}  // namespace
}  // namespace zv::testing
