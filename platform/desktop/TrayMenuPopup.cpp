#include "platform/desktop/TrayMenuPopup.h"

#include <utility>

namespace quillo::desktop {
namespace {

constexpr char kIdKey[] = "quillo-command-id";

}  // namespace

TrayMenuPopup::TrayMenuPopup(CommandHandler on_command) : on_command_(std::move(on_command)) {}

TrayMenuPopup::~TrayMenuPopup() {
  if (menu_ != nullptr) {
    gtk_widget_destroy(menu_);
    g_object_unref(menu_);
  }
}

void TrayMenuPopup::Fill(GtkWidget* shell, const TrayMenu& menu) {
  for (const TrayMenuItem& entry : menu) {
    GtkWidget* item = nullptr;
    switch (entry.kind) {
      case TrayMenuItem::Kind::kSeparator:
        item = gtk_separator_menu_item_new();
        break;
      case TrayMenuItem::Kind::kSubmenu: {
        item = gtk_menu_item_new_with_label(entry.label.c_str());
        GtkWidget* sub = gtk_menu_new();
        Fill(sub, entry.children);
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(item), sub);
        break;
      }
      case TrayMenuItem::Kind::kCheck:
      case TrayMenuItem::Kind::kRadio:
        // Radio marks are drawn on check items: the owner decides which one is checked, GTK
        // must not move the mark itself.
        item = gtk_check_menu_item_new_with_label(entry.label.c_str());
        gtk_check_menu_item_set_draw_as_radio(GTK_CHECK_MENU_ITEM(item),
                                              entry.kind == TrayMenuItem::Kind::kRadio);
        gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), entry.checked);
        break;
      case TrayMenuItem::Kind::kCommand:
        item = gtk_menu_item_new_with_label(entry.label.c_str());
        break;
    }
    gtk_widget_set_sensitive(item, entry.enabled);
    if (entry.kind != TrayMenuItem::Kind::kSeparator &&
        entry.kind != TrayMenuItem::Kind::kSubmenu) {
      g_object_set_data(G_OBJECT(item), kIdKey, GINT_TO_POINTER(entry.id));
      // Connected after the check mark is set, so setting it reports nothing.
      g_signal_connect(item, "activate", G_CALLBACK(OnActivate), this);
    }
    gtk_menu_shell_append(GTK_MENU_SHELL(shell), item);
  }
}

void TrayMenuPopup::OnActivate(GtkMenuItem* item, gpointer data) {
  auto* self = static_cast<TrayMenuPopup*>(data);
  int id = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(item), kIdKey));
  if (self->on_command_) self->on_command_(id);
}

void TrayMenuPopup::Popup(const TrayMenu& menu, int x, int y, guint button, guint32 time) {
  if (menu_ != nullptr) {
    gtk_widget_destroy(menu_);
    g_object_unref(menu_);
  }
  menu_ = gtk_menu_new();
  g_object_ref_sink(menu_);
  Fill(menu_, menu);
  gtk_widget_show_all(menu_);
  x_ = x;
  y_ = y;
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  // A request that came over the bus has no GDK event to anchor gtk_menu_popup_at_pointer to;
  // the older call places the menu at a point we give.
  GtkMenuPositionFunc place = nullptr;
  if (x >= 0 && y >= 0) {
    place = [](GtkMenu*, gint* out_x, gint* out_y, gboolean* push_in, gpointer data) {
      auto* self = static_cast<TrayMenuPopup*>(data);
      *out_x = self->x_;
      *out_y = self->y_;
      *push_in = TRUE;
    };
  }
  gtk_menu_popup(GTK_MENU(menu_), nullptr, nullptr, place, this, button,
                 time != 0 ? time : gtk_get_current_event_time());
  G_GNUC_END_IGNORE_DEPRECATIONS
}

}  // namespace quillo::desktop
