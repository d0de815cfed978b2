#include "platform/window/GtkMenuBuilder.h"

#include <memory>

namespace quillo::window {
namespace {
using Chosen = std::function<void(int)>;

void Fill(GtkWidget* menu, const std::vector<MenuItem>& items,
          const std::shared_ptr<Chosen>& chosen) {
  for (const MenuItem& item : items) {
    GtkWidget* widget = nullptr;
    if (item.separator) {
      widget = gtk_separator_menu_item_new();
    } else if (!item.submenu.empty()) {
      widget = gtk_menu_item_new_with_label(item.caption.c_str());
      GtkWidget* sub = gtk_menu_new();
      Fill(sub, item.submenu, chosen);
      gtk_menu_item_set_submenu(GTK_MENU_ITEM(widget), sub);
    } else {
      // Items without a check mark must not show an empty box: only checked ones are check items.
      if (item.checked) {
        widget = gtk_check_menu_item_new_with_label(item.caption.c_str());
        gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), TRUE);
      } else {
        widget = gtk_menu_item_new_with_label(item.caption.c_str());
      }
      g_object_set_data(G_OBJECT(widget), "quillo-id", GINT_TO_POINTER(item.id));
      g_object_set_data_full(G_OBJECT(widget), "quillo-chosen", new std::shared_ptr<Chosen>(chosen),
                             [](gpointer d) { delete static_cast<std::shared_ptr<Chosen>*>(d); });
      g_signal_connect(widget, "activate", G_CALLBACK(+[](GtkMenuItem* w, gpointer) {
                         auto* fn = static_cast<std::shared_ptr<Chosen>*>(
                             g_object_get_data(G_OBJECT(w), "quillo-chosen"));
                         int id = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(w), "quillo-id"));
                         if (fn && *fn && **fn) (**fn)(id);
                       }),
                       nullptr);
    }
    gtk_widget_set_sensitive(widget, item.enabled);
    gtk_widget_show(widget);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), widget);
  }
}
}  // namespace

void GtkMenuBuilder::Popup(GtkWidget* window, const std::vector<MenuItem>& items, gfx::Point pos,
                           std::function<void(int id)> chosen) {
  GtkWidget* menu = gtk_menu_new();
  Fill(menu, items, std::make_shared<Chosen>(std::move(chosen)));
  gtk_menu_attach_to_widget(GTK_MENU(menu), window, nullptr);
  // The chosen item is activated after the menu deactivates; destroy it only afterwards.
  g_signal_connect(menu, "deactivate", G_CALLBACK(+[](GtkWidget* m, gpointer) {
                     g_idle_add(
                         [](gpointer w) -> gboolean {
                           gtk_widget_destroy(GTK_WIDGET(w));
                           return G_SOURCE_REMOVE;
                         },
                         m);
                   }),
                   nullptr);
  GdkRectangle at{pos.x, pos.y, 1, 1};
  gtk_menu_popup_at_rect(GTK_MENU(menu), gtk_widget_get_window(window), &at,
                         GDK_GRAVITY_NORTH_WEST, GDK_GRAVITY_NORTH_WEST, nullptr);
}

}  // namespace quillo::window
