// Loading (formats, decoding, failures) and saving through LyricAnalyzer.
#include "lyrics/LyricAnalyzer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "LyricTestSupport.h"
#include "lyrics/LyricTextDecoder.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextCodec.h"

namespace quillo::lyrics {
namespace {

using quillo::testing::TempFolder;
using testing::CountingPrompt;
using testing::FixedPlayer;
using testing::LoadFromBytes;
using testing::Rows;
using testing::ScrambleKaraoke;
using Rows_t = std::vector<std::string>;

TEST(LyricAnalyzerLoadTest, FormatByTheLastThreeCharacters) {
  TempFolder folder;
  FixedPlayer player("", 5000);
  LyricAnalyzer analyzer(&player);
  const std::string lrc = "[00:01.00]x\n";
  const std::string mrc =
      ScrambleKaraoke("karaoke.add('00:01.000', '00:02.000', 'x', '100');", 16, 1);
  struct Case {
    const char* name;
    std::string bytes;
    int state;
  };
  const Case kCases[] = {
      {"a.lrc", lrc, 0},  {"a.LRC", lrc, 0},     {"a.Lrc", lrc, 0},
      {"a.txt", lrc, 2},  {"a.lrc.bak", lrc, 2}, {"a.mrc", mrc, 0},
      {"a.MRC", mrc, 0},  {"a.mrc", lrc, 2},     {"a.lrc", mrc, 2},
      {"a.mrc", "ab", 2}, {"a.lrc", "", 2},      {"a.lrc", "[ti:only a title]\n", 2},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(LoadFromBytes(analyzer, folder, c.name, c.bytes), c.state) << c.name;
    EXPECT_EQ(analyzer.GetState(), c.state) << c.name;
    EXPECT_EQ(analyzer.document().file_path, folder / c.name);
    EXPECT_EQ(analyzer.document().music_id, "music1");
  }
  EXPECT_EQ(analyzer.LoadLyric(folder / "missing.lrc", "m"), LyricDocument::kStateFailed);
  EXPECT_EQ(analyzer.LoadLyric(folder.path(), "m"), LyricDocument::kStateFailed);
}

TEST(LyricAnalyzerLoadTest, ByteOrderMarksAndTheTitleRule) {
  const std::string text = "[ti:七里香]\r\n[00:01.00]窗外的麻雀\r\n";
  const std::string gbk = text::Utf8ToGbk(text);
  struct Case {
    const char* what;
    std::string bytes;
    std::string title;
    const char* first_line;
  };
  const Case kCases[] = {
      {"UTF-16LE", "\xFF\xFE" + text::Utf8ToUtf16LeBytes(text), "", "窗外的麻雀"},
      {"UTF-16BE",
       [&] {
         std::string le = text::Utf8ToUtf16LeBytes(text), be = "\xFE\xFF";
         for (std::size_t i = 0; i + 1 < le.size(); i += 2) be += {le[i + 1], le[i]};
         return be;
       }(),
       "", "窗外的麻雀"},
      {"UTF-8 BOM", "\xEF\xBB\xBF" + text, "七里香", "窗外的麻雀"},
      {"UTF-8, title found", text, "七里香 - 周杰伦 04:59", "窗外的麻雀"},
      {"GBK, title found", gbk, "七里香 - 周杰伦 04:59", "窗外的麻雀"},
      // A tie on the title: well-formed UTF-8 stays UTF-8, anything else is read as GBK.
      {"UTF-8, no title", text, "", "窗外的麻雀"},
      {"GBK, no title", gbk, "", "窗外的麻雀"},
      {"GBK, latin title", gbk, "Song 03:00", "窗外的麻雀"},
      // GBK bytes that are also well-formed UTF-8 ("谢谢" is "лл"): only the title can tell.
      {"UTF-8-shaped GBK, title", text::Utf8ToGbk("[00:01.00]谢谢"), "谢谢 03:00", "谢谢"},
      {"UTF-8-shaped GBK, no title", text::Utf8ToGbk("[00:01.00]谢谢"), "03:00", "лл"},
      {"UTF-8 Cyrillic, title", "[00:01.00]лл", "лл", "лл"},
      {"trailing zeros", text + std::string(5, '\0'), "", "窗外的麻雀"},
  };
  TempFolder folder;
  for (const Case& c : kCases) {
    FixedPlayer player(c.title, 5000);
    LyricAnalyzer analyzer(&player);
    ASSERT_EQ(LoadFromBytes(analyzer, folder, "t.lrc", c.bytes), 0) << c.what;
    EXPECT_EQ(analyzer.document().timeline.lines().front().text, c.first_line) << c.what;
  }
}

TEST(LyricAnalyzerLoadTest, TitleCharactersAreCountedWithRepetition) {
  EXPECT_EQ(TitleCharactersFound("aab", "xa"), 2u);
  EXPECT_EQ(TitleCharactersFound("七里香 03:00", "七里 0"), 6u);
  EXPECT_EQ(TitleCharactersFound("", "abc"), 0u);
  EXPECT_EQ(TitleCharactersFound("abc", ""), 0u);
  // A long title (many distinct characters) is counted by one walk over the text instead.
  EXPECT_EQ(
      TitleCharactersFound("abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGH晴晴aa", "xyz 09 AH 晴"),
      9u);
}

// A player whose graph learns the song's duration after the lyric was loaded.
class LateDurationPlayer : public LyricPlayerInfo {
 public:
  std::string DisplayTitle() const override { return {}; }
  int DurationMs() const override { return duration_ms; }
  int duration_ms = -1;
};

// Loaded before the duration is known, the last line does not end at -1 (which would have it
// sung the moment it starts): its end is guessed, then follows the duration once known.
TEST(LyricAnalyzerLoadTest, LastLineLoadedBeforeTheDurationIsKnownFollowsItLater) {
  TempFolder folder;
  LateDurationPlayer player;
  LyricAnalyzer analyzer(&player);
  ASSERT_EQ(LoadFromBytes(analyzer, folder, "a.lrc", "[00:01.00]一二\n[00:03.00]三四\n"), 0);
  EXPECT_TRUE(analyzer.last_end_guessed());
  const LyricLine& last = analyzer.document().timeline.lines().back();
  EXPECT_EQ(last.end_ms, 3000 + LyricTimeline::kGuessedLastLineMs);
  // 100 ms into the last line: its first character, a little way in.
  std::optional<LyricPosition> at = analyzer.LocateLine(3100, true);
  ASSERT_TRUE(at);
  EXPECT_EQ(at->line, 1u);
  EXPECT_EQ(at->word, 0u);
  EXPECT_LT(at->percent, 50);

  analyzer.FollowDuration();  // still unknown
  EXPECT_TRUE(analyzer.last_end_guessed());
  player.duration_ms = 2000;  // not after the last line's start: no use
  analyzer.FollowDuration();
  EXPECT_EQ(analyzer.document().timeline.lines().back().end_ms,
            3000 + LyricTimeline::kGuessedLastLineMs);
  player.duration_ms = 61000;
  analyzer.FollowDuration();
  EXPECT_FALSE(analyzer.last_end_guessed());
  const LyricLine& followed = analyzer.document().timeline.lines().back();
  EXPECT_EQ(followed.end_ms, 61000);
  ASSERT_EQ(followed.words.size(), 2u);
  EXPECT_EQ(followed.words[1].start_ms, 29000);  // half of the 58 s the line now lasts
  // A duration known at load leaves nothing to follow.
  ASSERT_EQ(LoadFromBytes(analyzer, folder, "b.lrc", "[00:01.00]一\n"), 0);
  EXPECT_FALSE(analyzer.last_end_guessed());
  EXPECT_EQ(analyzer.document().timeline.lines().back().end_ms, 61000);
}

TEST(LyricAnalyzerLoadTest, KaraokeFiles) {
  const std::string script =
      "karaoke.rows = 3;\r\n"
      "karaoke.add('00:05.000', '00:06.000', '[Second] line', '300,400');\r\n"
      "karaoke.add('00:01.000', '00:02.500', '你好''s', '100,200,300');\n"
      "karaoke.add('00:03.000', '00:04.000', 'bad', '1,0,1');\n"
      "karaoke.add('00:09.000', '00:09.500', '[]x', '10,20')";  // last piece without "\n"
  TempFolder folder;
  FixedPlayer player("", 99999);  // the player's duration is not used for karaoke
  LyricAnalyzer analyzer(&player);
  for (std::uint8_t block_length : {1, 3, 64, 255}) {
    ASSERT_EQ(LoadFromBytes(analyzer, folder, "k.mrc", ScrambleKaraoke(script, block_length, 9)),
              0);
    EXPECT_EQ(Rows(analyzer.document()),
              (Rows_t{"1000\t5000\t你好'", "5000\t9000\tSecondl", "9000\t9500\t x"}));
    const LyricLine& first = analyzer.document().timeline.lines()[0];
    ASSERT_EQ(first.words.size(), 3u);
    EXPECT_EQ(first.WordText(first.words[2]), "'");
    EXPECT_EQ(first.words[2].start_ms, 300);
    EXPECT_EQ(first.words[2].end_ms, 600);
  }
  // Karaoke files are not saved: only ".lrc" files are written back.
  ASSERT_TRUE(analyzer.AdjustTiming(100, 3, std::nullopt));
  CountingPrompt prompt(true);
  EXPECT_EQ(analyzer.SaveIfChanged(prompt), LyricAnalyzer::SaveResult::kNothingToSave);
  EXPECT_TRUE(prompt.questions.empty());
}

class LyricSaveTest : public ::testing::Test {
 protected:
  int Load(const std::string& text) { return LoadFromBytes(analyzer_, folder_, "s.lrc", text); }
  std::string Saved() { return fs::ReadWholeFile(folder_ / "s.lrc").value_or("<missing>"); }
  TempFolder folder_;
  FixedPlayer player_{"", 60000};
  LyricAnalyzer analyzer_{&player_};
};

TEST_F(LyricSaveTest, WritesHeadersOffsetAndOneLinePerTag) {
  ASSERT_EQ(Load("\xEF\xBB\xBF[ar:Artist]\r\n[00:12.00][01:30.00]la la\r\n[al:Album]\r\n"
                 "[offset:+500]\r\n[00:01.5]x [y]\r\n[ti:Title]\r\n"),
            0);
  ASSERT_TRUE(analyzer_.AdjustTiming(-300, 4, std::nullopt));
  CountingPrompt yes(true);
  EXPECT_EQ(analyzer_.SaveIfChanged(yes), LyricAnalyzer::SaveResult::kSaved);
  EXPECT_EQ(yes.questions, (Rows_t{"歌词文件已改变，是否要保存？"}));
  EXPECT_EQ(Saved(),
            "[ar:Artist]\r\n[al:Album]\r\n[ti:Title]\r\n[offset:-300]\r\n"
            "[00:01.500]x [y]\r\n[00:12.000]la la\r\n[01:30.000]la la\r\n");
  // Saving leaves the document modified; the saved file reads back to the same timeline.
  EXPECT_TRUE(analyzer_.document().modified);
  const Rows_t before = Rows(analyzer_.document());
  ASSERT_EQ(analyzer_.LoadLyric(folder_ / "s.lrc", "m"), 0);
  EXPECT_EQ(Rows(analyzer_.document()), before);
  EXPECT_EQ(analyzer_.document().offset_ms, -300);
  EXPECT_FALSE(analyzer_.document().modified);
}

TEST_F(LyricSaveTest, AsksOnlyWhenModifiedAndWritesNothingOnNo) {
  const std::string original = "[00:01.00]a\n[00:02.00]b\n";
  ASSERT_EQ(Load(original), 0);
  CountingPrompt yes(true), no(false);
  EXPECT_EQ(analyzer_.SaveIfChanged(yes), LyricAnalyzer::SaveResult::kNothingToSave);
  EXPECT_TRUE(yes.questions.empty());
  ASSERT_TRUE(analyzer_.AdjustTiming(100, 1, 0));
  EXPECT_EQ(analyzer_.SaveIfChanged(no), LyricAnalyzer::SaveResult::kDeclined);
  EXPECT_EQ(no.questions.size(), 1u);
  EXPECT_EQ(Saved(), original);
  analyzer_.Reset();
  EXPECT_EQ(analyzer_.SaveIfChanged(yes), LyricAnalyzer::SaveResult::kNothingToSave);
}

TEST_F(LyricSaveTest, ReplacesTheFileInsteadOfRewritingIt) {
  const std::string original = "[00:01.00]a\n";
  ASSERT_EQ(Load(original), 0);
  // A second name for the old file: a rewrite in place would change what it shows, a
  // replacement by rename leaves the old file whole under that name.
  std::filesystem::create_hard_link(folder_ / "s.lrc", folder_ / "old.lrc");
  ASSERT_TRUE(analyzer_.AdjustTiming(1000, 1, 0));
  CountingPrompt yes(true);
  ASSERT_EQ(analyzer_.SaveIfChanged(yes), LyricAnalyzer::SaveResult::kSaved);
  EXPECT_EQ(Saved(), "[00:02.000]a\r\n");
  EXPECT_EQ(fs::ReadWholeFile(folder_ / "old.lrc"), original);
}

TEST_F(LyricSaveTest, TimesBeforeZeroAreWrittenAsZero) {
  ASSERT_EQ(Load("[00:00.50]early\n[00:02.00]late\n"), 0);
  ASSERT_TRUE(analyzer_.AdjustTiming(-1000, 2, 0));
  CountingPrompt yes(true);
  ASSERT_EQ(analyzer_.SaveIfChanged(yes), LyricAnalyzer::SaveResult::kSaved);
  EXPECT_EQ(Saved(), "[00:00.000]early\r\n[00:01.000]late\r\n");
  ASSERT_EQ(analyzer_.LoadLyric(folder_ / "s.lrc", "m"), 0);
  EXPECT_EQ(analyzer_.document().timeline.size(), 2u);  // no line lost to a negative tag
}

TEST_F(LyricSaveTest, AFailedWriteIsReportedAndLeavesTheFile) {
  const std::string original = "[00:01.00]a\n";
  // The file's folder is replaced by a plain file: nothing can be written there any more.
  const std::string folder = folder_ / "gone/";
  ASSERT_TRUE(fs::CreateFolders(folder));
  ASSERT_TRUE(fs::WriteFile(folder + "s.lrc", original));
  ASSERT_EQ(analyzer_.LoadLyric(folder + "s.lrc", "m"), 0);
  ASSERT_TRUE(analyzer_.AdjustTiming(100, 3, std::nullopt));
  ASSERT_TRUE(fs::RemoveTree(folder));
  ASSERT_TRUE(fs::WriteFile(folder_ / "gone", "not a folder"));
  CountingPrompt yes(true);
  EXPECT_EQ(analyzer_.SaveIfChanged(yes), LyricAnalyzer::SaveResult::kWriteFailed);

  // A lyric file that became a folder cannot be replaced either; it is left as it was, and no
  // temporary file is left beside it.
  const std::string other = folder_ / "other/";
  ASSERT_TRUE(fs::CreateFolders(other));
  ASSERT_TRUE(fs::WriteFile(other + "s.lrc", original));
  ASSERT_EQ(analyzer_.LoadLyric(other + "s.lrc", "m"), 0);
  ASSERT_TRUE(analyzer_.AdjustTiming(100, 3, std::nullopt));
  ASSERT_TRUE(fs::RemoveFile(other + "s.lrc"));
  ASSERT_TRUE(fs::CreateFolders(other + "s.lrc/"));
  ASSERT_TRUE(fs::WriteFile(other + "s.lrc/keep", "x"));
  EXPECT_EQ(analyzer_.SaveIfChanged(yes), LyricAnalyzer::SaveResult::kWriteFailed);
  EXPECT_EQ(fs::ReadWholeFile(other + "s.lrc/keep"), "x");
  EXPECT_EQ(fs::ListFolder(other), (Rows_t{"s.lrc"}));
}

}  // namespace
}  // namespace quillo::lyrics
