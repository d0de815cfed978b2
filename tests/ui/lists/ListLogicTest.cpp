// The display-free rules of the lists: categories and addresses, the filter, the song list's
// modes and selection, the panel's rows and choices, and the menus per list kind.
#include <gtest/gtest.h>

#include <random>

#include "ListsFixture.h"
#include "ui/lists/ListCatalog.h"
#include "ui/lists/ListMenus.h"
#include "ui/lists/PanelModel.h"
#include "ui/lists/SongFilter.h"
#include "ui/lists/SongListModel.h"

namespace quillo::testing {
namespace {

using namespace quillo::ui::lists;

TEST(ListCatalogTest, TablesAndAddresses) {
  ASSERT_EQ(RandomGroups().size(), 11u);
  ASSERT_EQ(RankingLists().size(), 12u);
  EXPECT_EQ(RankingByCommand(33019)->name, "Zelbo热门歌曲排行");
  EXPECT_EQ(RankingByCommand(33023)->list_id, "t_rank_3");
  EXPECT_EQ(RandomGroupByCommand(32981)->list_id, "t_random_4");
  EXPECT_FALSE(RandomGroupByCommand(32971));  // a gap in the range
  EXPECT_EQ(RandomListIdOfCommand(*RandomGroupByCommand(32968)), "t_random_");
  EXPECT_EQ(ServiceListName("t_random_"), "全部");
  EXPECT_EQ(ServiceListName("t_rank_14"), "钱柜粤语新歌排行");
  EXPECT_FALSE(ServiceListName("t_latest"));

  struct Case {
    const char* list_id;
    const char* url;
  } cases[] = {
      {"t_random_", "http://s/api/randommusic.php?type=xml&client_id=C"},
      {"t_random_0", "http://s/api/randommusic.php?type=xml&client_id=C"},
      {"t_random_13", "http://s/api/randommusic.php?type=xml&client_id=C&group_id=13"},
      {"t_rank_1", "http://s/api/getplaylist.php?client_id=C&id=1"},
      {"t_rank_31", "http://s/api/getplaylist.php?client_id=C&id=31"},
      {"t_rank_", ""},
      {"t_latest", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list_id);
    EXPECT_EQ(TemporaryListUrl("http://s/", "C", c.list_id), c.url);
  }
}

TEST(SongFilterTest, NormalisingAndMatching) {
  struct Norm {
    const char* typed;
    const char* filter;
  } norms[] = {
      {"zjl", "zjl"}, {"ZJL", "zjl"}, {"  ldh \t", "ldh"},  {"\u3000ldh\u3000", "ldh"},
      {"Jay", "jay"}, {"ÀB", "àb"},   {"ＺＪＬ", "ｚｊｌ"}, {"   ", ""},
  };
  for (const Norm& n : norms) {
    SCOPED_TRACE(n.typed);
    EXPECT_EQ(NormalizeFilterText(n.typed), n.filter);
  }

  store::MusicRecord jay{
      {"name", "Jay"}, {"artist_name", "X"}, {"_name", "jay"}, {"_artist_name", "x"}};
  store::MusicRecord jay_without_keys{{"name", "Jay"}, {"artist_name", "X"}};
  store::MusicRecord zhou{
      {"name", "晴天"}, {"artist_name", "周杰伦"}, {"_name", "qt"}, {"_artist_name", "zjl"}};
  struct Match {
    const store::MusicRecord* record;
    const char* filter;
    bool matches;
  } matches[] = {
      {&jay, "jay", true},                // through "_name" only
      {&jay_without_keys, "jay", false},  // "name" is searched case-sensitively
      {&jay_without_keys, "Ja", true},
      {&zhou, "zjl", true},
      {&zhou, "周杰", true},
      {&zhou, "qt", true},
      {&zhou, "jl伦", false},
      {&zhou, "", true},
  };
  for (const Match& m : matches) {
    SCOPED_TRACE(m.filter);
    EXPECT_EQ(RecordMatchesFilter(*m.record, m.filter), m.matches);
  }
  EXPECT_TRUE(GroupMatchesFilter("刘德华", "ldh"));
  EXPECT_TRUE(GroupMatchesFilter("刘德华", "德"));
  EXPECT_FALSE(GroupMatchesFilter("刘德华", "zjl"));
  EXPECT_TRUE(GroupMatchesFilter("Adele", "adele"));  // initials lower-case ASCII capitals
}

// The joined search key finds exactly what the attribute-by-attribute rule finds, for random
// attributes and filters over a small alphabet (so that matches across attribute borders
// would be common if the separator let them through).
TEST(SongFilterTest, JoinedSearchKeyAgreesWithTheRule) {
  std::mt19937 random(7);
  const std::string alphabet = "ab周\x01";
  auto text = [&](int max_len) {
    std::string t;
    int len = static_cast<int>(random() % (max_len + 1));
    for (int i = 0; i < len; ++i) {
      int pick = static_cast<int>(random() % 4);
      t += pick == 2   ? std::string("周")
           : pick == 3 ? std::string("\x01")
                       : std::string(1, alphabet[pick]);
    }
    return t;
  };
  for (int round = 0; round < 3000; ++round) {
    store::MusicRecord record;
    for (const char* name : {"name", "artist_name", "_name", "_artist_name"}) {
      if (random() % 5) record[name] = text(4);
    }
    std::string filter = text(3);
    if (filter.empty() || filter.find(kSearchKeySeparator) != std::string::npos) continue;
    ASSERT_EQ(SearchKey(record).find(filter) != std::string::npos,
              RecordMatchesFilter(record, filter))
        << filter;
  }
}

class SongListModelTest : public LibraryFixture {
 protected:
  std::vector<std::string> Shown() { return Ids(model_.records()); }
  SongListModel model_{runtime_};
};

TEST_F(SongListModelTest, FilterKeepsTheMatchingSongsAndThePlayingMarker) {
  model_.ShowList("", "6");
  ASSERT_EQ(model_.RowCount(), 8);
  EXPECT_EQ(model_.playing_row(), 5);
  struct Case {
    const char* typed;
    std::vector<std::string> ids;
    int playing_row;
    bool changed;
  } cases[] = {
      {"zjl", {"1", "2", "3"}, -1, true},
      {"ZJL", {"1", "2", "3"}, -1, false},  // the same filter once lower-cased
      {"  ldh  ", {"6", "7"}, 0, true},
      {"Jay", {"4"}, -1, true},
      {"周杰伦", {"1", "2", "3"}, -1, true},
      {"nothing", {}, -1, true},
      {"", {"1", "2", "3", "4", "5", "6", "7", "8"}, 5, true},
      {"ZJL", {"1", "2", "3"}, -1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    EXPECT_EQ(model_.ApplyFilter(c.typed, "6"), c.changed);
    EXPECT_EQ(Shown(), c.ids);
    EXPECT_EQ(model_.playing_row(), c.playing_row);
  }
  // The same text after normalising changes nothing, the selection included.
  ASSERT_TRUE(model_.ApplyFilter("ldh", "6"));
  model_.SetSelection({1});
  EXPECT_FALSE(model_.ApplyFilter(" LDH ", "6"));
  EXPECT_EQ(model_.selection(), std::set<int>{1});
  EXPECT_TRUE(model_.ApplyFilter("ld", "6"));
  EXPECT_TRUE(model_.selection().empty());
  // A pasted text holding the key separator is still searched attribute by attribute.
  EXPECT_TRUE(model_.ApplyFilter("晴\x01", "6"));
  EXPECT_EQ(model_.RowCount(), 0);
  // Showing a list forgets the filter.
  model_.ShowList("", "");
  EXPECT_EQ(model_.filter_text(), "");
  EXPECT_EQ(model_.RowCount(), 8);
}

TEST_F(SongListModelTest, GroupsAreOrderedBySongCountAndFilteredByInitials) {
  model_.ShowList("m_artists", "");
  EXPECT_EQ(model_.mode(), SongListMode::kArtists);
  ASSERT_GE(model_.groups().size(), 3u);
  EXPECT_EQ(model_.groups()[0], (SongGroup{"周杰伦", 3}));
  EXPECT_EQ(model_.groups()[1], (SongGroup{"刘德华", 2}));
  // Equal counts keep the store's order.
  std::vector<std::string> ones, store_ones;
  for (const SongGroup& g : model_.groups())
    if (g.song_count == 1) ones.push_back(g.name);
  for (const auto& [name, count] : runtime_.library().ArtistCounts())
    if (count == 1) store_ones.push_back(name);
  EXPECT_EQ(ones, store_ones);
  EXPECT_EQ(model_.playing_row(), -1);

  EXPECT_TRUE(model_.ApplyFilter("ldh", ""));
  ASSERT_EQ(model_.groups().size(), 1u);
  EXPECT_EQ(model_.groups()[0].name, "刘德华");
  EXPECT_TRUE(model_.ApplyFilter("刘", ""));
  EXPECT_EQ(model_.groups().size(), 2u);

  model_.ShowList("m_albums", "");
  EXPECT_EQ(model_.mode(), SongListMode::kAlbums);
  EXPECT_EQ(model_.groups()[0], (SongGroup{"忘情水", 2}));
  std::vector<std::string> album_ids;
  for (const auto& r : model_.GroupSongs(0)) album_ids.push_back(store::IdOf(r));
  EXPECT_EQ(album_ids, (std::vector<std::string>{"6", "7"}));
  EXPECT_EQ(model_.RecordAt(0), nullptr);
}

TEST_F(SongListModelTest, RefreshKeepsTheSelectionAnchorAndFocusBySongId) {
  model_.ShowList("", "");
  model_.SetSelection({1, 3, 6});  // songs 2, 4, 7
  model_.SetAnchorAndFocus(3, 6);
  // Song 1 leaves the list: every row below moves up by one.
  runtime_.library().DeleteMusic("1");
  model_.RefreshList("7");
  EXPECT_EQ(Shown(), (std::vector<std::string>{"2", "3", "4", "5", "6", "7", "8"}));
  EXPECT_EQ(model_.selection(), (std::set<int>{0, 2, 5}));
  EXPECT_EQ(model_.anchor(), 2);
  EXPECT_EQ(model_.focus(), 5);
  EXPECT_EQ(model_.playing_row(), 5);
  std::vector<std::string> selected;
  for (const auto& r : model_.SelectedRecords()) selected.push_back(store::IdOf(r));
  EXPECT_EQ(selected, (std::vector<std::string>{"2", "4", "7"}));
}

TEST_F(SongListModelTest, NumberColumnWidens) {
  struct Case {
    int rows, width;
  } cases[] = {{0, 20}, {99, 20}, {100, 30}, {150, 30}, {999, 30}, {1000, 40}, {100000, 40}};
  for (const Case& c : cases)
    EXPECT_EQ(SongListModel::NumberColumnWidth(c.rows), c.width) << c.rows;
}

class PanelModelTest : public LibraryFixture {
 protected:
  std::vector<std::string> RowIds() {
    std::vector<std::string> ids;
    for (const PanelRow& r : panel_.rows()) ids.push_back(r.id);
    return ids;
  }
  std::function<bool(const std::string&)> loaded_ = [this](const std::string& id) {
    return runtime_.playlists().PlaylistExists(id);
  };
  PanelModel panel_{runtime_};
};

TEST_F(PanelModelTest, FirstPageRowsFollowTheLocalLibraryAndPlaylists) {
  panel_.Rebuild();
  EXPECT_EQ(RowIds(), (std::vector<std::string>{"_TITLE_", "t_latest", "t_random", "t_rank", ""}));
  EXPECT_EQ(panel_.LibraryRowIndex(), 4);
  EXPECT_FALSE(panel_.IsSelectable(0));
  EXPECT_EQ(panel_.rows()[4].name, "[全部]");

  // A local song makes the local row appear; a user playlist follows the library row; a list
  // whose id is not a user playlist id is not shown.
  runtime_.library().AddMusic({{"id", "l-1"}, {"name", "本地"}});
  std::string list = runtime_.playlists().CreatePlaylist("我的歌");
  ASSERT_FALSE(list.empty());
  panel_.Select(4);
  panel_.Rebuild();
  EXPECT_EQ(RowIds(), (std::vector<std::string>{"_TITLE_", "t_latest", "t_random", "t_rank",
                                                "local", "", list}));
  EXPECT_EQ(panel_.rows()[4].name, "本地曲库");
  EXPECT_EQ(panel_.LibraryRowIndex(), 5);
  // The selection moved with its id.
  EXPECT_EQ(panel_.selected(), 5);
  EXPECT_EQ(panel_.SelectedId(), "");

  panel_.SetPage(PanelPage::kRandom);
  EXPECT_EQ(panel_.RowCount(), 11);
  EXPECT_EQ(panel_.rows()[3].name, "华人组合");
  panel_.SetPage(PanelPage::kRanking);
  EXPECT_EQ(panel_.RowCount(), 12);
  EXPECT_EQ(panel_.rows()[0].name, "Zelbo热门歌曲排行");
}

TEST_F(PanelModelTest, ServiceRowsTakeTheirFirstListAndMenusChooseOnce) {
  panel_.Rebuild();
  {
    // Before the random row was ever chosen, its starting group is still a choice to make.
    PanelModel fresh(runtime_);
    fresh.Rebuild();
    auto all = fresh.ChooseRandomGroup(32968, loaded_);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->list_id, "t_random_");
    EXPECT_FALSE(fresh.ChooseRandomGroup(32968, loaded_));
  }
  auto rank = panel_.Choose(3, loaded_);
  ASSERT_TRUE(rank);
  EXPECT_EQ(rank->list_id, "t_rank_1");
  EXPECT_EQ(rank->title, "Zelbo热门歌曲排行");
  EXPECT_EQ(rank->kind, ListKind::kRanking);
  EXPECT_TRUE(rank->fetch);
  EXPECT_EQ(panel_.rows()[3].id, "t_rank_1");

  auto random = panel_.Choose(2, loaded_);
  ASSERT_TRUE(random);
  EXPECT_EQ(random->list_id, "t_random_");
  EXPECT_EQ(random->kind, ListKind::kRandom);
  EXPECT_TRUE(random->fetch);

  // The group in use again: nothing. Another group: its list, fetched unless loaded.
  EXPECT_FALSE(panel_.ChooseRandomGroup(32968, loaded_));
  auto girls = panel_.ChooseRandomGroup(32970, loaded_);
  ASSERT_TRUE(girls);
  EXPECT_EQ(girls->list_id, "t_random_3");
  EXPECT_EQ(girls->title, "华人女歌手");
  EXPECT_EQ(panel_.rows()[2].id, "t_random_3");
  EXPECT_FALSE(panel_.ChooseRandomGroup(32970, loaded_));
  runtime_.playlists().SetTemporaryRecords("t_rank_5", {{{"id", "9"}}});
  auto korean = panel_.ChooseRanking(33022, loaded_);
  ASSERT_TRUE(korean);
  EXPECT_FALSE(korean->fetch);

  // The heading chooses nothing; the recently played row is of its own kind.
  EXPECT_FALSE(panel_.Choose(0, loaded_));
  EXPECT_EQ(panel_.Choose(1, loaded_)->kind, ListKind::kRecent);

  EXPECT_EQ(panel_.ChooseGrouping(33083), "m_artists");
  EXPECT_EQ(panel_.rows()[4].name, "[歌手]");
  EXPECT_TRUE(panel_.GroupingChecked(33083));
  EXPECT_FALSE(panel_.ChooseGrouping(33085));
}

TEST(ListMenusTest, PopupPerListKind) {
  struct Case {
    const char* list_id;
    bool on_song;
    std::optional<SongMenuKind> kind;
  } cases[] = {
      {"", true, SongMenuKind::kLibrarySong},
      {"t_rank_1", true, SongMenuKind::kTemporarySong},
      {"local", true, SongMenuKind::kLocalSong},
      {"0123456789ABCDEF0123456789ABCDEF", true, SongMenuKind::kListSong},
      {"d_p1_x", true, SongMenuKind::kListSong},
      {"", false, SongMenuKind::kLibraryEmpty},
      {"t__filter", false, std::nullopt},
      {"local", false, SongMenuKind::kLocalEmpty},
      {"0123456789ABCDEF0123456789ABCDEF", false, SongMenuKind::kListEmpty},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.list_id) + (c.on_song ? " song" : " empty"));
    EXPECT_EQ(SongMenuKindFor(c.list_id, c.on_song), c.kind);
  }

  SongMenuContext temp;
  temp.kind = SongMenuKind::kTemporarySong;
  temp.local_song = true;
  temp.add_to_list = {{50001, "B", "歌单B"}};
  auto items = BuildSongMenu(temp);
  ASSERT_TRUE(FindMenuItem(items, 33046));
  EXPECT_FALSE(FindMenuItem(items, 32861));
  EXPECT_FALSE(FindMenuItem(items, 33043)->enabled);
  EXPECT_FALSE(FindMenuItem(items, 33044)->enabled);
  // "添加到播放列表": its fixed entry, a separator, then the lists.
  const window::MenuItem* add = nullptr;
  for (const auto& item : items)
    if (item.caption == "添加到播放列表") add = &item;
  ASSERT_TRUE(add);
  ASSERT_EQ(add->submenu.size(), 3u);
  EXPECT_EQ(add->submenu[0].id, 32873);
  EXPECT_TRUE(add->submenu[1].separator);
  EXPECT_EQ(add->submenu[2].id, 50001);

  SongMenuContext list;
  list.kind = SongMenuKind::kListSong;
  list.sort_column = "artist_name";
  items = BuildSongMenu(list);
  EXPECT_TRUE(FindMenuItem(items, 33039));
  EXPECT_TRUE(FindMenuItem(items, 33043)->enabled);
  EXPECT_FALSE(FindMenuItem(items, 32946)->checked);
  EXPECT_TRUE(FindMenuItem(items, 32947)->checked);
  EXPECT_FALSE(FindMenuItem(items, 33120)) << "copying to the computer is for phone songs";
  list.phone_list = true;
  items = BuildSongMenu(list);
  ASSERT_TRUE(FindMenuItem(items, 33120));
  EXPECT_EQ(FindMenuItem(items, 33120)->caption, "复制到电脑");
  EXPECT_EQ(items[5].id, 33120) << "after 删除歌曲";
  EXPECT_EQ(items[4].id, 32861);

  EXPECT_TRUE(FindMenuItem(BuildRankingMenu(33021), 33021)->checked);
  EXPECT_EQ(BuildRandomMenu(0)[0].caption, "[全部]");
  EXPECT_EQ(BuildPanelMenu("").size(), 1u);
  EXPECT_TRUE(FindMenuItem(BuildPanelMenu("0123456789ABCDEF0123456789ABCDEF"), 32874));
}

}  // namespace
}  // namespace quillo::testing
