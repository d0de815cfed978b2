#include "lyrics/LyricFetcher.h"

#include "lyrics/LyricAnalyzer.h"
#include "lyrics/LyricDownloadQueue.h"
#include "lyrics/LyricFileNames.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "playback/Player.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/SafeNames.h"

namespace quillo::lyrics {
namespace {

std::string AttributeOf(const store::MusicRecord& record, const char* name) {
  auto it = record.find(name);
  return it == record.end() ? std::string() : it->second;
}

bool IsTemporaryList(std::string_view list_id) {
  return text::StartsWith(list_id, "t_");
}
bool IsDeviceList(std::string_view list_id) {
  return text::StartsWith(list_id, "d_");
}

bool IsDeviceSong(std::string_view music_id) {
  return text::StartsWith(music_id, "d_");
}

}  // namespace

store::LyricLocation LyricFetcher::FindLyric(const playback::LyricStart& start) {
  const std::string music_id = AttributeOf(start.record, "id");
  if (!IsDeviceSong(music_id) && !IsDeviceList(start.list_id)) {
    return parts_.library.LyricPath(start.record, false);
  }
  // A phone's song: its lyric sits beside it on the phone (written there in GBK, which the
  // decoder reads), never in the library's folders.
  store::LyricLocation location;
  std::string song = start.song_path;
  if (song.empty()) song = parts_.library.MusicPath(start.record).value_or(std::string());
  if (song.empty() || fs::BaseName(song).find('.') == std::string::npos) return location;
  const std::string stem = PathWithoutExtension(song);
  for (const char* extension : {".lrc", ".mrc"}) {
    location.path = stem + extension;
    if (fs::FileExists(location.path)) {
      location.found = true;
      return location;
    }
  }
  return location;
}

void LyricFetcher::ResetLyricViews() {
  if (parts_.reset_views) parts_.reset_views();
}

void LyricFetcher::StartLyrics(const playback::LyricStart& start) {
  LyricAnalyzer& analyzer = parts_.analyzer;
  analyzer.SaveIfChanged(parts_.prompt);
  analyzer.Reset();

  const std::string music_id = AttributeOf(start.record, "id");
  if (music_id.empty()) return;
  const store::LyricLocation lyric = FindLyric(start);
  if (!lyric.found || analyzer.LoadLyric(lyric.path, music_id) != 0) {
    FetchMissing(start, music_id);
    return;
  }
  if (store::IsLocalId(music_id) || IsDeviceList(start.list_id) || IsDeviceSong(music_id)) return;
  const std::string music_path = parts_.library.MusicPath(start.record).value_or(start.song_path);
  if (music_path.empty()) return;
  if (text::EqualsIgnoreCaseAscii(PathWithoutExtension(lyric.path),
                                  PathWithoutExtension(music_path))) {
    analyzer.RefreshCheckedLyric(music_id, parts_.urls.PlaybackLyric(music_id, true).url,
                                 lyric.path);
  }
}

void LyricFetcher::FetchMissing(const playback::LyricStart& start, const std::string& music_id) {
  LyricAnalyzer& analyzer = parts_.analyzer;
  if (IsTemporaryList(start.list_id)) {
    const std::string cache_folder = parts_.store.FolderPath(".cache");
    fs::CreateFolders(cache_folder);
    // The id comes from the service's list: cleaned, it names one file inside the cache folder.
    analyzer.DownloadLyric(music_id, parts_.urls.PlaybackLyric(music_id).url,
                           cache_folder + CleanLyricName(music_id) + ".lrc");
  } else if (IsDeviceList(start.list_id) || IsDeviceSong(music_id)) {
    return;
  } else if (store::IsLocalId(music_id)) {
    const std::string music_path =
        !start.song_path.empty() ? start.song_path
                                 : parts_.library.MusicPath(start.record).value_or(std::string());
    if (music_path.empty()) return;
    std::string name = AttributeOf(start.record, "name");
    const std::string artist = AttributeOf(start.record, "artist_name");
    if (!artist.empty()) name += " - " + artist;
    analyzer.DownloadLyric(music_id, parts_.urls.LyricByName(name).url,
                           PathWithoutExtension(music_path) + ".lrc");
  } else if (parts_.download_queue != nullptr && parts_.download_queue->QueueLyric(music_id)) {
    analyzer.MarkQueued(music_id);
  }
}

void LyricFetcher::ClearLyricView(bool reattach) {
  if (reattach) parts_.analyzer.SaveIfChanged(parts_.prompt);
  parts_.analyzer.Reset();
  if (parts_.clear_views) parts_.clear_views(reattach);
}

bool LyricFetcher::StartSongById(const std::string& music_id, const std::string& title,
                                 const std::string& artist) {
  LyricAnalyzer& analyzer = parts_.analyzer;
  analyzer.SaveIfChanged(parts_.prompt);
  analyzer.Reset();
  const bool playing = parts_.player.PlayStream(parts_.urls.SongStream(music_id).url, music_id,
                                                title + " - " + artist);
  const std::string lyric_folder = parts_.store.FolderPath("lyric");
  fs::CreateFolders(lyric_folder);
  analyzer.DownloadLyric(music_id, parts_.urls.PlaybackLyric(music_id).url,
                         lyric_folder + ArtistTitleLyricName(artist, title));
  return playing;
}

void LyricFetcher::SaveAtClose() {
  parts_.analyzer.SaveIfChanged(parts_.prompt);
}

}  // namespace quillo::lyrics
