#include "store/MusicLibrary.h"

#include <algorithm>
#include <functional>

#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
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
  record["_name"] = text::PinyinInitials(AttributeOf(record, "name"));
  record["_artist_name"] = text::PinyinInitials(AttributeOf(record, "artist_name"));
}

TiXmlElement* MusicLibrary::MusicFolderElement(bool create) {
  return store_.Resolve("folders#folder:music#", create);
}

void MusicLibrary::OnOpen(DocumentStore&) {
  songs_.clear();
  album_uses_.clear();
  artist_uses_.clear();
  file_name_uses_.clear();
  TiXmlElement* folder = MusicFolderElement(false);
  if (folder == nullptr) return;
  const std::string cache_folder = store_.FolderPath(".cache");
  // A large library is indexed in one go: the table is made its full size first instead of
  // growing (and moving every entry) as it fills.
  std::size_t files = 0;
  for (TiXmlElement* file = folder->FirstChildElement("file"); file;
       file = file->NextSiblingElement("file"))
    ++files;
  songs_.reserve(files);
  for (TiXmlElement* file = folder->FirstChildElement("file"); file;
       file = file->NextSiblingElement("file")) {
    std::optional<std::string> id = DocumentStore::GetText(file, "id");
    if (!id) continue;
    // The first element of an id is the one a path would find; later copies are dead weight.
    auto [entry, inserted] = songs_.try_emplace(std::move(*id));
    if (!inserted) continue;
    const std::optional<std::string> status_text =
        DocumentStore::GetText(file, kSongStatusAttribute);
    const SongStatus status = SongStatusFromText(status_text.value_or(std::string()));
    if (status != SongStatus::kDownloaded) {
      // A missing status already reads as waiting: only an interrupted or failed download (or
      // text that is no status) is written back, so opening an unchanged library changes nothing.
      const std::string_view waiting = SongStatusText(SongStatus::kWaiting);
      if (status_text && *status_text != waiting) {
        store_.SetText(file, kSongStatusAttribute, waiting);
      }
    } else if (std::string tryout = DocumentStore::GetTextOr(file, "tryout"); !tryout.empty()) {
      store_.RemoveAttribute(file, "tryout");
      std::string preview = ResolveStoredPath(cache_folder, tryout);
      if (!preview.empty()) fs::RemoveFile(preview);
    }
    SetEntry(entry->second, file, DocumentStore::ReadAllAttributes(file));
  }
}

void MusicLibrary::OnClose(DocumentStore&) {
  songs_.clear();
  album_uses_.clear();
  artist_uses_.clear();
  file_name_uses_.clear();
}

void MusicLibrary::CountNames(const MusicRecord& record, int delta) {
  album_uses_[AttributeOf(record, "album_name")] += delta;
  artist_uses_[AttributeOf(record, "artist_name")] += delta;
  const std::string& file_name = AttributeOf(record, "fileName");
  if (file_name.empty()) return;
  auto it = file_name_uses_.try_emplace(FileNameKey(file_name), 0).first;
  it->second += delta;
  if (it->second <= 0) file_name_uses_.erase(it);
}

std::size_t MusicLibrary::FileNameKey(std::string_view file_name) {
  return std::hash<std::string_view>{}(file_name);
}

bool MusicLibrary::FileNameInUse(std::string_view file_name,
                                 std::string_view except_music_id) const {
  auto lock = store_.Lock();
  if (file_name.empty()) return false;
  auto it = file_name_uses_.find(FileNameKey(file_name));
  int uses = it == file_name_uses_.end() ? 0 : it->second;
  const SongEntry* own = Entry(except_music_id);
  if (own && AttributeOf(*own->record, "fileName") == file_name) --uses;
  return uses > 0;
}

void MusicLibrary::CacheRecord(const std::string& music_id, TiXmlElement* element,
                               MusicRecord record) {
  auto [it, inserted] = songs_.try_emplace(music_id);
  if (!inserted) CountNames(*it->second.record, -1);
  SetEntry(it->second, element, std::move(record));
}

void MusicLibrary::SetEntry(SongEntry& entry, TiXmlElement* element, MusicRecord record) {
  AddSearchKeys(record);
  entry.element = element;
  entry.record = std::make_shared<const MusicRecord>(std::move(record));
  CountNames(*entry.record, +1);
}

void MusicLibrary::SetCachedAttribute(const std::string& music_id, const std::string& name,
                                      const std::string& value) {
  SongEntry* entry = Entry(music_id);
  if (entry == nullptr) return;
  MusicRecord record = *entry->record;
  record[name] = value;
  CacheRecord(music_id, entry->element, std::move(record));
}

void MusicLibrary::DropRecord(const std::string& music_id) {
  auto it = songs_.find(music_id);
  if (it == songs_.end()) return;
  CountNames(*it->second.record, -1);
  songs_.erase(it);
}

MusicLibrary::SongEntry* MusicLibrary::Entry(std::string_view music_id) {
  auto it = songs_.find(std::string(music_id));
  return it == songs_.end() ? nullptr : &it->second;
}

const MusicLibrary::SongEntry* MusicLibrary::Entry(std::string_view music_id) const {
  auto it = songs_.find(std::string(music_id));
  return it == songs_.end() ? nullptr : &it->second;
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
  TiXmlElement* folder = const_cast<MusicLibrary*>(this)->MusicFolderElement(false);
  if (folder == nullptr) return records;
  records.reserve(songs_.size());
  for (TiXmlElement* file = folder->FirstChildElement("file"); file;
       file = file->NextSiblingElement("file")) {
    const std::string* id = file->Attribute(std::string("id"));
    const SongEntry* entry = id ? Entry(*id) : nullptr;
    if (entry && entry->element == file) records.push_back(entry->record);
  }
  return records;
}

bool MusicLibrary::AddMusic(const MusicRecord& record, bool announce) {
  auto lock = store_.Lock();
  const std::string& id = AttributeOf(record, "id");
  if (id.empty()) return false;
  TiXmlElement* folder = MusicFolderElement(true);
  if (folder == nullptr) return false;
  store_.MarkListsChanged();
  SongEntry* entry = Entry(id);
  TiXmlElement* element = entry ? entry->element : nullptr;
  if (element == nullptr) {
    // Every element of the library is in the cache, so a song that is not cached is new: append
    // it without walking the folder.
    TiXmlElement fresh("file");
    fresh.SetAttribute("id", id);
    TiXmlNode* inserted = folder->InsertEndChild(fresh);
    element = inserted ? inserted->ToElement() : nullptr;
    if (element == nullptr) return false;
  }
  for (const auto& [name, value] : record) {
    if (name != "id") store_.SetText(element, name.c_str(), value);
  }
  CacheRecord(id, element, DocumentStore::ReadAllAttributes(element));
  const bool local = IsLocalId(id);
  lists_.AppendItem(lists_.PlaylistElement(local ? PlaylistIndex::kLocalListId : "", true), id);
  if (!local && announce) store_.NotifyMusicAdded(*Entry(id)->record);
  return true;
}

bool MusicLibrary::UpdateMusic(const MusicRecord& record) {
  auto lock = store_.Lock();
  SongEntry* entry = Entry(AttributeOf(record, "id"));
  if (entry == nullptr) return false;
  for (const auto& [name, value] : record) {
    if (!IsSearchKey(name) && name != "id") store_.SetText(entry->element, name.c_str(), value);
  }
  CacheRecord(AttributeOf(record, "id"), entry->element,
              DocumentStore::ReadAllAttributes(entry->element));
  store_.MarkListsChanged();
  return true;
}

bool MusicLibrary::SetMusicAttribute(std::string_view music_id, std::string_view attribute,
                                     std::optional<std::string_view> text) {
  auto lock = store_.Lock();
  SongEntry* entry = Entry(music_id);
  if (entry == nullptr || attribute.empty() || attribute == "id") return false;
  std::string name(attribute);
  // The value it already has: no new record, no save, no lists refreshed for it.
  const auto current = entry->record->find(name);
  if (text ? current != entry->record->end() && current->second == *text
           : current == entry->record->end()) {
    return true;
  }
  if (text) {
    store_.SetText(entry->element, name.c_str(), *text);
  } else {
    store_.RemoveAttribute(entry->element, name.c_str());
  }
  MusicRecord record = *entry->record;
  if (text) {
    record[name] = std::string(*text);
  } else {
    record.erase(name);
  }
  CacheRecord(std::string(music_id), entry->element, std::move(record));
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
  if (SongEntry* entry = Entry(music_id)) entry->paused = paused;
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
    if (SongEntry* entry = Entry(music_id)) {
      store_.RemoveElement(entry->element);
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
    if (SongEntry* entry = Entry(music_id)) {
      if (stopper_) stopper_->StopDownload(music_id);
      const MusicRecord record = *entry->record;
      const std::string& album = AttributeOf(record, "album_name");
      const std::string& artist = AttributeOf(record, "artist_name");
      bool album_folder_goes = album_uses_[album] <= 1;
      bool artist_folder_goes = album_folder_goes && artist_uses_[artist] <= 1;
      const std::string music_folder = store_.FolderPath("music");
      std::string file_name = AttributeOf(record, "fileName");
      std::string stored = file_name.empty() ? MusicFileName(record, "", false) : file_name;
      // A stored copy that another song names (data filed before names were made distinct, or
      // the name this song would have had) stays for that song, with its lyric.
      std::string copy =
          FileNameInUse(stored, music_id) ? std::string() : ResolveStoredPath(music_folder, stored);
      if (!copy.empty()) DeleteStoredCopy(copy, album_folder_goes, artist_folder_goes);
      std::string own_name = DocumentStore::GetTextOr(entry->element, "fileName");
      std::string own = FileNameInUse(own_name, music_id)
                            ? std::string()
                            : ResolveStoredPath(music_folder, own_name);
      if (!own.empty()) {
        fs::RemoveFile(own);
        fs::RemoveEmptyFolder(fs::ParentFolder(own));
      }
      store_.RemoveElement(entry->element);
      DropRecord(music_id);
      store_.NotifyMusicRemoved(music_id);
    }
  }
  RemoveFromUserLists(current_user, music_id);
}

std::vector<std::pair<std::string, int>> MusicLibrary::NameCounts(const char* attribute) {
  auto lock = store_.Lock();
  std::map<std::string, int> counts;
  TiXmlElement* list = lists_.PlaylistElement("", false);
  for (TiXmlElement* item : PlaylistIndex::Items(list)) {
    const std::string* id = item->Attribute(std::string("id"));
    const SongEntry* entry = id ? Entry(*id) : nullptr;
    if (entry == nullptr) continue;
    std::string name = text::Trim(AttributeOf(*entry->record, attribute));
    if (!name.empty()) ++counts[name];
  }
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
  TiXmlElement* list = lists_.PlaylistElement("", false);
  for (TiXmlElement* item : PlaylistIndex::Items(list)) {
    const std::string* id = item->Attribute(std::string("id"));
    const SongEntry* entry = id ? Entry(*id) : nullptr;
    if (entry && text::TrimView(AttributeOf(*entry->record, attribute)) == name)
      records.push_back(*entry->record);
  }
  return records;
}

std::vector<MusicRecord> MusicLibrary::MusicByArtist(std::string_view name) {
  return MusicByName("artist_name", name);
}
std::vector<MusicRecord> MusicLibrary::MusicByAlbum(std::string_view name) {
  return MusicByName("album_name", name);
}

}  // namespace quillo::store
