#include "ui/toolkit/MultiLayerDlg.h"

namespace quillo::ui {

int MultiLayerDlg::AddPage(std::vector<int> control_ids) {
  pages_.push_back(std::move(control_ids));
  int index = int(pages_.size()) - 1;
  bool shown = current_page_ == -1 ? index == 0 : index == current_page_;
  if (current_page_ == -1) current_page_ = 0;
  for (int id : pages_.back()) {
    if (LayerControl* c = FindControl(id)) c->hidden = !shown;
  }
  return index;
}

void MultiLayerDlg::ShowPage(int index) {
  if (index < 0 || index >= page_count()) return;
  current_page_ = index;
  for (int page = 0; page < page_count(); ++page) {
    for (int id : pages_[std::size_t(page)]) {
      if (LayerControl* c = FindControl(id)) {
        c->hidden = page != index;
        if (c->hidden) c->hovered = c->pressed = false;
      }
    }
  }
  DrawAll();
  UpdateLayer();
}

void MultiLayerDlg::DrawBackground() {
  LayerDlg::DrawBackground();
  if (current_page_ >= 0) {
    gfx::Painter painter(back_buffer());
    DrawPage(painter, current_page_);
  }
}

void MultiLayerDlg::DrawPage(gfx::Painter&, int) {}

}  // namespace quillo::ui
