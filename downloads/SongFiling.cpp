#include "downloads/SongFiling.h"

#include <optional>
#include <vector>

#include "downloads/DownloadPaths.h"
#include "downloads/SongFileEnd.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "service/transfer/TransferRules.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/SafeNames.h"

namespace quillo::downloads {
namespace {

// Enough for the ID3 marker, the ASF header object's GUID and an MPEG frame header.
constexpr std::size_t kSignatureBytes = 16;

}  // namespace

bool SongFiling::File(const std::string& music_id, const std::string& downloaded_path) {
  std::string path = downloaded_path;
  const std::string extension = text::ToLowerAscii(store::FileExtension(fs::BaseName(path)));
  if (!IsSongExtension(extension)) {
    const std::string sniffed = SongExtensionFromBytes(ReadFileHead(path, kSignatureBytes));
    if (!sniffed.empty()) {
      const std::string renamed = path.substr(0, path.size() - extension.size()) + sniffed;
      if (fs::RenamePath(path, renamed)) path = renamed;
    }
  }
  return library_.FileDownloadedMusic(music_id, path);
}

bool SongFiling::EndsWhole(const std::string& downloaded_path) {
  const std::optional<std::string> bytes = fs::ReadWholeFile(downloaded_path);
  return bytes && SongFileEnd::EndsWhole(*bytes);
}

bool SongFiling::TakeLegacyCopy(const std::string& music_id, const std::string& target_path,
                                std::uint64_t total_bytes) {
  if (total_bytes == 0) return false;
  std::optional<store::MusicRecord> record = library_.FindMusic(music_id);
  if (!record) return false;
  const std::string extension = service::UrlExtension(target_path);
  std::vector<std::string> extensions;
  if (IsSongExtension(extension)) {
    extensions = {extension};
  } else {
    extensions = {".mp3", ".wma"};
  }
  const std::string music_folder = store_.FolderPath("music");
  for (const std::string& candidate : extensions) {
    const std::string relative = LegacySongName(*record, candidate);
    if (fs::FileSize(music_folder + relative) != total_bytes) continue;
    // A file another song already counts as its copy is not this song's.
    if (library_.FileNameInUse(relative, music_id)) continue;
    library_.SetMusicAttribute(music_id, "fileName", relative);
    library_.SetSongStatus(music_id, store::SongStatus::kDownloaded);
    return true;
  }
  return false;
}

}  // namespace quillo::downloads
