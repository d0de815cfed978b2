// playback_bench: whole-player timings over the real graphs and quillo-service on loopback.
//  1. first audio: from the moment the buffering threshold's bytes are on disk (the first build
//     begins in that data callback) to the first PCM buffer at the tap in front of the sink;
//     target under 150 ms;
//  2. rebuild silence: a song streamed a little faster than it plays (each snapshot end finds
//     new data), played in real time to a clocked fakesink; for every rebuild the time from the
//     old graph's end to the new graph's first PCM;
//  3. CPU share of playing an MP3 in real time with the spectrum updated 25 times a second
//     (getrusage over the whole process); target under 3 % of one core.
// Usage: playback_bench [--runs N] [--cpu-seconds S]
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/http/CurlHttpTransport.h"
#include "platform/loop/MainLoop.h"
#include "platform/media/GstMediaGraphFactory.h"
#include "playback/MediaPlayer.h"
#include "playback/PlayCache.h"
#include "playback/player/RecordingGraphFactory.h"
#include "service/transfer/SafeDownloader.h"
#include "store/StoreRuntime.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"

namespace {

using namespace quillo;
namespace qt = quillo::testing;

// Notes the states the player reports.
class StateListener : public playback::PlayerListener {
 public:
  void OnPlayerNotification(const playback::PlayerNotification& n) override {
    if (const auto* changed = std::get_if<playback::StateChanged>(&n)) {
      states.push_back(static_cast<int>(changed->state));
    }
  }
  bool HasState(playback::PlayerState state) const {
    return std::find(states.begin(), states.end(), static_cast<int>(state)) != states.end();
  }
  std::vector<int> states;
};
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Bench {
  qt::TempFolder data;
  store::StoreRuntime runtime{data.path()};
  loop::MainLoop loop;
  std::unique_ptr<http::CurlHttpTransport> transport;
  std::unique_ptr<service::SafeDownloader> downloader;
  audio::GstMediaGraphFactory real_graphs;
  qt::RecordingGraphFactory graphs{real_graphs};
  std::unique_ptr<playback::PlayCache> cache;

  Bench() {
    runtime.Open(false);
    transport = std::make_unique<http::CurlHttpTransport>(data.path() + "cookies.txt");
    downloader = std::make_unique<service::SafeDownloader>(loop, *transport);
    cache = std::make_unique<playback::PlayCache>(runtime.store(), runtime.library());
  }
  ~Bench() {
    downloader->Shutdown();
    runtime.Close();
  }
  std::unique_ptr<playback::MediaPlayer> Player() {
    return std::make_unique<playback::MediaPlayer>(playback::MediaPlayer::Services{
        loop, graphs, *downloader, runtime.store(), &runtime.library(), cache.get()});
  }
  // Pumps the loop, polling the newest graph's tap between events, until done or timeout.
  bool Run(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
      graphs.Poll();
      if (done()) return true;
      loop.PumpPending();
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return done();
  }
};

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  double cpu_seconds = 15;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::string(argv[i]) == "--runs") runs = std::atoi(argv[i + 1]);
    if (std::string(argv[i]) == "--cpu-seconds") cpu_seconds = std::atof(argv[i + 1]);
  }
  setenv("QUILLO_AUDIO_SINK", "fakesink sync=true", 1);
  qt::ServiceProcess service;
  if (!service.Start()) {
    std::fprintf(stderr, "quillo-service: %s\n", service.error().c_str());
    return 1;
  }
  std::vector<qt::ServiceSong> catalogue = service.Catalogue();
  const qt::ServiceSong* song = nullptr;
  for (const auto& candidate : catalogue) {
    if (candidate.format == "mp3" && (song == nullptr || candidate.size > song->size))
      song = &candidate;
  }
  if (song == nullptr) return 1;
  const std::string url = service.base_url() + "music/download_shiting.php?id=" + song->id;
  std::printf("song %s: %lld bytes, %.1f s\n", song->id.c_str(), static_cast<long long>(song->size),
              song->duration_ms / 1000.0);

  Bench bench;
  // 1. First audio after the threshold.
  std::vector<double> first_audio;
  for (int run = 0; run < runs; ++run) {
    auto player = bench.Player();
    StateListener listener;
    player->AddListener(listener);
    const std::size_t before = bench.graphs.notes.size();
    player->PlayStream(url, song->id + "", song->name);
    bool ok = bench.Run(
        [&] {
          return bench.graphs.notes.size() > before &&
                 bench.graphs.notes[before]->first_pcm_at != Clock::time_point{};
        },
        std::chrono::seconds(20));
    if (ok) {
      const auto& note = *bench.graphs.notes[before];
      first_audio.push_back(Ms(note.first_pcm_at - note.build_started_at));
    }
    player->Stop();
    player->RemoveListener(listener);
    bench.loop.PumpPending();
  }
  std::sort(first_audio.begin(), first_audio.end());
  if (!first_audio.empty()) {
    std::printf(
        "first audio after the threshold: median %.1f ms, max %.1f ms over %zu runs (target < 150 "
        "ms)\n",
        first_audio[first_audio.size() / 2], first_audio.back(), first_audio.size());
  }

  // 2. Rebuild silence: download 25 % faster than the song plays.
  {
    const double bytes_per_second =
        song->duration_ms > 0 ? song->size * 1000.0 / song->duration_ms * 1.25 : 20000;
    service.AddFault("path=/music/download_shiting.php&kind=throttle&bytes_per_second=" +
                     std::to_string(static_cast<long long>(bytes_per_second)));
    auto player = bench.Player();
    StateListener listener;
    player->AddListener(listener);
    const std::size_t before = bench.graphs.notes.size();
    player->PlayStream(url, song->id, song->name);
    bench.Run(
        [&] {
          return listener.HasState(playback::PlayerState::kFinished) ||
                 listener.HasState(playback::PlayerState::kFailed);
        },
        std::chrono::seconds(song->duration_ms / 1000 + 60));
    for (std::size_t i = before + 1; i < bench.graphs.notes.size(); ++i) {
      const auto& old_note = *bench.graphs.notes[i - 1];
      const auto& note = *bench.graphs.notes[i];
      if (old_note.ended_at == Clock::time_point{} || note.first_pcm_at == Clock::time_point{}) {
        std::printf("rebuild %zu: snapshot %llu bytes (no end or no audio seen)\n", i - before,
                    static_cast<unsigned long long>(note.snapshot_bytes));
        continue;
      }
      std::printf(
          "rebuild %zu: snapshot %llu bytes, resumed at %.3f s, silence %.1f ms (build to audio "
          "%.1f ms)\n",
          i - before, static_cast<unsigned long long>(note.snapshot_bytes),
          note.seeks_s.empty() ? 0.0 : note.seeks_s.front(),
          Ms(note.first_pcm_at - old_note.ended_at), Ms(note.first_pcm_at - note.build_started_at));
    }
    player->RemoveListener(listener);
    service.ClearFaults();
  }

  // 3. CPU share with the spectrum at 25 updates a second, playing the cached file.
  {
    auto entries = bench.cache->Entries();
    std::string file = entries.empty() ? song->audio_file : entries.back().path;
    auto player = bench.Player();
    player->PlayFile(file, song->id, song->name);
    bench.loop.PumpUntil([] { return false; }, std::chrono::milliseconds(500));  // settle
    const double cpu_before = CpuSeconds();
    const auto wall_before = Clock::now();
    const auto until = wall_before + std::chrono::duration<double>(cpu_seconds);
    auto next = wall_before;
    while (Clock::now() < until) {
      player->UpdateSpectrum();
      next += std::chrono::milliseconds(40);
      bench.loop.PumpUntil([&] { return Clock::now() >= next; }, std::chrono::milliseconds(40));
    }
    const double cpu = CpuSeconds() - cpu_before;
    const double wall = std::chrono::duration<double>(Clock::now() - wall_before).count();
    std::printf(
        "cpu while playing with the spectrum at 25/s: %.2f %% of one core over %.1f s (target < 3 "
        "%%)\n",
        cpu / wall * 100, wall);
    player->Stop();
  }
  return 0;
}
