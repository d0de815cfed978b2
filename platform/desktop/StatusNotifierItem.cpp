#include "platform/desktop/StatusNotifierItem.h"

#include <unistd.h>

#include <atomic>
#include <utility>

#include "platform/desktop/TrayIconListener.h"

namespace quillo::desktop {
namespace {

constexpr char kItemInterface[] = "org.kde.StatusNotifierItem";
constexpr char kWatcherInterface[] = "org.kde.StatusNotifierWatcher";
// How long a call to the watcher may take before the item treats it as absent.
constexpr int kWatcherCallTimeoutMs = 1000;

constexpr char kIntrospection[] =
    "<node><interface name='org.kde.StatusNotifierItem'>"
    "<property name='Category' type='s' access='read'/>"
    "<property name='Id' type='s' access='read'/>"
    "<property name='Title' type='s' access='read'/>"
    "<property name='Status' type='s' access='read'/>"
    "<property name='WindowId' type='i' access='read'/>"
    "<property name='IconName' type='s' access='read'/>"
    "<property name='IconThemePath' type='s' access='read'/>"
    "<property name='IconPixmap' type='a(iiay)' access='read'/>"
    "<property name='OverlayIconName' type='s' access='read'/>"
    "<property name='AttentionIconName' type='s' access='read'/>"
    "<property name='ToolTip' type='(sa(iiay)ss)' access='read'/>"
    "<property name='ItemIsMenu' type='b' access='read'/>"
    "<method name='Activate'><arg type='i' direction='in'/><arg type='i' direction='in'/></method>"
    "<method name='SecondaryActivate'><arg type='i' direction='in'/>"
    "<arg type='i' direction='in'/></method>"
    "<method name='ContextMenu'><arg type='i' direction='in'/>"
    "<arg type='i' direction='in'/></method>"
    "<method name='Scroll'><arg type='i' direction='in'/><arg type='s' direction='in'/></method>"
    "<signal name='NewTitle'/><signal name='NewIcon'/><signal name='NewAttentionIcon'/>"
    "<signal name='NewOverlayIcon'/><signal name='NewToolTip'/>"
    "<signal name='NewStatus'><arg type='s'/></signal>"
    "</interface></node>";

struct NodeInfoUnref {
  void operator()(GDBusNodeInfo* info) const { g_dbus_node_info_unref(info); }
};

GDBusNodeInfo* NodeInfo() {
  static std::unique_ptr<GDBusNodeInfo, NodeInfoUnref> info(
      g_dbus_node_info_new_for_xml(kIntrospection, nullptr));
  return info.get();
}

GVariant* Text(const std::string& text) {
  return g_variant_new_string(ValidUtf8(text).c_str());
}

GVariant* EmptyPixmaps() {
  return g_variant_new_array(G_VARIANT_TYPE("(iiay)"), nullptr, 0);
}

// A PNG path is offered to hosts as an icon name inside an icon theme path (its folder).
bool IsFilePath(const std::string& icon) {
  return !icon.empty() && icon.front() == '/';
}

std::string IconName(const std::string& icon) {
  if (!IsFilePath(icon)) return icon;
  std::string name = icon.substr(icon.rfind('/') + 1);
  auto dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string IconThemePath(const std::string& icon) {
  if (!IsFilePath(icon)) return {};
  return icon.substr(0, icon.rfind('/'));
}

bool AnswerIsTrue(GVariant* reply) {
  if (reply == nullptr) return false;
  GVariant* boxed = nullptr;
  g_variant_get(reply, "(v)", &boxed);
  VariantPtr value(boxed);
  return value && g_variant_is_of_type(value.get(), G_VARIANT_TYPE_BOOLEAN) &&
         g_variant_get_boolean(value.get());
}

bool IsCancelled(const GError* error) {
  return error != nullptr && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
}

}  // namespace

bool StatusNotifierItem::HostRegistered(GDBusConnection* connection,
                                        std::chrono::milliseconds timeout) {
  if (connection == nullptr) return false;
  GError* raw_error = nullptr;
  VariantPtr reply(g_dbus_connection_call_sync(
      connection, kWatcherName, kWatcherPath, "org.freedesktop.DBus.Properties", "Get",
      g_variant_new("(ss)", kWatcherInterface, "IsStatusNotifierHostRegistered"),
      G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, static_cast<gint>(timeout.count()),
      nullptr, &raw_error));
  ErrorPtr error(raw_error);
  return AnswerIsTrue(reply.get());
}

StatusNotifierItem::StatusNotifierItem(ConnectionPtr connection, TrayIconListener& listener,
                                       TrayIconOptions options, MenuPresenter presenter)
    : connection_(std::move(connection)),
      listener_(listener),
      options_(std::move(options)),
      presenter_(std::move(presenter)),
      tip_(options_.tip),
      icon_(options_.icon),
      cancellable_(g_cancellable_new()) {
  static std::atomic<int> counter{0};
  bus_name_ =
      "org.kde.StatusNotifierItem-" + std::to_string(getpid()) + "-" + std::to_string(++counter);

  static const GDBusInterfaceVTable kVTable = {OnMethodCall, OnGetProperty, nullptr, {}};
  registration_ = g_dbus_connection_register_object(
      connection_.get(), kItemPath, g_dbus_node_info_lookup_interface(NodeInfo(), kItemInterface),
      &kVTable, this, nullptr, nullptr);
  // The name is taken before the watcher hears of it, so the watcher (and the host it tells)
  // finds the item at once.
  GError* raw_error = nullptr;
  VariantPtr reply(g_dbus_connection_call_sync(
      connection_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
      "RequestName", g_variant_new("(su)", bus_name_.c_str(), 4u /* DO_NOT_QUEUE */),
      G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, kWatcherCallTimeoutMs, nullptr, &raw_error));
  ErrorPtr error(raw_error);

  host_signal_id_ = g_dbus_connection_signal_subscribe(
      connection_.get(), nullptr, kWatcherInterface, nullptr, kWatcherPath, nullptr,
      G_DBUS_SIGNAL_FLAGS_NONE, OnWatcherSignal, this, nullptr);
  // Known now, so the owner can decide about closing to the tray right after start-up.
  bool host = HostRegistered(connection_.get(), std::chrono::milliseconds(kWatcherCallTimeoutMs));
  watcher_present_ = host;
  host_registered_ = host;
  // The appearance callback (also for a watcher already there) does the registration.
  watch_id_ =
      g_bus_watch_name_on_connection(connection_.get(), kWatcherName, G_BUS_NAME_WATCHER_FLAGS_NONE,
                                     OnWatcherAppeared, OnWatcherVanished, this, nullptr);
}

StatusNotifierItem::~StatusNotifierItem() {
  g_cancellable_cancel(cancellable_.get());
  if (watch_id_ != 0) g_bus_unwatch_name(watch_id_);
  if (host_signal_id_ != 0)
    g_dbus_connection_signal_unsubscribe(connection_.get(), host_signal_id_);
  if (registration_ != 0) g_dbus_connection_unregister_object(connection_.get(), registration_);
  // Giving up the name makes the watcher drop the item, so the host removes the icon now.
  GError* raw_error = nullptr;
  VariantPtr reply(g_dbus_connection_call_sync(
      connection_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
      "ReleaseName", g_variant_new("(s)", bus_name_.c_str()), G_VARIANT_TYPE("(u)"),
      G_DBUS_CALL_FLAGS_NONE, kWatcherCallTimeoutMs, nullptr, &raw_error));
  ErrorPtr error(raw_error);
}

void StatusNotifierItem::SetTip(const std::string& tip) {
  if (tip == tip_) return;
  tip_ = tip;
  EmitItemSignal("NewToolTip");
}

void StatusNotifierItem::SetIcon(const std::string& icon) {
  if (icon == icon_) return;
  icon_ = icon;
  EmitItemSignal("NewIcon");
}

void StatusNotifierItem::SetMenu(TrayMenu menu) {
  menu_ = std::move(menu);
}

void StatusNotifierItem::EmitItemSignal(const char* name) {
  g_dbus_connection_emit_signal(connection_.get(), nullptr, kItemPath, kItemInterface, name,
                                nullptr, nullptr);
}

void StatusNotifierItem::RegisterWithWatcher() {
  g_dbus_connection_call(
      connection_.get(), kWatcherName, kWatcherPath, kWatcherInterface,
      "RegisterStatusNotifierItem", g_variant_new("(s)", bus_name_.c_str()), nullptr,
      G_DBUS_CALL_FLAGS_NO_AUTO_START, kWatcherCallTimeoutMs, cancellable_.get(),
      [](GObject* source, GAsyncResult* result, gpointer data) {
        GError* raw_error = nullptr;
        VariantPtr reply(
            g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &raw_error));
        ErrorPtr error(raw_error);
        if (IsCancelled(error.get())) return;  // the item is gone
        auto* self = static_cast<StatusNotifierItem*>(data);
        if (!reply) {
          self->SetAvailability(false, false);
          return;
        }
        // Registered: whether it shows depends on a host.
        g_dbus_connection_call(
            self->connection_.get(), kWatcherName, kWatcherPath, "org.freedesktop.DBus.Properties",
            "Get", g_variant_new("(ss)", kWatcherInterface, "IsStatusNotifierHostRegistered"),
            G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, kWatcherCallTimeoutMs,
            self->cancellable_.get(),
            [](GObject* source, GAsyncResult* result, gpointer data) {
              GError* raw_error = nullptr;
              VariantPtr reply(
                  g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &raw_error));
              ErrorPtr error(raw_error);
              if (IsCancelled(error.get())) return;
              auto* self = static_cast<StatusNotifierItem*>(data);
              self->SetAvailability(true, AnswerIsTrue(reply.get()));
            },
            self);
      },
      this);
}

void StatusNotifierItem::SetAvailability(bool watcher_present, bool host_registered) {
  bool could_show = CanShow();
  watcher_present_ = watcher_present;
  host_registered_ = host_registered;
  if (CanShow() != could_show) listener_.OnTrayAvailabilityChanged(CanShow());
}

void StatusNotifierItem::OnWatcherAppeared(GDBusConnection*, const gchar*, const gchar*,
                                           gpointer self) {
  // A watcher that starts (or restarts) knows nothing of us: register again.
  static_cast<StatusNotifierItem*>(self)->RegisterWithWatcher();
}

void StatusNotifierItem::OnWatcherVanished(GDBusConnection*, const gchar*, gpointer self) {
  static_cast<StatusNotifierItem*>(self)->SetAvailability(false, false);
}

void StatusNotifierItem::OnWatcherSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                         const gchar* signal_name, GVariant*, gpointer data) {
  auto* self = static_cast<StatusNotifierItem*>(data);
  if (g_strcmp0(signal_name, "StatusNotifierHostRegistered") == 0) {
    self->SetAvailability(true, true);
  } else if (g_strcmp0(signal_name, "StatusNotifierHostUnregistered") == 0) {
    // Another host may remain: ask again through the registration path.
    self->RegisterWithWatcher();
  }
}

GVariant* StatusNotifierItem::ToolTipVariant() const {
  return g_variant_new("(s@a(iiay)ss)", ValidUtf8(IconName(icon_)).c_str(), EmptyPixmaps(),
                       ValidUtf8(options_.title).c_str(), ValidUtf8(tip_).c_str());
}

GVariant* StatusNotifierItem::OnGetProperty(GDBusConnection*, const gchar*, const gchar*,
                                            const gchar*, const gchar* property_name,
                                            GError** error, gpointer data) {
  auto* self = static_cast<StatusNotifierItem*>(data);
  const std::string name = property_name;
  if (name == "Category") return Text("ApplicationStatus");
  if (name == "Id") return Text(self->options_.id);
  if (name == "Title") return Text(self->options_.title);
  if (name == "Status") return Text("Active");
  if (name == "WindowId") return g_variant_new_int32(0);
  if (name == "IconName") return Text(IconName(self->icon_));
  if (name == "IconThemePath") return Text(IconThemePath(self->icon_));
  if (name == "IconPixmap") return EmptyPixmaps();
  if (name == "OverlayIconName" || name == "AttentionIconName") return Text("");
  if (name == "ToolTip") return self->ToolTipVariant();
  if (name == "ItemIsMenu") return g_variant_new_boolean(FALSE);
  g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "no property %s", property_name);
  return nullptr;
}

void StatusNotifierItem::OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                      const gchar* method_name, GVariant* parameters,
                                      GDBusMethodInvocation* invocation, gpointer data) {
  auto* self = static_cast<StatusNotifierItem*>(data);
  const std::string method = method_name;
  g_dbus_method_invocation_return_value(invocation, nullptr);
  if (method == "Activate" || method == "SecondaryActivate") {
    self->listener_.OnTrayActivate();
  } else if (method == "ContextMenu") {
    gint32 x = -1;
    gint32 y = -1;
    g_variant_get(parameters, "(ii)", &x, &y);
    self->listener_.OnTrayMenuOpening();
    if (self->presenter_) self->presenter_(self->menu_, x, y);
  }
}

}  // namespace quillo::desktop
