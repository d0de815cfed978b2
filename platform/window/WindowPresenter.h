#pragma once
// One native window of a skinned window: shows the owner's back buffer with per-pixel alpha and
// a constant alpha, and reports input through WindowEvents. Window thread only. Destroying the
// presenter destroys the native window; no event reaches the owner after that.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Surface.h"
#include "platform/window/EditHost.h"
#include "platform/window/MenuItem.h"
#include "platform/window/WindowEvents.h"

namespace quillo::window {

enum class WindowKind {
  kMain,     // listed in the taskbar
  kDialog,   // a framed or modal dialog
  kPopup,    // a drop-down that closes when it loses activation
  kTooltip,  // never takes the focus
};

// The edge or corner a border resize moves.
enum class ResizeEdge {
  kBottomRight,
  kRight,
  kBottom,
  kTopLeft,
  kTop,
  kTopRight,
  kLeft,
  kBottomLeft,
};

class WindowPresenter;

struct WindowOptions {
  gfx::Rect screen_rect;
  WindowPresenter* parent = nullptr;  // stays above it; may be null
  WindowKind kind = WindowKind::kDialog;
  std::string title;
  bool keep_above = false;
  bool accept_focus = true;
  bool input_transparent = false;
};

class WindowPresenter {
 public:
  virtual ~WindowPresenter() = default;

  // Shows the window; with activate it also takes the focus.
  virtual void Show(bool activate) = 0;
  virtual void Hide() = 0;
  virtual bool IsVisible() const = 0;
  virtual void SetScreenRect(const gfx::Rect& rect) = 0;
  virtual gfx::Rect ScreenRect() const = 0;

  // Shows these pixels (premultiplied ARGB) multiplied by constant_alpha / 255. The surface must
  // stay alive, unchanged in size, until the next Present or the presenter's destruction.
  virtual void Present(const gfx::Surface& back_buffer, std::uint8_t constant_alpha) = 0;
  // The same, when only `changed` (window pixels) differs from the last Present of this surface
  // at this alpha: only that part needs painting again. The default paints everything.
  virtual void PresentPart(const gfx::Surface& back_buffer, std::uint8_t constant_alpha,
                           const gfx::Rect& /*changed*/) {
    Present(back_buffer, constant_alpha);
  }

  virtual void SetKeepAbove(bool above) = 0;
  // A transparent window lets every mouse event through to what is below it.
  virtual void SetInputTransparent(bool transparent) = 0;
  // A disabled window takes no input (the parent of a modal run).
  virtual void SetEnabled(bool enabled) = 0;
  // Raises the window and gives it the focus.
  virtual void BringToFront() = 0;
  virtual bool IsActive() const = 0;
  // Takes the keyboard focus from the window's child entries: keys go to the window itself.
  virtual void ClearFocus() {}

  // Start moving or resizing with the pointer, from the button-down event that asked for it.
  virtual void BeginMoveDrag(const MouseEvent& from) = 0;
  virtual void BeginResizeDrag(ResizeEdge edge, const MouseEvent& from) = 0;
  // The same without an event (a page asked for it, or a child widget took the button-down):
  // from the pointer's position now, with the left button. Window systems that cannot start a
  // drag without an event do nothing.
  virtual void BeginMoveDragAtPointer() {}
  virtual void BeginResizeDragAtPointer(ResizeEdge /*edge*/) {}
  virtual void SetArrowCursor() = 0;
  // The horizontal resize cursor (a splitter under the pointer); nothing where there is none.
  virtual void SetResizeCursor() {}
  // A cursor drawn from an image (premultiplied ARGB), the hotspot in its pixels; SetArrowCursor
  // puts the arrow back. Window systems without image cursors keep the cursor they show.
  virtual void SetImageCursor(const gfx::Surface& /*image*/, gfx::Point /*hotspot*/) {}
  // The tooltip under the pointer may have changed; ask OnNativeTooltip again.
  virtual void RefreshTooltip() = 0;

  // A text entry placed at the window rectangle.
  virtual std::unique_ptr<EditHost> CreateEdit(const gfx::Rect& rect, const gfx::Font& font) = 0;
  // Opens a popup menu at a window point; chosen runs with the item's id (not at all when the
  // menu is dismissed).
  virtual void ShowMenu(const std::vector<MenuItem>& items, gfx::Point pos,
                        std::function<void(int id)> chosen) = 0;
  // Minimises the window to the taskbar. Window systems without it do nothing.
  virtual void Iconify() {}
  // The window's outline as the union of these rectangles (window pixels): outside them the
  // window is neither drawn nor takes input. An empty list gives back the whole rectangle.
  virtual void SetShape(const std::vector<gfx::Rect>& /*rects*/) {}
  // The opacity of the whole window, child widgets included (0 transparent … 255 opaque),
  // beside the constant alpha of Present, which only scales the back buffer. Shown only where
  // a compositor runs; the value is kept either way.
  virtual void SetOpacity(std::uint8_t /*opacity*/) {}
  virtual std::uint8_t Opacity() const { return 255; }
  // The smallest size the user may resize the window to (a dimension below 1: no limit).
  virtual void SetMinimumTrackSize(gfx::Size /*minimum*/) {}
  // The title the taskbar and the window list show.
  virtual void SetTitle(const std::string& /*title*/) {}
  // Dropped files (text/uri-list) arrive as local paths; unset by an empty function.
  // Runs `task` once on the window thread after the window has next been drawn on the screen
  // (the frame finished, later than the call); dropped if the window goes first. A presenter
  // that draws nowhere runs it at once.
  virtual void AfterNextPaint(std::function<void()> task) { task(); }
  virtual void SetFileDropHandler(std::function<void(const std::vector<std::string>& paths)>) {}
};

}  // namespace quillo::window
