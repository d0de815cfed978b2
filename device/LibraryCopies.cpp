// Songs copied from a phone back into the library: the task that copies one and the filing of
// its record once the file is in place.
#include "device/CopyTask.h"
#include "device/DeviceIds.h"
#include "device/PhoneDevices.h"
#include "platform/fs/FileSystem.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/SafeNames.h"
#include "store/SongStatus.h"
#include "store/StoredPath.h"

namespace quillo::device {
namespace {

// The id a phone song has in the library: the part after "d_<device>_".
std::string LibraryIdOf(const std::string& phone_id) {
  if (phone_id.rfind("d_", 0) != 0) return phone_id;
  const std::size_t separator = phone_id.find('_', 2);
  return separator == std::string::npos ? std::string() : phone_id.substr(separator + 1);
}

}  // namespace

std::optional<CopyTask> MakeCopyFromDevice(const store::MusicRecord& phone_record,
                                           const PhoneRoots& roots, store::MusicLibrary& library,
                                           const std::string& music_folder,
                                           const std::string& list_id) {
  std::optional<std::string> source = PhoneDevices::SongPath(roots, phone_record);
  const std::string id = LibraryIdOf(store::IdOf(phone_record));
  if (!source || id.empty() || music_folder.empty()) return std::nullopt;
  const std::string extension = store::FileExtension(fs::BaseName(*source));
  std::string relative = store::MusicFileName(phone_record, extension);
  // Never copy over the stored copy of another song of the library.
  if (library.FileNameInUse(relative, id)) {
    relative = relative.substr(0, relative.size() - extension.size()) + "-" +
               store::SafeFileName(id) + extension;
  }
  if (!store::IsContainedRelativeName(relative)) return std::nullopt;
  store::MusicRecord record = phone_record;
  record["id"] = id;
  record["fileName"] = relative;
  record[store::kSongStatusAttribute] = "2";
  return CopyTask{std::move(record), *source, store::ResolveStoredPath(music_folder, relative),
                  list_id, CopyDirection::kFromDevice, {}};
}

CopiesFromDevice PlanCopiesFromDevice(const std::string& device_id,
                                      const std::vector<store::MusicRecord>& records,
                                      const PhoneRoots& roots, store::MusicLibrary& library,
                                      store::Playlists& playlists,
                                      const std::string& music_folder,
                                      const std::string& list_id) {
  CopiesFromDevice plan;
  for (const store::MusicRecord& record : records) {
    if (DeviceIdOf(store::IdOf(record)) != device_id) continue;
    std::optional<CopyTask> task =
        MakeCopyFromDevice(record, roots, library, music_folder, list_id);
    if (!task) continue;
    // Already in the library with its file: no second copy.
    const std::string& id = store::IdOf(task->record);
    if (std::optional<store::MusicRecord> known = library.FindMusic(id)) {
      std::optional<std::string> path = library.MusicPath(*known);
      if (path && fs::FileExists(*path)) {
        if (!list_id.empty()) playlists.AddItem(list_id, id);
        plan.listed = true;
        continue;
      }
    }
    plan.tasks.push_back(std::move(*task));
  }
  return plan;
}

void AddCopiedSongToLibrary(store::MusicLibrary& library, store::Playlists& playlists,
                            const CopyTask& task) {
  if (!library.AddMusic(task.record)) return;
  if (!task.list_id.empty()) playlists.AddItem(task.list_id, store::IdOf(task.record));
}

}  // namespace quillo::device
