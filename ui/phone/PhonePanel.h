#pragma once
// The connected phone as the main window shows it: arrival and removal with the waiting dialogs,
// the phone's lists for the playlist commands, songs dropped on a phone list copied by the copy
// queue with progress, and the panel at the bottom of the main window (device line, used and
// total size, used-space bar, the copy animation).
//
// Threads: everything here runs on the window thread, except the copy queue's reports, which
// arrive on its worker and are posted to the window thread (never sent: the window thread may be
// waiting for the worker in Stop). The store, the loop and the window outlive this object.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/DeviceCopyQueue.h"
#include "device/PhoneDevices.h"
#include "platform/loop/LoopTarget.h"
#include "service/sync/PhoneLists.h"
#include "ui/main/LaterWindows.h"

namespace quillo::store {
class StoreRuntime;
class SongTagAccess;
}  // namespace quillo::store

namespace quillo::ui {

class PhonePanel : public PhonePanelHost,
                   public service::PhoneLists,
                   private device::DeviceCopyListener {
 public:
  static constexpr const char* kReadingText = "正在读取歌曲信息\n请稍候...";
  static constexpr const char* kUpdatingText = "正在更新歌曲信息\n请稍候...";
  static constexpr const char* kConnectedText = "已连接上";

  // What the detector reports: the two mount roots, compared to tell phones apart.
  struct Descriptor {
    std::string card_root;
    std::string phone_root;  // empty: one drive
    bool operator==(const Descriptor&) const = default;
  };

  // What the panel needs of the window and the desktop; each may be left unset (tests).
  struct WindowHooks {
    // Runs the work on a worker thread while the waiting dialog with the text keeps the user
    // out; returns when the work is done.
    std::function<void(const std::string& text, std::function<void()> work)> wait;
    // Asks whether songs not downloaded yet may be skipped; true to go on.
    std::function<bool(const std::vector<std::string>& names)> confirm_copy;
    // A phone arrived or left: the layout and the playlist panel change.
    std::function<void()> phone_changed;
    // The panel's band needs drawing again.
    std::function<void()> redraw;
    std::function<void(const std::string& folder)> open_folder;
    // Each new status text (progress, failures, "" when the queue ran empty), for the log.
    std::function<void(const std::string& status)> report;
    // A song copied from the phone entered the library and the list (empty: the library only).
    std::function<void(const std::string& list_id)> library_changed;
  };

  PhonePanel(loop::MainLoop& loop, store::StoreRuntime& runtime, store::SongTagAccess* tags);
  ~PhonePanel() override;
  PhonePanel(const PhonePanel&) = delete;
  PhonePanel& operator=(const PhonePanel&) = delete;

  void SetWindowHooks(WindowHooks hooks) { hooks_ = std::move(hooks); }

  // A phone arrived (a descriptor) or the connected one left (none). The same phone reported
  // again changes nothing. The copy queue stops first; a phone that leaves is forgotten with its
  // lists (nothing is written to it); a new one is read under the waiting dialog.
  void OnDeviceChanged(const std::optional<Descriptor>& descriptor);
  // The configured folders ("module.device.card_folder", "module.device.phone_folder") as a
  // descriptor, or none when no card folder is configured or it is not a folder.
  static std::optional<Descriptor> ConfiguredDevice(store::StoreRuntime& runtime);

  // Songs dropped on a phone list: not-downloaded ones need the user's word first; songs the
  // phone holds already join the list at once, the others are queued for copying and join it
  // when their file is in place. False when nothing was done.
  bool CopySongs(const std::string& list_id, const std::vector<store::MusicRecord>& records) override;
  // Songs of the phone copied into the library's music folder with the same progress; songs the
  // library holds with their file in place only join the list at once.
  bool CopyFromPhone(const std::string& target_list_id,
                     const std::vector<store::MusicRecord>& records) override;

  const std::optional<Descriptor>& connected() const { return connected_; }
  const std::string& device_id() const { return device_id_; }
  const std::string& status_text() const { return status_; }
  bool copying() const { return copying_; }
  int animation_frame() const { return frame_; }
  device::PhoneDevices& devices() { return devices_; }
  device::DeviceCopyQueue& copy_queue() { return queue_; }
  // Total and free bytes of the card, as last measured.
  std::uint64_t total_bytes() const { return total_bytes_; }
  std::uint64_t free_bytes() const { return free_bytes_; }

  // PhonePanelHost.
  bool TransferRunning() const override { return copying_; }
  void RedrawAnimation(int frame) override;
  bool DeviceConnected() const override;
  void SetMinimized(bool minimized) override { minimized_ = minimized; }
  void Draw(gfx::Painter& painter, const gfx::Rect& band) override;
  void OpenRootFolder() override;

  // service::PhoneLists.
  bool IsConnected() override { return DeviceConnected(); }
  std::vector<store::PlaylistEntry> Lists() override;
  std::string CreateList(const std::string& id_part, const std::string& name) override;
  bool RenameList(const std::string& list_id, const std::string& name) override;
  bool DeleteList(const std::string& list_id) override;
  bool AddSongs(const std::string& list_id, const std::vector<store::MusicRecord>& records) override;
  bool RemoveSong(const std::string& list_id, const std::string& music_id) override;
  bool DeleteSong(const std::string& list_id, const std::string& music_id) override;
  void ClearList(const std::string& list_id) override;
  void StartUpdate() override;
  bool SortList(const std::string& list_id, const std::string& attribute) override;
  bool CanSortList(const std::string& list_id) override;
  std::string ListSortColumn(const std::string& list_id) override;

 private:
  // device::DeviceCopyListener, on the worker thread.
  void CopyStarted() override {}
  void FileStarting(const device::CopyTask& task, int index, int total) override;
  void FileCopied(const device::CopyTask& task) override;
  void FileFailed(const device::CopyTask& task) override;
  void QueueEmpty() override;

  void Wait(const std::string& text, const std::function<void()>& work);
  void SetStatus(std::string status);
  void MeasureSpace();
  void Redraw();
  bool OwnsList(const std::string& list_id) const;
  // When the connected phone's card folder has gone, forgets the phone as a removal does and
  // answers true; nothing is written to it.
  bool ForgetWhenGone();

  store::StoreRuntime& runtime_;
  device::PhoneDevices devices_;
  device::DeviceCopyQueue queue_;
  WindowHooks hooks_;
  std::optional<Descriptor> connected_;
  std::string device_id_;
  std::string status_;
  bool copying_ = false;
  bool minimized_ = false;
  int frame_ = 0;
  std::uint64_t total_bytes_ = 0;
  std::uint64_t free_bytes_ = 0;
  // Declared last, so it goes first: no posted report runs once the panel is going.
  loop::LoopTarget target_;
};

}  // namespace quillo::ui
