#include "app/DownloadFailureNotice.h"

#include "app/AppConstants.h"
#include "store/MusicLibrary.h"
#include "store/SongStatus.h"

namespace quillo::app {
namespace {

std::string AttributeOf(const store::MusicRecord& record, const char* name) {
  auto it = record.find(name);
  return it == record.end() ? std::string() : it->second;
}

}  // namespace

DownloadFailureNotice::DownloadFailureNotice(const store::MusicLibrary& library, Outputs outputs)
    : library_(library), outputs_(std::move(outputs)) {}

std::string DownloadFailureNotice::SongName(const std::string& artist, const std::string& title) {
  return artist.empty() ? title : artist + " - " + title;
}

std::string DownloadFailureNotice::StatusText(const std::string& song_name) {
  return "下载失败：" + song_name;
}

void DownloadFailureNotice::OnSongFinished(const std::string& music_id, bool filed) {
  if (filed) return;
  const std::optional<store::MusicRecord> record = library_.FindMusic(music_id);
  // A paused song ends its transfer too, but goes back to waiting: nothing failed.
  if (record && store::SongStatusOf(*record) != store::SongStatus::kFailed) return;
  std::string title = record ? AttributeOf(*record, "name") : std::string();
  if (title.empty()) title = music_id;
  const std::string name =
      SongName(record ? AttributeOf(*record, "artist_name") : std::string(), title);
  const std::string text = StatusText(name);
  if (outputs_.status_line) outputs_.status_line(text);
  if (outputs_.notify) outputs_.notify(std::string(kProductName), text);
  if (outputs_.report) outputs_.report("download failed: " + name);
}

}  // namespace quillo::app
