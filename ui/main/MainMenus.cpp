#include "ui/main/MainMenus.h"

#include "playback/PlayQueueMode.h"
#include "ui/main/MainIds.h"

namespace quillo::ui {

using namespace main_ids;
using window::MenuItem;

std::vector<MenuItem> MainMenus::SystemMenu() {
  return {MenuItem::Command("播放", kCmdPlay),
          MenuItem::Command("暂停", kCmdPause),
          MenuItem::Command("播放上一首", kCmdPrevious),
          MenuItem::Command("播放下一首", kCmdNext),
          MenuItem::Separator(),
          MenuItem::Command("加大音量 (+10%)", kCmdVolumeUp),
          MenuItem::Command("减小音量 (-10%)", kCmdVolumeDown),
          MenuItem::Command("静音", kCmdMute),
          MenuItem::Separator(),
          MenuItem::Command("最小化到托盘", kCmdMinimizeToTray),
          MenuItem::Command("关闭程序", kCmdExit)};
}

std::vector<MenuItem> MainMenus::PlayModeMenu(const MainMenuState& state) {
  std::vector<MenuItem> items;
  for (const playback::PlayModeEntry& entry : playback::PlayQueueMode::Entries())
    items.push_back(MenuItem::Command(std::string(entry.caption), entry.command_id, true,
                                      entry.command_id == state.play_mode_command));
  return items;
}

std::vector<MenuItem> MainMenus::LyricMenu(const MainMenuState& state) {
  const bool closed = state.lyric_open == "false";
  const bool dialog = state.lyric_mode == "dialog";
  return {
      MenuItem::Command("显示桌面歌词", kCmdLyricBar, true, !closed && !dialog),
      MenuItem::Command("显示经典歌词", kCmdLyricDialog, true, !closed && dialog),
      MenuItem::Command("关闭歌词", kCmdLyricClose, true, closed), MenuItem::Separator(),
      MenuItem::Command(state.lyric_bar_locked ? "解锁桌面歌词" : "锁定桌面歌词", kCmdLyricLock)};
}

std::vector<MenuItem> MainMenus::TrayMenu(const MainMenuState& state) {
  std::vector<MenuItem> items = {MenuItem::Command("播放", kCmdPlay),
                                 MenuItem::Command("暂停", kCmdPause),
                                 MenuItem::Command("播放上一首", kCmdPrevious),
                                 MenuItem::Command("播放下一首", kCmdNext),
                                 MenuItem::Separator(),
                                 MenuItem::Submenu("播放模式", PlayModeMenu(state)),
                                 MenuItem::Submenu("歌词", LyricMenu(state)),
                                 MenuItem::Separator(),
                                 MenuItem::Command("加大音量 (+10%)", kCmdVolumeUp),
                                 MenuItem::Command("减小音量 (-10%)", kCmdVolumeDown),
                                 MenuItem::Command("静音", kCmdMute),
                                 MenuItem::Separator(),
                                 MenuItem::Command("设置", kCmdSettings),
                                 MenuItem::Command("均衡器", kCmdEqualizer),
                                 MenuItem::Command("访问官方网站", kCmdWebSite),
                                 MenuItem::Command("访问我的Zelbo空间", kCmdMySpace),
                                 MenuItem::Separator(),
                                 MenuItem::Command("退出", kCmdExit)};
  return items;
}

std::vector<MenuItem> MainMenus::ImportMenu() {
  return {MenuItem::Command("添加本地歌曲", kCmdAddLocalSongs),
          MenuItem::Command("添加本地文件夹", kCmdAddLocalFolder)};
}

std::vector<MenuItem> MainMenus::SortMenu(const MainMenuState& state) {
  return {
      MenuItem::Command("按歌曲名", kCmdSortByName, true, state.sort_column == "name"),
      MenuItem::Command("按歌手名", kCmdSortByArtist, true, state.sort_column == "artist_name")};
}

}  // namespace quillo::ui
