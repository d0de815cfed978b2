#pragma once
// The words the catalogue is made of: artists, album and song titles, and lyric lines in
// Chinese, English, Japanese and Korean. Lines never contain commas, parentheses or brackets,
// because the karaoke script uses those as separators.
#include <string_view>
#include <vector>

namespace quillo::stub {

enum class Language { kChinese, kEnglish, kJapanese, kKorean };

struct ArtistText {
  std::string_view name;
  int group_id;  // the random-listening group the artist belongs to
  Language language;
};

const std::vector<ArtistText>& ArtistTexts();
const std::vector<std::string_view>& SongTitles(Language language);
const std::vector<std::string_view>& AlbumTitles(Language language);
// Verse lines; the chorus lines come separately so that songs can repeat them.
const std::vector<std::string_view>& VerseLines(Language language);
const std::vector<std::string_view>& ChorusLines(Language language);

}  // namespace quillo::stub
