#pragma once
// The playlist synchronisation commands of the main window's menus, of drag and drop, of
// "quillo://add/" links and of hosted pages. Each first changes the store (lists, songs, or the
// connected phone's lists), refreshes the views, then mirrors the change to the service with one
// fire-and-forget request. Lists of a phone ("d_...") and temporary lists ("t_...") are never
// sent; only user playlists (32 hexadecimal digits) are named in requests.
//
// The one request with an answer is the link's "api/addmusic.php?type=xml" for songs this
// library does not know: its AddMusicCallback changes the store when the answer arrives.
//
// Threads: the window thread only. Store calls take the store's lock per call, not across a
// command. Whatever the commands need of windows comes through SyncView, SyncPrompt,
// SyncPlayback and PhoneLists, which must outlive this object. Pending answers are owned here:
// the safe downloader must have cancelled or finished them (Shutdown) before this object goes.
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "service/api/AnswerCollectors.h"
#include "service/api/ServiceCall.h"
#include "store/DeviceListSource.h"
#include "store/MusicRecord.h"

namespace quillo::store {
class DocumentStore;
class MusicLibrary;
class Playlists;
}  // namespace quillo::store

namespace quillo::service {

class JSRequestHandler;
class PhoneLists;
class RequestSender;
class SyncPlayback;
class SyncPrompt;
class SyncView;

// One entry of the "添加到播放列表" submenu.
struct AddToListEntry {
  int command_id = 0;
  std::string list_id;
  std::string name;
  bool operator==(const AddToListEntry&) const = default;
};

class PlaylistSync {
 public:
  // Menu command ids.
  static constexpr int kNewPlaylistCommand = 32920;
  static constexpr int kRenameCommand = 32875;
  static constexpr int kDeletePlaylistCommand = 32874;
  static constexpr int kNewFromSelectionCommand = 32873;
  static constexpr int kAddToLibraryCommand = 33046;
  static constexpr int kDeleteSongsCommand = 32861;
  static constexpr int kRemoveFromListCommand = 33039;
  static constexpr int kClearListCommand = 32982;
  // Copies the selected songs of a phone list into the library.
  static constexpr int kCopyToComputerCommand = 33120;
  // Entry n of the "添加到播放列表" submenu has the id kFirstAddToListCommand + n (n from 0).
  static constexpr int kFirstAddToListCommand = 50000;

  struct Parts {
    store::DocumentStore& store;
    store::MusicLibrary& library;
    store::Playlists& playlists;
    // Sends the mirror requests (its base URL also prefixes the answered request).
    JSRequestHandler& requests;
    // Starts the answered request of a link.
    RequestSender& sender;
    SyncView& view;
    SyncPrompt& prompt;
    SyncPlayback& playback;
    PhoneLists& phone;
  };

  enum class LinkOutcome {
    kMalformed,       // not a link this program can read: nothing happened
    kNoSongs,         // the link names no song: nothing happened
    kAwaitingAnswer,  // some song is unknown: the add-music request was sent, the store waits
    kSent,            // every song known, a list named: the list was changed and the call sent
    kNothingToSend,   // every song known and no list named: nothing to do
  };

  explicit PlaylistSync(Parts parts);
  PlaylistSync(const PlaylistSync&) = delete;
  PlaylistSync& operator=(const PlaylistSync&) = delete;

  // ---- Playlist panel ------------------------------------------------------------------------
  // 32920: asks a name; the new list's id (a phone list's when it went to the phone), or empty
  // when cancelled.
  std::string NewPlaylist();
  // 32875: the list selected in the panel; false when none is selected, the prompt was cancelled
  // or the store lacks the list.
  bool RenamePlaylist();
  // 32874 (no confirmation): false when nothing was deleted.
  bool DeletePlaylist();

  // ---- Song list -------------------------------------------------------------------------------
  // The "添加到播放列表" entries, built when the submenu opens: the phone's lists when a phone
  // list is shown, else the user playlists, the list shown left out but counted.
  std::vector<AddToListEntry> AddToListEntries();
  // An entry chosen; false when nothing changed.
  bool AddToList(int command_id);
  // 32873: a new list holding the selected songs, named after their common album, else their
  // common artist, else "新建播放列表" (or `name` when given: quillo-tool names lists itself).
  // The new list's id, or empty.
  std::string NewListFromSelection(const std::optional<std::string>& name = std::nullopt);
  // 33046: the selected songs the library lacks are added; answers how many.
  int AddToLibrary();
  // 32861: deletes the selected songs themselves (the library's copy, or the phone's).
  bool DeleteSongs();
  // Deletes these songs from the library (as 32861 does for library songs: the playing one is
  // left first, the song list refreshed) and sends "api/deletemusic.php"; the download window's
  // delete. False when no id was given.
  bool DeleteLibrarySongs(const std::vector<std::string>& music_ids);
  // 33039: takes the selected songs out of the list shown.
  bool RemoveFromList();
  // 32982 (no confirmation): empties the list shown.
  bool ClearList();
  // Songs dragged from the song list onto a list of the playlist panel (the default list or a
  // user playlist; a phone's list copies them to the phone); false for any other target.
  // Songs of a phone dropped on the library or a user playlist are copied into the library
  // first and join the list once copied.
  bool AddDroppedSongs(const std::string& target_id, const std::vector<store::MusicRecord>& songs);
  // The selected songs of the phone list shown are copied into the library; false when the
  // list shown is not a phone's or nothing was queued.
  bool CopyToComputer();
  // The phone's side of sorting a list shown in the song list.
  PhoneLists& phone() { return parts_.phone; }

  // ---- Links and hosted pages ------------------------------------------------------------------
  LinkOutcome AddFromLink(std::string_view link);
  // A list document handed over by a hosted page; false when it is not acceptable.
  bool AddFromPage(std::string_view document);

  // Add-music answers still awaited.
  std::size_t pending_answers() const { return answers_.size(); }
  // Told of each add-music answer: whether it was taken.
  void SetAnswerHook(std::function<void(bool taken)> hook) { answer_hook_ = std::move(hook); }

 private:
  struct SelectedSong {
    int row = 0;
    store::MusicRecord record;
  };
  std::vector<SelectedSong> SelectedSongs();
  // The submenu's sequence before the list shown is left out.
  std::vector<store::PlaylistEntry> AddToListSequence(const std::string& shown_id);
  void AddToIndexWhenMissing(const store::MusicRecord& record);
  // Sends a change to the service: through the mirror requests' outbox when the process has
  // one, else fire-and-forget.
  void Mirror(const ServiceCall& call);
  void Mirror(const std::optional<ServiceCall>& call);
  // After the playing song was removed and no replacement was found: the default list's next
  // song, else silence.
  void StopOrMoveToDefaultList();
  // Before songs go: when the playing song is among them, its successor in the current list
  // starts. True when no successor was found and playback must stop (or move) afterwards.
  bool LeavePlayingSong(const std::set<std::string>& going);

  Parts parts_;
  AnswerCollectors answers_;
  std::function<void(bool)> answer_hook_;
};

}  // namespace quillo::service
