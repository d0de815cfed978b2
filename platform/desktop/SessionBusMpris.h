#pragma once
// MprisService over GDBus. The object is registered before the bus name is asked for, so a
// client that sees the name finds the object. When another program already owns
// org.mpris.MediaPlayer2.<suffix>, the name org.mpris.MediaPlayer2.<suffix>.instance<pid> is
// taken instead (as media players share a desktop).
#include <gio/gio.h>

#include <chrono>
#include <memory>
#include <string>

#include "platform/desktop/MprisService.h"
#include "platform/desktop/SessionBus.h"

namespace quillo::desktop {

class SessionBusMpris : public MprisService {
 public:
  // Registers on `connection` (which must stay open); calls are dispatched by the calling
  // thread's default main context.
  SessionBusMpris(ConnectionPtr connection, MprisHandler& handler, MprisIdentity identity);
  ~SessionBusMpris() override;
  SessionBusMpris(const SessionBusMpris&) = delete;
  SessionBusMpris& operator=(const SessionBusMpris&) = delete;

  void Publish(const MprisPlayerState& state) override;
  void EmitSeeked(std::int64_t position_us) override;

  // The bus name asked for, and whether the bus has granted it so far.
  const std::string& bus_name() const { return bus_name_; }
  bool name_owned() const { return name_owned_; }

 private:
  static void OnMethodCall(GDBusConnection* connection, const gchar* sender,
                           const gchar* object_path, const gchar* interface_name,
                           const gchar* method_name, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self);
  static GVariant* OnGetProperty(GDBusConnection* connection, const gchar* sender,
                                 const gchar* object_path, const gchar* interface_name,
                                 const gchar* property_name, GError** error, gpointer self);
  static gboolean OnSetProperty(GDBusConnection* connection, const gchar* sender,
                                const gchar* object_path, const gchar* interface_name,
                                const gchar* property_name, GVariant* value, GError** error,
                                gpointer self);
  static void OnNameAcquired(GDBusConnection* connection, const gchar* name, gpointer self);
  static void OnNameLost(GDBusConnection* connection, const gchar* name, gpointer self);

  GVariant* RootProperty(const std::string& name) const;
  GVariant* PlayerProperty(const std::string& name);
  void OwnName(const std::string& name);

  ConnectionPtr connection_;
  MprisHandler& handler_;
  MprisIdentity identity_;
  MprisPlayerState published_;
  std::string bus_name_;
  bool name_owned_ = false;
  bool tried_instance_name_ = false;
  guint root_registration_ = 0;
  guint player_registration_ = 0;
  guint owner_id_ = 0;
};

}  // namespace quillo::desktop
