#include "ui/dialogs/CopyDeviceConfirmDlg.h"

#include <algorithm>

#include "platform/window/WindowSystem.h"
#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/RunModal.h"

namespace quillo::ui {
namespace kit = skin::kit;

CopyDeviceConfirmDlg::CopyDeviceConfirmDlg(std::vector<std::string> names)
    : LayerDlg(skin::kDialogFrame), list_(*this, kListBounds, std::move(names)) {
  SetTitle(kTitle);
  SetButtonBandHeight(30);
}

bool CopyDeviceConfirmDlg::Run(LayerWnd* owner, std::vector<std::string> names) {
  if (!owner) owner = LayerWindowRegistry::MainWindow();
  if (owner && !owner->IsCreated()) owner = nullptr;
  gfx::Rect around = owner ? owner->WindowRect()
                     : window::WindowSystem::Instance()
                         ? window::WindowSystem::Instance()->WorkArea()
                         : gfx::Rect{};
  CopyDeviceConfirmDlg dialog(std::move(names));
  RunModal(dialog, CenteredOn(around, gfx::Size{kWidth, kHeight}), owner);
  return dialog.confirmed();
}

gfx::Rect CopyDeviceConfirmDlg::ThumbTrack() {
  int x = kListBounds.right - kit::kScrollWidth;
  return gfx::Rect{x, kListBounds.top + kit::kScrollWidth, kListBounds.right,
                   kListBounds.bottom - kit::kScrollWidth};
}

void CopyDeviceConfirmDlg::InitLayer() {
  LayerDlg::InitLayer();
  AddList(list_, kListId);
  int w = kit::kScrollWidth, x = kListBounds.right - w;
  AddButton(w, w, x, kListBounds.top, kit::kScrollUp.x, kit::kScrollUp.y, kScrollUpId);
  AddButton(w, w, x, kListBounds.bottom - w, kit::kScrollDown.x, kit::kScrollDown.y, kScrollDownId);
  gfx::Rect track = ThumbTrack();
  int content = std::max(1, list_.ContentHeight());
  int thumb_height =
      std::clamp(track.height() * kListBounds.height() / content, 16, track.height());
  LayerControl& thumb = AddButton(
      gfx::Rect::FromXYWH(x, track.top, w, thumb_height),
      gfx::Rect::FromXYWH(kit::kScrollThumb.x, kit::kScrollThumb.y, w, kit::kScrollThumbHeight),
      gfx::Rect::FromXYWH(kit::kScrollThumb.x, kit::kScrollThumb.y + kit::kScrollThumbHeight, w,
                          kit::kScrollThumbHeight),
      gfx::Rect::FromXYWH(kit::kScrollThumb.x, kit::kScrollThumb.y + 2 * kit::kScrollThumbHeight, w,
                          kit::kScrollThumbHeight),
      kScrollThumbId);
  thumb.kind = ControlKind::kSliderThumb;
  thumb.track = track;
  thumb.hidden = list_.MaxScroll() == 0;
  AddTextButton(gfx::Rect{148, 157, 208, 177}, "确认", kConfirmId);
  AddTextButton(gfx::Rect{224, 157, 284, 177}, "取消", kCancelId);
}

void CopyDeviceConfirmDlg::DrawBackground() {
  gfx::Painter p(back_buffer());
  DrawFrame(p);
  DrawTitle(p, gfx::Point{31, 7});
  if (skin()) {
    int x = kListBounds.right - kit::kScrollWidth;
    p.DrawImage(*skin(), kit::kScrollTrack,
                gfx::Rect{x, kListBounds.top, kListBounds.right, kListBounds.bottom});
  }
}

void CopyDeviceConfirmDlg::PlaceThumb() {
  LayerControl* thumb = FindControl(kScrollThumbId);
  if (!thumb) return;
  gfx::Rect track = ThumbTrack();
  int span = track.height() - thumb->bounds.height();
  int top = track.top + int(list_.ScrollFraction() * span + 0.5);
  MoveControl(kScrollThumbId, thumb->bounds.left, top);
}

void CopyDeviceConfirmDlg::ScrollListTo(int offset) {
  list_.SetScrollOffset(offset);
  list_.Invalidate();
  PlaceThumb();
}

void CopyDeviceConfirmDlg::OnControlEvent(LayerControl* control, int code) {
  switch (code) {
    case kConfirmId:
      confirmed_ = true;
      PostClose();
      return;
    case kCancelId:
      PostClose();
      return;
    case kScrollUpId:
      ScrollListTo(list_.scroll_offset() - list_.row_height());
      return;
    case kScrollDownId:
      ScrollListTo(list_.scroll_offset() + list_.row_height());
      return;
    default:
      LayerDlg::OnControlEvent(control, code);
  }
}

void CopyDeviceConfirmDlg::OnSliderMove(LayerControl& thumb) {
  gfx::Rect track = ThumbTrack();
  int span = std::max(1, track.height() - thumb.bounds.height());
  list_.SetScrollFraction(double(thumb.bounds.top - track.top) / span);
  list_.Invalidate();
  DrawControl(thumb);
}

void CopyDeviceConfirmDlg::OnSliderRelease(LayerControl& thumb) {
  OnSliderMove(thumb);
}

void CopyDeviceConfirmDlg::OnMouseWheel(const window::MouseEvent&, int delta_steps) {
  ScrollListTo(list_.scroll_offset() + delta_steps * list_.row_height() * 3);
}

}  // namespace quillo::ui
