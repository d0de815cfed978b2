// The main window's lyric commands with the real views on the display: 显示经典歌词 (33036) and
// 显示桌面歌词 (33034) keep one view at a time and write the mode and the open state; 关闭歌词
// (33038) closes both and remembers it, and choosing a mode then opens it again; 33055 locks
// the bar, and the lyric buttons follow the open state.
#include <gtest/gtest.h>

#include <memory>

#include "../GuiHarness.h"
#include "fakes/FakePlaySurface.h"
#include "fakes/FakePlayer.h"
#include "lyrics/LyricAnalyzer.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"
#include "ui/lyricviews/CLyricBar.h"
#include "ui/lyricviews/LyricDlg.h"
#include "ui/lyricviews/LyricViews.h"
#include "ui/main/MainIds.h"
#include "ui/main/TopParentDlg.h"
#include "ui/toolkit/UiRuntime.h"

namespace quillo::ui {
namespace {

using namespace main_ids;

class LyricViewsGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::GuiRuntime()) GTEST_SKIP() << "no display";
    runtime_ = std::make_unique<store::StoreRuntime>(folder_ / "data/");
    ASSERT_TRUE(runtime_->Open(false));
    top_ = std::make_unique<TopParentDlg>(testing::GuiRuntime()->loop(),
                                          MainWindowParts{*runtime_, player_});
    ASSERT_TRUE(top_->Init());
    views_ = std::make_unique<LyricViews>(
        testing::GuiRuntime()->loop(), top_->main_window(),
        LyricViews::Sources{runtime_->store(), runtime_->playlists(), analyzer_, player_, play_},
        LyricViews::Links{});
    attached_ = top_->main_window().AttachLyricViews(*views_);
  }
  void TearDown() override {
    attached_.Reset();
    views_.reset();
    top_.reset();
    if (runtime_) runtime_->Close();
  }
  std::string Key(const char* key) { return runtime_->store().GetConfigText(key); }
  bool Shown(int id) { return top_->main_window().FindControl(id)->visible(); }
  // The layer event of a click on the view's control.
  static void Press(LayerWnd& view, int id) {
    LayerControl* control = view.FindControl(id);
    ASSERT_NE(control, nullptr) << id;
    view.OnControlEvent(control, id);
  }

  testing::TempFolder folder_;
  std::unique_ptr<store::StoreRuntime> runtime_;
  testing::FakePlayer player_;
  testing::FakePlaySurface play_;
  lyrics::LyricAnalyzer analyzer_;
  std::unique_ptr<TopParentDlg> top_;
  std::unique_ptr<LyricViews> views_;
  loop::Subscription attached_;
};

TEST_F(LyricViewsGuiTest, CommandsKeepOneViewAtATimeAndTheKeys) {
  SorvelMainDlg& window = top_->main_window();
  window.RunCommand(kCmdLyricDialog);
  ASSERT_NE(views_->lyric_window(), nullptr);
  EXPECT_EQ(views_->lyric_bar(), nullptr);
  EXPECT_TRUE(views_->lyric_window()->IsVisible());
  EXPECT_EQ(Key(main_keys::kLyricMode), "dialog");
  EXPECT_NE(Key(main_keys::kLyricOpen), "false");  // never closed: open without the key
  EXPECT_FALSE(Shown(kLyricOpen));
  EXPECT_TRUE(Shown(kLyricClose));

  window.RunCommand(kCmdLyricBar);
  EXPECT_EQ(views_->lyric_window(), nullptr);
  ASSERT_NE(views_->lyric_bar(), nullptr);
  EXPECT_TRUE(views_->lyric_bar()->IsVisible());
  EXPECT_EQ(Key(main_keys::kLyricMode), "bar");
  EXPECT_NE(Key(main_keys::kLyricOpen), "false");

  window.RunCommand(kCmdLyricLock);
  EXPECT_TRUE(views_->BarLocked());
  window.RunCommand(kCmdLyricLock);
  EXPECT_FALSE(views_->BarLocked());

  window.RunCommand(kCmdLyricClose);
  EXPECT_EQ(views_->lyric_window(), nullptr);
  EXPECT_EQ(views_->lyric_bar(), nullptr);
  EXPECT_EQ(Key(main_keys::kLyricOpen), "false");
  EXPECT_EQ(Key(main_keys::kLyricMode), "bar");
  EXPECT_TRUE(Shown(kLyricOpen));
  EXPECT_FALSE(Shown(kLyricClose));

  // Choosing a mode while the views are closed opens that one.
  window.RunCommand(kCmdLyricDialog);
  EXPECT_NE(views_->lyric_window(), nullptr);
  EXPECT_EQ(views_->lyric_bar(), nullptr);
  EXPECT_EQ(Key(main_keys::kLyricOpen), "true");

  // The lyric button closes the view and remembers it; the other opens the mode's view.
  Press(window, kLyricClose);
  EXPECT_EQ(views_->lyric_window(), nullptr);
  EXPECT_EQ(Key(main_keys::kLyricOpen), "false");
  Press(window, kLyricOpen);
  EXPECT_NE(views_->lyric_window(), nullptr);
  EXPECT_EQ(Key(main_keys::kLyricOpen), "true");
}

// The views' own buttons go through the same rules: the bar's 切换到经典模式 and the window's
// 跳转到桌面歌词 switch, and a view closed by its own button is released only after its handler.
TEST_F(LyricViewsGuiTest, TheViewsOwnButtonsSwitchAndClose) {
  SorvelMainDlg& window = top_->main_window();
  window.RunCommand(kCmdLyricBar);
  ASSERT_NE(views_->lyric_bar(), nullptr);
  Press(*views_->lyric_bar(), 1);  // 切换到经典模式
  EXPECT_EQ(views_->lyric_bar(), nullptr);
  ASSERT_NE(views_->lyric_window(), nullptr);
  EXPECT_EQ(Key(main_keys::kLyricMode), "dialog");

  Press(*views_->lyric_window(), 3);  // 跳转到桌面歌词
  EXPECT_EQ(views_->lyric_window(), nullptr);
  ASSERT_NE(views_->lyric_bar(), nullptr);
  EXPECT_EQ(Key(main_keys::kLyricMode), "");

  Press(*views_->lyric_bar(), 0);  // 关闭
  EXPECT_EQ(views_->lyric_bar(), nullptr);
  EXPECT_EQ(Key(main_keys::kLyricOpen), "false");
  EXPECT_TRUE(Shown(kLyricOpen));
  // The released views go on the next loop turn.
  testing::GuiRuntime()->loop().PumpPending();
}

}  // namespace
}  // namespace quillo::ui
