#pragma once
// A tiny org.freedesktop.Notifications service for the notifier tests: it owns the name on the
// session bus from its own thread and records every Notify call. It answers with ids from 41 on
// (a call that replaces a bubble gets that bubble's id back), or, when told to hang, never
// answers at all.
#include <gio/gio.h>

#include <cstdint>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quillo::desktop::testing {

struct NotifyCall {
  std::string application;
  std::uint32_t replaces_id = 0;
  std::string summary;
  std::string body;
  std::int32_t expire_timeout = 0;
};

class FakeNotificationService {
 public:
  explicit FakeNotificationService(bool hang = false);
  ~FakeNotificationService();
  FakeNotificationService(const FakeNotificationService&) = delete;
  FakeNotificationService& operator=(const FakeNotificationService&) = delete;

  // False when the bus could not be reached or the name not owned.
  bool ready() const { return ready_; }
  std::vector<NotifyCall> calls() const;

 private:
  static void OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                           const gchar* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self);
  void Run(std::promise<bool>* started);

  bool hang_;
  bool ready_ = false;
  GMainContext* context_ = nullptr;
  GMainLoop* loop_ = nullptr;
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<NotifyCall> calls_;
  std::vector<GDBusMethodInvocation*> unanswered_;
  std::uint32_t next_id_ = 41;
};

}  // namespace quillo::desktop::testing
