#pragma once
// The tray icon's menu ("托盘") and tip as plain data, built from the state the main window
// knows, so that the menu's captions, ids and checks are fixed in one place and tested without
// a display. Its command ids are the shared ones of playback/MenuCommands.h, which the main
// window routes. Window thread.
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

  static desktop::TrayMenu Build(const TrayMenuState& state);
  // The tip: the song title while one is loaded, else "Zelbo音乐".
  static std::string Tip(const std::string& title);
};

}  // namespace quillo::ui
