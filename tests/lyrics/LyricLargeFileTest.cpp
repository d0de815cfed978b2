// Files no lyric looks like: they load or are refused, and the call comes back.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <string>

#include "LyricTestSupport.h"

namespace quillo::lyrics {
namespace {

using quillo::testing::TempFolder;
using testing::FixedPlayer;
using testing::LoadFromBytes;

std::string RandomBytes(std::size_t size, std::uint32_t seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

class LyricLargeFileTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  FixedPlayer player_{"晴天 - 周杰伦 04:29", 300000};
  LyricAnalyzer analyzer_{&player_};
};

TEST_F(LyricLargeFileTest, TenMegabytesOfJunk) {
  std::string junk = RandomBytes(10 << 20, 1);
  // Sprinkle line starts and tags so that the reader has work to do, not just skipping.
  std::mt19937 random(2);
  for (int i = 0; i < 20000; ++i) {
    const std::string piece = i % 2 ? "\n[00:01.00]" : "\n[ti:";
    junk.replace(random() % (junk.size() - piece.size()), piece.size(), piece);
  }
  const int state = LoadFromBytes(analyzer_, folder_, "junk.lrc", junk);
  EXPECT_EQ(state, LyricDocument::kStateLoaded);  // the sprinkled tags make lines
  EXPECT_GT(analyzer_.document().timeline.size(), 1000u);
  EXPECT_TRUE(analyzer_.LocateLine(1500, true).has_value());
  EXPECT_EQ(LoadFromBytes(analyzer_, folder_, "junk.mrc", junk), LyricDocument::kStateFailed);
}

TEST_F(LyricLargeFileTest, OneLineOfFiveMegabytes) {
  std::string text = "[00:01.00]";
  while (text.size() < (5 << 20)) text += "这是一行很长的歌词 with words [and] brackets[0";
  ASSERT_EQ(LoadFromBytes(analyzer_, folder_, "long.lrc", text), LyricDocument::kStateLoaded);
  const LyricLine& line = analyzer_.document().timeline.lines().front();
  EXPECT_EQ(line.text.size(), text.size() - 10);
  EXPECT_EQ(line.words.back().end_ms, 299000);
  EXPECT_EQ(analyzer_.LocateLine(300000 - 1, false)->word, line.words.size() - 1);

  // The same length made of tags alone would be 500,000 lines: refused as a whole.
  std::string tags;
  while (tags.size() < (5 << 20)) tags += "[00:01.00]";
  EXPECT_EQ(LoadFromBytes(analyzer_, folder_, "tags.lrc", tags), LyricDocument::kStateFailed);
  EXPECT_TRUE(analyzer_.document().timeline.empty());
  // The failure says why.
  EXPECT_EQ(analyzer_.load_problem(), LyricAnalyzer::LoadProblem::kTooManyLines);
  EXPECT_EQ(LyricAnalyzer::ProblemText(analyzer_.load_problem()), "more than 100000 lines");
  // Repeated tags that would copy a long text many times: refused by the text limit.
  std::string copies;
  for (int i = 0; i < 40; ++i) copies += "[00:" + std::to_string(10 + i) + ".00]";
  copies += std::string(1 << 20, 'x');
  EXPECT_EQ(LoadFromBytes(analyzer_, folder_, "copies.lrc", copies), LyricDocument::kStateFailed);
  EXPECT_EQ(analyzer_.load_problem(), LyricAnalyzer::LoadProblem::kTooMuchText);
}

TEST_F(LyricLargeFileTest, BinaryFilesAndOversizedFiles) {
  // A binary file named .lrc: random bytes, and the start of an MP3 frame stream.
  std::string mp3 = "ID3\x03";
  mp3.resize(4096, '\0');
  for (int i = 0; i < 2000; ++i) mp3 += "\xFF\xFB\x90\x64" + RandomBytes(413, i);
  for (const std::string& bytes : {RandomBytes(1 << 20, 3), mp3}) {
    const int state = LoadFromBytes(analyzer_, folder_, "binary.lrc", bytes);
    EXPECT_TRUE(state == LyricDocument::kStateLoaded || state == LyricDocument::kStateFailed);
    EXPECT_EQ(LoadFromBytes(analyzer_, folder_, "binary.mrc", bytes), LyricDocument::kStateFailed);
  }
  // A pipe or a device named like a lyric is refused unread (reading it would not end).
  ASSERT_EQ(mkfifo((folder_ / "pipe.lrc").c_str(), 0600), 0);
  EXPECT_EQ(analyzer_.LoadLyric(folder_ / "pipe.lrc", "m"), LyricDocument::kStateFailed);
  EXPECT_EQ(analyzer_.load_problem(), LyricAnalyzer::LoadProblem::kNotAFile);
  ASSERT_EQ(symlink("/dev/zero", (folder_ / "zero.lrc").c_str()), 0);
  EXPECT_EQ(analyzer_.LoadLyric(folder_ / "zero.lrc", "m"), LyricDocument::kStateFailed);
  // Past the size limit a file is refused unread.
  std::string big = "[00:01.00]x\n";
  big.resize(LyricAnalyzer::kMaxFileBytes + 1, ' ');
  EXPECT_EQ(LoadFromBytes(analyzer_, folder_, "big.lrc", big), LyricDocument::kStateFailed);
}

}  // namespace
}  // namespace quillo::lyrics
