#pragma once
// Shows a TrayMenu as a GtkMenu popup and reports the chosen entry's id. The menu is rebuilt at
// every showing (checks and captions change between showings). Window thread; GTK initialised.
#include <gtk/gtk.h>

#include <functional>
#include <memory>

#include "platform/desktop/TrayMenuItem.h"

namespace quillo::desktop {

class TrayMenuPopup {
 public:
  using CommandHandler = std::function<void(int id)>;

  explicit TrayMenuPopup(CommandHandler on_command);
  ~TrayMenuPopup();
  TrayMenuPopup(const TrayMenuPopup&) = delete;
  TrayMenuPopup& operator=(const TrayMenuPopup&) = delete;

  // Shows the menu with its top-left corner at (x, y) on the screen, or at the pointer when x
  // or y is negative. `button` and `time` are those of the click that asked for it (0 when it
  // came over the bus).
  void Popup(const TrayMenu& menu, int x, int y, guint button, guint32 time);

  // The menu shown last (null before the first showing); tests read its items.
  GtkWidget* widget() const { return menu_; }

 private:
  static void OnActivate(GtkMenuItem* item, gpointer self);
  void Fill(GtkWidget* shell, const TrayMenu& menu);

  CommandHandler on_command_;
  GtkWidget* menu_ = nullptr;  // owned: a sunk reference, dropped in the destructor
  int x_ = -1;
  int y_ = -1;
};

}  // namespace quillo::desktop
