#pragma once
// The program's media-player service on the session bus (MPRIS 2): the bus name
// org.mpris.MediaPlayer2.<name>, the object /org/mpris/MediaPlayer2 with the root and the Player
// interfaces. Calls from clients go to an MprisHandler; the state comes from Publish.
//
// Threads: window thread only; the bus's calls are dispatched by the window thread's GLib
// context. Ownership: the owner keeps the handler alive longer than the service. Destroying the
// service releases the bus name and unregisters the object; no handler call follows.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop/MprisPlayerState.h"

namespace quillo::desktop {

class MprisHandler;

class MprisService {
 public:
  virtual ~MprisService() = default;
  // Makes state the published one; every property that differs from the last published value
  // is announced in one PropertiesChanged signal.
  virtual void Publish(const MprisPlayerState& state) = 0;
  // Announces a jump of the playing position (the Seeked signal).
  virtual void EmitSeeked(std::int64_t position_us) = 0;
};

struct MprisIdentity {
  std::string bus_suffix = "quillo";  // org.mpris.MediaPlayer2.quillo
  std::string identity = "Zelbo音乐";
  std::string desktop_entry = "quillo";
  std::vector<std::string> uri_schemes = {"file", "quillo"};
  std::vector<std::string> mime_types = {"audio/mpeg", "audio/x-ms-wma", "audio/x-wav", "audio/ogg",
                                         "audio/flac"};
};

// The service over GDBus. The bus is found as for the desktop notices; no bus, or a name that
// cannot be owned, leaves the service silent (answers nullptr only when there is no bus at all
// within the time-out). The handler must outlive the service.
std::unique_ptr<MprisService> CreateSessionBusMpris(
    MprisHandler& handler, MprisIdentity identity,
    std::chrono::milliseconds timeout = std::chrono::milliseconds(1500));

}  // namespace quillo::desktop
