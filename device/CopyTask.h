#pragma once
// One song to copy between the library and a phone, and the listener that hears how the copy
// queue gets on. Value types; any thread.
#include <optional>
#include <string>
#include <vector>

#include "device/PhoneRoots.h"
#include "store/MusicRecord.h"

namespace quillo::store {
class MusicLibrary;
class Playlists;
}  // namespace quillo::store

namespace quillo::device {

enum class CopyDirection { kToDevice, kFromDevice };

struct CopyTask {
  store::MusicRecord record;
  std::string source;
  std::string destination;
  std::string list_id;
  CopyDirection direction = CopyDirection::kToDevice;
  // The phone's root the destination lies below (copies to a phone): when it is gone the phone
  // was pulled out, and the copy fails rather than create its folders again where the mount
  // was. Empty: no such check.
  std::string destination_root;
};

// The task that copies a library song (whose file is at source_path) into the card's music
// folder, keeping its artist and album folders: its relative fileName when it has one, else the
// library's naming rule (artist/album/title.ext). No value when the name would leave the music
// folder.
std::optional<CopyTask> MakeCopyToDevice(const store::MusicRecord& record,
                                         const std::string& source_path, const PhoneRoots& roots,
                                         const std::string& list_id);

// The task that copies a phone song back into the library's music folder. Its record is the
// library record the song becomes once copied: the phone's id without its device prefix (a song
// that came from the library gets its own id back), status "2" and the stored-copy name the
// naming rules give (with "-<id>" before the extension when another library song owns that
// name). list_id is the list the song joins afterwards, empty for the library alone. No value
// when the song's file is not on the phone or its id has no part after the device prefix.
std::optional<CopyTask> MakeCopyFromDevice(const store::MusicRecord& phone_record,
                                           const PhoneRoots& roots, store::MusicLibrary& library,
                                           const std::string& music_folder,
                                           const std::string& list_id);

// What copying these songs of one phone into the library (and the list, when named) takes:
// the tasks for songs not yet in the library with their file, and whether any song was already
// there (those join the list at once and are not copied again). Songs of other devices, and
// songs MakeCopyFromDevice gives no task for, are skipped. Caller holds no lock.
struct CopiesFromDevice {
  std::vector<CopyTask> tasks;
  bool listed = false;
};
CopiesFromDevice PlanCopiesFromDevice(const std::string& device_id,
                                      const std::vector<store::MusicRecord>& records,
                                      const PhoneRoots& roots, store::MusicLibrary& library,
                                      store::Playlists& playlists,
                                      const std::string& music_folder,
                                      const std::string& list_id);

// Files a song copied from a phone: its record enters the library (a local id joins "local")
// and, when the task names a list, that list. Caller on the thread that may use the store.
void AddCopiedSongToLibrary(store::MusicLibrary& library, store::Playlists& playlists,
                            const CopyTask& task);

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
