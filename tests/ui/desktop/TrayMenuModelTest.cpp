// The tray menu's entries, ids and checks, and the tip.
#include "ui/desktop/TrayMenuModel.h"

#include <gtest/gtest.h>

#include "playback/MenuCommands.h"

namespace quillo::ui {
namespace {

using desktop::TrayMenu;
using desktop::TrayMenuItem;
using playback::PlayMode;

const TrayMenuItem* Find(const TrayMenu& menu, int id) {
  for (const TrayMenuItem& item : menu) {
    if (item.kind != TrayMenuItem::Kind::kSubmenu && item.kind != TrayMenuItem::Kind::kSeparator &&
        item.id == id) {
      return &item;
    }
    if (const TrayMenuItem* found = Find(item.children, id)) return found;
  }
  return nullptr;
}

TEST(TrayMenuModelTest, PlayOrPauseFollowsThePlayer) {
  TrayMenu stopped = TrayMenuModel::Build({.playing = false});
  TrayMenu playing = TrayMenuModel::Build({.playing = true});
  EXPECT_NE(Find(stopped, playback::menu_commands::kPlay), nullptr);
  EXPECT_EQ(Find(stopped, playback::menu_commands::kPause), nullptr);
  EXPECT_EQ(Find(playing, playback::menu_commands::kPlay), nullptr);
  ASSERT_NE(Find(playing, playback::menu_commands::kPause), nullptr);
  EXPECT_EQ(Find(playing, playback::menu_commands::kPause)->label, "暂停");
}

TEST(TrayMenuModelTest, ExactlyTheCurrentPlayModeIsChecked) {
  for (PlayMode mode : {PlayMode::kSingleNoRepeat, PlayMode::kSingleRepeat, PlayMode::kAllNoRepeat,
                        PlayMode::kAllRepeat, PlayMode::kRandom}) {
    TrayMenu menu = TrayMenuModel::Build({.mode = mode});
    const TrayMenuItem* submenu = nullptr;
    for (const TrayMenuItem& item : menu) {
      if (item.kind == TrayMenuItem::Kind::kSubmenu && item.label == "播放模式") submenu = &item;
    }
    ASSERT_NE(submenu, nullptr);
    ASSERT_EQ(submenu->children.size(), 5u);
    int checked = 0;
    for (const auto& entry : playback::PlayQueueMode::Entries()) {
      const TrayMenuItem* item = Find(submenu->children, entry.command_id);
      ASSERT_NE(item, nullptr) << entry.command_id;
      EXPECT_EQ(item->label, entry.caption);
      EXPECT_EQ(item->checked, entry.mode == mode) << entry.command_id;
      checked += item->checked ? 1 : 0;
    }
    EXPECT_EQ(checked, 1);
  }
}

TEST(TrayMenuModelTest, LyricChecksFollowTheOpenStateAndMode) {
  struct Case {
    bool open, dialog;
    bool bar_checked, dialog_checked, close_checked;
  } cases[] = {
      {false, true, false, false, true},
      {false, false, false, false, true},
      {true, true, false, true, false},
      {true, false, true, false, false},
  };
  for (const Case& c : cases) {
    TrayMenu menu = TrayMenuModel::Build({.lyric_open = c.open, .lyric_mode_dialog = c.dialog});
    EXPECT_EQ(Find(menu, playback::menu_commands::kLyricBar)->checked, c.bar_checked);
    EXPECT_EQ(Find(menu, playback::menu_commands::kLyricDialog)->checked, c.dialog_checked);
    EXPECT_EQ(Find(menu, playback::menu_commands::kLyricClose)->checked, c.close_checked);
  }
}

TEST(TrayMenuModelTest, LockCaptionFollowsTheBarAndExitIsLast) {
  EXPECT_EQ(Find(TrayMenuModel::Build({.lyric_bar_locked = false}),
                 playback::menu_commands::kLyricBarLock)
                ->label,
            "锁定桌面歌词");
  TrayMenu menu = TrayMenuModel::Build({.lyric_bar_locked = true});
  EXPECT_EQ(Find(menu, playback::menu_commands::kLyricBarLock)->label, "解锁桌面歌词");
  ASSERT_FALSE(menu.empty());
  EXPECT_EQ(menu.back().id, playback::menu_commands::kExit);
  EXPECT_EQ(menu.back().label, "退出");
  for (int id : {playback::menu_commands::kPrevious, playback::menu_commands::kNext,
                 playback::menu_commands::kVolumeUp, playback::menu_commands::kVolumeDown,
                 playback::menu_commands::kMute, playback::menu_commands::kSettings,
                 playback::menu_commands::kWebSite, playback::menu_commands::kMySpace}) {
    EXPECT_NE(Find(menu, id), nullptr) << id;
  }
  ASSERT_NE(Find(menu, playback::menu_commands::kEqualizer), nullptr);
  EXPECT_EQ(Find(menu, playback::menu_commands::kEqualizer)->label, "均衡器");
}

TEST(TrayMenuModelTest, TipIsTheTitleOrTheProgramName) {
  EXPECT_EQ(TrayMenuModel::Tip(""), "Zelbo音乐");
  EXPECT_EQ(TrayMenuModel::Tip("晴天"), "晴天");
}

}  // namespace
}  // namespace quillo::ui
