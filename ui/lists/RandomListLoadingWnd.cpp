#include "ui/lists/RandomListLoadingWnd.h"

#include <algorithm>

#include "resources/skins/SkinLayout.h"

namespace quillo::ui::lists {
namespace kit = skin::kit;

RandomListLoadingWnd::RandomListLoadingWnd(LayerWnd& main_window, int list_bottom)
    : LayerWnd(skin::kDialogFrame), main_window_(main_window), list_bottom_(list_bottom) {
  SetAcceptFocus(false);
  SetShowCommand(ShowCommand::kShowNoActivate);
  SetNativeTitle("Zelbo音乐");
}

std::string RandomListLoadingWnd::StateText(int state) {
  switch (state) {
    case 1:
      return "歌曲加载中，请稍候...";
    case 2:
      return "歌曲列表已更新，请您欣赏^_^";
    case 3:
      return "更新歌曲列表失败,请检查网络.";
    default:
      return {};
  }
}

gfx::Rect RandomListLoadingWnd::PlaceOverOwner() const {
  gfx::Rect owner = main_window_.WindowRect();
  int width = std::max(1, owner.width() - 2 * kSideInset);
  int top = owner.top + list_bottom_ - kHeight;
  return gfx::Rect::FromXYWH(owner.left + kSideInset, top, width, kHeight);
}

void RandomListLoadingWnd::SetListBottom(int list_bottom) {
  list_bottom_ = list_bottom;
  FollowOwner();
}

void RandomListLoadingWnd::ShowState(int state) {
  if (state < 1 || state > 3) return;
  state_ = state;
  if (!main_window_.IsCreated()) return;
  if (!IsCreated()) {
    if (!Create(PlaceOverOwner(), &main_window_, window::WindowKind::kTooltip)) return;
  } else {
    SetWindowRect(PlaceOverOwner());
    MoveControl(kCloseButtonId, ClientSize().width - kit::kCloseWidth, 0);
    DrawAll();
    if (main_window_.IsVisible()) Show(false);
    UpdateLayer();
  }
  if (state == 1) {
    close_timer_.Stop();
  } else {
    close_timer_.Start(std::chrono::milliseconds(kCloseDelayMs), [this] { CloseBar(); });
  }
}

void RandomListLoadingWnd::FollowOwner() {
  if (!IsCreated() || state_ == 0) return;
  if (!main_window_.IsCreated() || !main_window_.IsVisible()) {
    Hide();
    return;
  }
  SetWindowRect(PlaceOverOwner());
  MoveControl(kCloseButtonId, ClientSize().width - kit::kCloseWidth, 0);
  if (!IsVisible()) Show(false);
  DrawAll();
  UpdateLayer();
}

void RandomListLoadingWnd::InitLayer() {
  int w = ClientSize().width;
  AddButton(kit::kCloseWidth, kit::kCloseHeight, w - kit::kCloseWidth, 0, kit::kCloseButton.x,
            kit::kCloseButton.y, kCloseButtonId, "关闭");
}

void RandomListLoadingWnd::DrawBackground() {
  gfx::Size size = ClientSize();
  gfx::Rect all{0, 0, size.width, size.height};
  gfx::Painter painter(back_buffer());
  painter.FillRectSource(all, skin() ? SkinColor(kit::kBodyPixel) : gfx::Color::Rgb(250, 250, 250));
  painter.StrokeRect(all, skin() ? SkinColor(kit::kLinePixel) : gfx::Color::Rgb(160, 160, 160));
  gfx::TextOptions options;
  options.vertical_center = true;
  options.ellipsize = true;
  gfx::Rect text_box{8, 0, std::max(8, size.width - kit::kCloseWidth - 4), size.height};
  painter.DrawText(StateText(state_), gfx::Font::Points("宋体", 9),
                   skin() ? SkinColor(kit::kLabelTextPixel) : gfx::Color::Rgb(0, 0, 0), text_box,
                   options);
}

void RandomListLoadingWnd::DrawControl(LayerControl& control) {
  if (control.id != kCloseButtonId || control.hidden || back_buffer().IsNull()) {
    LayerWnd::DrawControl(control);
    return;
  }
  RestoreBackground(control.bounds);
  gfx::Painter painter(back_buffer());
  gfx::Color fill = skin() ? SkinColor(kit::kBodyPixel) : gfx::Color::Rgb(250, 250, 250);
  gfx::Color line = skin() ? SkinColor(kit::kLinePixel) : gfx::Color::Rgb(160, 160, 160);
  gfx::Color text = skin() ? SkinColor(kit::kLabelTextPixel) : gfx::Color::Rgb(0, 0, 0);
  gfx::Rect inner{control.bounds.left + 1, control.bounds.top + 1, control.bounds.right - 1,
                  control.bounds.bottom - 1};
  if (control.pressed || control.hovered) painter.FillRect(inner, line);
  gfx::TextOptions options;
  options.align = gfx::TextAlign::kCenter;
  options.vertical_center = true;
  painter.DrawText("×", gfx::Font::Points("宋体", 10), control.hovered ? fill : text,
                   control.bounds, options);
  SetNeedsUpdate();
}

void RandomListLoadingWnd::OnControlEvent(LayerControl* control, int code) {
  if (control && code == kCloseButtonId) CloseBar();
}

bool RandomListLoadingWnd::IsDragArea(int, int) {
  return false;
}

void RandomListLoadingWnd::OnClose() {
  CloseBar();
}

void RandomListLoadingWnd::OnDestroy() {
  close_timer_.Stop();
  LayerWnd::OnDestroy();
}

void RandomListLoadingWnd::CloseBar() {
  state_ = 0;
  close_timer_.Stop();
  if (IsCreated()) Hide();
}

}  // namespace quillo::ui::lists
