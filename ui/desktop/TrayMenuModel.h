#pragma once
// The tray icon's menu ("托盘") and tip as plain data, built from the state the main window
// knows, so that the menu's captions, ids and checks are fixed in one place and tested without
// a display. Window thread.
#include <string>

#include "platform/desktop/TrayMenuItem.h"
#include "playback/PlayQueueMode.h"

namespace quillo::ui {

struct TrayMenuState {
  bool playing = false;                                      // shows "暂停" instead of "播放"
  playback::PlayMode mode = playback::PlayMode::kAllRepeat;  // PlayQueueMode::ForMenu
  bool lyric_open = true;                                    // "module.lyric.isopen" is not "false"
  bool lyric_mode_dialog = true;                             // "module.lyric.mode" is "dialog"
  bool lyric_bar_locked = false;                             // the desktop lyric bar is locked
};

class TrayMenuModel {
 public:
  static constexpr const char* kDefaultTip = "Zelbo音乐";

  // Command ids of the menu (the main window routes them).
  static constexpr int kPlay = 32849;
  static constexpr int kPause = 32850;
  static constexpr int kPrevious = 32851;
  static constexpr int kNext = 32852;
  static constexpr int kVolumeUp = 32855;
  static constexpr int kVolumeDown = 32856;
  static constexpr int kMute = 32857;
  static constexpr int kSettings = 32983;
  static constexpr int kWebSite = 32991;
  static constexpr int kMySpace = 32993;
  static constexpr int kLyricBar = 33034;
  static constexpr int kLyricDialog = 33036;
  static constexpr int kLyricClose = 33038;
  static constexpr int kLyricBarLock = 33055;
  static constexpr int kExit = 32848;

  static desktop::TrayMenu Build(const TrayMenuState& state);
  // The tip: the song title while one is loaded, else "Zelbo音乐".
  static std::string Tip(const std::string& title);
};

}  // namespace quillo::ui
