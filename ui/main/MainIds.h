#pragma once
// The main window's numbers: layer control ids, menu command ids, timer ids and the
// configuration keys it reads and writes. The ids are the ones the menus, the tray and other
// windows post, so they never change.
#include "playback/MenuCommands.h"

namespace quillo::ui::main_ids {

// ---- Layer controls -------------------------------------------------------------------------
inline constexpr int kPrevious = 0;
inline constexpr int kPlay = 1;
inline constexpr int kPause = 2;
inline constexpr int kNext = 3;
inline constexpr int kMute = 4;
inline constexpr int kUnmute = 5;
inline constexpr int kMiniMinimize = 9;
inline constexpr int kNormalMode = 10;
inline constexpr int kClose = 11;
inline constexpr int kTrayMenu = 12;
inline constexpr int kSettings = 13;
inline constexpr int kMiniMode = 14;
inline constexpr int kMinimize = 15;
inline constexpr int kExtOpen = 16;
inline constexpr int kExtClose = 17;
inline constexpr int kColor = 18;
inline constexpr int kMusicFolder = 19;
inline constexpr int kLyricOpen = 20;
inline constexpr int kLyricClose = 21;
inline constexpr int kVolumeThumb = 22;
inline constexpr int kSeekThumb = 23;
inline constexpr int kPage0 = 24;
inline constexpr int kPage2 = 25;
inline constexpr int kPage3 = 26;
inline constexpr int kPanelOpen = 27;
inline constexpr int kPanelClose = 28;
inline constexpr int kListHeader1 = 29;
inline constexpr int kListHeader2 = 30;
inline constexpr int kUnfold = 31;
inline constexpr int kFold = 32;
inline constexpr int kVolumeOpen = 33;
inline constexpr int kVolumeClose = 34;
inline constexpr int kSongScrollUp = 35;
inline constexpr int kSongScrollDown = 36;
inline constexpr int kSongScrollThumb = 37;
inline constexpr int kPanelScrollUp = 38;
inline constexpr int kPanelScrollDown = 39;
inline constexpr int kPanelScrollThumb = 40;
inline constexpr int kLogin = 41;
inline constexpr int kRegister = 42;
inline constexpr int kLogout = 43;
inline constexpr int kImport = 44;
inline constexpr int kImport2 = 45;
inline constexpr int kPlayMode = 46;
inline constexpr int kSort = 47;
inline constexpr int kSort2 = 48;
inline constexpr int kAddTo = 49;
inline constexpr int kNewBatch = 50;
inline constexpr int kSearchBox = 52;
inline constexpr int kPhoneFiles = 55;
inline constexpr int kPanelToggle1 = 56;
inline constexpr int kPanelToggle2 = 57;

// ---- Menu and accelerator commands ----------------------------------------------------------
// Those other menus send too are defined in playback/MenuCommands.h; these names are the
// window's own for them.
inline constexpr int kCmdPlaySelected = playback::menu_commands::kPlaySelected;
inline constexpr int kCmdExit = playback::menu_commands::kExit;
inline constexpr int kCmdPlay = playback::menu_commands::kPlay;
inline constexpr int kCmdPause = playback::menu_commands::kPause;
inline constexpr int kCmdPrevious = playback::menu_commands::kPrevious;
inline constexpr int kCmdNext = playback::menu_commands::kNext;
inline constexpr int kCmdVolumeUp = playback::menu_commands::kVolumeUp;
inline constexpr int kCmdVolumeDown = playback::menu_commands::kVolumeDown;
inline constexpr int kCmdMute = playback::menu_commands::kMute;
inline constexpr int kCmdSettings = playback::menu_commands::kSettings;
inline constexpr int kCmdEqualizer = playback::menu_commands::kEqualizer;
inline constexpr int kCmdWebSite = playback::menu_commands::kWebSite;
inline constexpr int kCmdMySpace = playback::menu_commands::kMySpace;
inline constexpr int kCmdLyricBar = playback::menu_commands::kLyricBar;
inline constexpr int kCmdLyricDialog = playback::menu_commands::kLyricDialog;
inline constexpr int kCmdLyricClose = playback::menu_commands::kLyricClose;
inline constexpr int kCmdLyricLock = playback::menu_commands::kLyricBarLock;
inline constexpr int kCmdMinimizeToTray = playback::menu_commands::kMinimizeToTray;
// The import commands of the "导入歌曲" menu (button 44).
inline constexpr int kCmdAddLocalSongs = 32952;
inline constexpr int kCmdAddLocalFolder = 32953;
// The play modes (PlayQueueMode); sorting the shown list by name / artist.
inline constexpr int kCmdModeFirst = playback::menu_commands::kModeFirst;
inline constexpr int kCmdModeLast = playback::menu_commands::kModeLast;
inline constexpr int kCmdSortByName = playback::menu_commands::kSortByName;
inline constexpr int kCmdSortByArtist = playback::menu_commands::kSortByArtist;

// ---- Timers ---------------------------------------------------------------------------------
// The search box's (106) and the statistics report's (110) are their owners' own timers
// (lists::FilterEdit, service::CStatBtnClick).
inline constexpr int kStatusTimerMs = 50;    // status line marquee (timer 105)
inline constexpr int kVolumeTimerMs = 1000;  // pending volume (timer 107)
inline constexpr int kPhoneTimerMs = 100;    // phone transfer animation (timer 108)
inline constexpr int kCaptionTimerMs = 400;  // the top parent's caption marquee (timer 2)

}  // namespace quillo::ui::main_ids

namespace quillo::ui::main_keys {
inline constexpr const char* kMode = "sorvel.client.mode";
inline constexpr const char* kNormalRect = "mainwnd";
inline constexpr const char* kMiniRect = "mainwnd_mini";
inline constexpr const char* kMinimalType = "sorvel.minimal.type";
inline constexpr const char* kLyricOpen = "module.lyric.isopen";
inline constexpr const char* kLyricMode = "module.lyric.mode";
inline constexpr const char* kExtOpen = "module.ext.isopen";
inline constexpr const char* kVolume = "module.music.volume";
inline constexpr const char* kMute = "module.music.mute";
inline constexpr const char* kPlayMode = "module.music.play_mode";
inline constexpr const char* kDeviceMinimized = "module.device.is_minimized";
}  // namespace quillo::ui::main_keys
