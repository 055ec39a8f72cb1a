#include <string>
#include <vector>

#include "package/container_reader.h"
#include "package/container_writer.h"
#include "package_test_support.h"

namespace zv::testing {
namespace {

class ContainerFormatTest : public PackageTest {};

TEST_F(ContainerFormatTest, WriterLaysOutBothLayoutsByteForByte) {
  const std::string a = std::string(50, 'a') + "first file";
  const std::string b(5000, 'b');
  const std::string digest = BuildContainer(ContainerLayout::kDigest, {{"a.txt", a}, {"b.bin", b}});
  EXPECT_EQ(digest, RawContainer('0', 2,
                                 {RawDigestRecord("a.txt", DigestOf(a), ZlibStream(a)),
                                  RawDigestRecord("b.bin", DigestOf(b), ZlibStream(b))}));
  EXPECT_EQ(digest.substr(0, 2), "C0");
  EXPECT_EQ(ReadU32(reinterpret_cast<const uint8_t*>(digest.data()) + kEndOffsetOffset),
            digest.size());

  const std::string plain = BuildContainer(ContainerLayout::kPlain, {{"zvbmp8.zvh", a}});
  EXPECT_EQ(plain, RawContainer('P', 1, {RawPlainRecord("zvbmp8.zvh", ZlibStream(a))}));
}

TEST_F(ContainerFormatTest, WriterRefusesWhatTheInstallerCouldNotUnpack) {
  ContainerWriter digest(ContainerLayout::kDigest);
  EXPECT_EQ(digest.Add("fifteen-chars.x", "1"), AddResult::kAdded);
  EXPECT_EQ(digest.Add("sixteen-chars.xy", "1"), AddResult::kBadName);
  EXPECT_EQ(digest.nameProblem(), NameProblem::kTooLong);
  EXPECT_EQ(digest.Add("FIFTEEN-CHARS.X", "2"), AddResult::kDuplicateName);
  EXPECT_EQ(digest.Add("empty.txt", ""), AddResult::kEmptyContent);
  EXPECT_EQ(digest.Add("huge.bin", std::string(kMaxRecordContent + 1, 'h')), AddResult::kTooLarge);
  EXPECT_EQ(digest.Add("max.bin", std::string(kMaxRecordContent, 'm')), AddResult::kAdded);
  for (const char* name :
       {"", "a\\b", "a/b", "c:a", ".", "..", "aux.txt", "a\nb.txt", "\x1b[2J", "a?.txt", "b|c"}) {
    EXPECT_EQ(digest.Add(name, "1"), AddResult::kBadName) << name;
  }
  EXPECT_EQ(digest.recordCount(), 2u);

  ContainerWriter plain(ContainerLayout::kPlain);
  EXPECT_EQ(plain.Add("thirteen.char", std::string(40, 'p')), AddResult::kAdded);
  EXPECT_EQ(plain.Add("fourteen.chars", std::string(40, 'p')), AddResult::kBadName);
  // GBK names stay bytes: "冷色瓷面.zvz" is 12 bytes.
  EXPECT_EQ(plain.Add("\xC0\xE4\xC9\xAB\xB4\xC9\xC3\xE6.zvz", std::string(40, 's')),
            AddResult::kAdded);
  // A stream longer than its content would never pass the size check.
  EXPECT_EQ(plain.Add("tiny.bmp", "abc"), AddResult::kUnverifiable);
}

TEST_F(ContainerFormatTest, ReaderReportsWhereAndWhyTheWalkStopped) {
  const std::string full = BuildContainer(ContainerLayout::kDigest, {{"a", "1"}, {"b", "2"}});
  const std::vector<size_t> offsets = RecordOffsets(full);
  ASSERT_EQ(offsets.size(), 2u);

  struct Case {
    std::string bytes;
    WalkStop stop;
    uint32_t read;
  };
  std::string badMarker = full;
  badMarker[offsets[1] + 1] = 'X';
  std::string overcounted = full + std::string(4, '\0');
  PatchU32(&overcounted, kRecordCountOffset, 3);
  std::string hugeStream = full;
  PatchU32(&hugeStream, offsets[1] + kDigestStreamSizeOffset, 0xFFFFFFFFu);
  const Case cases[] = {
      {full, WalkStop::kNone, 2},
      {full.substr(0, 9), WalkStop::kNoHeader, 0},
      {full.substr(0, 10), WalkStop::kHeaderPastEnd, 0},
      {badMarker, WalkStop::kBadMarker, 1},
      {overcounted, WalkStop::kBadMarker, 2},
      {full.substr(0, offsets[1] + 55), WalkStop::kHeaderPastEnd, 1},
      {full.substr(0, full.size() - 1), WalkStop::kStreamPastEnd, 1},
      {hugeStream, WalkStop::kStreamPastEnd, 1},
  };
  for (const Case& c : cases) {
    ExactBytes exact(c.bytes);
    ContainerReader reader(exact.container());
    PackageEntry entry;
    while (reader.Next(&entry)) {
    }
    EXPECT_EQ(reader.stop(), c.stop) << c.bytes.size();
    EXPECT_EQ(reader.recordsRead(), c.read) << c.bytes.size();
  }
}

}  // namespace
}  // namespace zv::testing
