#pragma once
// Shows a short notice to the user outside the program's windows (the desktop's notification
// bubbles). Best effort: when the desktop has no notification service, nothing is shown and
// nothing is reported. Window thread only.
#include <chrono>
#include <memory>
#include <string>

namespace quillo::desktop {

class DesktopNotifier {
 public:
  virtual ~DesktopNotifier() = default;
  // Shows `title` and `body` (UTF-8, '\n' breaks lines). A later notice of the same notifier
  // replaces the bubble of the earlier one instead of stacking a second bubble. Returns within
  // about the notifier's timeout even when the service hangs.
  virtual void Notify(const std::string& title, const std::string& body) = 0;
};

// The notifier over the session bus's org.freedesktop.Notifications service. The bus is found
// through DBUS_SESSION_BUS_ADDRESS, else $XDG_RUNTIME_DIR/bus; it is connected at the first
// notice (never at construction); no bus is ever launched for it. A service that is not running
// may be started by the bus (D-Bus activation). `timeout` bounds the connection and each call.
std::unique_ptr<DesktopNotifier> CreateSessionBusNotifier(
    std::string application_name,
    std::chrono::milliseconds timeout = std::chrono::milliseconds(1500));

}  // namespace quillo::desktop
