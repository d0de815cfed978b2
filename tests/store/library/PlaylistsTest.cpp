#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "LibraryFixture.h"
#include "store/DocumentStore.h"
#include "store/PlaylistIndex.h"

namespace quillo::store {
namespace {

using namespace quillo::testing;

class PlaylistsTest : public LibraryFixture {
 protected:
  std::string MakeList(const std::string& name, const std::vector<std::string>& ids) {
    std::string id = lists().CreatePlaylist(name);
    for (const std::string& song : ids) {
      if (!library().HasMusic(song)) library().AddMusic(Song(song, "Song " + song));
      EXPECT_TRUE(lists().AddItem(id, song));
    }
    return id;
  }
};

TEST_F(PlaylistsTest, AddingTwiceAnswersFalseAndChangesNothing) {
  std::string id = MakeList("Mine", {"1"});
  SaveNow();
  EXPECT_FALSE(lists().AddItem(id, "1"));
  EXPECT_FALSE(store().IsDirty());
  EXPECT_FALSE(lists().AddItem(id, "not-in-library"));
  EXPECT_FALSE(lists().AddItem("0123456789ABCDEF0123456789ABCDEF", "1"));  // no such list
  EXPECT_TRUE(lists().ContainsItem(id, "1"));
}

TEST_F(PlaylistsTest, RemovingFromLocalDeletesTheRecordFromUserListsDoesNot) {
  std::string id = MakeList("Mine", {"1"});
  EXPECT_TRUE(lists().RemoveItem(id, "1"));
  EXPECT_TRUE(library().HasMusic("1"));
  EXPECT_FALSE(lists().RemoveItem(id, "1"));
  library().AddMusic(Song("ex-a", "local"));
  EXPECT_TRUE(lists().RemoveItem("local", "ex-a"));
  EXPECT_FALSE(library().HasMusic("ex-a"));
  // ClearList and RemoveItem never create a list.
  lists().ClearList("0123456789ABCDEF0123456789ABCDEF");
  EXPECT_FALSE(lists().PlaylistExists("0123456789ABCDEF0123456789ABCDEF"));
}

TEST_F(PlaylistsTest, ClearingLocalDeletesItsSongs) {
  library().AddMusic(Song("ex-a", "a"));
  library().AddMusic(Song("ex-b", "b"));
  library().AddMusic(Song("1", "service"));
  lists().ClearList("local");
  EXPECT_EQ(library().Count(), 1u);
  EXPECT_TRUE(lists().PlaylistIsEmpty("local"));
  lists().ClearList("");
  EXPECT_TRUE(library().HasMusic("1"));
  EXPECT_TRUE(lists().PlaylistIsEmpty(""));
}

TEST_F(PlaylistsTest, RecentlyPlayedKeepsTwentyMostRecentFirstAcrossRestarts) {
  for (int i = 1; i <= 25; ++i) lists().AddRecentlyPlayed(Song(std::to_string(i), "歌" + std::to_string(i)));
  std::vector<MusicRecordPtr> recent = lists().ListRecords("t_latest");
  ASSERT_EQ(recent.size(), 20u);
  EXPECT_EQ(recent.front()->at("id"), "25");
  EXPECT_EQ(recent.back()->at("id"), "6");
  lists().AddRecentlyPlayed(Song("10", "歌10"));
  recent = lists().ListRecords("t_latest");
  ASSERT_EQ(recent.size(), 20u);
  EXPECT_EQ(recent.front()->at("id"), "10");
  EXPECT_EQ(recent[1]->at("id"), "25");
  Reopen();
  recent = lists().ListRecords("t_latest");
  ASSERT_EQ(recent.size(), 20u);
  EXPECT_EQ(recent.front()->at("id"), "10");
  EXPECT_EQ(recent.front()->at("name"), "歌10");  // items carry the whole record
  EXPECT_TRUE(lists().RemoveItem("t_latest", "10"));
  Reopen();
  EXPECT_EQ(lists().ListRecords("t_latest").front()->at("id"), "25");
}

TEST_F(PlaylistsTest, OlderLatestListIsRenamedAndFilledFromTheLibrary) {
  library().AddMusic(Song("1", "One", "A"));
  {
    auto lock = store().Lock();
    TiXmlElement* list = store().Resolve("users#user:id:#playlists#playlist:id:latest#", true);
    for (const char* id : {"1", "gone"}) {
      TiXmlElement item("item");
      item.SetAttribute("id", id);
      list->InsertEndChild(item);
    }
  }
  Reopen();
  EXPECT_TRUE(lists().ListRecords("t_latest").empty());  // until the next rebuild
  Reopen();
  std::vector<MusicRecordPtr> recent = lists().ListRecords("t_latest");
  ASSERT_EQ(recent.size(), 1u);
  EXPECT_EQ(recent[0]->at("name"), "One");
}

TEST_F(PlaylistsTest, SortingTogglesDirectionAndOrdersByPinyin) {
  library().AddMusic(Song("1", "中国"));
  library().AddMusic(Song("2", "阿里"));
  library().AddMusic(Song("3", "北京"));
  library().AddMusic(Song("4", "Beta"));
  std::string id = MakeList("Sorted", {"1", "2", "3", "4"});
  ASSERT_TRUE(lists().SortPlaylist(id, "name", false));
  EXPECT_EQ(Ids(lists().ListRecords(id)), (std::vector<std::string>{"4", "2", "3", "1"}));
  EXPECT_EQ(lists().GetPlaylistInfo(id)->sort_asc, "true");
  EXPECT_EQ(lists().GetPlaylistInfo(id)->sort_column, "name");
  ASSERT_TRUE(lists().SortPlaylist(id, "name", false));
  EXPECT_EQ(Ids(lists().ListRecords(id)), (std::vector<std::string>{"1", "3", "2", "4"}));
  ASSERT_TRUE(lists().SortPlaylist(id, "name", true));  // keep: still descending
  EXPECT_EQ(Ids(lists().ListRecords(id)), (std::vector<std::string>{"1", "3", "2", "4"}));
  // The index follows the rewritten ids.
  EXPECT_FALSE(lists().AddItem(id, "2"));
  EXPECT_TRUE(lists().RemoveItem(id, "3"));
  EXPECT_EQ(Ids(lists().ListRecords(id)), (std::vector<std::string>{"1", "2", "4"}));
  EXPECT_FALSE(lists().SortPlaylist("0123456789ABCDEF0123456789ABCDEF", "name", false));
}

TEST_F(PlaylistsTest, MovePlaylist) {
  lists().SetCurrentUser("u1");
  std::string a = MakeList("A", {});
  std::string b = MakeList("B", {});
  std::string c = MakeList("C", {});
  EXPECT_FALSE(lists().MovePlaylist(a, b, true));  // already right before B
  EXPECT_FALSE(lists().MovePlaylist(b, a, false));
  EXPECT_FALSE(lists().MovePlaylist(a, a, true));
  EXPECT_TRUE(lists().MovePlaylist(c, a, true));
  std::vector<std::string> order;
  for (const PlaylistEntry& entry : lists().ListPlaylists(true)) order.push_back(entry.name);
  EXPECT_EQ(order, (std::vector<std::string>{"C", "A", "B"}));
  library().AddMusic(Song("ex-1", "l"));
  EXPECT_FALSE(lists().MovePlaylist("local", a, true));  // another user's element
}

TEST_F(PlaylistsTest, MoveItemsInStoredAndTemporaryLists) {
  std::string id = MakeList("L", {"1", "2", "3", "4", "5"});
  ASSERT_TRUE(lists().MoveItems(id, "2", {"5", "4", "9"}, true));
  EXPECT_EQ(Ids(lists().ListRecords(id)), (std::vector<std::string>{"1", "5", "4", "2", "3"}));
  ASSERT_TRUE(lists().MoveItems(id, "1", {"3"}, false));
  EXPECT_EQ(Ids(lists().ListRecords(id)), (std::vector<std::string>{"1", "3", "5", "4", "2"}));
  EXPECT_FALSE(lists().MoveItems(id, "404", {"1"}, true));
  EXPECT_FALSE(lists().MoveItems(id, "1", {"1"}, true));

  std::vector<MusicRecord> records;
  for (const char* song : {"a", "b", "c", "d", "e"}) records.push_back(Song(song, song));
  lists().SetTemporaryRecords("t_rank_1", records);
  // The target among the moved ids: those given before it go in front, the rest behind.
  ASSERT_TRUE(lists().MoveItems("t_rank_1", "c", {"e", "c", "a"}, true));
  EXPECT_EQ(Ids(lists().ListRecords("t_rank_1")), (std::vector<std::string>{"b", "e", "c", "a", "d"}));
  ASSERT_TRUE(lists().MoveItems("t_rank_1", "b", {"d"}, true));
  EXPECT_EQ(Ids(lists().ListRecords("t_rank_1")), (std::vector<std::string>{"d", "b", "e", "c", "a"}));
  EXPECT_FALSE(lists().MoveItems("t_rank_1", "zz", {"a"}, true));
}

TEST_F(PlaylistsTest, ListRecordsDropsItemsOfSongsNotInTheLibrary) {
  std::string id = MakeList("L", {"1", "2"});
  {
    auto lock = store().Lock();
    TiXmlElement* list = store().Resolve("users#user:id:#playlists#playlist:id:" + id + "#", false);
    TiXmlElement item("item");
    item.SetAttribute("id", "ghost");
    list->InsertEndChild(item);
  }
  EXPECT_EQ(Ids(lists().ListRecords(id)), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(store().PrintDocument().find("ghost"), std::string::npos);
}

TEST_F(PlaylistsTest, TemporaryListsAndListDocuments) {
  const std::string document =
      "<list pid='t_rank_1' pname='榜单'><s music_id='1' music_name='甲' artist_name='乙'/>"
      "<s music_id='2' music_name='' album_seq='3'/></list>";
  ASSERT_TRUE(lists().SetTemporaryList("t_rank_1", document));
  std::vector<MusicRecordPtr> records = lists().ListRecords("t_rank_1");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0]->at("_artist_name"), "y");
  EXPECT_EQ(records[1]->count("name"), 0u);
  EXPECT_EQ(records[1]->at("album_seq"), "3");
  EXPECT_TRUE(lists().PlaylistExists("t_rank_1"));
  EXPECT_FALSE(lists().SetTemporaryList("t_rank_1", "<list><s music_id='9'/><s/></list>"));
  EXPECT_EQ(lists().ListRecords("t_rank_1").size(), 2u);
  lists().SetFilterList({Song("x", "x")});
  EXPECT_EQ(Ids(lists().ListRecords("t__filter")), std::vector<std::string>{"x"});
  lists().ClearList("t__filter");
  EXPECT_FALSE(lists().PlaylistExists("t__filter"));
}

TEST_F(PlaylistsTest, WaitingSongsAndTheDownloadQueue) {
  library().AddMusic(Song("1", "a"));
  library().AddMusic({{"id", "2"}, {"status", "2"}});
  library().AddMusic(Song("3", "c"));
  library().AddMusic(Song("4", "d"));
  library().AddMusic(Song("5", "e"));
  library().SetPaused("4", true);
  library().AddMusic(Song("ex-6", "local"));
  EXPECT_EQ(lists().TakeWaitingSongs(2), (std::vector<std::string>{"1", "3"}));
  EXPECT_EQ(library().FindMusic("1")->at("status"), "1");
  EXPECT_EQ(library().FindMusic("3")->at("status"), "1");
  EXPECT_EQ(library().FindMusic("5")->count("status"), 0u);
  library().SetMusicAttribute("3", "status", "3");
  std::vector<MusicRecord> queue = lists().DownloadQueueRecords();
  EXPECT_EQ(Ids(queue), (std::vector<std::string>{"1", "3", "4", "5"}));
  EXPECT_EQ(queue[2].at("paused"), "true");
  EXPECT_EQ(queue[0].at("paused"), "false");
  EXPECT_EQ(lists().TakeWaitingSongs(5), std::vector<std::string>{"5"});
}

TEST_F(PlaylistsTest, CurrentListAndItem) {
  std::string id = MakeList("L", {"1", "2"});
  lists().SetCurrentList(id);
  lists().SetCurrentItem("2");
  EXPECT_EQ(lists().CurrentItemElement()->at("id"), "2");
  lists().SetCurrentItem("gone");
  EXPECT_EQ(lists().CurrentItemElement()->at("id"), "1");
  EXPECT_EQ(store().GetConfigText("module.music.currentplay"), "1");
  lists().SetCurrentList("t_rank_9");  // no stored element: back to the default list
  EXPECT_EQ(lists().CurrentItemElement()->at("id"), "1");
  EXPECT_EQ(store().GetConfigText("module.music.currentplaylist"), "");
  lists().SetCurrentList(id);
  lists().SetCurrentItem("2");
  EXPECT_EQ(lists().FirstItemOfCurrentList()->at("id"), "1");
  EXPECT_EQ(store().CurrentItem(), "1");
  EXPECT_EQ(store().GetConfigText("module.music.currentplay"), "2");  // memory only
}

TEST_F(PlaylistsTest, UsersAndPlaylistQueries) {
  EXPECT_EQ(lists().CurrentUserInfo(), UserInfo{});
  lists().SetCurrentUser("u1");
  std::string id = MakeList("歌单", {"1"});
  lists().SetPlaylistName("", "All");
  EXPECT_EQ(lists().FindPlaylistByName("歌单"), id);
  EXPECT_EQ(lists().FindPlaylistByName("none"), "");
  EXPECT_EQ(lists().CountPlaylists(), 2);
  EXPECT_EQ(lists().ListPlaylists(true), (std::vector<PlaylistEntry>{{"歌单", id}}));
  EXPECT_TRUE(lists().RenamePlaylist(id, "新"));
  EXPECT_FALSE(lists().RenamePlaylist("0123456789ABCDEF0123456789ABCDEF", "x"));
  EXPECT_TRUE(lists().DeletePlaylist(id));
  EXPECT_FALSE(lists().DeletePlaylist(id));
  EXPECT_EQ(store().GetConfigText("sorvel.currentuser"), "u1");
}

}  // namespace
}  // namespace quillo::store

namespace quillo::store {
namespace {

using namespace quillo::testing;

class PlaylistIndexTest : public LibraryFixture {};

// Items removed through the store's building blocks (by other code) never leave stale entries.
TEST_F(PlaylistIndexTest, ElementsRemovedElsewhereAreForgotten) {
  std::string id = lists().CreatePlaylist("L");
  for (const char* song : {"1", "2"}) {
    library().AddMusic(Song(song, song));
    ASSERT_TRUE(lists().AddItem(id, song));
  }
  ASSERT_TRUE(lists().ContainsItem(id, "1"));  // the index is built
  {
    auto lock = store().Lock();
    TiXmlElement* list = store().Resolve("users#user:id:#playlists#playlist:id:" + id + "#", false);
    store().RemoveElement(list->FirstChildElement("item"));
  }
  EXPECT_FALSE(lists().ContainsItem(id, "1"));
  EXPECT_TRUE(lists().AddItem(id, "1"));
  {
    auto lock = store().Lock();
    store().RemoveElement(store().Resolve("users#user:id:#playlists#playlist:id:" + id + "#", false));
  }
  lists().SetPlaylistName(id, "again");
  EXPECT_FALSE(lists().ContainsItem(id, "2"));
  EXPECT_TRUE(lists().AddItem(id, "2"));
  EXPECT_EQ(Ids(lists().ListRecords(id)), std::vector<std::string>{"2"});
}

// The index against the list itself: under random appends, copies put in front (repeating a
// song), removals of one item, of every item of a song and of items removed by other code, it
// finds each song's first item in the list's order and nothing the list does not hold.
TEST(PlaylistIndexModelTest, FindsEverySongsFirstItemThroughAnyChange) {
  TempFolder folder;
  DocumentStore store(folder.path());
  PlaylistIndex index(store);
  store.AddSection(index);
  ASSERT_TRUE(store.Open(/*start_saver=*/false));
  auto lock = store.Lock();
  TiXmlElement* list = index.PlaylistElement(PlaylistIndex::kLocalListId, true);
  ASSERT_NE(list, nullptr);
  const std::vector<std::string> songs = {"a", "b", "c", "ex-0123456789abcdef0123456789abcdef", ""};
  std::vector<std::string> model;  // the ids in the list's order
  std::mt19937 random(11);
  for (int step = 0; step < 3000; ++step) {
    const std::string& song = songs[random() % songs.size()];
    const auto first = std::find(model.begin(), model.end(), song);
    switch (random() % 5) {
      case 0:
        EXPECT_EQ(index.AppendItem(list, song), first == model.end());
        if (first == model.end()) model.push_back(song);
        break;
      case 1: {
        TiXmlElement item("item");
        item.SetAttribute("id", song);
        ASSERT_NE(index.PrependItemCopy(list, item), nullptr);
        model.insert(model.begin(), song);
        break;
      }
      case 2:
        index.RemoveItem(list, index.FindItem(list, song));
        if (first != model.end()) model.erase(first);
        break;
      case 3:
        EXPECT_EQ(index.RemoveItemsWithId(list, song), std::count(model.begin(), model.end(), song));
        std::erase(model, song);
        break;
      case 4:
        if (!model.empty()) {
          const std::size_t at = random() % model.size();
          store.RemoveElement(index.Items(list)[at]);
          model.erase(model.begin() + std::ptrdiff_t(at));
        }
        break;
    }
    const std::vector<TiXmlElement*> items = index.Items(list);
    ASSERT_EQ(items.size(), model.size()) << step;
    for (const std::string& id : songs) {
      const auto at = std::find(model.begin(), model.end(), id);
      EXPECT_EQ(index.FindItem(list, id), at == model.end() ? nullptr : items[std::size_t(at - model.begin())])
          << "step " << step << " id " << id;
    }
  }
}

}  // namespace
}  // namespace quillo::store
