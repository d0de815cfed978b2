#pragma once
// What the two lyric views (the lyric window and the desktop lyric bar) ask of the main window
// and the program around them. The main window's lyric-view owner implements it; tests pass a
// recording fake. Window thread only.
//
// A view may call any of these from inside its own event handlers: the implementation never
// destroys the calling view before that handler has returned (views it closes are released on
// a later loop turn).
#include <string>

#include "platform/gfx/Geometry.h"

namespace quillo::ui {

class AttachableWindow;
class LayerWnd;

class LyricViewHost {
 public:
  virtual ~LyricViewHost() = default;

  // The main window: where a lyric window without a saved rectangle is placed (below it, as
  // wide), and the owner of the views' prompts. Null when there is none (tests).
  virtual LayerWnd* MainWindow() = 0;

  // The main window's attached windows, for the lyric window.
  virtual void AttachWindow(AttachableWindow& window) = 0;
  virtual void DetachWindow(AttachableWindow& window) = 0;
  // The pointer grabbed the window at `grab` (its own coordinates); a move may start.
  virtual void NoteMoveStart(AttachableWindow& window, gfx::Point grab) = 0;
  // The user drags the window to `proposed` (screen): the rectangle it should take (snapped).
  virtual gfx::Rect OnAttachedMoving(AttachableWindow& window, const gfx::Rect& proposed) = 0;

  // Closes both views and remembers them closed ("module.lyric.isopen" = "false"); the main
  // window's lyric buttons follow.
  virtual void CloseLyricViews() = 0;
  // Opens (true) or closes (false) one view; used by the views' switch buttons, which also set
  // "module.lyric.mode" themselves.
  virtual void ShowLyricWindow(bool show) = 0;
  virtual void ShowLyricBar(bool show) = 0;

  // The bar was locked or unlocked from its own button: the main window's menu caption and the
  // tray notice follow. Locking asks for the notice titled "Zelbo音乐提示您" with the text
  // "右键单击此图标选择解锁".
  virtual void OnBarLockChanged(bool locked) = 0;

  // The error report dialog over `over`, sending through the lyric analyzer.
  virtual void OpenLyricErrorReport(LayerWnd& over) = 0;
  // The settings dialog at a page (14 the desktop lyric page, 15 the lyric window page); does
  // nothing while the program has no settings dialog.
  virtual void ShowSettingsPage(int page) = 0;
  // The upload window for the song playing (its id and "title - artist" text); hosts without
  // one do nothing.
  virtual void ShowUploadWindow(const std::string& /*music_id*/,
                                const std::string& /*display_text*/) {}

  // The service's base URL ending with '/', "" while unknown; and the default browser.
  virtual std::string ServiceBaseUrl() = 0;
  virtual void OpenInBrowser(const std::string& url) = 0;
};

}  // namespace quillo::ui
