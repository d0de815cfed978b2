#pragma once
// DesktopNotifier over GDBus: org.freedesktop.Notifications.Notify on the session bus, one
// bubble per notifier (later notices pass the first one's id as replaces_id). A missing bus, a
// bus without the service, or an error answer leaves the notice unshown, silently.
#include <gio/gio.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/desktop/DesktopNotifier.h"

namespace quillo::desktop {

class SessionBusNotifier : public DesktopNotifier {
 public:
  SessionBusNotifier(std::string application_name, std::chrono::milliseconds timeout);
  void Notify(const std::string& title, const std::string& body) override;

  // The id the service gave the bubble (0 before the first shown notice).
  std::uint32_t notification_id() const { return notification_id_; }

 private:
  struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
  };
  // Connects on first use; a failed connection is tried again at the next notice.
  GDBusConnection* Connection();

  std::string application_name_;
  std::chrono::milliseconds timeout_;
  std::unique_ptr<GDBusConnection, ObjectUnref> connection_;
  std::uint32_t notification_id_ = 0;
};

}  // namespace quillo::desktop
