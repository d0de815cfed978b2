#include "platform/window/GtkEditHost.h"

#include <cstdio>
#include <utility>

namespace quillo::window {
namespace {
GtkEditHost* Self(gpointer p) { return static_cast<GtkEditHost*>(p); }
}  // namespace

GtkEditHost::GtkEditHost(GtkFixed* fixed, const gfx::Rect& rect, const gfx::Font& font)
    : fixed_(fixed), entry_(gtk_entry_new()), css_(gtk_css_provider_new()) {
  // A flat white field without GTK's own frame: the skinned window draws the frame around it.
  char css[512];
  std::snprintf(css, sizeof css,
                "entry { font-family: \"%s\"; font-size: %.1fpx; font-weight: %d; min-height: 0;"
                " padding: 0 3px; margin: 0; border: none; border-radius: 0; box-shadow: none;"
                " outline: none; background: #ffffff; color: #000000; }"
                " entry selection { background: #3d7fd9; color: #ffffff; }",
                font.family.c_str(), font.EmPixels(), font.bold ? 700 : 400);
  gtk_css_provider_load_from_data(css_, css, -1, nullptr);
  gtk_style_context_add_provider(gtk_widget_get_style_context(entry_), GTK_STYLE_PROVIDER(css_),
                                 GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  gtk_entry_set_has_frame(GTK_ENTRY(entry_), FALSE);
  gtk_entry_set_width_chars(GTK_ENTRY(entry_), 1);
  gtk_fixed_put(fixed_, entry_, rect.left, rect.top);
  gtk_widget_set_size_request(entry_, rect.width(), rect.height());
  g_signal_connect(entry_, "changed", G_CALLBACK(&OnChanged), this);
  g_signal_connect(entry_, "notify::cursor-position", G_CALLBACK(&OnNotify), this);
  g_signal_connect(entry_, "notify::selection-bound", G_CALLBACK(&OnNotify), this);
  g_signal_connect(entry_, "focus-in-event", G_CALLBACK(&OnFocus), this);
  g_signal_connect(entry_, "focus-out-event", G_CALLBACK(&OnFocus), this);
  g_signal_connect(entry_, "activate", G_CALLBACK(&OnActivate), this);
  gtk_widget_show(entry_);
}

void GtkEditHost::SetEcho(char32_t echo) {
  gtk_entry_set_visibility(GTK_ENTRY(entry_), echo == 0);
  if (echo != 0) gtk_entry_set_invisible_char(GTK_ENTRY(entry_), gunichar(echo));
}

GtkEditHost::~GtkEditHost() {
  if (idle_source_ != 0) g_source_remove(idle_source_);
  g_signal_handlers_disconnect_by_data(entry_, this);
  gtk_widget_destroy(entry_);
  g_object_unref(css_);
}

void GtkEditHost::SetText(std::string_view utf8) {
  std::string text(utf8);
  gtk_entry_set_text(GTK_ENTRY(entry_), text.c_str());
}

std::string GtkEditHost::Text() const { return gtk_entry_get_text(GTK_ENTRY(entry_)); }

void GtkEditHost::SelectAll() { gtk_editable_select_region(GTK_EDITABLE(entry_), 0, -1); }

void GtkEditHost::SetRect(const gfx::Rect& rect) {
  gtk_fixed_move(fixed_, entry_, rect.left, rect.top);
  gtk_widget_set_size_request(entry_, rect.width(), rect.height());
}

void GtkEditHost::SetVisible(bool visible) { gtk_widget_set_visible(entry_, visible); }

void GtkEditHost::Focus() { gtk_widget_grab_focus(entry_); }

bool GtkEditHost::HasFocus() const { return gtk_widget_has_focus(entry_); }

int GtkEditHost::CaretX() const {
  GtkEntry* entry = GTK_ENTRY(entry_);
  const char* text = gtk_entry_get_text(entry);
  int position = gtk_editable_get_position(GTK_EDITABLE(entry_));
  int byte_index = int(g_utf8_offset_to_pointer(text, position) - text);
  int layout_index = gtk_entry_text_index_to_layout_index(entry, byte_index);
  PangoRectangle strong;
  pango_layout_get_cursor_pos(gtk_entry_get_layout(entry), layout_index, &strong, nullptr);
  int offset_x = 0;
  gtk_entry_get_layout_offsets(entry, &offset_x, nullptr);
  return offset_x + strong.x / PANGO_SCALE;
}

gfx::Surface GtkEditHost::Render() {
  GtkAllocation allocation;
  gtk_widget_get_allocation(entry_, &allocation);
  if (!gtk_widget_get_realized(entry_) || allocation.width <= 1 || allocation.height <= 1) {
    return {};
  }
  gfx::Surface pixels(allocation.width, allocation.height);
  cairo_t* cr = cairo_create(pixels.native());
  gtk_widget_draw(entry_, cr);
  cairo_destroy(cr);
  pixels.MarkDirty();
  return pixels;
}

void GtkEditHost::ScheduleNotice() {
  // Before GTK's own redraw, so that the back buffer and the screen change in the same frame.
  if (idle_source_ == 0) {
    idle_source_ = g_idle_add_full(G_PRIORITY_HIGH_IDLE, &OnIdle, this, nullptr);
  }
}

gboolean GtkEditHost::OnIdle(gpointer p) {
  GtkEditHost* self = Self(p);
  self->idle_source_ = 0;
  bool focus_changed = std::exchange(self->focus_changed_, false);
  bool changed = std::exchange(self->changed_, false);
  // The listener may destroy this host; nothing of it is touched after the calls.
  EditListener* listener = self->listener_;
  if (!listener) return G_SOURCE_REMOVE;
  if (focus_changed) {
    listener->OnEditFocus(self->focused_);
  } else if (changed) {
    listener->OnEditChanged();
  }
  return G_SOURCE_REMOVE;
}

void GtkEditHost::OnChanged(GtkWidget*, gpointer p) {
  Self(p)->changed_ = true;
  Self(p)->ScheduleNotice();
}

void GtkEditHost::OnNotify(GObject*, GParamSpec*, gpointer p) {
  Self(p)->changed_ = true;
  Self(p)->ScheduleNotice();
}

gboolean GtkEditHost::OnFocus(GtkWidget*, GdkEventFocus* e, gpointer p) {
  GtkEditHost* self = Self(p);
  self->focused_ = e->in != 0;
  self->focus_changed_ = true;
  self->ScheduleNotice();
  return FALSE;
}

void GtkEditHost::OnActivate(GtkWidget*, gpointer p) {
  if (Self(p)->listener_) Self(p)->listener_->OnEditActivate();
}

}  // namespace quillo::window
