#pragma once
// The music centre's frame beside the main window: 577 × 538, its left edge at the main
// window's right edge, its top at the main window's top, moving with it while attached. It
// holds two tabs — "乐库", the service's pages (ExternalDHTMLDlg), and "下载管理", the download
// manager — and the tool buttons "后退", "前进", "刷新" and "主页". When a page cannot load, the
// page area shows the network-error picture centred until the next navigation.
//
// Window thread only. Closing the frame hides it (the main window's close hook decides); it is
// made once and kept.
#include <functional>
#include <memory>
#include <string>

#include "ui/downloads/DownloadManagerDlg.h"
#include "ui/main/AttachedWindows.h"
#include "ui/toolkit/LayerDlg.h"
#include "web/ExternalDHTMLDlg.h"

namespace quillo::web {

// What the frame asks of the main window.
class ExternalFrameHost {
 public:
  virtual ~ExternalFrameHost() = default;
  virtual ui::LayerWnd* MainWindow() = 0;
  virtual void AttachWindow(ui::AttachableWindow& window) = 0;
  virtual void DetachWindow(ui::AttachableWindow& window) = 0;
  virtual void NoteMoveStart(ui::AttachableWindow& window, gfx::Point grab) = 0;
  virtual gfx::Rect OnAttachedMoving(ui::AttachableWindow& window, const gfx::Rect& proposed) = 0;
  // The user closed the frame (its close button): the main window closes the panel.
  virtual void CloseRequested() = 0;
};

class ExternalDlg : public ui::LayerDlg, public ui::AttachableWindow {
 public:
  static constexpr int kWidth = 577;
  static constexpr int kHeight = 538;
  // Tool and tab buttons.
  static constexpr int kBackButton = 3001;
  static constexpr int kForwardButton = 3002;
  static constexpr int kRefreshButton = 3003;
  static constexpr int kHomeButton = 3004;
  static constexpr int kMusicTab = 3005;
  static constexpr int kDownloadTab = 3006;
  static constexpr int kToolBand = 30;

  enum class Tab { kMusic, kDownloads };

  // The download tab's rows as a line ("download tab: 3 rows, 1 receiving, 2 stopped"),
  // reported whenever it changes while the tab shows, so that whoever watches the run sees the
  // downloads move.
  static std::string RowsSummary(const downloads::DownloadRows& rows);

  // Makes the download manager tab in the frame, over `area` (frame pixels), once the frame's
  // window exists.
  using TabFactory = std::function<std::unique_ptr<ui::DownloadManagerDlg>(
      ui::LayerWnd& frame, const gfx::Rect& area)>;

  ExternalDlg(ExternalFrameHost& host, store::DocumentStore& store,
              ExternalDHTMLDlg::Links links, TabFactory downloads_tab);
  ~ExternalDlg() override;

  // Creates the frame beside the main window (first call) and shows it, leaving the keyboard
  // where it is.
  bool Open();
  ExternalDHTMLDlg& pages() { return pages_; }
  void SelectTab(Tab tab);
  Tab tab() const { return tab_; }
  bool network_error_shown() const { return network_error_; }
  // The page area, window pixels.
  gfx::Rect PageArea() const;
  // The download tab's area: the page area's height, the frame's whole width (its columns need
  // it).
  gfx::Rect TabArea() const;
  ui::DownloadManagerDlg* downloads() const { return downloads_.get(); }

  // The frame's place for a main window at `main`: to its right, tops aligned.
  static gfx::Rect PlaceBeside(const gfx::Rect& main);

  // LayerWnd
  void InitLayer() override;
  void DrawBackground() override;
  void OnControlEvent(ui::LayerControl* control, int code) override;
  void OnClose() override;
  void OnDestroy() override;
  void OnMouseMove(const window::MouseEvent& e) override;
  void OnLButtonDown(const window::MouseEvent& e) override;
  void OnLButtonUp(const window::MouseEvent& e) override;
  void OnCaptureLost() override;
  void OnRButtonUp(const window::MouseEvent& e) override;
  void OnTimer(int timer_id) override;
  void OnMouseWheel(const window::MouseEvent& e, int delta_steps) override;

  // AttachableWindow
  gfx::Rect AttachedRect() const override { return WindowRect(); }
  void MoveAttachedTo(gfx::Point top_left) override;

 private:
  void ShowNetworkError(bool shown);
  void DrawTabMarks(gfx::Painter& painter);

  ExternalFrameHost& host_;
  ExternalDHTMLDlg pages_;
  TabFactory downloads_factory_;
  std::unique_ptr<ui::DownloadManagerDlg> downloads_;
  Tab tab_ = Tab::kMusic;
  bool network_error_ = false;
  bool attached_ = false;
  std::optional<gfx::Point> move_grab_;
  std::function<void(const std::string&)> report_;
  std::string last_summary_;
};

}  // namespace quillo::web
