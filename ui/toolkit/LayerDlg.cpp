#include "ui/toolkit/LayerDlg.h"

namespace quillo::ui {
namespace kit = skin::kit;

LayerDlg::LayerDlg(int skin_id, bool recolourable) : LayerWnd(skin_id, recolourable) {}

void LayerDlg::SetTitle(std::string title) {
  title_ = std::move(title);
  SetNativeTitle(title_);
}

gfx::Rect LayerDlg::ClientArea() const {
  gfx::Size s = ClientSize();
  return gfx::Rect{kMarginLeft, kMarginTop, s.width - kMarginRight, s.height - kMarginBottom};
}

void LayerDlg::InitLayer() {
  if (!has_close_button_) return;
  int x = ClientSize().width - 31;
  AddButton(kit::kCloseWidth, kit::kCloseHeight, x, 3, kit::kCloseButton.x, kit::kCloseButton.y,
            kCloseButtonId, "关闭");
}

void LayerDlg::DrawFrame(gfx::Painter& p) {
  const gfx::Surface* s = skin();
  if (!s) return;
  int w = ClientSize().width, h = ClientSize().height;
  int bottom_top = h - kBottomBand;
  int band_top = bottom_top - button_band_height_;
  p.DrawImage(*s, kit::kTitleLeft, gfx::Rect{0, 0, 12, kTitleBand});
  p.DrawImage(*s, kit::kTitleMiddle, gfx::Rect{12, 0, w - 12, kTitleBand});
  p.DrawImage(*s, kit::kTitleRight, gfx::Rect{w - 12, 0, w, kTitleBand});
  p.DrawImage(*s, kit::kSideLeft, gfx::Rect{0, kTitleBand, 7, band_top});
  p.DrawImage(*s, kit::kBody, gfx::Rect{7, kTitleBand, w - 7, band_top});
  p.DrawImage(*s, kit::kSideRight, gfx::Rect{w - 7, kTitleBand, w, band_top});
  if (button_band_height_ > 0) {
    p.DrawImage(*s, kit::kBandSideLeft, gfx::Rect{0, band_top, 7, bottom_top});
    p.DrawImage(*s, kit::kBandLine, gfx::Rect{7, band_top, w - 7, band_top + 1});
    p.DrawImage(*s, kit::kBandFill, gfx::Rect{7, band_top + 1, w - 7, bottom_top});
    p.DrawImage(*s, kit::kBandSideRight, gfx::Rect{w - 7, band_top, w, bottom_top});
  }
  p.DrawImage(*s, kit::kBottomLeft, gfx::Rect{0, bottom_top, 12, h});
  p.DrawImage(*s, kit::kBottomMiddle, gfx::Rect{12, bottom_top, w - 12, h});
  p.DrawImage(*s, kit::kBottomRight, gfx::Rect{w - 12, bottom_top, w, h});
  if (resizable_) p.DrawImage(*s, kit::kGrip, gfx::Point{w - 13, h - 13});
}

void LayerDlg::DrawTitle(gfx::Painter& p, gfx::Point origin) {
  if (title_.empty()) return;
  gfx::TextOptions options;
  options.ellipsize = true;
  p.DrawText(title_, gfx::Font::Points("宋体", 9, true), SkinColor(kit::kTitleTextPixel),
             gfx::Rect{origin.x, origin.y, ClientSize().width - 36, kTitleBand}, options);
}

void LayerDlg::DrawBackground() {
  gfx::Painter p(back_buffer());
  DrawFrame(p);
  DrawTitle(p, kTitleOrigin);
}

void LayerDlg::OnControlEvent(LayerControl* control, int code) {
  if (control && code == kCloseButtonId) PostClose();
}

void LayerDlg::OnSize(gfx::Size size) {
  if (LayerControl* close = FindControl(kCloseButtonId)) {
    close->bounds = gfx::Rect::FromXYWH(size.width - 31, close->bounds.top, close->bounds.width(),
                                        close->bounds.height());
  }
  LayerWnd::OnSize(size);
}

void LayerDlg::OnLButtonDown(const window::MouseEvent& e) {
  gfx::Size s = ClientSize();
  if (resizable_ && e.pos.x >= s.width - 13 && e.pos.y >= s.height - 13 && presenter()) {
    presenter()->BeginResizeDrag(window::ResizeEdge::kBottomRight, e);
    return;
  }
  LayerWnd::OnLButtonDown(e);
}

bool LayerDlg::OnKeyDown(const window::KeyEvent& e) {
  if (e.keyval == 0xff1b) {  // Escape closes, as the close button does
    PostClose();
    return true;
  }
  return false;
}

}  // namespace quillo::ui
