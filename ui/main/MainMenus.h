#pragma once
// The main window's popup menus as items (captions, command ids, checks); the window shows them
// as GTK popups. Pure functions of the state they are given.
#include <string>
#include <vector>

#include "platform/window/MenuItem.h"

namespace quillo::ui {

struct MainMenuState {
  std::string lyric_open;  // "module.lyric.isopen"
  std::string lyric_mode;  // "module.lyric.mode"
  bool lyric_bar_locked = false;
  int play_mode_command = 0;  // the checked mode's command, 0 for none
  std::string sort_column;    // the shown list's "sort_column"
};

class MainMenus {
 public:
  // The top parent's system menu (the taskbar button's), also the base of the tray menu.
  static std::vector<window::MenuItem> SystemMenu();
  // The tray icon's menu ("托盘").
  static std::vector<window::MenuItem> TrayMenu(const MainMenuState& state);
  static std::vector<window::MenuItem> PlayModeMenu(const MainMenuState& state);
  static std::vector<window::MenuItem> LyricMenu(const MainMenuState& state);
  // "导入歌曲" at button 44.
  static std::vector<window::MenuItem> ImportMenu();
  // "排列歌曲" at button 47.
  static std::vector<window::MenuItem> SortMenu(const MainMenuState& state);
};

}  // namespace quillo::ui
