#include "device/PhoneDevices.h"

#include <algorithm>

#include "device/DeviceIds.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "store/ChineseCollator.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/SafeNames.h"
#include "store/StoredPath.h"

namespace quillo::device {
namespace {

std::string Attribute(const store::MusicRecord& record, const char* name) {
  auto it = record.find(name);
  return it == record.end() ? std::string() : it->second;
}

auto FindRecord(std::vector<store::MusicRecord>& records, std::string_view music_id) {
  return std::find_if(records.begin(), records.end(),
                      [&](const store::MusicRecord& r) { return store::IdOf(r) == music_id; });
}

}  // namespace

PhoneDevices::PhoneDevices(store::DocumentStore& store, store::MusicLibrary& library,
                           store::SongTagAccess* tags)
    : store_(store), library_(library), tags_(tags) {
  library_.SetDeviceSource(this);
}

PhoneDevices::~PhoneDevices() {
  auto lock = store_.Lock();
  if (library_.device_source() == this) library_.SetDeviceSource(nullptr);
}

void PhoneDevices::Changed() { store_.MarkListsChanged(); }

PhoneDevices::Device* PhoneDevices::FindDevice(std::string_view device_id) {
  for (Device& device : devices_) {
    if (device.id == device_id) return &device;
  }
  return nullptr;
}

const PhoneDevices::Device* PhoneDevices::FindDevice(std::string_view device_id) const {
  return const_cast<PhoneDevices*>(this)->FindDevice(device_id);
}

DeviceList* PhoneDevices::FindList(std::string_view list_id, Device** device_out) {
  Device* device = FindDevice(DeviceIdOf(list_id));
  if (device_out) *device_out = device;
  if (!device) return nullptr;
  for (DeviceList& list : device->lists) {
    if (list.id == list_id) return &list;
  }
  return nullptr;
}

std::string PhoneDevices::OpenDevice(const PhoneRoots& roots) {
  const std::string id = DeviceToken(roots.card_root());
  Device device = ReadDevice(roots, id);
  auto lock = store_.Lock();
  // The same card opened again replaces its record rather than showing twice.
  if (Device* existing = FindDevice(id)) {
    *existing = std::move(device);
  } else {
    devices_.push_back(std::move(device));
  }
  Changed();
  return id;
}

void PhoneDevices::CloseDevice(std::string_view device_id) {
  auto lock = store_.Lock();
  auto it = std::remove_if(devices_.begin(), devices_.end(),
                           [&](const Device& d) { return d.id == device_id; });
  if (it == devices_.end()) return;
  devices_.erase(it, devices_.end());
  Changed();
}

bool PhoneDevices::IsOpen(std::string_view device_id) const {
  auto lock = store_.Lock();
  return FindDevice(device_id) != nullptr;
}

std::optional<PhoneRoots> PhoneDevices::RootsOf(std::string_view device_id) const {
  auto lock = store_.Lock();
  const Device* device = FindDevice(device_id);
  if (!device) return std::nullopt;
  return device->roots;
}

std::vector<store::PlaylistEntry> PhoneDevices::DeviceLists(std::string_view device_id) const {
  auto lock = store_.Lock();
  std::vector<store::PlaylistEntry> entries;
  if (const Device* device = FindDevice(device_id)) {
    for (const DeviceList& list : device->lists) entries.push_back({list.name, list.id});
  }
  return entries;
}

int PhoneDevices::DeviceListCount(std::string_view device_id) const {
  auto lock = store_.Lock();
  const Device* device = FindDevice(device_id);
  return device ? static_cast<int>(device->lists.size()) : 0;
}

bool PhoneDevices::DeviceHasSong(std::string_view device_id, const store::MusicRecord& record) const {
  return FindSameSong(device_id, record).has_value();
}

std::optional<store::MusicRecord> PhoneDevices::FindSameSong(std::string_view device_id,
                                                             const store::MusicRecord& record) const {
  auto lock = store_.Lock();
  const Device* device = FindDevice(device_id);
  if (!device) return std::nullopt;
  for (const store::MusicRecord& song : device->lists.front().records) {
    if (Attribute(song, "name") == Attribute(record, "name") &&
        Attribute(song, "artist_name") == Attribute(record, "artist_name") &&
        Attribute(song, "album_name") == Attribute(record, "album_name")) {
      return song;
    }
  }
  return std::nullopt;
}

bool PhoneDevices::AddToDeviceList(store::MusicRecord record, std::string_view list_id) {
  auto lock = store_.Lock();
  Device* device = nullptr;
  DeviceList* list = FindList(list_id, &device);
  if (!device || !list) return false;
  std::string id = store::IdOf(record);
  if (!text::StartsWith(id, "d_")) {
    id = AllSongsListId(device->id) + id;
    record["id"] = id;
  }
  store::MusicLibrary::AddSearchKeys(record);
  bool added = false;
  for (DeviceList* target : {&device->lists.front(), list}) {
    auto it = FindRecord(target->records, id);
    if (it != target->records.end()) {
      *it = record;
    } else {
      target->records.push_back(record);
      added = true;
    }
    if (target == list) break;
  }
  Changed();
  return added;
}

bool PhoneDevices::RemoveFromDeviceList(std::string_view list_id, std::string_view music_id) {
  auto lock = store_.Lock();
  DeviceList* list = FindList(list_id);
  if (!list || IsAllSongsListId(list_id)) return false;
  auto it = FindRecord(list->records, music_id);
  if (it == list->records.end()) return false;
  list->records.erase(it);
  Changed();
  return true;
}

bool PhoneDevices::RemoveSongFromDevice(std::string_view list_id, std::string_view music_id) {
  auto lock = store_.Lock();
  Device* device = FindDevice(DeviceIdOf(list_id));
  if (!device) return false;
  bool in_other_list = false;
  std::optional<store::MusicRecord> from_all;
  for (std::size_t i = 0; i < device->lists.size(); ++i) {
    auto& records = device->lists[i].records;
    auto it = FindRecord(records, music_id);
    if (it == records.end()) continue;
    if (i == 0) {
      from_all = *it;
    } else {
      in_other_list = true;
    }
    records.erase(it);
  }
  if (from_all) DeleteSongFile(*device, *from_all);
  Changed();
  return in_other_list;
}

void PhoneDevices::ClearDeviceList(std::string_view list_id) {
  auto lock = store_.Lock();
  Device* device = nullptr;
  DeviceList* list = FindList(list_id, &device);
  if (!list) return;
  if (list == &device->lists.front()) {
    std::vector<store::MusicRecord> songs = std::move(list->records);
    for (DeviceList& each : device->lists) each.records.clear();
    for (const store::MusicRecord& song : songs) DeleteSongFile(*device, song);
  } else {
    list->records.clear();
  }
  Changed();
}

std::string PhoneDevices::CreateDeviceList(std::string_view device_id, std::string_view part,
                                           std::string_view name) {
  auto lock = store_.Lock();
  Device* device = FindDevice(device_id);
  if (!device || part.empty() || part.find('_') != std::string_view::npos) return {};
  std::string id = DeviceListId(device_id, part);
  if (FindList(id)) return {};
  device->lists.push_back({id, std::string(name), {}, true, {}});
  Changed();
  return id;
}

bool PhoneDevices::DeleteDeviceList(std::string_view list_id) {
  auto lock = store_.Lock();
  Device* device = nullptr;
  DeviceList* list = FindList(list_id, &device);
  if (!list || list == &device->lists.front()) return false;
  device->lists.erase(device->lists.begin() + (list - device->lists.data()));
  Changed();
  return true;
}

bool PhoneDevices::RenameDeviceList(std::string_view list_id, std::string_view name) {
  auto lock = store_.Lock();
  Device* device = nullptr;
  DeviceList* list = FindList(list_id, &device);
  if (!list || list == &device->lists.front()) return false;
  list->name = std::string(name);
  Changed();
  return true;
}

bool PhoneDevices::MoveDeviceList(std::string_view list_id, std::string_view target_id, bool before) {
  auto lock = store_.Lock();
  Device* device = nullptr;
  DeviceList* list = FindList(list_id, &device);
  Device* target_device = nullptr;
  DeviceList* target = FindList(target_id, &target_device);
  if (!list || !target || device != target_device || list == target ||
      list == &device->lists.front()) {
    return false;
  }
  DeviceList moved = std::move(*list);
  device->lists.erase(device->lists.begin() + (list - device->lists.data()));
  auto at = std::find_if(device->lists.begin(), device->lists.end(),
                         [&](const DeviceList& l) { return l.id == target_id; });
  if (!before) ++at;
  // Nothing goes before the all-songs list.
  if (at == device->lists.begin()) ++at;
  device->lists.insert(at, std::move(moved));
  Changed();
  return true;
}

bool PhoneDevices::SortDeviceList(std::string_view list_id, const std::string& attribute,
                                  bool keep_direction) {
  auto lock = store_.Lock();
  Device* device = nullptr;
  DeviceList* list = FindList(list_id, &device);
  if (!list || list == &device->lists.front()) return false;
  if (!keep_direction) list->sort_ascending = !list->sort_ascending;
  store::ChineseCollator collator;
  std::vector<std::pair<std::string, store::MusicRecord>> keyed;
  for (store::MusicRecord& record : list->records) {
    keyed.emplace_back(collator.SortKey(Attribute(record, attribute.c_str())), std::move(record));
  }
  const bool ascending = list->sort_ascending;
  std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto& a, const auto& b) {
    return ascending ? a.first < b.first : b.first < a.first;
  });
  list->records.clear();
  for (auto& [key, record] : keyed) list->records.push_back(std::move(record));
  list->sort_column = attribute;
  Changed();
  return true;
}

std::optional<PhoneDevices::SortState> PhoneDevices::ListSortState(std::string_view list_id) const {
  auto lock = store_.Lock();
  const Device* device = FindDevice(DeviceIdOf(list_id));
  if (!device) return std::nullopt;
  for (std::size_t i = 1; i < device->lists.size(); ++i) {
    const DeviceList& list = device->lists[i];
    if (list.id == list_id) return SortState{list.sort_column, list.sort_ascending};
  }
  return std::nullopt;
}

std::vector<store::PlaylistEntry> PhoneDevices::DevicePlaylists() {
  auto lock = store_.Lock();
  std::vector<store::PlaylistEntry> entries;
  for (const Device& device : devices_) {
    entries.push_back({"", "d_" + device.id});
    for (const DeviceList& list : device.lists) entries.push_back({list.name, list.id});
  }
  return entries;
}

std::vector<store::MusicRecord> PhoneDevices::DeviceListRecords(const std::string& list_id) {
  auto lock = store_.Lock();
  DeviceList* list = FindList(list_id);
  return list ? list->records : std::vector<store::MusicRecord>{};
}

std::optional<std::string> PhoneDevices::DeviceMusicPath(const store::MusicRecord& record) {
  auto lock = store_.Lock();
  const Device* device = FindDevice(DeviceIdOf(store::IdOf(record)));
  if (!device) return std::nullopt;
  return SongPath(device->roots, record);
}

std::optional<std::string> PhoneDevices::SongPath(const PhoneRoots& roots,
                                                  const store::MusicRecord& record) {
  std::string file_name = Attribute(record, "fileName");
  if (file_name.empty()) return std::nullopt;
  std::string path;
  if (text::StartsWith(file_name, store::kFileUrlPrefix)) {
    path = file_name.substr(store::kFileUrlPrefix.size());
  } else if (store::IsContainedRelativeName(file_name)) {
    path = roots.MusicFolder() + file_name;
  } else {
    return std::nullopt;
  }
  if (!PhoneRoots::IsBelow(roots.card_root(), path) && !PhoneRoots::IsBelow(roots.phone_root(), path)) {
    return std::nullopt;
  }
  return path;
}

void PhoneDevices::DeleteSongFile(const Device& device, const store::MusicRecord& record) {
  std::optional<std::string> path = SongPath(device.roots, record);
  if (!path || !fs::FileExists(*path)) return;
  fs::RemoveFile(*path);
  const std::string extension = store::FileExtension(fs::BaseName(*path));
  fs::RemoveFile(path->substr(0, path->size() - extension.size()) + ".lrc");
  const std::string album = Attribute(record, "album_name");
  const std::string artist = Attribute(record, "artist_name");
  bool album_shared = false;
  bool artist_shared = false;
  for (const store::MusicRecord& other : device.lists.front().records) {
    album_shared = album_shared || Attribute(other, "album_name") == album;
    artist_shared = artist_shared || Attribute(other, "artist_name") == artist;
  }
  // Folders are removed only below the card's music folder and only when empty.
  const std::string music_folder = device.roots.MusicFolder();
  const std::string album_folder = fs::ParentFolder(*path);
  const std::string artist_folder = fs::ParentFolder(album_folder.substr(0, album_folder.size() - 1));
  auto strictly_below = [&](const std::string& folder) {
    return folder.size() > music_folder.size() && PhoneRoots::IsBelow(music_folder, folder);
  };
  if (!album_shared && strictly_below(album_folder)) {
    fs::RemoveFile(album_folder + "album.jpg");
    fs::RemoveEmptyFolder(album_folder);
    if (!artist_shared && strictly_below(artist_folder)) {
      fs::RemoveFile(artist_folder + "artist.jpg");
      fs::RemoveEmptyFolder(artist_folder);
    }
  }
}

}  // namespace quillo::device
