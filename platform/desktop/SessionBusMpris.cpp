#include "platform/desktop/SessionBusMpris.h"

#include <unistd.h>

#include <utility>

#include "platform/desktop/MprisHandler.h"

namespace quillo::desktop {
namespace {

constexpr char kObjectPath[] = "/org/mpris/MediaPlayer2";
constexpr char kRootInterface[] = "org.mpris.MediaPlayer2";
constexpr char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";

constexpr char kIntrospection[] =
    "<node>"
    "<interface name='org.mpris.MediaPlayer2'>"
    "<method name='Raise'/><method name='Quit'/>"
    "<property name='CanQuit' type='b' access='read'/>"
    "<property name='CanRaise' type='b' access='read'/>"
    "<property name='HasTrackList' type='b' access='read'/>"
    "<property name='Identity' type='s' access='read'/>"
    "<property name='DesktopEntry' type='s' access='read'/>"
    "<property name='SupportedUriSchemes' type='as' access='read'/>"
    "<property name='SupportedMimeTypes' type='as' access='read'/>"
    "</interface>"
    "<interface name='org.mpris.MediaPlayer2.Player'>"
    "<method name='Next'/><method name='Previous'/><method name='Pause'/>"
    "<method name='PlayPause'/><method name='Stop'/><method name='Play'/>"
    "<method name='Seek'><arg name='Offset' type='x' direction='in'/></method>"
    "<method name='SetPosition'><arg name='TrackId' type='o' direction='in'/>"
    "<arg name='Position' type='x' direction='in'/></method>"
    "<method name='OpenUri'><arg name='Uri' type='s' direction='in'/></method>"
    "<signal name='Seeked'><arg name='Position' type='x'/></signal>"
    "<property name='PlaybackStatus' type='s' access='read'/>"
    "<property name='LoopStatus' type='s' access='readwrite'/>"
    "<property name='Rate' type='d' access='readwrite'/>"
    "<property name='Shuffle' type='b' access='readwrite'/>"
    "<property name='Metadata' type='a{sv}' access='read'/>"
    "<property name='Volume' type='d' access='readwrite'/>"
    "<property name='Position' type='x' access='read'/>"
    "<property name='MinimumRate' type='d' access='read'/>"
    "<property name='MaximumRate' type='d' access='read'/>"
    "<property name='CanGoNext' type='b' access='read'/>"
    "<property name='CanGoPrevious' type='b' access='read'/>"
    "<property name='CanPlay' type='b' access='read'/>"
    "<property name='CanPause' type='b' access='read'/>"
    "<property name='CanSeek' type='b' access='read'/>"
    "<property name='CanControl' type='b' access='read'/>"
    "</interface>"
    "</node>";

struct NodeInfoUnref {
  void operator()(GDBusNodeInfo* info) const { g_dbus_node_info_unref(info); }
};

// Parsed once; the registrations keep their own references to the interfaces.
GDBusNodeInfo* NodeInfo() {
  static std::unique_ptr<GDBusNodeInfo, NodeInfoUnref> info(
      g_dbus_node_info_new_for_xml(kIntrospection, nullptr));
  return info.get();
}

GVariant* Text(const std::string& text) {
  return g_variant_new_string(ValidUtf8(text).c_str());
}

GVariant* TextList(const std::vector<std::string>& texts) {
  GVariantBuilder builder;
  g_variant_builder_init(&builder, G_VARIANT_TYPE("as"));
  for (const auto& text : texts) g_variant_builder_add_value(&builder, Text(text));
  return g_variant_builder_end(&builder);
}

// A track path that is not a valid object path would abort the variant builder.
GVariant* TrackPath(const std::string& path) {
  return g_variant_new_object_path(
      g_variant_is_object_path(path.c_str()) ? path.c_str() : MprisMetadata::kNoTrack);
}

GVariant* MetadataVariant(const MprisMetadata& metadata) {
  GVariantBuilder builder;
  g_variant_builder_init(&builder, G_VARIANT_TYPE("a{sv}"));
  g_variant_builder_add(&builder, "{sv}", "mpris:trackid", TrackPath(metadata.track_path));
  if (metadata.length_us >= 0) {
    g_variant_builder_add(&builder, "{sv}", "mpris:length",
                          g_variant_new_int64(metadata.length_us));
  }
  auto add_text = [&builder](const char* key, const std::string& value) {
    if (!value.empty()) g_variant_builder_add(&builder, "{sv}", key, Text(value));
  };
  add_text("xesam:title", metadata.title);
  if (!metadata.artists.empty()) {
    g_variant_builder_add(&builder, "{sv}", "xesam:artist", TextList(metadata.artists));
  }
  add_text("xesam:album", metadata.album);
  add_text("mpris:artUrl", metadata.art_url);
  add_text("xesam:asText", metadata.as_text);
  return g_variant_builder_end(&builder);
}

}  // namespace

std::unique_ptr<MprisService> CreateSessionBusMpris(MprisHandler& handler, MprisIdentity identity,
                                                    std::chrono::milliseconds timeout) {
  ConnectionPtr connection = ConnectSessionBus(timeout);
  if (!connection) return nullptr;
  return std::make_unique<SessionBusMpris>(std::move(connection), handler, std::move(identity));
}

SessionBusMpris::SessionBusMpris(ConnectionPtr connection, MprisHandler& handler,
                                 MprisIdentity identity)
    : connection_(std::move(connection)), handler_(handler), identity_(std::move(identity)) {
  static const GDBusInterfaceVTable kVTable = {OnMethodCall, OnGetProperty, OnSetProperty, {}};
  GDBusNodeInfo* info = NodeInfo();
  root_registration_ = g_dbus_connection_register_object(
      connection_.get(), kObjectPath, g_dbus_node_info_lookup_interface(info, kRootInterface),
      &kVTable, this, nullptr, nullptr);
  player_registration_ = g_dbus_connection_register_object(
      connection_.get(), kObjectPath, g_dbus_node_info_lookup_interface(info, kPlayerInterface),
      &kVTable, this, nullptr, nullptr);
  OwnName(std::string(kRootInterface) + "." + identity_.bus_suffix);
}

SessionBusMpris::~SessionBusMpris() {
  if (owner_id_ != 0) g_bus_unown_name(owner_id_);
  if (player_registration_ != 0) {
    g_dbus_connection_unregister_object(connection_.get(), player_registration_);
  }
  if (root_registration_ != 0) {
    g_dbus_connection_unregister_object(connection_.get(), root_registration_);
  }
  // Releasing the name and the object must reach the bus before the connection goes.
  g_dbus_connection_flush_sync(connection_.get(), nullptr, nullptr);
}

void SessionBusMpris::OwnName(const std::string& name) {
  if (owner_id_ != 0) g_bus_unown_name(owner_id_);
  bus_name_ = name;
  name_owned_ = false;
  owner_id_ = g_bus_own_name_on_connection(connection_.get(), name.c_str(),
                                           G_BUS_NAME_OWNER_FLAGS_DO_NOT_QUEUE, OnNameAcquired,
                                           OnNameLost, this, nullptr);
}

void SessionBusMpris::OnNameAcquired(GDBusConnection*, const gchar*, gpointer self) {
  static_cast<SessionBusMpris*>(self)->name_owned_ = true;
}

void SessionBusMpris::OnNameLost(GDBusConnection*, const gchar*, gpointer data) {
  auto* self = static_cast<SessionBusMpris*>(data);
  self->name_owned_ = false;
  if (self->tried_instance_name_) return;
  // Another player of the same name (a second copy of the program): take an instance name,
  // but not from inside the callback of the name being released.
  self->tried_instance_name_ = true;
  std::string name = std::string(kRootInterface) + "." + self->identity_.bus_suffix + ".instance" +
                     std::to_string(getpid());
  self->OwnName(name);
}

void SessionBusMpris::Publish(const MprisPlayerState& state) {
  GVariantBuilder changed;
  g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
  bool any = false;
  auto add = [&](const char* name, GVariant* value) {
    g_variant_builder_add(&changed, "{sv}", name, value);
    any = true;
  };
  const MprisPlayerState& old = published_;
  if (state.playback_status != old.playback_status)
    add("PlaybackStatus", Text(state.playback_status));
  if (state.loop_status != old.loop_status) add("LoopStatus", Text(state.loop_status));
  if (state.shuffle != old.shuffle) add("Shuffle", g_variant_new_boolean(state.shuffle));
  if (state.volume != old.volume) add("Volume", g_variant_new_double(state.volume));
  if (!(state.metadata == old.metadata)) add("Metadata", MetadataVariant(state.metadata));
  if (state.can_go_next != old.can_go_next)
    add("CanGoNext", g_variant_new_boolean(state.can_go_next));
  if (state.can_go_previous != old.can_go_previous) {
    add("CanGoPrevious", g_variant_new_boolean(state.can_go_previous));
  }
  if (state.can_play != old.can_play) add("CanPlay", g_variant_new_boolean(state.can_play));
  if (state.can_pause != old.can_pause) add("CanPause", g_variant_new_boolean(state.can_pause));
  if (state.can_seek != old.can_seek) add("CanSeek", g_variant_new_boolean(state.can_seek));
  if (state.can_control != old.can_control) {
    add("CanControl", g_variant_new_boolean(state.can_control));
  }
  published_ = state;
  if (!any) {
    g_variant_builder_clear(&changed);
    return;
  }
  GVariantBuilder invalidated;
  g_variant_builder_init(&invalidated, G_VARIANT_TYPE("as"));
  g_dbus_connection_emit_signal(
      connection_.get(), nullptr, kObjectPath, "org.freedesktop.DBus.Properties",
      "PropertiesChanged", g_variant_new("(sa{sv}as)", kPlayerInterface, &changed, &invalidated),
      nullptr);
}

void SessionBusMpris::EmitSeeked(std::int64_t position_us) {
  g_dbus_connection_emit_signal(connection_.get(), nullptr, kObjectPath, kPlayerInterface, "Seeked",
                                g_variant_new("(x)", position_us), nullptr);
}

void SessionBusMpris::OnMethodCall(GDBusConnection*, const gchar*, const gchar*,
                                   const gchar* interface_name, const gchar* method_name,
                                   GVariant* parameters, GDBusMethodInvocation* invocation,
                                   gpointer data) {
  auto* self = static_cast<SessionBusMpris*>(data);
  MprisHandler& handler = self->handler_;
  const std::string method = method_name;
  // Answer first: a handler may quit the program or open a modal window, and the client must
  // not wait for either.
  auto answer = [invocation] { g_dbus_method_invocation_return_value(invocation, nullptr); };
  if (g_strcmp0(interface_name, kRootInterface) == 0) {
    answer();
    if (method == "Raise") handler.Raise();
    if (method == "Quit") handler.Quit();
    return;
  }
  if (method == "Seek") {
    gint64 offset = 0;
    g_variant_get(parameters, "(x)", &offset);
    answer();
    handler.Seek(offset);
  } else if (method == "SetPosition") {
    const gchar* track = nullptr;
    gint64 position = 0;
    g_variant_get(parameters, "(&ox)", &track, &position);
    std::string track_path = track;
    answer();
    handler.SetPosition(track_path, position);
  } else if (method == "OpenUri") {
    const gchar* uri = nullptr;
    g_variant_get(parameters, "(&s)", &uri);
    std::string text = uri;
    answer();
    handler.OpenUri(text);
  } else {
    answer();
    if (method == "Play") handler.Play();
    if (method == "Pause") handler.Pause();
    if (method == "PlayPause") handler.PlayPause();
    if (method == "Stop") handler.Stop();
    if (method == "Next") handler.Next();
    if (method == "Previous") handler.Previous();
  }
}

GVariant* SessionBusMpris::RootProperty(const std::string& name) const {
  if (name == "CanQuit" || name == "CanRaise") return g_variant_new_boolean(TRUE);
  if (name == "HasTrackList") return g_variant_new_boolean(FALSE);
  if (name == "Identity") return Text(identity_.identity);
  if (name == "DesktopEntry") return Text(identity_.desktop_entry);
  if (name == "SupportedUriSchemes") return TextList(identity_.uri_schemes);
  if (name == "SupportedMimeTypes") return TextList(identity_.mime_types);
  return nullptr;
}

GVariant* SessionBusMpris::PlayerProperty(const std::string& name) {
  const MprisPlayerState& state = published_;
  if (name == "PlaybackStatus") return Text(state.playback_status);
  if (name == "LoopStatus") return Text(state.loop_status);
  if (name == "Rate" || name == "MinimumRate" || name == "MaximumRate") {
    return g_variant_new_double(1.0);
  }
  if (name == "Shuffle") return g_variant_new_boolean(state.shuffle);
  if (name == "Metadata") return MetadataVariant(state.metadata);
  if (name == "Volume") return g_variant_new_double(state.volume);
  if (name == "Position") return g_variant_new_int64(handler_.PositionUs());
  if (name == "CanGoNext") return g_variant_new_boolean(state.can_go_next);
  if (name == "CanGoPrevious") return g_variant_new_boolean(state.can_go_previous);
  if (name == "CanPlay") return g_variant_new_boolean(state.can_play);
  if (name == "CanPause") return g_variant_new_boolean(state.can_pause);
  if (name == "CanSeek") return g_variant_new_boolean(state.can_seek);
  if (name == "CanControl") return g_variant_new_boolean(state.can_control);
  return nullptr;
}

GVariant* SessionBusMpris::OnGetProperty(GDBusConnection*, const gchar*, const gchar*,
                                         const gchar* interface_name, const gchar* property_name,
                                         GError** error, gpointer data) {
  auto* self = static_cast<SessionBusMpris*>(data);
  GVariant* value = g_strcmp0(interface_name, kRootInterface) == 0
                        ? self->RootProperty(property_name)
                        : self->PlayerProperty(property_name);
  if (value == nullptr) {
    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_UNKNOWN_PROPERTY, "no property %s",
                property_name);
  }
  return value;
}

gboolean SessionBusMpris::OnSetProperty(GDBusConnection*, const gchar*, const gchar*,
                                        const gchar* interface_name, const gchar* property_name,
                                        GVariant* value, GError** error, gpointer data) {
  auto* self = static_cast<SessionBusMpris*>(data);
  const std::string name = property_name;
  if (g_strcmp0(interface_name, kPlayerInterface) == 0) {
    if (name == "Volume") {
      self->handler_.SetVolume(g_variant_get_double(value));
      return TRUE;
    }
    if (name == "LoopStatus") {
      self->handler_.SetLoopStatus(g_variant_get_string(value, nullptr));
      return TRUE;
    }
    if (name == "Shuffle") {
      self->handler_.SetShuffle(g_variant_get_boolean(value) != FALSE);
      return TRUE;
    }
    if (name == "Rate") return TRUE;  // fixed at 1.0; clients may set it, it stays
  }
  g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_PROPERTY_READ_ONLY, "%s is read-only",
              property_name);
  return FALSE;
}

}  // namespace quillo::desktop
