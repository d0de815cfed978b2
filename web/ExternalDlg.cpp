#include "web/ExternalDlg.h"

#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/SkinManager.h"

namespace quillo::web {
namespace {

constexpr int kToolTop = ui::LayerDlg::kMarginTop + 4;
constexpr int kToolHeight = 22;

struct ToolButton {
  int id;
  const char* caption;
  const char* tooltip;
  int x;
  int width;
};

// Navigation on the left, the two tabs on the right.
constexpr ToolButton kToolButtons[] = {
    {ExternalDlg::kBackButton, "后退", "后退", 10, 44},
    {ExternalDlg::kForwardButton, "前进", "前进", 58, 44},
    {ExternalDlg::kRefreshButton, "刷新", "刷新", 106, 44},
    {ExternalDlg::kHomeButton, "主页", "主页", 154, 44},
    {ExternalDlg::kMusicTab, "乐库", "打开音乐中心", ExternalDlg::kWidth - 160, 60},
    {ExternalDlg::kDownloadTab, "下载管理", "打开下载管理", ExternalDlg::kWidth - 96, 86},
};

}  // namespace

ExternalDlg::ExternalDlg(ExternalFrameHost& host, store::DocumentStore& store,
                         ExternalDHTMLDlg::Links links, TabFactory downloads_tab)
    : host_(host),
      pages_(store,
             [this, links]() mutable {
               auto failed = links.navigation_failed;
               links.navigation_failed = [this, failed](bool shown) {
                 ShowNetworkError(shown);
                 if (failed) failed(shown);
               };
               return links;
             }()),
      downloads_factory_(std::move(downloads_tab)),
      report_(links.report) {
  SetTitle("音乐中心");
}

ExternalDlg::~ExternalDlg() { Destroy(); }

gfx::Rect ExternalDlg::PlaceBeside(const gfx::Rect& main) {
  return gfx::Rect::FromXYWH(main.right, main.top, kWidth, kHeight);
}

gfx::Rect ExternalDlg::TabArea() const {
  const gfx::Rect page = PageArea();
  return gfx::Rect{1, page.top, ClientSize().width, page.bottom};
}

gfx::Rect ExternalDlg::PageArea() const {
  const gfx::Size s = ClientSize();
  return gfx::Rect{kMarginLeft, kMarginTop + kToolBand, s.width - kMarginRight,
                   s.height - kMarginBottom};
}

// The panel shows beside the main window without taking the keyboard from it: it opens at
// start-up and from the main window's own controls, whose user goes on typing there.
bool ExternalDlg::Open() {
  if (!IsCreated()) {
    ui::LayerWnd* main = host_.MainWindow();
    const gfx::Rect at = main ? PlaceBeside(main->WindowRect())
                              : gfx::Rect::FromXYWH(0, 0, kWidth, kHeight);
    SetShowCommand(ui::ShowCommand::kShowNoActivate);
    if (!Create(at, main, window::WindowKind::kDialog)) return false;
    host_.AttachWindow(*this);
    attached_ = true;
  }
  Show(false);
  return true;
}

void ExternalDlg::InitLayer() {
  ui::LayerDlg::InitLayer();
  for (const ToolButton& b : kToolButtons) {
    AddTextButton(gfx::Rect::FromXYWH(b.x, kToolTop, b.width, kToolHeight), b.caption, b.id,
                  b.tooltip);
  }
  // The page lives inside the frame's own window, under the tool band.
  pages_.CreateInside(*this, PageArea());
  pages_.StartPages();
  if (downloads_factory_) {
    downloads_ = downloads_factory_(*this, TabArea());
    if (downloads_) downloads_->Show(false);
  }
  tab_ = Tab::kMusic;
}

void ExternalDlg::DrawBackground() {
  ui::LayerDlg::DrawBackground();
  gfx::Painter painter(back_buffer());
  DrawTabMarks(painter);
  if (downloads_) downloads_->DrawBackground(painter);
  if (network_error_ && tab_ == Tab::kMusic) {
    if (const gfx::Surface* picture =
            ui::SkinManager::Instance().Image(skin::kNetworkError, false)) {
      const gfx::Rect area = PageArea();
      const int w = skin::network_error::kWidth;
      const int h = skin::network_error::kHeight;
      painter.DrawImage(*picture, gfx::Rect{0, 0, w, h},
                        gfx::Point{area.left + (area.width() - w) / 2,
                                   area.top + (area.height() - h) / 2});
    }
  }
}

// The chosen tab is underlined in the title's colour.
void ExternalDlg::DrawTabMarks(gfx::Painter& painter) {
  const int chosen = tab_ == Tab::kMusic ? kMusicTab : kDownloadTab;
  for (const ToolButton& b : kToolButtons) {
    if (b.id != chosen) continue;
    painter.FillRect(gfx::Rect::FromXYWH(b.x + 2, kToolTop + kToolHeight + 1, b.width - 4, 2),
                     SkinColor(skin::kit::kTitleTextPixel));
  }
}

void ExternalDlg::SelectTab(Tab tab) {
  tab_ = tab;
  if (!IsCreated()) return;
  const bool music = tab == Tab::kMusic;
  if (pages_.view()) pages_.view()->SetVisible(music && !network_error_);
  if (downloads_) downloads_->Show(!music);
  for (int id : {kBackButton, kForwardButton, kRefreshButton, kHomeButton}) ShowControl(id, music);
  DrawAll();
  UpdateIfDirty();
}

void ExternalDlg::ShowNetworkError(bool shown) {
  network_error_ = shown;
  if (!IsCreated()) return;
  DrawAll();
  UpdateIfDirty();
}

void ExternalDlg::OnControlEvent(ui::LayerControl* control, int code) {
  if (downloads_ && downloads_->OnControlEvent(control, code)) return;
  if (control == nullptr) return;
  switch (code) {
    case kBackButton:
      pages_.GoBack();
      return;
    case kForwardButton:
      pages_.GoForward();
      return;
    case kRefreshButton:
      pages_.Refresh();
      return;
    case kHomeButton:
      pages_.GoHome();
      return;
    case kMusicTab:
      SelectTab(Tab::kMusic);
      return;
    case kDownloadTab:
      SelectTab(Tab::kDownloads);
      return;
    default:
      ui::LayerDlg::OnControlEvent(control, code);
  }
}

void ExternalDlg::OnClose() { host_.CloseRequested(); }

void ExternalDlg::OnDestroy() {
  if (attached_) host_.DetachWindow(*this);
  attached_ = false;
  downloads_.reset();
  ui::LayerDlg::OnDestroy();
}

void ExternalDlg::MoveAttachedTo(gfx::Point top_left) {
  const gfx::Rect r = WindowRect();
  SetWindowRect(gfx::Rect::FromXYWH(top_left.x, top_left.y, r.width(), r.height()));
}

// The frame moves with the pointer here rather than by the window manager, so that the main
// window can snap it at every step.
void ExternalDlg::OnLButtonDown(const window::MouseEvent& e) {
  const bool in_title = e.pos.y < kMarginTop;
  bool on_control = false;
  for (const auto& control : controls()) {
    if (!control->hidden && control->bounds.Contains(e.pos)) on_control = true;
  }
  if (in_title && !on_control) {
    move_grab_ = e.pos;
    host_.NoteMoveStart(*this, e.pos);
    return;
  }
  if (downloads_ && downloads_->OnLButtonDown(e)) return;
  ui::LayerDlg::OnLButtonDown(e);
}

void ExternalDlg::OnMouseMove(const window::MouseEvent& e) {
  if (move_grab_) {
    if (!e.left_held) {
      move_grab_.reset();
      return;
    }
    const gfx::Rect r = WindowRect();
    const gfx::Rect proposed = gfx::Rect::FromXYWH(e.screen.x - move_grab_->x,
                                                   e.screen.y - move_grab_->y, r.width(),
                                                   r.height());
    const gfx::Rect snapped = host_.OnAttachedMoving(*this, proposed);
    if (snapped != r) SetWindowRect(snapped);
    return;
  }
  if (downloads_ && downloads_->OnMouseMove(e)) return;
  ui::LayerDlg::OnMouseMove(e);
}

void ExternalDlg::OnLButtonUp(const window::MouseEvent& e) {
  move_grab_.reset();
  if (downloads_ && downloads_->OnLButtonUp(e)) return;
  ui::LayerDlg::OnLButtonUp(e);
}

std::string ExternalDlg::RowsSummary(const downloads::DownloadRows& rows) {
  static constexpr const char* kNames[] = {"failed",  "finished", "receiving",
                                           "started", "stopped",  "waiting"};
  int counts[6] = {};
  for (const downloads::DownloadRow& row : rows.rows()) {
    const int state = static_cast<int>(row.state);
    if (state >= 0 && state < 6) ++counts[state];
  }
  std::string line = "download tab: " + std::to_string(rows.size()) + " rows";
  for (int state = 0; state < 6; ++state) {
    if (counts[state] > 0) line += ", " + std::to_string(counts[state]) + " " + kNames[state];
  }
  return line;
}

void ExternalDlg::OnTimer(int timer_id) {
  ui::LayerDlg::OnTimer(timer_id);
  if (timer_id != ui::kLayerTimerId || !downloads_ || !downloads_->IsShown()) return;
  std::string summary = RowsSummary(downloads_->rows());
  if (summary == last_summary_) return;
  last_summary_ = std::move(summary);
  if (report_) report_(last_summary_);
}

void ExternalDlg::OnRButtonUp(const window::MouseEvent& e) {
  if (downloads_ && downloads_->OnRButtonUp(e)) return;
  ui::LayerDlg::OnRButtonUp(e);
}

void ExternalDlg::OnMouseWheel(const window::MouseEvent& e, int delta_steps) {
  if (downloads_ && downloads_->OnMouseWheel(e, delta_steps)) return;
  ui::LayerDlg::OnMouseWheel(e, delta_steps);
}

void ExternalDlg::OnCaptureLost() {
  move_grab_.reset();
  ui::LayerDlg::OnCaptureLost();
}

}  // namespace quillo::web
