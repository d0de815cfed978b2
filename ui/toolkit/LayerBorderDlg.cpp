#include "ui/toolkit/LayerBorderDlg.h"

namespace quillo::ui {

void LayerBorderDlg::SetHosted(HostedWindow* hosted) {
  hosted_ = hosted;
  if (IsCreated()) {
    PlaceHosted();
    if (hosted_) hosted_->SetShown(IsVisible());
  }
}

gfx::Rect LayerBorderDlg::HostedScreenRect() const {
  gfx::Rect window = WindowRect();
  return gfx::Rect{window.left + kMarginLeft, window.top + kMarginTop,
                   window.left + ClientSize().width - kMarginRight,
                   window.top + ClientSize().height - kMarginBottom};
}

bool LayerBorderDlg::Create(const gfx::Rect& screen_rect, LayerWnd* parent,
                            window::WindowKind kind) {
  if (!LayerDlg::Create(screen_rect, parent, kind)) return false;
  PlaceHosted();
  if (hosted_) hosted_->SetShown(IsVisible());
  return true;
}

void LayerBorderDlg::PlaceHosted() {
  if (hosted_) hosted_->PlaceAt(HostedScreenRect());
}

void LayerBorderDlg::OnMove(gfx::Point origin) {
  LayerDlg::OnMove(origin);
  PlaceHosted();
}

void LayerBorderDlg::OnSize(gfx::Size size) {
  LayerDlg::OnSize(size);
  PlaceHosted();
}

}  // namespace quillo::ui
