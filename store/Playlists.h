#pragma once
// Users and playlists: the user elements, the stored playlists of each user, the temporary
// lists held in memory (charts, random lists, the filter, the recently played list), the
// current user, list and item, and every list operation the program calls.
//
// List ids decide the kind: "" the current user's default list (the library as a list),
// "local" the imported files (shared by all users), 32 hexadecimal digits a user playlist,
// "t_…" a temporary list ("t_latest" is also stored), "d_…" a phone's list.
//
// Threads: every public operation takes the store's lock for its whole run.
#include <tinyxml.h>

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/DeviceListSource.h"
#include "store/MusicRecord.h"
#include "store/StoreSection.h"

namespace quillo::store {

class DocumentStore;
class MusicLibrary;
class PlaylistIndex;

struct UserInfo {
  std::string id;
  std::string username;
  std::string context_key;
  bool operator==(const UserInfo&) const = default;
};

struct PlaylistInfo {
  std::string id;
  std::string name;
  std::string sort_column;
  std::string sort_asc;
};

class Playlists : public StoreSection {
 public:
  static constexpr std::string_view kRecentListId = "t_latest";
  static constexpr std::string_view kFilterListId = "t__filter";
  static constexpr std::size_t kRecentListLength = 20;

  Playlists(DocumentStore& store, PlaylistIndex& lists, MusicLibrary& library);

  // Rebuilds the recently played list of the current user.
  void OnOpen(DocumentStore& store) override;
  void OnClose(DocumentStore& store) override;

  // ---- Users ----------------------------------------------------------------------------
  // Users with a non-empty id, in document order.
  std::vector<UserInfo> ListUsers();
  UserInfo CurrentUserInfo();
  void ForgetSessionKey();
  // The store's part of a logout, as one operation under the lock: removes the current user's
  // `contextKey`, makes the current user empty (its recently played list goes with it), tells
  // the listeners OnUserChanged with the empty id, then removes "sorvel.contextid" and
  // "sorvel.currentuser". The user element stays, so the account can be offered again.
  void Logout();
  // The current user, its recently played list and "sorvel.currentuser".
  void SetCurrentUser(const std::string& user_id);

  // ---- Lists ----------------------------------------------------------------------------
  std::vector<PlaylistEntry> ListPlaylists(bool without_devices);
  int CountPlaylists();
  std::string FindPlaylistByName(std::string_view name);
  bool PlaylistExists(std::string_view list_id);
  bool PlaylistIsEmpty(std::string_view list_id);
  std::optional<PlaylistInfo> GetPlaylistInfo(std::string_view list_id);
  // Creates the stored list when needed.
  void SetPlaylistName(std::string_view list_id, std::string_view name);
  bool RenamePlaylist(std::string_view list_id, std::string_view name);
  bool DeletePlaylist(std::string_view list_id);
  // A new user playlist with a fresh 32-digit id; the id, or empty when none could be made.
  std::string CreatePlaylist(std::string_view name);
  bool MovePlaylist(std::string_view list_id, std::string_view target_id, bool before);

  // The list's records in order, shared with the song cache (a list of 100,000 songs is handed
  // out without copying records). Items of a stored list whose song is not in the library are
  // dropped from the list on the way.
  std::vector<MusicRecordPtr> ListRecords(std::string_view list_id);
  bool ContainsItem(std::string_view list_id, std::string_view music_id);
  // Appends a song of the library to a stored list; false when it is there already.
  bool AddItem(std::string_view list_id, std::string_view music_id);
  bool RemoveItem(std::string_view list_id, std::string_view music_id);
  void ClearList(std::string_view list_id);
  bool MoveItems(std::string_view list_id, std::string_view target_id,
                 const std::vector<std::string>& music_ids, bool before);
  bool SortPlaylist(std::string_view list_id, const std::string& attribute, bool keep_direction);

  // ---- Temporary lists --------------------------------------------------------------------
  void SetFilterList(std::vector<MusicRecord> records);
  // Parses a service list document; false (and the list unchanged) when it does not parse.
  bool SetTemporaryList(const std::string& list_id, std::string_view list_document);
  void SetTemporaryRecords(const std::string& list_id, std::vector<MusicRecord> records);
  void AddRecentlyPlayed(const MusicRecord& record);
  // The first record with the id in any temporary list, lists taken in order of their ids.
  MusicRecordPtr FindInTemporaryLists(std::string_view music_id);
  // Rebuilds "t_latest" from the current user's stored copy.
  void RebuildRecentlyPlayed();

  // ---- Current list and item ----------------------------------------------------------------
  void SetCurrentList(const std::string& list_id);
  void SetCurrentItem(const std::string& music_id);
  // The stored item the player continues with (its attributes), or none.
  std::optional<MusicRecord> CurrentItemElement();
  // The current list's first item, which becomes the current item in memory.
  std::optional<MusicRecord> FirstItemOfCurrentList();
  // Writes one attribute onto the library record of the current item's song (a lyric file the
  // user associated with it). False when there is no current item or its song is not in the
  // library. The current list and item stay as they are.
  bool SetCurrentItemAttribute(std::string_view attribute, std::string_view text);

  // ---- Downloads ---------------------------------------------------------------------------
  // Up to `count` waiting service songs of the default list, marked as being downloaded.
  std::vector<std::string> TakeWaitingSongs(std::size_t count);
  // The default list's service songs not yet downloaded (waiting, being downloaded or failed),
  // each with `paused` = "true"/"false".
  std::vector<MusicRecord> DownloadQueueRecords();

 private:
  static bool IsTemporaryId(std::string_view list_id);
  std::vector<MusicRecordPtr>* TemporaryList(std::string_view list_id);
  bool MoveTemporaryItems(std::vector<MusicRecordPtr>& list, std::string_view target_id,
                          const std::vector<std::string>& music_ids, bool before);

  DocumentStore& store_;
  PlaylistIndex& lists_;
  MusicLibrary& library_;
  std::map<std::string, std::vector<MusicRecordPtr>, std::less<>> temporary_;
};

}  // namespace quillo::store
