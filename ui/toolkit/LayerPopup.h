#pragma once
// A frameless skinned popup that closes itself (posts itself the close request) as soon as it
// loses activation.
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {

class LayerPopup : public LayerWnd {
 public:
  using LayerWnd::LayerWnd;

  bool Create(const gfx::Rect& screen_rect, LayerWnd* parent,
              window::WindowKind kind = window::WindowKind::kPopup) override;
  void OnActivate(bool active) override;
  bool OnKeyDown(const window::KeyEvent& e) override;
  // Popups stay where they were opened.
  bool IsDragArea(int x, int y) override;
};

}  // namespace quillo::ui
