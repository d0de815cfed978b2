// Under X (Xvfb), with real input through XTest: the lists' window as a user drives it. Typing
// into the search box narrows the song list, the library row's menu groups by artist, and the
// ranking row shows the chart of a real quillo-service.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <set>
#include <string>

#include "../GuiHarness.h"
#include "ListsDemo.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"
#include "ui/lists/FileListView.h"
#include "ui/lists/FilterEdit.h"
#include "ui/lists/PlaylistView.h"
#include "ui/lists/RandomListLoadingWnd.h"

namespace quillo::testing {
namespace {

using gallery::ListsDemo;
using ui::lists::SongListMode;

bool Xdo(const std::string& arguments) {
  return std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

// A GtkMenu popup is on screen.
bool MenuShown() {
  bool shown = false;
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* l = toplevels; l; l = l->next) {
    GtkWidget* w = GTK_WIDGET(l->data);
    if (gtk_window_get_window_type(GTK_WINDOW(w)) != GTK_WINDOW_POPUP || !gtk_widget_get_mapped(w))
      continue;
    GtkWidget* child = gtk_bin_get_child(GTK_BIN(w));
    shown = shown || (child && GTK_IS_MENU(child));
  }
  g_list_free(toplevels);
  return shown;
}

// With QUILLO_SCREENSHOT_DIR set, writes what the screen shows around the window (menus
// included) to <dir>/<name>.png, for the documentation.
void SaveScreen(const gfx::Rect& area, const std::string& name) {
  const char* dir = std::getenv("QUILLO_SCREENSHOT_DIR");
  if (!dir) return;
  // Only for the pictures: let the windows push their last drawing to the server first.
  for (ui::LayerWnd* w = NewestWindow(); w != nullptr;) {
    WaitFor([w] { return !w->needs_update(); });
    break;
  }
  WaitFor([] { return false; }, std::chrono::milliseconds(400));
  gdk_display_sync(gdk_display_get_default());
  GdkWindow* root = gdk_get_default_root_window();
  GdkPixbuf* shot =
      gdk_pixbuf_get_from_window(root, area.left, area.top, area.width(), area.height());
  ASSERT_NE(shot, nullptr);
  std::string file = std::string(dir) + "/" + name + ".png";
  EXPECT_TRUE(gdk_pixbuf_save(shot, file.c_str(), "png", nullptr, nullptr)) << file;
  g_object_unref(shot);
}

class ListsGuiTest : public ::testing::Test {
 protected:
  void Open(const std::string& service_url) {
    demo_ = std::make_unique<ListsDemo>(folder_.path(), service_url);
    ASSERT_TRUE(demo_->Create(gfx::Rect::FromXYWH(80, 60, ListsDemo::kWidth, ListsDemo::kHeight),
                              nullptr, window::WindowKind::kMain));
    ASSERT_TRUE(WaitFor([&] { return IsOnScreen(*demo_); }));
    ASSERT_TRUE(FocusNativeWindow(*demo_));
  }
  void TearDown() override {
    ReleaseTypingKeys();
    if (demo_) demo_->Destroy();
    demo_.reset();
  }
  gfx::Point Screen(gfx::Point window_point) {
    gfx::Rect r = demo_->WindowRect();
    return {r.left + window_point.x, r.top + window_point.y};
  }
  gfx::Point PanelRow(int row) {
    const gfx::Rect& p = ListsDemo::kPanelRect;
    return Screen({p.left + 30, p.top + row * demo_->panel().row_height() + 8});
  }
  std::set<std::string> ShownArtists() {
    std::set<std::string> artists;
    for (const auto& r : demo_->songs().model().records()) artists.insert(r->at("artist_name"));
    return artists;
  }
  // Waits until the song list shows exactly the six songs of 周杰伦 under the filter "zjl".
  bool ShowsOnlyZhou() {
    return WaitFor([&] {
      return demo_->songs().model().filter_text() == "zjl" && demo_->songs().RowCount() == 6 &&
             ShownArtists() == std::set<std::string>{"周杰伦"};
    });
  }

  TempFolder folder_;
  std::unique_ptr<ListsDemo> demo_;
};

TEST_F(ListsGuiTest, TypingInitialsInTheSearchBoxLeavesOnlyTheirArtistsSongs) {
  if (!GuiRuntime()) GTEST_SKIP() << "no display";
  Open("");
  ASSERT_EQ(demo_->songs().RowCount(), 24);
  const gfx::Rect& box = ListsDemo::kFilterRect;
  ASSERT_TRUE(ClickAt(Screen({(box.left + box.right) / 2, (box.top + box.bottom) / 2})));
  ASSERT_TRUE(WaitFor([&] { return demo_->filter().HasFocus(); }));
  EXPECT_TRUE(WaitFor([&] { return demo_->filter().frame_highlighted(); }));
  ASSERT_TRUE(TypeText("zjl"));
  EXPECT_TRUE(ShowsOnlyZhou()) << demo_->songs().model().filter_text();
  {
    gfx::Rect r = demo_->WindowRect();
    SaveScreen(gfx::Rect{r.left - 10, r.top - 10, r.right + 10, r.bottom + 10}, "FilterEdit");
  }

  // Upper case finds the same songs; an emptied box shows the whole list again.
  ASSERT_TRUE(PressKeys("ctrl+a"));
  ASSERT_TRUE(TypeText("ZJL"));
  ASSERT_TRUE(WaitFor(
      [&] { return demo_->filter().Text() == "ZJL" && !demo_->filter().filter_pending(); }));
  EXPECT_TRUE(ShowsOnlyZhou());
  ASSERT_TRUE(PressKeys("ctrl+a"));
  ASSERT_TRUE(PressKeys("BackSpace"));
  EXPECT_TRUE(WaitFor([&] { return demo_->songs().RowCount() == 24; }));

  // A right click on a song selects it and opens the library's song menu.
  const gfx::Rect& list = ListsDemo::kSongsRect;
  gfx::Point song = Screen({list.left + 40, list.top + 2 * demo_->songs().row_height() + 8});
  ASSERT_TRUE(Xdo("mousemove --sync " + std::to_string(song.x) + " " + std::to_string(song.y) +
                  " click 3"));
  ASSERT_TRUE(WaitFor(MenuShown));
  EXPECT_EQ(demo_->songs().model().selection(), std::set<int>{2});
  {
    gfx::Rect r = demo_->WindowRect();
    SaveScreen(gfx::Rect{r.left - 10, r.top - 10, r.right + 10, r.bottom + 10},
               "FileListView-menu");
  }
  ASSERT_TRUE(PressKeys("Escape"));
  EXPECT_TRUE(WaitFor([] { return !MenuShown(); }));
}

TEST_F(ListsGuiTest, GroupingByArtistFromTheLibraryRowsMenuPutsTheLargestArtistFirst) {
  if (!GuiRuntime()) GTEST_SKIP() << "no display";
  Open("");
  int library_row = demo_->panel().model().LibraryRowIndex();
  ASSERT_GT(library_row, 0);
  gfx::Point at = PanelRow(library_row);
  ASSERT_TRUE(
      Xdo("mousemove --sync " + std::to_string(at.x) + " " + std::to_string(at.y) + " click 3"));
  ASSERT_TRUE(WaitFor(MenuShown));
  {
    gfx::Rect r = demo_->WindowRect();
    SaveScreen(gfx::Rect{r.left - 10, r.top - 10, r.right + 10, r.bottom + 10},
               "PlaylistView-menu");
  }
  // The menu "全部歌曲列表": 全部歌曲, 歌手, 专辑.
  ASSERT_TRUE(PressKeys("Down"));
  ASSERT_TRUE(PressKeys("Down"));
  ASSERT_TRUE(PressKeys("Return"));
  ASSERT_TRUE(WaitFor([&] { return demo_->songs().model().mode() == SongListMode::kArtists; }));
  const auto& groups = demo_->songs().model().groups();
  ASSERT_FALSE(groups.empty());
  EXPECT_EQ(groups[0].name, "周杰伦");
  EXPECT_EQ(groups[0].song_count, 6);
  for (std::size_t i = 1; i < groups.size(); ++i)
    EXPECT_GE(groups[i - 1].song_count, groups[i].song_count);
  EXPECT_EQ(demo_->title(), "[歌手]");
  EXPECT_FALSE(MenuShown());
}

TEST_F(ListsGuiTest, RankingRowShowsTheHotChartOfTheService) {
  if (!GuiRuntime()) GTEST_SKIP() << "no display";
  ServiceProcess service;
  ASSERT_TRUE(service.Start()) << service.error();
  Open(service.base_url());
  ASSERT_TRUE(ClickAt(PanelRow(3)));
  EXPECT_TRUE(WaitFor([&] { return demo_->title() == "Zelbo热门歌曲排行"; })) << demo_->title();
  ASSERT_TRUE(WaitFor(
      [&] { return demo_->songs().ShownListId() == "t_rank_1" && demo_->songs().RowCount() > 0; }));
  EXPECT_EQ(demo_->panel().loading_bar().state(), 2);
  ASSERT_TRUE(WaitFor([&] { return demo_->panel().loading_bar().IsVisible(); }));
  {
    gfx::Rect r = demo_->WindowRect();
    SaveScreen(gfx::Rect{r.left - 10, r.top - 10, r.right + 10, r.bottom + 10},
               "FileListView-ranking");
  }
  std::set<std::string> catalogue;
  for (const ServiceSong& song : service.Catalogue()) catalogue.insert(song.id);
  for (const auto& r : demo_->songs().model().records())
    EXPECT_TRUE(catalogue.count(store::IdOf(*r)));
  // The service going away: another batch of the random list fails, the list stays.
  ASSERT_TRUE(ClickAt(PanelRow(2)));
  ASSERT_TRUE(WaitFor([&] {
    return demo_->songs().ShownListId() == "t_random_" && demo_->songs().RowCount() > 0;
  }));
  int rows = demo_->songs().RowCount();
  service.Stop();
  ASSERT_TRUE(ClickAt(ControlCentre(*demo_, ListsDemo::kAnotherBatchId)));
  EXPECT_TRUE(WaitFor([&] { return demo_->panel().loading_bar().state() == 3; }));
  EXPECT_EQ(demo_->songs().RowCount(), rows);
}

// A ranking list that arrives broken (bad XML, or plain where it should be scrambled) shows the
// failure on the loading bar and no songs; the window goes on, and the next choice loads it.
TEST_F(ListsGuiTest, MalformedRankingListShowsTheFailureAndTheNextChoiceLoadsIt) {
  if (!GuiRuntime()) GTEST_SKIP() << "no display";
  ServiceProcess service;
  ASSERT_TRUE(service.Start()) << service.error();
  for (const char* kind : {"malformed_xml", "unscrambled"}) {
    SCOPED_TRACE(kind);
    service.ClearFaults();
    ASSERT_GE(service.AddFault(std::string("path=/api/getplaylist.php&kind=") + kind), 0);
    Open(service.base_url());
    ASSERT_TRUE(ClickAt(PanelRow(3)));
    EXPECT_TRUE(WaitFor([&] { return demo_->panel().loading_bar().state() == 3; }))
        << demo_->panel().loading_bar().state();
    EXPECT_EQ(ui::lists::RandomListLoadingWnd::StateText(demo_->panel().loading_bar().state()),
              "更新歌曲列表失败,请检查网络.");
    EXPECT_EQ(demo_->songs().RowCount(), 0);
    // The bar closes itself; the window still answers: with the service mended, choosing the row
    // again fetches the list.
    EXPECT_TRUE(WaitFor([&] { return !demo_->panel().loading_bar().IsVisible(); }));
    service.ClearFaults();
    ASSERT_TRUE(ClickAt(PanelRow(2)));
    ASSERT_TRUE(ClickAt(PanelRow(3)));
    EXPECT_TRUE(WaitFor([&] {
      return demo_->songs().ShownListId() == "t_rank_1" && demo_->songs().RowCount() > 0;
    })) << demo_->songs().ShownListId();
    demo_->Destroy();
    demo_.reset();
  }
}

}  // namespace
}  // namespace quillo::testing
