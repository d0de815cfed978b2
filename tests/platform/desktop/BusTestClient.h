#pragma once
// The test's own side of a private session bus: a connection of its own for calls and signal
// recording, whose answers arrive through the window thread's loop (pumped, bounded), so that a
// service under test on the same thread keeps answering meanwhile. Also runs command-line
// clients (gdbus, playerctl) while the loop is pumped.
#include <gio/gio.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/desktop/SessionBus.h"
#include "platform/loop/MainLoop.h"

namespace quillo::desktop::testing {

inline constexpr std::chrono::milliseconds kBusWait{10000};

struct RecordedSignal {
  std::string sender;
  std::string path;
  std::string interface_name;
  std::string member;
  VariantPtr parameters;
};

class BusTestClient {
 public:
  explicit BusTestClient(loop::MainLoop& loop);
  ~BusTestClient();
  BusTestClient(const BusTestClient&) = delete;
  BusTestClient& operator=(const BusTestClient&) = delete;

  bool ok() const { return connection_ != nullptr; }
  GDBusConnection* connection() const { return connection_.get(); }

  // Calls and pumps the loop until the answer: the reply, or null (error() tells why).
  VariantPtr Call(const std::string& destination, const std::string& path,
                  const std::string& interface_name, const std::string& method,
                  GVariant* parameters);
  // The property's value (unboxed), or null.
  VariantPtr GetProperty(const std::string& destination, const std::string& path,
                         const std::string& interface_name, const std::string& name);
  bool NameHasOwner(const std::string& name);
  const std::string& error() const { return error_; }

  // Records every signal of the interface (any member, any sender) from now on.
  void Record(const std::string& interface_name);
  const std::vector<RecordedSignal>& signals() const { return signals_; }
  // Pumps until a signal with the member has been recorded (since the start); answers it.
  const RecordedSignal* WaitForSignal(const std::string& member, size_t skip = 0);

 private:
  static void OnSignal(GDBusConnection*, const gchar* sender, const gchar* path,
                       const gchar* interface_name, const gchar* member, GVariant* parameters,
                       gpointer self);

  loop::MainLoop& loop_;
  ConnectionPtr connection_;
  std::string error_;
  std::vector<guint> subscriptions_;
  std::vector<RecordedSignal> signals_;
};

// Runs the shell command in a worker while the loop is pumped (so a service on this thread
// answers it); answers its standard output and error with the last line end removed. The
// command must bound its own run time (`timeout 20 …`).
std::string RunPumped(loop::MainLoop& loop, const std::string& command);

}  // namespace quillo::desktop::testing
