// The player with a file on disk: notifications, levels, position, tap, listeners.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/fs/FileSystem.h"
#include "playback/player/PlayerFixture.h"
#include "store/DocumentStore.h"

namespace quillo::playback {
namespace {

using audio::GraphEvent;

class MediaPlayerTest : public PlayerFixture {
 protected:
  std::string SongFile() {
    std::string path = data_ / "song.mp3";
    fs::WriteFile(path, "not really audio");
    return path;
  }
};

TEST_F(MediaPlayerTest, PlayFileBuildsRunsAndReportsInOrder) {
  graphs_.script.duration_s = 250.6;
  ASSERT_TRUE(player_->PlayFile(SongFile(), "1001", "Song"));
  // Posted, not sent: nothing has reached the listener yet.
  EXPECT_TRUE(listener_.received.empty());
  Drain();
  EXPECT_EQ(listener_.States(),
            (std::vector<int>{S(PlayerState::kOpening), S(PlayerState::kPlaying),
                              S(PlayerState::kStarted)}));
  auto graph = graphs_.last();
  EXPECT_TRUE(graph->Called("RenderFile"));
  EXPECT_FALSE(graph->Called("BuildMp3Snapshot"));
  EXPECT_TRUE(graph->Called("InsertTap"));
  EXPECT_TRUE(graph->running);
  EXPECT_EQ(graph->volumes, std::vector<int>{-800});  // volume 80
  EXPECT_EQ(graph->balances, std::vector<int>{0});
  EXPECT_EQ(graph->equalizer.size(), 0u);  // the fake has no equaliser stages to set
  EXPECT_TRUE(player_->IsActive());
  EXPECT_EQ(player_->GetDisplayTitle(), "Song [04:10]");
}

// A pipe, a folder or a missing file is refused before the graph opens it (a pipe would block
// the window thread until someone writes to it).
TEST_F(MediaPlayerTest, WhatIsNotARegularFileFailsWithoutBeingOpened) {
  const std::string pipe = data_ / "pipe.mp3";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& path : {pipe, data_.path(), data_ / "missing.mp3"}) {
    SCOPED_TRACE(path);
    listener_.received.clear();
    EXPECT_FALSE(player_->PlayFile(path, "1001", "Song"));
    Drain();
    EXPECT_EQ(listener_.States(),
              (std::vector<int>{S(PlayerState::kOpening), S(PlayerState::kFailed)}));
    EXPECT_FALSE(graphs_.last()->Called("RenderFile"));
    EXPECT_FALSE(player_->IsActive());
  }
}

TEST_F(MediaPlayerTest, UnplayableFileFailsAndReleasesTheGraph) {
  graphs_.script.build_succeeds = false;
  EXPECT_FALSE(player_->PlayFile(SongFile(), "1001", "Song"));
  Drain();
  EXPECT_EQ(listener_.States(),
            (std::vector<int>{S(PlayerState::kOpening), S(PlayerState::kFailed)}));
  EXPECT_TRUE(graphs_.last()->destroyed);
  EXPECT_FALSE(player_->IsActive());
  EXPECT_EQ(player_->GetPositionMs(), -1);
  EXPECT_EQ(player_->GetDurationMs(), -1);
  EXPECT_EQ(player_->GetDisplayTitle(), "Song");
}

// Muted is silent however it came about: a graph built while mute is on starts silent, and a
// volume change while muted is kept for later without making a sound.
TEST_F(MediaPlayerTest, MutedIsSilentAtBuildAndWhenToggled) {
  player_->SetVolume(50);
  player_->SetMute(true);
  EXPECT_EQ(player_->GetVolume(), 50);
  ASSERT_TRUE(player_->PlayFile(SongFile(), "1001", "Song"));
  auto graph = graphs_.last();
  EXPECT_EQ(graph->volumes, std::vector<int>{-10000});
  // While muted a volume change is stored but not applied.
  player_->SetVolume(100);
  EXPECT_EQ(graph->volumes, std::vector<int>{-10000});
  player_->SetMute(false);
  player_->SetMute(true);
  player_->SetMute(false);
  player_->SetVolume(0);
  player_->SetVolume(1);
  EXPECT_EQ(graph->volumes, (std::vector<int>{-10000, 0, -10000, 0, -10000, -3960}));
  player_->SetBalance(-40);
  EXPECT_EQ(graph->balances.back(), -4000);
  Drain();
  EXPECT_EQ(listener_.Volumes(), (std::vector<int>{50, 100, 0, 1}));
  EXPECT_EQ(listener_.Mutes(), (std::vector<bool>{true, false, true, false}));
}

TEST_F(MediaPlayerTest, PositionTimerReportsWholeSecondsOnlyWithADuration) {
  graphs_.script.duration_s = 0;
  ASSERT_TRUE(player_->PlayFile(SongFile(), "1001", "Song"));
  auto graph = graphs_.last();
  graph->position_s = 61.9;
  player_->OnPositionTimer();
  Drain();
  EXPECT_TRUE(listener_.All<PositionChanged>().empty());
  // Once the graph knows its duration the reports start.
  graph->duration_s = 250.6;
  player_->OnPositionTimer();
  Drain();
  EXPECT_EQ(listener_.All<PositionChanged>(),
            (std::vector<PositionChanged>{{.position_s = 61, .duration_s = 250}}));
}

TEST_F(MediaPlayerTest, PositionRunsOnBetweenGraphUpdatesAndFollowsASeekBack) {
  graphs_.script.duration_s = 200;
  ASSERT_TRUE(player_->PlayFile(SongFile(), "1001", "Song"));
  auto graph = graphs_.last();
  graph->position_s = 10.0;
  EXPECT_EQ(player_->GetPositionMs(), 10000);
  now_ms_ += 400;
  EXPECT_EQ(player_->GetPositionMs(), 10400);
  ASSERT_TRUE(player_->Seek(2000));
  EXPECT_EQ(player_->GetPositionMs(), 2000);
  // Paused: the graph's own position, however much time passes.
  player_->Pause();
  now_ms_ += 5000;
  EXPECT_EQ(player_->GetPositionMs(), 2000);
  EXPECT_FALSE(graph->running);
  player_->Resume();
  EXPECT_TRUE(graph->running);
  Drain();
  EXPECT_TRUE(listener_.HasState(PlayerState::kPaused));
  EXPECT_TRUE(listener_.HasState(PlayerState::kResumed));
}

TEST_F(MediaPlayerTest, GraphEventsEndOrFailALocalSong) {
  struct Case {
    GraphEvent event;
    PlayerState state;
  };
  for (const Case& c : {Case{GraphEvent::kComplete, PlayerState::kFinished},
                        Case{GraphEvent::kError, PlayerState::kFailed}}) {
    listener_.received.clear();
    ASSERT_TRUE(player_->PlayFile(SongFile(), "1001", "Song"));
    auto graph = graphs_.last();
    ASSERT_TRUE(graphs_.Fire(GraphEvent::kClockChanged));
    ASSERT_TRUE(graphs_.Fire(c.event));
    // Handled from the loop, not inside the graph's callback.
    EXPECT_FALSE(graph->destroyed);
    Drain();
    EXPECT_TRUE(graph->destroyed);
    EXPECT_FALSE(player_->IsActive());
    std::vector<int> states = listener_.States();
    ASSERT_GE(states.size(), 2u);
    EXPECT_EQ(states[states.size() - 2], S(PlayerState::kPlaying));
    EXPECT_EQ(states.back(), S(c.state));
  }
}

TEST_F(MediaPlayerTest, TapFailureShowsItsMessageAndPlaysOn) {
  graphs_.script.tap_failure = audio::TapFailure::kCannotConnectGrabber;
  ASSERT_TRUE(player_->PlayFile(SongFile(), "1001", "Song"));
  EXPECT_EQ(messages_, std::vector<std::string>{"不能连接Sampler"});
  EXPECT_TRUE(graphs_.last()->running);
}

TEST_F(MediaPlayerTest, RemovedListenerIsNeverCalledAndStopClearsTheSong) {
  RecordingListener second;
  player_->AddListener(second);
  ASSERT_TRUE(player_->PlayFile(SongFile(), "1001", "Song"));
  player_->RemoveListener(second);  // before the queued notifications are delivered
  player_->Stop();
  Drain();
  EXPECT_TRUE(second.received.empty());
  EXPECT_EQ(listener_.States().back(), S(PlayerState::kStopped));
  EXPECT_EQ(player_->GetTitle(), "");
  EXPECT_EQ(player_->GetMusicId(), "");
  EXPECT_FALSE(player_->IsActive());
  EXPECT_TRUE(graphs_.last()->destroyed);
}

TEST_F(MediaPlayerTest, PlayingAFileTouchesItsCacheEntries) {
  cache_->Add("music", "1001", "/c/1001.mp3");
  cache_->Add("music", "2002", "/c/2002.mp3");
  ASSERT_TRUE(player_->PlayFile(SongFile(), "1001", "Song"));
  auto entries = cache_->Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries.back().music_id, "1001");
}

}  // namespace
}  // namespace quillo::playback
