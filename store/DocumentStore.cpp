#include "store/DocumentStore.h"

#include <algorithm>
#include <utility>

#include "platform/fs/FileSystem.h"
#include "store/DocumentPrinter.h"
#include "store/Migration.h"

namespace quillo::store {
namespace {
DocumentStore* g_store = nullptr;
constexpr auto kSaveInterval = std::chrono::milliseconds(1000);
}  // namespace

DocumentStore::DocumentStore(std::string data_folder)
    : data_folder_(fs::WithTrailingSlash(data_folder)) {}

DocumentStore::~DocumentStore() {
  StopSaver();
  if (g_store == this) g_store = nullptr;
}

DocumentStore* DocumentStore::Instance() { return g_store; }
void DocumentStore::SetInstance(DocumentStore* store) { g_store = store; }

void DocumentStore::AddSection(StoreSection& section) {
  LockGuard lock = Lock();
  sections_.push_back(&section);
}

void DocumentStore::XorWithKey(std::string& bytes, std::size_t from) {
  for (std::size_t i = from; i < bytes.size(); ++i) {
    bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^ kFileKey);
  }
}

std::vector<MusicRecord> DocumentStore::TakeSongsReadAhead() {
  return std::exchange(songs_read_ahead_, {});
}

void DocumentStore::ReturnSongsReadAhead() {
  const std::vector<MusicRecord> songs = std::exchange(songs_read_ahead_, {});
  TiXmlElement* folder = Resolve("folders#folder:music#", false);
  if (songs.empty() || folder == nullptr) return;
  std::vector<const MusicRecord*> order;
  order.reserve(songs.size());
  for (const MusicRecord& record : songs) order.push_back(&record);
  PutSongElementsFirst(*folder, order);
}

std::vector<ListItemsReadAhead> DocumentStore::TakeItemsReadAhead() {
  return std::exchange(items_read_ahead_, {});
}

void DocumentStore::ReturnItemsReadAhead() {
  for (const ListItemsReadAhead& list : std::exchange(items_read_ahead_, {})) {
    PutItemElementsFirst(*list.playlist, list.ids);
  }
}

DocumentStore::LoadResult DocumentStore::ReadDataFile() {
  const std::string path = DataFilePath();
  if (fs::PathExists(path)) {
    std::optional<std::string> bytes = fs::ReadWholeFile(path);
    if (!bytes || bytes->empty() || static_cast<unsigned char>((*bytes)[0]) != kFileMarker) {
      return LoadResult::kUnreadable;
    }
    XorWithKey(*bytes, 1);
    // The marker goes in place: a copy of the text would cost as much as reading the file.
    std::string& text = bytes->erase(0, 1);
    // The text must end where the file ends; a NUL inside means the file is damaged.
    if (text.find('\0') != std::string::npos) return LoadResult::kUnreadable;
    ReadAheadWanted wanted;
    for (const StoreSection* section : sections_) {
      wanted.songs = wanted.songs || section->TakesSongsReadAhead();
      wanted.items = wanted.items || section->TakesItemsReadAhead();
    }
    ReadAhead read_ahead;
    const bool parsed = wanted.songs || wanted.items
                            ? ParseDataFileText(document_, text, wanted, read_ahead)
                            : ParseDocumentText(document_, text);
    if (!parsed) return LoadResult::kUnreadable;
    songs_read_ahead_ = std::move(read_ahead.songs);
    items_read_ahead_ = std::move(read_ahead.lists);
    // What is on disk is what is in memory: only a change made while opening (migration,
    // clean-up, a new client id) is a reason to write the file again.
    dirty_ = false;
    return LoadResult::kLoaded;
  }
  const std::string legacy = LegacyFilePath();
  std::optional<std::string> plain = fs::ReadWholeFile(legacy);
  if (!plain || plain->find('\0') != std::string::npos ||
      !ParseDocumentText(document_, *plain)) {
    return LoadResult::kMissing;
  }
  // The plain file goes only once its scrambled successor is safely on disk; if that write
  // fails the document is used from memory and the next save tries again.
  if (WriteDocument(PrintDocumentText(document_))) {
    fs::RemoveFile(legacy);
    dirty_ = false;
  } else {
    dirty_ = true;
  }
  return LoadResult::kLoaded;
}

void DocumentStore::KeepAside() {
  const std::string path = DataFilePath();
  if (!fs::PathExists(path)) return;
  std::string aside = path + ".broken-" + fs::LocalTimestampText();
  for (int n = 2; fs::PathExists(aside); ++n) {
    aside = path + ".broken-" + fs::LocalTimestampText() + "-" + std::to_string(n);
  }
  if (fs::RenamePath(path, aside)) {
    kept_aside_path_ = aside;
  } else {
    // Never overwrite a file we could not keep: run from memory only.
    writes_blocked_ = true;
  }
}

void DocumentStore::RemoveStaleTemporaries() {
  // Left by a process that was killed while it wrote; never the data file itself.
  const std::string prefix = ".sorvel.qlm.tmp-";
  for (const std::string& name : fs::ListFolder(data_folder_)) {
    if (name.rfind(prefix, 0) == 0) fs::RemoveFile(data_folder_ + name);
  }
}

bool DocumentStore::Open(bool start_saver) {
  {
    LockGuard lock = Lock();
    RemoveStaleTemporaries();
    child_printers_.clear();
    songs_read_ahead_.clear();
    items_read_ahead_.clear();
    LoadResult result = ReadDataFile();
    if (result != LoadResult::kLoaded) {
      if (result == LoadResult::kUnreadable) KeepAside();
      fs::CreateFolders(data_folder_);
      document_.Clear();
      TiXmlElement root("Sorvel");
      root.SetAttribute("version", kVersion);
      document_.InsertEndChild(root);
      dirty_ = !WriteDocument(PrintDocumentText(document_));
    }
    bool migrated = RunMigration(document_, data_folder_);
    dirty_ = dirty_ || migrated;
    FillConfigCache();
    SetCurrentUserField(GetConfigText("sorvel.currentuser"));
    SetCurrentListField(GetConfigText("module.music.currentplaylist"));
    SetCurrentItemField(GetConfigText("module.music.currentplay"));
    for (StoreSection* section : sections_) section->OnOpen(*this);
    ReturnSongsReadAhead();
    ReturnItemsReadAhead();
    opened_ = true;
  }
  if (start_saver) {
    {
      std::lock_guard lock(saver_mutex_);
      saver_stop_ = false;
    }
    saver_ = std::thread(&DocumentStore::SaverLoop, this);
  }
  return !writes_blocked_ && fs::FileExists(DataFilePath());
}

void DocumentStore::FillConfigCache() {
  config_cache_.clear();
  TiXmlElement* configs = Resolve("configs#", false);
  if (configs == nullptr) return;
  for (TiXmlElement* config = configs->FirstChildElement("config"); config;
       config = config->NextSiblingElement("config")) {
    std::optional<std::string> name = GetText(config, "name");
    if (!name) continue;
    // The first element of a key wins, as path resolution would find it.
    config_cache_.emplace(*name, GetTextOr(config, "value"));
  }
}

void DocumentStore::SaverLoop() {
  std::unique_lock lock(saver_mutex_);
  while (!saver_stop_) {
    if (saver_wake_.wait_for(lock, kSaveInterval, [this] { return saver_stop_; })) break;
    lock.unlock();
    SaveIfDirty();
    lock.lock();
  }
}

void DocumentStore::StopSaver() {
  {
    std::lock_guard lock(saver_mutex_);
    saver_stop_ = true;
  }
  saver_wake_.notify_all();
  if (saver_.joinable()) saver_.join();
}

bool DocumentStore::Close() {
  StopSaver();
  bool saved = SaveIfDirty();
  LockGuard lock = Lock();
  for (StoreSection* section : sections_) section->OnClose(*this);
  opened_ = false;
  return saved;
}

bool DocumentStore::SaveIfDirty() {
  std::lock_guard write_lock(write_mutex_);
  std::string printed;
  {
    LockGuard lock = Lock();
    if (!dirty_) return true;
    if (writes_blocked_) return false;
    auto start = std::chrono::steady_clock::now();
    printed = PrintDocumentText(document_, child_printers_);
    dirty_ = false;
    auto held = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    long long previous = longest_print_us_.load();
    while (held.count() > previous && !longest_print_us_.compare_exchange_weak(previous, held.count())) {
    }
  }
  if (WriteDocument(printed)) return true;
  LockGuard lock = Lock();
  dirty_ = true;  // try again at the next tick or at Close
  return false;
}

bool DocumentStore::WriteDocument(const std::string& printed) {
  if (writes_blocked_) return false;
  std::string bytes;
  bytes.reserve(printed.size() + 1);
  bytes.push_back(static_cast<char>(kFileMarker));
  bytes += printed;
  XorWithKey(bytes, 1);
  if (!fs::FolderExists(data_folder_)) fs::CreateFolders(data_folder_);
  if (!fs::WriteFileAtomic(DataFilePath(), bytes)) return false;
  save_count_.fetch_add(1);
  return true;
}

std::string DocumentStore::PrintDocument() const {
  LockGuard lock = Lock();
  return PrintDocumentText(document_, child_printers_);
}

void DocumentStore::MarkDirty() {
  LockGuard lock = Lock();
  dirty_ = true;
}

void DocumentStore::MarkListsChanged() {
  LockGuard lock = Lock();
  dirty_ = true;
  lists_revision_.fetch_add(1, std::memory_order_release);
}

bool DocumentStore::IsDirty() const {
  LockGuard lock = Lock();
  return dirty_;
}

std::chrono::microseconds DocumentStore::LongestLockedPrint() const {
  return std::chrono::microseconds(longest_print_us_.load());
}

// ---- Current ids --------------------------------------------------------------------------

std::string DocumentStore::CurrentUser() const {
  std::lock_guard lock(ids_mutex_);
  return current_user_;
}
void DocumentStore::SetCurrentUserField(std::string user_id) {
  std::lock_guard lock(ids_mutex_);
  current_user_ = std::move(user_id);
}
std::string DocumentStore::CurrentList() const {
  std::lock_guard lock(ids_mutex_);
  return current_list_;
}
void DocumentStore::SetCurrentListField(std::string list_id) {
  std::lock_guard lock(ids_mutex_);
  current_list_ = std::move(list_id);
}
std::string DocumentStore::CurrentItem() const {
  std::lock_guard lock(ids_mutex_);
  return current_item_;
}
void DocumentStore::SetCurrentItemField(std::string music_id) {
  std::lock_guard lock(ids_mutex_);
  current_item_ = std::move(music_id);
}

// ---- Listeners ----------------------------------------------------------------------------

void DocumentStore::AddListener(DocMusicActionListener* listener) {
  LockGuard lock = Lock();
  listeners_.insert(listener);
}

void DocumentStore::RemoveListener(DocMusicActionListener* listener) {
  LockGuard lock = Lock();
  listeners_.erase(listener);
}

// A listener may unregister itself while it is called, so each call works on a copy.
void DocumentStore::NotifyMusicAdded(const MusicRecord& record) {
  LockGuard lock = Lock();
  for (DocMusicActionListener* listener : std::set(listeners_)) {
    if (listeners_.count(listener)) listener->OnMusicAdded(record);
  }
}

void DocumentStore::NotifyMusicRemoved(const std::string& music_id) {
  LockGuard lock = Lock();
  for (DocMusicActionListener* listener : std::set(listeners_)) {
    if (listeners_.count(listener)) listener->OnMusicRemoved(music_id);
  }
}

void DocumentStore::NotifyUserChanged(const std::string& user_id) {
  LockGuard lock = Lock();
  for (DocMusicActionListener* listener : std::set(listeners_)) {
    if (listeners_.count(listener)) listener->OnUserChanged(user_id);
  }
}

}  // namespace quillo::store
