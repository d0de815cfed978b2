#include "ui/toolkit/LayerListView.h"

#include <algorithm>

#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {

LayerListView::LayerListView(LayerWnd& owner, const gfx::Rect& bounds, int row_height,
                             int scroll_bar_width)
    : owner_(owner),
      bounds_(bounds),
      row_height_(std::max(1, row_height)),
      scroll_bar_width_(scroll_bar_width) {}

LayerListView::~LayerListView() = default;

bool LayerListView::IsSelectable(int) const { return true; }
void LayerListView::OnRowActivated(int) {}

gfx::Rect LayerListView::RowArea() const {
  return gfx::Rect{bounds_.left, bounds_.top, bounds_.right - scroll_bar_width_, bounds_.bottom};
}

int LayerListView::RowAt(gfx::Point p) const {
  if (p.x < bounds_.left || p.x >= bounds_.right - scroll_bar_width_) return -1;
  if (p.y < bounds_.top || p.y >= bounds_.bottom) return -1;
  int row = (p.y - bounds_.top + scroll_offset_) / row_height_;
  return row < RowCount() ? row : -1;
}

void LayerListView::DrawRowClipped(gfx::Painter& painter, int index) {
  gfx::Rect area = RowArea();
  int y = area.top + index * row_height_ - scroll_offset_;
  gfx::Rect row = gfx::Rect{area.left, y, area.right, y + row_height_}.Intersect(area);
  if (row.IsEmpty()) return;
  painter.PushClip(row);
  DrawRow(painter, index, area.left, y, row, IsSelected(index));
  painter.PopClip();
}

void LayerListView::Draw(gfx::Painter& painter) {
  int count = RowCount();
  if (count <= 0) return;
  int first = scroll_offset_ / row_height_;
  int last = std::min(count - 1, (scroll_offset_ + bounds_.height()) / row_height_);
  for (int i = first; i <= last; ++i) DrawRowClipped(painter, i);
}

void LayerListView::Invalidate() {
  owner_.RestoreBackground(bounds_);
  gfx::Painter painter(owner_.back_buffer());
  Draw(painter);
  owner_.SetNeedsUpdate();
}

void LayerListView::Relayout() { SetScrollOffset(scroll_offset_); }

int LayerListView::MaxScroll() const { return std::max(0, ContentHeight() - bounds_.height()); }

void LayerListView::SetScrollOffset(int pixels) {
  scroll_offset_ = std::clamp(pixels, 0, MaxScroll());
}

double LayerListView::ScrollFraction() const {
  int max = MaxScroll();
  return max == 0 ? 0.0 : double(scroll_offset_) / max;
}

void LayerListView::SetScrollFraction(double fraction) {
  SetScrollOffset(int(std::clamp(fraction, 0.0, 1.0) * MaxScroll() + 0.5));
}

void LayerListView::SetBounds(const gfx::Rect& bounds) {
  bounds_ = bounds;
  Relayout();
}

void LayerListView::OnMouseDown(gfx::Point p) {
  int row = RowAt(p);
  if (row >= 0 && IsSelectable(row)) {
    OnRowClicked(row);
    Invalidate();
  }
}

void LayerListViewS::OnRowClicked(int index) { selected_ = index; }

void LayerListViewS::SetSelected(int index) {
  selected_ = index >= 0 && index < RowCount() ? index : -1;
}

void LayerListViewM::OnRowClicked(int index) {
  if (shift_ && anchor_ >= 0) {
    if (!control_) selection_.clear();
    for (int i = std::min(anchor_, index); i <= std::max(anchor_, index); ++i) {
      if (IsSelectable(i)) selection_.insert(i);
    }
    return;
  }
  if (control_) {
    if (!selection_.erase(index)) selection_.insert(index);
  } else {
    selection_ = {index};
  }
  anchor_ = index;
}

}  // namespace quillo::ui
