#pragma once
// The music library: the songs of "folders#folder:music#", one `file` element each in the data
// file. While the store is open they are held here only, as records (with the search keys "_name"
// and "_artist_name") in library order with their in-memory paused flags: the library takes them
// out of the document when it opens, prints them as the folder's `file` elements whenever the
// document is printed, and gives them back to the document as elements when it closes. A library
// of 100,000 songs is held once, not as elements and records both. Adding or finding a song by
// id never walks the library.
//
// Threads: every public operation takes the store's lock for its whole run, so the window thread
// and the import's scanner thread may both call it — except FileDownloadedMusic and AddLocalFile,
// which take it only around their record work and do their file work (moves, tags) without it.
// IsLocalId, SafeFileName and friends live in SafeNames.h and take no lock.
#include <tinyxml.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/loop/Subscription.h"
#include "store/MusicRecord.h"
#include "store/SongStatus.h"
#include "store/StoreSection.h"

namespace quillo::store {

class DeviceListSource;
class DocumentStore;
class DownloadStopper;
class PlaylistIndex;
class SongTagAccess;
class StreamCacheLookup;

struct LyricLocation {
  std::string path;
  bool found = false;
};

class MusicLibrary : public StoreSection {
 public:
  MusicLibrary(DocumentStore& store, PlaylistIndex& lists);
  // Gives the songs back to the document when the store was not closed, so that a save made
  // after the library is gone (the saver thread of an unclosed store) still writes them. Must
  // go before its store.
  ~MusicLibrary() override;
  MusicLibrary(const MusicLibrary&) = delete;
  MusicLibrary& operator=(const MusicLibrary&) = delete;

  // Fills the cache; resets interrupted downloads to waiting and drops the preview copies of
  // stored songs.
  void OnOpen(DocumentStore& store) override;
  void OnClose(DocumentStore& store) override;
  bool TakesSongsReadAhead() const override { return true; }

  // Helpers owned elsewhere, used while their subscription lives (one of each kind at a time:
  // attaching another replaces it). Any thread; the store's lock guards the change.
  [[nodiscard]] loop::Subscription AttachTagAccess(SongTagAccess& tags);
  [[nodiscard]] loop::Subscription AttachDownloadStopper(DownloadStopper& stopper);
  [[nodiscard]] loop::Subscription AttachStreamCache(StreamCacheLookup& cache);
  void SetDeviceSource(DeviceListSource* devices);
  DeviceListSource* device_source() const { return devices_; }

  bool HasMusic(std::string_view music_id) const;
  std::optional<MusicRecord> FindMusic(std::string_view music_id) const;
  // The cached record itself; the caller holds the store's lock while it uses it.
  const MusicRecord* CachedRecord(std::string_view music_id) const;
  std::size_t Count() const;
  // The cached record, shared; the caller holds the store's lock. Null when not in the library.
  MusicRecordPtr SharedRecord(std::string_view music_id) const;
  // Every record in document order.
  std::vector<MusicRecordPtr> AllRecords() const;

  // Writes every attribute of the record onto the song's element (created when new) and puts
  // the song into "local" (local ids) or the current user's default list; a service song is
  // announced to the listeners (unless announce is false: the login answer reports the whole
  // change once). False when the record has no id.
  bool AddMusic(const MusicRecord& record, bool announce = true);
  // For a song in the library: writes every attribute not starting with '_'.
  bool UpdateMusic(const MusicRecord& record);
  // Sets (or removes, without text) one attribute of a song in the library.
  bool SetMusicAttribute(std::string_view music_id, std::string_view attribute,
                         std::optional<std::string_view> text);
  // Sets the song's `status` (element and cached record) as SetMusicAttribute does.
  bool SetSongStatus(std::string_view music_id, SongStatus status);
  bool IsPaused(std::string_view music_id) const;
  void SetPaused(std::string_view music_id, bool paused);

  // Removes a song: a local one from every list and the library (its file stays); a service song
  // from the current user's lists and, unless another user's list holds it, from the library
  // with its stored copy, lyrics and emptied folders.
  void DeleteMusic(const std::string& music_id);
  // Files a finished download: moves it to its stored-copy name, writes the tags, then records
  // fileName and status (2, or 3 when it could not be filed). The move and the tag rewrite run
  // without the store's lock (other threads use the store meanwhile); the lock is taken to read
  // the song and choose the name, and again to record the result, so the record names the copy
  // only once it is in place. Unknown ids change nothing. When another song of the library owns
  // the stored-copy name or is being filed under it (same artist, album and title), the song is
  // filed as "title-<id>.ext" instead, so neither overwrites the other. When neither moving nor
  // copying works, the downloaded file stays where it is (status 3). A song deleted while it is
  // being filed loses its new copy too. Answers whether the song was filed.
  bool FileDownloadedMusic(const std::string& music_id, const std::string& source_path);
  // True when a library song other than `except_music_id` has exactly this fileName text.
  bool FileNameInUse(std::string_view file_name, std::string_view except_music_id) const;

  // The stored-copy name relative to the music folder (folders created on request).
  std::string MusicFileName(const MusicRecord& record, std::string_view extension,
                            bool create_folders);
  // The absolute path of the stored copy; none when fileName is empty or unusable.
  std::optional<std::string> MusicPath(const MusicRecord& record);
  LyricLocation LyricPath(const MusicRecord& record, bool create_folders);
  // A temporary list's record with the library's (or else the play cache's) file names.
  MusicRecord CompleteFileNames(MusicRecord record);

  // Adds a local .mp3, .wma or .mkv file as a song of "local"; the id, or none. *is_new (when
  // given) tells whether the song was new to the library rather than already known.
  std::optional<std::string> AddLocalFile(const std::string& path, bool* is_new = nullptr);
  // Moves a named folder: relative fileName (music) or lyric_file (lyric) texts become absolute
  // paths into the old folder, then "sorvel.path." + name is set.
  void RelocateFolder(const std::string& name, const std::string& new_path);

  // Distinct trimmed non-empty artist (album) names of the default list with their song counts,
  // ascending by character codes.
  std::vector<std::pair<std::string, int>> ArtistCounts();
  std::vector<std::pair<std::string, int>> AlbumCounts();
  std::vector<MusicRecord> MusicByArtist(std::string_view name);
  std::vector<MusicRecord> MusicByAlbum(std::string_view name);

  // Recomputes "_name" and "_artist_name" from "name" and "artist_name".
  static void AddSearchKeys(MusicRecord& record);

 private:
  // The index finds an entry by its record's "id", which never changes while the entry is
  // held (the record around it is replaced); the rest of an entry may change in place.
  struct SongEntry {
    mutable MusicRecordPtr record;
    mutable std::size_t position = 0;  // in order_
    mutable bool paused = false;
  };
  // The index's key is the id inside the entry's record, so that a song's id is not held a
  // second time (at 100,000 songs, 8 MB less than a map keyed by a copy).
  struct SongIdHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view id) const { return std::hash<std::string_view>{}(id); }
    std::size_t operator()(const SongEntry& entry) const { return (*this)(IdOf(*entry.record)); }
  };
  struct SongIdEqual {
    using is_transparent = void;
    bool operator()(const SongEntry& a, const SongEntry& b) const {
      return IdOf(*a.record) == IdOf(*b.record);
    }
    bool operator()(std::string_view id, const SongEntry& entry) const {
      return id == IdOf(*entry.record);
    }
    bool operator()(const SongEntry& entry, std::string_view id) const {
      return IdOf(*entry.record) == id;
    }
  };
  // The folder (created on request); the library prints the songs into the one it answers.
  TiXmlElement* MusicFolderElement(bool create);
  // The songs as `file` elements, "id" first, without the search keys.
  void PrintSongs(std::string& out, int depth) const;
  // At close: the songs become elements of the folder again, before anything else it holds.
  void ReturnSongsToDocument();
  const SongEntry* Entry(std::string_view music_id) const;
  // Enters (or replaces) a record, new songs at the end of the library, and keeps the name
  // counts in step; the record's "id" is made `music_id`. The caller marks the store changed.
  void CacheRecord(const std::string& music_id, MusicRecord record);
  // The record as the library holds it: with its search keys, without spare room.
  static MusicRecordPtr Held(MusicRecord record);
  // Enters a song that is not in the library yet (its record carries its id) at the end.
  void AddEntry(MusicRecordPtr record);
  void DropRecord(const std::string& music_id);
  // Replaces one attribute of a song's record; the caller marks the store changed.
  void SetCachedAttribute(const std::string& music_id, const std::string& name,
                          const std::string& value);
  void ClearSongs();
  // Enters a song read from the data file, resetting an interrupted download and dropping a
  // stored song's preview; false (and nothing entered) when the id is already taken.
  bool OpenSong(MusicRecord record, const std::string& cache_folder);
  // Keeps the name counts, once made, up to date with a song entered (+1) or leaving (-1).
  void CountNames(const MusicRecord& record, int delta);
  std::vector<std::pair<std::string, int>> NameCounts(const char* attribute);
  std::vector<MusicRecord> MusicByName(const char* attribute, std::string_view name);
  void DeleteStoredCopy(const std::string& path, bool remove_album_folder,
                        bool remove_artist_folder);
  void RemoveFromAllLists(const std::string& music_id);
  void RemoveFromUserLists(const std::string& user_id, const std::string& music_id);

  DocumentStore& store_;
  PlaylistIndex& lists_;
  // Attaches `helper` in `slot` until the subscription goes (then only if still the same one).
  template <typename Helper>
  loop::Subscription Attach(Helper*& slot, Helper& helper);

  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
  SongTagAccess* tags_ = nullptr;
  DownloadStopper* stopper_ = nullptr;
  StreamCacheLookup* stream_cache_ = nullptr;
  DeviceListSource* devices_ = nullptr;
  std::unordered_set<SongEntry, SongIdHash, SongIdEqual> songs_;
  // The songs in library order (new ones last); null where a song was removed, until the
  // vector is compacted. Entries of songs_ never move, so their addresses stay valid.
  std::vector<const SongEntry*> order_;
  std::size_t removed_from_order_ = 0;
  const TiXmlElement* printed_folder_ = nullptr;
  struct NameUses {
    // How many library songs carry each album_name / artist_name (for the folder rules).
    std::unordered_map<std::string, int> albums;
    std::unordered_map<std::string, int> artists;
    // How many library songs carry each non-empty fileName text (a stored copy never belongs
    // to two songs; deleting one must not delete the other's file), keyed by the text's hash so
    // that the paths are not held a third time. Two names sharing a hash (about one chance in
    // 30 million for a million songs) would only make a name look taken: a file kept, a filing
    // named with its id.
    std::unordered_map<std::size_t, int> file_names;
  };
  // Counted on the first question (a deletion, a filing), not at open: most runs never ask,
  // and a large library would pay for it at every start.
  const NameUses& Uses() const;
  mutable std::optional<NameUses> name_uses_;
  static void CountNames(NameUses& uses, const MusicRecord& record, int delta);
  static std::size_t FileNameKey(std::string_view file_name);
  // Stored-copy names chosen by filings whose file work is under way.
  std::multiset<std::string> names_being_filed_;
};

}  // namespace quillo::store
