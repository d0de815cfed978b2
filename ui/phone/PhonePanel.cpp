#include "ui/phone/PhonePanel.h"

#include <cstdio>
#include <filesystem>

#include "device/ConfiguredPhone.h"
#include "device/DeviceIds.h"
#include "platform/drives/DriveSpace.h"
#include "platform/fs/FileSystem.h"
#include "platform/gfx/Painter.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "store/StoredPath.h"
#include "ui/phone/PhoneSpaceText.h"

namespace quillo::ui {
namespace {

std::string NameOf(const store::MusicRecord& record) {
  auto it = record.find("name");
  return it == record.end() ? std::string() : it->second;
}

}  // namespace

PhonePanel::PhonePanel(loop::MainLoop& loop, store::StoreRuntime& runtime,
                       store::SongTagAccess* tags)
    : runtime_(runtime), devices_(runtime.store(), runtime.library(), tags), target_(loop) {
  queue_.SetListener(this);
}

PhonePanel::~PhonePanel() {
  queue_.SetListener(nullptr);
  queue_.Stop();
}

std::optional<PhonePanel::Descriptor> PhonePanel::ConfiguredDevice(store::StoreRuntime& runtime) {
  std::optional<device::PhoneRoots> roots = device::ConfiguredPhoneRoots(runtime.store());
  if (!roots) return std::nullopt;
  return Descriptor{roots->card_root(), roots->two_drives() ? roots->phone_root() : std::string()};
}

void PhonePanel::Wait(const std::string& text, const std::function<void()>& work) {
  if (hooks_.wait) {
    hooks_.wait(text, work);
  } else {
    work();
  }
}

void PhonePanel::SetStatus(std::string status) {
  if (status == status_) return;
  status_ = std::move(status);
  if (hooks_.report) hooks_.report(status_);
}

void PhonePanel::Redraw() {
  if (hooks_.redraw) hooks_.redraw();
}

bool PhonePanel::DeviceConnected() const {
  // A device whose lists the store no longer has counts as gone.
  return connected_.has_value() && devices_.IsOpen(device_id_);
}

void PhonePanel::OnDeviceChanged(const std::optional<Descriptor>& descriptor) {
  if (descriptor == connected_) return;
  queue_.Stop();
  status_.clear();
  copying_ = false;
  if (connected_) {
    devices_.CloseDevice(device_id_);
    connected_.reset();
    device_id_.clear();
  }
  if (descriptor) {
    connected_ = descriptor;
    const device::PhoneRoots roots(descriptor->card_root, descriptor->phone_root);
    std::string id;
    Wait(kReadingText, [&] { id = devices_.OpenDevice(roots); });
    if (id.empty()) {
      connected_.reset();
    } else {
      device_id_ = id;
      MeasureSpace();
    }
  }
  if (hooks_.phone_changed) hooks_.phone_changed();
}

void PhonePanel::MeasureSpace() {
  total_bytes_ = free_bytes_ = 0;
  if (!connected_) return;
  if (std::optional<drives::DriveSpace> space = drives::QueryDriveSpace(connected_->card_root)) {
    total_bytes_ = space->total_bytes;
    free_bytes_ = space->free_bytes;
  }
}

bool PhonePanel::OwnsList(const std::string& list_id) const {
  return DeviceConnected() && device::DeviceIdOf(list_id) == device_id_;
}

std::vector<store::PlaylistEntry> PhonePanel::Lists() {
  if (!DeviceConnected()) return {};
  return devices_.DeviceLists(device_id_);
}

std::string PhonePanel::CreateList(const std::string& id_part, const std::string& name) {
  if (!DeviceConnected()) return {};
  return devices_.CreateDeviceList(device_id_, id_part, name);
}

bool PhonePanel::RenameList(const std::string& list_id, const std::string& name) {
  return OwnsList(list_id) && devices_.RenameDeviceList(list_id, name);
}

bool PhonePanel::DeleteList(const std::string& list_id) {
  return OwnsList(list_id) && devices_.DeleteDeviceList(list_id);
}

bool PhonePanel::AddSongs(const std::string& list_id, const std::vector<store::MusicRecord>& records) {
  if (!OwnsList(list_id)) return false;
  bool added = false;
  for (const store::MusicRecord& record : records) added = devices_.AddToDeviceList(record, list_id) || added;
  return added;
}

bool PhonePanel::RemoveSong(const std::string& list_id, const std::string& music_id) {
  return OwnsList(list_id) && devices_.RemoveFromDeviceList(list_id, music_id);
}

bool PhonePanel::DeleteSong(const std::string& list_id, const std::string& music_id) {
  return OwnsList(list_id) && devices_.RemoveSongFromDevice(list_id, music_id);
}

void PhonePanel::ClearList(const std::string& list_id) {
  if (OwnsList(list_id)) devices_.ClearDeviceList(list_id);
}

bool PhonePanel::ForgetWhenGone() {
  if (!connected_ || fs::FolderExists(connected_->card_root)) return false;
  // The card's folder is gone (unmounted, or a configured folder removed): the phone left.
  OnDeviceChanged(std::nullopt);
  return true;
}

void PhonePanel::StartUpdate() {
  if (!DeviceConnected() || ForgetWhenGone()) return;
  const std::string id = device_id_;
  bool saved = false;
  Wait(kUpdatingText, [&] { saved = devices_.SaveDevice(id); });
  if (!saved) SetStatus("更新失败");
  MeasureSpace();
  Redraw();
}

bool PhonePanel::CanSortList(const std::string& list_id) {
  return OwnsList(list_id) && devices_.ListSortState(list_id).has_value();
}

std::string PhonePanel::ListSortColumn(const std::string& list_id) {
  if (!OwnsList(list_id)) return {};
  std::optional<device::PhoneDevices::SortState> state = devices_.ListSortState(list_id);
  return state ? state->column : std::string();
}

bool PhonePanel::SortList(const std::string& list_id, const std::string& attribute) {
  if (!CanSortList(list_id)) return false;
  // The sort commands always sort ascending: a descending list turns round.
  const bool keep_direction = devices_.ListSortState(list_id)->ascending;
  if (!devices_.SortDeviceList(list_id, attribute, keep_direction)) return false;
  StartUpdate();
  return true;
}

bool PhonePanel::CopySongs(const std::string& list_id, const std::vector<store::MusicRecord>& records) {
  if (!OwnsList(list_id)) return false;
  std::vector<std::string> missing;
  for (const store::MusicRecord& record : records) {
    auto it = record.find("fileName");
    if (it == record.end() || it->second.empty()) missing.push_back(NameOf(record));
  }
  if (!missing.empty() && hooks_.confirm_copy && !hooks_.confirm_copy(missing)) return false;
  const std::optional<device::PhoneRoots> roots = devices_.RootsOf(device_id_);
  if (!roots) return false;
  std::vector<device::CopyTask> tasks;
  bool listed = false;
  for (const store::MusicRecord& record : records) {
    auto it = record.find("fileName");
    if (it == record.end() || it->second.empty()) continue;
    if (std::optional<store::MusicRecord> held = devices_.FindSameSong(device_id_, record)) {
      listed = devices_.AddToDeviceList(*held, list_id) || listed;
      continue;
    }
    std::optional<std::string> source = runtime_.library().MusicPath(record);
    if (!source) continue;
    if (std::optional<device::CopyTask> task = device::MakeCopyToDevice(record, *source, *roots, list_id))
      tasks.push_back(std::move(*task));
  }
  const int queued = queue_.Enqueue(std::move(tasks));
  if (listed && queued == 0) StartUpdate();
  return listed || queued > 0;
}

bool PhonePanel::CopyFromPhone(const std::string& target_list_id,
                               const std::vector<store::MusicRecord>& records) {
  if (!DeviceConnected()) return false;
  const std::optional<device::PhoneRoots> roots = devices_.RootsOf(device_id_);
  if (!roots) return false;
  device::CopiesFromDevice plan = device::PlanCopiesFromDevice(
      device_id_, records, *roots, runtime_.library(), runtime_.playlists(),
      runtime_.store().FolderPath("music"), target_list_id);
  if (plan.listed && hooks_.library_changed) hooks_.library_changed(target_list_id);
  return queue_.Enqueue(std::move(plan.tasks)) > 0 || plan.listed;
}

void PhonePanel::FileStarting(const device::CopyTask& task, int index, int total) {
  char text[64];
  std::snprintf(text, sizeof text, "正在复制(%d/%d): ", index, total);
  std::string status = text + NameOf(task.record);
  target_.Post([this, status] {
    copying_ = true;
    SetStatus(status);
    Redraw();
  });
}

void PhonePanel::FileCopied(const device::CopyTask& task) {
  if (task.direction == device::CopyDirection::kFromDevice) {
    target_.Post([this, task] {
      device::AddCopiedSongToLibrary(runtime_.library(), runtime_.playlists(), task);
      if (hooks_.library_changed) hooks_.library_changed(task.list_id);
    });
    return;
  }
  target_.Post([this, task] {
    store::MusicRecord record = task.record;
    record["fileName"] = std::string(store::kFileUrlPrefix) + task.destination;
    // A phone that left meanwhile takes nothing.
    if (OwnsList(task.list_id)) devices_.AddToDeviceList(record, task.list_id);
  });
}

void PhonePanel::FileFailed(const device::CopyTask& task) {
  std::string status = "复制失败: " + NameOf(task.record);
  target_.Post([this, status] {
    SetStatus(status);
    Redraw();
    ForgetWhenGone();
  });
}

void PhonePanel::QueueEmpty() {
  target_.Post([this] {
    const bool failed = status_.rfind("复制失败", 0) == 0;
    if (!failed) SetStatus({});
    copying_ = false;
    StartUpdate();
  });
}

void PhonePanel::RedrawAnimation(int frame) {
  frame_ = frame % 36;
  Redraw();
}

void PhonePanel::OpenRootFolder() {
  if (DeviceConnected() && hooks_.open_folder) hooks_.open_folder(connected_->card_root);
}

void PhonePanel::Draw(gfx::Painter& painter, const gfx::Rect& band) {
  if (!DeviceConnected()) return;
  static const gfx::Font kFont = gfx::Font::Points("宋体", 9);
  const gfx::Color text_color = gfx::Color::Rgb(0x30, 0x30, 0x30);
  painter.FillRect(band, gfx::Color::Rgb(0xEE, 0xF3, 0xF8));
  gfx::TextOptions options;
  options.vertical_center = true;
  options.ellipsize = true;
  const gfx::Rect line{band.left + 6, band.top + 4, band.right - 120, band.top + 22};
  // The copy animation: a dot running along while files copy.
  if (copying_) {
    const int x = band.left + 6 + (frame_ % 12) * 4;
    painter.FillRect(gfx::Rect{x, band.top + 24, x + 3, band.top + 27}, gfx::Color::Rgb(0x3A, 0x8E, 0xE6));
  }
  painter.DrawText(status_.empty() ? std::string(kConnectedText) : status_, kFont, text_color, line, options);
  // The bar is as long as the window is wide less 177 pixels.
  const int bar_length = std::max(0, band.right + 1 - 177);
  const UsedSpace used = MeasureUsedSpace(total_bytes_, free_bytes_, bar_length);
  gfx::TextOptions right = options;
  right.align = gfx::TextAlign::kRight;
  painter.DrawText(used.text, kFont, text_color, gfx::Rect{band.right - 120, band.top + 4, band.right - 6, band.top + 22},
                   right);
  if (minimized_ || band.height() < 50) return;
  const gfx::Rect bar{band.left + 6, band.top + 34, band.left + 6 + bar_length, band.top + 46};
  painter.FillRect(bar, gfx::Color::Rgb(0xD0, 0xD8, 0xE0));
  painter.FillRect(gfx::Rect{bar.left, bar.top, bar.left + used.bar_width, bar.bottom},
                   gfx::Color::Rgb(0x3A, 0x8E, 0xE6));
  painter.DrawText(std::to_string(used.percent) + "%", kFont, text_color,
                   gfx::Rect{bar.right + 6, band.top + 30, band.right - 6, band.top + 50}, options);
}

}  // namespace quillo::ui
