// The list views in a window of the fake window system: choosing rows and menu entries, service
// lists fetched through the safe downloader, the loading bar, the search box's timer, grouping,
// double-clicks, menus, sorting and dragging songs onto the panel.
#include "ListViewsFixture.h"
#include "ui/lists/FilterEdit.h"
#include "ui/lists/ListMenus.h"

namespace quillo::testing {
namespace {

using namespace quillo::ui::lists;

class ListViewsTest : public ListViewsFixture {};

TEST_F(ListViewsTest, RankingRowFetchesListOneAndShowsItsSongs) {
  Answer(Body(Scramble(ListDocument("t_rank_1", {{"r1", "第一"}, {"r2", "第二"}}))));
  panel_->RefreshPanel(true);
  panel_->ChooseRow(3);
  EXPECT_EQ(host_.title, "Zelbo热门歌曲排行");
  EXPECT_EQ(host_.kind, ListKind::kRanking);
  EXPECT_EQ(songs_->ShownListId(), "t_rank_1");
  // Not loaded yet: the song list is empty and the bar says so.
  EXPECT_EQ(songs_->RowCount(), 0);
  EXPECT_EQ(panel_->loading_bar().state(), 1);
  EXPECT_TRUE(panel_->loading_bar().IsVisible());
  ASSERT_TRUE(WaitForFetches());
  EXPECT_EQ(AttemptUrls(),
            (std::vector<std::string>{std::string(kBaseUrl) +
                                      "api/getplaylist.php?client_id=" + ClientId() + "&id=1"}));
  EXPECT_EQ(SongIds(), (std::vector<std::string>{"r1", "r2"}));
  EXPECT_EQ(panel_->loading_bar().state(), 2);
  EXPECT_EQ(RandomListLoadingWnd::StateText(2), "歌曲列表已更新，请您欣赏^_^");
  // The bar closes by itself.
  EXPECT_TRUE(loop_.PumpUntil([this] { return panel_->loading_bar().state() == 0; },
                              std::chrono::seconds(10)));
  EXPECT_FALSE(panel_->loading_bar().IsVisible());
}

TEST_F(ListViewsTest, AListChosenBeforeTheServiceIsKnownWaitsForIt) {
  Answer(Body(Scramble(ListDocument("t_rank_1", {{"r1", "第一"}}))));
  // The failure first: it leaves the list unloaded for the second round.
  for (bool available : {false, true}) {
    SCOPED_TRACE(available ? "the address arrives" : "the service never starts");
    panel_ = std::make_unique<PlaylistView>(
        owner_, kPanelRect,
        ListViewDeps{runtime_, downloader_, endpoints_, host_, &sync_, &play_, &player_}, *songs_);
    endpoints_ = service::ServiceEndpoints{};
    const std::size_t attempts = client_->attempts().size();
    panel_->ChooseRow(3);
    // Nothing is sent to a service without an address; the row and the list agree meanwhile.
    EXPECT_EQ(client_->attempts().size(), attempts);
    EXPECT_EQ(panel_->SelectedListId(), std::optional<std::string>("t_rank_1"));
    EXPECT_EQ(songs_->ShownListId(), "t_rank_1");
    EXPECT_EQ(panel_->loading_bar().state(), 1);
    EXPECT_TRUE(panel_->HasListsAwaitingService());

    if (available) endpoints_ = service::EndpointsForBaseUrl(kBaseUrl);
    panel_->OnServiceKnown(available);
    EXPECT_FALSE(panel_->HasListsAwaitingService());
    ASSERT_TRUE(WaitForFetches());
    EXPECT_EQ(client_->attempts().size(), attempts + (available ? 1 : 0));
    EXPECT_EQ(panel_->loading_bar().state(), available ? 2 : 3);
    EXPECT_EQ(SongIds(), available ? std::vector<std::string>{"r1"} : std::vector<std::string>{});
    EXPECT_EQ(panel_->SelectedListId(), std::optional<std::string>("t_rank_1"));
  }
}

TEST_F(ListViewsTest, TheSongListsHeaderOffersTheMenuOfTheListShown) {
  panel_->RefreshPanel(true);
  runtime_.playlists().SetTemporaryRecords("t_rank_2", {SongOf(SampleSongs()[0])});
  runtime_.playlists().SetTemporaryRecords("t_random_3", {SongOf(SampleSongs()[0])});
  struct Case {
    int command;  // chooses the list: a menu entry, or 0 for the recently played row
    const char* shown;
    int item;  // an entry of the header's menu, 0: no menu
  };
  for (const Case& c : {Case{33020, "t_rank_2", 33030}, Case{32970, "t_random_3", 32975},
                        Case{33083, "m_artists", 33084}, Case{0, "t_latest", 0}}) {
    SCOPED_TRACE(c.shown);
    if (c.command != 0) {
      EXPECT_TRUE(panel_->HandleCommand(c.command));
    } else {
      panel_->ChooseRow(1);
    }
    ASSERT_EQ(songs_->ShownListId(), c.shown);
    EXPECT_EQ(panel_->ShownListHasHeaderMenu(), c.item != 0);
    auto items = panel_->OnHeaderMenu(gfx::Point{kSongsRect.left, kSongsRect.top});
    if (c.item == 0) {
      EXPECT_TRUE(items.empty());
    } else {
      EXPECT_TRUE(FindMenuItem(items, c.item));
    }
  }
}

TEST_F(ListViewsTest, LoadingBarSitsAtTheSongListsFootAndFollowsTheWindow) {
  RandomListLoadingWnd& bar = panel_->loading_bar();
  panel_->ShowLoadingBar(1);
  ASSERT_TRUE(bar.IsVisible());
  // 21 pixels high, 8 in from the window's sides, its bottom on the song list's bottom edge.
  gfx::Rect owner = owner_.WindowRect();
  EXPECT_EQ(bar.WindowRect(), (gfx::Rect{owner.left + 8, owner.top + kSongsRect.bottom - 21,
                                         owner.right - 8, owner.top + kSongsRect.bottom}));
  EXPECT_EQ(RandomListLoadingWnd::StateText(1), "歌曲加载中，请稍候...");
  owner_.SetWindowRect(gfx::Rect{300, 50, 800, 550});
  panel_->FollowOwner();
  EXPECT_EQ(bar.WindowRect(),
            (gfx::Rect{308, 50 + kSongsRect.bottom - 21, 792, 50 + kSongsRect.bottom}));
  // State 1 stays until the fetch ends; the close button closes the bar at once.
  EXPECT_FALSE(loop_.PumpUntil([&] { return bar.state() == 0; }, std::chrono::milliseconds(1700)));
  ui::LayerControl* close = bar.FindControl(RandomListLoadingWnd::kCloseButtonId);
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->bounds.right, bar.ClientSize().width);
  gfx::Point centre{(close->bounds.left + close->bounds.right) / 2, close->bounds.top + 5};
  Click(bar, centre);
  ASSERT_TRUE(loop_.PumpUntil([&] { return bar.state() == 0; }, std::chrono::seconds(5)));
  EXPECT_FALSE(bar.IsVisible());
}

TEST_F(ListViewsTest, FailedListDownloadsKeepThePreviousSongsAndShowTheFailure) {
  Answer(Body(Scramble(ListDocument("t_random_", {{"a", "甲"}, {"b", "乙"}}))));
  panel_->RefreshPanel(true);
  panel_->ChooseRow(2);
  ASSERT_TRUE(WaitForFetches());
  ASSERT_EQ(SongIds(), (std::vector<std::string>{"a", "b"}));

  FakeAnswer down;
  down.fail_send = true;
  FakeAnswer error_status = Body("server error");
  error_status.status = 500;
  struct Case {
    const char* name;
    FakeAnswer answer;
  } cases[] = {
      {"a document that does not parse", Body(Scramble("<list><s music_id='9'/><s/></list>"))},
      {"bytes that are no list", Body(Scramble("\x01\xff garbage \x00 <<<"))},
      {"an answer too short to unscramble", Body("ab")},
      {"an empty answer", Body("")},
      {"an error status", error_status},
      {"a service that is down", down},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Answer(c.answer);
    panel_->FetchAnotherBatch();
    EXPECT_EQ(panel_->loading_bar().state(), 1);
    ASSERT_TRUE(WaitForFetches());
    EXPECT_EQ(panel_->loading_bar().state(), 3);
    EXPECT_EQ(RandomListLoadingWnd::StateText(3), "更新歌曲列表失败,请检查网络.");
    EXPECT_EQ(SongIds(), (std::vector<std::string>{"a", "b"}));
  }
}

TEST_F(ListViewsTest, SameGroupFetchesOnceAndAnotherBatchEveryTime) {
  Answer(Body(Scramble(ListDocument("t_random_3", {{"g", "歌"}}))));
  panel_->RefreshPanel(true);
  EXPECT_TRUE(panel_->HandleCommand(32970));
  ASSERT_TRUE(WaitForFetches());
  EXPECT_EQ(panel_->SelectedListId(), "t_random_3");
  EXPECT_EQ(host_.title, "华人女歌手");
  EXPECT_EQ(host_.kind, ListKind::kRandom);
  EXPECT_TRUE(panel_->HandleCommand(32970));
  ASSERT_TRUE(WaitForFetches());
  EXPECT_EQ(AttemptUrls().size(), 1u);
  panel_->FetchAnotherBatch();
  panel_->FetchAnotherBatch();  // cancels the first: one list, one pending fetch
  EXPECT_EQ(panel_->fetcher().pending(), 1u);
  ASSERT_TRUE(WaitForFetches());
  std::vector<std::string> urls = AttemptUrls();
  ASSERT_GE(urls.size(), 2u);
  for (const std::string& url : urls) EXPECT_TRUE(url.ends_with("&group_id=3")) << url;
  EXPECT_EQ(SongIds(), std::vector<std::string>{"g"});
}

TEST_F(ListViewsTest, SelectListFallsBackToTheLibraryRow) {
  panel_->RefreshPanel(true);
  panel_->SelectList("0123456789ABCDEF0123456789ABCDEF");
  EXPECT_EQ(panel_->model().selected(), panel_->model().LibraryRowIndex());
  EXPECT_EQ(songs_->ShownListId(), "");
  EXPECT_EQ(songs_->RowCount(), 8);
  EXPECT_EQ(host_.title, "[全部]");
  // Selected already: the song list is refreshed (a song gone is gone from it).
  runtime_.library().DeleteMusic("8");
  panel_->SelectList("");
  EXPECT_EQ(songs_->RowCount(), 7);
}

TEST_F(ListViewsTest, SearchBoxFiltersOnceAfterTheLastChange) {
  panel_->RefreshPanel(true);
  panel_->SelectList("");
  FilterEdit edit(owner_, gfx::Rect{100, 20, 194, 36},
                  [this](const std::string& text) { songs_->ApplyFilter(text); });
  ASSERT_TRUE(edit.Create());
  songs_->SetFilterEdit(&edit);
  auto* host = static_cast<FakePresenter*>(owner_.presenter())->last_edit;
  ASSERT_NE(host, nullptr);
  for (const char* typed : {"z", "zj", "ZJL"}) host->SetText(typed);
  EXPECT_TRUE(edit.filter_pending());
  EXPECT_EQ(songs_->RowCount(), 8);  // nothing before the timer
  ASSERT_TRUE(loop_.PumpUntil([&] { return !edit.filter_pending(); }, std::chrono::seconds(10)));
  EXPECT_EQ(edit.applied_count(), 1);
  EXPECT_EQ(SongIds(), (std::vector<std::string>{"1", "2", "3"}));

  edit.OnEditFocus(true);
  EXPECT_TRUE(edit.frame_highlighted());
  edit.OnEditFocus(false);
  EXPECT_FALSE(edit.frame_highlighted());

  // Another list shown: the filter and the box are empty again.
  panel_->SelectList(std::string(kRecentListId));
  EXPECT_EQ(songs_->model().filter_text(), "");
  EXPECT_EQ(edit.Text(), "");
  songs_->SetFilterEdit(nullptr);
  edit.Destroy();
}

TEST_F(ListViewsTest, GroupingAndGroupDoubleClicks) {
  panel_->RefreshPanel(true);
  EXPECT_TRUE(panel_->HandleCommand(33083));
  EXPECT_EQ(songs_->model().mode(), SongListMode::kArtists);
  EXPECT_EQ(songs_->model().GroupAt(0)->name, "周杰伦");
  EXPECT_EQ(host_.title, "[歌手]");
  EXPECT_EQ(panel_->SelectedListId(), "m_artists");
  // No song menu on groups.
  EXPECT_TRUE(songs_->OnContextMenu(SongRowPoint(0)).empty());

  EXPECT_TRUE(panel_->HandleCommand(33084));
  ASSERT_EQ(songs_->model().GroupAt(0)->name, "忘情水");
  songs_->OnRowActivated(0);
  EXPECT_EQ(songs_->ShownListId(), "t__filter");
  EXPECT_EQ(SongIds(), (std::vector<std::string>{"6", "7"}));
  songs_->OnRowActivated(1);
  EXPECT_EQ(runtime_.store().CurrentList(), "t__filter");
  ASSERT_FALSE(player_.played.empty());
  EXPECT_EQ(player_.played.back().music_id, "7");
  songs_->MarkPlayingSong("7");
  EXPECT_EQ(songs_->model().playing_row(), 1);
}

TEST_F(ListViewsTest, RightClickSelectsAndMenusFollowTheListKind) {
  panel_->RefreshPanel(true);
  panel_->SelectList("");
  songs_->SelectRows({0, 1});
  // On a selected row the selection stays; on another one it moves there.
  auto items = songs_->OnContextMenu(SongRowPoint(1));
  EXPECT_EQ(songs_->model().selection(), (std::set<int>{0, 1}));
  items = songs_->OnContextMenu(SongRowPoint(4));
  EXPECT_EQ(songs_->model().selection(), std::set<int>{4});
  EXPECT_TRUE(FindMenuItem(items, 32861));
  EXPECT_TRUE(FindMenuItem(items, 33043)->enabled);
  EXPECT_TRUE(songs_->HandleCommand(33044));
  EXPECT_EQ(host_.info, std::vector<std::string>{"artist 5"});
  // Empty space of the library: the grouping; of a temporary list: nothing.
  items = songs_->OnContextMenu(gfx::Point{kSongsRect.left + 10, kSongsRect.bottom - 2});
  EXPECT_TRUE(FindMenuItem(items, 33083));
  runtime_.playlists().SetTemporaryRecords("t_rank_2", {SongOf(SampleSongs()[0])});
  songs_->ShowList("t_rank_2");
  EXPECT_TRUE(
      songs_->OnContextMenu(gfx::Point{kSongsRect.left + 10, kSongsRect.bottom - 2}).empty());
  EXPECT_TRUE(FindMenuItem(songs_->OnContextMenu(SongRowPoint(0)), 33046));
  // The panel: the random row offers the groups, the ranking row the lists.
  EXPECT_TRUE(FindMenuItem(panel_->OnContextMenu(PanelRowPoint(2)), 32975));
  EXPECT_TRUE(FindMenuItem(panel_->OnContextMenu(PanelRowPoint(3)), 33030));
  EXPECT_TRUE(FindMenuItem(panel_->OnContextMenu(PanelRowPoint(4)), 33084));
}

TEST_F(ListViewsTest, SortingAStoredListAscending) {
  std::string list = runtime_.playlists().CreatePlaylist("乱序");
  ASSERT_FALSE(list.empty());
  for (const char* id : {"5", "6"}) runtime_.playlists().AddItem(list, id);
  panel_->RefreshPanel(true);
  panel_->SelectList(list);
  ASSERT_EQ(SongIds(), (std::vector<std::string>{"5", "6"}));
  EXPECT_TRUE(songs_->HandleCommand(32947));  // by artist, in pinyin order: 刘德华, 刘若英
  EXPECT_EQ(SongIds(), (std::vector<std::string>{"6", "5"}));
  EXPECT_TRUE(FindMenuItem(songs_->ShowSortMenu({0, 0}), 32947)->checked);
  EXPECT_TRUE(songs_->HandleCommand(32946));  // by name: 后来, 忘情水
  EXPECT_EQ(SongIds(), (std::vector<std::string>{"5", "6"}));
  EXPECT_TRUE(FindMenuItem(songs_->ShowSortMenu({0, 0}), 32946)->checked);
  // The same command again keeps ascending order.
  EXPECT_TRUE(songs_->HandleCommand(32946));
  EXPECT_EQ(SongIds(), (std::vector<std::string>{"5", "6"}));
  // Temporary lists are not sorted.
  runtime_.playlists().SetTemporaryRecords("t_rank_2",
                                           {SongOf(SampleSongs()[6]), SongOf(SampleSongs()[5])});
  songs_->ShowList("t_rank_2");
  songs_->HandleCommand(32946);
  EXPECT_EQ(SongIds(), (std::vector<std::string>{"7", "6"}));
}

TEST_F(ListViewsTest, SortingAPhoneListReachesThePhone) {
  phone_.connected = true;
  const std::string list = phone_.CreateList("x1", "手机");
  songs_->ShowList(list);
  EXPECT_TRUE(songs_->HandleCommand(32947));
  EXPECT_EQ(log_.back(), "phone sort " + list + " artist_name");
  std::vector<window::MenuItem> menu = songs_->ShowSortMenu({0, 0});
  EXPECT_TRUE(FindMenuItem(menu, 32946)->enabled);
  EXPECT_TRUE(FindMenuItem(menu, 32947)->checked);
  EXPECT_FALSE(FindMenuItem(menu, 32946)->checked);
  // The phone's all-songs list is never sorted.
  songs_->ShowList("d_p1_");
  const std::size_t logged = log_.size();
  songs_->HandleCommand(32946);
  EXPECT_EQ(log_.size(), logged);
  EXPECT_FALSE(FindMenuItem(songs_->ShowSortMenu({0, 0}), 32946)->enabled);
  // Without the phone nothing is sorted.
  phone_.connected = false;
  songs_->ShowList(list);
  songs_->HandleCommand(32946);
  EXPECT_EQ(log_.size(), logged);
}

TEST_F(ListViewsTest, DraggingSongsOntoAPlaylistAddsThemAndEscCancels) {
  std::string list = runtime_.playlists().CreatePlaylist("收藏");
  ASSERT_FALSE(list.empty());
  panel_->RefreshPanel(true);
  panel_->SelectList("");
  int target = panel_->model().IndexOf(list);
  ASSERT_GT(target, 0);
  songs_->SelectRows({0, 2});

  auto drag = [&](bool cancel) {
    // A press on a selected row keeps the selection for the drag.
    Press(owner_, SongRowPoint(2));
    window::MouseEvent move;
    move.left_held = true;
    for (gfx::Point p : {SongRowPoint(2), gfx::Point{60, 200}, PanelRowPoint(target)}) {
      move.pos = p;
      songs_->OnMouseMove(move);
    }
    EXPECT_TRUE(songs_->dragging());
    EXPECT_EQ(panel_->drop_row(), target);
    if (cancel) {
      EXPECT_TRUE(songs_->OnKeyDown(window::KeyEvent{0xff1b}));
    }
    window::MouseEvent up;
    up.pos = PanelRowPoint(target);
    songs_->OnMouseUp(up);
    Release(owner_, PanelRowPoint(target));
    EXPECT_FALSE(songs_->dragging());
    EXPECT_EQ(panel_->drop_row(), -1);
  };
  drag(true);
  EXPECT_TRUE(runtime_.playlists().ListRecords(list).empty());
  EXPECT_EQ(songs_->model().selection(), (std::set<int>{0, 2}));
  drag(false);
  EXPECT_EQ(Ids(runtime_.playlists().ListRecords(list)), (std::vector<std::string>{"1", "3"}));
  // A drop on a row that takes no songs does nothing.
  EXPECT_EQ(panel_->DropRowAt(PanelRowPoint(1)), -1);
  // A plain click without a drag selects that row alone.
  Press(owner_, SongRowPoint(2));
  songs_->OnMouseUp(window::MouseEvent{});
  Release(owner_, SongRowPoint(2));
  EXPECT_EQ(songs_->model().selection(), std::set<int>{2});
}

TEST_F(ListViewsTest, ListCommandsReachThePlaylistCommands) {
  std::string list = runtime_.playlists().CreatePlaylist("清单");
  ASSERT_FALSE(list.empty());
  for (const char* id : {"1", "2", "3"}) runtime_.playlists().AddItem(list, id);
  panel_->RefreshPanel(true);
  panel_->SelectList(list);
  songs_->SelectRows({1});
  EXPECT_TRUE(songs_->HandleCommand(33039));  // remove from the list
  EXPECT_EQ(SongIds(), (std::vector<std::string>{"1", "3"}));
  EXPECT_TRUE(songs_->HandleCommand(32982));  // clear
  EXPECT_EQ(songs_->RowCount(), 0);
  EXPECT_FALSE(songs_->HandleCommand(12345));
}

}  // namespace
}  // namespace quillo::testing
