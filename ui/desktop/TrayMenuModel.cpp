#include "ui/desktop/TrayMenuModel.h"

#include "playback/MenuCommands.h"

namespace quillo::ui {

using desktop::TrayMenu;
using desktop::TrayMenuItem;
namespace commands = playback::menu_commands;

TrayMenu TrayMenuModel::Build(const TrayMenuState& state) {
  TrayMenu menu;
  // One of the pair, as the main window shows one of its play and pause buttons.
  if (state.playing) {
    menu.push_back(TrayMenuItem::Command(commands::kPause, "暂停"));
  } else {
    menu.push_back(TrayMenuItem::Command(commands::kPlay, "播放"));
  }
  menu.push_back(TrayMenuItem::Command(commands::kPrevious, "播放上一首"));
  menu.push_back(TrayMenuItem::Command(commands::kNext, "播放下一首"));
  menu.push_back(TrayMenuItem::Separator());

  TrayMenu modes;
  for (const auto& entry : playback::PlayQueueMode::Entries()) {
    modes.push_back(TrayMenuItem::Radio(entry.command_id, std::string(entry.caption),
                                        entry.mode == state.mode));
  }
  menu.push_back(
      TrayMenuItem::Submenu(std::string(playback::PlayQueueMode::kMenuTitle), std::move(modes)));
  menu.push_back(TrayMenuItem::Command(commands::kVolumeUp, "加大音量 (+10%)"));
  menu.push_back(TrayMenuItem::Command(commands::kVolumeDown, "减小音量 (-10%)"));
  menu.push_back(TrayMenuItem::Command(commands::kMute, "静音"));
  menu.push_back(TrayMenuItem::Separator());

  menu.push_back(TrayMenuItem::Radio(commands::kLyricBar, "显示桌面歌词",
                                     state.lyric_open && !state.lyric_mode_dialog));
  menu.push_back(TrayMenuItem::Radio(commands::kLyricDialog, "显示经典歌词",
                                     state.lyric_open && state.lyric_mode_dialog));
  menu.push_back(TrayMenuItem::Radio(commands::kLyricClose, "关闭歌词", !state.lyric_open));
  menu.push_back(TrayMenuItem::Command(commands::kLyricBarLock,
                                       state.lyric_bar_locked ? "解锁桌面歌词" : "锁定桌面歌词"));
  menu.push_back(TrayMenuItem::Separator());

  menu.push_back(TrayMenuItem::Command(commands::kSettings, "设置"));
  menu.push_back(TrayMenuItem::Command(commands::kEqualizer, "均衡器"));
  menu.push_back(TrayMenuItem::Command(commands::kWebSite, "访问官方网站"));
  menu.push_back(TrayMenuItem::Command(commands::kMySpace, "访问我的Zelbo空间"));
  menu.push_back(TrayMenuItem::Separator());
  menu.push_back(TrayMenuItem::Command(commands::kExit, "退出"));
  return menu;
}

std::string TrayMenuModel::Tip(const std::string& title) {
  return title.empty() ? std::string(kDefaultTip) : title;
}

}  // namespace quillo::ui
