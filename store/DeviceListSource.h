#pragma once
// The connected phones' lists as the playlists see them (the device records implement it).
// Called with the store's lock held.
#include <optional>
#include <string>
#include <vector>

#include "store/MusicRecord.h"

namespace quillo::store {

struct PlaylistEntry {
  std::string name;
  std::string id;
  bool operator==(const PlaylistEntry&) const = default;
};

class DeviceListSource {
 public:
  virtual ~DeviceListSource() = default;
  // For each connected phone: an entry with an empty name and the id "d_" + device id, then
  // the phone's lists.
  virtual std::vector<PlaylistEntry> DevicePlaylists() = 0;
  // The records of a "d_" list, in order (empty when unknown).
  virtual std::vector<MusicRecord> DeviceListRecords(const std::string& list_id) = 0;
  // The absolute path of a phone song's file, or no value.
  virtual std::optional<std::string> DeviceMusicPath(const MusicRecord& record) = 0;
};

}  // namespace quillo::store
