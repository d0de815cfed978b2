// The playlist panel's commands, the "添加到播放列表" submenu, new lists from a selection and
// dropped songs: store changes, refreshes and the one mirror request of each.
#include <algorithm>
#include <iterator>

#include "SyncFixture.h"
#include "service/sync/ListKinds.h"

namespace quillo::testing {
namespace {

using service::PlaylistSync;

class PlaylistSyncListsTest : public SyncFixture {};

TEST_F(PlaylistSyncListsTest, NewPlaylistGoesToThePhoneOrToTheStoreAndTheService) {
  struct Case {
    const char* name;
    bool phone;
    std::optional<std::string> selected;
    bool on_phone;
  } cases[] = {
      {"no phone, nothing selected", false, std::nullopt, false},
      {"phone, nothing selected", true, std::nullopt, true},
      {"phone, a phone list selected", true, "d_p1_", true},
      {"phone, a user playlist selected", true, kListA, false},
      {"phone, the default list selected", true, "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sender_.sent.clear();
    phone_.connected = c.phone;
    view_.panel_selection = c.selected;
    prompt_.answer = "旅行";
    const int updates = phone_.updates;
    const int refreshes = view_.panel_refreshes;
    const std::string id = sync_.NewPlaylist();
    EXPECT_EQ(prompt_.shown_title, "Zelbo音乐提示您");
    EXPECT_EQ(prompt_.shown_message, "请输入播放列表名称:");
    EXPECT_EQ(prompt_.shown_initial_text, "新建播放列表");
    EXPECT_EQ(view_.panel_refreshes, refreshes + 1);
    if (c.on_phone) {
      ASSERT_EQ(id.rfind("d_p1_", 0), 0u) << id;
      EXPECT_EQ(phone_.Find(id)->name, "旅行");
      EXPECT_EQ(phone_.updates, updates + 1);
      EXPECT_TRUE(sender_.sent.empty());
      continue;
    }
    ASSERT_TRUE(service::IsUserPlaylistId(id)) << id;
    EXPECT_EQ(lists().GetPlaylistInfo(id)->name, "旅行");
    EXPECT_EQ(phone_.updates, updates);
    auto sent = SentRequests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].path, "api/createplaylist.php");
    EXPECT_EQ(sent[0].params, (Params{{"name", "旅行"}, {"id", id}}));
  }
}

TEST_F(PlaylistSyncListsTest, ACancelledOrBlankNameChangesNothing) {
  for (std::optional<std::string> answer :
       {std::optional<std::string>(), std::optional<std::string>("  ")}) {
    prompt_.answer = answer;
    const int count = lists().CountPlaylists();
    EXPECT_EQ(sync_.NewPlaylist(), "");
    EXPECT_EQ(lists().CountPlaylists(), count);
  }
  MakeList(kListA, "旧名", {});
  view_.panel_selection = kListA;
  prompt_.answer.reset();
  EXPECT_FALSE(sync_.RenamePlaylist());
  EXPECT_EQ(lists().GetPlaylistInfo(kListA)->name, "旧名");
  EXPECT_TRUE(sender_.sent.empty());
  EXPECT_EQ(view_.panel_refreshes, 0);
}

TEST_F(PlaylistSyncListsTest, RenameSetsTheNameAndMirrorsOnlyWhatTheStoreHas) {
  MakeList(kListA, "旧名", {});
  view_.panel_selection = kListA;
  prompt_.answer = "新名";
  EXPECT_TRUE(sync_.RenamePlaylist());
  EXPECT_EQ(prompt_.shown_initial_text, "旧名");
  EXPECT_EQ(lists().GetPlaylistInfo(kListA)->name, "新名");
  auto sent = SentRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].path, "api/updateplaylist.php");
  EXPECT_EQ(sent[0].params, (Params{{"playlistId", kListA}, {"name", "新名"}}));
  EXPECT_EQ(view_.panel_refreshes, 1);

  // A list the store does not have: no new name, nothing sent, the panel refreshed anyway.
  sender_.sent.clear();
  view_.panel_selection = kListB;
  EXPECT_FALSE(sync_.RenamePlaylist());
  EXPECT_FALSE(lists().GetPlaylistInfo(kListB).has_value());
  EXPECT_TRUE(sender_.sent.empty());
  EXPECT_EQ(view_.panel_refreshes, 2);

  // Nothing selected: not even the prompt.
  view_.panel_selection.reset();
  const int shown = prompt_.shown;
  EXPECT_FALSE(sync_.RenamePlaylist());
  EXPECT_EQ(prompt_.shown, shown);
}

TEST_F(PlaylistSyncListsTest, PhoneListsAreRenamedAndDeletedOnThePhoneOnly) {
  phone_.connected = true;
  const std::string list = phone_.CreateList("x1", "手机列表");
  view_.panel_selection = list;
  prompt_.answer = "改名";
  EXPECT_TRUE(sync_.RenamePlaylist());
  EXPECT_EQ(prompt_.shown_initial_text, "手机列表");
  EXPECT_EQ(phone_.Find(list)->name, "改名");
  EXPECT_TRUE(sync_.DeletePlaylist());
  EXPECT_EQ(phone_.Find(list), nullptr);
  EXPECT_EQ(phone_.updates, 2);
  EXPECT_TRUE(sender_.sent.empty());
}

TEST_F(PlaylistSyncListsTest, PhoneSongsGoToTheComputerThroughTheCopyNotTheIndex) {
  phone_.connected = true;
  MakeList(kListA, "A", {});
  const store::MusicRecord on_phone{{"id", "d_p1_ex-1"}, {"name", "机上"}, {"fileName", "file:///m/1.mp3"}};
  // Dropped on a user playlist or the library: copied, never entered as they are.
  EXPECT_TRUE(sync_.AddDroppedSongs(kListA, {on_phone}));
  EXPECT_TRUE(sync_.AddDroppedSongs("", {on_phone}));
  std::vector<std::string> fetches;
  std::copy_if(log_.begin(), log_.end(), std::back_inserter(fetches),
               [](const std::string& entry) { return entry.rfind("phone ", 0) == 0; });
  EXPECT_EQ(fetches, (std::vector<std::string>{"phone fetch to '" + std::string(kListA) + "' d_p1_ex-1",
                                               "phone fetch to '' d_p1_ex-1"}));
  EXPECT_TRUE(ListIds(kListA).empty());
  EXPECT_FALSE(library().HasMusic("d_p1_ex-1"));
  EXPECT_TRUE(sender_.sent.empty());

  // The menu command: the selected songs of the phone list shown, into the library alone.
  view_.shown = "d_p1_";
  view_.rows = {on_phone};
  view_.selected = {0};
  EXPECT_TRUE(sync_.CopyToComputer());
  EXPECT_EQ(log_.back(), "phone fetch to '' d_p1_ex-1");
  view_.shown = kListA;
  EXPECT_FALSE(sync_.CopyToComputer()) << "not a phone list";
  EXPECT_TRUE(sender_.sent.empty());
}

TEST_F(PlaylistSyncListsTest, OnlyUserPlaylistsAreDeleted) {
  AddSongs({"1"});
  MakeList(kListA, "A", {"1"});
  view_.panel_selection = kListA;
  EXPECT_TRUE(sync_.DeletePlaylist());
  EXPECT_FALSE(lists().PlaylistExists(kListA));
  EXPECT_TRUE(library().HasMusic("1"));
  auto sent = SentRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].path, "api/deleteplaylist.php");
  EXPECT_EQ(sent[0].params, (Params{{"playlistId", kListA}}));

  for (const char* id : {"", "local", "t_latest"}) {
    view_.panel_selection = id;
    EXPECT_FALSE(sync_.DeletePlaylist()) << id;
  }
  view_.panel_selection.reset();
  EXPECT_FALSE(sync_.DeletePlaylist());
  EXPECT_EQ(sender_.sent.size(), 1u);
  EXPECT_TRUE(lists().PlaylistExists(""));
}

TEST_F(PlaylistSyncListsTest, TheSubmenuLeavesTheShownListOutButCountsIt) {
  AddSongs({"1", "2"});
  MakeList(kListA, "A", {});
  MakeList(kListB, "B", {"1"});
  MakeList(kListC, "C", {});
  ShowAndSelect(kListB, {"1"});
  const std::vector<service::AddToListEntry> expected = {{50000, kListA, "A"},
                                                         {50002, kListC, "C"}};
  EXPECT_EQ(sync_.AddToListEntries(), expected);
  EXPECT_FALSE(sync_.AddToList(50001));  // the list shown
  EXPECT_FALSE(sync_.AddToList(50003));
  EXPECT_FALSE(sync_.AddToList(49999));
  EXPECT_TRUE(sender_.sent.empty());

  // With a phone list shown, the phone's lists are offered.
  phone_.connected = true;
  const std::string phone_list = phone_.CreateList("x1", "P");
  view_.shown = "d_p1_";
  const std::vector<service::AddToListEntry> phone_entries = {{50001, phone_list, "P"}};
  EXPECT_EQ(sync_.AddToListEntries(), phone_entries);
}

TEST_F(PlaylistSyncListsTest, AddingToAListEntersMissingSongsAndSendsOnePlaylistCall) {
  AddSongs({"1", "2"});
  MakeList(kListA, "A", {"2"});
  // A chart's songs: "9" is not in the library yet.
  lists().SetTemporaryRecords("t_rank_1", {SongRecord("9", "歌手"), SongRecord("1")});
  ShowAndSelect("t_rank_1", {"9", "1"});
  ASSERT_EQ(sync_.AddToListEntries().front().list_id, kListA);
  EXPECT_TRUE(sync_.AddToList(50000));
  EXPECT_TRUE(library().HasMusic("9"));
  EXPECT_EQ(library().FindMusic("9")->at("artist_name"), "歌手");
  EXPECT_EQ(ListIds(kListA), (std::vector<std::string>{"2", "9", "1"}));
  auto sent = SentRequests();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].path, "api/addmusictoplaylist.php?force=1");
  EXPECT_EQ(sent[0].params, Join({{"playlistId", kListA}}, MusicIds({"9", "1"})));
}

TEST_F(PlaylistSyncListsTest, PhoneAndStoredListsDoNotMix) {
  phone_.connected = true;
  AddSongs({"1"});
  MakeList(kListA, "A", {});
  const std::string first = phone_.CreateList("x1", "P1");
  const std::string second = phone_.CreateList("x2", "P2");
  phone_.AddSongs(first, {SongRecord("d_p1_ex-1")});
  // Phone list to phone list: copied on the phone, the update started, nothing sent.
  view_.shown = first;
  view_.rows = {SongRecord("d_p1_ex-1")};
  view_.selected = {0};
  EXPECT_TRUE(sync_.AddToList(50002));
  EXPECT_EQ(phone_.Find(second)->songs.size(), 1u);
  EXPECT_EQ(phone_.updates, 1);
  // The same songs again add nothing: no update.
  EXPECT_FALSE(sync_.AddToList(50002));
  EXPECT_EQ(phone_.updates, 1);
  EXPECT_TRUE(sender_.sent.empty());
  EXPECT_FALSE(library().HasMusic("d_p1_ex-1"));
}

TEST_F(PlaylistSyncListsTest, ANewListFromTheSelectionIsNamedAfterWhatTheSongsShare) {
  struct Case {
    const char* name;
    std::vector<store::MusicRecord> songs;
    std::string expected;
  } cases[] = {
      {"one album",
       {SongRecord("11", "甲", "专辑一"), SongRecord("12", "甲", "专辑一"),
        SongRecord("13", "乙", "专辑一")},
       "专辑一"},
      {"two albums of one artist",
       {SongRecord("21", "甲", "专辑一"), SongRecord("22", "甲", "专辑二")},
       "甲"},
      {"an album lost for good",
       {SongRecord("31", "甲", "专辑一"), SongRecord("32", "乙", "专辑二"),
        SongRecord("33", "甲", "专辑一")},
       "新建播放列表"},
      {"an empty album", {SongRecord("41", "甲", ""), SongRecord("42", "甲", "")}, "甲"},
      {"nothing shared",
       {SongRecord("51", "甲", "A"), SongRecord("52", "乙", "B")},
       "新建播放列表"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sender_.sent.clear();
    lists().SetTemporaryRecords("t_rank_2", c.songs);
    view_.Show(lists(), "t_rank_2");
    view_.selected.clear();
    for (int row = 0; row < view_.RowCount(); ++row) view_.selected.push_back(row);
    const std::string id = sync_.NewListFromSelection();
    ASSERT_TRUE(service::IsUserPlaylistId(id)) << id;
    EXPECT_EQ(lists().GetPlaylistInfo(id)->name, c.expected);
    std::vector<std::string> ids;
    for (const store::MusicRecord& song : c.songs) ids.push_back(song.at("id"));
    EXPECT_EQ(ListIds(id), ids);
    auto sent = SentRequests();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].path, "api/createplaylist.php?force=1");
    EXPECT_EQ(sent[0].params, Join({{"name", c.expected}, {"id", id}}, MusicIds(ids)));
  }
  // Nothing selected: nothing at all.
  sender_.sent.clear();
  view_.selected.clear();
  const int count = lists().CountPlaylists();
  EXPECT_EQ(sync_.NewListFromSelection(), "");
  EXPECT_EQ(lists().CountPlaylists(), count);
  EXPECT_TRUE(sender_.sent.empty());
}

TEST_F(PlaylistSyncListsTest, ANewListFromAPhoneListStaysOnThePhone) {
  const std::vector<store::MusicRecord> songs = {SongRecord("d_p1_ex-1", "甲", "专辑"),
                                                 SongRecord("d_p1_ex-2", "甲", "专辑")};
  phone_.connected = true;
  phone_.AddSongs("d_p1_", songs);
  view_.shown = "d_p1_";
  view_.rows = {songs[0], songs[1]};
  view_.selected = {0, 1};
  const std::string id = sync_.NewListFromSelection();
  ASSERT_EQ(id.rfind("d_p1_", 0), 0u) << id;
  EXPECT_EQ(phone_.Find(id)->name, "专辑");
  EXPECT_EQ(phone_.Find(id)->songs.size(), 2u);
  EXPECT_EQ(phone_.updates, 1);
  EXPECT_TRUE(sender_.sent.empty());
  EXPECT_FALSE(library().HasMusic("d_p1_ex-1"));
  // Without the phone, nothing.
  phone_.connected = false;
  EXPECT_EQ(sync_.NewListFromSelection(), "");
}

TEST_F(PlaylistSyncListsTest, DroppedSongsGoToTheDefaultListOrAUserPlaylist) {
  AddSongs({"1"});
  MakeList(kListA, "A", {});
  EXPECT_TRUE(sync_.AddDroppedSongs(kListA, {SongRecord("1"), SongRecord("8")}));
  EXPECT_EQ(ListIds(kListA), (std::vector<std::string>{"1", "8"}));
  EXPECT_TRUE(sync_.AddDroppedSongs("", {SongRecord("9")}));
  EXPECT_TRUE(lists().ContainsItem("", "9"));
  for (const char* target : {"local", "t_latest", "d_p1_"}) {
    EXPECT_FALSE(sync_.AddDroppedSongs(target, {SongRecord("7")})) << target;
  }
  EXPECT_FALSE(library().HasMusic("7"));
  auto sent = SentRequests();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].path, "api/addmusictoplaylist.php?force=1");
  EXPECT_EQ(sent[0].params, Join({{"playlistId", kListA}}, MusicIds({"1", "8"})));
  EXPECT_EQ(sent[1].path, "api/addmusictoplaylist.php?force=1");
  EXPECT_EQ(sent[1].params, Join({{"playlistId", ""}}, MusicIds({"9"})));
}

}  // namespace
}  // namespace quillo::testing
