#pragma once
// One song to copy between the library and a phone, and the listener that hears how the copy
// queue gets on. Value types; any thread.
#include <optional>
#include <string>

#include "device/PhoneRoots.h"
#include "store/MusicRecord.h"

namespace quillo::device {

enum class CopyDirection { kToDevice, kFromDevice };

struct CopyTask {
  store::MusicRecord record;
  std::string source;
  std::string destination;
  std::string list_id;
  CopyDirection direction = CopyDirection::kToDevice;
};

// The task that copies a library song (whose file is at source_path) into the card's music
// folder, keeping its artist and album folders: its relative fileName when it has one, else the
// library's naming rule (artist/album/title.ext). No value when the name would leave the music
// folder.
std::optional<CopyTask> MakeCopyToDevice(const store::MusicRecord& record,
                                         const std::string& source_path, const PhoneRoots& roots,
                                         const std::string& list_id);

// Hears the copy queue. Called on the queue's worker thread, one call at a time and in this
// order per batch: CopyStarted, then per task FileStarting and FileCopied or FileFailed, and
// QueueEmpty when nothing is left. A listener that must reach the window thread posts or sends
// there itself. Must outlive the queue (or be detached with SetListener(nullptr) first).
class DeviceCopyListener {
 public:
  virtual ~DeviceCopyListener() = default;
  virtual void CopyStarted() = 0;
  // index counts from 1 within the tasks queued since the queue last ran empty.
  virtual void FileStarting(const CopyTask& task, int index, int total) = 0;
  virtual void FileCopied(const CopyTask& task) = 0;
  virtual void FileFailed(const CopyTask& task) = 0;
  virtual void QueueEmpty() = 0;
};

}  // namespace quillo::device
