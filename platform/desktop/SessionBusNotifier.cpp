#include "platform/desktop/SessionBusNotifier.h"

#include "platform/desktop/SessionBus.h"

#include <string_view>
#include <utility>

namespace quillo::desktop {
namespace {

constexpr char kService[] = "org.freedesktop.Notifications";
constexpr char kPath[] = "/org/freedesktop/Notifications";
constexpr char kInterface[] = "org.freedesktop.Notifications";
constexpr gint32 kDefaultExpiry = -1;  // the service decides how long the bubble stays

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
  ConnectionPtr connection = ConnectSessionBus(timeout_);
  if (!connection) return nullptr;
  connection_.reset(connection.release());
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
  VariantPtr reply(g_dbus_connection_call_sync(
      connection, kService, kPath, kInterface, "Notify", parameters, G_VARIANT_TYPE("(u)"),
      G_DBUS_CALL_FLAGS_NONE, static_cast<gint>(timeout_.count()), nullptr, &raw_error));
  ErrorPtr error(raw_error);
  if (!reply) return;
  guint32 id = 0;
  g_variant_get(reply.get(), "(u)", &id);
  notification_id_ = id;
}

}  // namespace quillo::desktop
