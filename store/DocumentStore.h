#pragma once
// The one in-memory XML document that holds every persistent thing of the program, and the data
// file it is saved to ("sorvel.qlm" in the data folder, scrambled: 0x01, then every byte of the
// printed XML XORed with 0xA7).
//
// Threads: every public operation takes the store's re-entrant lock for its whole run, so any
// thread may call it. The building blocks (Resolve, GetText, ...) assume the caller holds the
// lock (take it with Lock()). The saver thread writes the file at most once a second while the
// document has unsaved changes; it prints under the lock and writes outside it.
//
// Durability: the file is replaced atomically (temporary file, fsync, rename), so a crash leaves
// the old or the new file; a file that cannot be read is kept aside as
// "sorvel.qlm.broken-<date-time>" before a new document is made; a failed write keeps the store
// dirty so that the next tick and Close try again.
#include <tinyxml.h>

#include <atomic>
#include <cstdint>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "store/DataFileText.h"
#include "store/DocMusicActionListener.h"
#include "store/DocumentPrinter.h"
#include "store/MusicRecord.h"
#include "store/ProgramVersion.h"
#include "store/Rect.h"
#include "store/StoreSection.h"
#include "store/WindowGeometry.h"

namespace quillo::store {

class DocumentStore {
 public:
  // The view is made from a literal, so its data is NUL-terminated.
  static constexpr const char* kVersion = kProgramVersion.data();
  static constexpr unsigned char kFileMarker = 0x01;
  static constexpr unsigned char kFileKey = 0xA7;

  // data_folder: where "sorvel.qlm" lives; a '/' is appended when missing.
  explicit DocumentStore(std::string data_folder);
  // Stops the saver thread if Close was not called (without saving).
  ~DocumentStore();
  DocumentStore(const DocumentStore&) = delete;
  DocumentStore& operator=(const DocumentStore&) = delete;

  // The process-wide store (set by the program at start-up); nullptr before.
  static DocumentStore* Instance();
  static void SetInstance(DocumentStore* store);

  // ---- Lifecycle -------------------------------------------------------------------------
  // Sections are called at Open and Close in the order they were added. Not owned; each must
  // outlive the store's Close.
  void AddSection(StoreSection& section);

  // Loads or creates the document, migrates it, fills the configuration cache and the current
  // ids, runs the sections and starts the saver thread (unless start_saver is false, for tools
  // and tests that save explicitly). Answers false only when no data file could be written at
  // all; the document then lives in memory and every save retries.
  bool Open(bool start_saver = true);
  // Stops the saver thread, saves if dirty, runs the sections' OnClose. Answers whether the
  // document reached the disk (true when nothing was unsaved).
  bool Close();
  // Writes the data file when the document has unsaved changes. Must not be called with the
  // lock held (the file is written outside it). Answers false when a write failed.
  bool SaveIfDirty();
  bool IsOpen() const { return opened_; }

  // ---- Lock and dirty state -------------------------------------------------------------
  using LockGuard = std::unique_lock<std::recursive_mutex>;
  [[nodiscard]] LockGuard Lock() const { return LockGuard(mutex_); }
  void MarkDirty();
  bool IsDirty() const;
  // A change of the library, a list or its songs: dirty, and the lists' revision moves on, so
  // that windows showing lists notice every change, whoever made it.
  void MarkListsChanged();
  // Any thread; grows by one or more with every change of the lists.
  std::uint64_t ListsRevision() const { return lists_revision_.load(std::memory_order_acquire); }
  // Counts completed writes of the data file (for tests and benchmarks).
  unsigned SaveCount() const { return save_count_.load(); }
  // Longest time one save held the lock while printing.
  std::chrono::microseconds LongestLockedPrint() const;

  // ---- Building blocks (caller holds the lock) ------------------------------------------
  // The '#'-path language: steps "name", "name:value" (attribute `name`) and
  // "name:attribute:value", each followed by '#'; text after the last '#' is ignored and an
  // empty step ends the walk. With create, missing elements are appended (a whole chain at once)
  // and *created is set. Answers nullptr when there is no root or an element is missing.
  TiXmlElement* Resolve(std::string_view path, bool create, bool* created = nullptr);
  TiXmlElement* ResolveStep(TiXmlElement* element, std::string_view step, bool create,
                            bool* created = nullptr);
  TiXmlElement* Root();
  // The first child `element_name` whose `attribute` equals `value` exactly, appended when
  // missing and create is set. Unlike a path step, the value may hold any text ('#', ':').
  TiXmlElement* FindChild(TiXmlElement* parent, std::string_view element_name,
                          std::string_view attribute, std::string_view value, bool create);

  static std::optional<std::string> GetText(const TiXmlElement* element, const char* attribute);
  // The attribute as text, empty when absent.
  static std::string GetTextOr(const TiXmlElement* element, const char* attribute,
                               std::string_view fallback = {});
  // Sets the attribute; setting the text it already holds leaves the store clean.
  void SetText(TiXmlElement* element, const char* attribute, std::string_view text);
  void SetInt(TiXmlElement* element, const char* attribute, int value);
  static std::optional<int> GetInt(const TiXmlElement* element, const char* attribute);
  void RemoveAttribute(TiXmlElement* element, const char* attribute);
  void RemoveElement(TiXmlElement* element);
  // Called (lock held) with every element RemoveElement is about to remove, so that a section
  // that keeps pointers into the document (the playlist index) can drop them first.
  using RemovalObserver = std::function<void(const TiXmlElement& element)>;
  void AddRemovalObserver(RemovalObserver observer);
  static std::vector<TiXmlElement*> Children(TiXmlElement* element);
  // Copies of `source` inserted before or after `sibling`; answers the new element.
  TiXmlElement* InsertCopyBefore(TiXmlElement* sibling, const TiXmlElement& source);
  TiXmlElement* InsertCopyAfter(TiXmlElement* sibling, const TiXmlElement& source);
  static MusicRecord ReadAllAttributes(const TiXmlElement* element);
  // Letters, digits, '_', '-' and '.', not starting with a digit, '-' or '.': the attribute and
  // element names this store writes.
  static bool IsXmlName(std::string_view name);
  // A song's `file` element: "id" first, then the other attributes, without the search keys.
  static std::unique_ptr<TiXmlElement> SongElement(const MusicRecord& record);
  // The songs' elements, in order, before whatever else the folder holds.
  static void PutSongElementsFirst(TiXmlElement& folder, const std::vector<const MusicRecord*>& songs);
  // `<item id=…>` elements of the ids, in order, before whatever else the playlist holds.
  static void PutItemElementsFirst(TiXmlElement& playlist, const std::vector<std::string>& ids);
  // The music folder's songs when Open read them straight from the data file's text (the
  // folder's element then holds none of them); the first call takes them. Songs no section
  // takes by the end of Open become elements of the folder again.
  std::vector<MusicRecord> TakeSongsReadAhead();
  // The playlists whose items Open read as ids straight from the data file's text (their
  // elements hold none of them); the first call takes them. Lists no section takes by the end
  // of Open get their items as elements again.
  std::vector<ListItemsReadAhead> TakeItemsReadAhead();
  // A section that holds an element's children in a form of its own (the song records) prints
  // them itself: whenever the document is printed, `printer` appends them before the element's
  // own children. An empty printer removes it; so do loading the document again and removing
  // the element.
  void SetChildPrinter(const TiXmlElement* element, ChildPrinter printer);

  // ---- Configuration ---------------------------------------------------------------------
  std::string GetConfigText(std::string_view key, std::string_view fallback = {}) const;
  int GetConfigInt(std::string_view key, int fallback) const;
  bool ConfigEquals(std::string_view key, std::string_view value) const;
  bool HasConfig(std::string_view key) const;
  // False (and nothing changed, not even the cache) when the document has no root.
  bool SetConfigText(std::string_view key, std::string_view value);
  bool SetConfigInt(std::string_view key, int value);
  bool RemoveConfig(std::string_view key);
  // Every configuration entry, in key order.
  std::map<std::string, std::string> AllConfig() const;

  // The named folder's path, always ending in '/': "sorvel.path." + name, trimmed, or the data
  // folder + name + '/'.
  std::string FolderPath(std::string_view name) const;
  // The installation's 32-digit id; a missing or damaged one is replaced and stored.
  std::string ClientId();
  // 32 upper-case hexadecimal digits of a fresh GUID, or empty when none can be made.
  static std::string NewIdText();

  // A saved window position clamped to the desktop, or no value when none is saved.
  std::optional<Rect> RestoreWindowRect(std::string_view window_name, const WindowGeometry& desktop,
                                        int min_width, int min_height) const;
  void SaveWindowRect(std::string_view window_name, const Rect& window_rect);

  // ---- Current ids -----------------------------------------------------------------------
  std::string CurrentUser() const;
  // The three current ids have a small lock of their own, so that setting the current user
  // needs no store lock (the login answer sets it while other threads may be waiting).
  void SetCurrentUserField(std::string user_id);
  std::string CurrentList() const;
  void SetCurrentListField(std::string list_id);
  std::string CurrentItem() const;
  void SetCurrentItemField(std::string music_id);

  // ---- Listeners -------------------------------------------------------------------------
  void AddListener(DocMusicActionListener* listener);
  void RemoveListener(DocMusicActionListener* listener);
  // Calls every registered listener (lock held).
  void NotifyMusicAdded(const MusicRecord& record);
  void NotifyMusicRemoved(const std::string& music_id);
  void NotifyUserChanged(const std::string& user_id);

  // ---- Files -----------------------------------------------------------------------------
  const std::string& data_folder() const { return data_folder_; }
  std::string DataFilePath() const { return data_folder_ + "sorvel.qlm"; }
  std::string LegacyFilePath() const { return data_folder_ + "sorvel.xml"; }
  // The document as plain UTF-8 XML, as it is printed for the data file.
  std::string PrintDocument() const;
  // Where Open kept an unreadable data file, or empty.
  const std::string& kept_aside_path() const { return kept_aside_path_; }

  // Scrambles or unscrambles bytes with the data-file key (its own inverse).
  static void XorWithKey(std::string& bytes, std::size_t from = 0);

 private:
  enum class LoadResult { kLoaded, kMissing, kUnreadable };
  LoadResult ReadDataFile();
  void ReturnSongsReadAhead();
  void ReturnItemsReadAhead();
  bool WriteDocument(const std::string& printed);
  void KeepAside();
  void RemoveStaleTemporaries();
  void SaverLoop();
  void StopSaver();
  void FillConfigCache();

  std::string data_folder_;
  mutable std::recursive_mutex mutex_;
  TiXmlDocument document_;
  bool dirty_ = true;
  std::atomic<std::uint64_t> lists_revision_{0};
  bool opened_ = false;
  std::map<std::string, std::string, std::less<>> config_cache_;
  std::string current_user_;
  std::string current_list_;
  std::string current_item_;
  std::set<DocMusicActionListener*> listeners_;
  std::vector<StoreSection*> sections_;
  std::vector<RemovalObserver> removal_observers_;
  ChildPrinters child_printers_;
  std::vector<MusicRecord> songs_read_ahead_;
  std::vector<ListItemsReadAhead> items_read_ahead_;
  std::string kept_aside_path_;
  // Set when an unreadable data file could not be moved aside: it is never overwritten then.
  bool writes_blocked_ = false;
  mutable std::mutex ids_mutex_;

  // Serialises whole saves (print and write) so that an older print never overwrites a newer.
  std::mutex write_mutex_;
  std::thread saver_;
  std::mutex saver_mutex_;
  std::condition_variable saver_wake_;
  bool saver_stop_ = false;
  std::atomic<unsigned> save_count_{0};
  std::atomic<long long> longest_print_us_{0};
};

}  // namespace quillo::store
