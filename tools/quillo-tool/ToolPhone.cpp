#include "tools/quillo-tool/ToolPhone.h"

#include "device/ConfiguredPhone.h"
#include "device/DeviceIds.h"
#include "platform/fs/FileSystem.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "store/StoredPath.h"
#include "tools/quillo-tool/CopyReporter.h"

namespace quillo::tool {

ToolPhone::ToolPhone(store::StoreRuntime& runtime, std::ostream& err) : runtime_(runtime), err_(err) {
  roots_ = device::ConfiguredPhoneRoots(runtime.store());
  if (!roots_) return;
  devices_.emplace(runtime.store(), runtime.library(), &tags_);
  id_ = devices_->OpenDevice(*roots_);
}

ToolPhone::~ToolPhone() {
  if (devices_ && !id_.empty()) devices_->CloseDevice(id_);
}

bool ToolPhone::IsConnected() {
  return devices_ && devices_->IsOpen(id_);
}

bool ToolPhone::Owns(const std::string& list_id) const {
  return devices_ && !id_.empty() && device::DeviceIdOf(list_id) == id_;
}

bool ToolPhone::HasList(const std::string& list_id) const {
  if (!Owns(list_id)) return false;
  for (const store::PlaylistEntry& entry : devices_->DeviceLists(id_)) {
    if (entry.id == list_id) return true;
  }
  return false;
}

std::optional<store::MusicRecord> ToolPhone::FindSong(const std::string& music_id) {
  if (!Owns(music_id)) return std::nullopt;
  for (store::MusicRecord& record : devices_->DeviceListRecords("d_" + id_ + "_")) {
    if (store::IdOf(record) == music_id) return std::move(record);
  }
  return std::nullopt;
}

std::vector<store::PlaylistEntry> ToolPhone::Lists() {
  return IsConnected() ? devices_->DeviceLists(id_) : std::vector<store::PlaylistEntry>{};
}

std::string ToolPhone::CreateList(const std::string& id_part, const std::string& name) {
  return IsConnected() ? devices_->CreateDeviceList(id_, id_part, name) : std::string();
}

bool ToolPhone::RenameList(const std::string& list_id, const std::string& name) {
  return Owns(list_id) && devices_->RenameDeviceList(list_id, name);
}

bool ToolPhone::DeleteList(const std::string& list_id) {
  return Owns(list_id) && devices_->DeleteDeviceList(list_id);
}

bool ToolPhone::AddSongs(const std::string& list_id, const std::vector<store::MusicRecord>& records) {
  if (!Owns(list_id)) return false;
  bool added = false;
  for (const store::MusicRecord& record : records) added = devices_->AddToDeviceList(record, list_id) || added;
  return added;
}

bool ToolPhone::RemoveSong(const std::string& list_id, const std::string& music_id) {
  return Owns(list_id) && devices_->RemoveFromDeviceList(list_id, music_id);
}

bool ToolPhone::DeleteSong(const std::string& list_id, const std::string& music_id) {
  return Owns(list_id) && devices_->RemoveSongFromDevice(list_id, music_id);
}

void ToolPhone::ClearList(const std::string& list_id) {
  if (Owns(list_id)) devices_->ClearDeviceList(list_id);
}

void ToolPhone::StartUpdate() {
  if (!IsConnected()) return;
  if (!devices_->SaveDevice(id_)) {
    err_ << "could not write the phone's lists: " << roots_->phone_root() << "\n";
    updates_written_ = false;
  }
}

bool ToolPhone::CopySongs(const std::string& list_id, const std::vector<store::MusicRecord>& records) {
  if (!Owns(list_id)) return false;
  std::vector<device::CopyTask> tasks;
  bool listed = false;
  for (const store::MusicRecord& record : records) {
    if (std::optional<store::MusicRecord> held = devices_->FindSameSong(id_, record)) {
      listed = devices_->AddToDeviceList(*held, list_id) || listed;
      continue;
    }
    std::optional<std::string> source = runtime_.library().MusicPath(record);
    if (!source || !fs::FileExists(*source)) continue;  // not downloaded: nothing to copy
    if (std::optional<device::CopyTask> task = device::MakeCopyToDevice(record, *source, *roots_, list_id))
      tasks.push_back(std::move(*task));
  }
  CopyReporter reporter(err_);
  reporter.Run(std::move(tasks));
  for (device::CopyTask& task : reporter.copied) {
    task.record["fileName"] = std::string(store::kFileUrlPrefix) + task.destination;
    devices_->AddToDeviceList(task.record, task.list_id);
  }
  const bool changed = listed || !reporter.copied.empty();
  if (changed) StartUpdate();
  return changed;
}

bool ToolPhone::CopyFromPhone(const std::string& target_list_id,
                              const std::vector<store::MusicRecord>& records) {
  if (!IsConnected()) return false;
  store::MusicLibrary& library = runtime_.library();
  device::CopiesFromDevice plan = device::PlanCopiesFromDevice(
      id_, records, *roots_, library, runtime_.playlists(), runtime_.store().FolderPath("music"),
      target_list_id);
  const bool listed = plan.listed;
  CopyReporter reporter(err_);
  reporter.Run(std::move(plan.tasks));
  for (const device::CopyTask& task : reporter.copied) {
    device::AddCopiedSongToLibrary(library, runtime_.playlists(), task);
  }
  return listed || !reporter.copied.empty();
}

bool ToolPhone::CanSortList(const std::string& list_id) {
  return Owns(list_id) && devices_->ListSortState(list_id).has_value();
}

std::string ToolPhone::ListSortColumn(const std::string& list_id) {
  if (!Owns(list_id)) return {};
  std::optional<device::PhoneDevices::SortState> state = devices_->ListSortState(list_id);
  return state ? state->column : std::string();
}

bool ToolPhone::SortList(const std::string& list_id, const std::string& attribute) {
  if (!CanSortList(list_id)) return false;
  if (!devices_->SortDeviceList(list_id, attribute, devices_->ListSortState(list_id)->ascending))
    return false;
  StartUpdate();
  return true;
}

}  // namespace quillo::tool
