// Track paths, file addresses and metadata of the media-player service, and the play modes'
// LoopStatus and Shuffle.
#include "ui/desktop/MprisTrack.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "ui/desktop/MprisModes.h"

namespace quillo::ui {
namespace {

using playback::PlayMode;

TEST(MprisTrackTest, TrackPathsAreValidObjectPathsAndKeepIdsApart) {
  struct Case {
    const char* id;
    const char* path_tail;
  } cases[] = {
      {"101", "101"},     {"ex-0f3a", "ex_2d0f3a"}, {"d_ab12_3", "d_5fab12_5f3"},
      {"a_2d", "a_5f2d"},  // not the same as "a-"
      {"a-", "a_2d"},     {"周", "_e5_91_a8"},
  };
  for (const Case& c : cases) {
    std::string path = MprisTrack::TrackPath(c.id);
    EXPECT_EQ(path, std::string(MprisTrack::kTrackPathPrefix) + c.path_tail) << c.id;
    EXPECT_TRUE(g_variant_is_object_path(path.c_str())) << path;
  }
  EXPECT_EQ(MprisTrack::TrackPath(""), desktop::MprisMetadata::kNoTrack);
}

TEST(MprisTrackTest, RandomIdsGiveValidDistinctPaths) {
  std::mt19937 random(1234);
  std::set<std::string> ids;
  std::set<std::string> paths;
  for (int i = 0; i < 2000; ++i) {
    std::string id(1 + random() % 12, '\0');
    for (char& c : id) c = static_cast<char>(random() % 256);
    std::string path = MprisTrack::TrackPath(id);
    ASSERT_TRUE(g_variant_is_object_path(path.c_str())) << path;
    ids.insert(id);
    paths.insert(path);
  }
  EXPECT_EQ(paths.size(), ids.size());
}

TEST(MprisTrackTest, FileUrlsEscapeWhatAnAddressCannotHold) {
  EXPECT_EQ(MprisTrack::FileUrl("/a/b c/#1%.png"), "file:///a/b%20c/%231%25.png");
  EXPECT_EQ(MprisTrack::FileUrl("/音乐/x.jpg"), "file:///%E9%9F%B3%E4%B9%90/x.jpg");
}

TEST(MprisTrackTest, MetadataComesFromTheRecordWithFallbacks) {
  auto full = MprisTrack::Build(
      {{"id", "7"}, {"name", "稻香"}, {"artist_name", "周杰伦"}, {"album_name", "魔杰座"}},
      "ignored", 223000, "/p/artist.png", "还记得你说家是唯一的城堡");
  EXPECT_EQ(full.track_path, MprisTrack::TrackPath("7"));
  EXPECT_EQ(full.length_us, 223'000'000);
  EXPECT_EQ(full.title, "稻香");
  EXPECT_EQ(full.artists, std::vector<std::string>{"周杰伦"});
  EXPECT_EQ(full.album, "魔杰座");
  EXPECT_EQ(full.art_url, "file:///p/artist.png");
  EXPECT_EQ(full.as_text, "还记得你说家是唯一的城堡");

  // A file played from the command line: the player's title, no artist, no length yet.
  auto bare = MprisTrack::Build({{"id", "ex-1"}}, "song.mp3", -1, "", "");
  EXPECT_EQ(bare.title, "song.mp3");
  EXPECT_TRUE(bare.artists.empty());
  EXPECT_EQ(bare.length_us, -1);
  EXPECT_EQ(bare.art_url, "");
}

TEST(MprisModesTest, EveryModeHasItsLoopStatusAndShuffle) {
  struct Case {
    PlayMode mode;
    const char* loop;
    bool shuffle;
  } cases[] = {
      {PlayMode::kSingleNoRepeat, "None", false}, {PlayMode::kSingleRepeat, "Track", false},
      {PlayMode::kAllNoRepeat, "None", false},    {PlayMode::kAllRepeat, "Playlist", false},
      {PlayMode::kRandom, "Playlist", true},      {PlayMode::kUnknown, "None", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MprisModes::LoopStatusOf(c.mode), c.loop) << int(c.mode);
    EXPECT_EQ(MprisModes::ShuffleOf(c.mode), c.shuffle) << int(c.mode);
  }
}

TEST(MprisModesTest, AChosenLoopStatusMapsBackToAModeWithTheSameLoopStatus) {
  const PlayMode all[] = {PlayMode::kSingleNoRepeat, PlayMode::kSingleRepeat,
                          PlayMode::kAllNoRepeat, PlayMode::kAllRepeat, PlayMode::kRandom};
  for (PlayMode current : all) {
    for (const char* loop : {"None", "Track", "Playlist"}) {
      auto mode = MprisModes::ModeForLoopStatus(loop, current);
      ASSERT_TRUE(mode.has_value());
      EXPECT_EQ(MprisModes::LoopStatusOf(*mode), loop) << int(current) << " " << loop;
      EXPECT_FALSE(MprisModes::ShuffleOf(*mode));
    }
    EXPECT_FALSE(MprisModes::ModeForLoopStatus("none", current).has_value());
    EXPECT_TRUE(MprisModes::ShuffleOf(MprisModes::ModeForShuffle(true, current)));
    EXPECT_FALSE(MprisModes::ShuffleOf(MprisModes::ModeForShuffle(false, current)));
  }
}

}  // namespace
}  // namespace quillo::ui
