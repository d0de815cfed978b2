// The download manager's file names and the formats told from a file's first bytes.
#include <gtest/gtest.h>

#include <random>

#include "downloads/DownloadPaths.h"
#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace quillo::downloads {
namespace {

TEST(DownloadPathsTest, NamesOfPartialsLegacyCopiesAndArtistFolders) {
  EXPECT_EQ(PartialPath("/d/.download/", "music", "123"), "/d/.download/music-123.part");
  // An id never leaves the folder.
  EXPECT_EQ(PartialPath("/d/", "lyric", "../x"), "/d/lyric-.._x.part");

  EXPECT_EQ(
      LegacySongName({{"id", "7"}, {"name", "Back: In Black"}, {"artist_name", "AC/DC"}}, ".mp3"),
      "AC_DC/7-Back_ In Black.mp3");
  EXPECT_EQ(LegacySongName({{"id", "7"}, {"name", "T"}}, ".wma"), "未知歌手/7-T.wma");

  const std::string m = "/music/";
  struct Case {
    store::MusicRecord record;
    std::string folder;
  };
  const Case cases[] = {
      {{{"artist_name", "Singer"}}, "/music/Singer/"},
      {{{"artist_name", "Singer"}, {"fileName", "Singer/Album/T.mp3"}}, "/music/Singer/"},
      // The old layout keeps songs right in the artist folder.
      {{{"artist_name", "Singer"}, {"fileName", "Singer/7-T.mp3"}}, "/music/Singer/"},
      {{{"artist_name", "Singer"}, {"fileName", "file:///elsewhere/Singer/Album/T.mp3"}},
       "/elsewhere/Singer/"},
      {{{"artist_name", "Singer"}, {"fileName", "../escape.mp3"}}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ArtistFolderOf(c.record, m), c.folder);
}

TEST(DownloadPathsTest, FormatsByTheirFirstBytes) {
  struct Case {
    std::string head;
    std::string song;
    std::string picture;
  };
  const Case cases[] = {
      {"ID3\x03", ".mp3", ""},
      {std::string("\xFF\xFB\x90\x64", 4), ".mp3", ""},
      {std::string("\xFF\xE0", 2), "", ""},  // reserved layer: no frame
      {std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 16), ".wma",
       ""},
      {std::string("\x89PNG\r\n\x1a\n", 8), "", ".png"},
      {std::string("\xFF\xD8\xFF\xE0", 4), "", ".jpg"},
      {"GIF89a", "", ".gif"},
      {"<html>error</html>", "", ""},
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SongExtensionFromBytes(c.head), c.song);
    EXPECT_EQ(PictureExtensionFromBytes(c.head), c.picture);
  }
  std::mt19937 random(11);
  for (int i = 0; i < 2000; ++i) {
    std::string head(random() % 20, '\0');
    for (char& c : head) c = static_cast<char>(random());
    const std::string song = SongExtensionFromBytes(head);
    const std::string picture = PictureExtensionFromBytes(head);
    EXPECT_TRUE(song.empty() || IsSongExtension(song));
    EXPECT_TRUE(picture.size() <= 4);
  }
}

TEST(DownloadPathsTest, PicturesAreFoundByTheirStemAndMovesReplace) {
  testing::TempFolder folder;
  const std::string f = folder.path();
  EXPECT_EQ(FindPicture(f, "album"), std::nullopt);
  ASSERT_TRUE(fs::WriteFile(folder / "album.part", "partial"));
  ASSERT_TRUE(fs::WriteFile(folder / "albums.png", "other"));
  EXPECT_EQ(FindPicture(f, "album"), std::nullopt);
  ASSERT_TRUE(fs::WriteFile(folder / "Album.PNG", "picture"));
  EXPECT_EQ(FindPicture(f, "album"), folder / "Album.PNG");

  ASSERT_TRUE(fs::WriteFile(folder / "a", "new"));
  ASSERT_TRUE(fs::WriteFile(folder / "b", "old"));
  EXPECT_TRUE(MoveFileOver(folder / "a", folder / "b"));
  EXPECT_EQ(fs::ReadWholeFile(folder / "b"), "new");
  EXPECT_FALSE(fs::FileExists(folder / "a"));
  EXPECT_FALSE(MoveFileOver(folder / "missing", folder / "c"));
  EXPECT_EQ(ReadFileHead(folder / "b", 2), "ne");
  EXPECT_EQ(ReadFileHead(folder / "missing", 2), "");
}

}  // namespace
}  // namespace quillo::downloads
