#include "ui/downloads/DownloadManagerView.h"

#include <algorithm>
#include <set>
#include <string>

#include "downloads/DownloadRows.h"
#include "platform/gfx/Font.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {
namespace {

using downloads::DownloadRows;
using downloads::RowState;

gfx::Font RowFont() {
  return gfx::Font::Points("宋体", 9);
}

// A square of `size` pixels centred in the cell.
gfx::Rect IconBox(const gfx::Rect& cell, int size) {
  const int x = cell.left + (cell.width() - size) / 2;
  const int y = cell.top + (cell.height() - size) / 2;
  return gfx::Rect::FromXYWH(x, y, size, size);
}

}  // namespace

std::pair<int, int> DownloadManagerView::ColumnSpan(int column) {
  switch (column) {
    case DownloadRows::kStateColumn:
      return {0, 22};
    case DownloadRows::kNameColumn:
      return {22, 313};
    case DownloadRows::kSizeColumn:
      return {313, 380};
    case DownloadRows::kProgressColumn:
      return {380, 484};
    case DownloadRows::kSpeedColumn:
      return {484, 564};
    default:
      return {0, 0};
  }
}

const DownloadManagerView::Colors& DownloadManagerView::colors() {
  static const Colors colours;
  return colours;
}

DownloadManagerView::DownloadManagerView(LayerWnd& owner, const gfx::Rect& bounds,
                                         downloads::DownloadRows& rows)
    : LayerListViewM(owner, bounds, kRowHeight, kScrollBarWidth), rows_(rows) {}

int DownloadManagerView::RowCount() const {
  return static_cast<int>(rows_.size());
}

bool DownloadManagerView::IsSelected(int index) const {
  return index >= 0 && index < RowCount() && rows_.rows()[index].selected;
}

void DownloadManagerView::OnRowClicked(int index) {
  // The rows keep the selection (it follows them through sorting and rebuilding); the base
  // class only works out which rows a click, Ctrl+click or Shift+click selects.
  std::set<int> current;
  for (int i = 0; i < RowCount(); ++i) {
    if (rows_.rows()[i].selected) current.insert(i);
  }
  SetSelection(std::move(current));
  LayerListViewM::OnRowClicked(index);
  for (int i = 0; i < RowCount(); ++i) rows_.SetSelected(i, selection().count(i) != 0);
}

void DownloadManagerView::OnRowActivated(int index) {
  rows_.Toggle(static_cast<std::size_t>(index));
  Redraw();
  owner().UpdateIfDirty();
}

void DownloadManagerView::Redraw() {
  if (owner().back_buffer().IsNull()) return;
  Relayout();
  owner().RestoreBackground(bounds());
  gfx::Painter painter(owner().back_buffer());
  Draw(painter);
  if (RowCount() == 0) DrawScrollStrip(painter);
  owner().SetNeedsUpdate();
}

void DownloadManagerView::DrawRowClipped(gfx::Painter& painter, int index) {
  LayerListView::DrawRowClipped(painter, index);
  const int last_visible =
      std::min(RowCount() - 1, (scroll_offset() + bounds().height()) / row_height());
  if (index == last_visible) DrawScrollStrip(painter);
}

void DownloadManagerView::DrawRow(gfx::Painter& painter, int index, int x, int y, const gfx::Rect&,
                                  bool selected) {
  if (index < 0 || index >= RowCount()) return;
  const downloads::DownloadRow& row = rows_.rows()[index];
  const Colors& c = colors();
  const gfx::Rect area{x, y, RowArea().right, y + row_height()};
  painter.FillRect(area, selected ? c.selection : index % 2 ? c.row_odd : c.row_even);

  auto cell = [&](int column) {
    auto [from, to] = ColumnSpan(column);
    return gfx::Rect{bounds().left + from, y, std::min(bounds().left + to, area.right),
                     y + row_height()};
  };
  DrawStateIcon(painter, row.state, cell(DownloadRows::kStateColumn));

  const gfx::Font font = RowFont();
  const gfx::Color text = selected ? c.selection_text : c.text;
  gfx::TextOptions options;
  options.vertical_center = true;
  options.ellipsize = true;
  gfx::Rect name = cell(DownloadRows::kNameColumn);
  name.left += 4;
  name.right -= 4;
  painter.DrawText(row.name, font, text, name, options);
  options.align = gfx::TextAlign::kCenter;
  painter.DrawText(row.size_text, font, text, cell(DownloadRows::kSizeColumn), options);
  painter.DrawText(row.progress_text, font, text, cell(DownloadRows::kProgressColumn), options);
  painter.DrawText(row.speed_text, font, text, cell(DownloadRows::kSpeedColumn), options);
}

gfx::Rect DownloadManagerView::StripRect() const {
  return gfx::Rect{bounds().right - scroll_bar_width(), bounds().top, bounds().right,
                   bounds().bottom};
}

namespace {
constexpr int kMinimumThumb = 16;
}

gfx::Rect DownloadManagerView::ThumbRect() const {
  const gfx::Rect strip = StripRect();
  const int content = ContentHeight();
  const int visible = bounds().height();
  if (strip.IsEmpty() || content <= visible || visible <= 0) return {};
  const int thumb_height = std::min(visible, std::max(kMinimumThumb, visible * visible / content));
  const int travel = visible - thumb_height;
  const int top = strip.top + static_cast<int>(ScrollFraction() * travel + 0.5);
  return gfx::Rect{strip.left + 2, top, strip.right - 2, top + thumb_height};
}

void DownloadManagerView::ScrollThumbTo(int thumb_top) {
  const gfx::Rect thumb = ThumbRect();
  if (thumb.IsEmpty()) return;
  const int travel = bounds().height() - thumb.height();
  if (travel <= 0) return;
  SetScrollFraction(static_cast<double>(thumb_top - StripRect().top) / travel);
}

void DownloadManagerView::DrawScrollStrip(gfx::Painter& painter) {
  const gfx::Rect strip = StripRect();
  if (strip.IsEmpty()) return;
  const Colors& c = colors();
  painter.FillRectSource(strip, c.strip);
  const gfx::Rect thumb = ThumbRect();
  if (!thumb.IsEmpty()) painter.FillRoundedRect(thumb, 3, c.thumb);
}

void DownloadManagerView::DrawStateIcon(gfx::Painter& painter, RowState state,
                                        const gfx::Rect& cell) {
  const gfx::Rect box = IconBox(cell, 12);
  const int l = box.left, t = box.top;
  const gfx::Color white = gfx::Color::Rgb(255, 255, 255);
  switch (state) {
    case RowState::kFailed:  // a red square with an exclamation mark
      painter.FillRoundedRect(box, 2, gfx::Color::Rgb(208, 52, 44));
      painter.FillRect(gfx::Rect{l + 5, t + 2, l + 7, t + 7}, white);
      painter.FillRect(gfx::Rect{l + 5, t + 8, l + 7, t + 10}, white);
      break;
    case RowState::kFinished:  // a green square with a tick
      painter.FillRoundedRect(box, 2, gfx::Color::Rgb(52, 160, 72));
      painter.FillRect(gfx::Rect{l + 2, t + 6, l + 4, t + 8}, white);
      painter.FillRect(gfx::Rect{l + 4, t + 7, l + 6, t + 9}, white);
      painter.FillRect(gfx::Rect{l + 6, t + 5, l + 8, t + 7}, white);
      painter.FillRect(gfx::Rect{l + 8, t + 3, l + 10, t + 5}, white);
      break;
    case RowState::kReceiving:  // a blue square with a downward arrow
      painter.FillRoundedRect(box, 2, gfx::Color::Rgb(40, 110, 210));
      painter.FillRect(gfx::Rect{l + 5, t + 2, l + 7, t + 7}, white);
      painter.FillRect(gfx::Rect{l + 3, t + 6, l + 9, t + 7}, white);
      painter.FillRect(gfx::Rect{l + 4, t + 7, l + 8, t + 8}, white);
      painter.FillRect(gfx::Rect{l + 5, t + 8, l + 7, t + 9}, white);
      painter.FillRect(gfx::Rect{l + 2, t + 10, l + 10, t + 11}, white);
      break;
    case RowState::kStarted:  // a blue frame: connecting, nothing arrived yet
      painter.StrokeRect(box, gfx::Color::Rgb(40, 110, 210));
      painter.FillRect(gfx::Rect{l + 3, t + 5, l + 5, t + 7}, gfx::Color::Rgb(40, 110, 210));
      painter.FillRect(gfx::Rect{l + 7, t + 5, l + 9, t + 7}, gfx::Color::Rgb(40, 110, 210));
      break;
    case RowState::kStopped:  // two grey bars: paused
      painter.FillRect(gfx::Rect{l + 2, t + 1, l + 5, t + 11}, gfx::Color::Rgb(120, 120, 120));
      painter.FillRect(gfx::Rect{l + 7, t + 1, l + 10, t + 11}, gfx::Color::Rgb(120, 120, 120));
      break;
    case RowState::kWaiting:  // an orange clock
      painter.FillRoundedRect(box, 6, gfx::Color::Rgb(232, 150, 40));
      painter.FillRect(gfx::Rect{l + 5, t + 2, l + 7, t + 7}, white);
      painter.FillRect(gfx::Rect{l + 5, t + 5, l + 9, t + 7}, white);
      break;
  }
}

}  // namespace quillo::ui
