// The player streaming a service song: buffering thresholds, the first build, cancelling, and
// continuing a graph that reached the end of its snapshot.
#include <gtest/gtest.h>

#include "platform/fs/FileSystem.h"
#include "playback/player/PlayerFixture.h"
#include "service/transfer/TransferRecord.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"

namespace quillo::playback {
namespace {

using audio::GraphEvent;

constexpr const char* kUrl = "http://127.0.0.1:1/music/song.mp3";

class MediaPlayerStreamTest : public PlayerFixture {
 protected:
  std::uint64_t OnDisk() { return fs::FileSize(player_->stream_file_path()).value_or(0); }
  // Handles a graph event at once (between two chunks of the download).
  void EndSnapshotNow(double position_s) {
    auto graph = graphs_.last();
    graph->position_s = position_s;
    graph->pending_events.push_back(GraphEvent::kComplete);
    player_->OnGraphEvents();
  }
  bool Finished() { return !cache_->Entries().empty(); }
};

TEST_F(MediaPlayerStreamTest, FirstBuildHappensAtTheBufferingThreshold) {
  struct Case {
    std::size_t size;
    long announced;
    std::size_t piece;
    std::uint64_t first_build;
  };
  const Case cases[] = {
      {2000000, 2000000, 10000, 200000},
      {5000000, 5000000, 10000, 300000},
      {400000, -1, 7000, 7000},  // no length: the first chunk
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    graphs_.logs.clear();
    listener_.received.clear();
    Serve(SongAnswer(c.size, c.announced, c.piece));
    std::string id = "song" + std::to_string(c.size);
    ASSERT_TRUE(player_->PlayStream(kUrl, id, "Song"));
    ASSERT_TRUE(PumpUntil([&] { return !graphs_.built().empty(); }));
    EXPECT_EQ(graphs_.built().front()->snapshot_bytes, c.first_build);
    EXPECT_TRUE(graphs_.built().front()->Called("BuildMp3Snapshot"));
    EXPECT_EQ(graphs_.built().front()->path, CacheFolder() + id + ".mp3");
    Drain();
    // Percentages rise to 100 before the song starts; none after it while it plays.
    std::vector<PlayerNotification> before_start;
    for (const auto& n : listener_.received) {
      if (n == PlayerNotification{StateChanged{PlayerState::kStarted}}) break;
      before_start.push_back(n);
    }
    std::vector<int> percents;
    for (const auto& n : before_start) {
      if (const auto* progress = std::get_if<BufferingProgress>(&n)) {
        percents.push_back(progress->percent);
      }
    }
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.back(), 100);
    for (std::size_t i = 1; i < percents.size(); ++i) EXPECT_LE(percents[i - 1], percents[i]);
    if (c.announced < 0) {
      EXPECT_EQ(percents.size(), 1u);
    }
    EXPECT_EQ(before_start.front(), (PlayerNotification{StateChanged{PlayerState::kOpening}}));
    EXPECT_EQ(before_start[1], (PlayerNotification{StateChanged{PlayerState::kBuffering}}));
    std::vector<int> states = listener_.States();
    ASSERT_GE(states.size(), 4u);
    EXPECT_EQ(states[2], S(PlayerState::kPlaying));
    EXPECT_EQ(states[3], S(PlayerState::kStarted));
    player_->Stop();
    Drain();
  }
}

TEST_F(MediaPlayerStreamTest, PausedWhileBufferingStartsSilentlyButStillReportsTheStart) {
  Serve(SongAnswer(2000000, 2000000, 10000, 300000));
  ASSERT_TRUE(player_->PlayStream(kUrl, "1001", "Song"));
  player_->Pause();
  ASSERT_TRUE(PumpUntil([&] { return !graphs_.built().empty(); }));
  Drain();
  EXPECT_TRUE(listener_.Percents().empty());
  EXPECT_EQ(listener_.States(),
            (std::vector<int>{S(PlayerState::kOpening), S(PlayerState::kPaused),
                              S(PlayerState::kBuffering), S(PlayerState::kStarted)}));
  EXPECT_FALSE(graphs_.last()->running);
  EXPECT_FALSE(graphs_.last()->Called("Run"));
}

TEST_F(MediaPlayerStreamTest, AnotherSongCancelsTheDownloadAndLateCallbacksAreIgnored) {
  Serve(SongAnswer(2000000, 2000000, 10000, 100000));
  ASSERT_TRUE(player_->PlayStream(kUrl, "1001", "First"));
  ASSERT_TRUE(PumpUntil([&] { return OnDisk() >= 100000; }));
  const std::string first_file = player_->stream_file_path();
  Serve(SongAnswer(2000000, 2000000, 10000, 150000));
  ASSERT_TRUE(player_->PlayStream("http://127.0.0.1:1/music/other.mp3", "2002", "Second"));
  EXPECT_FALSE(fs::FileExists(first_file));  // the cancelled download's partial file is gone
  ASSERT_TRUE(PumpUntil([&] { return OnDisk() >= 150000; }));
  Drain();
  listener_.received.clear();

  // A record of the first transfer ("1") reaching the player late changes nothing.
  service::TransferRecord::Options options;
  options.id = "1";
  options.url = kUrl;
  options.target_path = first_file;
  service::TransferRecord late(options);
  player_->OnStart(late);
  player_->OnData(late);
  player_->OnFinish(late);
  Drain();
  EXPECT_TRUE(listener_.received.empty());
  EXPECT_TRUE(player_->IsActive());
  EXPECT_EQ(player_->GetTitle(), "Second");
  EXPECT_TRUE(graphs_.built().empty());
}

TEST_F(MediaPlayerStreamTest, FailedDownloadReportsFailure) {
  Serve(SongAnswer(2000000, 2000000, 10000, 250000));
  ASSERT_TRUE(player_->PlayStream(kUrl, "1001", "Song"));
  ASSERT_TRUE(PumpUntil([&] { return !graphs_.built().empty(); }));
  // The transfer ends without success (the record's status is not kFinished).
  service::TransferRecord::Options options;
  options.id = "1";
  service::TransferRecord failed(options);
  player_->OnFinish(failed);
  Drain();
  EXPECT_EQ(listener_.States().back(), S(PlayerState::kFailed));
  EXPECT_TRUE(graphs_.last()->destroyed);
  EXPECT_FALSE(player_->IsActive());
}

TEST_F(MediaPlayerStreamTest, CompletedDownloadWritesTryoutAndEntersTheCache) {
  ASSERT_TRUE(runtime_.library().AddMusic({{"id", "1001"}, {"name", "Song"}}, false));
  Serve(SongAnswer(600000, 600000, 10000));
  ASSERT_TRUE(player_->PlayStream(kUrl, "1001", "Song"));
  ASSERT_TRUE(PumpUntil([&] { return Finished(); }));
  auto record = runtime_.library().FindMusic("1001");
  ASSERT_TRUE(record.has_value());
  EXPECT_EQ((*record)["tryout"], "1001.mp3");
  auto entries = cache_->Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].kind, "music");
  EXPECT_EQ(entries[0].path, CacheFolder() + "1001.mp3");
  EXPECT_EQ(fs::FileSize(entries[0].path), 600000u);
}

TEST_F(MediaPlayerStreamTest, SnapshotEndAfterTheDownloadContinuesOverTheWholeFileThenFinishes) {
  graphs_.script.duration_s = 10;  // the first snapshot: a tenth of the song
  Serve(SongAnswer(2000000, 2000000, 10000));
  ASSERT_TRUE(player_->PlayStream(kUrl, "1001", "Song"));
  ASSERT_TRUE(PumpUntil([&] { return Finished(); }));
  ASSERT_EQ(graphs_.built().size(), 1u);
  // The snapshot graph still plays: the song's duration is the extrapolated one.
  EXPECT_EQ(player_->GetDurationMs(), 100000);

  graphs_.script.duration_s = 100;  // what a graph over the whole file reports
  ASSERT_TRUE(graphs_.Fire(GraphEvent::kComplete));
  graphs_.last()->position_s = 10.02;
  Drain();
  ASSERT_EQ(graphs_.built().size(), 2u);
  auto whole = graphs_.built().back();
  EXPECT_EQ(whole->snapshot_bytes, 2000000u);
  ASSERT_FALSE(whole->seeks_s.empty());
  EXPECT_DOUBLE_EQ(whole->seeks_s.front(), 10.02);
  EXPECT_TRUE(whole->running);

  whole->position_s = 99.5;
  ASSERT_TRUE(graphs_.Fire(GraphEvent::kComplete));
  Drain();
  EXPECT_EQ(listener_.States().back(), S(PlayerState::kFinished));
  EXPECT_FALSE(player_->IsActive());
  EXPECT_EQ(graphs_.built().size(), 2u);  // no rebuild without new data
}

TEST_F(MediaPlayerStreamTest, SnapshotEndWhileDownloadingWaitsThenResumesWhereItStopped) {
  graphs_.script.duration_s = 10;
  // The download stops at the first threshold until the snapshot has ended.
  testing::FakeAnswer answer = SongAnswer(2000000, 2000000, 10000);
  answer.released = std::make_shared<std::atomic<std::size_t>>(200000);
  Serve(answer);
  ASSERT_TRUE(player_->PlayStream(kUrl, "1001", "Song"));
  ASSERT_TRUE(PumpUntil([&] { return !graphs_.built().empty(); }));
  const std::uint64_t at_end = OnDisk();
  EndSnapshotNow(2.5);
  answer.released->store(2000000);
  // Waiting: the position stays where the snapshot ended, nothing is rebuilt yet.
  EXPECT_EQ(player_->GetPositionMs(), 2500);
  EXPECT_EQ(graphs_.built().size(), 1u);

  ASSERT_TRUE(PumpUntil([&] { return graphs_.built().size() >= 2; }));
  auto second = graphs_.built().back();
  // Rebuilt once the threshold (200000 bytes) arrived beyond the stop, at the stop.
  EXPECT_GE(second->snapshot_bytes, at_end + 200000);
  EXPECT_LT(second->snapshot_bytes, at_end + 200000 + 10000);
  ASSERT_FALSE(second->seeks_s.empty());
  EXPECT_DOUBLE_EQ(second->seeks_s.front(), 2.5);
  EXPECT_TRUE(second->running);
  player_->Stop();
  Drain();
  // After the start: buffering (1,3), rising percentages up to 100, playing again.
  std::vector<PlayerNotification> after;
  bool started = false;
  for (const auto& n : listener_.received) {
    if (started && !std::holds_alternative<PositionChanged>(n)) after.push_back(n);
    if (n == PlayerNotification{StateChanged{PlayerState::kStarted}}) started = true;
  }
  ASSERT_GE(after.size(), 4u);
  EXPECT_EQ(after.front(), (PlayerNotification{StateChanged{PlayerState::kBuffering}}));
  EXPECT_EQ(after[after.size() - 3], (PlayerNotification{BufferingProgress{100}}));
  EXPECT_EQ(after[after.size() - 2], (PlayerNotification{StateChanged{PlayerState::kPlaying}}));
  EXPECT_EQ(after.back(), (PlayerNotification{StateChanged{PlayerState::kStopped}}));
  for (std::size_t i = 1; i + 2 < after.size(); ++i) {
    EXPECT_TRUE(std::holds_alternative<BufferingProgress>(after[i]));
  }
  for (std::size_t i = 2; i + 2 < after.size(); ++i) {
    EXPECT_LE(std::get<BufferingProgress>(after[i - 1]).percent,
              std::get<BufferingProgress>(after[i]).percent);
  }
}

TEST_F(MediaPlayerStreamTest, SnapshotEndWithEnoughNewDataContinuesAtOnce) {
  graphs_.script.duration_s = 10;
  Serve(SongAnswer(2000000, 2000000, 10000, 450000));
  ASSERT_TRUE(player_->PlayStream(kUrl, "1001", "Song"));
  ASSERT_TRUE(PumpUntil([&] { return OnDisk() >= 450000; }));
  ASSERT_EQ(graphs_.built().size(), 1u);
  EndSnapshotNow(2.0);
  ASSERT_EQ(graphs_.built().size(), 2u);
  EXPECT_EQ(graphs_.built().back()->snapshot_bytes, 450000u);
  EXPECT_DOUBLE_EQ(graphs_.built().back()->seeks_s.front(), 2.0);
  Drain();
  EXPECT_FALSE(listener_.HasState(PlayerState::kFinished));
  EXPECT_EQ(listener_.States().back(), S(PlayerState::kPlaying));
}

TEST_F(MediaPlayerStreamTest, UnplayableCompleteDownloadFailsInsteadOfWaitingForever) {
  graphs_.script.build_succeeds = false;
  Serve(SongAnswer(700000, 700000, 10000));
  ASSERT_TRUE(player_->PlayStream(kUrl, "1001", "Song"));
  ASSERT_TRUE(PumpUntil([&] { return listener_.HasState(PlayerState::kFailed); }));
  Drain();
  std::vector<int> states = listener_.States();
  EXPECT_TRUE(listener_.HasState(PlayerState::kStarted));  // the first threshold was passed
  EXPECT_FALSE(listener_.HasState(PlayerState::kPlaying));
  EXPECT_EQ(states.back(), S(PlayerState::kFailed));
  EXPECT_FALSE(player_->IsActive());
}

}  // namespace
}  // namespace quillo::playback
