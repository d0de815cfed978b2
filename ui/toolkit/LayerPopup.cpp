#include "ui/toolkit/LayerPopup.h"

namespace quillo::ui {

bool LayerPopup::Create(const gfx::Rect& screen_rect, LayerWnd* parent, window::WindowKind kind) {
  return LayerWnd::Create(screen_rect, parent, kind);
}

void LayerPopup::OnActivate(bool active) {
  if (!active) PostClose();
}

bool LayerPopup::OnKeyDown(const window::KeyEvent& e) {
  if (e.keyval == 0xff1b) {  // Escape
    PostClose();
    return true;
  }
  return false;
}

bool LayerPopup::IsDragArea(int, int) { return false; }

}  // namespace quillo::ui
