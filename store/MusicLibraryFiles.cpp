// The music library's files: stored-copy names, lyric lookup, filing downloads, local files,
// deleting a song's files and moving a named folder.
#include <algorithm>

#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "store/DeviceListSource.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/SafeNames.h"
#include "store/SongTagAccess.h"
#include "store/PlaylistIndex.h"
#include "store/StoredPath.h"
#include "store/StreamCacheLookup.h"

namespace quillo::store {
namespace {

std::string AttributeOr(const MusicRecord& record, const char* name) {
  auto it = record.find(name);
  return it == record.end() ? std::string() : it->second;
}

// The path up to (not including) its extension's dot; the whole path when it has none.
std::string WithoutExtension(const std::string& path) {
  std::string extension = FileExtension(path);
  return path.substr(0, path.size() - extension.size());
}

bool CopyFileOver(const std::string& from, const std::string& to) {
  std::optional<std::string> bytes = fs::ReadWholeFile(from);
  return bytes && fs::WriteFileAtomic(to, *bytes);
}

}  // namespace

std::string MusicLibrary::MusicFileName(const MusicRecord& record, std::string_view extension,
                                        bool create_folders) {
  return store::MusicFileName(record, extension, create_folders ? store_.FolderPath("music") : std::string());
}

std::optional<std::string> MusicLibrary::MusicPath(const MusicRecord& record) {
  auto lock = store_.Lock();
  std::string file_name = AttributeOr(record, "fileName");
  if (file_name.empty()) return std::nullopt;
  if (text::StartsWith(AttributeOr(record, "id"), "d_")) {
    return devices_ ? devices_->DeviceMusicPath(record) : std::nullopt;
  }
  std::string path = ResolveStoredPath(store_.FolderPath("music"), file_name);
  if (path.empty()) return std::nullopt;
  return path;
}

LyricLocation MusicLibrary::LyricPath(const MusicRecord& record, bool create_folders) {
  auto lock = store_.Lock();
  LyricLocation location;
  std::string lyric_file = AttributeOr(record, "lyric_file");
  if (!lyric_file.empty()) {
    location.path = ResolveStoredPath(store_.FolderPath("lyric"), lyric_file);
    if (!location.path.empty() && fs::FileExists(location.path)) {
      location.found = true;
      return location;
    }
  }
  std::string file_name = AttributeOr(record, "fileName");
  std::string stem;
  if (file_name.empty()) {
    std::string candidate = store_.FolderPath("music") + MusicFileName(record, ".lrc", create_folders);
    stem = WithoutExtension(candidate);
  } else {
    std::string song = ResolveStoredPath(store_.FolderPath("music"), file_name);
    if (song.empty()) return location;
    stem = WithoutExtension(song);
  }
  for (const char* extension : {".lrc", ".mrc"}) {
    location.path = stem + extension;
    if (fs::FileExists(location.path)) {
      location.found = true;
      return location;
    }
  }
  return location;
}

MusicRecord MusicLibrary::CompleteFileNames(MusicRecord record) {
  auto lock = store_.Lock();
  const std::string id = AttributeOr(record, "id");
  if (const SongEntry* entry = Entry(id)) {
    for (const char* attribute : {"fileName", "lyric_file"}) {
      auto stored = entry->record->find(attribute);
      if (stored != entry->record->end()) {
        record[attribute] = stored->second;
      } else {
        record.erase(attribute);
      }
    }
    return record;
  }
  if (stream_cache_ == nullptr) return record;
  if (auto lyric = stream_cache_->CachedLyricPath(id)) record["lyric_file"] = std::string(kFileUrlPrefix) + *lyric;
  if (auto song = stream_cache_->CachedSongPath(id)) record["fileName"] = std::string(kFileUrlPrefix) + *song;
  return record;
}

void MusicLibrary::DeleteStoredCopy(const std::string& path, bool remove_album_folder,
                                    bool remove_artist_folder) {
  fs::RemoveFile(path);
  if (!FileExtension(path).empty()) {
    std::string stem = WithoutExtension(path);
    fs::RemoveFile(stem + ".lrc");
    fs::RemoveFile(stem + ".mrc");
  }
  if (!remove_album_folder) return;
  std::string album_folder = fs::ParentFolder(path);
  if (album_folder.empty()) return;
  // The pictures the download manager fetches keep the service's format (PNG too).
  for (const char* name : {"album.jpg", "album.gif", "album.png", "Thumbs.db"}) fs::RemoveFile(album_folder + name);
  fs::RemoveEmptyFolder(album_folder);
  if (!remove_artist_folder) return;
  std::string artist_folder = fs::ParentFolder(album_folder.substr(0, album_folder.size() - 1));
  if (artist_folder.empty()) return;
  for (const char* name : {"artist.jpg", "artist.gif", "artist.png", "Thumbs.db"}) fs::RemoveFile(artist_folder + name);
  fs::RemoveEmptyFolder(artist_folder);
}

bool MusicLibrary::FileDownloadedMusic(const std::string& music_id,
                                       const std::string& source_path) {
  const std::string extension = FileExtension(fs::BaseName(source_path));
  MusicRecord record;
  std::string music_folder;
  std::string relative;
  SongTagAccess* tags = nullptr;
  {
    auto lock = store_.Lock();
    const SongEntry* entry = Entry(music_id);
    if (entry == nullptr) return false;
    record = *entry->record;
    music_folder = store_.FolderPath("music");
    relative = store::MusicFileName(record, extension, std::string());
    if (FileNameInUse(relative, music_id) || names_being_filed_.count(relative) != 0) {
      // Another song (same artist, album and title) owns that name or is being filed under it:
      // this one gets its id too.
      relative = relative.substr(0, relative.size() - extension.size()) + "-" +
                 SafeFileName(music_id) + extension;
    }
    // Held until the record names the file, so that no other filing picks the name meanwhile.
    names_being_filed_.insert(relative);
    tags = tags_;
  }

  // The file work runs without the store's lock: moving (copying, across file systems) and
  // rewriting the tags of a large song must not hold up the threads that use the store.
  const std::string target = music_folder + relative;
  fs::CreateFolders(fs::ParentFolder(target));
  bool filed = fs::RenamePath(source_path, target);
  if (!filed && CopyFileOver(source_path, target)) {
    filed = true;
    fs::RemoveFile(source_path);
  }
  const std::string lower = text::ToLowerAscii(extension);
  if (filed && tags && (lower == ".mp3" || lower == ".wma")) {
    // The rewrite replaces the file in one step: a crash leaves the untagged copy, never half.
    tags->WriteTags(target, lower,
                    {AttributeOr(record, "name"), AttributeOr(record, "artist_name"),
                     AttributeOr(record, "album_name")});
  }

  // Only now, with the copy in place, does the record name it: a crash before this leaves the
  // song to be downloaded again, never a record pointing at a missing file.
  bool deleted = false;
  {
    auto lock = store_.Lock();
    names_being_filed_.erase(names_being_filed_.find(relative));
    const SongEntry* entry = Entry(music_id);
    if (entry == nullptr) {
      deleted = true;
    } else if (filed) {
      // A music folder moved meanwhile: the copy stays in the old one, named by its full path
      // as the folder move names the songs already there.
      const std::string file_name = store_.FolderPath("music") == music_folder
                                        ? relative
                                        : std::string(kFileUrlPrefix) + target;
      const std::string downloaded(SongStatusText(SongStatus::kDownloaded));
      SetCachedAttribute(music_id, "fileName", file_name);
      SetCachedAttribute(music_id, kSongStatusAttribute, downloaded);
      store_.MarkListsChanged();
    } else {
      const std::string failed(SongStatusText(SongStatus::kFailed));
      SetCachedAttribute(music_id, kSongStatusAttribute, failed);
      store_.MarkListsChanged();
    }
  }
  if (deleted) {
    // The song was deleted while it was being filed: nothing owns the copy any more.
    if (filed) {
      fs::RemoveFile(target);
      fs::RemoveEmptyFolder(fs::ParentFolder(target));
    }
    return false;
  }
  // Unfiled, the download stays where it is: it is the only copy of the song's bytes.
  return filed;
}

std::optional<std::string> MusicLibrary::AddLocalFile(const std::string& path, bool* is_new) {
  if (is_new) *is_new = false;
  const std::string extension = text::ToLowerAscii(FileExtension(fs::BaseName(path)));
  if (extension != ".mp3" && extension != ".wma" && extension != ".mkv") return std::nullopt;
  const std::string id = LocalMusicId(path);
  SongTagAccess* tags_reader = nullptr;
  {
    auto lock = store_.Lock();
    if (Entry(id) != nullptr) {
      lists_.AppendItem(lists_.PlaylistElement(PlaylistIndex::kLocalListId, true), id);
      return id;
    }
    tags_reader = tags_;
  }
  // A record for a file that is not there would only be a dead row in the list.
  if (!fs::FileExists(path)) return std::nullopt;
  // Tags are read without the store's lock: the scanner thread must not hold up the window
  // thread while it reads a file.
  std::optional<SongTags> tags;
  if (tags_reader && extension != ".mkv") tags = tags_reader->ReadTags(path, extension);
  MusicRecord record;
  record["id"] = id;
  record["fileName"] = std::string(kFileUrlPrefix) + path;
  std::string title = tags ? text::Trim(tags->title) : std::string();
  if (title.empty()) {
    std::string base = fs::BaseName(path);
    title = base.substr(0, base.size() - FileExtension(base).size());
  }
  record["name"] = title;
  record["artist_name"] = tags ? text::Trim(tags->artist) : std::string();
  record["album_name"] = tags ? text::Trim(tags->album) : std::string();
  auto lock = store_.Lock();
  if (Entry(id) != nullptr) {
    // Added by another thread meanwhile: as for a known file, only the list changes.
    lists_.AppendItem(lists_.PlaylistElement(PlaylistIndex::kLocalListId, true), id);
    return id;
  }
  if (!AddMusic(record)) return std::nullopt;
  if (is_new) *is_new = true;
  return id;
}

void MusicLibrary::RelocateFolder(const std::string& name, const std::string& new_path) {
  auto lock = store_.Lock();
  const std::string old_path = store_.FolderPath(name);
  if (old_path == new_path || old_path == fs::WithTrailingSlash(new_path)) return;
  const char* attribute = name == "music" ? "fileName" : name == "lyric" ? "lyric_file" : nullptr;
  if (attribute != nullptr) {
    for (const SongEntry& entry : songs_) {
      // A copy: the attribute's change replaces the record the id is read from.
      const std::string id = IdOf(*entry.record);
      const std::string stored = AttributeOr(*entry.record, attribute);
      if (stored.empty() || text::StartsWith(stored, kFileUrlPrefix)) continue;
      std::string absolute = ResolveStoredPath(old_path, stored);
      if (absolute.empty()) continue;  // a name that would leave the folder stays unusable
      std::string rewritten = std::string(kFileUrlPrefix) + absolute;
      SetCachedAttribute(id, attribute, rewritten);
      store_.MarkListsChanged();
    }
  }
  store_.SetConfigText("sorvel.path." + name, new_path);
}

}  // namespace quillo::store
