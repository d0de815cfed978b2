#pragma once
// The base of every window that shows an HTML page: the page fills the window (or, for a page
// embedded in a skinned frame, a rectangle of the frame's window), and the window is the page's
// `window.external`. It answers the methods every such page may call (WindowMax, WindowClose,
// WindowMin, WindowRestore, WindowStartMove, WindowEndMove, EnableResize, OpenUrl, GetConfig,
// SetConfig, CheckConfig), calls the page's functions by name, and gives every HTML window the
// same behaviour: resizing by the page's border, fades, the cut-corner outline, a remembered
// geometry, and F1–F12, Ctrl and Escape kept from the page.
//
// Window thread only. Derived classes add methods by overriding OnExternalMethod and listing
// their names in ExternalMethodNames; an unknown method answers nothing.
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "platform/loop/LoopTarget.h"
#include "platform/web/WebView.h"
#include "ui/toolkit/LayerWnd.h"
#include "ui/toolkit/WindowRef.h"
#include "web/CornerProfile.h"
#include "web/OpacityFade.h"

namespace quillo::store {
class DocumentStore;
}

namespace quillo::web {

class CXHTMLDialog : public ui::LayerWnd, public WebViewListener {
 public:
  struct Options {
    // Plain HTML dialogs may be resized by their border; the service's, download, upload and
    // notification windows only after their page calls EnableResize("1").
    bool resizable = true;
    bool escape_closes = false;
    // Minimum tracking size; -1: none.
    int min_track_width = -1;
    int min_track_height = -1;
    // Corner insets applied to all four corners; {} with `corner_count` -1 is the default
    // profile 4, 2, 1, 0, and a count of 0 a rectangular window.
    int corner_count = -1;
    std::vector<int> corners;
    // When set, the size and position live in "window." + name + ".width" / ".height" /
    // ".pos.x" / ".pos.y".
    std::string geometry_name;
    bool system_menu = false;
    std::string title;
  };

  CXHTMLDialog(store::DocumentStore& store, Options options);
  ~CXHTMLDialog() override;

  // A window of its own: the page fills it. The saved geometry (when named) replaces
  // `screen_rect`, clamped to the desktop and never below the minimum size.
  bool Create(const gfx::Rect& screen_rect, ui::LayerWnd* parent,
              window::WindowKind kind = window::WindowKind::kDialog) override;
  // A page inside a skinned frame's window at `frame_rect` (frame window pixels); the window
  // methods (move, minimise, close …) then act on the frame. The page goes with this object
  // (or with the frame's native window, when that goes first).
  bool CreateInside(ui::LayerWnd& frame, const gfx::Rect& frame_rect);
  // Moves the page of CreateInside within the frame's window (frame window pixels).
  void SetPageRect(const gfx::Rect& frame_rect);

  // Navigation of the page. Before the view exists the last address asked for is kept and
  // loaded when it is made.
  void Navigate(const std::string& url);
  void NavigateBuiltIn(const std::string& name);
  WebView* view() const { return view_.get(); }

  // Calls the page's function by name with string arguments; nothing when no page is loaded or
  // the function does not exist.
  void CallPageFunction(const std::string& name, const std::vector<std::string>& args = {});

  // Opacity 0 → 255 in 100 steps, 255 → 0 in 101 steps (ends at exactly 255 or 0), one step
  // per timer tick, on the window the window methods act on.
  void FadeIn();
  void FadeOut();
  bool fading() const { return fade_.running(); }

  bool maximized() const { return maximized_; }
  bool resizable() const { return options_.resizable; }
  bool escape_closes() const { return options_.escape_closes; }
  const CornerProfile& corner_profile() const { return corners_; }

  // WebViewListener: the common methods, then OnExternalMethod.
  BridgeValue OnExternalCall(const std::string& method,
                             const std::vector<std::string>& args) override;
  bool OnPagePointer(PagePointer what, gfx::Point view_pos) override;
  bool OnPageKey(unsigned keyval, bool control) override;

 protected:
  // The methods a derived window adds (names listed by ExternalMethodNames). `handled` false
  // for names it does not know.
  virtual BridgeValue OnExternalMethod(const std::string& method,
                                       const std::vector<std::string>& args, bool& handled);
  virtual std::vector<std::string> ExternalMethodNames() const;
  // The origins whose pages get `window.external` (the built-in pages always do). Read when
  // the view is made and again at every Navigate.
  virtual std::vector<std::string> TrustedOrigins() const { return {}; }
  // Opens an http or https address of OpenUrl in the user's browser (other addresses never
  // get here).
  virtual void OpenExternalUrl(const std::string& url);

  store::DocumentStore& store() { return store_; }
  // The window the window methods act on: this one, or the frame it is embedded in.
  ui::LayerWnd& host_window();

  void OnSize(gfx::Size size) override;
  void OnDestroy() override;

 private:
  void AttachView();
  void ApplyShape();
  void Maximize();
  void Restore();
  void StartFade(OpacityFade::Direction direction);
  void PostToSelf(std::function<void()> task);
  // The rectangle the border hit test measures against: the page's own pixels.
  gfx::Rect PageClientRect() const;

  store::DocumentStore& store_;
  Options options_;
  CornerProfile corners_;
  std::unique_ptr<loop::LoopTarget> target_;  // posted window commands and the fade timer
  std::unique_ptr<WebView> view_;
  ui::WindowRef frame_;
  bool inside_frame_ = false;
  gfx::Rect page_rect_;    // CreateInside: the page in the frame's window
  gfx::Rect normal_rect_;  // the window before WindowMax
  bool maximized_ = false;
  OpacityFade fade_;
  std::string pending_url_;
};

}  // namespace quillo::web
