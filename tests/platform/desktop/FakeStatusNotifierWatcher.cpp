#include "FakeStatusNotifierWatcher.h"

namespace quillo::desktop::testing {
namespace {

constexpr char kIntrospection[] =
    "<node><interface name='org.kde.StatusNotifierWatcher'>"
    "<method name='RegisterStatusNotifierItem'><arg type='s' direction='in'/></method>"
    "<method name='RegisterStatusNotifierHost'><arg type='s' direction='in'/></method>"
    "<property name='IsStatusNotifierHostRegistered' type='b' access='read'/>"
    "<property name='RegisteredStatusNotifierItems' type='as' access='read'/>"
    "<property name='ProtocolVersion' type='i' access='read'/>"
    "<signal name='StatusNotifierItemRegistered'><arg type='s'/></signal>"
    "<signal name='StatusNotifierHostRegistered'/>"
    "<signal name='StatusNotifierHostUnregistered'/>"
    "</interface></node>";

}  // namespace

FakeStatusNotifierWatcher::FakeStatusNotifierWatcher(bool host_registered)
    : host_registered_(host_registered) {
  std::promise<bool> started;
  std::future<bool> result = started.get_future();
  thread_ = std::thread([this, &started] { Run(&started); });
  ready_ = result.get();
}

FakeStatusNotifierWatcher::~FakeStatusNotifierWatcher() {
  if (loop_ != nullptr) {
    g_main_context_invoke(
        context_,
        [](gpointer loop) -> gboolean {
          g_main_loop_quit(static_cast<GMainLoop*>(loop));
          return G_SOURCE_REMOVE;
        },
        loop_);
  }
  thread_.join();
}

std::vector<std::string> FakeStatusNotifierWatcher::registered() const {
  std::lock_guard lock(mutex_);
  return registered_;
}

void FakeStatusNotifierWatcher::RegisterHost() {
  {
    std::lock_guard lock(mutex_);
    host_registered_ = true;
  }
  g_main_context_invoke(
      context_,
      [](gpointer data) -> gboolean {
        auto* self = static_cast<FakeStatusNotifierWatcher*>(data);
        g_dbus_connection_emit_signal(self->connection_, nullptr, "/StatusNotifierWatcher",
                                      "org.kde.StatusNotifierWatcher",
                                      "StatusNotifierHostRegistered", nullptr, nullptr);
        return G_SOURCE_REMOVE;
      },
      this);
}

void FakeStatusNotifierWatcher::OnMethodCall(GDBusConnection* connection, const gchar*,
                                             const gchar*, const gchar*, const gchar* method,
                                             GVariant* parameters,
                                             GDBusMethodInvocation* invocation, gpointer data) {
  auto* self = static_cast<FakeStatusNotifierWatcher*>(data);
  const gchar* service = nullptr;
  g_variant_get(parameters, "(&s)", &service);
  if (g_strcmp0(method, "RegisterStatusNotifierItem") == 0) {
    std::lock_guard lock(self->mutex_);
    self->registered_.push_back(service);
  }
  g_dbus_method_invocation_return_value(invocation, nullptr);
  g_dbus_connection_emit_signal(connection, nullptr, "/StatusNotifierWatcher",
                                "org.kde.StatusNotifierWatcher", "StatusNotifierItemRegistered",
                                g_variant_new("(s)", service), nullptr);
}

GVariant* FakeStatusNotifierWatcher::OnGetProperty(GDBusConnection*, const gchar*, const gchar*,
                                                   const gchar*, const gchar* property, GError**,
                                                   gpointer data) {
  auto* self = static_cast<FakeStatusNotifierWatcher*>(data);
  std::lock_guard lock(self->mutex_);
  if (g_strcmp0(property, "IsStatusNotifierHostRegistered") == 0) {
    return g_variant_new_boolean(self->host_registered_);
  }
  if (g_strcmp0(property, "ProtocolVersion") == 0) return g_variant_new_int32(0);
  GVariantBuilder items;
  g_variant_builder_init(&items, G_VARIANT_TYPE("as"));
  for (const std::string& item : self->registered_) {
    g_variant_builder_add(&items, "s", item.c_str());
  }
  return g_variant_builder_end(&items);
}

void FakeStatusNotifierWatcher::Run(std::promise<bool>* started) {
  context_ = g_main_context_new();
  g_main_context_push_thread_default(context_);
  const char* address = g_getenv("DBUS_SESSION_BUS_ADDRESS");
  GDBusConnection* connection =
      address == nullptr
          ? nullptr
          : g_dbus_connection_new_for_address_sync(
                address,
                static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                  G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                nullptr, nullptr, nullptr);
  bool ok = false;
  guint registration = 0;
  if (connection != nullptr) {
    connection_ = connection;
    g_dbus_connection_set_exit_on_close(connection, FALSE);
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    static const GDBusInterfaceVTable kVTable = {&FakeStatusNotifierWatcher::OnMethodCall,
                                                 &FakeStatusNotifierWatcher::OnGetProperty,
                                                 nullptr,
                                                 {}};
    registration =
        g_dbus_connection_register_object(connection, "/StatusNotifierWatcher", node->interfaces[0],
                                          &kVTable, this, nullptr, nullptr);
    g_dbus_node_info_unref(node);
    GVariant* reply = g_dbus_connection_call_sync(
        connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "RequestName", g_variant_new("(su)", "org.kde.StatusNotifierWatcher", 4u),
        G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
    if (reply != nullptr) {
      guint32 result = 0;
      g_variant_get(reply, "(u)", &result);
      ok = registration != 0 && result == 1;
      g_variant_unref(reply);
    }
  }
  if (ok) loop_ = g_main_loop_new(context_, FALSE);
  started->set_value(ok);
  if (ok) g_main_loop_run(loop_);

  if (connection != nullptr) {
    if (registration != 0) g_dbus_connection_unregister_object(connection, registration);
    g_dbus_connection_close_sync(connection, nullptr, nullptr);
    g_object_unref(connection);
  }
  while (g_main_context_iteration(context_, FALSE)) {
  }
  if (loop_ != nullptr) g_main_loop_unref(loop_);
  g_main_context_pop_thread_default(context_);
  g_main_context_unref(context_);
}

}  // namespace quillo::desktop::testing
