// The play queue: end-of-song rules, notification reactions, how a song is started, random mode,
// the fallback after a restart and the play-mode rules.
#include <gtest/gtest.h>

#include "PlayQueueFixture.h"
#include "platform/fs/FileSystem.h"
#include "playback/PlayQueueMode.h"

namespace quillo::testing {
namespace {

using playback::BufferingProgress;
using playback::MuteChanged;
using playback::PlayerNotification;
using playback::PlayerState;
using playback::PlayMode;
using playback::PlayQueueMode;
using playback::PositionChanged;
using playback::StateChanged;
using playback::VolumeChanged;
using store::MusicRecord;

class PlayQueueTest : public PlayQueueFixture {};

TEST_F(PlayQueueTest, EndOfSongFollowsThePlayMode) {
  struct Case {
    const char* mode;  // nullptr: key absent
    std::vector<std::string> expected;
  };
  // The current item is the last record of the chart; random draws 1 (the second record).
  const Case cases[] = {
      {"all_no_repeat", {}},
      {"all_repeat", {"201"}},
      {nullptr, {"201"}},
      {"single_repeat", {"203"}},
      {"single_no_repeat", {}},
      {"random", {"202"}},
      {"bogus", {}},
  };
  lists().SetTemporaryRecords("t_rank_1", {Song("201", "A"), Song("202", "B"), Song("203", "C")});
  draw_ = 1;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode ? c.mode : "absent");
    SetMode(c.mode);
    queue().PlayListItem("t_rank_1", "203");
    ASSERT_EQ(PlayedIds().back(), "203");
    player_.NotifyState(PlayerState::kStarted);
    player_.played.clear();
    lyrics_.clears.clear();
    player_.NotifyState(PlayerState::kFinished);
    EXPECT_EQ(PlayedIds(), c.expected);
    if (!c.expected.empty()) {
      EXPECT_EQ(player_.played[0].source, StreamUrl(c.expected[0]));
    }
    EXPECT_EQ(lyrics_.clears, std::vector<bool>{true});
    EXPECT_EQ(view_.LastStatus(), playback::PlayQueue::kIdleText);
    EXPECT_EQ(view_.pause_shown, false);
  }
}

TEST_F(PlayQueueTest, NotificationReactions) {
  struct Case {
    const char* what;
    PlayerNotification notification;
    std::string status;  // "" : unchanged
    std::optional<bool> pause_shown;
    std::optional<bool> marquee;
  };
  const std::string title = "一 - 歌手";
  const Case cases[] = {
      {"connecting", StateChanged{PlayerState::kOpening}, " 连接中..." + title, true, std::nullopt},
      {"paused", StateChanged{PlayerState::kPaused}, " 已经暂停:" + title, false, false},
      {"resumed", StateChanged{PlayerState::kResumed}, title, true, true},
      {"stopped", StateChanged{PlayerState::kStopped}, playback::PlayQueue::kIdleText, false,
       false},
      {"buffering", BufferingProgress{42}, " 正在缓冲(42%)" + title, std::nullopt, std::nullopt},
      {"position", PositionChanged{5, 200}, title, std::nullopt, std::nullopt},
      {"position 0", PositionChanged{0, 200}, "", std::nullopt, std::nullopt},
      {"playing (ignored)", StateChanged{PlayerState::kPlaying}, "", std::nullopt, std::nullopt},
      {"buffering state (ignored)", StateChanged{PlayerState::kBuffering}, "", std::nullopt,
       std::nullopt},
      {"volume", VolumeChanged{37}, "", std::nullopt, std::nullopt},
  };
  queue().PlayListItem(fav_, "101");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    view_.status.clear();
    view_.pause_shown.reset();
    view_.marquee.reset();
    player_.Notify(c.notification);
    EXPECT_EQ(view_.status.empty() ? "" : view_.status.back(), c.status);
    EXPECT_EQ(view_.pause_shown, c.pause_shown);
    EXPECT_EQ(view_.marquee, c.marquee);
  }
  EXPECT_EQ(view_.seek_resets, 1);
  EXPECT_EQ(view_.time, std::make_pair(0, 200));
  EXPECT_EQ(view_.volume, 37);
  EXPECT_EQ(lyrics_.clears, std::vector<bool>{false});  // after "stopped"
  player_.Notify(MuteChanged{true});
  EXPECT_EQ(view_.muted, true);
  player_.Notify(MuteChanged{false});
  EXPECT_EQ(view_.muted, false);
  EXPECT_TRUE(player_.played.size() == 1) << "no reaction starts another song";
}

TEST_F(PlayQueueTest, StartedSongIsResetToNormalAndReported) {
  library().SetMusicAttribute("101", "status", "3");
  queue().PlayListItem(fav_, "101");
  EXPECT_TRUE(Events().empty());
  player_.NotifyState(PlayerState::kStarted);
  EXPECT_EQ(SongAttribute("101", "status"), "0");
  EXPECT_EQ(Events(), std::vector<std::string>{"play_music:101:一 - 歌手"});
  EXPECT_EQ(view_.LastStatus(), "一 - 歌手");
}

TEST_F(PlayQueueTest, HowASongIsStarted) {
  const std::string music = store().FolderPath("music");
  ASSERT_TRUE(fs::CreateFolders(music + "歌手"));
  ASSERT_TRUE(fs::WriteFile(music + "歌手/一.mp3", "x"));
  const std::string cache = store().FolderPath(".cache");
  ASSERT_TRUE(fs::CreateFolders(cache));
  ASSERT_TRUE(fs::WriteFile(cache + "102.tryout.mp3", "x"));

  struct Case {
    const char* what;
    std::string id;
    std::map<std::string, std::string> attributes;
    bool stream;
    std::string source;
  };
  const Case cases[] = {
      {"stored copy", "101", {{"fileName", "歌手/一.mp3"}}, false, music + "歌手/一.mp3"},
      {"stored copy missing: streamed",
       "101",
       {{"fileName", "歌手/gone.mp3"}},
       true,
       StreamUrl("101")},
      {"preview copy in the cache",
       "102",
       {{"tryout", "102.tryout.mp3"}},
       false,
       cache + "102.tryout.mp3"},
      {"preview copy missing: streamed", "102", {{"tryout", "nope.mp3"}}, true, StreamUrl("102")},
      {"status 2 is reset before streaming", "103", {{"status", "2"}}, true, StreamUrl("103")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const auto& [name, value] : c.attributes) library().SetMusicAttribute(c.id, name, value);
    player_.played.clear();
    queue().PlayListItem(fav_, c.id);
    ASSERT_EQ(player_.played.size(), 1u);
    EXPECT_EQ(player_.played[0].stream, c.stream);
    EXPECT_EQ(player_.played[0].source, c.source);
    EXPECT_EQ(view_.marked.back(), c.id);
    EXPECT_EQ(store().GetConfigText(store::keys::kCurrentPlay), c.id);
    EXPECT_EQ(lyrics_.starts.back().song_path, c.stream ? "" : c.source);
    EXPECT_EQ(lyrics_.starts.back().list_id, fav_);
    for (const auto& [name, value] : c.attributes)
      library().SetMusicAttribute(c.id, name, std::nullopt);
  }
  EXPECT_EQ(view_.artist, "");
  EXPECT_EQ(player_.played[0].title, "三");

  // The now-playing message is posted, and every song went to the recently played list.
  EXPECT_TRUE(view_.now_playing.empty());
  loop_.PumpPending();
  EXPECT_EQ(view_.now_playing.size(), 5u);
  EXPECT_EQ(Ids(lists().ListRecords("t_latest")), (std::vector<std::string>{"103", "102", "101"}));
}

TEST_F(PlayQueueTest, RecentlyPlayedListIsNotReorderedWhilePlayingFromIt) {
  queue().PlayListItem(fav_, "101");
  queue().PlayListItem(fav_, "102");
  ASSERT_EQ(Ids(lists().ListRecords("t_latest")), (std::vector<std::string>{"102", "101"}));
  queue().PlayListItem("t_latest", "101");
  EXPECT_EQ(PlayedIds().back(), "101");
  EXPECT_EQ(Ids(lists().ListRecords("t_latest")), (std::vector<std::string>{"102", "101"}));
}

TEST_F(PlayQueueTest, LocalSongWithoutItsFileIsNotPlayed) {
  MusicRecord local = Song("ex-1234", "本地");
  local["fileName"] = "file:///nowhere/本地.mp3";
  library().AddMusic(local);
  queue().PlayListItem("local", "ex-1234");
  EXPECT_TRUE(player_.played.empty());
  EXPECT_TRUE(lyrics_.starts.empty());
  EXPECT_TRUE(lists().ListRecords("t_latest").empty());
  loop_.PumpPending();
  EXPECT_TRUE(view_.now_playing.empty());
}

TEST_F(PlayQueueTest, RandomModeAndOneSongList) {
  SetMode("random");
  lists().SetTemporaryRecords("t_random_1", {Song("201", "A"), Song("202", "B"), Song("203", "C")});
  lists().SetCurrentList("t_random_1");
  lists().SetCurrentItem("201");
  draw_ = 5;  // among 202 and 203 (201 is playing): index 1
  queue().Next();
  // Previous draws too, and never the song that just played.
  queue().Previous();
  EXPECT_EQ(PlayedIds(), (std::vector<std::string>{"203", "202"}));

  lists().SetTemporaryRecords("t_random_2", {Song("301", "only")});
  lists().SetCurrentList("t_random_2");
  queue().Next();
  queue().Next();
  EXPECT_EQ(PlayedIds(), (std::vector<std::string>{"203", "202", "301", "301"}));
}

TEST_F(PlayQueueTest, ChartGoneAfterRestartFallsBackToTheDefaultList) {
  for (const char* mode : {"all_repeat", "random"}) {
    SCOPED_TRACE(mode);
    SetMode(mode);
    for (int command = 0; command < 3; ++command) {
      lists().SetCurrentList("t_rank_1");  // no such list is held
      lists().SetCurrentItem("201");
      player_.played.clear();
      if (command == 0) queue().Next();
      if (command == 1) queue().Previous();
      if (command == 2) queue().Play();  // replays the current song, which falls back to Next
      const bool random = std::string(mode) == "random";
      EXPECT_EQ(PlayedIds(), random ? std::vector<std::string>{} : std::vector<std::string>{"101"});
    }
  }
}

TEST_F(PlayQueueTest, PlayResumesAPausedPlayer) {
  queue().PlayListItem(fav_, "102");
  queue().Pause();
  EXPECT_TRUE(player_.IsPaused());
  queue().Play();
  EXPECT_EQ(player_.resumes, 1);
  EXPECT_EQ(player_.played.size(), 1u);
  queue().Play();  // not paused: the current song again
  EXPECT_EQ(PlayedIds(), (std::vector<std::string>{"102", "102"}));
}

TEST_F(PlayQueueTest, PlayModeRules) {
  EXPECT_EQ(PlayQueueMode::Current(store()), PlayMode::kAllRepeat);
  EXPECT_EQ(PlayQueueMode::FromCommand(32942), PlayMode::kRandom);
  EXPECT_EQ(PlayQueueMode::FromValue("single_no_repeat"), PlayMode::kSingleNoRepeat);

  // Choosing the mode already set writes nothing.
  SetMode("random");
  SaveNow();
  EXPECT_FALSE(PlayQueueMode::Choose(store(), PlayMode::kRandom));
  EXPECT_FALSE(store().IsDirty());
  EXPECT_TRUE(PlayQueueMode::Choose(store(), PlayMode::kSingleRepeat));
  EXPECT_EQ(store().GetConfigText(store::keys::kPlayMode), "single_repeat");

  // An unknown value stays until a play-mode menu is built, which removes it.
  SetMode("shuffle");
  EXPECT_EQ(PlayQueueMode::Current(store()), PlayMode::kUnknown);
  EXPECT_TRUE(store().HasConfig(store::keys::kPlayMode));
  EXPECT_EQ(PlayQueueMode::ForMenu(store()), PlayMode::kAllRepeat);
  EXPECT_FALSE(store().HasConfig(store::keys::kPlayMode));
  EXPECT_EQ(PlayQueueMode::Current(store()), PlayMode::kAllRepeat);
}

}  // namespace
}  // namespace quillo::testing
