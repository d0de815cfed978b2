#pragma once
// Which kind of tray icon the desktop can show, and the rule that picks one.
namespace quillo::desktop {

enum class TrayBackend {
  kStatusNotifierItem,  // org.kde.StatusNotifierItem, shown by a registered host
  kStatusIcon,          // GtkStatusIcon (the X11 system tray, XEmbed)
  kNone,                // nothing can show an icon
};

// A status notifier item when a watcher is on the session bus and reports a registered host;
// else the GTK status icon when a display is open (whether a system tray embeds it is only known
// later, see TrayIcon::CanShow); else none.
TrayBackend ChooseTrayBackend(bool watcher_has_host, bool display_open);

const char* TrayBackendName(TrayBackend backend);

}  // namespace quillo::desktop
