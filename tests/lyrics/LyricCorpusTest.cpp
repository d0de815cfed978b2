// Lyric files shaped like those found in the wild (tests/data/lyrics/).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LyricTestSupport.h"

namespace quillo::lyrics {
namespace {

using testing::FixedPlayer;
using testing::Rows;
using Rows_t = std::vector<std::string>;

const std::string kData = std::string(QUILLO_SOURCE_DIR) + "/tests/data/lyrics/";

TEST(LyricCorpusTest, ReadsEveryShape) {
  struct Case {
    const char* file;
    const char* title;
    int offset_ms;
    Rows_t headers;
    Rows_t rows;  // with the song lasting 600 s
  };
  const Case kCases[] = {
      {"bom-utf8-crlf.lrc",
       "",
       500,
       {"[ti:晴天]", "[ar:周杰伦]", "[al:叶惠美]", "[by:]"},
       {"1500\t12000\t故事的小黄花", "12000\t20500\t从出生那年就飘着", "20500\t90000\t童年的荡秋千",
        "90000\t600000\t从出生那年就飘着"}},
      {"utf16le.lrc", "", 0, {"[ti:UTF16]"}, {"100\t2000\t第一行", "2000\t600000\tsecond line"}},
      {"utf16be.lrc", "", 0, {"[ti:UTF16]"}, {"100\t2000\t第一行", "2000\t600000\tsecond line"}},
      {"gbk.lrc",
       "七里香 - 周杰伦 04:59",
       0,
       {"[ti:七里香]", "[ar:周杰伦]"},
       {"5000\t9000\t窗外的麻雀", "9000\t600000\t在电线杆上多嘴"}},
      {"gbk.lrc",
       "",
       0,
       {"[ti:七里香]", "[ar:周杰伦]"},
       {"5000\t9000\t窗外的麻雀", "9000\t600000\t在电线杆上多嘴"}},
      {"trailing-zeros.lrc", "", 0, {}, {"1000\t2000\t零", "2000\t600000\ttrailing zeros"}},
      {"blank-lines.lrc",
       "",
       0,
       {"[ar:Blank]"},
       {"1000\t3000\tone", "3000\t4000\t", "4000\t6000\ttwo", "6000\t7000\t",
        "7000\t600000\tthree"}},
      {"long-minutes.lrc",
       "",
       0,
       {"[99999999999:00.00]absurd minutes", "[00:99999999999.00]absurd seconds"},
       {"10000\t6000000\tten", "6000000\t7425670\thundred", "7425670\t59999999\tmore",
        // Past the song's end: a guessed end rather than one before the line's start.
        "59999999\t60004999\tlate"}},
      {"repeated-tags.lrc",
       "",
       -300,
       {"[ti:Repeats]"},
       {"1000\t2500\ta", "2500\t10000\tb", "10000\t30000\tchorus", "30000\t40250\tbridge",
        "40250\t50000\tbridge", "50000\t65000\tchorus", "65000\t90000\tc",
        "90000\t600000\tchorus"}},
  };
  for (const Case& c : kCases) {
    FixedPlayer player(c.title, 600000);
    LyricAnalyzer analyzer(&player);
    ASSERT_EQ(analyzer.LoadLyric(kData + c.file, "id"), LyricDocument::kStateLoaded) << c.file;
    EXPECT_EQ(analyzer.document().offset_ms, c.offset_ms) << c.file;
    EXPECT_EQ(analyzer.document().header_lines, c.headers) << c.file;
    EXPECT_EQ(Rows(analyzer.document()), c.rows) << c.file;
  }
}

TEST(LyricCorpusTest, OffsetMovesTheDueLine) {
  FixedPlayer player("", 600000);
  LyricAnalyzer analyzer(&player);
  // [offset:+500]: the line at 12 s is due at 12.5 s.
  ASSERT_EQ(analyzer.LoadLyric(kData + "bom-utf8-crlf.lrc", "id"), 0);
  EXPECT_EQ(analyzer.FindLine(12499)->text, "故事的小黄花");
  EXPECT_EQ(analyzer.FindLine(12500)->text, "从出生那年就飘着");
  // [offset:-300]: the line at 10 s is due at 9.7 s.
  ASSERT_EQ(analyzer.LoadLyric(kData + "repeated-tags.lrc", "id"), 0);
  EXPECT_EQ(analyzer.LocateLine(9700, false), (LyricPosition{2, 0, 0}));
  EXPECT_EQ(analyzer.LocateLine(9699, false)->line, 1u);
}

}  // namespace
}  // namespace quillo::lyrics
