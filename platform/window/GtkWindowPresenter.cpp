#include "platform/window/GtkWindowPresenter.h"

#include <utility>

#include <gdk/gdkx.h>

#include "platform/window/GtkEditHost.h"
#include "platform/window/GtkMenuBuilder.h"

// The container of a window's child widgets: a GtkFixed that asks for no size of its own, so
// that children placed over the whole window (the embedded browser) never hold the window at
// their size: the window shrinks first and its owner then moves its children.
struct QuilloChildArea {
  GtkFixed parent;
};
struct QuilloChildAreaClass {
  GtkFixedClass parent_class;
};
G_DEFINE_TYPE(QuilloChildArea, quillo_child_area, GTK_TYPE_FIXED)

static void quillo_child_area_preferred(GtkWidget*, gint* minimum, gint* natural) {
  *minimum = *natural = 1;
}
static void quillo_child_area_class_init(QuilloChildAreaClass* klass) {
  GtkWidgetClass* widget_class = GTK_WIDGET_CLASS(klass);
  widget_class->get_preferred_width = &quillo_child_area_preferred;
  widget_class->get_preferred_height = &quillo_child_area_preferred;
}
static void quillo_child_area_init(QuilloChildArea*) {}

namespace quillo::window {
namespace {
GtkWindowPresenter* Self(gpointer p) {
  return static_cast<GtkWindowPresenter*>(p);
}

GdkWindowTypeHint HintFor(WindowKind kind) {
  switch (kind) {
    case WindowKind::kMain:
      return GDK_WINDOW_TYPE_HINT_NORMAL;
    case WindowKind::kDialog:
      return GDK_WINDOW_TYPE_HINT_DIALOG;
    case WindowKind::kPopup:
      return GDK_WINDOW_TYPE_HINT_UTILITY;
    case WindowKind::kTooltip:
      return GDK_WINDOW_TYPE_HINT_TOOLTIP;
  }
  return GDK_WINDOW_TYPE_HINT_NORMAL;
}
}  // namespace

GtkWindowPresenter::GtkWindowPresenter(WindowEvents& events, const WindowOptions& options)
    : events_(events), rect_(options.screen_rect) {
  window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* w = GTK_WINDOW(window_);
  gtk_window_set_decorated(w, FALSE);
  gtk_widget_set_app_paintable(window_, TRUE);
  if (GdkVisual* rgba = gdk_screen_get_rgba_visual(gtk_widget_get_screen(window_))) {
    gtk_widget_set_visual(window_, rgba);
  }
  gtk_window_set_type_hint(w, HintFor(options.kind));
  bool in_taskbar = options.kind == WindowKind::kMain;
  gtk_window_set_skip_taskbar_hint(w, !in_taskbar);
  gtk_window_set_skip_pager_hint(w, !in_taskbar);
  gtk_window_set_keep_above(w, options.keep_above);
  gtk_window_set_accept_focus(w, options.accept_focus);
  gtk_window_set_focus_on_map(w, options.accept_focus);
  gtk_window_set_title(w, options.title.c_str());
  if (auto* parent = dynamic_cast<GtkWindowPresenter*>(options.parent)) {
    gtk_window_set_transient_for(w, parent->gtk_window());
  }
  fixed_ = GTK_WIDGET(g_object_new(quillo_child_area_get_type(), nullptr));
  gtk_container_add(GTK_CONTAINER(window_), fixed_);
  gtk_widget_show(fixed_);

  gtk_widget_add_events(window_, GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK |
                                     GDK_BUTTON_RELEASE_MASK | GDK_LEAVE_NOTIFY_MASK |
                                     GDK_ENTER_NOTIFY_MASK | GDK_SCROLL_MASK | GDK_KEY_PRESS_MASK |
                                     GDK_FOCUS_CHANGE_MASK | GDK_STRUCTURE_MASK);
  g_signal_connect(window_, "draw", G_CALLBACK(&OnDraw), this);
  g_signal_connect(window_, "motion-notify-event", G_CALLBACK(&OnMotion), this);
  g_signal_connect(window_, "button-press-event", G_CALLBACK(&OnButtonPress), this);
  g_signal_connect(window_, "button-release-event", G_CALLBACK(&OnButtonRelease), this);
  g_signal_connect(window_, "leave-notify-event", G_CALLBACK(&OnLeave), this);
  g_signal_connect(window_, "scroll-event", G_CALLBACK(&OnScroll), this);
  // After GTK's own handler, so that a focused entry sees its keys first.
  g_signal_connect_after(window_, "key-press-event", G_CALLBACK(&OnKeyPress), this);
  g_signal_connect(window_, "grab-broken-event", G_CALLBACK(&OnGrabBroken), this);
  g_signal_connect(window_, "configure-event", G_CALLBACK(&OnConfigure), this);
  g_signal_connect(window_, "focus-in-event", G_CALLBACK(&OnFocusChange), this);
  g_signal_connect(window_, "focus-out-event", G_CALLBACK(&OnFocusChange), this);
  g_signal_connect(window_, "delete-event", G_CALLBACK(&OnDelete), this);
  g_signal_connect(window_, "map-event", G_CALLBACK(&OnMapChange), this);
  g_signal_connect(window_, "unmap-event", G_CALLBACK(&OnMapChange), this);
  g_signal_connect(window_, "query-tooltip", G_CALLBACK(&OnQueryTooltip), this);
  gtk_widget_set_has_tooltip(window_, TRUE);

  gtk_window_move(w, rect_.left, rect_.top);
  gtk_window_resize(w, std::max(1, rect_.width()), std::max(1, rect_.height()));
  gtk_widget_realize(window_);
  // Our windows paint on their own timers and through GDK's double buffer, so waiting for a
  // compositor's "frame drawn" buys nothing; and GDK asks the X server, at every painted frame,
  // whether the window manager supports it, a round trip each time when no manager runs.
  if (GdkWindow* gdk_window = gtk_widget_get_window(window_); GDK_IS_X11_WINDOW(gdk_window))
    gdk_x11_window_set_frame_sync_enabled(gdk_window, FALSE);
  if (options.input_transparent) SetInputTransparent(true);
}

GtkWindowPresenter::~GtkWindowPresenter() {
  g_signal_handlers_disconnect_by_data(window_, this);
  gtk_widget_destroy(window_);
}

void GtkWindowPresenter::Show(bool activate) {
  if (activate) {
    // A window not yet on screen is only mapped here; the focus comes at its map notice.
    activate_on_map_ = !mapped_;
    gtk_window_present(gtk_window());
  } else {
    activate_on_map_ = false;
    gboolean focus_on_map = gtk_window_get_focus_on_map(gtk_window());
    gtk_window_set_focus_on_map(gtk_window(), FALSE);
    gtk_widget_show(window_);
    gtk_window_set_focus_on_map(gtk_window(), focus_on_map);
  }
}

void GtkWindowPresenter::FocusWithoutManager() {
  GdkWindow* gdk_window = gtk_widget_get_window(window_);
  if (!gdk_window || !GDK_IS_X11_WINDOW(gdk_window)) return;
  // A window manager activates the window on its own (from the request made when it was shown).
  if (gdk_x11_screen_supports_net_wm_hint(gdk_window_get_screen(gdk_window),
                                          gdk_atom_intern_static_string("_NET_ACTIVE_WINDOW"))) {
    return;
  }
  // Without one, the focus can only be set once the window is viewable, and with the current
  // time: the last input event's time GTK would use may predate the server's last focus change.
  gdk_window_focus(gdk_window, GDK_CURRENT_TIME);
}

void GtkWindowPresenter::Hide() {
  activate_on_map_ = false;
  gtk_widget_hide(window_);
}

bool GtkWindowPresenter::IsVisible() const {
  return gtk_widget_get_visible(window_);
}

void GtkWindowPresenter::SetScreenRect(const gfx::Rect& rect) {
  rect_ = rect;
  gtk_window_move(gtk_window(), rect.left, rect.top);
  gtk_window_resize(gtk_window(), std::max(1, rect.width()), std::max(1, rect.height()));
}

gfx::Rect GtkWindowPresenter::ScreenRect() const {
  gfx::Rect r = rect_;
  GdkWindow* gdk_window = gtk_widget_get_window(window_);
  if (mapped_ && gdk_window) {
    int x = 0, y = 0;
    gdk_window_get_origin(gdk_window, &x, &y);
    r = r.Offset(x - r.left, y - r.top);
  }
  return r;
}

void GtkWindowPresenter::Present(const gfx::Surface& back_buffer, std::uint8_t constant_alpha) {
  back_buffer_ = &back_buffer;
  constant_alpha_ = constant_alpha;
  gtk_widget_queue_draw(window_);
}

void GtkWindowPresenter::PresentPart(const gfx::Surface& back_buffer, std::uint8_t constant_alpha,
                                     const gfx::Rect& changed) {
  if (&back_buffer != back_buffer_ || constant_alpha != constant_alpha_) {
    Present(back_buffer, constant_alpha);
    return;
  }
  if (changed.IsEmpty()) return;
  // The draw handler paints through the clip GTK sets to the queued area.
  gtk_widget_queue_draw_area(window_, changed.left, changed.top, changed.width(), changed.height());
}

void GtkWindowPresenter::FlushPaint() {
  if (GdkWindow* gdk_window = gtk_widget_get_window(window_)) {
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gdk_window_process_updates(gdk_window, TRUE);
    G_GNUC_END_IGNORE_DEPRECATIONS
    gdk_display_flush(gdk_window_get_display(gdk_window));
  }
}

void GtkWindowPresenter::SetKeepAbove(bool above) {
  gtk_window_set_keep_above(gtk_window(), above);
}

void GtkWindowPresenter::SetInputTransparent(bool transparent) {
  input_transparent_ = transparent;
  // An empty input shape sends every pointer event to the window below.
  cairo_region_t* region = transparent ? cairo_region_create() : nullptr;
  gtk_widget_input_shape_combine_region(window_, region);
  if (region) cairo_region_destroy(region);
}

void GtkWindowPresenter::SetEnabled(bool enabled) {
  enabled_ = enabled;
  gtk_widget_set_sensitive(fixed_, enabled);
}

void GtkWindowPresenter::BringToFront() {
  gtk_window_present(gtk_window());
}

bool GtkWindowPresenter::IsActive() const {
  return gtk_window_is_active(gtk_window());
}

void GtkWindowPresenter::BeginMoveDrag(const MouseEvent& from) {
  gtk_window_begin_move_drag(gtk_window(), guint(from.button), from.screen.x, from.screen.y,
                             from.time_ms);
}

void GtkWindowPresenter::BeginResizeDrag(ResizeEdge edge, const MouseEvent& from) {
  gtk_window_begin_resize_drag(gtk_window(), ToGdkEdge(edge), guint(from.button), from.screen.x,
                               from.screen.y, from.time_ms);
}

namespace {
// The pointer's screen position now; false without a pointer.
bool PointerNow(GtkWidget* widget, int& x, int& y) {
  GdkDisplay* display = gtk_widget_get_display(widget);
  GdkSeat* seat = display ? gdk_display_get_default_seat(display) : nullptr;
  GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
  if (!pointer) return false;
  gdk_device_get_position(pointer, nullptr, &x, &y);
  return true;
}
}  // namespace

void GtkWindowPresenter::BeginMoveDragAtPointer() {
  int x = 0, y = 0;
  if (!PointerNow(window_, x, y)) return;
  gtk_window_begin_move_drag(gtk_window(), 1, x, y, GDK_CURRENT_TIME);
}

void GtkWindowPresenter::BeginResizeDragAtPointer(ResizeEdge edge) {
  int x = 0, y = 0;
  if (!PointerNow(window_, x, y)) return;
  gtk_window_begin_resize_drag(gtk_window(), ToGdkEdge(edge), 1, x, y, GDK_CURRENT_TIME);
}

GdkWindowEdge GtkWindowPresenter::ToGdkEdge(ResizeEdge edge) {
  switch (edge) {
    case ResizeEdge::kBottomRight:
      return GDK_WINDOW_EDGE_SOUTH_EAST;
    case ResizeEdge::kRight:
      return GDK_WINDOW_EDGE_EAST;
    case ResizeEdge::kBottom:
      return GDK_WINDOW_EDGE_SOUTH;
    case ResizeEdge::kTopLeft:
      return GDK_WINDOW_EDGE_NORTH_WEST;
    case ResizeEdge::kTop:
      return GDK_WINDOW_EDGE_NORTH;
    case ResizeEdge::kTopRight:
      return GDK_WINDOW_EDGE_NORTH_EAST;
    case ResizeEdge::kLeft:
      return GDK_WINDOW_EDGE_WEST;
    case ResizeEdge::kBottomLeft:
      return GDK_WINDOW_EDGE_SOUTH_WEST;
  }
  return GDK_WINDOW_EDGE_SOUTH_EAST;
}

void GtkWindowPresenter::SetArrowCursor() {
  GdkWindow* gdk_window = gtk_widget_get_window(window_);
  if (gdk_window && gdk_window_get_cursor(gdk_window)) gdk_window_set_cursor(gdk_window, nullptr);
}

void GtkWindowPresenter::SetResizeCursor() {
  GdkWindow* gdk_window = gtk_widget_get_window(window_);
  if (!gdk_window) return;
  GdkCursor* cursor = gdk_cursor_new_from_name(gdk_window_get_display(gdk_window), "col-resize");
  if (!cursor) return;
  // The window holds its own reference.
  gdk_window_set_cursor(gdk_window, cursor);
  g_object_unref(cursor);
}

void GtkWindowPresenter::ClearFocus() {
  gtk_window_set_focus(GTK_WINDOW(window_), nullptr);
}

void GtkWindowPresenter::SetImageCursor(const gfx::Surface& image, gfx::Point hotspot) {
  GdkWindow* gdk_window = gtk_widget_get_window(window_);
  if (!gdk_window || image.IsNull()) return;
  GdkCursor* cursor = gdk_cursor_new_from_surface(gdk_window_get_display(gdk_window),
                                                  image.native(), hotspot.x, hotspot.y);
  if (!cursor) return;
  gdk_window_set_cursor(gdk_window, cursor);
  g_object_unref(cursor);
}

void GtkWindowPresenter::RefreshTooltip() {
  gtk_widget_trigger_tooltip_query(window_);
}

std::unique_ptr<EditHost> GtkWindowPresenter::CreateEdit(const gfx::Rect& rect,
                                                         const gfx::Font& font) {
  return std::make_unique<GtkEditHost>(GTK_FIXED(fixed_), rect, font);
}

void GtkWindowPresenter::ShowMenu(const std::vector<MenuItem>& items, gfx::Point pos,
                                  std::function<void(int id)> chosen) {
  GtkMenuBuilder::Popup(window_, items, pos, std::move(chosen));
}

bool GtkWindowPresenter::OwnsEvent(GdkWindow* event_window) const {
  return enabled_ && !input_transparent_ && event_window == gtk_widget_get_window(window_);
}

MouseEvent GtkWindowPresenter::ToMouseEvent(double x, double y, double x_root, double y_root,
                                            guint button, GdkModifierType state,
                                            guint32 time) const {
  MouseEvent e;
  e.pos = gfx::Point{int(x), int(y)};
  e.screen = gfx::Point{int(x_root), int(y_root)};
  e.button = button == 1   ? MouseButton::kLeft
             : button == 2 ? MouseButton::kMiddle
             : button == 3 ? MouseButton::kRight
                           : MouseButton::kOther;
  e.left_held = (state & GDK_BUTTON1_MASK) != 0;
  e.control = (state & GDK_CONTROL_MASK) != 0;
  e.shift = (state & GDK_SHIFT_MASK) != 0;
  e.time_ms = time;
  return e;
}

void GtkWindowPresenter::AfterNextPaint(std::function<void()> task) {
  after_paint_.push_back(std::move(task));
  gtk_widget_queue_draw(window_);
}

gboolean GtkWindowPresenter::OnDraw(GtkWidget*, cairo_t* cr, gpointer p) {
  GtkWindowPresenter* self = Self(p);
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cr, 0, 0, 0, 0);
  cairo_paint(cr);
  if (self->back_buffer_ && !self->back_buffer_->IsNull()) {
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_set_source_surface(cr, self->back_buffer_->native(), 0, 0);
    cairo_paint_with_alpha(cr, self->constant_alpha_ / 255.0);
  }
  cairo_restore(cr);
  if (!self->after_paint_.empty()) {
    // After this frame is out: at idle priority, behind GDK's end of the frame.
    using Tasks = std::vector<std::function<void()>>;
    g_idle_add_full(
        G_PRIORITY_DEFAULT_IDLE,
        [](gpointer tasks) -> gboolean {
          for (auto& task : *static_cast<Tasks*>(tasks)) task();
          return G_SOURCE_REMOVE;
        },
        new Tasks(std::move(self->after_paint_)),
        [](gpointer tasks) { delete static_cast<Tasks*>(tasks); });
    self->after_paint_.clear();
  }
  return FALSE;  // hosted entries draw themselves on top
}

gboolean GtkWindowPresenter::OnMotion(GtkWidget*, GdkEventMotion* e, gpointer p) {
  GtkWindowPresenter* self = Self(p);
  if (!self->OwnsEvent(e->window)) return FALSE;
  self->events_.OnNativeMouseMove(
      self->ToMouseEvent(e->x, e->y, e->x_root, e->y_root, 0, GdkModifierType(e->state), e->time));
  gdk_event_request_motions(e);
  return TRUE;
}

gboolean GtkWindowPresenter::OnButtonPress(GtkWidget*, GdkEventButton* e, gpointer p) {
  GtkWindowPresenter* self = Self(p);
  if (!self->OwnsEvent(e->window)) return FALSE;
  MouseEvent m = self->ToMouseEvent(e->x, e->y, e->x_root, e->y_root, e->button,
                                    GdkModifierType(e->state), e->time);
  if (e->type == GDK_BUTTON_PRESS) {
    self->events_.OnNativeButtonDown(m);
  } else if (e->type == GDK_2BUTTON_PRESS) {
    self->events_.OnNativeDoubleClick(m);
  }
  return TRUE;
}

gboolean GtkWindowPresenter::OnButtonRelease(GtkWidget*, GdkEventButton* e, gpointer p) {
  GtkWindowPresenter* self = Self(p);
  if (!self->OwnsEvent(e->window)) return FALSE;
  self->events_.OnNativeButtonUp(self->ToMouseEvent(e->x, e->y, e->x_root, e->y_root, e->button,
                                                    GdkModifierType(e->state), e->time));
  return TRUE;
}

gboolean GtkWindowPresenter::OnLeave(GtkWidget*, GdkEventCrossing* e, gpointer p) {
  GtkWindowPresenter* self = Self(p);
  // Moving onto a hosted entry is not leaving the window.
  if (e->detail == GDK_NOTIFY_INFERIOR || !self->OwnsEvent(e->window)) return FALSE;
  self->events_.OnNativeMouseLeave();
  return FALSE;
}

gboolean GtkWindowPresenter::OnScroll(GtkWidget*, GdkEventScroll* e, gpointer p) {
  GtkWindowPresenter* self = Self(p);
  if (!self->OwnsEvent(e->window)) return FALSE;
  int steps = e->direction == GDK_SCROLL_UP ? -1 : e->direction == GDK_SCROLL_DOWN ? 1 : 0;
  if (steps != 0) {
    self->events_.OnNativeWheel(
        self->ToMouseEvent(e->x, e->y, e->x_root, e->y_root, 0, GdkModifierType(e->state), e->time),
        steps);
  }
  return TRUE;
}

gboolean GtkWindowPresenter::OnKeyPress(GtkWidget*, GdkEventKey* e, gpointer p) {
  GtkWindowPresenter* self = Self(p);
  if (!self->enabled_) return FALSE;
  KeyEvent k;
  k.keyval = e->keyval;
  k.control = (e->state & GDK_CONTROL_MASK) != 0;
  k.shift = (e->state & GDK_SHIFT_MASK) != 0;
  k.alt = (e->state & GDK_MOD1_MASK) != 0;
  return self->events_.OnNativeKeyDown(k);
}

gboolean GtkWindowPresenter::OnGrabBroken(GtkWidget*, GdkEvent*, gpointer p) {
  Self(p)->events_.OnNativeCaptureLost();
  return FALSE;
}

gboolean GtkWindowPresenter::OnConfigure(GtkWidget*, GdkEventConfigure* e, gpointer p) {
  GtkWindowPresenter* self = Self(p);
  gfx::Size size{e->width, e->height};
  gfx::Point origin{e->x, e->y};
  self->rect_ = gfx::Rect::FromXYWH(e->x, e->y, e->width, e->height);
  if (size != self->last_size_) {
    self->last_size_ = size;
    self->events_.OnNativeSized(size);
  }
  if (origin != self->last_origin_) {
    self->last_origin_ = origin;
    self->events_.OnNativeMoved(origin);
  }
  return FALSE;
}

gboolean GtkWindowPresenter::OnFocusChange(GtkWidget*, GdkEventFocus* e, gpointer p) {
  Self(p)->events_.OnNativeActivated(e->in != 0);
  return FALSE;
}

gboolean GtkWindowPresenter::OnDelete(GtkWidget*, GdkEvent*, gpointer p) {
  Self(p)->events_.OnNativeCloseRequest();
  return TRUE;  // the owner decides whether and when the window goes
}

gboolean GtkWindowPresenter::OnMapChange(GtkWidget*, GdkEvent* e, gpointer p) {
  GtkWindowPresenter* self = Self(p);
  self->mapped_ = e->type == GDK_MAP;
  if (self->mapped_ && std::exchange(self->activate_on_map_, false)) self->FocusWithoutManager();
  self->events_.OnNativeShown(self->mapped_);
  return FALSE;
}

gboolean GtkWindowPresenter::OnQueryTooltip(GtkWidget*, gint x, gint y, gboolean keyboard,
                                            GtkTooltip* tip, gpointer p) {
  if (keyboard) return FALSE;
  GtkWindowPresenter* self = Self(p);
  if (!self->enabled_) return FALSE;
  std::optional<TooltipAnswer> answer = self->events_.OnNativeTooltip(gfx::Point{x, y});
  if (!answer || answer->text.empty()) return FALSE;
  gtk_tooltip_set_text(tip, answer->text.c_str());
  GdkRectangle area{answer->area.left, answer->area.top, answer->area.width(),
                    answer->area.height()};
  gtk_tooltip_set_tip_area(tip, &area);
  return TRUE;
}

}  // namespace quillo::window

namespace quillo::window {

void GtkWindowPresenter::Iconify() {
  gtk_window_iconify(GTK_WINDOW(window_));
}

void GtkWindowPresenter::SetTitle(const std::string& title) {
  gtk_window_set_title(GTK_WINDOW(window_), title.c_str());
}

void GtkWindowPresenter::SetShape(const std::vector<gfx::Rect>& rects) {
  if (rects.empty()) {
    gtk_widget_shape_combine_region(window_, nullptr);
    return;
  }
  cairo_region_t* region = cairo_region_create();
  for (const gfx::Rect& r : rects) {
    if (r.IsEmpty()) continue;
    cairo_rectangle_int_t box{r.left, r.top, r.width(), r.height()};
    cairo_region_union_rectangle(region, &box);
  }
  // The X shape extension cuts both the drawn and the input area.
  gtk_widget_shape_combine_region(window_, region);
  cairo_region_destroy(region);
}

void GtkWindowPresenter::SetMinimumTrackSize(gfx::Size minimum) {
  GdkGeometry hints{};
  hints.min_width = std::max(1, minimum.width);
  hints.min_height = std::max(1, minimum.height);
  gtk_window_set_geometry_hints(gtk_window(), nullptr, &hints, GDK_HINT_MIN_SIZE);
}

void GtkWindowPresenter::SetOpacity(std::uint8_t opacity) {
  opacity_ = opacity;
  gtk_widget_set_opacity(window_, opacity / 255.0);
}

void GtkWindowPresenter::SetFileDropHandler(
    std::function<void(const std::vector<std::string>& paths)> handler) {
  const bool had = static_cast<bool>(drop_handler_);
  drop_handler_ = std::move(handler);
  if (had || !drop_handler_) return;
  // The plain list of addresses, which every file manager offers. GTK's own set of URI targets
  // adds the file transfer portal's, and finding out whether that portal exists is a blocking
  // D-Bus call on the first window, in the middle of the start.
  static const GtkTargetEntry kUriList[] = {{const_cast<gchar*>("text/uri-list"), 0, 0}};
  gtk_drag_dest_set(window_, GTK_DEST_DEFAULT_ALL, kUriList, G_N_ELEMENTS(kUriList),
                    GDK_ACTION_COPY);
  g_signal_connect(window_, "drag-data-received", G_CALLBACK(OnDragData), this);
}

void GtkWindowPresenter::OnDragData(GtkWidget*, GdkDragContext* context, gint, gint,
                                    GtkSelectionData* data, guint, guint time, gpointer self) {
  auto* presenter = static_cast<GtkWindowPresenter*>(self);
  std::vector<std::string> paths;
  if (gchar** uris = gtk_selection_data_get_uris(data)) {
    for (gchar** uri = uris; *uri != nullptr; ++uri) {
      // Only local files can be added; other addresses are skipped.
      if (gchar* path = g_filename_from_uri(*uri, nullptr, nullptr)) {
        paths.emplace_back(path);
        g_free(path);
      }
    }
    g_strfreev(uris);
  }
  gtk_drag_finish(context, !paths.empty(), FALSE, time);
  if (!paths.empty() && presenter->drop_handler_) presenter->drop_handler_(paths);
}

}  // namespace quillo::window
