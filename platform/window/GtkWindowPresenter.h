#pragma once
// Internal to platform/window: one skinned window as a GTK toplevel with an RGBA visual, painted
// from its owner's back buffer. Hosted entries live in a GtkFixed over the painted pixels.
#include <gtk/gtk.h>

#include "platform/window/WindowPresenter.h"

namespace quillo::window {

class GtkWindowPresenter : public WindowPresenter {
 public:
  GtkWindowPresenter(WindowEvents& events, const WindowOptions& options);
  ~GtkWindowPresenter() override;

  void Show(bool activate) override;
  void Hide() override;
  bool IsVisible() const override;
  void SetScreenRect(const gfx::Rect& rect) override;
  gfx::Rect ScreenRect() const override;
  void Present(const gfx::Surface& back_buffer, std::uint8_t constant_alpha) override;
  void PresentPart(const gfx::Surface& back_buffer, std::uint8_t constant_alpha,
                   const gfx::Rect& changed) override;
  void SetKeepAbove(bool above) override;
  void SetInputTransparent(bool transparent) override;
  void SetEnabled(bool enabled) override;
  void BringToFront() override;
  bool IsActive() const override;
  void BeginMoveDrag(const MouseEvent& from) override;
  void BeginResizeDrag(ResizeEdge edge, const MouseEvent& from) override;
  void BeginMoveDragAtPointer() override;
  void BeginResizeDragAtPointer(ResizeEdge edge) override;
  void SetArrowCursor() override;
  void SetResizeCursor() override;
  void ClearFocus() override;
  void SetImageCursor(const gfx::Surface& image, gfx::Point hotspot) override;
  void RefreshTooltip() override;
  std::unique_ptr<EditHost> CreateEdit(const gfx::Rect& rect, const gfx::Font& font) override;
  void ShowMenu(const std::vector<MenuItem>& items, gfx::Point pos,
                std::function<void(int id)> chosen) override;
  void Iconify() override;
  void SetTitle(const std::string& title) override;
  void SetShape(const std::vector<gfx::Rect>& rects) override;
  void SetOpacity(std::uint8_t opacity) override;
  std::uint8_t Opacity() const override { return opacity_; }
  void SetMinimumTrackSize(gfx::Size minimum) override;
  void AfterNextPaint(std::function<void()> task) override;
  void SetFileDropHandler(
      std::function<void(const std::vector<std::string>& paths)> handler) override;

  GtkWindow* gtk_window() const { return GTK_WINDOW(window_); }
  // The container over the painted pixels where child widgets (entries, the embedded browser)
  // are placed at window pixels. Owned by the window; for platform/ only.
  GtkFixed* fixed() const { return GTK_FIXED(fixed_); }
  // The window system's names for an edge: the drag edge and the cursor shown over it.
  static GdkWindowEdge ToGdkEdge(ResizeEdge edge);
  static const char* CursorName(ResizeEdge edge) {
    switch (edge) {
      case ResizeEdge::kBottomRight:
        return "se-resize";
      case ResizeEdge::kRight:
        return "e-resize";
      case ResizeEdge::kBottom:
        return "s-resize";
      case ResizeEdge::kTopLeft:
        return "nw-resize";
      case ResizeEdge::kTop:
        return "n-resize";
      case ResizeEdge::kTopRight:
        return "ne-resize";
      case ResizeEdge::kLeft:
        return "w-resize";
      case ResizeEdge::kBottomLeft:
        return "sw-resize";
    }
    return "default";
  }
  // Whether the X server's map notice has come: from then on the window receives input.
  bool mapped() const { return mapped_; }
  // Paints pending damage now (benchmarks and screenshots).
  void FlushPaint();

 private:
  // Focuses the shown window where no window manager does (a bare X server, as under Xvfb).
  void FocusWithoutManager();
  static gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer self);
  static gboolean OnMotion(GtkWidget*, GdkEventMotion* e, gpointer self);
  static gboolean OnButtonPress(GtkWidget*, GdkEventButton* e, gpointer self);
  static gboolean OnButtonRelease(GtkWidget*, GdkEventButton* e, gpointer self);
  static gboolean OnLeave(GtkWidget*, GdkEventCrossing* e, gpointer self);
  static gboolean OnScroll(GtkWidget*, GdkEventScroll* e, gpointer self);
  static gboolean OnKeyPress(GtkWidget*, GdkEventKey* e, gpointer self);
  static gboolean OnGrabBroken(GtkWidget*, GdkEvent*, gpointer self);
  static gboolean OnConfigure(GtkWidget*, GdkEventConfigure* e, gpointer self);
  static gboolean OnFocusChange(GtkWidget*, GdkEventFocus* e, gpointer self);
  static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer self);
  static gboolean OnMapChange(GtkWidget*, GdkEvent* e, gpointer self);
  static void OnDragData(GtkWidget*, GdkDragContext* context, gint x, gint y,
                         GtkSelectionData* data, guint info, guint time, gpointer self);
  static gboolean OnQueryTooltip(GtkWidget*, gint x, gint y, gboolean keyboard, GtkTooltip* tip,
                                 gpointer self);
  bool OwnsEvent(GdkWindow* event_window) const;
  MouseEvent ToMouseEvent(double x, double y, double x_root, double y_root, guint button,
                          GdkModifierType state, guint32 time) const;

  WindowEvents& events_;
  std::function<void(const std::vector<std::string>&)> drop_handler_;
  GtkWidget* window_ = nullptr;
  GtkWidget* fixed_ = nullptr;
  const gfx::Surface* back_buffer_ = nullptr;
  std::uint8_t constant_alpha_ = 255;
  std::uint8_t opacity_ = 255;
  bool enabled_ = true;
  bool input_transparent_ = false;
  bool mapped_ = false;
  std::vector<std::function<void()>> after_paint_;  // AfterNextPaint's tasks
  bool activate_on_map_ = false;
  gfx::Rect rect_;
  gfx::Size last_size_{-1, -1};
  gfx::Point last_origin_{-1 << 20, -1 << 20};
};

}  // namespace quillo::window
