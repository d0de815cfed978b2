#include "ui/toolkit/LayerWnd.h"

#include <algorithm>

#include "platform/loop/MainLoop.h"
#include "platform/window/WindowSystem.h"
#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/ClickCounter.h"
#include "ui/toolkit/LayerListView.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/PopupOwner.h"
#include "ui/toolkit/SkinManager.h"

namespace quillo::ui {
namespace kit = skin::kit;

LayerWnd::LayerWnd(int skin_id, bool recolourable)
    : skin_id_(skin_id), recolourable_(recolourable) {}

// Subclasses that own edit fields destroy in their own destructor, while OnDestroy is theirs.
LayerWnd::~LayerWnd() { Destroy(); }

// ---- Creation and lifetime --------------------------------------------------------------------

bool LayerWnd::Create(const gfx::Rect& screen_rect, LayerWnd* parent, window::WindowKind kind) {
  window::WindowSystem* system = window::WindowSystem::Instance();
  loop::MainLoop* loop = loop::MainLoop::Instance();
  if (presenter_ || !system || !loop) return false;
  skin_ = skin_id_ != 0 ? SkinManager::Instance().Image(skin_id_, recolourable_) : nullptr;
  window::WindowOptions options;
  options.screen_rect = screen_rect;
  options.parent = parent ? parent->presenter() : nullptr;
  options.kind = kind;
  options.title = native_title_;
  options.keep_above = keep_above_;
  options.accept_focus = accept_focus_;
  options.input_transparent = input_transparent_;
  target_ = std::make_unique<loop::LoopTarget>(*loop);
  presenter_ = system->CreateWindow(*this, options);
  rect_ = screen_rect;
  size_ = gfx::Size{screen_rect.width(), screen_rect.height()};
  back_buffer_ = gfx::Surface(size_.width, size_.height);
  LayerWindowRegistry::Add(this);
  InitLayer();
  DrawAll();
  if (!presenter_) return false;  // InitLayer may give up
  if (show_command_ != ShowCommand::kHide) presenter_->Show(show_command_ == ShowCommand::kShow);
  UpdateLayer();
  // A window ticking while changed started its timer when DrawAll marked it changed.
  if (uses_layer_timer_ && layer_ticks_ == LayerTicks::kAlways) StartLayerTimer();
  return true;
}

void LayerWnd::StartLayerTimer() {
  if (target_) {
    target_->SetTimer(kLayerTimerId, std::chrono::milliseconds(kLayerTimerPeriodMs),
                      [this] { OnTimer(kLayerTimerId); }, loop::MainLoop::TimerPhase::kOnGrid);
  }
}

PopupOwner& LayerWnd::popups() {
  if (!popups_) popups_ = std::make_unique<PopupOwner>();
  return *popups_;
}

void LayerWnd::Destroy() {
  // Popups closing now find their owner gone and leave it alone.
  alive_ = std::make_shared<const bool>(true);
  if (popups_) {
    std::unique_ptr<PopupOwner> popups = std::move(popups_);
    popups.reset();
  }
  if (!presenter_) return;
  OnDestroy();
  LayerWindowRegistry::Remove(this);
  // Dropping the target drops queued layer events and stops every timer of this window.
  target_.reset();
  presenter_.reset();
  back_buffer_ = gfx::Surface();
  background_ = gfx::Surface();
  controls_.clear();
  dragged_slider_ = nullptr;
  mouse_captured_ = mouse_inside_ = moving_ = needs_update_ = false;
}

void LayerWnd::PostClose() {
  if (target_) target_->Post([this] { Close(); });
}

void LayerWnd::Close() { OnClose(); }

void LayerWnd::OnClose() { Destroy(); }
void LayerWnd::OnDestroy() {}

// ---- Platform-level operations ----------------------------------------------------------------

void LayerWnd::OnTimer(int timer_id) {
  if (timer_id != kLayerTimerId) return;
  UpdateIfDirty();
  // Nothing left to present (or nobody to see it: Show presents what waits): no more ticks.
  if (layer_ticks_ == LayerTicks::kWhileChanged && target_ &&
      (!needs_update_ || !presenter_ || !presenter_->IsVisible())) {
    target_->KillTimer(kLayerTimerId);
  }
}

void LayerWnd::SetNeedsUpdate() {
  needs_update_ = true;
  if (uses_layer_timer_ && layer_ticks_ == LayerTicks::kWhileChanged && target_ &&
      !target_->HasTimer(kLayerTimerId)) {
    StartLayerTimer();
  }
}

void LayerWnd::OnMouseMove(const window::MouseEvent& e) {
  if (!presenter_) return;
  if (!mouse_captured_) presenter_->SetArrowCursor();
  mouse_inside_ = true;
  if (dragged_slider_) {
    LayerControl& thumb = *dragged_slider_;
    MoveSliderThumb(thumb, gfx::Point{e.pos.x + thumb.drag_offset.x, e.pos.y + thumb.drag_offset.y});
    OnSliderMove(thumb);
    if (!presenter_) return;
  }
  for (auto& c : controls_) {
    if (c->hidden || c->kind == ControlKind::kList) continue;
    bool inside = c->bounds.Contains(e.pos);
    if (inside != c->hovered) {
      c->hovered = inside;
      RedrawControl(*c);
    }
  }
}

void LayerWnd::OnMouseLeave() {
  mouse_inside_ = false;
  for (auto& c : controls_) {
    if (c->hovered) {
      c->hovered = false;
      RedrawControl(*c);
    }
  }
}

void LayerWnd::OnLButtonDown(const window::MouseEvent& e) {
  if (!presenter_) return;
  mouse_captured_ = true;
  bool taken = false;
  // By index: a callback may add controls; a destroyed window stops the walk.
  for (std::size_t i = 0; i < controls_.size() && presenter_; ++i) {
    LayerControl& c = *controls_[i];
    if (c.hidden) continue;
    if (c.bounds.Contains(e.pos)) {
      taken = true;
      c.pressed = true;
      if (c.kind == ControlKind::kSliderThumb) {
        dragged_slider_ = &c;
        c.drag_offset = gfx::Point{c.bounds.left - e.pos.x, c.bounds.top - e.pos.y};
      }
      if (c.kind == ControlKind::kList && c.list) {
        c.list->SetModifiers(e.control, e.shift);
        c.list->OnMouseDown(e.pos);
      }
      RedrawControl(c);
      OnControlPressed(c, c.id);
    } else if (c.kind == ControlKind::kSliderThumb && c.track.Contains(e.pos)) {
      taken = true;
      MoveSliderThumb(c, gfx::Point{e.pos.x - c.bounds.width() / 2,
                                    e.pos.y - c.bounds.height() / 2});
      OnSliderRelease(c);
    } else if (c.pressed) {
      c.pressed = false;
      RedrawControl(c);
    }
  }
  if (!presenter_) return;
  if (!taken && IsDragArea(e.pos.x, e.pos.y)) {
    moving_ = true;
    presenter_->BeginMoveDrag(e);
  }
}

void LayerWnd::OnLButtonUp(const window::MouseEvent& e) {
  if (!presenter_) return;
  if (LayerControl* slider = dragged_slider_) {
    OnSliderRelease(*slider);
    dragged_slider_ = nullptr;
    if (!presenter_) return;
  }
  for (auto& c : controls_) {
    if (!c->pressed) continue;
    c->pressed = false;
    if (!c->hidden && c->bounds.Contains(e.pos)) {
      ClickCounter::Count(skin_id_, c->id);
      PostLayerEvent(c.get(), c->id);
    }
    RedrawControl(*c);
  }
  mouse_captured_ = false;
  moving_ = false;
}

void LayerWnd::OnLButtonDoubleClick(const window::MouseEvent& e) {
  for (auto& c : controls_) {
    if (!c->hidden && c->kind == ControlKind::kList && c->list && c->bounds.Contains(e.pos)) {
      int row = c->list->RowAt(e.pos);
      if (row >= 0) c->list->OnRowActivated(row);
      return;
    }
  }
}

void LayerWnd::OnRButtonUp(const window::MouseEvent&) {}

void LayerWnd::OnMouseWheel(const window::MouseEvent& e, int delta_steps) {
  for (auto& c : controls_) {
    if (!c->hidden && c->kind == ControlKind::kList && c->list && c->bounds.Contains(e.pos)) {
      c->list->ScrollBy(delta_steps * c->list->row_height() * 3);
      return;
    }
  }
}

bool LayerWnd::OnKeyDown(const window::KeyEvent&) { return false; }

void LayerWnd::OnCaptureLost() {
  for (auto& c : controls_) {
    if (c->pressed) {
      c->pressed = false;
      RedrawControl(*c);
    }
  }
  dragged_slider_ = nullptr;
  mouse_captured_ = false;
  moving_ = false;
}

void LayerWnd::OnSize(gfx::Size size) {
  size_ = size;
  // Below the minimum the old back buffer stays; it is still at least the window's size.
  if (size.width < minimum_size_.width || size.height < minimum_size_.height) return;
  if (back_buffer_.size() != size) ResizeBackBuffer(size);
  DrawAll();
  UpdateLayer();
}

void LayerWnd::ResizeBackBuffer(gfx::Size size) {
  back_buffer_ = gfx::Surface(size.width, size.height);
}

void LayerWnd::OnMove(gfx::Point) {}
void LayerWnd::OnActivate(bool) {}

// ---- Layered-window operations ----------------------------------------------------------------

void LayerWnd::InitLayer() {}

void LayerWnd::DrawAll() {
  if (back_buffer_.IsNull()) return;
  {
    gfx::Painter painter(back_buffer_);
    painter.Clear(gfx::Rect{0, 0, back_buffer_.width(), back_buffer_.height()});
  }
  DrawBackground();
  background_.CopyFrom(back_buffer_);
  restore_under_control_ = false;
  for (auto& c : controls_) {
    if (!c->hidden) DrawControl(*c);
  }
  restore_under_control_ = true;
  SetNeedsUpdate();
}

void LayerWnd::DrawBackground() {}
void LayerWnd::OnColorPicked(int, gfx::Color) {}

void LayerWnd::UpdateIfDirty() {
  if (needs_update_) UpdateLayer();
}

void LayerWnd::DrawControl(LayerControl& c) {
  if (c.hidden || back_buffer_.IsNull()) return;
  if (restore_under_control_) RestoreBackground(c.bounds);
  gfx::Painter painter(back_buffer_);
  int state = c.pressed ? 2 : c.hovered ? 1 : 0;
  switch (c.kind) {
    case ControlKind::kImageButton:
    case ControlKind::kSliderThumb:
      if (skin_) {
        painter.DrawImage(*skin_, state == 2 ? c.pressed_image : state == 1 ? c.hover : c.normal,
                          c.bounds);
      }
      break;
    case ControlKind::kTextButton:
      DrawTextButton(painter, c, state);
      break;
    case ControlKind::kDropDown:
      DrawDropDown(painter, c, state);
      break;
    case ControlKind::kCheckBox:
    case ControlKind::kRadio: {
      if (!skin_) break;
      gfx::Point base = c.kind == ControlKind::kCheckBox ? kit::kCheckBox : kit::kRadio;
      int s = kit::kToggleSize;
      // The images keep their size; the bounds only decide where clicks land.
      painter.DrawImage(*skin_,
                        gfx::Rect::FromXYWH(base.x + (c.checked ? s : 0), base.y + state * s, s, s),
                        gfx::Point{c.bounds.left, c.bounds.top});
      break;
    }
    case ControlKind::kLinkedLabel: {
      gfx::TextOptions options;
      options.vertical_center = true;
      options.ellipsize = true;
      painter.DrawText(c.text, control_font_, SkinColor(kit::kLabelTextPixel), c.bounds, options);
      break;
    }
    case ControlKind::kList:
      if (c.list) c.list->Draw(painter);
      break;
  }
  SetNeedsUpdate();
}

void LayerWnd::DrawTextButton(gfx::Painter& painter, const LayerControl& c, int state) {
  const gfx::Rect& b = c.bounds;
  if (skin_) {
    int x = kit::kTextButtonX, y = state * kit::kTextButtonHeight, end = kit::kTextButtonEnd;
    int w = kit::kTextButtonWidth, h = kit::kTextButtonHeight;
    painter.DrawImage(*skin_, gfx::Rect{x, y, x + end, y + h}, gfx::Rect{b.left, b.top, b.left + end, b.bottom});
    painter.DrawImage(*skin_, gfx::Rect{x + end, y, x + w - end, y + h},
                      gfx::Rect{b.left + end, b.top, b.right - end, b.bottom});
    painter.DrawImage(*skin_, gfx::Rect{x + w - end, y, x + w, y + h},
                      gfx::Rect{b.right - end, b.top, b.right, b.bottom});
  }
  gfx::TextOptions options;
  options.align = gfx::TextAlign::kCenter;
  options.vertical_center = true;
  gfx::Rect text_box = state == 2 ? b.Offset(0, 1) : b;
  painter.DrawText(c.text, control_font_, SkinColor(kit::kButtonTextPixel), text_box, options);
}

void LayerWnd::DrawDropDown(gfx::Painter& painter, const LayerControl& c, int state) {
  const gfx::Rect& b = c.bounds;
  if (skin_) {
    int x = kit::kDropDownX, y = state * kit::kDropDownHeight, h = kit::kDropDownHeight;
    int left = kit::kDropDownLeft, arrow = kit::kDropDownArrow, w = kit::kDropDownWidth;
    painter.DrawImage(*skin_, gfx::Rect{x, y, x + left, y + h}, gfx::Rect{b.left, b.top, b.left + left, b.bottom});
    painter.DrawImage(*skin_, gfx::Rect{x + left, y, x + w - arrow, y + h},
                      gfx::Rect{b.left + left, b.top, b.right - arrow, b.bottom});
    painter.DrawImage(*skin_, gfx::Rect{x + w - arrow, y, x + w, y + h},
                      gfx::Rect{b.right - arrow, b.top, b.right, b.bottom});
  }
  gfx::TextOptions options;
  options.vertical_center = true;
  options.ellipsize = true;
  painter.DrawText(c.text, control_font_, SkinColor(kit::kLabelTextPixel),
                   gfx::Rect{b.left + 6, b.top, b.right - kit::kDropDownArrow, b.bottom}, options);
}

void LayerWnd::OnControlEvent(LayerControl*, int) {}
void LayerWnd::OnControlPressed(LayerControl&, int) {}
void LayerWnd::OnPopupClosed(int, int) {}
void LayerWnd::DrawSliderTrack(int) {}
void LayerWnd::OnSliderMove(LayerControl&) {}
void LayerWnd::OnSliderRelease(LayerControl&) {}
bool LayerWnd::IsDragArea(int, int) { return true; }

void LayerWnd::UpdateLayer() {
  if (!presenter_ || !presenter_->IsVisible() || back_buffer_.IsNull()) return;
  if (back_buffer_.width() < size_.width || back_buffer_.height() < size_.height) return;
  presenter_->Present(back_buffer_, constant_alpha_);
  needs_update_ = false;
}

void LayerWnd::DrawAndPresentPart(const gfx::Rect& part, const std::function<void()>& draw) {
  const bool others_waiting = needs_update_;
  const bool ticking = target_ && target_->HasTimer(kLayerTimerId);
  draw();
  if (others_waiting) {
    UpdateLayer();
    return;
  }
  // Not on screen: the part stays marked, and the next Show presents it with the rest.
  if (!presenter_ || !presenter_->IsVisible() || back_buffer_.IsNull()) return;
  presenter_->PresentPart(back_buffer_, constant_alpha_, part);
  needs_update_ = false;
  // The drawing started the layer timer for what is now presented: its tick would only wake
  // the loop, 40 ms later, to find nothing (each frame of the spectrum did so). A timer that
  // was already running keeps running for whoever started it.
  if (!ticking && layer_ticks_ == LayerTicks::kWhileChanged && target_) target_->KillTimer(kLayerTimerId);
}

// ---- Controls ---------------------------------------------------------------------------------

LayerControl& LayerWnd::Append(std::unique_ptr<LayerControl> control) {
  controls_.push_back(std::move(control));
  return *controls_.back();
}

LayerControl& LayerWnd::AddButton(int w, int h, int x, int y, int sx, int sy, int id,
                                  std::string tooltip, bool hidden) {
  return AddButton(gfx::Rect::FromXYWH(x, y, w, h), gfx::Rect::FromXYWH(sx, sy, w, h),
                   gfx::Rect::FromXYWH(sx, sy + h, w, h), gfx::Rect::FromXYWH(sx, sy + 2 * h, w, h),
                   id, std::move(tooltip), hidden);
}

LayerControl& LayerWnd::AddButton(const gfx::Rect& bounds, const gfx::Rect& normal,
                                  const gfx::Rect& hover, const gfx::Rect& pressed, int id,
                                  std::string tooltip, bool hidden) {
  auto c = std::make_unique<LayerControl>();
  c->bounds = bounds;
  c->normal = normal;
  c->hover = hover;
  c->pressed_image = pressed;
  c->id = id;
  c->tooltip = std::move(tooltip);
  c->hidden = hidden;
  return Append(std::move(c));
}

LayerControl& LayerWnd::AddSlider(int w, int h, int x, int y, int sx, int sy, int id,
                                  const gfx::Rect& track, std::string tooltip) {
  LayerControl& c = AddButton(w, h, x, y, sx, sy, id, std::move(tooltip));
  c.kind = ControlKind::kSliderThumb;
  c.track = track;
  return c;
}

LayerControl& LayerWnd::AddTextButton(const gfx::Rect& bounds, std::string text, int id,
                                      std::string tooltip) {
  LayerControl& c = AddButton(bounds, {}, {}, {}, id, std::move(tooltip));
  c.kind = ControlKind::kTextButton;
  c.text = std::move(text);
  return c;
}

LayerControl& LayerWnd::AddDropDown(const gfx::Rect& bounds, std::string text, int id) {
  LayerControl& c = AddButton(bounds, {}, {}, {}, id);
  c.kind = ControlKind::kDropDown;
  c.text = std::move(text);
  return c;
}

LayerControl& LayerWnd::AddToggle(ControlKind kind, const gfx::Rect& bounds, int id, bool checked) {
  LayerControl& c = AddButton(bounds, {}, {}, {}, id);
  c.kind = kind;
  c.checked = checked;
  return c;
}

LayerControl& LayerWnd::AddLinkedLabel(const gfx::Rect& bounds, std::string text, int id,
                                       int linked_id) {
  LayerControl& c = AddButton(bounds, {}, {}, {}, id);
  c.kind = ControlKind::kLinkedLabel;
  c.text = std::move(text);
  c.linked_id = linked_id;
  return c;
}

LayerControl& LayerWnd::AddList(LayerListView& list, int id) {
  LayerControl& c = AddButton(list.bounds(), {}, {}, {}, id);
  c.kind = ControlKind::kList;
  c.list = &list;
  return c;
}

LayerControl* LayerWnd::FindControl(int id) {
  for (auto& c : controls_) {
    if (c->id == id) return c.get();
  }
  return nullptr;
}

LayerControl* LayerWnd::ControlAt(gfx::Point p) {
  for (auto& c : controls_) {
    if (!c->hidden && c->bounds.Contains(p)) return c.get();
  }
  return nullptr;
}

void LayerWnd::RedrawControl(LayerControl& c) {
  if (c.hidden) {
    RestoreBackground(c.bounds);
  } else {
    DrawControl(c);
  }
}

void LayerWnd::ShowControl(int id, bool visible) {
  LayerControl* c = FindControl(id);
  if (!c || c->hidden == !visible) return;
  c->hidden = !visible;
  if (!visible) c->hovered = c->pressed = false;
  RedrawControl(*c);
}

void LayerWnd::MoveControl(int id, int x, int y) {
  LayerControl* c = FindControl(id);
  if (!c) return;
  if (!c->hidden) RestoreBackground(c->bounds);
  c->bounds = gfx::Rect::FromXYWH(x, y, c->bounds.width(), c->bounds.height());
  if (!c->hidden) DrawControl(*c);
}

void LayerWnd::SetControlWidth(int id, int w) {
  LayerControl* c = FindControl(id);
  if (!c) return;
  if (!c->hidden) RestoreBackground(c->bounds);
  c->bounds.right = c->bounds.left + w;
  if (!c->hidden) DrawControl(*c);
}

void LayerWnd::SetControlTooltip(int id, std::string text) {
  if (LayerControl* c = FindControl(id)) {
    c->tooltip = std::move(text);
    if (presenter_) presenter_->RefreshTooltip();
  }
}

void LayerWnd::SetChecked(int id, bool checked) {
  LayerControl* c = FindControl(id);
  if (!c || c->checked == checked) return;
  c->checked = checked;
  RedrawControl(*c);
}

void LayerWnd::MoveSliderThumb(LayerControl& thumb, gfx::Point wanted) {
  int w = thumb.bounds.width(), h = thumb.bounds.height();
  const gfx::Rect& t = thumb.track;
  int x = std::clamp(wanted.x, t.left, std::max(t.left, t.right - w));
  int y = std::clamp(wanted.y, t.top, std::max(t.top, t.bottom - h));
  RestoreBackground(thumb.bounds);
  DrawSliderTrack(thumb.id);
  thumb.bounds = gfx::Rect::FromXYWH(x, y, w, h);
  // The track just drawn stays under the thumb's transparent corners.
  restore_under_control_ = false;
  DrawControl(thumb);
  restore_under_control_ = true;
}

// ---- Events -----------------------------------------------------------------------------------

void LayerWnd::PostLayerEvent(const LayerControl* control, int code) {
  if (target_) target_->Post([this, control, code] { DeliverLayerEvent(control, code); });
}

void LayerWnd::DeliverLayerEvent(const LayerControl* control, int code) {
  LayerControl* target = nullptr;
  if (control) {
    auto it = std::find_if(controls_.begin(), controls_.end(),
                           [control](const auto& c) { return c.get() == control; });
    if (it == controls_.end()) return;  // the control went away meanwhile
    target = it->get();
    if (target->kind == ControlKind::kLinkedLabel) {
      target = FindControl(target->linked_id);
      if (!target) return;
      code = target->id;
    }
  }
  OnControlEvent(target, code);
}

// ---- Window -----------------------------------------------------------------------------------

void LayerWnd::Show(bool activate) {
  if (!presenter_) return;
  presenter_->Show(activate);
  UpdateLayer();
}

void LayerWnd::Hide() {
  if (presenter_) presenter_->Hide();
}

void LayerWnd::SetWindowRect(const gfx::Rect& screen_rect) {
  rect_ = screen_rect;
  if (!presenter_) return;
  presenter_->SetScreenRect(screen_rect);
  gfx::Size size{screen_rect.width(), screen_rect.height()};
  if (size != size_) OnSize(size);
}

gfx::Rect LayerWnd::WindowRect() const { return presenter_ ? presenter_->ScreenRect() : rect_; }

void LayerWnd::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (!enabled) OnCaptureLost();
  if (presenter_) presenter_->SetEnabled(enabled);
}

void LayerWnd::BringToFront() {
  if (presenter_) presenter_->BringToFront();
}

void LayerWnd::SetConstantAlpha(std::uint8_t alpha) {
  constant_alpha_ = alpha;
  SetNeedsUpdate();
}

void LayerWnd::SetKeepAbove(bool above) {
  keep_above_ = above;
  if (presenter_) presenter_->SetKeepAbove(above);
}

void LayerWnd::SetInputTransparent(bool transparent) {
  input_transparent_ = transparent;
  if (presenter_) presenter_->SetInputTransparent(transparent);
}

void LayerWnd::SetSkin(int skin_id) {
  skin_id_ = skin_id;
  if (presenter_) skin_ = skin_id ? SkinManager::Instance().Image(skin_id, recolourable_) : nullptr;
}

gfx::Color LayerWnd::SkinColor(gfx::Point pixel) const {
  if (!skin_) return gfx::Color{0, 0, 0, 254};
  return SkinManager::PixelColor(*skin_, pixel.x, pixel.y);
}

void LayerWnd::RestoreBackground(const gfx::Rect& r) {
  if (back_buffer_.IsNull() || background_.IsNull()) return;
  gfx::Rect clipped = r.Intersect(gfx::Rect{0, 0, back_buffer_.width(), back_buffer_.height()});
  if (clipped.IsEmpty()) return;
  gfx::Painter painter(back_buffer_);
  painter.CopyImage(background_, clipped, gfx::Point{clipped.left, clipped.top});
  SetNeedsUpdate();
}

// ---- Native events ----------------------------------------------------------------------------

void LayerWnd::OnNativeMouseMove(const window::MouseEvent& e) {
  if (enabled_) OnMouseMove(e);
}
void LayerWnd::OnNativeMouseLeave() { OnMouseLeave(); }
void LayerWnd::OnNativeButtonDown(const window::MouseEvent& e) {
  if (!enabled_) return;
  if (e.button == window::MouseButton::kLeft) OnLButtonDown(e);
}
void LayerWnd::OnNativeDoubleClick(const window::MouseEvent& e) {
  if (enabled_ && e.button == window::MouseButton::kLeft) OnLButtonDoubleClick(e);
}
void LayerWnd::OnNativeButtonUp(const window::MouseEvent& e) {
  if (!enabled_) return;
  if (e.button == window::MouseButton::kLeft) {
    OnLButtonUp(e);
  } else if (e.button == window::MouseButton::kRight) {
    OnRButtonUp(e);
  }
}
void LayerWnd::OnNativeWheel(const window::MouseEvent& e, int delta_steps) {
  if (enabled_) OnMouseWheel(e, delta_steps);
}
bool LayerWnd::OnNativeKeyDown(const window::KeyEvent& e) { return enabled_ && OnKeyDown(e); }
void LayerWnd::OnNativeCaptureLost() { OnCaptureLost(); }
void LayerWnd::OnNativeSized(gfx::Size size) {
  if (size != size_) OnSize(size);
}
void LayerWnd::OnNativeMoved(gfx::Point origin) {
  rect_ = gfx::Rect::FromXYWH(origin.x, origin.y, rect_.width(), rect_.height());
  OnMove(origin);
}
void LayerWnd::OnNativeActivated(bool active) { OnActivate(active); }
void LayerWnd::OnNativeCloseRequest() {
  if (enabled_) Close();
}
void LayerWnd::OnNativeShown(bool) {}

std::optional<window::TooltipAnswer> LayerWnd::OnNativeTooltip(gfx::Point pos) {
  for (auto& c : controls_) {
    if (!c->hidden && !c->tooltip.empty() && c->bounds.Contains(pos)) {
      return window::TooltipAnswer{c->tooltip, c->bounds};
    }
  }
  return std::nullopt;
}

}  // namespace quillo::ui
