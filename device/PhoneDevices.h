#pragma once
// The opened phones and their lists: the device records of the store. Each device holds its
// roots and its ordered lists, the first always the all-songs list "d_<device>_" / "[全部]".
// Device lists live only here and on the phone; nothing of them enters the data file.
//
// Threads: every operation takes the store's lock for its whole run, except OpenDevice, which
// reads the phone's files without it and takes it only to add the record, and SaveDevice, which
// copies the lists under the lock and writes the phone's files without it (a slow card must not
// hold up the window thread). Reading and writing run on short-lived worker threads in the
// program; the tool calls them on its own thread.
//
// Lifetime: registers itself as the library's device source on construction and unregisters
// on destruction; the store and library outlive this object.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/PhoneRoots.h"
#include "store/DeviceListSource.h"
#include "store/MusicRecord.h"

namespace quillo::store {
class DocumentStore;
class MusicLibrary;
class SongTagAccess;
}  // namespace quillo::store

namespace quillo::device {

struct DeviceList {
  std::string id;
  std::string name;
  std::vector<store::MusicRecord> records;
  bool sort_ascending = true;
  std::string sort_column;  // the attribute of the last sort, empty before one
};

class PhoneDevices : public store::DeviceListSource {
 public:
  static constexpr std::string_view kAllSongsName = "[全部]";

  // tags (may be null) reads the tags of songs the phone lists but its index does not know.
  PhoneDevices(store::DocumentStore& store, store::MusicLibrary& library,
               store::SongTagAccess* tags = nullptr);
  ~PhoneDevices() override;
  PhoneDevices(const PhoneDevices&) = delete;
  PhoneDevices& operator=(const PhoneDevices&) = delete;

  // Reads the phone's files and adds (or replaces) the device record; answers the device id.
  // Missing files read as empty, so any folder opens as a device.
  std::string OpenDevice(const PhoneRoots& roots);
  // Forgets the device and its lists (the phone was removed).
  void CloseDevice(std::string_view device_id);
  bool IsOpen(std::string_view device_id) const;
  std::optional<PhoneRoots> RootsOf(std::string_view device_id) const;

  // Writes the phone player's files from the device's lists. The new list files and the new
  // configuration are written beside the old ones first; only when all of them are complete do
  // they replace the old files, and old lists that are gone are deleted last. A failure part-way
  // leaves the phone's previous lists readable. False when the device is not open or a file
  // could not be written.
  bool SaveDevice(std::string_view device_id);

  std::vector<store::PlaylistEntry> DeviceLists(std::string_view device_id) const;
  int DeviceListCount(std::string_view device_id) const;
  // True when the all-songs list has a song with the same name, artist_name and album_name.
  bool DeviceHasSong(std::string_view device_id, const store::MusicRecord& record) const;
  // That song of the all-songs list (so a list can take the phone's own record), or no value.
  std::optional<store::MusicRecord> FindSameSong(std::string_view device_id,
                                                 const store::MusicRecord& record) const;

  // Puts the record into the all-songs list and, for another list, into that one too (a record
  // with the same id is replaced). Its id gets the device prefix when it lacks one. False when
  // the device is not open; true when the record was new to the named list.
  bool AddToDeviceList(store::MusicRecord record, std::string_view list_id);
  // Takes the song out of that list only (never out of the all-songs list).
  bool RemoveFromDeviceList(std::string_view list_id, std::string_view music_id);
  // Takes the song out of every list of the device; when it leaves the all-songs list its file
  // is deleted with its lyric and, when no other song shares them, its album and artist
  // folders. Only files below the device's roots are ever deleted. True when the song was in
  // some list other than the all-songs list.
  bool RemoveSongFromDevice(std::string_view list_id, std::string_view music_id);
  // Empties the list; for the all-songs list every song's file goes and every list empties.
  void ClearDeviceList(std::string_view list_id);
  // A new empty list "d_<device>_<part>"; its id, or empty when the device is not open or the
  // part is empty or holds '_'.
  std::string CreateDeviceList(std::string_view device_id, std::string_view part,
                               std::string_view name);
  bool DeleteDeviceList(std::string_view list_id);
  bool RenameDeviceList(std::string_view list_id, std::string_view name);
  // Moves the list before (or after) the target list; the all-songs list stays first.
  bool MoveDeviceList(std::string_view list_id, std::string_view target_id, bool before);
  // Sorts the records of a list (not the all-songs list) by the attribute in Chinese collation
  // order. The list starts ascending; asked not to keep its direction, it turns round. The
  // direction lives only in memory, with the list.
  bool SortDeviceList(std::string_view list_id, const std::string& attribute, bool keep_direction);
  // The attribute the list was last sorted by and its direction; no value for an unknown list
  // or the all-songs list, which is never sorted.
  struct SortState {
    std::string column;
    bool ascending = true;
  };
  std::optional<SortState> ListSortState(std::string_view list_id) const;

  // store::DeviceListSource (the caller holds the store's lock).
  std::vector<store::PlaylistEntry> DevicePlaylists() override;
  std::vector<store::MusicRecord> DeviceListRecords(const std::string& list_id) override;
  std::optional<std::string> DeviceMusicPath(const store::MusicRecord& record) override;

  // The computer path of a phone song's file: its "file://" path, or a relative music-folder
  // name below the card's music folder. No value when it names nothing on the device.
  static std::optional<std::string> SongPath(const PhoneRoots& roots,
                                             const store::MusicRecord& record);

 private:
  struct Device {
    std::string id;
    PhoneRoots roots;
    std::vector<DeviceList> lists;
  };
  // Reads the phone's files into a record (no lock).
  Device ReadDevice(const PhoneRoots& roots, const std::string& device_id);
  Device* FindDevice(std::string_view device_id);
  const Device* FindDevice(std::string_view device_id) const;
  DeviceList* FindList(std::string_view list_id, Device** device = nullptr);
  // Deletes the song's file, its lyric and the album and artist folders that no remaining
  // all-songs record shares (caller holds the lock; the record is already out of the lists).
  void DeleteSongFile(const Device& device, const store::MusicRecord& record);
  void Changed();

  store::DocumentStore& store_;
  store::MusicLibrary& library_;
  store::SongTagAccess* tags_;
  std::vector<Device> devices_;
};

}  // namespace quillo::device
