#include "ui/desktop/TrayMenuModel.h"

namespace quillo::ui {

using desktop::TrayMenu;
using desktop::TrayMenuItem;

TrayMenu TrayMenuModel::Build(const TrayMenuState& state) {
  TrayMenu menu;
  // One of the pair, as the main window shows one of its play and pause buttons.
  if (state.playing) {
    menu.push_back(TrayMenuItem::Command(kPause, "暂停"));
  } else {
    menu.push_back(TrayMenuItem::Command(kPlay, "播放"));
  }
  menu.push_back(TrayMenuItem::Command(kPrevious, "播放上一首"));
  menu.push_back(TrayMenuItem::Command(kNext, "播放下一首"));
  menu.push_back(TrayMenuItem::Separator());

  TrayMenu modes;
  for (const auto& entry : playback::PlayQueueMode::Entries()) {
    modes.push_back(TrayMenuItem::Radio(entry.command_id, std::string(entry.caption),
                                        entry.mode == state.mode));
  }
  menu.push_back(
      TrayMenuItem::Submenu(std::string(playback::PlayQueueMode::kMenuTitle), std::move(modes)));
  menu.push_back(TrayMenuItem::Command(kVolumeUp, "加大音量 (+10%)"));
  menu.push_back(TrayMenuItem::Command(kVolumeDown, "减小音量 (-10%)"));
  menu.push_back(TrayMenuItem::Command(kMute, "静音"));
  menu.push_back(TrayMenuItem::Separator());

  menu.push_back(
      TrayMenuItem::Radio(kLyricBar, "显示桌面歌词", state.lyric_open && !state.lyric_mode_dialog));
  menu.push_back(TrayMenuItem::Radio(kLyricDialog, "显示经典歌词",
                                     state.lyric_open && state.lyric_mode_dialog));
  menu.push_back(TrayMenuItem::Radio(kLyricClose, "关闭歌词", !state.lyric_open));
  menu.push_back(TrayMenuItem::Command(kLyricBarLock,
                                       state.lyric_bar_locked ? "解锁桌面歌词" : "锁定桌面歌词"));
  menu.push_back(TrayMenuItem::Separator());

  menu.push_back(TrayMenuItem::Command(kSettings, "设置"));
  menu.push_back(TrayMenuItem::Command(kWebSite, "访问官方网站"));
  menu.push_back(TrayMenuItem::Command(kMySpace, "访问我的Zelbo空间"));
  menu.push_back(TrayMenuItem::Separator());
  menu.push_back(TrayMenuItem::Command(kExit, "退出"));
  return menu;
}

std::string TrayMenuModel::Tip(const std::string& title) {
  return title.empty() ? std::string(kDefaultTip) : title;
}

}  // namespace quillo::ui
