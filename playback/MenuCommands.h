#pragma once
// The command ids of the menus that more than one part builds or routes: the main window's
// menus and accelerators, the tray menu, the song list's menu and the play-mode menus. The main
// window routes every one of them, whichever menu sent it; the ids never change.
namespace quillo::playback::menu_commands {

inline constexpr int kPlaySelected = 32773;  // "播放" on a song of the list
inline constexpr int kExit = 32848;
inline constexpr int kPlay = 32849;
inline constexpr int kPause = 32850;
inline constexpr int kPrevious = 32851;
inline constexpr int kNext = 32852;
inline constexpr int kVolumeUp = 32855;
inline constexpr int kVolumeDown = 32856;
inline constexpr int kMute = 32857;
inline constexpr int kSettings = 32983;
// "均衡器" in the tray menus: the equaliser window (an id of our own, outside the original ranges).
inline constexpr int kEqualizer = 33090;
inline constexpr int kWebSite = 32991;
inline constexpr int kMySpace = 32993;
inline constexpr int kLyricBar = 33034;
inline constexpr int kLyricDialog = 33036;
inline constexpr int kLyricClose = 33038;
inline constexpr int kMinimizeToTray = 33053;
inline constexpr int kLyricBarLock = 33055;

// Sorting the shown list.
inline constexpr int kSortByName = 32946;    // "按歌曲名"
inline constexpr int kSortByArtist = 32947;  // "按歌手名"

// The play modes, in menu order (PlayQueueMode).
inline constexpr int kModeSingleNoRepeat = 32938;
inline constexpr int kModeSingleRepeat = 32939;
inline constexpr int kModeAllNoRepeat = 32940;
inline constexpr int kModeAllRepeat = 32941;
inline constexpr int kModeRandom = 32942;
inline constexpr int kModeFirst = kModeSingleNoRepeat;
inline constexpr int kModeLast = kModeRandom;

}  // namespace quillo::playback::menu_commands
