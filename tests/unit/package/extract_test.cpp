#include "package/extract.h"

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "package/phrase_list.h"
#include "package_test_support.h"
#include "platform/services.h"
#include "platform/win_constants.h"

namespace zv::testing {
namespace {

// "测试.txt" in GBK.
const std::string kGbkName = "\xB2\xE2\xCA\xD4.txt";

class ExtractTest : public PackageTest {};

TEST_F(ExtractTest, BothLayoutsUnpackEveryRecordOverOldFiles) {
  for (ContainerLayout layout : {ContainerLayout::kDigest, ContainerLayout::kPlain}) {
    machine_.AddFile("C:\\zavoli\\zvszsj43.zvh", "old settings");
    const std::string binary(70000, '\x90');
    const std::string settings(60, 's');
    const std::string text = "\xD6\xD0\xCE\xC4; \xD6\xD0\xCE\xC4; \xD6\xD0\xCE\xC4; ";
    const std::string container = BuildContainer(
        layout, {{"zvszsj43.zvh", settings}, {kGbkName, text}, {"zavoli4.ime", binary}});
    EXPECT_TRUE(Extract(container));
    EXPECT_EQ(Installed("zvszsj43.zvh"), settings);
    EXPECT_EQ(Installed(kGbkName), text);
    EXPECT_EQ(Installed("zavoli4.ime"), binary);
    EXPECT_TRUE(Messages().empty());
  }
}

// A fresh install has nothing to keep: each file is created and written under
// its own name, without a neighbour to swap in.
TEST_F(ExtractTest, FreshTargetsAreWrittenInOnePass) {
  machine_.AddFile("C:\\zavoli\\old.zvh", "old");
  EXPECT_TRUE(Extract(BuildContainer(
      ContainerLayout::kDigest, {{"a.zvh", "first"}, {"b.zvh", "second"}, {"old.zvh", "new"}})));
  EXPECT_EQ(machine_.ListDirectory("C:\\zavoli"),
            (std::vector<std::string>{"a.zvh", "b.zvh", "old.zvh"}));
  EXPECT_EQ(Installed("old.zvh"), "new");
  EXPECT_EQ(machine_.CallCount("MoveFileA"), 2);  // the old file aside, the new one in
}

TEST_F(ExtractTest, DamagedRecordsLeaveTheOldFileAndTheWalkGoesOn) {
  const std::string good = ZlibStream("new content");
  std::string damaged = good;
  damaged[4] ^= 0x55;
  const std::string digest = "00000000000000000000000000000000";
  const std::string goodDigest = DigestOf("new content");
  std::string lowerCaseDigest = goodDigest;
  for (char& c : lowerCaseDigest) c = static_cast<char>(std::tolower(c));
  const std::string container =
      RawContainer('0', 5,
                   {RawDigestRecord("mismatch.zvh", digest, good),
                    RawDigestRecord("damaged.zvh", goodDigest, damaged),
                    RawDigestRecord("empty.zvh", goodDigest, ZlibStream("")),
                    RawDigestRecord("lowercase.zvh", lowerCaseDigest, good),
                    RawDigestRecord("good.zvh", goodDigest, good)});
  for (const char* name : {"mismatch.zvh", "damaged.zvh", "empty.zvh", "lowercase.zvh"}) {
    machine_.AddFile(std::string(kInstallDir) + name, "old", win::kAttributeReadOnly);
  }
  EXPECT_FALSE(Extract(container));
  for (const char* name : {"mismatch.zvh", "damaged.zvh", "empty.zvh", "lowercase.zvh"}) {
    EXPECT_EQ(Installed(name), "old") << name;
    EXPECT_EQ(machine_.Attributes(std::string(kInstallDir) + name), win::kAttributeReadOnly);
  }
  EXPECT_EQ(Installed("good.zvh"), "new content");
  EXPECT_EQ(Messages(), (std::vector<std::u16string>{
                            RecordFailure(u"mismatch.zvh"), RecordFailure(u"damaged.zvh"),
                            RecordFailure(u"empty.zvh"), RecordFailure(u"lowercase.zvh")}));
  for (const auto& box : machine_.MessageBoxes()) {
    EXPECT_EQ(box.caption, u"智能岚汀安装");
    EXPECT_EQ(box.style, win::kMbOk);
  }
}

// The package and the skins never carry an empty file: a record of no bytes
// fails there. The backup archive's empty record is the user's empty file.
TEST_F(ExtractTest, ZeroByteRecordFailsUnlessEmptyRecordsAreFiles) {
  const std::string emptyDigest = "D41D8CD98F00B204E9800998ECF8427E";
  ExtractRules emptyAreFiles;
  emptyAreFiles.emptyRecordsAreFiles = true;
  for (const ExtractRules& rules : {ExtractRules{}, emptyAreFiles}) {
    const bool written = rules.emptyRecordsAreFiles;
    for (const std::string& container :
         {RawContainer('0', 1, {RawDigestRecord("userck.txt", emptyDigest, ZlibStream(""))}),
          RawContainer('S', 1, {RawPlainRecord("userck.txt", ZlibStream(""))})}) {
      for (bool existing : {false, true}) {
        SCOPED_TRACE(::testing::Message() << written << container[1] << existing);
        machine_.ClearMessageBoxes();
        machine_.RemovePath("C:\\zavoli\\userck.txt");
        if (existing) machine_.AddFile("C:\\zavoli\\userck.txt", "the package's copy");
        EXPECT_EQ(Extract(container, rules), written);
        EXPECT_EQ(Installed("userck.txt"), written    ? ""
                                           : existing ? "the package's copy"
                                                      : "<missing>");
        EXPECT_EQ(Messages().empty(), written);
      }
    }
  }
  // The digest still holds an empty record to empty content.
  machine_.ClearMessageBoxes();
  EXPECT_FALSE(
      Extract(RawContainer('0', 1, {RawDigestRecord("userck.txt", DigestOf("x"), ZlibStream(""))}),
              emptyAreFiles));
  EXPECT_EQ(Messages(), std::vector<std::u16string>{RecordFailure(u"userck.txt")});
}

bool IsMine(std::string_view name) { return name == "mine.zvh"; }

// The user's files are written as the others, kept where they stand, or
// written alone.
TEST_F(ExtractTest, UserFileRulesKeepOrSingleOutTheUsersFiles) {
  struct Case {
    UserFileRecords userFiles;
    bool mineThere;
    const char* mine;
    const char* other;
  };
  for (const Case& c : {Case{UserFileRecords::kWrite, true, "new", "new"},
                        Case{UserFileRecords::kKeepExisting, true, "kept", "new"},
                        Case{UserFileRecords::kKeepExisting, false, "new", "new"},
                        Case{UserFileRecords::kOnly, true, "new", "old"}}) {
    SCOPED_TRACE(::testing::Message() << static_cast<int>(c.userFiles) << c.mineThere);
    machine_.RemovePath("C:\\zavoli\\mine.zvh");
    if (c.mineThere) machine_.AddFile("C:\\zavoli\\mine.zvh", "kept");
    machine_.AddFile("C:\\zavoli\\other.zvh", "old");
    ExtractRules rules;
    rules.isUserFile = IsMine;
    rules.userFiles = c.userFiles;
    EXPECT_TRUE(Extract(
        BuildContainer(ContainerLayout::kDigest, {{"mine.zvh", "new"}, {"other.zvh", "new"}}),
        rules));
    EXPECT_EQ(Installed("mine.zvh"), c.mine);
    EXPECT_EQ(Installed("other.zvh"), c.other);
  }
}

TEST_F(ExtractTest, ReadOnlyHiddenAndSystemTargetsAreReplaced) {
  machine_.AddFile("C:\\zavoli\\a.zvh", "old",
                   win::kAttributeReadOnly | win::kAttributeHidden | win::kAttributeSystem);
  EXPECT_TRUE(Extract(BuildContainer(ContainerLayout::kDigest, {{"a.zvh", "new"}})));
  EXPECT_EQ(Installed("a.zvh"), "new");
  const uint32_t attributes = machine_.Attributes("C:\\zavoli\\a.zvh");
  EXPECT_EQ(attributes & (win::kAttributeReadOnly | win::kAttributeHidden | win::kAttributeSystem),
            0u);
}

TEST_F(ExtractTest, ModuleInUseIsMovedToTheNameEndingIn2ThenIn12) {
  machine_.AddFile("C:\\zavoli\\zavoli4.ime", "running");
  ASSERT_TRUE(machine_.LoadModule("C:\\zavoli\\zavoli4.ime"));
  const std::string container = BuildContainer(ContainerLayout::kDigest, {{"zavoli4.ime", "v2"}});
  EXPECT_TRUE(Extract(container));
  EXPECT_EQ(Installed("zavoli4.ime"), "v2");
  EXPECT_EQ(Installed("zavoli2.ime"), "running");
  EXPECT_TRUE(machine_.IsModuleLoaded("C:\\zavoli\\zavoli2.ime"));

  // Both the target and its "2" neighbour in use: the target goes to "12".
  ASSERT_TRUE(machine_.LoadModule("C:\\zavoli\\zavoli4.ime"));
  EXPECT_TRUE(Extract(BuildContainer(ContainerLayout::kDigest, {{"zavoli4.ime", "v3"}})));
  EXPECT_EQ(Installed("zavoli4.ime"), "v3");
  EXPECT_EQ(Installed("zavoli2.ime"), "running");
  EXPECT_EQ(Installed("zavol12.ime"), "v2");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ExtractTest, TargetThatCanBeNeitherDeletedNorMovedFailsWithItsMessage) {
  machine_.AddFile("C:\\zavoli\\held.zvh", "held");
  ASSERT_NE(machine_.OpenHandle("C:\\zavoli\\held.zvh", win::kGenericRead, win::kFileShareRead),
            0u);
  EXPECT_FALSE(Extract(BuildContainer(ContainerLayout::kDigest, {{"held.zvh", "new"}})));
  EXPECT_EQ(Installed("held.zvh"), "held");
  EXPECT_EQ(Messages(), std::vector<std::u16string>{RecordFailure(u"held.zvh")});
}

TEST_F(ExtractTest, ShortWriteRemovesTheCutFile) {
  machine_.SetDiskFullAfter(1000);
  const std::string big(5000, 'x');
  EXPECT_FALSE(Extract(BuildContainer(ContainerLayout::kDigest, {{"big.zvh", big}})));
  EXPECT_FALSE(machine_.Exists("C:\\zavoli\\big.zvh"));
  EXPECT_EQ(Messages(), std::vector<std::u16string>{RecordFailure(u"big.zvh")});
}

TEST_F(ExtractTest, UnusableNamesNeverBecomePaths) {
  const std::vector<std::string> badNames = {
      std::string("abcdefghijklmnop"),  // no NUL in its 16 bytes
      std::string(),
      "..\\evil.txt",
      "../evil.txt",
      "C:evil.txt",
      "sub\\evil.txt",
      ".",
      "..",
      "...",
      "NUL",
      "con.txt",
      "Com1.ime",
      "new\nline.txt",
      "\x1b]0;title\x07",
      "what?.txt",
      "lpt9"};
  machine_.AddDirectory("C:\\zavoli\\sub");
  const std::vector<std::string> rootBefore = machine_.ListDirectory("C:\\");
  for (const std::string& bad : badNames) {
    machine_.ClearMessageBoxes();
    std::string container = BuildContainer(
        ContainerLayout::kDigest, {{"first.txt", "1"}, {"middle.txt", "evil"}, {"last.txt", "3"}});
    PatchName(&container, RecordOffsets(container)[1], ContainerLayout::kDigest, bad);
    EXPECT_FALSE(Extract(container)) << bad;
    EXPECT_EQ(machine_.ListDirectory("C:\\zavoli"),
              (std::vector<std::string>{"first.txt", "last.txt", "sub"}))
        << bad;
    EXPECT_TRUE(machine_.ListDirectory("C:\\zavoli\\sub").empty()) << bad;
    ASSERT_EQ(Messages().size(), 1u) << bad;
  }
  EXPECT_EQ(machine_.ListDirectory("C:\\"), rootBefore);
  EXPECT_EQ(Messages()[0], RecordFailure(u"lpt9"));

  // The plain layout's 14-byte field without a NUL.
  std::string plain = BuildContainer(ContainerLayout::kPlain, {{"a.bmp", std::string(40, 'a')}});
  PatchName(&plain, kContainerHeaderSize, ContainerLayout::kPlain, "abcdefghijklmn");
  EXPECT_FALSE(Extract(plain));
  EXPECT_FALSE(machine_.Exists("C:\\zavoli\\abcdefghijklmn"));
}

TEST_F(ExtractTest, ContainerCutShortStopsTheWalkSilently) {
  const std::string full = BuildContainer(
      ContainerLayout::kDigest, {{"a.txt", "aaaa"}, {"b.txt", "bbbb"}, {"c.txt", "cccc"}});
  const std::vector<size_t> offsets = RecordOffsets(full);

  // More records counted than present, with the four zero bytes that follow
  // the shipped package's last record.
  std::string overcounted = full + std::string(4, '\0');
  PatchU32(&overcounted, kRecordCountOffset, 5);
  EXPECT_FALSE(Extract(overcounted));
  EXPECT_EQ(Installed("c.txt"), "cccc");

  // Cut inside the last record's stream, then inside its header.
  for (size_t cut : {full.size() - 1, offsets[2] + 30, offsets[2] + 1}) {
    machine_.RemovePath("C:\\zavoli\\c.txt");
    EXPECT_FALSE(Extract(full.substr(0, cut))) << cut;
    EXPECT_EQ(Installed("b.txt"), "bbbb");
    EXPECT_FALSE(machine_.Exists("C:\\zavoli\\c.txt")) << cut;
  }

  // A stream size pointing far beyond the end stops the walk at that record.
  machine_.RemovePath("C:\\zavoli\\a.txt");
  std::string oversized = full;
  PatchU32(&oversized, offsets[0] + kDigestStreamSizeOffset, 0xFFFFFFF0u);
  EXPECT_FALSE(Extract(oversized));
  EXPECT_FALSE(machine_.Exists("C:\\zavoli\\a.txt"));

  // Less than a header.
  EXPECT_FALSE(Extract(full.substr(0, 9)));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(ExtractTest, LayoutLetterOtherThanZeroReadsPlainRecords) {
  const std::string skin(40, 'k');
  std::string plain = BuildContainer(ContainerLayout::kPlain, {{"zvbmp8.zvh", skin}});
  for (char letter : {'P', 'S', '1', 'z'}) {
    plain[kLayoutLetterOffset] = letter;
    machine_.RemovePath("C:\\zavoli\\zvbmp8.zvh");
    EXPECT_TRUE(Extract(plain)) << letter;
    EXPECT_EQ(Installed("zvbmp8.zvh"), skin);
  }
  // The same plain records read with 56-byte headers run past the end.
  plain[kLayoutLetterOffset] = '0';
  EXPECT_FALSE(Extract(plain));
}

TEST_F(ExtractTest, PhraseListGetsItsTrailerOnlyUnderItsExactName) {
  // "中文; 一; " in GBK: the one-character phrase is dropped.
  const std::string list = "\xD6\xD0\xCE\xC4; \xD2\xBB; ";
  EXPECT_TRUE(Extract(BuildContainer(ContainerLayout::kDigest, {{"ZAVOCYZK.BAK", list}})));
  EXPECT_EQ(Installed("zavocyzk.bak"), list);
  EXPECT_TRUE(Extract(BuildContainer(ContainerLayout::kDigest, {{"zavocyzk.bak", list}})));
  // Checksum 0xD6 + 0xD0 + 0xCE + 0xC4 + 0xD2 + 0xBB = 0x4C5, one phrase kept.
  const std::string trailer("ZAVO\xC5\x04\x00\x00\x01\x00\x00\x00", 12);
  EXPECT_EQ(Installed("zavocyzk.bak"), "\xD6\xD0\xCE\xC4; ; " + trailer);

  // A list that carries its trailer already is written byte for byte.
  const std::string withTrailer = "\xD6\xD0\xCE\xC4; " + trailer;
  EXPECT_TRUE(Extract(BuildContainer(ContainerLayout::kDigest, {{"zavocyzk.bak", withTrailer}})));
  EXPECT_EQ(Installed("zavocyzk.bak"), withTrailer);
}

TEST_F(ExtractTest, ContentFillingTheScratchAreaGoesThroughItLargerThroughABlock) {
  const size_t capacity = kWorkBufferSize - kScratchContentOffset - kScratchDigestRoom;
  ASSERT_EQ(capacity, 2097008u);
  const std::string fits(capacity, 'f');
  const std::string tooBig(capacity + 1, 't');
  const std::string container =
      RawContainer('0', 2,
                   {RawDigestRecord("toobig.zvh", DigestOf(tooBig), ZlibStream(tooBig)),
                    RawDigestRecord("fits.zvh", DigestOf(fits), ZlibStream(fits))});
  EXPECT_TRUE(Extract(container));
  EXPECT_EQ(Installed("fits.zvh"), fits);
  EXPECT_EQ(Installed("toobig.zvh"), tooBig);
  // The record that fits used the slot layout: its digest text behind it.
  EXPECT_EQ(std::string(reinterpret_cast<char*>(
                &workBuffer_[kScratchContentOffset + capacity + kScratchDigestGap])),
            DigestOf(fits));
  EXPECT_TRUE(Messages().empty());

  // Content several times the slot's size, where the block grows more than
  // once, and a phrase list past the slot, whose trailer goes behind it in
  // the block: both come out as from the slot.
  std::string varied(4 * capacity + 5, '\0');
  for (size_t i = 0; i < varied.size(); ++i) varied[i] = static_cast<char>((i * 7919) >> 9);
  std::string list;
  while (list.size() <= capacity) list += "\xD6\xD0\xCE\xC4; \xD2\xBB; ";
  std::string filtered = list + std::string(kPhraseTrailerSize, '\0');
  filtered.resize(CompactPhraseList(reinterpret_cast<uint8_t*>(filtered.data()), list.size()) +
                  kPhraseTrailerSize);
  EXPECT_TRUE(
      Extract(RawContainer('0', 2,
                           {RawDigestRecord("varied.zvh", DigestOf(varied), ZlibStream(varied)),
                            RawDigestRecord("zavocyzk.bak", DigestOf(list), ZlibStream(list))})));
  EXPECT_EQ(Installed("varied.zvh"), varied);
  EXPECT_EQ(Installed("zavocyzk.bak"), filtered);
}

TEST_F(ExtractTest, LargeRecordWithAWrongDigestOrCutStreamLeavesTheOldFile) {
  const std::string big(3 * 1024 * 1024, 'b');
  std::string cut = ZlibStream(big);
  cut.resize(cut.size() - 8);
  machine_.AddFile("C:\\zavoli\\wrong.zvh", "old");
  machine_.AddFile("C:\\zavoli\\cut.zvh", "old");
  EXPECT_FALSE(Extract(RawContainer('0', 2,
                                    {RawDigestRecord("wrong.zvh", DigestOf("x"), ZlibStream(big)),
                                     RawDigestRecord("cut.zvh", DigestOf(big), cut)})));
  EXPECT_EQ(Installed("wrong.zvh"), "old");
  EXPECT_EQ(Installed("cut.zvh"), "old");
  EXPECT_EQ(Messages(),
            (std::vector<std::u16string>{RecordFailure(u"wrong.zvh"), RecordFailure(u"cut.zvh")}));
}

TEST_F(ExtractTest, FailureAtAnyFileStepLeavesTheOldTarget) {
  const std::string fresh(3 * 1024 * 1024 + 17, 'n');
  const std::string container = BuildContainer(ContainerLayout::kDigest, {{"user.zvh", "new"}});
  const std::string large =
      RawContainer('0', 1, {RawDigestRecord("user.zvh", DigestOf(fresh), ZlibStream(fresh))});
  struct Fault {
    const char* operation;
    const char* subject;
  };
  for (const Fault& fault : {Fault{"CreateFileA", "user.zvh~zvn"}, Fault{"WriteFile", "user.zvh"},
                             Fault{"MoveFileA", "user.zvh"}, Fault{"MoveFileA", "user.zvh~zvn"}}) {
    for (const std::string* bytes : {&container, &large}) {
      machine_.AddFile("C:\\zavoli\\user.zvh", "old", win::kAttributeReadOnly);
      machine_.FailOperation(fault.operation, win::kErrorAccessDenied, fault.subject, 1);
      EXPECT_FALSE(Extract(*bytes)) << fault.operation << " " << fault.subject;
      machine_.ClearFailures();
      EXPECT_EQ(Installed("user.zvh"), "old") << fault.operation << " " << fault.subject;
      EXPECT_EQ(machine_.Attributes("C:\\zavoli\\user.zvh"), win::kAttributeReadOnly);
      EXPECT_EQ(machine_.ListDirectory("C:\\zavoli"), std::vector<std::string>{"user.zvh"});
    }
  }
}

TEST_F(ExtractTest, SkinArchiveInTheFirst128KiBIsLeftIntact) {
  std::string skin = BuildContainer(
      ContainerLayout::kPlain,
      {{"zvbmp8.zvh", std::string(40, 'm')}, {"zvbmpsx1.bmp", std::string(9000, 'b')}});
  ASSERT_LT(skin.size(), kSkinArchiveRoom);
  std::memcpy(workBuffer_.data(), skin.data(), skin.size());
  const ScratchArea scratch{workBuffer_.data() + kSkinArchiveRoom,
                            kWorkBufferSize - kSkinArchiveRoom};
  EXPECT_EQ(ScratchContentCapacity(scratch), 2097008u - kSkinArchiveRoom);
  EXPECT_TRUE(
      ExtractContainer(ContainerBytes{workBuffer_.data(), skin.size()}, kInstallDir, scratch));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(workBuffer_.data()), skin.size()), skin);
  EXPECT_EQ(Installed("zvbmpsx1.bmp"), std::string(9000, 'b'));
  // The record's name and content sit in their slots behind the archive.
  EXPECT_STREQ(reinterpret_cast<char*>(scratch.data), "zvbmpsx1.bmp");
  EXPECT_EQ(scratch.data[kScratchContentOffset], 'b');
}

TEST_F(ExtractTest, WithoutMd5EveryDigestRecordFailsButPlainRecordsDoNot) {
  struct NoMd5 : platform::Md5 {
    std::unique_ptr<platform::Md5Context> Begin() override { return nullptr; }
  } noMd5;
  const std::string digestContainer = BuildContainer(ContainerLayout::kDigest, {{"a.txt", "a"}});
  platform::Services services = platform::CurrentServices();
  services.md5 = &noMd5;
  platform::SetServices(services);
  EXPECT_FALSE(Extract(digestContainer));
  EXPECT_FALSE(machine_.Exists("C:\\zavoli\\a.txt"));
  EXPECT_TRUE(Extract(BuildContainer(ContainerLayout::kPlain, {{"b.txt", std::string(40, 'b')}})));
  EXPECT_EQ(Installed("b.txt"), std::string(40, 'b'));
  machine_.Install();
}

TEST_F(ExtractTest, MessageShowsTheNameInTheAnsiCodePage) {
  std::string container = BuildContainer(ContainerLayout::kDigest, {{"x.zvz", "skin"}});
  container[container.size() - 3] ^= 0x7F;  // damage the stream's checksum
  // "小天使.zvz" in GBK, then in Big5 on a traditional-Chinese system.
  PatchName(&container, kContainerHeaderSize, ContainerLayout::kDigest,
            "\xD0\xA1\xCC\xEC\xCA\xB9.zvz");
  EXPECT_FALSE(Extract(container));
  machine_.SetAnsiCodePage(950);
  PatchName(&container, kContainerHeaderSize, ContainerLayout::kDigest,
            "\xA4\x70\xA4\xD1\xA8\xCF.zvz");
  EXPECT_FALSE(Extract(container));
  EXPECT_EQ(Messages(), (std::vector<std::u16string>{RecordFailure(u"小天使.zvz"),
                                                     RecordFailure(u"小天使.zvz")}));
}

}  // namespace
}  // namespace zv::testing
