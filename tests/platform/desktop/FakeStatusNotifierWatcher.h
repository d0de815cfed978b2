#pragma once
// A tiny org.kde.StatusNotifierWatcher for the tray tests: it owns the name on the session bus
// from its own thread, records every item that registers, and answers whether a host is
// registered as the test says. Destroying it closes its connection, so the name vanishes.
#include <gio/gio.h>

#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quillo::desktop::testing {

class FakeStatusNotifierWatcher {
 public:
  explicit FakeStatusNotifierWatcher(bool host_registered);
  ~FakeStatusNotifierWatcher();
  FakeStatusNotifierWatcher(const FakeStatusNotifierWatcher&) = delete;
  FakeStatusNotifierWatcher& operator=(const FakeStatusNotifierWatcher&) = delete;

  bool ready() const { return ready_; }
  // The service texts items registered with, in order.
  std::vector<std::string> registered() const;
  // A host appears: the property turns true and StatusNotifierHostRegistered is sent.
  void RegisterHost();

 private:
  static void OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                           const gchar* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self);
  static GVariant* OnGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                 const gchar* property, GError** error, gpointer self);
  void Run(std::promise<bool>* started);

  bool ready_ = false;
  GMainContext* context_ = nullptr;
  GMainLoop* loop_ = nullptr;
  GDBusConnection* connection_ = nullptr;
  std::thread thread_;
  mutable std::mutex mutex_;
  bool host_registered_;
  std::vector<std::string> registered_;
};

}  // namespace quillo::desktop::testing
