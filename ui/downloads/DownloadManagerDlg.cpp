#include "ui/downloads/DownloadManagerDlg.h"

#include <algorithm>
#include <utility>

#include "downloads/DownloadRows.h"
#include "platform/gfx/Font.h"
#include "platform/window/MenuItem.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/downloads/DownloadManagerView.h"
#include "ui/toolkit/LayerControl.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {
namespace {

using downloads::DownloadRows;

constexpr const char* kButtonTexts[] = {"启动下载", "停止下载", "删除文件"};
constexpr const char* kColumnTitles[] = {"", "文件名", "大小", "完成度", "速度"};
constexpr int kButtonWidth = 76;
constexpr int kButtonHeight = 22;
constexpr int kButtonGap = 8;

downloads::DownloadRows::Hooks RowHooks(DownloadManagerDlg::Deps& deps,
                                        std::function<bool(const std::string&)> confirm) {
  DownloadRows::Hooks hooks;
  hooks.delete_songs = deps.delete_songs;
  hooks.confirm = std::move(confirm);
  hooks.clock = deps.clock;
  return hooks;
}

}  // namespace

DownloadManagerDlg::DownloadManagerDlg(LayerWnd& frame, gfx::Rect area, Deps deps)
    : frame_(frame),
      area_(area),
      deps_(std::move(deps)),
      rows_(deps_.runtime, deps_.manager,
            RowHooks(deps_, [this](const std::string& question) { return Confirm(question); })),
      view_(std::make_unique<DownloadManagerView>(frame, ListRect(), rows_)) {
  AddControls();
}

DownloadManagerDlg::~DownloadManagerDlg() {
  refresh_timer_.Stop();
  // The controls stay in the frame; hidden and without the list, they no longer reach the tab.
  ShowControls(false);
  if (LayerControl* c = frame_.FindControl(kListControlId)) c->list = nullptr;
}

gfx::Rect DownloadManagerDlg::HeaderRect() const {
  return gfx::Rect{area_.left, area_.top, area_.right, area_.top + kHeaderHeight};
}

gfx::Rect DownloadManagerDlg::ListRect() const {
  return gfx::Rect{area_.left, area_.top + kHeaderHeight, area_.right,
                   std::max(area_.top + kHeaderHeight, area_.bottom - kButtonBandHeight)};
}

gfx::Rect DownloadManagerDlg::ColumnRect(int column) const {
  auto [from, to] = DownloadManagerView::ColumnSpan(column);
  const gfx::Rect header = HeaderRect();
  return gfx::Rect{header.left + from, header.top, std::min(header.left + to, header.right),
                   header.bottom};
}

gfx::Rect DownloadManagerDlg::ButtonRect(int button) const {
  const int top = area_.bottom - kButtonBandHeight + (kButtonBandHeight - kButtonHeight) / 2;
  const int left = area_.left + kButtonGap + button * (kButtonWidth + kButtonGap);
  return gfx::Rect::FromXYWH(left, top, kButtonWidth, kButtonHeight);
}

void DownloadManagerDlg::AddControls() {
  for (int column = DownloadRows::kStateColumn; column <= DownloadRows::kSpeedColumn; ++column) {
    // The header cells are drawn with the tab's background; the controls only take the clicks.
    frame_.AddButton(ColumnRect(column), {}, {}, {}, kControlIdBase + column, {}, true);
  }
  frame_.AddList(*view_, kListControlId).hidden = true;
  for (int button = kStartButton; button <= kDeleteButton; ++button) {
    frame_.AddTextButton(ButtonRect(button), kButtonTexts[button], kControlIdBase + button).hidden =
        true;
  }
}

void DownloadManagerDlg::PlaceControls() {
  for (int column = DownloadRows::kStateColumn; column <= DownloadRows::kSpeedColumn; ++column) {
    if (LayerControl* c = frame_.FindControl(kControlIdBase + column))
      c->bounds = ColumnRect(column);
  }
  view_->SetBounds(ListRect());
  if (LayerControl* c = frame_.FindControl(kListControlId)) c->bounds = ListRect();
  for (int button = kStartButton; button <= kDeleteButton; ++button) {
    if (LayerControl* c = frame_.FindControl(kControlIdBase + button))
      c->bounds = ButtonRect(button);
  }
}

void DownloadManagerDlg::ShowControls(bool shown) {
  for (int column = DownloadRows::kStateColumn; column <= DownloadRows::kSpeedColumn; ++column) {
    if (LayerControl* c = frame_.FindControl(kControlIdBase + column)) c->hidden = !shown;
  }
  if (LayerControl* c = frame_.FindControl(kListControlId)) c->hidden = !shown;
  for (int button = kStartButton; button <= kDeleteButton; ++button) {
    if (LayerControl* c = frame_.FindControl(kControlIdBase + button)) c->hidden = !shown;
  }
}

void DownloadManagerDlg::Show(bool shown) {
  shown_ = shown;
  ShowControls(shown);
  if (shown) {
    rows_.Rebuild();
    rows_.Refresh();
    view_->Relayout();
    refresh_timer_.Start(kRefreshPeriod, [this] { Tick(); });
  } else {
    refresh_timer_.Stop();
    thumb_grab_.reset();
  }
  if (frame_.IsCreated()) {
    frame_.DrawAll();
    frame_.UpdateIfDirty();
  }
}

void DownloadManagerDlg::SetArea(gfx::Rect area) {
  area_ = area;
  PlaceControls();
  view_->Relayout();
  if (shown_ && frame_.IsCreated()) {
    frame_.DrawAll();
    frame_.UpdateIfDirty();
  }
}

void DownloadManagerDlg::Tick() {
  if (!shown_) return;
  rows_.RebuildIfChanged();
  rows_.Refresh();
  Redraw();
}

void DownloadManagerDlg::Redraw() {
  if (!shown_ || !frame_.IsCreated()) return;
  view_->Redraw();
  frame_.UpdateIfDirty();
}

void DownloadManagerDlg::DrawBackground(gfx::Painter& painter) {
  if (!shown_) return;
  const DownloadManagerView::Colors& c = DownloadManagerView::colors();
  painter.FillRectSource(ListRect(), c.row_even);
  DrawHeader(painter);
  const gfx::Rect band{area_.left, ListRect().bottom, area_.right, area_.bottom};
  painter.FillRectSource(band, gfx::Color::Rgb(236, 240, 245));
  painter.FillRect(gfx::Rect{band.left, band.top, band.right, band.top + 1},
                   gfx::Color::Rgb(190, 200, 214));
}

void DownloadManagerDlg::DrawHeader(gfx::Painter& painter) {
  const gfx::Rect header = HeaderRect();
  const gfx::Color line = gfx::Color::Rgb(190, 200, 214);
  const gfx::Color text = gfx::Color::Rgb(40, 48, 60);
  // Two bands for a gentle shade, a line under them, a separator after each column.
  const int middle = header.top + header.height() / 2;
  painter.FillRectSource(gfx::Rect{header.left, header.top, header.right, middle},
                         gfx::Color::Rgb(248, 250, 252));
  painter.FillRectSource(gfx::Rect{header.left, middle, header.right, header.bottom},
                         gfx::Color::Rgb(234, 239, 245));
  painter.FillRect(gfx::Rect{header.left, header.bottom - 1, header.right, header.bottom}, line);
  const gfx::Font font = gfx::Font::Points("宋体", 9);
  for (int column = DownloadRows::kStateColumn; column <= DownloadRows::kSpeedColumn; ++column) {
    const gfx::Rect cell = ColumnRect(column);
    painter.FillRect(gfx::Rect{cell.right - 1, cell.top + 3, cell.right, cell.bottom - 3}, line);
    gfx::TextOptions options;
    options.vertical_center = true;
    options.align = gfx::TextAlign::kCenter;
    painter.DrawText(kColumnTitles[column - DownloadRows::kStateColumn], font, text, cell, options);
    if (column != rows_.sort_column()) continue;
    // The sort direction: a small triangle at the cell's right, pointing up when ascending.
    const int x = cell.right - 12;
    const int y = cell.top + cell.height() / 2 - 2;
    for (int step = 0; step < 4; ++step) {
      const int row = rows_.ascending() ? y + step : y + 3 - step;
      painter.FillRect(gfx::Rect{x + 3 - step, row, x + 4 + step, row + 1}, text);
    }
  }
}

bool DownloadManagerDlg::OnControlEvent(LayerControl* control, int code) {
  if (!shown_) return false;
  const int command = (control ? control->id : code) - kControlIdBase;
  switch (command) {
    case kStartButton:
      rows_.StartAll();
      Redraw();
      return true;
    case kStopButton:
      rows_.StopAll();
      Redraw();
      return true;
    case kDeleteButton:
      if (rows_.DeleteAll()) {
        view_->SetScrollOffset(0);
        Redraw();
      }
      return true;
    case DownloadRows::kStateColumn:
    case DownloadRows::kNameColumn:
    case DownloadRows::kSizeColumn:
    case DownloadRows::kProgressColumn:
    case DownloadRows::kSpeedColumn:
      rows_.SortBy(command);
      // The header's arrow changes with the rows: the whole tab is drawn again.
      if (frame_.IsCreated()) {
        frame_.DrawAll();
        frame_.UpdateIfDirty();
      }
      return true;
    default:
      return false;
  }
}

bool DownloadManagerDlg::OnRButtonUp(const window::MouseEvent& e) {
  if (!shown_ || !ListRect().Contains(e.pos)) return false;
  const int row = view_->RowAt(e.pos);
  if (row < 0) return true;
  if (!rows_.rows()[row].selected) {
    rows_.ClearSelection();
    rows_.SetSelected(static_cast<std::size_t>(row), true);
    Redraw();
  }
  window::WindowPresenter* presenter = frame_.presenter();
  if (presenter == nullptr) return true;
  const std::vector<window::MenuItem> items = {
      window::MenuItem::Command("启动", kMenuStart),
      window::MenuItem::Command("停止", kMenuStop),
      window::MenuItem::Command("删除", kMenuDelete),
  };
  presenter->ShowMenu(items, e.pos, [this, alive = std::weak_ptr<const bool>(alive_)](int id) {
    if (!alive.expired()) OnMenuCommand(id);
  });
  return true;
}

void DownloadManagerDlg::OnMenuCommand(int id) {
  switch (id) {
    case kMenuStart:
      rows_.StartSelected();
      break;
    case kMenuStop:
      rows_.StopSelected();
      break;
    case kMenuDelete:
      if (!rows_.DeleteSelected()) return;
      break;
    default:
      return;
  }
  Redraw();
}

bool DownloadManagerDlg::OnMouseWheel(const window::MouseEvent& e, int delta_steps) {
  if (!shown_ || !ListRect().Contains(e.pos)) return false;
  view_->ScrollBy(delta_steps * view_->row_height() * 3);
  Redraw();
  return true;
}

bool DownloadManagerDlg::OnLButtonDown(const window::MouseEvent& e) {
  if (!shown_ || !view_->StripRect().Contains(e.pos)) return false;
  const gfx::Rect thumb = view_->ThumbRect();
  if (thumb.IsEmpty()) return true;
  if (e.pos.y >= thumb.top && e.pos.y < thumb.bottom) {
    thumb_grab_ = e.pos.y - thumb.top;
    return true;
  }
  const int page = std::max(view_->row_height(), view_->bounds().height() - view_->row_height());
  view_->ScrollBy(e.pos.y < thumb.top ? -page : page);
  Redraw();
  return true;
}

bool DownloadManagerDlg::OnMouseMove(const window::MouseEvent& e) {
  if (!thumb_grab_) return false;
  view_->ScrollThumbTo(e.pos.y - *thumb_grab_);
  Redraw();
  return true;
}

bool DownloadManagerDlg::OnLButtonUp(const window::MouseEvent&) {
  if (!thumb_grab_) return false;
  thumb_grab_.reset();
  return true;
}

bool DownloadManagerDlg::Confirm(const std::string& question) {
  if (deps_.confirm) return deps_.confirm(question);
  return ConfirmBox(question, &frame_);
}

}  // namespace quillo::ui
