#pragma once
// The lists of the connected phone as the playlist commands change them: the store's device list
// operations and the device update that writes them back to the phone (shown with its waiting
// dialog). At most one phone is connected. The phone panel implements it in the program and
// quillo-tool's configured phone in the sync commands; NoPhone stands for "no phone connected".
// The caller's one thread (the window thread in the program).
#include <string>
#include <vector>

#include "store/DeviceListSource.h"
#include "store/MusicRecord.h"

namespace quillo::service {

class PhoneLists {
 public:
  virtual ~PhoneLists() = default;

  virtual bool IsConnected() = 0;
  // The connected phone's lists in order, the all-songs list first (empty without a phone).
  virtual std::vector<store::PlaylistEntry> Lists() = 0;

  // A new empty list "d_<device>_<id_part>" with the name; its id, or empty without a phone.
  virtual std::string CreateList(const std::string& id_part, const std::string& name) = 0;
  virtual bool RenameList(const std::string& list_id, const std::string& name) = 0;
  // Removes the list (never the all-songs list); its songs stay on the phone.
  virtual bool DeleteList(const std::string& list_id) = 0;
  // Puts the songs into the list (and into the all-songs list); true when any was added.
  virtual bool AddSongs(const std::string& list_id,
                        const std::vector<store::MusicRecord>& records) = 0;
  // Takes the song out of that list only.
  virtual bool RemoveSong(const std::string& list_id, const std::string& music_id) = 0;
  // Removes the song from every list of the phone, and its file when it leaves the all-songs
  // list.
  virtual bool DeleteSong(const std::string& list_id, const std::string& music_id) = 0;
  // Empties the list; the all-songs list also loses the songs' files.
  virtual void ClearList(const std::string& list_id) = 0;

  // Writes the phone's lists back to it (after any change above).
  virtual void StartUpdate() = 0;

  // Songs dropped on one of the phone's lists: copied to the phone in the background (songs it
  // holds already only join the list). False when nothing was done; without a phone nothing is.
  virtual bool CopySongs(const std::string& list_id,
                         const std::vector<store::MusicRecord>& records) {
    (void)list_id;
    (void)records;
    return false;
  }
  // Sorts one of the phone's lists (never the all-songs list) ascending by the attribute and
  // writes the lists back; false when nothing was sorted.
  virtual bool SortList(const std::string& list_id, const std::string& attribute) {
    (void)list_id;
    (void)attribute;
    return false;
  }
  // Whether the list can be sorted, and the attribute it was last sorted by (empty before).
  virtual bool CanSortList(const std::string& list_id) {
    (void)list_id;
    return false;
  }
  virtual std::string ListSortColumn(const std::string& list_id) {
    (void)list_id;
    return {};
  }
  // Songs of the phone copied into the library in the background; once a song's file is in
  // place its record enters the library and, when target_list_id is a user playlist, that list
  // (empty: the library alone). False when nothing was queued; without a phone nothing is.
  virtual bool CopyFromPhone(const std::string& target_list_id,
                             const std::vector<store::MusicRecord>& records) {
    (void)target_list_id;
    (void)records;
    return false;
  }
};

}  // namespace quillo::service
