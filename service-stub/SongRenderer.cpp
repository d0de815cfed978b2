#include "service-stub/SongRenderer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "service-stub/AudioEncoder.h"
#include "service-stub/MelodySynth.h"

namespace quillo::stub {

SongRenderer::SongRenderer(const Catalogue& catalogue, std::string catalogue_folder, int parallel,
                           std::function<void(const std::string&)> note)
    : catalogue_(catalogue),
      folder_(std::move(catalogue_folder)),
      parallel_(std::max(1, parallel)),
      note_(std::move(note)) {}

std::string SongRenderer::AudioPath(const CatalogueSong& song) const {
  return folder_ + Catalogue::AudioFile(song);
}

std::optional<std::string> SongRenderer::Ensure(const CatalogueSong& song, std::string* error) {
  const std::string path = AudioPath(song);
  std::unique_lock lock(mutex_);
  if (auto it = running_.find(song.id); it != running_.end()) {
    // Someone else renders it: wait for that render rather than starting a second one.
    const std::shared_ptr<Render> render = it->second;
    changed_.wait(lock, [&] { return render->done; });
    if (render->ok) return path;
    if (error) *error = render->error;
    return std::nullopt;
  }
  if (fs::FileExists(path)) return path;

  auto render = std::make_shared<Render>();
  running_[song.id] = render;
  changed_.wait(lock, [this] { return busy_ < parallel_; });
  ++busy_;
  ++renders_;
  lock.unlock();
  std::string reason;
  const auto started = std::chrono::steady_clock::now();
  const bool ok = RenderNow(song, &reason);
  if (note_) {
    const auto elapsed_ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - started).count();
    note_(ok ? "rendered song " + song.id + " (" + std::to_string(song.score.duration_ms / 1000) +
                   " s) in " + std::to_string(elapsed_ms) + " ms"
             : "cannot render song " + song.id + ": " + reason);
  }
  lock.lock();
  --busy_;
  render->done = true;
  render->ok = ok;
  render->error = reason;
  running_.erase(song.id);
  changed_.notify_all();
  if (ok) return path;
  if (error) *error = reason;
  return std::nullopt;
}

bool SongRenderer::RenderNow(const CatalogueSong& song, std::string* error) {
  const CatalogueArtist* artist = catalogue_.FindArtist(song.artist_id);
  const CatalogueAlbum* album = catalogue_.FindAlbum(song.album_id);
  const AudioTags tags{song.name, artist ? artist->name : "", album ? album->name : "",
                       song.album_seq};
  const std::string path = AudioPath(song);
  if (!fs::CreateFolders(fs::ParentFolder(path))) {
    if (error) *error = "cannot create the folder of " + path;
    return false;
  }
  return EncodeAudio(RenderMelody(song.score, song.seed), song.format, tags, path, error);
}

std::optional<std::uint64_t> SongRenderer::RenderedSize(const CatalogueSong& song) const {
  // A song being rendered has no file yet (the encoder renames it into place when whole).
  return fs::FileSize(AudioPath(song));
}

bool SongRenderer::RenderAll(int threads, std::string* error) {
  std::atomic<std::size_t> next{0};
  std::atomic<bool> failed{false};
  std::mutex error_mutex;
  std::string first_error;
  auto work = [&] {
    while (!failed) {
      const std::size_t i = next++;
      if (i >= catalogue_.songs().size()) return;
      std::string reason;
      if (!Ensure(catalogue_.songs()[i], &reason)) {
        std::lock_guard guard(error_mutex);
        if (!failed.exchange(true)) first_error = reason;
      }
    }
  };
  std::vector<std::thread> workers;
  for (int t = 0; t < std::max(1, threads); ++t) workers.emplace_back(work);
  for (auto& worker : workers) worker.join();
  if (failed && error) *error = first_error;
  return !failed;
}

int SongRenderer::renders() const {
  std::lock_guard lock(mutex_);
  return renders_;
}

}  // namespace quillo::stub
