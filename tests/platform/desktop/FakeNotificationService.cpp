#include "FakeNotificationService.h"

#include <future>

namespace quillo::desktop::testing {
namespace {

constexpr char kIntrospection[] =
    "<node><interface name='org.freedesktop.Notifications'>"
    "<method name='Notify'>"
    "<arg type='s' direction='in'/><arg type='u' direction='in'/><arg type='s' direction='in'/>"
    "<arg type='s' direction='in'/><arg type='s' direction='in'/><arg type='as' direction='in'/>"
    "<arg type='a{sv}' direction='in'/><arg type='i' direction='in'/>"
    "<arg type='u' direction='out'/>"
    "</method></interface></node>";

}  // namespace

FakeNotificationService::FakeNotificationService(bool hang) : hang_(hang) {
  std::promise<bool> started;
  std::future<bool> result = started.get_future();
  thread_ = std::thread([this, &started] { Run(&started); });
  ready_ = result.get();
}

FakeNotificationService::~FakeNotificationService() {
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

std::vector<NotifyCall> FakeNotificationService::calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

void FakeNotificationService::OnMethodCall(GDBusConnection*, const gchar*, const gchar*,
                                           const gchar*, const gchar* method, GVariant* parameters,
                                           GDBusMethodInvocation* invocation, gpointer data) {
  auto* self = static_cast<FakeNotificationService*>(data);
  if (g_strcmp0(method, "Notify") != 0) {
    g_dbus_method_invocation_return_dbus_error(invocation, "org.example.Unknown", "no");
    return;
  }
  const gchar* application = nullptr;
  const gchar* icon = nullptr;
  const gchar* summary = nullptr;
  const gchar* body = nullptr;
  NotifyCall call;
  g_variant_get(parameters, "(&su&s&s&s@as@a{sv}i)", &application, &call.replaces_id, &icon,
                &summary, &body, nullptr, nullptr, &call.expire_timeout);
  call.application = application;
  call.summary = summary;
  call.body = body;
  std::uint32_t id = 0;
  {
    std::lock_guard lock(self->mutex_);
    self->calls_.push_back(call);
    id = call.replaces_id != 0 ? call.replaces_id : self->next_id_++;
    if (self->hang_) {
      self->unanswered_.push_back(invocation);  // answered with an error when we stop
      return;
    }
  }
  g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", id));
}

void FakeNotificationService::Run(std::promise<bool>* started) {
  context_ = g_main_context_new();
  g_main_context_push_thread_default(context_);
  GError* error = nullptr;
  const char* address = g_getenv("DBUS_SESSION_BUS_ADDRESS");
  GDBusConnection* connection =
      address == nullptr
          ? nullptr
          : g_dbus_connection_new_for_address_sync(
                address,
                static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                  G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                nullptr, nullptr, &error);
  g_clear_error(&error);
  bool ok = false;
  guint registration = 0;
  if (connection != nullptr) {
    g_dbus_connection_set_exit_on_close(connection, FALSE);
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    static const GDBusInterfaceVTable kVTable = {
        &FakeNotificationService::OnMethodCall, nullptr, nullptr, {}};
    registration =
        g_dbus_connection_register_object(connection, "/org/freedesktop/Notifications",
                                          node->interfaces[0], &kVTable, this, nullptr, nullptr);
    g_dbus_node_info_unref(node);
    GVariant* reply = g_dbus_connection_call_sync(
        connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "RequestName", g_variant_new("(su)", "org.freedesktop.Notifications", 4u),
        G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
    if (reply != nullptr) {
      guint32 result = 0;
      g_variant_get(reply, "(u)", &result);
      ok = registration != 0 && result == 1;  // primary owner
      g_variant_unref(reply);
    }
  }
  if (ok) loop_ = g_main_loop_new(context_, FALSE);
  started->set_value(ok);
  if (ok) g_main_loop_run(loop_);

  for (GDBusMethodInvocation* invocation : unanswered_) {
    g_dbus_method_invocation_return_dbus_error(invocation, "org.example.Stopped", "stopped");
  }
  unanswered_.clear();
  if (connection != nullptr) {
    if (registration != 0) g_dbus_connection_unregister_object(connection, registration);
    g_dbus_connection_close_sync(connection, nullptr, nullptr);
    g_object_unref(connection);
  }
  // Sources the connection left on our context go with it.
  while (g_main_context_iteration(context_, FALSE)) {
  }
  if (loop_ != nullptr) g_main_loop_unref(loop_);
  g_main_context_pop_thread_default(context_);
  g_main_context_unref(context_);
}

}  // namespace quillo::desktop::testing
