#pragma once
// The base of every skinned window: a native window shown from a 32-bit back buffer with
// per-pixel alpha, a list of layer controls drawn from the window's skin image, their mouse
// handling, tooltips and layer events.
//
// Window thread only. The window owns its controls, its back buffer and its native window
// (through a WindowPresenter of the process's WindowSystem). Destroy (or the destructor)
// releases them; a destroyed window may be created again.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Painter.h"
#include "platform/gfx/Surface.h"
#include "platform/loop/LoopTarget.h"
#include "platform/window/WindowPresenter.h"
#include "ui/toolkit/LayerControl.h"
#include "ui/toolkit/WindowRef.h"

namespace quillo::ui {

// The window timer of skinned windows, and its period: drawing marks the window changed and the
// next tick presents it, so a burst of drawing reaches the screen once.
inline constexpr int kLayerTimerId = 1000;
inline constexpr int kLayerTimerPeriodMs = 40;

// When the layer timer ticks: only while something drawn waits to be presented (a window that
// changes only when drawn to, which then wakes nobody while idle), or all the time (a window
// whose UpdateIfDirty or OnTimer animates by the tick: fades, karaoke, a summary it follows).
enum class LayerTicks { kWhileChanged, kAlways };

class PopupOwner;

enum class ShowCommand { kShow, kShowNoActivate, kHide };

class LayerWnd : public window::WindowEvents {
 public:
  // skin_id 0: a window without skin image.
  explicit LayerWnd(int skin_id, bool recolourable = true);
  ~LayerWnd() override;
  LayerWnd(const LayerWnd&) = delete;
  LayerWnd& operator=(const LayerWnd&) = delete;

  // ---- Operations of the platform window --------------------------------------------------
  virtual void OnTimer(int timer_id);
  virtual void OnMouseMove(const window::MouseEvent& e);
  virtual void OnMouseLeave();
  virtual void OnLButtonDown(const window::MouseEvent& e);
  virtual void OnLButtonUp(const window::MouseEvent& e);
  virtual void OnLButtonDoubleClick(const window::MouseEvent& e);
  virtual void OnRButtonUp(const window::MouseEvent& e);
  virtual void OnMouseWheel(const window::MouseEvent& e, int delta_steps);
  virtual bool OnKeyDown(const window::KeyEvent& e);
  virtual void OnCaptureLost();
  virtual void OnSize(gfx::Size size);
  virtual void OnMove(gfx::Point screen_origin);
  virtual void OnActivate(bool active);
  // A close request (the close button, the window manager, PostClose). The base destroys.
  virtual void OnClose();
  // Just before the native window goes: release what was made from it (edit fields).
  virtual void OnDestroy();

  // ---- Operations of the layered window, in this order --------------------------------------
  // 1. Loads the skin, makes the native window at the screen rectangle, allocates the back
  //    buffer, InitLayer, DrawAll, shows (ShowCommand), UpdateLayer, starts timer 1000.
  //    False when there is no window system or the window already exists.
  virtual bool Create(const gfx::Rect& screen_rect, LayerWnd* parent,
                      window::WindowKind kind = window::WindowKind::kDialog);
  // 2. Makes the controls; empty in the base.
  virtual void InitLayer();
  // 3. DrawBackground, then DrawControl for every visible control.
  virtual void DrawAll();
  // 4. Empty in the base.
  virtual void DrawBackground();
  // 5. The colour popup reports the colour chosen for a request; empty in the base.
  virtual void OnColorPicked(int request_id, gfx::Color color);
  // 6. UpdateLayer when something was drawn since the last one.
  virtual void UpdateIfDirty();
  // 7. Draws the control's normal, hover or pressed image at its bounds.
  virtual void DrawControl(LayerControl& control);
  // 8. A layer event: the control (or none) and its id or the posted code. Empty in the base.
  virtual void OnControlEvent(LayerControl* control, int code);
  // 9. A control was pressed (button down inside it). Empty in the base.
  virtual void OnControlPressed(LayerControl& control, int id);
  // 10. A popup owned by this window closed. Empty in the base.
  virtual void OnPopupClosed(int first, int second);
  // 11. Redraw the track under a slider before its thumb moves. Empty in the base.
  virtual void DrawSliderTrack(int id);
  // 12. After each move of a dragged slider thumb. Empty in the base.
  virtual void OnSliderMove(LayerControl& control);
  // 13. After a jump to a track click or at the end of a drag. Empty in the base.
  virtual void OnSliderRelease(LayerControl& control);
  // 14. Whether a press at this point that no control took moves the window. True in the base.
  virtual bool IsDragArea(int x, int y);
  // 15. Pushes the back buffer to the screen when visible and at least the window's size.
  virtual void UpdateLayer();

  // ---- Controls -------------------------------------------------------------------------
  // Bounds (x, y, x + w, y + h); images stacked: normal (sx, sy), hover (sx, sy + h), pressed
  // (sx, sy + 2h).
  LayerControl& AddButton(int w, int h, int x, int y, int sx, int sy, int id,
                          std::string tooltip = {}, bool hidden = false);
  LayerControl& AddButton(const gfx::Rect& bounds, const gfx::Rect& normal, const gfx::Rect& hover,
                          const gfx::Rect& pressed, int id, std::string tooltip = {},
                          bool hidden = false);
  LayerControl& AddSlider(int w, int h, int x, int y, int sx, int sy, int id,
                          const gfx::Rect& track, std::string tooltip = {});
  LayerControl& AddTextButton(const gfx::Rect& bounds, std::string text, int id,
                              std::string tooltip = {});
  LayerControl& AddDropDown(const gfx::Rect& bounds, std::string text, int id);
  LayerControl& AddToggle(ControlKind kind, const gfx::Rect& bounds, int id, bool checked);
  LayerControl& AddLinkedLabel(const gfx::Rect& bounds, std::string text, int id, int linked_id);
  LayerControl& AddList(LayerListView& list, int id);

  LayerControl* FindControl(int id);
  void ShowControl(int id, bool visible);
  void MoveControl(int id, int x, int y);
  void SetControlWidth(int id, int w);
  void SetControlTooltip(int id, std::string text);
  void SetChecked(int id, bool checked);
  const std::vector<std::unique_ptr<LayerControl>>& controls() const { return controls_; }

  // Posts the layer event for the control (or none) with the code.
  void PostLayerEvent(const LayerControl* control, int code);
  // Posts a close request.
  void PostClose();
  // Runs OnClose now.
  void Close();
  // Releases the native window, the controls' tooltips and the back buffer. First every
  // WindowRef to this window goes empty and the popups it owns are destroyed.
  void Destroy();
  // A weak reference that empties when this window is destroyed (or Destroy starts).
  WindowRef Ref() const { return WindowRef(alive_, const_cast<LayerWnd*>(this)); }
  // The owner of the popups this window opens (made on first use).
  PopupOwner& popups();

  // ---- Window ---------------------------------------------------------------------------
  bool IsCreated() const { return presenter_ != nullptr; }
  bool IsVisible() const { return presenter_ && presenter_->IsVisible(); }
  void Show(bool activate = true);
  void Hide();
  // Moves and resizes the window; the size takes effect at once (OnSize).
  void SetWindowRect(const gfx::Rect& screen_rect);
  gfx::Rect WindowRect() const;
  gfx::Size ClientSize() const { return size_; }
  void SetEnabled(bool enabled);
  bool IsEnabled() const { return enabled_; }
  void BringToFront();
  bool IsActive() const { return presenter_ && presenter_->IsActive(); }
  void SetConstantAlpha(std::uint8_t alpha);
  std::uint8_t constant_alpha() const { return constant_alpha_; }
  void SetMinimumSize(gfx::Size size) { minimum_size_ = size; }
  void SetShowCommand(ShowCommand command) { show_command_ = command; }
  void SetUsesLayerTimer(bool uses) { uses_layer_timer_ = uses; }
  // Before Create.
  void SetLayerTicks(LayerTicks ticks) { layer_ticks_ = ticks; }
  void SetKeepAbove(bool above);
  void SetInputTransparent(bool transparent);
  // Before Create: whether the window may take the focus, and its title for the window list.
  void SetAcceptFocus(bool accept) { accept_focus_ = accept; }
  void SetNativeTitle(std::string title) { native_title_ = std::move(title); }

  // ---- Drawing --------------------------------------------------------------------------
  gfx::Surface& back_buffer() { return back_buffer_; }
  const gfx::Surface* skin() const { return skin_; }
  int skin_id() const { return skin_id_; }
  // Changes the skin image (for theme styles); the caller redraws.
  void SetSkin(int skin_id);
  // The text colour of a pixel of this window's skin (the 254 rule).
  gfx::Color SkinColor(gfx::Point pixel) const;
  // Draws one part of the back buffer with `draw` (which keeps inside `part`, window pixels) and
  // presents just that part at once; when other drawing was already waiting, the whole back
  // buffer. What `draw` marks changed (RestoreBackground marks the whole buffer) is taken as
  // that part, so a small animation never turns into a full-window repaint at every frame.
  void DrawAndPresentPart(const gfx::Rect& part, const std::function<void()>& draw);
  // Marks the back buffer as changed since the last UpdateLayer (the layer timer presents it).
  void SetNeedsUpdate();
  bool needs_update() const { return needs_update_; }
  // For windows that present something else than the back buffer (their own UpdateLayer).
  void ClearNeedsUpdate() { needs_update_ = false; }
  // Puts back what DrawBackground drew under the rectangle (before redrawing a control there).
  void RestoreBackground(const gfx::Rect& r);
  gfx::Font& control_font() { return control_font_; }

  window::WindowPresenter* presenter() const { return presenter_.get(); }
  loop::LoopTarget* loop_target() const { return target_.get(); }
  bool mouse_captured() const { return mouse_captured_; }
  bool mouse_inside() const { return mouse_inside_; }
  LayerControl* dragged_slider() const { return dragged_slider_; }

 protected:
  // Moves a slider thumb to a left/top position clamped into its track, with the redraw order
  // of a drag (DrawSliderTrack, move, DrawControl).
  void MoveSliderThumb(LayerControl& thumb, gfx::Point wanted);
  void RedrawControl(LayerControl& control);
  LayerControl* ControlAt(gfx::Point p);
  void StartLayerTimer();

 private:
  // window::WindowEvents
  void OnNativeMouseMove(const window::MouseEvent& e) override;
  void OnNativeMouseLeave() override;
  void OnNativeButtonDown(const window::MouseEvent& e) override;
  void OnNativeDoubleClick(const window::MouseEvent& e) override;
  void OnNativeButtonUp(const window::MouseEvent& e) override;
  void OnNativeWheel(const window::MouseEvent& e, int delta_steps) override;
  bool OnNativeKeyDown(const window::KeyEvent& e) override;
  void OnNativeCaptureLost() override;
  void OnNativeSized(gfx::Size size) override;
  void OnNativeMoved(gfx::Point screen_origin) override;
  void OnNativeActivated(bool active) override;
  void OnNativeCloseRequest() override;
  void OnNativeShown(bool shown) override;
  std::optional<window::TooltipAnswer> OnNativeTooltip(gfx::Point pos) override;

  void DeliverLayerEvent(const LayerControl* control, int code);
  LayerControl& Append(std::unique_ptr<LayerControl> control);
  void ResizeBackBuffer(gfx::Size size);
  void DrawTextButton(gfx::Painter& painter, const LayerControl& c, int state_row);
  void DrawDropDown(gfx::Painter& painter, const LayerControl& c, int state_row);

  int skin_id_;
  bool recolourable_;
  const gfx::Surface* skin_ = nullptr;
  gfx::Surface back_buffer_;
  gfx::Surface background_;  // what DrawBackground drew, for RestoreBackground
  std::vector<std::unique_ptr<LayerControl>> controls_;
  std::unique_ptr<window::WindowPresenter> presenter_;
  std::unique_ptr<loop::LoopTarget> target_;
  std::uint8_t constant_alpha_ = 255;
  gfx::Size minimum_size_{1, 1};
  ShowCommand show_command_ = ShowCommand::kShow;
  gfx::Rect rect_;
  gfx::Size size_;
  gfx::Font control_font_ = gfx::Font::Points("宋体", 9);
  bool uses_layer_timer_ = true;
  LayerTicks layer_ticks_ = LayerTicks::kWhileChanged;
  bool keep_above_ = false;
  bool accept_focus_ = true;
  bool input_transparent_ = false;
  bool restore_under_control_ = true;
  std::string native_title_;
  bool enabled_ = true;
  bool mouse_inside_ = false;
  bool mouse_captured_ = false;
  bool moving_ = false;
  bool needs_update_ = false;
  LayerControl* dragged_slider_ = nullptr;
  // Replaced (so every WindowRef empties) when the window is destroyed.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
  std::unique_ptr<PopupOwner> popups_;
};

}  // namespace quillo::ui
