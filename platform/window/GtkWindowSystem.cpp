#include "platform/window/GtkWindowSystem.h"

#include <gtk/gtk.h>

#include "platform/window/GtkWindowPresenter.h"

namespace quillo::window {

GtkWindowSystem::GtkWindowSystem() { WindowSystem::SetInstance(this); }

GtkWindowSystem::~GtkWindowSystem() {
  if (WindowSystem::Instance() == this) WindowSystem::SetInstance(nullptr);
}

bool GtkWindowSystem::InitGtk(int* argc, char*** argv) {
  // Absolute window positions and input shapes need X11 (under Wayland through XWayland).
  gdk_set_allowed_backends("x11,*");
  // Every window draws with cairo. GDK would otherwise probe GLX while opening the display,
  // which loads Mesa (with llvmpipe, some 50 MB) into a process that never draws with GL. A
  // value the user set is kept; the web view's own processes choose their rendering apart.
  g_setenv("GDK_GL", "disable", FALSE);
  return gtk_init_check(argc, argv);
}

std::unique_ptr<WindowPresenter> GtkWindowSystem::CreateWindow(WindowEvents& events,
                                                               const WindowOptions& options) {
  return std::make_unique<GtkWindowPresenter>(events, options);
}

void GtkWindowSystem::RunNested(const std::function<bool()>& done) {
  while (!done()) g_main_context_iteration(nullptr, TRUE);
}

gfx::Point GtkWindowSystem::CursorPosition() const {
  GdkDisplay* display = gdk_display_get_default();
  GdkSeat* seat = display ? gdk_display_get_default_seat(display) : nullptr;
  GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
  int x = 0, y = 0;
  if (pointer) gdk_device_get_position(pointer, nullptr, &x, &y);
  return gfx::Point{x, y};
}

gfx::Rect GtkWindowSystem::WorkArea() const {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
  if (!monitor && display) monitor = gdk_display_get_monitor(display, 0);
  if (!monitor) return gfx::Rect{0, 0, 1024, 768};
  GdkRectangle area;
  gdk_monitor_get_workarea(monitor, &area);
  return gfx::Rect::FromXYWH(area.x, area.y, area.width, area.height);
}

gfx::Rect GtkWindowSystem::ScreenBounds() const {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* monitor = display ? gdk_display_get_primary_monitor(display) : nullptr;
  if (!monitor && display) monitor = gdk_display_get_monitor(display, 0);
  if (!monitor) return WorkArea();
  GdkRectangle area;
  gdk_monitor_get_geometry(monitor, &area);
  return gfx::Rect::FromXYWH(area.x, area.y, area.width, area.height);
}

void GtkWindowSystem::SetClipboardText(const std::string& utf8) {
  gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), utf8.c_str(),
                         int(utf8.size()));
}

}  // namespace quillo::window
