#include "ui/main/MainMenus.h"

#include "playback/PlayQueueMode.h"
#include "ui/main/MainIds.h"

namespace quillo::ui {

using namespace main_ids;
using window::MenuItem;

namespace {

MenuItem Item(std::string caption, int id, bool checked = false) {
  MenuItem item;
  item.caption = std::move(caption);
  item.id = id;
  item.checked = checked;
  return item;
}

MenuItem Submenu(std::string caption, std::vector<MenuItem> items) {
  MenuItem item;
  item.caption = std::move(caption);
  item.submenu = std::move(items);
  return item;
}

}  // namespace

std::vector<MenuItem> MainMenus::SystemMenu() {
  return {Item("播放", kCmdPlay),
          Item("暂停", kCmdPause),
          Item("播放上一首", kCmdPrevious),
          Item("播放下一首", kCmdNext),
          MenuItem::Separator(),
          Item("加大音量 (+10%)", kCmdVolumeUp),
          Item("减小音量 (-10%)", kCmdVolumeDown),
          Item("静音", kCmdMute),
          MenuItem::Separator(),
          Item("最小化到托盘", kCmdMinimizeToTray),
          Item("关闭程序", kCmdExit)};
}

std::vector<MenuItem> MainMenus::PlayModeMenu(const MainMenuState& state) {
  std::vector<MenuItem> items;
  for (const playback::PlayModeEntry& entry : playback::PlayQueueMode::Entries())
    items.push_back(Item(std::string(entry.caption), entry.command_id,
                         entry.command_id == state.play_mode_command));
  return items;
}

std::vector<MenuItem> MainMenus::LyricMenu(const MainMenuState& state) {
  const bool closed = state.lyric_open == "false";
  const bool dialog = state.lyric_mode == "dialog";
  return {Item("显示桌面歌词", kCmdLyricBar, !closed && !dialog),
          Item("显示经典歌词", kCmdLyricDialog, !closed && dialog),
          Item("关闭歌词", kCmdLyricClose, closed), MenuItem::Separator(),
          Item(state.lyric_bar_locked ? "解锁桌面歌词" : "锁定桌面歌词", kCmdLyricLock)};
}

std::vector<MenuItem> MainMenus::TrayMenu(const MainMenuState& state) {
  std::vector<MenuItem> items = {Item("播放", kCmdPlay),
                                 Item("暂停", kCmdPause),
                                 Item("播放上一首", kCmdPrevious),
                                 Item("播放下一首", kCmdNext),
                                 MenuItem::Separator(),
                                 Submenu("播放模式", PlayModeMenu(state)),
                                 Submenu("歌词", LyricMenu(state)),
                                 MenuItem::Separator(),
                                 Item("加大音量 (+10%)", kCmdVolumeUp),
                                 Item("减小音量 (-10%)", kCmdVolumeDown),
                                 Item("静音", kCmdMute),
                                 MenuItem::Separator(),
                                 Item("设置", kCmdSettings),
                                 Item("访问官方网站", kCmdWebSite),
                                 Item("访问我的Zelbo空间", kCmdMySpace),
                                 MenuItem::Separator(),
                                 Item("退出", kCmdExit)};
  return items;
}

std::vector<MenuItem> MainMenus::ImportMenu() {
  return {Item("添加本地歌曲", kCmdAddLocalSongs), Item("添加本地文件夹", kCmdAddLocalFolder)};
}

std::vector<MenuItem> MainMenus::SortMenu(const MainMenuState& state) {
  return {Item("按歌曲名", kCmdSortByName, state.sort_column == "name"),
          Item("按歌手名", kCmdSortByArtist, state.sort_column == "artist_name")};
}

}  // namespace quillo::ui
