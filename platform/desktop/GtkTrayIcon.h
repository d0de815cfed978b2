#pragma once
// The tray icon as a GtkStatusIcon, for desktops with an X11 system tray and no status notifier
// host. It shows only once a system tray embeds it (CanShow follows the embedding).
// Window thread; GTK initialised on a display.
#include <gtk/gtk.h>

#include <memory>
#include <string>

#include "platform/desktop/TrayIcon.h"
#include "platform/desktop/TrayMenuPopup.h"

namespace quillo::desktop {

class TrayIconListener;

class GtkTrayIcon : public TrayIcon {
 public:
  GtkTrayIcon(TrayIconListener& listener, TrayIconOptions options);
  ~GtkTrayIcon() override;
  GtkTrayIcon(const GtkTrayIcon&) = delete;
  GtkTrayIcon& operator=(const GtkTrayIcon&) = delete;

  void SetTip(const std::string& tip) override;
  void SetIcon(const std::string& icon) override;
  void SetMenu(TrayMenu menu) override;
  const std::string& tip() const override { return tip_; }
  const TrayMenu& menu() const override { return menu_; }
  TrayBackend backend() const override { return TrayBackend::kStatusIcon; }
  bool CanShow() const override;

 private:
  static void OnActivate(GObject* icon, gpointer self);
  static void OnPopupMenu(GObject* icon, guint button, guint activate_time, gpointer self);
  static void OnEmbeddedChanged(GObject* icon, GParamSpec* property, gpointer self);

  TrayIconListener& listener_;
  TrayIconOptions options_;
  std::string tip_;
  TrayMenu menu_;
  TrayMenuPopup popup_;
  GObject* icon_ = nullptr;  // owned: the GtkStatusIcon, unreferenced in the destructor
  bool embedded_ = false;
};

}  // namespace quillo::desktop
