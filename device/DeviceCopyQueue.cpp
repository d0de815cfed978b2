#include "device/DeviceCopyQueue.h"

#include <cstdio>
#include <memory>

#include "platform/fs/FileSystem.h"
#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"
#include "store/SafeNames.h"
#include "store/StoredPath.h"

namespace quillo::device {
namespace {

constexpr std::string_view kPartSuffix = ".quillo-part";
constexpr std::size_t kBlockBytes = 256 * 1024;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string WithoutExtension(const std::string& path) {
  return path.substr(0, path.size() - store::FileExtension(fs::BaseName(path)).size());
}

// Copies a companion file: to the phone it replaces what is there, from the phone it does not.
void CopyCompanion(const std::string& from, const std::string& to, bool replace) {
  if (!fs::FileExists(from) || (!replace && fs::PathExists(to))) return;
  DeviceCopyQueue::CopyFile(from, to);
}

}  // namespace

std::optional<CopyTask> MakeCopyToDevice(const store::MusicRecord& record,
                                         const std::string& source_path, const PhoneRoots& roots,
                                         const std::string& list_id) {
  auto it = record.find("fileName");
  std::string relative;
  if (it != record.end() && !text::StartsWith(it->second, store::kFileUrlPrefix)) relative = it->second;
  if (relative.empty()) relative = store::MusicFileName(record, store::FileExtension(fs::BaseName(source_path)));
  if (!store::IsContainedRelativeName(relative)) return std::nullopt;
  return CopyTask{record, source_path, roots.MusicFolder() + relative, list_id,
                  CopyDirection::kToDevice, roots.card_root()};
}

DeviceCopyQueue::~DeviceCopyQueue() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
    tasks_.clear();
    cancel_ = true;
  }
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void DeviceCopyQueue::SetListener(DeviceCopyListener* listener) {
  std::lock_guard lock(mutex_);
  listener_ = listener;
}

int DeviceCopyQueue::Enqueue(std::vector<CopyTask> tasks) {
  int queued = 0;
  {
    std::lock_guard lock(mutex_);
    for (CopyTask& task : tasks) {
      if (task.source.empty() || task.destination.empty() || !fs::FileExists(task.source)) continue;
      bool pending = false;
      for (const CopyTask& other : tasks_) {
        pending = pending || (other.source == task.source && other.destination == task.destination);
      }
      if (pending) continue;
      tasks_.push_back(std::move(task));
      ++total_;
      ++queued;
    }
    if (queued > 0 && !worker_.joinable()) worker_ = std::thread([this] { Run(); });
  }
  if (queued > 0) wake_.notify_all();
  return queued;
}

void DeviceCopyQueue::Clear() {
  std::lock_guard lock(mutex_);
  total_ -= static_cast<int>(tasks_.size());
  tasks_.clear();
}

void DeviceCopyQueue::Stop() {
  std::unique_lock lock(mutex_);
  total_ -= static_cast<int>(tasks_.size());
  tasks_.clear();
  cancel_ = true;
  idle_.wait(lock, [this] { return !copying_ && tasks_.empty(); });
  cancel_ = false;
}

bool DeviceCopyQueue::Busy() const {
  std::lock_guard lock(mutex_);
  return copying_ || !tasks_.empty();
}

void DeviceCopyQueue::WaitUntilIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return !copying_ && tasks_.empty(); });
}

bool DeviceCopyQueue::CopyFile(const std::string& source, const std::string& destination,
                               const std::atomic<bool>* cancel) {
  const std::string part = destination + std::string(kPartSuffix);
  bool ok = false;
  {
    FilePtr in(std::fopen(source.c_str(), "rb"));
    FilePtr out(in ? std::fopen(part.c_str(), "wb") : nullptr);
    if (in && out) {
      std::vector<char> block(kBlockBytes);
      ok = true;
      while (ok) {
        if (cancel && cancel->load()) {
          ok = false;
          break;
        }
        std::size_t got = std::fread(block.data(), 1, block.size(), in.get());
        if (got > 0 && std::fwrite(block.data(), 1, got, out.get()) != got) ok = false;
        if (got < block.size()) {
          if (std::ferror(in.get())) ok = false;
          break;
        }
      }
      // A full card or a pulled cable often shows only when the buffers are written out.
      if (std::fflush(out.get()) != 0) ok = false;
      if (std::fclose(out.release()) != 0) ok = false;
    }
  }
  if (ok && fs::RenamePath(part, destination)) return true;
  fs::RemoveFile(part);
  return false;
}

void DeviceCopyQueue::CopyCompanions(const CopyTask& task) {
  const bool to_device = task.direction == CopyDirection::kToDevice;
  const std::string source_folder = fs::ParentFolder(task.source);
  const std::string destination_folder = fs::ParentFolder(task.destination);
  const std::string lyric_source = WithoutExtension(task.source) + ".lrc";
  const std::string lyric_destination = WithoutExtension(task.destination) + ".lrc";
  CopyCompanion(lyric_source, lyric_destination, to_device);
  if (to_device && fs::FileExists(lyric_source)) {
    // The phone's player reads lyrics in GBK.
    if (std::optional<std::string> bytes = fs::ReadWholeFile(lyric_destination)) {
      std::string_view utf8 = *bytes;
      if (text::StartsWith(utf8, "\xEF\xBB\xBF")) utf8.remove_prefix(3);
      fs::WriteFile(lyric_destination, text::Utf8ToGbk(utf8));
    }
  }
  CopyCompanion(source_folder + "album.jpg", destination_folder + "album.jpg", to_device);
  const std::string source_parent = fs::ParentFolder(source_folder.substr(0, source_folder.size() - 1));
  const std::string destination_parent =
      fs::ParentFolder(destination_folder.substr(0, destination_folder.size() - 1));
  if (!source_parent.empty() && !destination_parent.empty()) {
    CopyCompanion(source_parent + "artist.jpg", destination_parent + "artist.jpg", to_device);
  }
}

void DeviceCopyQueue::Run() {
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait(lock, [this] { return quit_ || !tasks_.empty(); });
    if (quit_) return;
    CopyTask task = std::move(tasks_.front());
    tasks_.pop_front();
    copying_ = true;
    DeviceCopyListener* listener = listener_;
    const bool report_start = !started_reported_;
    started_reported_ = true;
    const int index = ++done_;
    const int total = total_;
    lock.unlock();

    if (listener && report_start) listener->CopyStarted();
    const bool root_there = task.destination_root.empty() || fs::FolderExists(task.destination_root);
    if (root_there) fs::CreateFolders(fs::ParentFolder(task.destination));
    if (listener) listener->FileStarting(task, index, total);
    const bool copied = root_there && !cancel_ && CopyFile(task.source, task.destination, &cancel_);
    if (copied) CopyCompanions(task);
    if (listener) copied ? listener->FileCopied(task) : listener->FileFailed(task);

    lock.lock();
    listener = listener_;
    if (tasks_.empty()) {
      done_ = 0;
      total_ = 0;
      started_reported_ = false;
      lock.unlock();
      if (listener) listener->QueueEmpty();
      lock.lock();
      // Idle only now, so a waiter sees every report of the batch delivered.
      if (tasks_.empty()) {
        copying_ = false;
        idle_.notify_all();
      }
    }
  }
}

}  // namespace quillo::device
