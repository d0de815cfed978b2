// The play queue when a song cannot be played: the failed-song set, the select box and its
// three choices, automatic advancing and local songs.
#include <gtest/gtest.h>

#include "PlayQueueFixture.h"
#include "platform/fs/FileSystem.h"

namespace quillo::testing {
namespace {

using playback::PlayerState;
using store::MusicRecord;

class PlayQueueFailureTest : public PlayQueueFixture {
 protected:
  // The player reports that the song it holds cannot be played; posted work then runs.
  void Fail() {
    player_.NotifyState(PlayerState::kFailed);
    loop_.PumpPending();
  }
  int BadMusicEvents() const {
    int count = 0;
    for (const std::string& event : Events()) count += event.rfind("bad_music:", 0) == 0;
    return count;
  }
};

TEST_F(PlayQueueFailureTest, ResumeNextTriesEverySongOnceThenStops) {
  store().SetConfigText(store::keys::kOnErrorResumeNext, "true");
  queue().PlayListItem(fav_, "102");
  for (int round = 0; round < 10; ++round) {
    std::size_t before = player_.played.size();
    Fail();
    if (player_.played.size() == before) break;
  }
  // Wraps from the last song to the first, then stops at the song that failed first.
  EXPECT_EQ(PlayedIds(), (std::vector<std::string>{"102", "103", "101"}));
  for (const char* id : {"101", "102", "103"}) EXPECT_EQ(SongAttribute(id, "status"), "3") << id;
  EXPECT_EQ(BadMusicEvents(), 3);
  EXPECT_EQ(select_box_.shown, 0);
  EXPECT_EQ(view_.LastStatus(), " 不能播放:一 - 歌手");
  EXPECT_EQ(queue().failed_songs().size(), 3u);

  // A song that starts clears the set: the user can go on.
  player_.NotifyState(PlayerState::kStarted);
  EXPECT_TRUE(queue().failed_songs().empty());
}

TEST_F(PlayQueueFailureTest, SelectBoxChoices) {
  struct Case {
    const char* what;
    std::optional<int> answer;
    std::vector<std::string> played;  // after the failed 101
    std::string resume_next;          // the setting afterwards
    bool still_failed;
  };
  const Case cases[] = {
      {"closed", std::nullopt, {"101"}, "<absent>", true},
      {"retry", 0, {"101", "101"}, "<absent>", false},
      {"play next", 1, {"101", "102"}, "<absent>", true},
      {"play next and remember", 2, {"101", "102"}, "true", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    store().RemoveConfig(store::keys::kOnErrorResumeNext);
    library().SetMusicAttribute("101", "fileName", "歌手/一.mp3");
    select_box_.answer = c.answer;
    player_.played.clear();
    queue().PlayListItem(fav_, "101");
    Fail();
    EXPECT_EQ(select_box_.message, "不能播放歌曲:一，您希望:");
    EXPECT_EQ(select_box_.options,
              (std::vector<std::string>{"重试", "播放下一首", "播放下一首并记住我的选择"}));
    EXPECT_EQ(select_box_.preselected, 2);
    EXPECT_EQ(PlayedIds(), c.played);
    EXPECT_EQ(store().GetConfigText(store::keys::kOnErrorResumeNext, "<absent>"), c.resume_next);
    EXPECT_EQ(queue().HasFailed("101"), c.still_failed);
    // Retry forgets the stored copy, so that the stream is fetched again.
    EXPECT_EQ(SongAttribute("101", "fileName"), c.answer == 0 ? "" : "歌手/一.mp3");
    if (c.answer == 0) {
      EXPECT_EQ(player_.played.back().source, StreamUrl("101"));
    }
  }
}

TEST_F(PlayQueueFailureTest, FailedSongIsNotReplayedUntilAnotherStarted) {
  const MusicRecord song = *library().FindMusic("101");
  queue().PlaySelected(fav_, song);
  Fail();  // the select box is closed without a choice
  ASSERT_EQ(select_box_.shown, 1);

  queue().PlaySelected(fav_, song);  // double-click on the failed song
  EXPECT_EQ(PlayedIds(), std::vector<std::string>{"101"});
  queue().PlaySelected(fav_, *library().FindMusic("102"));
  EXPECT_EQ(PlayedIds(), (std::vector<std::string>{"101", "102"}));
  player_.NotifyState(PlayerState::kStarted);
  queue().PlaySelected(fav_, song);
  EXPECT_EQ(PlayedIds(), (std::vector<std::string>{"101", "102", "101"}));

  // PlayListItem starts with an empty set.
  Fail();
  queue().PlayListItem(fav_, "101");
  EXPECT_EQ(PlayedIds().size(), 4u);
}

TEST_F(PlayQueueFailureTest, LocalSongFailureStopsThere) {
  const std::string file = data_.path() + "本地.mp3";
  ASSERT_TRUE(fs::WriteFile(file, "not audio"));
  MusicRecord local = Song("ex-abcd", "本地");
  local["fileName"] = "file://" + file;
  library().AddMusic(local);
  store().SetConfigText(store::keys::kOnErrorResumeNext, "true");
  queue().PlayListItem("local", "ex-abcd");
  ASSERT_EQ(player_.played.size(), 1u);
  EXPECT_EQ(player_.played[0].source, file);
  Fail();
  EXPECT_EQ(player_.played.size(), 1u);
  EXPECT_EQ(select_box_.shown, 0);
  EXPECT_EQ(SongAttribute("ex-abcd", "status"), "3");
  EXPECT_EQ(view_.LastStatus(), " 不能播放:本地");
  EXPECT_EQ(BadMusicEvents(), 0) << "a local file's id is not sent to the service";
}

// A chart's or random list's song has no library record: with "go on" chosen, playback goes on
// as for library songs (and the failed-song set still ends the round); without it, it stops
// there, with no box, since there is no record to name.
TEST_F(PlayQueueFailureTest, SongUnknownToTheLibraryFollowsTheUsersChoice) {
  lists().SetTemporaryRecords("t_rank_1", {Song("201", "A"), Song("202", "B")});
  store().SetConfigText(store::keys::kOnErrorResumeNext, "true");
  queue().PlayListItem("t_rank_1", "201");
  Fail();
  EXPECT_EQ(PlayedIds(), (std::vector<std::string>{"201", "202"}));
  Fail();
  EXPECT_EQ(PlayedIds(), (std::vector<std::string>{"201", "202"})) << "201 already failed";
  EXPECT_TRUE(queue().HasFailed("201"));
  EXPECT_TRUE(queue().HasFailed("202"));
  EXPECT_EQ(select_box_.shown, 0);

  store().RemoveConfig(store::keys::kOnErrorResumeNext);
  player_.NotifyState(PlayerState::kStarted);
  queue().PlayListItem("t_rank_1", "201");
  Fail();
  EXPECT_EQ(PlayedIds().back(), "201");
  EXPECT_EQ(PlayedIds().size(), 3u);
  EXPECT_EQ(select_box_.shown, 0);
}

TEST_F(PlayQueueFailureTest, QueueGoneBeforeItsPostedNextRuns) {
  store().SetConfigText(store::keys::kOnErrorResumeNext, "true");
  queue().PlayListItem(fav_, "101");
  player_.NotifyState(PlayerState::kFailed);
  queue_.reset();
  EXPECT_EQ(player_.listener_count(), 0u);
  loop_.PumpPending();  // the posted Next is dropped with its queue
  EXPECT_EQ(PlayedIds(), std::vector<std::string>{"101"});
}

}  // namespace
}  // namespace quillo::testing
