// The commands that take songs out (delete, remove, clear) and adding to the library: the order
// of playback changes against the store's, and the mirror requests.
#include "SyncFixture.h"
#include "platform/fs/FileSystem.h"

namespace quillo::testing {
namespace {

class PlaylistSyncSongsTest : public SyncFixture {
 protected:
  // Songs 1..5 in the library; list A holds 1..4 and is the current list, playing `playing`.
  void PlayInListA(const std::string& playing) {
    AddSongs({"1", "2", "3", "4", "5"});
    MakeList(kListA, "A", {"1", "2", "3", "4"});
    lists().SetCurrentList(kListA);
    lists().SetCurrentItem(playing);
    playback_.playing = playing;
  }
};

TEST_F(PlaylistSyncSongsTest, AddToLibraryEntersOnlyMissingSongsAndSendsThem) {
  AddSongs({"1"});
  lists().SetTemporaryRecords("t_rank_1",
                              {SongRecord("1"), SongRecord("7", "甲"), SongRecord("8")});
  ShowAndSelect("t_rank_1", {"1", "7", "8"});
  EXPECT_EQ(sync_.AddToLibrary(), 2);
  EXPECT_EQ(library().FindMusic("7")->at("artist_name"), "甲");
  EXPECT_EQ(ListIds(""), (std::vector<std::string>{"1", "7", "8"}));
  auto sent = SentRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].path, "api/addmusic.php");
  EXPECT_EQ(sent[0].params, MusicIds({"7", "8"}));
  // All of them known now: nothing more is sent.
  EXPECT_EQ(sync_.AddToLibrary(), 0);
  EXPECT_EQ(sender_.sent.size(), 1u);
}

TEST_F(PlaylistSyncSongsTest, DeletingThePlayingSongStartsTheNextUnselectedOneFirst) {
  struct Case {
    const char* name;
    std::string playing;
    std::vector<std::string> selected;
    std::string replacement;
  } cases[] = {
      {"the next one", "2", {"2", "3"}, "4"},
      {"wrapping to the first", "4", {"3", "4"}, "1"},
      {"a playing song the list lacks", "5", {"5"}, "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    store::StoreRuntime runtime(folder.path());
    ASSERT_TRUE(runtime.Open(false));
    // A fresh store per case, so the fixture's is left alone.
    std::vector<std::string> log;
    RemovalLog removals(log);
    runtime.store().AddListener(&removals);
    FakeSyncView view(log);
    FakeSyncPlayback playback(runtime.store(), runtime.library(), runtime.playlists(),
                              runtime.queue(), log);
    FakeRequestSender sender;
    service::JSRequestHandler requests(sender, kBaseUrl);
    service::PlaylistSync sync({runtime.store(), runtime.library(), runtime.playlists(), requests,
                                sender, view, prompt_, playback, phone_});
    for (const char* id : {"1", "2", "3", "4", "5"}) runtime.library().AddMusic(SongRecord(id));
    runtime.playlists().SetPlaylistName(kListA, "A");
    for (const char* id : {"1", "2", "3", "4"}) runtime.playlists().AddItem(kListA, id);
    runtime.playlists().SetCurrentList(kListA);
    playback.playing = c.playing;
    view.Show(runtime.playlists(), c.playing == "5" ? "" : kListA);
    view.SelectIds(c.selected);

    EXPECT_TRUE(sync.DeleteSongs());
    const std::string play = "play " + c.replacement;
    const auto played = std::find(log.begin(), log.end(), play);
    const auto removed = std::find(log.begin(), log.end(), "removed " + c.selected.front());
    ASSERT_NE(played, log.end());
    ASSERT_NE(removed, log.end());
    EXPECT_LT(played - log.begin(), removed - log.begin());
    EXPECT_EQ(std::count(log.begin(), log.end(), std::string("stop")), 0);
    for (const std::string& id : c.selected) EXPECT_FALSE(runtime.library().HasMusic(id));
    ASSERT_EQ(sender.sent.size(), 1u);
    EXPECT_EQ(sender.sent[0].url, std::string(kBaseUrl) + "api/deletemusic.php");
    EXPECT_EQ(sender.sent[0].params, MusicIds(c.selected));
    runtime.store().RemoveListener(&removals);
    runtime.Close();
  }
}

TEST_F(PlaylistSyncSongsTest, DeletingEveryLaterSongMovesTheQueueToTheDefaultList) {
  PlayInListA("3");
  ShowAndSelect(kListA, {"1", "2", "3", "4"});
  EXPECT_TRUE(sync_.DeleteSongs());
  // No song of list A is left: after the delete, the default list's next song plays.
  const std::size_t refreshed = At("refresh songs");
  ASSERT_LT(refreshed, log_.size());
  EXPECT_GT(At("current list "), refreshed);
  EXPECT_GT(At("pick next wrap"), At("current list "));
  EXPECT_TRUE(Logged("play 5"));
  EXPECT_FALSE(Logged("stop"));
  EXPECT_EQ(store().CurrentList(), "");
}

TEST_F(PlaylistSyncSongsTest, DeletingTheWholeDefaultListStopsThePlayer) {
  AddSongs({"1", "2"});
  lists().SetCurrentList("");
  playback_.playing = "2";
  ShowAndSelect("", {"1", "2"});
  EXPECT_TRUE(sync_.DeleteSongs());
  EXPECT_TRUE(Logged("stop"));
  EXPECT_FALSE(Logged("pick next wrap"));
  EXPECT_GT(At("stop"), At("refresh songs"));
}

TEST_F(PlaylistSyncSongsTest, DeletingLibrarySongsByIdLeavesThePlayingSongAndSendsOneRequest) {
  // The download window deletes by id, whatever list the song list shows.
  PlayInListA("2");
  view_.shown = kListA;
  EXPECT_FALSE(sync_.DeleteLibrarySongs({}));
  EXPECT_TRUE(sender_.sent.empty());
  EXPECT_TRUE(sync_.DeleteLibrarySongs({"2", "3"}));
  EXPECT_TRUE(Logged("play 4"));
  EXPECT_LT(At("play 4"), At("refresh songs"));
  EXPECT_FALSE(Logged("stop"));
  EXPECT_FALSE(library().HasMusic("2"));
  EXPECT_FALSE(library().HasMusic("3"));
  EXPECT_TRUE(library().HasMusic("4"));
  const std::vector<Sent> sent = SentRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].path, "api/deletemusic.php");
  EXPECT_EQ(sent[0].params, MusicIds({"2", "3"}));
}

TEST_F(PlaylistSyncSongsTest, DeletingFromATemporaryCurrentListLeavesPlaybackAlone) {
  AddSongs({"1", "2"});
  lists().SetTemporaryRecords("t_rank_1", {SongRecord("1"), SongRecord("2")});
  lists().SetCurrentList("t_rank_1");
  playback_.playing = "1";
  ShowAndSelect("", {"1"});
  EXPECT_TRUE(sync_.DeleteSongs());
  EXPECT_FALSE(Logged("stop"));
  EXPECT_FALSE(Logged("play 2"));
  EXPECT_FALSE(library().HasMusic("1"));
}

TEST_F(PlaylistSyncSongsTest, DeletingOnAPhoneListRemovesFromThePhoneOnly) {
  AddSongs({"1"});
  phone_.connected = true;
  const std::string list = phone_.CreateList("x1", "P");
  phone_.AddSongs(list, {SongRecord("d_p1_ex-1")});
  view_.shown = list;
  view_.rows = {SongRecord("d_p1_ex-1")};
  view_.selected = {0};
  EXPECT_TRUE(sync_.DeleteSongs());
  EXPECT_TRUE(phone_.Find("d_p1_")->songs.empty());
  EXPECT_EQ(phone_.updates, 1);
  EXPECT_GT(At("phone update"), At("refresh songs"));
  EXPECT_TRUE(sender_.sent.empty());
  EXPECT_TRUE(library().HasMusic("1"));
  // Nothing selected: nothing.
  view_.selected.clear();
  EXPECT_FALSE(sync_.DeleteSongs());
}

TEST_F(PlaylistSyncSongsTest, RemovingThePlayingSongPlaysTheNextUnselectedRow) {
  struct Case {
    const char* name;
    std::string playing;
    std::vector<std::string> selected;
    std::string expected;  // the event that follows
  } cases[] = {
      {"the row after the selection", "2", {"2", "3"}, "play 4"},
      {"row 0 after the last rows", "4", {"3", "4"}, "play 1"},
      // The default list's song after the current one (2) plays.
      {"no row left", "2", {"1", "2", "3", "4"}, "play 3"},
  };
  AddSongs({"1", "2", "3", "4", "5"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log_.clear();
    sender_.sent.clear();
    MakeList(kListA, "A", {"1", "2", "3", "4"});
    lists().SetCurrentList(kListA);
    lists().SetCurrentItem(c.playing);
    playback_.playing = c.playing;
    ShowAndSelect(kListA, c.selected);
    EXPECT_TRUE(sync_.RemoveFromList());
    EXPECT_TRUE(Logged(c.expected)) << ::testing::PrintToString(log_);
    // Removing keeps the songs in the library.
    for (const std::string& id : c.selected) EXPECT_TRUE(library().HasMusic(id));
    auto sent = SentRequests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].path, "api/deletemusicfromplaylist.php");
    EXPECT_EQ(sent[0].params, Join({{"playlistId", kListA}}, MusicIds(c.selected)));
    lists().ClearList(kListA);
  }
}

TEST_F(PlaylistSyncSongsTest, RemovingFromAListThatIsNotCurrentNeverTouchesPlayback) {
  PlayInListA("2");
  MakeList(kListB, "B", {"2", "3"});
  ShowAndSelect(kListB, {"2"});
  EXPECT_TRUE(sync_.RemoveFromList());
  EXPECT_EQ(ListIds(kListB), (std::vector<std::string>{"3"}));
  for (const std::string& event : log_) {
    EXPECT_TRUE(event.rfind("play", 0) != 0 && event != "stop" && event.rfind("current", 0) != 0)
        << event;
  }
  EXPECT_EQ(store().CurrentList(), kListA);
  EXPECT_EQ(playback_.playing, "2");
}

TEST_F(PlaylistSyncSongsTest, RemovingFromListsTheServiceDoesNotKnowSendsNothing) {
  AddSongs({"1", "2"});
  ASSERT_TRUE(fs::WriteFile(folder_ / "a.mp3", "not really audio"));
  const std::optional<std::string> local = library().AddLocalFile(folder_ / "a.mp3");
  ASSERT_TRUE(local.has_value());
  ShowAndSelect("local", {*local});
  EXPECT_TRUE(sync_.RemoveFromList());
  // A local song exists only while "local" holds it; the emptied list refreshes the panel.
  EXPECT_FALSE(library().HasMusic(*local));
  EXPECT_EQ(view_.panel_refreshes, 1);
  ShowAndSelect("", {"1"});
  EXPECT_TRUE(sync_.RemoveFromList());
  EXPECT_FALSE(lists().ContainsItem("", "1"));
  EXPECT_TRUE(sender_.sent.empty());
}

TEST_F(PlaylistSyncSongsTest, ClearingTheCurrentListMovesTheQueueButKeepsTheSongPlaying) {
  PlayInListA("2");
  view_.Show(lists(), kListA);
  EXPECT_TRUE(sync_.ClearList());
  EXPECT_TRUE(ListIds(kListA).empty());
  EXPECT_EQ(store().CurrentList(), "");
  EXPECT_FALSE(Logged("stop"));
  EXPECT_EQ(playback_.playing, "2");
  EXPECT_TRUE(library().HasMusic("2"));
  auto sent = SentRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].path,
            "api/clearplaylist.php?client_id=" + store().ClientId() + "&id=" + kListA);
  EXPECT_TRUE(sent[0].params.empty());
  EXPECT_EQ(view_.panel_refreshes, 0);
}

TEST_F(PlaylistSyncSongsTest, ClearingOtherListsSendsNothing) {
  AddSongs({"1"});
  lists().SetCurrentList(kListA);
  ASSERT_TRUE(fs::WriteFile(folder_ / "b.mp3", "not really audio"));
  ASSERT_TRUE(library().AddLocalFile(folder_ / "b.mp3").has_value());
  view_.Show(lists(), "local");
  EXPECT_TRUE(sync_.ClearList());
  EXPECT_TRUE(ListIds("local").empty());
  EXPECT_EQ(view_.panel_refreshes, 1);
  EXPECT_EQ(store().CurrentList(), kListA);
  phone_.connected = true;
  const std::string list = phone_.CreateList("x1", "P");
  phone_.AddSongs(list, {SongRecord("d_p1_ex-1")});
  view_.shown = list;
  EXPECT_TRUE(sync_.ClearList());
  EXPECT_TRUE(phone_.Find(list)->songs.empty());
  EXPECT_EQ(phone_.updates, 1);
  EXPECT_TRUE(sender_.sent.empty());
}

}  // namespace
}  // namespace quillo::testing
