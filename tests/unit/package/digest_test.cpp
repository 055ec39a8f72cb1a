#include "package/digest.h"

#include <string>

#include "package_test_support.h"

namespace zv::testing {
namespace {

class DigestTest : public PackageTest {};

TEST_F(DigestTest, DigestTextIsUpperCaseHexWithTwoNuls) {
  char text[kDigestTextSize];
  std::memset(text, 'x', sizeof(text));
  BufferDigest("", 0, text);
  EXPECT_EQ(std::string(text, sizeof(text)),
            std::string("D41D8CD98F00B204E9800998ECF8427E\0\0", 34));
  BufferDigest("abc", 3, text);
  EXPECT_STREQ(text, "900150983CD24FB0D6963F7D28E17F72");
}

TEST_F(DigestTest, FileDigestCountsTheBytesRead) {
  char text[kDigestTextSize];
  machine_.AddFile("C:\\zavoli\\abc.txt", "abc");
  EXPECT_EQ(FileDigest("C:\\zavoli\\abc.txt", text), 3u);
  EXPECT_STREQ(text, "900150983CD24FB0D6963F7D28E17F72");

  const std::string big(300000, 'q');
  machine_.AddFile("C:\\zavoli\\big.bin", big);
  EXPECT_EQ(FileDigest("C:\\zavoli\\big.bin", text), big.size());
  EXPECT_EQ(std::string(text), DigestOf(big));

  std::memset(text, 'x', sizeof(text));
  EXPECT_EQ(FileDigest("C:\\zavoli\\missing.txt", text), 0u);
  EXPECT_EQ(std::string(text, sizeof(text)), std::string(kDigestTextSize, '\0'));

  machine_.FailOperation("ReadFile", win::kErrorAccessDenied, "abc.txt");
  std::memset(text, 'x', sizeof(text));
  EXPECT_EQ(FileDigest("C:\\zavoli\\abc.txt", text), 0u);
  EXPECT_EQ(text[0], '\0');
}

TEST_F(DigestTest, StoredDigestMatchesOnlyAsTheSameNulTerminatedText) {
  char text[kDigestTextSize];
  BufferDigest("abc", 3, text);
  const std::string stored("900150983CD24FB0D6963F7D28E17F72\0\0", 34);
  EXPECT_TRUE(DigestMatches(stored, text));
  // Byte 51 is not part of the text.
  EXPECT_TRUE(DigestMatches(std::string("900150983CD24FB0D6963F7D28E17F72\0Z", 34), text));
  EXPECT_FALSE(DigestMatches(std::string("900150983cd24fb0d6963f7d28e17f72\0\0", 34), text));
  EXPECT_FALSE(DigestMatches(std::string("900150983CD24FB0D6963F7D28E17F72Z\0", 34), text));
  // An empty digest never matches, not even an empty stored one.
  const char empty[kDigestTextSize] = {};
  EXPECT_FALSE(DigestMatches(std::string(34, '\0'), empty));
}

}  // namespace
}  // namespace zv::testing
