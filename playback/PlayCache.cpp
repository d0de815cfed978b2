#include "playback/PlayCache.h"

#include <algorithm>

#include "platform/fs/FileSystem.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"

namespace quillo::playback {

PlayCache::PlayCache(store::DocumentStore& store, store::MusicLibrary& library)
    : store_(store), library_(library) {}

int PlayCache::Limit() const {
  const int limit = store_.GetConfigInt("sorvel.cache.size", kDefaultLimit);
  return limit <= 0 || limit > kMaxLimit ? kDefaultLimit : limit;
}

void PlayCache::Add(const std::string& kind, const std::string& music_id, const std::string& path) {
  const int limit = Limit();  // read before the list's lock: the store has its own
  std::lock_guard lock(mutex_);
  Entry entry{kind, music_id, path};
  auto same = std::find(entries_.begin(), entries_.end(), entry);
  if (same != entries_.end()) {
    entries_.erase(same);
    entries_.push_back(std::move(entry));
    return;
  }
  while (!entries_.empty() && static_cast<int>(entries_.size()) >= limit) {
    fs::RemoveFile(entries_.front().path);
    entries_.erase(entries_.begin());
  }
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
    if (entry.music_id == music_id) files[entry.kind] = entry.path;
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
    if (entry->music_id == music_id && entry->kind == kind) return entry->path;
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
