#include "store/MusicLibrary.h"

#include <algorithm>
#include <functional>
#include <memory>

#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "store/DocumentPrinter.h"
#include "store/DocumentStore.h"
#include "store/DownloadStopper.h"
#include "store/PlaylistIndex.h"
#include "store/SafeNames.h"
#include "store/StoredPath.h"
#include "text/PinyinInitials.h"

namespace quillo::store {
namespace {

const std::string& AttributeOf(const MusicRecord& record, const std::string& name) {
  static const std::string kEmpty;
  auto it = record.find(name);
  return it == record.end() ? kEmpty : it->second;
}

bool IsSearchKey(std::string_view attribute) {
  return !attribute.empty() && attribute.front() == '_';
}

}  // namespace

MusicLibrary::MusicLibrary(DocumentStore& store, PlaylistIndex& lists)
    : store_(store), lists_(lists) {}

MusicLibrary::~MusicLibrary() {
  auto lock = store_.Lock();
  ReturnSongsToDocument();
  ClearSongs();
}

template <typename Helper>
loop::Subscription MusicLibrary::Attach(Helper*& slot, Helper& helper) {
  auto lock = store_.Lock();
  slot = &helper;
  // A subscription kept past the library removes nothing.
  return loop::Subscription([this, alive = std::weak_ptr<const bool>(alive_), &slot, &helper] {
    if (alive.expired()) return;
    auto lock = store_.Lock();
    if (slot == &helper) slot = nullptr;
  });
}

loop::Subscription MusicLibrary::AttachTagAccess(SongTagAccess& tags) {
  return Attach(tags_, tags);
}
loop::Subscription MusicLibrary::AttachDownloadStopper(DownloadStopper& stopper) {
  return Attach(stopper_, stopper);
}
loop::Subscription MusicLibrary::AttachStreamCache(StreamCacheLookup& cache) {
  return Attach(stream_cache_, cache);
}
void MusicLibrary::SetDeviceSource(DeviceListSource* devices) {
  auto lock = store_.Lock();
  devices_ = devices;
}

void MusicLibrary::AddSearchKeys(MusicRecord& record) {
  record.reserve(record.size() + 2);  // grown once, for both keys
  record[std::string(kSearchNameKey)] = text::PinyinInitials(AttributeOf(record, "name"));
  record[std::string(kSearchArtistKey)] =
      text::PinyinInitials(AttributeOf(record, "artist_name"));
}

TiXmlElement* MusicLibrary::MusicFolderElement(bool create) {
  TiXmlElement* folder = store_.Resolve("folders#folder:music#", create);
  if (folder != nullptr && folder != printed_folder_) {
    store_.SetChildPrinter(folder, [this](std::string& out, int depth) { PrintSongs(out, depth); });
    printed_folder_ = folder;
  }
  return folder;
}

void MusicLibrary::PrintSongs(std::string& out, int depth) const {
  const std::string indent(static_cast<std::size_t>(depth) * 4, ' ');
  for (const SongEntry* entry : order_) {
    if (entry == nullptr) continue;
    const MusicRecord& record = *entry->record;
    out += indent;
    out += "<file";
    AppendAttribute(out, "id", IdOf(record));
    for (const auto& [name, value] : record) {
      if (IsStoredAfterId(name)) AppendAttribute(out, name, value);
    }
    out += " />\n";
  }
}

void MusicLibrary::ReturnSongsToDocument() {
  if (order_.size() == removed_from_order_) return;
  TiXmlElement* folder = store_.Resolve("folders#folder:music#", true);
  if (folder == nullptr) return;
  // Copies of a song left in the folder (a damaged file's) come after it, as they were printed.
  std::vector<const MusicRecord*> songs;
  songs.reserve(order_.size() - removed_from_order_);
  for (const SongEntry* entry : order_) {
    if (entry != nullptr) songs.push_back(entry->record.get());
  }
  DocumentStore::PutSongElementsFirst(*folder, songs);
}

void MusicLibrary::ClearSongs() {
  songs_.clear();
  order_.clear();
  removed_from_order_ = 0;
  name_uses_.reset();
  if (printed_folder_ != nullptr) store_.SetChildPrinter(printed_folder_, {});
  printed_folder_ = nullptr;
}

void MusicLibrary::OnOpen(DocumentStore&) {
  ClearSongs();
  std::vector<MusicRecord> read_ahead = store_.TakeSongsReadAhead();
  TiXmlElement* folder = MusicFolderElement(false);
  if (folder == nullptr) return;
  const std::string cache_folder = store_.FolderPath(".cache");
  // A large library is indexed in one go: the table is made its full size first instead of
  // growing (and moving every entry) as it fills.
  std::size_t songs = read_ahead.size();
  for (TiXmlElement* file = folder->FirstChildElement("file"); file;
       file = file->NextSiblingElement("file"))
    ++songs;
  songs_.reserve(songs);
  order_.reserve(songs);
  for (MusicRecord& record : read_ahead) OpenSong(std::move(record), cache_folder);
  std::vector<MusicRecord>().swap(read_ahead);
  std::vector<TiXmlElement*> taken;
  for (TiXmlElement* file = folder->FirstChildElement("file"); file;
       file = file->NextSiblingElement("file")) {
    // The first element of an id is the one a path would find; later copies are dead weight,
    // left in the document as they are.
    if (file->Attribute("id") == nullptr) continue;
    if (OpenSong(DocumentStore::ReadAllAttributes(file), cache_folder)) taken.push_back(file);
  }
  // Removed only once every record is made, so that the elements' memory is freed as one block
  // the allocator can give back, rather than holes between the records.
  for (TiXmlElement* file : taken) folder->RemoveChild(file);
}

bool MusicLibrary::OpenSong(MusicRecord record, const std::string& cache_folder) {
  if (Entry(IdOf(record)) != nullptr) return false;
  const auto status_text = record.find(std::string(kSongStatusAttribute));
  const SongStatus status = SongStatusFromText(
      status_text == record.end() ? std::string_view() : std::string_view(status_text->second));
  if (status != SongStatus::kDownloaded) {
    // A missing status already reads as waiting: only an interrupted or failed download (or
    // text that is no status) is written back, so opening an unchanged library changes nothing.
    const std::string_view waiting = SongStatusText(SongStatus::kWaiting);
    if (status_text != record.end() && status_text->second != waiting) {
      status_text->second = std::string(waiting);
      store_.MarkDirty();
    }
  } else if (auto tryout = record.find("tryout");
             tryout != record.end() && !tryout->second.empty()) {
    const std::string preview = ResolveStoredPath(cache_folder, tryout->second);
    record.erase(tryout);
    store_.MarkDirty();
    if (!preview.empty()) fs::RemoveFile(preview);
  }
  AddEntry(Held(std::move(record)));
  return true;
}

void MusicLibrary::OnClose(DocumentStore&) {
  ReturnSongsToDocument();
  ClearSongs();
}

void MusicLibrary::CountNames(const MusicRecord& record, int delta) {
  if (name_uses_) CountNames(*name_uses_, record, delta);
}

void MusicLibrary::CountNames(NameUses& uses, const MusicRecord& record, int delta) {
  const auto count = [delta](auto& counts, const auto& key) {
    auto it = counts.try_emplace(key, 0).first;
    it->second += delta;
    if (it->second <= 0) counts.erase(it);
  };
  count(uses.albums, AttributeOf(record, "album_name"));
  count(uses.artists, AttributeOf(record, "artist_name"));
  const std::string& file_name = AttributeOf(record, "fileName");
  if (!file_name.empty()) count(uses.file_names, FileNameKey(file_name));
}

const MusicLibrary::NameUses& MusicLibrary::Uses() const {
  if (!name_uses_) {
    NameUses uses;
    for (const SongEntry* entry : order_) {
      if (entry != nullptr) CountNames(uses, *entry->record, +1);
    }
    name_uses_ = std::move(uses);
  }
  return *name_uses_;
}

namespace {

int UsesOf(const auto& counts, const auto& key) {
  auto it = counts.find(key);
  return it == counts.end() ? 0 : it->second;
}

}  // namespace

std::size_t MusicLibrary::FileNameKey(std::string_view file_name) {
  return std::hash<std::string_view>{}(file_name);
}

bool MusicLibrary::FileNameInUse(std::string_view file_name,
                                 std::string_view except_music_id) const {
  auto lock = store_.Lock();
  if (file_name.empty()) return false;
  int uses = UsesOf(Uses().file_names, FileNameKey(file_name));
  const SongEntry* own = Entry(except_music_id);
  if (own && AttributeOf(*own->record, "fileName") == file_name) --uses;
  return uses > 0;
}

void MusicLibrary::CacheRecord(const std::string& music_id, MusicRecord record) {
  // The index finds the entry by the id inside its record: it must stay the entry's.
  if (IdOf(record) != music_id) record.insert_or_assign("id", music_id);
  MusicRecordPtr held = Held(std::move(record));
  if (const SongEntry* entry = Entry(music_id)) {
    CountNames(*entry->record, -1);
    entry->record = std::move(held);
    CountNames(*entry->record, +1);
  } else {
    AddEntry(std::move(held));
  }
}

MusicRecordPtr MusicLibrary::Held(MusicRecord record) {
  AddSearchKeys(record);
  // Held for as long as the song is in the library: no spare room.
  record.shrink_to_fit();
  return std::make_shared<const MusicRecord>(std::move(record));
}

void MusicLibrary::AddEntry(MusicRecordPtr record) {
  const SongEntry& entry = *songs_.insert(SongEntry{std::move(record)}).first;
  entry.position = order_.size();
  order_.push_back(&entry);
  CountNames(*entry.record, +1);
}

void MusicLibrary::SetCachedAttribute(const std::string& music_id, const std::string& name,
                                      const std::string& value) {
  const SongEntry* entry = Entry(music_id);
  if (entry == nullptr) return;
  MusicRecord record = *entry->record;
  record[name] = value;
  CacheRecord(music_id, std::move(record));
}

void MusicLibrary::DropRecord(const std::string& music_id) {
  auto it = songs_.find(std::string_view(music_id));
  if (it == songs_.end()) return;
  CountNames(*it->record, -1);
  order_[it->position] = nullptr;
  ++removed_from_order_;
  songs_.erase(it);
  // Deleting many songs stays linear: the gaps are squeezed out once they are half the order.
  if (removed_from_order_ > 64 && removed_from_order_ * 2 > order_.size()) {
    std::erase(order_, nullptr);
    for (std::size_t i = 0; i < order_.size(); ++i) order_[i]->position = i;
    removed_from_order_ = 0;
  }
}

const MusicLibrary::SongEntry* MusicLibrary::Entry(std::string_view music_id) const {
  auto it = songs_.find(music_id);
  return it == songs_.end() ? nullptr : &*it;
}

bool MusicLibrary::HasMusic(std::string_view music_id) const {
  auto lock = store_.Lock();
  return Entry(music_id) != nullptr;
}

std::optional<MusicRecord> MusicLibrary::FindMusic(std::string_view music_id) const {
  auto lock = store_.Lock();
  const SongEntry* entry = Entry(music_id);
  if (entry == nullptr) return std::nullopt;
  return *entry->record;
}

const MusicRecord* MusicLibrary::CachedRecord(std::string_view music_id) const {
  const SongEntry* entry = Entry(music_id);
  return entry ? entry->record.get() : nullptr;
}

MusicRecordPtr MusicLibrary::SharedRecord(std::string_view music_id) const {
  const SongEntry* entry = Entry(music_id);
  return entry ? entry->record : nullptr;
}

std::size_t MusicLibrary::Count() const {
  auto lock = store_.Lock();
  return songs_.size();
}

std::vector<MusicRecordPtr> MusicLibrary::AllRecords() const {
  auto lock = store_.Lock();
  std::vector<MusicRecordPtr> records;
  records.reserve(songs_.size());
  for (const SongEntry* entry : order_) {
    if (entry != nullptr) records.push_back(entry->record);
  }
  return records;
}

bool MusicLibrary::AddMusic(const MusicRecord& record, bool announce) {
  auto lock = store_.Lock();
  const std::string& id = AttributeOf(record, "id");
  if (id.empty()) return false;
  if (MusicFolderElement(true) == nullptr) return false;
  store_.MarkListsChanged();
  const SongEntry* entry = Entry(id);
  MusicRecord merged = entry ? *entry->record : MusicRecord{};
  merged["id"] = id;
  for (const auto& [name, value] : record) {
    // Only what a `file` element can carry is kept, as the element always kept it.
    if (DocumentStore::IsXmlName(name)) merged[name] = value;
  }
  CacheRecord(id, std::move(merged));
  const bool local = IsLocalId(id);
  lists_.AppendItem(lists_.PlaylistElement(local ? PlaylistIndex::kLocalListId : "", true), id);
  if (!local && announce) store_.NotifyMusicAdded(*Entry(id)->record);
  return true;
}

bool MusicLibrary::UpdateMusic(const MusicRecord& record) {
  auto lock = store_.Lock();
  const std::string& id = AttributeOf(record, "id");
  const SongEntry* entry = Entry(id);
  if (entry == nullptr) return false;
  MusicRecord merged = *entry->record;
  for (const auto& [name, value] : record) {
    if (!IsSearchKey(name) && DocumentStore::IsXmlName(name)) merged[name] = value;
  }
  CacheRecord(id, std::move(merged));
  store_.MarkListsChanged();
  return true;
}

bool MusicLibrary::SetMusicAttribute(std::string_view music_id, std::string_view attribute,
                                     std::optional<std::string_view> text) {
  auto lock = store_.Lock();
  const SongEntry* entry = Entry(music_id);
  if (entry == nullptr || attribute == "id" || !DocumentStore::IsXmlName(attribute)) return false;
  std::string name(attribute);
  // The value it already has: no new record, no save, no lists refreshed for it.
  const auto current = entry->record->find(name);
  if (text ? current != entry->record->end() && current->second == *text
           : current == entry->record->end()) {
    return true;
  }
  MusicRecord record = *entry->record;
  if (text) {
    record[name] = std::string(*text);
  } else {
    record.erase(name);
  }
  CacheRecord(std::string(music_id), std::move(record));
  store_.MarkListsChanged();
  return true;
}

bool MusicLibrary::SetSongStatus(std::string_view music_id, SongStatus status) {
  return SetMusicAttribute(music_id, kSongStatusAttribute, SongStatusText(status));
}

bool MusicLibrary::IsPaused(std::string_view music_id) const {
  auto lock = store_.Lock();
  const SongEntry* entry = Entry(music_id);
  return entry != nullptr && entry->paused;
}

void MusicLibrary::SetPaused(std::string_view music_id, bool paused) {
  auto lock = store_.Lock();
  if (const SongEntry* entry = Entry(music_id)) entry->paused = paused;
}

void MusicLibrary::RemoveFromUserLists(const std::string& user_id, const std::string& music_id) {
  for (TiXmlElement* playlist : lists_.PlaylistsOf(user_id))
    lists_.RemoveItemsWithId(playlist, music_id);
}

void MusicLibrary::RemoveFromAllLists(const std::string& music_id) {
  for (TiXmlElement* user : lists_.Users()) {
    RemoveFromUserLists(DocumentStore::GetTextOr(user, "id"), music_id);
  }
}

void MusicLibrary::DeleteMusic(const std::string& music_id) {
  auto lock = store_.Lock();
  store_.MarkListsChanged();
  if (IsLocalId(music_id)) {
    RemoveFromAllLists(music_id);
    if (Entry(music_id) != nullptr) {
      DropRecord(music_id);
      store_.NotifyMusicRemoved(music_id);
    }
    return;
  }
  const std::string current_user = store_.CurrentUser();
  bool held_elsewhere = false;
  for (TiXmlElement* user : lists_.Users()) {
    std::string user_id = DocumentStore::GetTextOr(user, "id");
    if (user_id == current_user) continue;
    for (TiXmlElement* playlist : lists_.PlaylistsOf(user_id)) {
      if (lists_.FindItem(playlist, music_id)) held_elsewhere = true;
    }
  }
  if (!held_elsewhere) {
    if (const SongEntry* entry = Entry(music_id)) {
      if (stopper_) stopper_->StopDownload(music_id);
      const MusicRecord record = *entry->record;
      const std::string& album = AttributeOf(record, "album_name");
      const std::string& artist = AttributeOf(record, "artist_name");
      bool album_folder_goes = UsesOf(Uses().albums, album) <= 1;
      bool artist_folder_goes = album_folder_goes && UsesOf(Uses().artists, artist) <= 1;
      const std::string music_folder = store_.FolderPath("music");
      std::string file_name = AttributeOf(record, "fileName");
      std::string stored = file_name.empty() ? MusicFileName(record, "", false) : file_name;
      // A stored copy that another song names (data filed before names were made distinct, or
      // the name this song would have had) stays for that song, with its lyric.
      std::string copy =
          FileNameInUse(stored, music_id) ? std::string() : ResolveStoredPath(music_folder, stored);
      if (!copy.empty()) DeleteStoredCopy(copy, album_folder_goes, artist_folder_goes);
      std::string own = FileNameInUse(file_name, music_id)
                            ? std::string()
                            : ResolveStoredPath(music_folder, file_name);
      if (!own.empty()) {
        fs::RemoveFile(own);
        fs::RemoveEmptyFolder(fs::ParentFolder(own));
      }
      DropRecord(music_id);
      store_.NotifyMusicRemoved(music_id);
    }
  }
  RemoveFromUserLists(current_user, music_id);
}

std::vector<std::pair<std::string, int>> MusicLibrary::NameCounts(const char* attribute) {
  auto lock = store_.Lock();
  std::map<std::string, int> counts;
  lists_.ForEachItemId(lists_.PlaylistToRead(""), [&](const std::string& id) {
    const SongEntry* entry = Entry(id);
    if (entry == nullptr) return true;
    std::string name = text::Trim(AttributeOf(*entry->record, attribute));
    if (!name.empty()) ++counts[name];
    return true;
  });
  return {counts.begin(), counts.end()};
}

std::vector<std::pair<std::string, int>> MusicLibrary::ArtistCounts() {
  return NameCounts("artist_name");
}
std::vector<std::pair<std::string, int>> MusicLibrary::AlbumCounts() {
  return NameCounts("album_name");
}

std::vector<MusicRecord> MusicLibrary::MusicByName(const char* attribute, std::string_view name) {
  auto lock = store_.Lock();
  std::vector<MusicRecord> records;
  lists_.ForEachItemId(lists_.PlaylistToRead(""), [&](const std::string& id) {
    const SongEntry* entry = Entry(id);
    if (entry && text::TrimView(AttributeOf(*entry->record, attribute)) == name)
      records.push_back(*entry->record);
    return true;
  });
  return records;
}

std::vector<MusicRecord> MusicLibrary::MusicByArtist(std::string_view name) {
  return MusicByName("artist_name", name);
}
std::vector<MusicRecord> MusicLibrary::MusicByAlbum(std::string_view name) {
  return MusicByName("album_name", name);
}

}  // namespace quillo::store
