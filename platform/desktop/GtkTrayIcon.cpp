#include "platform/desktop/GtkTrayIcon.h"

#include <utility>

#include "platform/desktop/TrayIconListener.h"

// GtkStatusIcon is deprecated in GTK 3 but is the only way to the XEmbed system tray.
G_GNUC_BEGIN_IGNORE_DEPRECATIONS

namespace quillo::desktop {
namespace {

GtkStatusIcon* AsStatusIcon(GObject* icon) {
  return GTK_STATUS_ICON(icon);
}

void ApplyIcon(GtkStatusIcon* icon, const std::string& name) {
  if (!name.empty() && name.front() == '/') {
    gtk_status_icon_set_from_file(icon, name.c_str());
  } else {
    gtk_status_icon_set_from_icon_name(icon, name.c_str());
  }
}

}  // namespace

GtkTrayIcon::GtkTrayIcon(TrayIconListener& listener, TrayIconOptions options)
    : listener_(listener),
      options_(std::move(options)),
      tip_(options_.tip),
      popup_([this](int id) { listener_.OnTrayCommand(id); }) {
  GtkStatusIcon* icon = gtk_status_icon_new();
  icon_ = G_OBJECT(icon);
  ApplyIcon(icon, options_.icon);
  gtk_status_icon_set_title(icon, options_.title.c_str());
  gtk_status_icon_set_name(icon, options_.id.c_str());
  gtk_status_icon_set_tooltip_text(icon, tip_.c_str());
  g_signal_connect(icon_, "activate", G_CALLBACK(OnActivate), this);
  g_signal_connect(icon_, "popup-menu", G_CALLBACK(OnPopupMenu), this);
  g_signal_connect(icon_, "notify::embedded", G_CALLBACK(OnEmbeddedChanged), this);
  gtk_status_icon_set_visible(icon, TRUE);
  embedded_ = gtk_status_icon_is_embedded(icon);
}

GtkTrayIcon::~GtkTrayIcon() {
  g_signal_handlers_disconnect_by_data(icon_, this);
  gtk_status_icon_set_visible(AsStatusIcon(icon_), FALSE);
  g_object_unref(icon_);
}

void GtkTrayIcon::SetTip(const std::string& tip) {
  tip_ = tip;
  gtk_status_icon_set_tooltip_text(AsStatusIcon(icon_), tip_.c_str());
}

void GtkTrayIcon::SetIcon(const std::string& icon) {
  ApplyIcon(AsStatusIcon(icon_), icon);
}

void GtkTrayIcon::SetMenu(TrayMenu menu) {
  menu_ = std::move(menu);
}

bool GtkTrayIcon::CanShow() const {
  return gtk_status_icon_is_embedded(AsStatusIcon(icon_));
}

void GtkTrayIcon::OnActivate(GObject*, gpointer data) {
  static_cast<GtkTrayIcon*>(data)->listener_.OnTrayActivate();
}

void GtkTrayIcon::OnPopupMenu(GObject*, guint button, guint activate_time, gpointer data) {
  auto* self = static_cast<GtkTrayIcon*>(data);
  self->listener_.OnTrayMenuOpening();
  self->popup_.Popup(self->menu_, -1, -1, button, activate_time);
}

void GtkTrayIcon::OnEmbeddedChanged(GObject*, GParamSpec*, gpointer data) {
  auto* self = static_cast<GtkTrayIcon*>(data);
  bool embedded = self->CanShow();
  if (embedded == self->embedded_) return;
  self->embedded_ = embedded;
  self->listener_.OnTrayAvailabilityChanged(embedded);
}

}  // namespace quillo::desktop

G_GNUC_END_IGNORE_DEPRECATIONS
