#pragma once
// The "下载管理" tab of the music centre: the download list (DownloadManagerView) under its
// column header, and the buttons "启动下载", "停止下载" and "删除文件". The tab is not a window of
// its own: it lives in an area of a frame window (a LayerWnd owned by someone else), adds its
// controls to the frame and draws into the frame's back buffer. The frame's own handling of its
// controls gives the list its presses, double-clicks and selection and raises the buttons' and
// header's layer events; the frame forwards to the tab the few things only the frame hears:
//
//   frame.DrawBackground()          → tab.DrawBackground(painter)   (after the frame's own)
//   frame.OnControlEvent(c, code)   → if (tab.OnControlEvent(c, code)) return;
//   frame.OnRButtonUp(e)            → if (tab.OnRButtonUp(e)) return;
//   frame.OnMouseWheel(e, steps)    → if (tab.OnMouseWheel(e, steps)) return;
//   frame.OnLButtonDown(e), OnMouseMove(e), OnLButtonUp(e)
//                                   → if (tab.OnLButtonDown(e)) return;  (and so on)
//   frame.OnSize / tab switch       → tab.SetArea(rect), tab.Show(bool)
//
// While shown the tab refreshes its rows every kRefreshPeriod (texts and speeds move while
// songs download) and rebuilds them when the store's lists changed. Hidden, it does nothing
// and its controls are hidden.
//
// Window thread only. The frame and everything in Deps outlive the tab (a member of the frame
// is fine: the frame's destructor body still counts). When the tab goes its controls stay in
// the frame, hidden and inert.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "downloads/DownloadRows.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Painter.h"
#include "platform/loop/Timer.h"
#include "platform/window/WindowEvents.h"

namespace quillo::downloads {
class DownloadManager;
}
namespace quillo::store {
class StoreRuntime;
}

namespace quillo::ui {

class LayerWnd;
struct LayerControl;
class DownloadManagerView;

class DownloadManagerDlg {
 public:
  // Control ids the tab adds to the frame: kControlIdBase + command, where the commands are the
  // buttons 0 "启动下载", 1 "停止下载", 2 "删除文件" and the header columns 5–9; the list is
  // kListControlId. The frame's own controls must use other ids.
  static constexpr int kControlIdBase = 4600;
  static constexpr int kStartButton = 0;
  static constexpr int kStopButton = 1;
  static constexpr int kDeleteButton = 2;
  static constexpr int kListControlId = kControlIdBase + 20;
  // The row menu "下载控制".
  static constexpr const char* kMenuName = "下载控制";
  static constexpr int kMenuStart = 33056;
  static constexpr int kMenuStop = 33057;
  static constexpr int kMenuDelete = 33060;

  static constexpr std::chrono::milliseconds kRefreshPeriod{500};
  // The header band above the list and the button band below it, in pixels.
  static constexpr int kHeaderHeight = 22;
  static constexpr int kButtonBandHeight = 36;

  struct Deps {
    store::StoreRuntime& runtime;
    downloads::DownloadManager& manager;
    // Deletes songs from the library and sends the deletion to the service (the library-delete
    // command of the playlist synchronisation).
    std::function<void(const std::vector<std::string>& music_ids)> delete_songs;
    // A yes/no question; unset: the program's ConfirmBox over the frame.
    std::function<bool(const std::string& question)> confirm = {};
    // Steady milliseconds for the speed samples; unset: the steady clock.
    std::function<std::int64_t()> clock = {};
  };

  // Adds the tab's controls to the frame, hidden. The columns and the scroll strip need an area
  // 576 pixels wide to show whole; a narrower one cuts the last column. The frame may or may not be
  // created yet (the frame's InitLayer is a good place); `area` is in the frame's window pixels.
  DownloadManagerDlg(LayerWnd& frame, gfx::Rect area, Deps deps);
  ~DownloadManagerDlg();
  DownloadManagerDlg(const DownloadManagerDlg&) = delete;
  DownloadManagerDlg& operator=(const DownloadManagerDlg&) = delete;

  // Shows the tab (rows rebuilt from the store, refresh timer running, controls shown, drawn) or
  // hides it (timer stopped, controls hidden; the frame redraws its own background there).
  void Show(bool shown);
  bool IsShown() const { return shown_; }
  // Moves the tab to another area of the frame (the frame was resized); redraws when shown.
  void SetArea(gfx::Rect area);
  const gfx::Rect& area() const { return area_; }

  // ---- Forwarded by the frame (each answers whether the tab took it) --------------------------
  // Draws the tab's header, list background and scroll strip; nothing while hidden.
  void DrawBackground(gfx::Painter& painter);
  // The layer event of one of the tab's controls: a button or a header column.
  bool OnControlEvent(LayerControl* control, int code);
  // A right click on the list: the row under the pointer joins the selection, then the menu.
  bool OnRButtonUp(const window::MouseEvent& e);
  // The wheel over the list scrolls it.
  bool OnMouseWheel(const window::MouseEvent& e, int delta_steps);
  // The list's scroll strip: a press on the thumb drags it until the button comes up, a press
  // above or below it scrolls by a page. Other presses are the frame's (its controls select rows
  // and raise the buttons' events).
  bool OnLButtonDown(const window::MouseEvent& e);
  bool OnMouseMove(const window::MouseEvent& e);
  bool OnLButtonUp(const window::MouseEvent& e);

  // ---- For the frame's owner and tests ----------------------------------------------------------
  // One refresh now, as the timer does: rebuild when the store changed, follow the downloads,
  // redraw the list.
  void Tick();
  // A menu command (33056, 33057, 33060) on the selected rows, as the row menu chooses it.
  void OnMenuCommand(int id);
  downloads::DownloadRows& rows() { return rows_; }
  DownloadManagerView& view() { return *view_; }
  // Where the tab's pieces are, in the frame's window pixels.
  gfx::Rect HeaderRect() const;
  gfx::Rect ListRect() const;
  gfx::Rect ColumnRect(int column) const;  // header cell of column 5–9
  gfx::Rect ButtonRect(int button) const;  // 0–2

 private:
  void AddControls();
  void PlaceControls();
  void ShowControls(bool shown);
  // Redraws the header, list and scroll strip into the frame and pushes it.
  void Redraw();
  void DrawHeader(gfx::Painter& painter);
  bool Confirm(const std::string& question);

  LayerWnd& frame_;
  gfx::Rect area_;
  Deps deps_;
  downloads::DownloadRows rows_;
  std::unique_ptr<DownloadManagerView> view_;
  bool shown_ = false;
  // While the thumb is dragged: the cursor's height over the thumb's top.
  std::optional<int> thumb_grab_;
  // Expires with the tab: a menu that answers after the tab went does nothing.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
  // Declared last, so it stops first: no tick reaches a tab that is going.
  loop::Timer refresh_timer_;
};

}  // namespace quillo::ui
