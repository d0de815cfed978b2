#pragma once
// The main window's numbers: layer control ids, menu command ids, timer ids and the
// configuration keys it reads and writes. The ids are the ones the menus, the tray and other
// windows post, so they never change.
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
inline constexpr int kCmdPlaySelected = 32773;
inline constexpr int kCmdExit = 32848;
inline constexpr int kCmdPlay = 32849;
inline constexpr int kCmdPause = 32850;
inline constexpr int kCmdPrevious = 32851;
inline constexpr int kCmdNext = 32852;
inline constexpr int kCmdVolumeUp = 32855;
inline constexpr int kCmdVolumeDown = 32856;
inline constexpr int kCmdMute = 32857;
inline constexpr int kCmdSettings = 32983;
inline constexpr int kCmdWebSite = 32991;
inline constexpr int kCmdMySpace = 32993;
inline constexpr int kCmdLyricBar = 33034;
inline constexpr int kCmdLyricDialog = 33036;
inline constexpr int kCmdLyricClose = 33038;
inline constexpr int kCmdLyricLock = 33055;
inline constexpr int kCmdMinimizeToTray = 33053;
// The import commands of the "导入歌曲" menu (button 44).
inline constexpr int kCmdAddLocalSongs = 32952;
inline constexpr int kCmdAddLocalFolder = 32953;
// The play modes are 32938 … 32942 (PlayQueueMode); sorting the shown list by name / artist.
inline constexpr int kCmdModeFirst = 32938;
inline constexpr int kCmdModeLast = 32942;
inline constexpr int kCmdSortByName = 32946;
inline constexpr int kCmdSortByArtist = 32947;

// ---- Timers ---------------------------------------------------------------------------------
inline constexpr int kStatusTimer = 105;  // status line marquee
inline constexpr int kStatusTimerMs = 50;
inline constexpr int kFilterTimer = 106;  // one shot after the search text changed
inline constexpr int kFilterTimerMs = 200;
inline constexpr int kVolumeTimer = 107;  // pending volume
inline constexpr int kVolumeTimerMs = 1000;
inline constexpr int kPhoneTimer = 108;  // phone transfer animation
inline constexpr int kPhoneTimerMs = 100;
inline constexpr int kCaptionTimer = 2;  // the top parent's caption marquee
inline constexpr int kCaptionTimerMs = 400;
inline constexpr int kStatisticsTimer = 110;

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
