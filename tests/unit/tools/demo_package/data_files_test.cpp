// The data entries: the phrase lists and the phrase-list trailer, the
// option record, the sounds.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "demo_package_support.h"
#include "package/phrase_list.h"

namespace zv::demo {
namespace {

class DemoDataFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Demo().error, "") << Demo().error; }
  const std::string& Content(const std::string& name) {
    static const std::string missing;
    const DemoRecord* record = Demo().Find(name);
    EXPECT_NE(record, nullptr) << name << " is not in the package";
    return record ? record->content : missing;
  }
};

bool IsGbkDoubleByte(uint8_t lead, uint8_t trail) {
  return lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

// The phrases of `text`, or a reason in `problem` when it is not a list of
// GBK phrases of two or more characters, each followed by "; ".
std::vector<std::string> SplitPhrases(const std::string& text, std::string* problem) {
  std::vector<std::string> phrases;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find("; ", start);
    if (end == std::string::npos) {
      *problem = "text after the last \"; \"";
      return phrases;
    }
    const std::string phrase = text.substr(start, end - start);
    bool gbk = phrase.size() >= 4 && phrase.size() % 2 == 0;
    for (size_t i = 0; gbk && i < phrase.size(); i += 2) {
      gbk = IsGbkDoubleByte(static_cast<uint8_t>(phrase[i]), static_cast<uint8_t>(phrase[i + 1]));
    }
    if (!gbk) {
      *problem = "phrase " + std::to_string(phrases.size()) + " is not two or more GBK characters";
      return phrases;
    }
    phrases.push_back(phrase);
    start = end + 2;
  }
  return phrases;
}

TEST_F(DemoDataFileTest, PhraseListsAreGbkPhrasesEachFollowedBySeparator) {
  for (const char* name : {"zavocyzk.bak", "zavopyck.bak", "zavocyzk.zvh", "zavopyck.zvh"}) {
    std::string problem;
    const std::vector<std::string> phrases = SplitPhrases(Content(name), &problem);
    EXPECT_EQ(problem, "") << name;
    EXPECT_GE(phrases.size(), 10u) << name;
  }
}

TEST_F(DemoDataFileTest, TrailerCopyIsWhatTheInstallerWritesForThePhraseList) {
  const std::string& text = Content("zavocyzk.bak");
  bool ok = false;
  const std::string withTrailer = ReadWholeFile(DemoDir() + "/zavocyzk_trailer.bak", &ok);
  ASSERT_TRUE(ok);

  // The installer's filter keeps every phrase and appends its trailer.
  std::vector<uint8_t> filtered(text.begin(), text.end());
  filtered.resize(text.size() + kPhraseTrailerSize);
  ASSERT_EQ(CompactPhraseList(filtered.data(), text.size()), text.size());
  EXPECT_EQ(std::string(filtered.begin(), filtered.end()), withTrailer);

  // The trailer by hand: "ZAVO", the sum of every phrase byte, the count.
  std::string problem;
  const std::vector<std::string> phrases = SplitPhrases(text, &problem);
  uint32_t sum = 0;
  for (const std::string& phrase : phrases) {
    for (char c : phrase) sum += static_cast<uint8_t>(c);
  }
  ASSERT_EQ(withTrailer.size(), text.size() + 12);
  EXPECT_EQ(withTrailer.substr(0, text.size()), text);
  EXPECT_EQ(withTrailer.substr(text.size(), 4), "ZAVO");
  EXPECT_EQ(U32At(withTrailer, text.size() + 4), sum);
  EXPECT_EQ(U32At(withTrailer, text.size() + 8), phrases.size());

  // A list that already carries its trailer passes the filter unchanged.
  std::vector<uint8_t> again(withTrailer.begin(), withTrailer.end());
  again.resize(withTrailer.size() + kPhraseTrailerSize);
  EXPECT_EQ(CompactPhraseList(again.data(), withTrailer.size()), text.size());
}

TEST_F(DemoDataFileTest, OptionRecordIsTwoHundredBytesThatTheInstallerVisiblyChanges) {
  const std::string& record = Content("zvszsj43.zvh");
  ASSERT_EQ(record.size(), 200u);
  // Window mode 4 and bytes that the installer sets to other values, so
  // that its changes show; a mark in bytes it leaves alone.
  EXPECT_EQ(record[0], 3);
  EXPECT_EQ(record[21], 1);
  EXPECT_NE(record[62], 0);
  EXPECT_EQ(record.substr(160, 17), "ZAVO DEMO OPTIONS");
}

TEST_F(DemoDataFileTest, FilesTheInstallReportProbesHoldAtLeastTwentyBytes) {
  for (const char* name :
       {"zavocyzk.zvh", "zavocyzk.bak", "zavopyck.zvh", "zavopyck.bak", "zavoli4.ime"}) {
    EXPECT_GE(Content(name).size(), 20u) << name;
  }
}

TEST_F(DemoDataFileTest, SoundsArePcmWaveFiles) {
  int sounds = 0;
  for (const DemoRecord& record : Demo().records) {
    if (record.name.size() < 4 || record.name.substr(record.name.size() - 4) != ".wav") continue;
    ++sounds;
    SCOPED_TRACE(record.name);
    const std::string& wav = record.content;
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(U32At(wav, 4) + 8, wav.size());
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(U32At(wav, 16), 16u);
    EXPECT_EQ(U16At(wav, 20), 1) << "PCM";
    const uint16_t channels = U16At(wav, 22);
    const uint16_t bits = U16At(wav, 34);
    EXPECT_EQ(U32At(wav, 28), U32At(wav, 24) * channels * bits / 8) << "bytes per second";
    EXPECT_EQ(wav.substr(36, 4), "data");
    const uint32_t samples = U32At(wav, 40);
    EXPECT_GT(samples, 0u);
    EXPECT_EQ(44 + samples + samples % 2, wav.size());
  }
  EXPECT_GE(sounds, 8);
}

}  // namespace
}  // namespace zv::demo
