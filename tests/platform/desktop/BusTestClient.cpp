#include "BusTestClient.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>

namespace quillo::desktop::testing {

BusTestClient::BusTestClient(loop::MainLoop& loop)
    : loop_(loop), connection_(ConnectSessionBus(kBusWait)) {}

BusTestClient::~BusTestClient() {
  for (guint id : subscriptions_) g_dbus_connection_signal_unsubscribe(connection_.get(), id);
  if (connection_) g_dbus_connection_close_sync(connection_.get(), nullptr, nullptr);
}

VariantPtr BusTestClient::Call(const std::string& destination, const std::string& path,
                               const std::string& interface_name, const std::string& method,
                               GVariant* parameters) {
  struct Answer {
    bool done = false;
    GVariant* reply = nullptr;
    std::string error;
  };
  auto answer = std::make_shared<Answer>();
  // The answer box outlives an unanswered call: the callback holds its own reference.
  auto* holder = new std::shared_ptr<Answer>(answer);
  g_dbus_connection_call(
      connection_.get(), destination.c_str(), path.c_str(), interface_name.c_str(), method.c_str(),
      parameters, nullptr, G_DBUS_CALL_FLAGS_NO_AUTO_START, static_cast<gint>(kBusWait.count()),
      nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<std::shared_ptr<Answer>> box(static_cast<std::shared_ptr<Answer>*>(data));
        GError* error = nullptr;
        (*box)->reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
        if (error != nullptr) {
          (*box)->error = error->message;
          g_error_free(error);
        }
        (*box)->done = true;
      },
      holder);
  loop_.PumpUntil([&] { return answer->done; }, kBusWait + std::chrono::seconds(1));
  error_ = answer->done ? answer->error : "no answer";
  VariantPtr reply(answer->reply);
  answer->reply = nullptr;
  return reply;
}

VariantPtr BusTestClient::GetProperty(const std::string& destination, const std::string& path,
                                      const std::string& interface_name, const std::string& name) {
  VariantPtr reply = Call(destination, path, "org.freedesktop.DBus.Properties", "Get",
                          g_variant_new("(ss)", interface_name.c_str(), name.c_str()));
  if (!reply) return nullptr;
  GVariant* value = nullptr;
  g_variant_get(reply.get(), "(v)", &value);
  return VariantPtr(value);
}

bool BusTestClient::NameHasOwner(const std::string& name) {
  VariantPtr reply = Call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                          "NameHasOwner", g_variant_new("(s)", name.c_str()));
  gboolean owned = FALSE;
  if (reply) g_variant_get(reply.get(), "(b)", &owned);
  return owned != FALSE;
}

void BusTestClient::Record(const std::string& interface_name) {
  subscriptions_.push_back(g_dbus_connection_signal_subscribe(
      connection_.get(), nullptr, interface_name.c_str(), nullptr, nullptr, nullptr,
      G_DBUS_SIGNAL_FLAGS_NONE, OnSignal, this, nullptr));
  // The bus must have the match rule before anything the test does next is sent.
  NameHasOwner("org.freedesktop.DBus");
}

void BusTestClient::OnSignal(GDBusConnection*, const gchar* sender, const gchar* path,
                             const gchar* interface_name, const gchar* member, GVariant* parameters,
                             gpointer data) {
  auto* self = static_cast<BusTestClient*>(data);
  self->signals_.push_back(
      {sender ? sender : "", path, interface_name, member, VariantPtr(g_variant_ref(parameters))});
}

const RecordedSignal* BusTestClient::WaitForSignal(const std::string& member, size_t skip) {
  const RecordedSignal* found = nullptr;
  loop_.PumpUntil(
      [&] {
        size_t seen = 0;
        for (const RecordedSignal& signal : signals_) {
          if (signal.member == member && seen++ == skip) {
            found = &signal;
            return true;
          }
        }
        return false;
      },
      kBusWait);
  return found;
}

std::string RunPumped(loop::MainLoop& loop, const std::string& command) {
  auto done = std::make_shared<std::atomic<bool>>(false);
  auto output = std::make_shared<std::string>();
  std::thread worker([command, done, output] {
    std::string full = command + " 2>&1";
    if (FILE* pipe = popen(full.c_str(), "r")) {
      char buffer[512];
      size_t count = 0;
      while ((count = fread(buffer, 1, sizeof buffer, pipe)) > 0) output->append(buffer, count);
      pclose(pipe);
    }
    *done = true;
  });
  loop.PumpUntil([&] { return done->load(); }, std::chrono::seconds(30));
  worker.join();
  std::string text = *output;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace quillo::desktop::testing
