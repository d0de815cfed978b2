#include "playback/PlayCache.h"

#include <algorithm>

#include "platform/fs/FileSystem.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"

namespace quillo::playback {

namespace {

// What an earlier run's file in the cache folder is: a finished stream or lyric, or a transfer
// it left unfinished.
struct CacheFile {
  std::string kind;  // empty: not the cache's
  std::string music_id;
  bool unfinished = false;
};

CacheFile Classify(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return {};
  const std::string stem = name.substr(0, dot);
  const std::string extension = name.substr(dot);
  if (extension == ".playpart") return {"", stem, true};
  // A lyric download writes "<id>.lrc.part" and renames it only once it arrived whole.
  if (extension == ".part" && stem.size() > 4 && stem.ends_with(".lrc")) return {"", stem, true};
  if (extension == ".mp3" || extension == ".wma") return {PlayCache::kMusicKind, stem};
  if (extension == ".lrc") return {PlayCache::kLyricKind, stem};
  return {};
}

}  // namespace

PlayCache::PlayCache(store::DocumentStore& store, store::MusicLibrary& library)
    : store_(store), library_(library) {
  EnterEarlierRuns();
}

void PlayCache::EnterEarlierRuns() {
  const std::string folder = store_.FolderPath(".cache");
  std::vector<std::pair<std::int64_t, Entry>> found;
  for (const std::string& name : fs::ListFolder(folder)) {
    const std::string path = folder + name;
    const std::optional<std::int64_t> changed = fs::ModifiedTimeNs(path);
    if (!changed) continue;
    const CacheFile file = Classify(name);
    if (file.unfinished) {
      fs::RemoveFile(path);
    } else if (!file.kind.empty()) {
      found.push_back({*changed, Entry{file.kind, file.music_id, path, /*earlier_run=*/true}});
    }
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  const int limit = Limit();
  std::lock_guard lock(mutex_);
  for (auto& [changed, entry] : found) entries_.push_back(std::move(entry));
  MakeRoom(limit, 0);
}

void PlayCache::MakeRoom(int limit, int room) {
  while (!entries_.empty() && static_cast<int>(entries_.size()) + room > limit) {
    fs::RemoveFile(entries_.front().path);
    entries_.erase(entries_.begin());
  }
}

int PlayCache::Limit() const {
  const int limit = store_.GetConfigInt("sorvel.cache.size", kDefaultLimit);
  return limit <= 0 || limit > kMaxLimit ? kDefaultLimit : limit;
}

void PlayCache::Add(const std::string& kind, const std::string& music_id, const std::string& path) {
  const int limit = Limit();  // read before the list's lock: the store has its own
  std::lock_guard lock(mutex_);
  Entry entry{kind, music_id, path};
  // The same file again (this run's, or one an earlier run left that is now written anew) only
  // becomes the newest.
  auto same = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
    return e.kind == kind && e.music_id == music_id && e.path == path;
  });
  if (same != entries_.end()) {
    entries_.erase(same);
    entries_.push_back(std::move(entry));
    return;
  }
  MakeRoom(limit, 1);
  entries_.push_back(std::move(entry));
}

void PlayCache::Touch(const std::string& music_id) {
  std::lock_guard lock(mutex_);
  std::vector<Entry> kept;
  std::vector<Entry> moved;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const bool last = i + 1 == entries_.size();
    if (entries_[i].music_id == music_id && !last) {
      moved.push_back(std::move(entries_[i]));
    } else {
      kept.push_back(std::move(entries_[i]));
    }
  }
  for (Entry& entry : moved) kept.push_back(std::move(entry));
  entries_ = std::move(kept);
}

std::map<std::string, std::string> PlayCache::FilesFor(const std::string& music_id) const {
  std::lock_guard lock(mutex_);
  std::map<std::string, std::string> files;
  for (const Entry& entry : entries_) {
    if (entry.music_id == music_id && !entry.earlier_run) files[entry.kind] = entry.path;
  }
  return files;
}

void PlayCache::PurgeUnowned() {
  for (const Entry& entry : Entries()) {
    if (!library_.HasMusic(entry.music_id)) fs::RemoveFile(entry.path);
  }
}

std::vector<PlayCache::Entry> PlayCache::Entries() const {
  std::lock_guard lock(mutex_);
  return entries_;
}

std::optional<std::string> PlayCache::PathOf(const std::string& music_id,
                                             const std::string& kind) const {
  std::lock_guard lock(mutex_);
  for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
    if (entry->music_id == music_id && entry->kind == kind && !entry->earlier_run) {
      return entry->path;
    }
  }
  return std::nullopt;
}

std::optional<std::string> PlayCache::CachedSongPath(const std::string& music_id) {
  return PathOf(music_id, kMusicKind);
}

std::optional<std::string> PlayCache::CachedLyricPath(const std::string& music_id) {
  return PathOf(music_id, kLyricKind);
}

}  // namespace quillo::playback
