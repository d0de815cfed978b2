#include "text/PinyinInitials.h"

#include <gtest/gtest.h>

#include "text/PinyinInitialsTable.h"

namespace quillo::text {
namespace {

TEST(PinyinInitialsTest, SampleRowsOfTheTable) {
  const std::pair<char32_t, char> kRows[] = {
      {0x4E00, 'y'}, {0x4E01, 'd'}, {0x4E03, 'q'}, {0x4E07, 'w'}, {0x4E09, 's'}, {0x4E0A, 's'},
      {0x4E0B, 'x'}, {0x4E0D, 'b'}, {0x4E2D, 'z'}, {0x4E50, 'l'}, {0x542C, 't'}, {0x5468, 'z'},
      {0x5218, 'l'}, {0x534E, 'h'}, {0x5FB7, 'd'}, {0x6770, 'j'}, {0x4F26, 'l'}, {0x6B4C, 'g'},
      {0x66F2, 'q'}, {0x738B, 'w'}, {0x83F2, 'f'}, {0x97F3, 'y'},
  };
  for (auto [code, letter] : kRows) {
    EXPECT_EQ(PinyinInitial(code), static_cast<char32_t>(letter)) << std::hex << static_cast<unsigned>(code);
  }
}

TEST(PinyinInitialsTest, TableCoversEveryIdeographWithPinyinLetters) {
  std::size_t letters = 0;
  for (int row = 0; row < kPinyinInitialRowCount; ++row) {
    std::string_view text = kPinyinInitialRows[row];
    EXPECT_EQ(text.size(), row + 1 < kPinyinInitialRowCount ? 1000u : 902u) << row;
    for (char c : text) {
      EXPECT_TRUE(c >= 'a' && c <= 'z' && c != 'i' && c != 'u' && c != 'v') << row << " " << c;
    }
    letters += text.size();
  }
  EXPECT_EQ(letters, 20902u);
  EXPECT_EQ(kPinyinLastIdeograph - kPinyinFirstIdeograph + 1, 20902u);
}

TEST(PinyinInitialsTest, Texts) {
  struct Case {
    const char* text;
    const char* initials;
  };
  const Case kCases[] = {
      {"周杰伦", "zjl"},
      // Full-width capitals and digits become ASCII; the full-width space stays.
      {"Jay ＣＨＯＵ　１２３", "jay chou　123"},
      {"ｊａｙ", "jay"},
      {"刘德华 - 中国", "ldh - zg"},
      {"", ""},
      {"é〇ß", "é〇ß"},  // outside the ideograph range: unchanged
  };
  for (const Case& c : kCases) EXPECT_EQ(PinyinInitials(c.text), c.initials) << c.text;
}

TEST(PinyinInitialsTest, IllFormedBytesAreKept) {
  const std::string bad = "A\xE5\x91" "B\xFF";
  EXPECT_EQ(PinyinInitials(bad), "a\xE5\x91" "b\xFF");
}

}  // namespace
}  // namespace quillo::text
