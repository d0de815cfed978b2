// The window's side of the tray icon: tip, menu refresh, clicks, and whether the window may
// hide to the tray.
#include "ui/desktop/TrayController.h"

#include <gtest/gtest.h>

#include "fakes/FakeTrayIcon.h"
#include "playback/MenuCommands.h"

namespace quillo::ui {
namespace {

using testing::FakeTrayIcon;

class TrayControllerTest : public ::testing::Test {
 protected:
  TrayControllerTest()
      : controller_({[this] { return state_; }, [this] { events_.push_back("show"); },
                     [this](int id) { events_.push_back("command " + std::to_string(id)); },
                     [this] { events_.push_back("tray lost"); }}) {
    auto icon = std::make_unique<FakeTrayIcon>();
    icon_ = icon.get();
    icon_->SetTip("set before attaching");
    controller_.Attach(std::move(icon));
  }

  TrayMenuState state_;
  std::vector<std::string> events_;
  TrayController controller_;
  FakeTrayIcon* icon_ = nullptr;
};

TEST_F(TrayControllerTest, TheTipStartsAsTheProgramNameAndFollowsTheSongs) {
  EXPECT_EQ(icon_->tip(), "Zelbo音乐");
  controller_.OnSongStarted("晴天");
  EXPECT_EQ(icon_->tip(), "晴天");
  controller_.OnSongStarted("");
  EXPECT_EQ(icon_->tip(), "Zelbo音乐");
}

TEST_F(TrayControllerTest, TheMenuIsRebuiltFromTheWindowsStateWhenItOpens) {
  state_.playing = true;
  controller_.OnTrayMenuOpening();
  EXPECT_EQ(icon_->menu(), TrayMenuModel::Build(state_));
  EXPECT_EQ(icon_->menu().front().id, playback::menu_commands::kPause);
}

TEST_F(TrayControllerTest, ClicksAndCommandsReachTheWindow) {
  controller_.OnTrayActivate();
  controller_.OnTrayCommand(playback::menu_commands::kExit);
  EXPECT_EQ(events_, (std::vector<std::string>{"show", "command 32848"}));
}

TEST_F(TrayControllerTest, HidingToTheTrayNeedsAnIconThatShows) {
  EXPECT_TRUE(controller_.MayHideToTray());
  icon_->can_show = false;
  EXPECT_FALSE(controller_.MayHideToTray());
  controller_.Remove();
  EXPECT_FALSE(controller_.MayHideToTray()) << "after shutdown removed the icon";
  controller_.OnSongStarted("晴天");  // nothing to update, no crash
}

TEST_F(TrayControllerTest, ATrayThatGoesAwayBringsAHiddenWindowBack) {
  controller_.OnTrayAvailabilityChanged(false);
  EXPECT_TRUE(events_.empty()) << "the window is shown: nothing to do";
  controller_.SetWindowHidden(true);
  controller_.OnTrayAvailabilityChanged(true);
  controller_.OnTrayAvailabilityChanged(false);
  EXPECT_EQ(events_, std::vector<std::string>{"tray lost"});
}

}  // namespace
}  // namespace quillo::ui
