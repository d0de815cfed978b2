#pragma once
// The program's icon in the desktop's tray (notification area): an icon, a tip, a left click
// that raises the main window and a menu of commands.
//
// Threads: window thread only. Ownership: the owner (the main window) owns the icon; the
// listener must outlive it. Destroying the icon removes it from the tray at once, and no
// listener call follows.
#include <memory>
#include <string>

#include "platform/desktop/TrayBackend.h"
#include "platform/desktop/TrayMenuItem.h"

namespace quillo::desktop {

class TrayIconListener;

class TrayIcon {
 public:
  virtual ~TrayIcon() = default;

  // The tip shown over the icon (UTF-8; the song title while one plays).
  virtual void SetTip(const std::string& tip) = 0;
  // An icon theme name ("quillo") or the absolute path of a PNG file.
  virtual void SetIcon(const std::string& icon) = 0;
  // Replaces the menu shown on the right click (or a host's ContextMenu request).
  virtual void SetMenu(TrayMenu menu) = 0;

  virtual const std::string& tip() const = 0;
  virtual const TrayMenu& menu() const = 0;
  virtual TrayBackend backend() const = 0;

  // True while a host shows the icon: a status notifier host is registered, or a system tray
  // has embedded the status icon. When false, hiding the main window "to the tray" would leave
  // the program out of reach; minimise it instead.
  virtual bool CanShow() const = 0;
};

struct TrayIconOptions {
  std::string id = "quillo";        // the item's id (status notifier Id)
  std::string title = "Zelbo音乐";  // the item's title
  std::string icon = "quillo";      // icon theme name or PNG path
  std::string tip = "Zelbo音乐";    // the tip at start-up
};

// Makes the icon with the backend ChooseTrayBackend picks: asks the session bus's
// org.kde.StatusNotifierWatcher (bounded by a short time-out) whether a host is registered;
// otherwise, with GTK initialised on a display, a GtkStatusIcon. Without either it answers an
// icon whose backend is kNone and which never shows (CanShow false). Window thread; GTK must be
// initialised when a display is to be used.
std::unique_ptr<TrayIcon> CreateTrayIcon(TrayIconListener& listener, TrayIconOptions options);

}  // namespace quillo::desktop
