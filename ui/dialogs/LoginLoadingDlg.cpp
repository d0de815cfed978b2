#include "ui/dialogs/LoginLoadingDlg.h"

#include "resources/skins/SkinLayout.h"

namespace quillo::ui {

LoginLoadingDlg::LoginLoadingDlg() : LayerDlg(skin::kLoginLoading) {
  SetHasCloseButton(false);
  SetNativeTitle(kText);
}

LoginLoadingDlg::~LoginLoadingDlg() {
  Destroy();
}

void LoginLoadingDlg::PostAnswerClose() {
  closed_by_answer_ = true;
  PostClose();
}

void LoginLoadingDlg::InitLayer() {
  LayerDlg::InitLayer();
}

void LoginLoadingDlg::DrawBackground() {
  if (!skin()) return;
  gfx::Painter p(back_buffer());
  p.DrawImage(*skin(), gfx::Rect{0, 0, kWidth, kHeight}, gfx::Point{0, 0});
  gfx::TextOptions options;
  options.vertical_center = true;
  p.DrawText(kText, gfx::Font::Points("宋体", 9), gfx::Color{255, 255, 255, 254},
             gfx::Rect{skin::waiting::kTextOrigin.x - 20, 0, kWidth - 4, kHeight}, options);
}

bool LoginLoadingDlg::IsDragArea(int, int) {
  return true;
}

}  // namespace quillo::ui
