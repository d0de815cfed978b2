#pragma once
// The session bus connection the desktop services share: found through
// DBUS_SESSION_BUS_ADDRESS, else $XDG_RUNTIME_DIR/bus; never launches a bus of its own.
#include <gio/gio.h>

#include <chrono>
#include <memory>
#include <string>

namespace quillo::desktop {

struct GObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
using ConnectionPtr = std::unique_ptr<GDBusConnection, GObjectUnref>;

struct VariantUnref {
  void operator()(GVariant* variant) const { g_variant_unref(variant); }
};
using VariantPtr = std::unique_ptr<GVariant, VariantUnref>;

struct ErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;

// The bus address, or empty when there is no bus.
std::string SessionBusAddress();

// A new connection to the session bus (its own, not GIO's shared singleton, so that tests and
// the program close it when they are done), or null when there is no bus or the handshake does
// not finish within `timeout`. The handshake runs on a private context; the caller's loop need
// not run. The bus closing never ends the process.
ConnectionPtr ConnectSessionBus(std::chrono::milliseconds timeout);

// `text` as valid UTF-8 (bad bytes replaced), safe to put into a GVariant string.
std::string ValidUtf8(const std::string& text);

}  // namespace quillo::desktop
