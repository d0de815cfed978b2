#pragma once
// The phone of the sync commands: the folders the configuration names
// ("module.device.card_folder", "module.device.phone_folder"), opened for the command's run, so
// the playlist commands change a phone's lists as the main window does. Without a configured
// folder it answers as no phone connected. The device update writes the phone's files at once;
// copies run to their end before the call returns, with progress on the error stream.
//
// One command's thread. The store runtime outlives this object.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "device/PhoneDevices.h"
#include "media/MediaTagAccess.h"
#include "service/sync/PhoneLists.h"

namespace quillo::store {
class StoreRuntime;
}

namespace quillo::tool {

class ToolPhone : public service::PhoneLists {
 public:
  ToolPhone(store::StoreRuntime& runtime, std::ostream& err);
  ~ToolPhone() override;
  ToolPhone(const ToolPhone&) = delete;
  ToolPhone& operator=(const ToolPhone&) = delete;

  // True when the list is one of the connected phone's lists.
  bool HasList(const std::string& list_id) const;
  // The song of the phone with that id ("d_<device>_…"), or no value.
  std::optional<store::MusicRecord> FindSong(const std::string& music_id);
  // False once a device update could not write the phone's files.
  bool updates_written() const { return updates_written_; }

  bool IsConnected() override;
  std::vector<store::PlaylistEntry> Lists() override;
  std::string CreateList(const std::string& id_part, const std::string& name) override;
  bool RenameList(const std::string& list_id, const std::string& name) override;
  bool DeleteList(const std::string& list_id) override;
  bool AddSongs(const std::string& list_id, const std::vector<store::MusicRecord>& records) override;
  bool RemoveSong(const std::string& list_id, const std::string& music_id) override;
  bool DeleteSong(const std::string& list_id, const std::string& music_id) override;
  void ClearList(const std::string& list_id) override;
  void StartUpdate() override;
  bool CopySongs(const std::string& list_id, const std::vector<store::MusicRecord>& records) override;
  bool CopyFromPhone(const std::string& target_list_id,
                     const std::vector<store::MusicRecord>& records) override;
  bool SortList(const std::string& list_id, const std::string& attribute) override;
  bool CanSortList(const std::string& list_id) override;
  std::string ListSortColumn(const std::string& list_id) override;

 private:
  bool Owns(const std::string& list_id) const;

  store::StoreRuntime& runtime_;
  std::ostream& err_;
  media::MediaTagAccess tags_;
  std::optional<device::PhoneRoots> roots_;
  std::optional<device::PhoneDevices> devices_;
  std::string id_;
  bool updates_written_ = true;
};

}  // namespace quillo::tool
