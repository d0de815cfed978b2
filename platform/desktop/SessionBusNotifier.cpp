#include "platform/desktop/SessionBusNotifier.h"

#include <cstdlib>
#include <string_view>
#include <utility>

namespace quillo::desktop {
namespace {

constexpr char kService[] = "org.freedesktop.Notifications";
constexpr char kPath[] = "/org/freedesktop/Notifications";
constexpr char kInterface[] = "org.freedesktop.Notifications";
constexpr gint32 kDefaultExpiry = -1;  // the service decides how long the bubble stays

struct ErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;

struct VariantUnref {
  void operator()(GVariant* variant) const { g_variant_unref(variant); }
};

struct CancellableUnref {
  void operator()(GCancellable* cancellable) const { g_object_unref(cancellable); }
};

// The session bus's address without GIO's fallback of launching a bus of its own.
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

// Cancels the connection attempt when it has not finished within the timeout (a bus that
// accepts the socket but never answers the handshake).
gboolean CancelAttempt(gpointer cancellable) {
  g_cancellable_cancel(static_cast<GCancellable*>(cancellable));
  return G_SOURCE_REMOVE;
}

}  // namespace

std::unique_ptr<DesktopNotifier> CreateSessionBusNotifier(std::string application_name,
                                                          std::chrono::milliseconds timeout) {
  return std::make_unique<SessionBusNotifier>(std::move(application_name), timeout);
}

SessionBusNotifier::SessionBusNotifier(std::string application_name,
                                       std::chrono::milliseconds timeout)
    : application_name_(std::move(application_name)), timeout_(timeout) {}

GDBusConnection* SessionBusNotifier::Connection() {
  if (connection_ && !g_dbus_connection_is_closed(connection_.get())) return connection_.get();
  connection_.reset();
  std::string address = SessionBusAddress();
  if (address.empty()) return nullptr;

  // The handshake runs on a context of our own, so that the timeout's source fires even when
  // the caller's loop is not running.
  GMainContext* context = g_main_context_new();
  g_main_context_push_thread_default(context);
  std::unique_ptr<GCancellable, CancellableUnref> cancellable(g_cancellable_new());
  GSource* timer = g_timeout_source_new(static_cast<guint>(timeout_.count()));
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
  connection_.reset(attempt.connection);
  return connection_.get();
}

void SessionBusNotifier::Notify(const std::string& title, const std::string& body) {
  GDBusConnection* connection = Connection();
  if (connection == nullptr) return;
  // Texts that are not UTF-8 would make the variant builder abort: show them repaired.
  gchar* summary = g_utf8_make_valid(title.c_str(), static_cast<gssize>(title.size()));
  gchar* text = g_utf8_make_valid(body.c_str(), static_cast<gssize>(body.size()));
  gchar* app =
      g_utf8_make_valid(application_name_.c_str(), static_cast<gssize>(application_name_.size()));
  GVariantBuilder hints;
  g_variant_builder_init(&hints, G_VARIANT_TYPE("a{sv}"));
  GVariant* parameters = g_variant_new("(susss@asa{sv}i)", app, notification_id_, "", summary, text,
                                       g_variant_new_strv(nullptr, 0), &hints, kDefaultExpiry);
  g_free(summary);
  g_free(text);
  g_free(app);

  GError* raw_error = nullptr;
  std::unique_ptr<GVariant, VariantUnref> reply(g_dbus_connection_call_sync(
      connection, kService, kPath, kInterface, "Notify", parameters, G_VARIANT_TYPE("(u)"),
      G_DBUS_CALL_FLAGS_NONE, static_cast<gint>(timeout_.count()), nullptr, &raw_error));
  ErrorPtr error(raw_error);
  if (!reply) return;
  guint32 id = 0;
  g_variant_get(reply.get(), "(u)", &id);
  notification_id_ = id;
}

}  // namespace quillo::desktop
