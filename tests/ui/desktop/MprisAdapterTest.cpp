// The media-player model: which play operation each client call reaches, when Seeked is
// announced, and what is published from the player's notifications and the window's news.
#include "ui/desktop/MprisAdapter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fakes/FakeMprisService.h"
#include "fakes/FakePlaySurface.h"
#include "ui/desktop/MprisTrack.h"

namespace quillo::ui {
namespace {

using playback::PlayerNotification;
using playback::PlayerState;
using playback::PlayMode;
using Calls = std::vector<std::string>;

const store::MusicRecord kSong = {
    {"id", "101"}, {"name", "晴天"}, {"artist_name", "周杰伦"}, {"album_name", "叶惠美"}};

class MprisAdapterTest : public ::testing::Test {
 protected:
  MprisAdapterTest() { adapter_.SetService(&service_); }

  // A song loaded and playing at 10 s of 200 s.
  void LoadSong() {
    operations_.active = true;
    operations_.position_ms = 10000;
    operations_.duration_ms = 200000;
    adapter_.OnSongStarted(kSong, "晴天");
    adapter_.OnPlayerNotification(playback::StateChanged{PlayerState::kPlaying});
    operations_.calls.clear();
  }

  testing::FakePlaySurface operations_;
  testing::FakeMprisService service_;
  MprisAdapter adapter_{operations_, operations_.Requests()};
};

TEST_F(MprisAdapterTest, PlayPauseAndPlayFollowWhatThePlayerIsDoing) {
  struct Case {
    bool active, paused;
    void (MprisAdapter::*method)();
    Calls expected;
  } cases[] = {
      {true, false, &MprisAdapter::PlayPause, {"Pause"}},
      {true, true, &MprisAdapter::PlayPause, {"Play"}},
      {false, false, &MprisAdapter::PlayPause, {"Play"}},
      // Play while playing must not replay the song from its start.
      {true, false, &MprisAdapter::Play, {}},
      {true, true, &MprisAdapter::Play, {"Play"}},
      {false, false, &MprisAdapter::Play, {"Play"}},
      {true, false, &MprisAdapter::Pause, {"Pause"}},
      {true, true, &MprisAdapter::Pause, {}},
      {false, false, &MprisAdapter::Pause, {}},
  };
  for (const Case& c : cases) {
    operations_.calls.clear();
    operations_.active = c.active;
    operations_.paused = c.paused;
    (adapter_.*c.method)();
    EXPECT_EQ(operations_.calls, c.expected) << "active " << c.active << " paused " << c.paused;
  }
}

TEST_F(MprisAdapterTest, OtherMethodsReachTheirOperations) {
  adapter_.Next();
  adapter_.Previous();
  adapter_.Stop();
  adapter_.Raise();
  adapter_.OpenUri("file:///music/a%20b.mp3");
  adapter_.OpenUri("quillo://add/1,2,3");
  adapter_.OpenUri("http://127.0.0.1/song.mp3");  // not what a command line carries
  adapter_.OpenUri("file://otherhost/music/c.mp3");
  adapter_.Quit();
  EXPECT_EQ(operations_.calls, (Calls{"Next", "Previous", "Stop", "Raise", "OpenUri /music/a b.mp3",
                                      "OpenUri quillo://add/1,2,3", "Quit"}));
}

TEST_F(MprisAdapterTest, SeekMovesFromThePositionAndAnnouncesTheJump) {
  LoadSong();
  adapter_.Seek(5'000'000);
  adapter_.Seek(-60'000'000);  // before the start: the start
  EXPECT_EQ(operations_.calls, (Calls{"Seek 15000", "Seek 0"}));
  EXPECT_EQ(service_.seeked, (std::vector<std::int64_t>{15'000'000, 0}));
}

TEST_F(MprisAdapterTest, SeekPastTheEndGoesToTheNextSongWithoutSeeked) {
  LoadSong();
  adapter_.Seek(191'000'000);
  EXPECT_EQ(operations_.calls, (Calls{"Next"}));
  EXPECT_TRUE(service_.seeked.empty());
}

TEST_F(MprisAdapterTest, NothingSeeksWithoutASongOrWhenThePlayerRefuses) {
  adapter_.Seek(1'000'000);
  adapter_.SetPosition(desktop::MprisMetadata::kNoTrack, 1'000'000);
  EXPECT_TRUE(operations_.calls.empty());

  LoadSong();
  operations_.can_seek = false;
  adapter_.Seek(1'000'000);
  EXPECT_EQ(operations_.calls, (Calls{"Seek 11000"}));
  EXPECT_TRUE(service_.seeked.empty()) << "a refused seek is no jump";
}

TEST_F(MprisAdapterTest, SetPositionOnlyForTheLoadedSongAndWithinItsLength) {
  LoadSong();
  const std::string track = MprisTrack::TrackPath("101");
  adapter_.SetPosition(MprisTrack::TrackPath("102"), 30'000'000);  // another song
  adapter_.SetPosition(track, -1);                                 // before the start
  adapter_.SetPosition(track, 200'000'001);                        // past the end
  EXPECT_TRUE(operations_.calls.empty());
  adapter_.SetPosition(track, 30'000'000);
  EXPECT_EQ(operations_.calls, (Calls{"Seek 30000"}));
  EXPECT_EQ(service_.seeked, (std::vector<std::int64_t>{30'000'000}));
}

TEST_F(MprisAdapterTest, TheSeekBarsJumpIsAnnouncedToo) {
  adapter_.OnSeeked(42000);
  EXPECT_EQ(service_.seeked, (std::vector<std::int64_t>{42'000'000}));
}

TEST_F(MprisAdapterTest, PositionIsReadOnDemandInMicroseconds) {
  operations_.position_ms = -1;
  EXPECT_EQ(adapter_.PositionUs(), 0);
  operations_.position_ms = 1500;
  EXPECT_EQ(adapter_.PositionUs(), 1'500'000);
}

TEST_F(MprisAdapterTest, VolumeMapsToPercentAndIsClamped) {
  struct Case {
    double volume;
    int percent;
  } cases[] = {{0.4, 40}, {1.0, 100}, {1.7, 100}, {-0.3, 0}, {0.006, 1}, {0.0, 0}};
  for (const Case& c : cases) {
    operations_.calls.clear();
    adapter_.SetVolume(c.volume);
    EXPECT_EQ(operations_.calls, (Calls{"SetVolume " + std::to_string(c.percent)})) << c.volume;
    EXPECT_DOUBLE_EQ(service_.last().volume, c.percent / 100.0);
  }
  operations_.calls.clear();
  adapter_.SetVolume(std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(operations_.calls.empty());
}

TEST_F(MprisAdapterTest, LoopStatusAndShuffleChooseModes) {
  struct Case {
    PlayMode current;
    const char* loop;  // nullptr: set Shuffle instead
    bool shuffle;
    PlayMode chosen;
    const char* published_loop;
    bool published_shuffle;
  } cases[] = {
      {PlayMode::kAllRepeat, "Track", false, PlayMode::kSingleRepeat, "Track", false},
      {PlayMode::kSingleRepeat, "Playlist", false, PlayMode::kAllRepeat, "Playlist", false},
      {PlayMode::kAllRepeat, "None", false, PlayMode::kAllNoRepeat, "None", false},
      {PlayMode::kSingleNoRepeat, "None", false, PlayMode::kSingleNoRepeat, "None", false},
      {PlayMode::kRandom, "Track", false, PlayMode::kSingleRepeat, "Track", false},
      {PlayMode::kAllNoRepeat, nullptr, true, PlayMode::kRandom, "Playlist", true},
      {PlayMode::kRandom, nullptr, false, PlayMode::kAllRepeat, "Playlist", false},
      {PlayMode::kSingleRepeat, nullptr, false, PlayMode::kSingleRepeat, "Track", false},
  };
  for (const Case& c : cases) {
    operations_.calls.clear();
    operations_.mode = c.current;
    if (c.loop != nullptr) {
      adapter_.SetLoopStatus(c.loop);
    } else {
      adapter_.SetShuffle(c.shuffle);
    }
    Calls expected;
    if (c.chosen != c.current) expected.push_back("ChooseMode " + std::to_string(int(c.chosen)));
    EXPECT_EQ(operations_.calls, expected) << (c.loop ? c.loop : "shuffle");
    EXPECT_EQ(service_.last().loop_status, c.published_loop);
    EXPECT_EQ(service_.last().shuffle, c.published_shuffle);
  }
  operations_.calls.clear();
  adapter_.SetLoopStatus("Sometimes");
  EXPECT_TRUE(operations_.calls.empty());
}

TEST_F(MprisAdapterTest, PlayerStatesBecomePlaybackStatus) {
  struct Case {
    PlayerState state;
    const char* status;
  } cases[] = {
      {PlayerState::kOpening, "Playing"},   {PlayerState::kPlaying, "Playing"},
      {PlayerState::kBuffering, "Playing"}, {PlayerState::kResumed, "Playing"},
      {PlayerState::kStarted, "Playing"},   {PlayerState::kPaused, "Paused"},
      {PlayerState::kStopped, "Stopped"},   {PlayerState::kFailed, "Stopped"},
      {PlayerState::kFinished, "Stopped"},
  };
  for (const Case& c : cases) {
    adapter_.OnPlayerNotification(playback::StateChanged{c.state});
    EXPECT_EQ(service_.last().playback_status, c.status) << int(c.state);
  }
}

TEST_F(MprisAdapterTest, VolumeAndLengthFollowTheNotifications) {
  adapter_.OnPlayerNotification(playback::VolumeChanged{35});
  EXPECT_DOUBLE_EQ(service_.last().volume, 0.35);

  adapter_.OnSongStarted(kSong, "晴天");
  EXPECT_EQ(service_.last().metadata.length_us, -1) << "the length is not known at the start";
  // Whole seconds from the notification while the player cannot tell the milliseconds ...
  adapter_.OnPlayerNotification(playback::PositionChanged{5, 200});
  EXPECT_EQ(service_.last().metadata.length_us, 200'000'000);
  // ... and the player's milliseconds once it can.
  operations_.duration_ms = 200'480;
  size_t count = service_.published.size();
  adapter_.OnPlayerNotification(playback::PositionChanged{6, 200});
  EXPECT_EQ(service_.last().metadata.length_us, 200'480'000);
  adapter_.OnPlayerNotification(playback::PositionChanged{7, 200});
  EXPECT_EQ(service_.published.size(), count + 1) << "an unchanged length publishes nothing";
}

TEST_F(MprisAdapterTest, ASongStartPublishesItsMetadataAndForgetsTheOldPicture) {
  adapter_.OnSongStarted({{"id", "100"}, {"name", "旧"}}, "旧");
  adapter_.SetArtPath("/data/music/old/artist.jpg");
  adapter_.SetNowPlayingText("故事的小黄花");
  adapter_.OnSongStarted(kSong, "晴天");
  const desktop::MprisMetadata& metadata = service_.last().metadata;
  EXPECT_EQ(metadata.track_path, MprisTrack::TrackPath("101"));
  EXPECT_EQ(metadata.title, "晴天");
  EXPECT_EQ(metadata.artists, std::vector<std::string>{"周杰伦"});
  EXPECT_EQ(metadata.album, "叶惠美");
  EXPECT_EQ(metadata.art_url, "");
  EXPECT_EQ(metadata.as_text, "故事的小黄花") << "the text stays until the next tick replaces it";
  EXPECT_TRUE(service_.last().can_seek);

  adapter_.SetArtPath("/data/music/周杰伦/artist.png");
  EXPECT_EQ(service_.last().metadata.art_url,
            "file:///data/music/%E5%91%A8%E6%9D%B0%E4%BC%A6/artist.png");
}

TEST_F(MprisAdapterTest, NowPlayingTextIsPublishedOnlyWhenItChanges) {
  adapter_.OnSongStarted(kSong, "晴天");
  size_t count = service_.published.size();
  adapter_.SetNowPlayingText("晴天");
  adapter_.SetNowPlayingText("晴天");
  adapter_.SetNowPlayingText("刮风这天");
  EXPECT_EQ(service_.published.size(), count + 2);
  EXPECT_EQ(service_.last().metadata.as_text, "刮风这天");
}

TEST_F(MprisAdapterTest, AClearedSongLeavesNoTrack) {
  LoadSong();
  adapter_.OnSongCleared();
  EXPECT_EQ(service_.last().metadata.track_path, desktop::MprisMetadata::kNoTrack);
  EXPECT_EQ(service_.last().playback_status, "Stopped");
  EXPECT_FALSE(service_.last().can_seek);
}

TEST_F(MprisAdapterTest, StartsFromWhatTheOperationsKnow) {
  testing::FakePlaySurface operations;
  operations.volume = 55;
  operations.mode = PlayMode::kRandom;
  operations.active = true;
  operations.paused = true;
  MprisAdapter adapter(operations, operations.Requests());
  testing::FakeMprisService service;
  adapter.SetService(&service);
  ASSERT_EQ(service.published.size(), 1u) << "setting the service publishes at once";
  EXPECT_DOUBLE_EQ(service.last().volume, 0.55);
  EXPECT_TRUE(service.last().shuffle);
  EXPECT_EQ(service.last().playback_status, "Paused");
}

}  // namespace
}  // namespace quillo::ui
