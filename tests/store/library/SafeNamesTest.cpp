#include "store/SafeNames.h"

#include <gtest/gtest.h>

#include "store/StoredPath.h"

namespace quillo::store {
namespace {

TEST(SafeNamesTest, SafeFileName) {
  const std::pair<std::string, std::string> kCases[] = {
      {"AC/DC", "AC_DC"},
      {"Back: In Black", "Back_ In Black"},
      {"a\\b\nc\rd?e*f|g\"h<i>j", "a_b_c_d_e_f_g_h_i_j"},
      {"  spaced  ", "spaced"},
      // Names that would step out of their folder, or be no name at all.
      {"..", "_"},
      {".", "_"},
      {"", "_"},
      {"   ", "_"},
      {" .. ", "_"},
      {"../..", ".._.."},
      {"...", "..."},
  };
  for (const auto& [name, safe] : kCases) EXPECT_EQ(SafeFileName(name), safe) << "[" << name << "]";
  std::string long_name;
  for (int i = 0; i < 120; ++i) long_name += "歌";
  std::string cut = SafeFileName(long_name);
  EXPECT_LE(cut.size(), kMaxNameBytes);
  EXPECT_EQ(cut.size() % 3, 0u);  // whole characters only
}

TEST(SafeNamesTest, MusicFileName) {
  EXPECT_EQ(MusicFileName({{"artist_name", "AC/DC"}, {"name", "Back: In Black"}}, ".mp3"),
            "AC_DC/未知专辑/Back_ In Black.mp3");
  EXPECT_EQ(MusicFileName({{"name", "Song"}, {"album_name", " X "}}, ".wma"), "未知歌手/X/Song.wma");
  EXPECT_EQ(MusicFileName({{"artist_name", ".."}, {"album_name", ".."}, {"name", ".."}}, ".mp3"), "_/_/_.mp3");
}

TEST(SafeNamesTest, IdsAndExtensions) {
  EXPECT_FALSE(IsLocalId("123456"));
  EXPECT_TRUE(IsLocalId("ex-0a"));
  EXPECT_TRUE(IsLocalId("d_abc_1"));
  EXPECT_EQ(LocalMusicId("/Music/A.MP3"), LocalMusicId("/music/a.mp3"));
  EXPECT_EQ(LocalMusicId("/music/a.mp3").substr(0, 3), "ex-");
  EXPECT_EQ(LocalMusicId("/music/a.mp3").size(), 35u);
  EXPECT_TRUE(IsHexId32("0123456789abcdefABCDEF0123456789"));
  EXPECT_FALSE(IsHexId32("0123456789abcdefABCDEF012345678"));
  EXPECT_FALSE(IsHexId32("0123456789abcdefABCDEF012345678g"));
  EXPECT_EQ(FileExtension("/a.b/c"), "");
  EXPECT_EQ(FileExtension("/a/c.tar.MP3"), ".MP3");
}

TEST(StoredPathTest, RelativeNamesStayInTheirFolder) {
  const std::pair<std::string, std::string> kCases[] = {
      {"A/B/c.mp3", "/m/A/B/c.mp3"},
      {"file:///elsewhere/c.mp3", "/elsewhere/c.mp3"},
      {"../escape.mp3", ""},
      {"A/../../escape.mp3", ""},
      {"A\\..\\x", ""},
      {"/etc/passwd", ""},
      {"", ""},
      {"..hidden/x", "/m/..hidden/x"},
  };
  for (const auto& [stored, path] : kCases) EXPECT_EQ(ResolveStoredPath("/m/", stored), path) << stored;
}

}  // namespace
}  // namespace quillo::store
