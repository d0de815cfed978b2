#include "platform/desktop/SessionBus.h"

#include <cstdlib>

namespace quillo::desktop {
namespace {

struct CancellableUnref {
  void operator()(GCancellable* cancellable) const { g_object_unref(cancellable); }
};

// Cancels the connection attempt when it has not finished within the timeout (a bus that
// accepts the socket but never answers the handshake).
gboolean CancelAttempt(gpointer cancellable) {
  g_cancellable_cancel(static_cast<GCancellable*>(cancellable));
  return G_SOURCE_REMOVE;
}

}  // namespace

std::string SessionBusAddress() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address != nullptr && *address != '\0') return address;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime == nullptr || *runtime == '\0') return {};
  std::string socket = std::string(runtime) + "/bus";
  if (!g_file_test(socket.c_str(), G_FILE_TEST_EXISTS)) return {};
  gchar* escaped = g_dbus_address_escape_value(socket.c_str());
  std::string result = std::string("unix:path=") + escaped;
  g_free(escaped);
  return result;
}

ConnectionPtr ConnectSessionBus(std::chrono::milliseconds timeout) {
  std::string address = SessionBusAddress();
  if (address.empty()) return nullptr;

  // The handshake runs on a context of our own, so that the timeout's source fires even when
  // the caller's loop is not running.
  GMainContext* context = g_main_context_new();
  g_main_context_push_thread_default(context);
  std::unique_ptr<GCancellable, CancellableUnref> cancellable(g_cancellable_new());
  GSource* timer = g_timeout_source_new(static_cast<guint>(timeout.count()));
  g_source_set_callback(timer, CancelAttempt, cancellable.get(), nullptr);
  g_source_attach(timer, context);

  struct Attempt {
    GDBusConnection* connection = nullptr;
    bool done = false;
  } attempt;
  g_dbus_connection_new_for_address(
      address.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, cancellable.get(),
      [](GObject*, GAsyncResult* result, gpointer data) {
        auto* state = static_cast<Attempt*>(data);
        state->connection = g_dbus_connection_new_for_address_finish(result, nullptr);
        state->done = true;
      },
      &attempt);
  while (!attempt.done) g_main_context_iteration(context, TRUE);

  g_source_destroy(timer);
  g_source_unref(timer);
  g_main_context_pop_thread_default(context);
  g_main_context_unref(context);
  if (attempt.connection == nullptr) return nullptr;
  // The program decides when it ends, not the bus.
  g_dbus_connection_set_exit_on_close(attempt.connection, FALSE);
  return ConnectionPtr(attempt.connection);
}

std::string ValidUtf8(const std::string& text) {
  gchar* valid = g_utf8_make_valid(text.c_str(), static_cast<gssize>(text.size()));
  std::string result(valid);
  g_free(valid);
  return result;
}

}  // namespace quillo::desktop
