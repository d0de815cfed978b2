#pragma once
// A text box inside a skinned window: a real text entry of the window system (typing,
// selection, clipboard and input methods all work), placed over the window at its rectangle.
// After every change its pixels are copied, opaque, into the owner's back buffer, and while it
// has the focus a 1-pixel caret 10 pixels high is drawn there, blinking on a timer of its own
// (1001 in the window's numbering) until it settles, shown, after a while without typing; so
// that the back buffer always shows what the user sees.
//
// Window thread. Create after the owner's window exists (in InitLayer); the owner must destroy
// the edit (Destroy) in its OnDestroy.
#include <functional>
#include <memory>
#include <string>

#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/loop/Timer.h"
#include "platform/window/EditHost.h"

namespace quillo::ui {

class LayerWnd;

class LayerEdit : public window::EditListener {
 public:
  // The caret is shown and hidden in turn for this long each.
  static constexpr int kCaretBlinkMs = 500;
  // After this long without typing or a change of focus the caret stays shown and stops
  // blinking, as the window system's own entries do: a focused box left alone must not wake
  // the program and repaint the window twice a second for ever.
  static constexpr int kCaretBlinkTimeoutMs = 10000;
  static gfx::Font DefaultFont() { return gfx::Font::Pixels("Arial", 13); }  // cell height 15

  LayerEdit(LayerWnd& owner, const gfx::Rect& rect, gfx::Font font = DefaultFont());
  ~LayerEdit() override;

  bool Create();
  void Destroy();
  bool IsCreated() const { return host_ != nullptr; }

  void SetText(const std::string& text);
  std::string Text() const;
  void SelectAll();
  // A password field: every character shows as `echo` ('●' for the login); 0 shows the text.
  void SetEcho(char32_t echo);
  char32_t echo() const { return echo_; }
  void Focus();
  bool HasFocus() const;
  const gfx::Rect& rect() const { return rect_; }
  void SetRect(const gfx::Rect& rect);
  // Whether the caret is drawn at this tick of the blink (for tests).
  bool caret_shown() const { return caret_shown_; }

  // Copies the entry's pixels (and the caret) into the owner's back buffer; false when the
  // entry is not laid out yet (a white field stands in for it).
  bool CopyIntoOwner();
  // Whether the caret still blinks (false once it has settled, shown, or without the focus).
  bool caret_blinking() const { return caret_timer_.IsRunning(); }

  void OnEditChanged() override;
  void OnEditFocus(bool focused) override;
  void OnEditActivate() override;
  // Runs when Enter is pressed in the field.
  void SetOnActivate(std::function<void()> on_activate) { on_activate_ = std::move(on_activate); }

 private:
  void OnCaretTick();
  void StartBlinking();

  LayerWnd& owner_;
  gfx::Rect rect_;
  gfx::Font font_;
  std::string pending_text_;
  std::unique_ptr<window::EditHost> host_;
  std::function<void()> on_activate_;
  char32_t echo_ = 0;
  bool caret_shown_ = false;
  int caret_ticks_ = 0;  // since the blink last started
  loop::Timer caret_timer_;
};

}  // namespace quillo::ui
