#include "ui/toolkit/LayerListPopup.h"

#include <algorithm>

#include "resources/skins/SkinLayout.h"

namespace quillo::ui {
namespace kit = skin::kit;

LayerListPopupView::LayerListPopupView(LayerListPopup& popup, const gfx::Rect& bounds,
                                       int row_height)
    : LayerListViewS(popup, bounds, row_height, 0), popup_(popup) {}

int LayerListPopupView::RowCount() const { return int(popup_.items().size()); }

void LayerListPopupView::DrawRow(gfx::Painter& painter, int index, int x, int y, const gfx::Rect&,
                                 bool selected) {
  gfx::Rect row{x, y, bounds().right, y + row_height()};
  bool lit = index == hovered_ || (hovered_ < 0 && selected);
  if (lit) painter.FillRect(row, popup_.SkinColor(kit::kSelectionPixel));
  gfx::TextOptions options;
  options.vertical_center = true;
  options.ellipsize = true;
  painter.DrawText(popup_.items()[std::size_t(index)], popup_.control_font(),
                   popup_.SkinColor(lit ? kit::kSelectionTextPixel : kit::kLabelTextPixel),
                   gfx::Rect{row.left + 6, row.top, row.right - 4, row.bottom}, options);
}

void LayerListPopupView::OnRowClicked(int index) {
  LayerListViewS::OnRowClicked(index);
  popup_.Choose(index);
}

LayerListPopup::LayerListPopup(std::vector<std::string> items, int selected,
                               std::function<void(int)> chosen)
    : LayerPopup(skin::kDialogFrame),
      items_(std::move(items)),
      chosen_(std::move(chosen)),
      view_(*this, gfx::Rect{}, kRowHeight) {
  view_.SetSelected(selected);
}

gfx::Rect LayerListPopup::RectUnder(const gfx::Rect& field) const {
  int rows = std::clamp(int(items_.size()), 1, kMaxVisibleRows);
  return gfx::Rect::FromXYWH(field.left, field.bottom, field.width(), rows * kRowHeight + 2);
}

void LayerListPopup::InitLayer() {
  gfx::Size s = ClientSize();
  view_.SetBounds(gfx::Rect{1, 1, s.width - 1, s.height - 1});
  // Keep the selected row in sight.
  if (view_.selected() >= 0) view_.SetScrollOffset(view_.selected() * kRowHeight);
  AddList(view_, kListControlId);
}

void LayerListPopup::DrawBackground() {
  gfx::Painter p(back_buffer());
  gfx::Rect all{0, 0, ClientSize().width, ClientSize().height};
  p.FillRectSource(all, gfx::Color{255, 255, 255, 255});
  gfx::Color line = SkinColor(kit::kLinePixel);
  line.a = 255;
  p.StrokeRect(all, line);
}

void LayerListPopup::OnMouseMove(const window::MouseEvent& e) {
  LayerPopup::OnMouseMove(e);
  int row = view_.RowAt(e.pos);
  if (row != view_.hovered()) {
    view_.SetHovered(row);
    view_.Invalidate();
  }
}

void LayerListPopup::OnMouseLeave() {
  LayerPopup::OnMouseLeave();
  view_.SetHovered(-1);
  view_.Invalidate();
}

void LayerListPopup::Choose(int index) {
  if (chosen_) chosen_(index);
  PostClose();
}

}  // namespace quillo::ui
