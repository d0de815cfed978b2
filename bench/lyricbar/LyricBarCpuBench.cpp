// lyricbar_cpu_bench: the CPU share of playing a song with the desktop lyric bar shown in
// karaoke mode (run under xvfb-run): the real media player plays an MP3 of quillo-service's
// catalogue in real time to a clocked fakesink, the analyzer holds the song's lyric (its
// karaoke script when it has one), and the bar follows them on the toolkit's 40 ms timer.
// getrusage over the whole process, once without the bar and once with it.
// Target: under 3 % of one core with the bar, playback included. Measured at 1920 x 1080 on the
// two-core machine, otherwise quiet: playing alone 1.22-1.35 %, with the bar 2.21-2.28 %.
// Usage: lyricbar_cpu_bench [--seconds S] [--karaoke off]  (off: the bar without colouring, to
// tell the cost of following the player from the cost of the karaoke frames)
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "LyricBarBenchSupport.h"
#include "lyrics/LyricAnalyzer.h"
#include "platform/http/CurlHttpTransport.h"
#include "platform/media/GstMediaGraphFactory.h"
#include "playback/MediaPlayer.h"
#include "service/transfer/SafeDownloader.h"
#include "store/StoreRuntime.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"
#include "ui/lyricviews/CLyricBar.h"

namespace {
using namespace quillo;
using Clock = std::chrono::steady_clock;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the loop for the time and answers the CPU share in percent of one core. The loop runs
// as the program's does, waking only for its own sources (a test pump would add a ticker).
double Share(loop::MainLoop& loop, double seconds) {
  const double cpu_before = CpuSeconds();
  const auto wall_before = Clock::now();
  const unsigned stop = loop.StartTimer(std::chrono::milliseconds(static_cast<int>(seconds * 1000)),
                                        [&loop] { loop.Quit(); });
  loop.Run();
  loop.StopTimer(stop);
  const double wall = std::chrono::duration<double>(Clock::now() - wall_before).count();
  return (CpuSeconds() - cpu_before) / wall * 100;
}
}  // namespace

int main(int argc, char** argv) {
  double seconds = 20;
  bool karaoke = true;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::string(argv[i]) == "--seconds") seconds = std::atof(argv[i + 1]);
    if (std::string(argv[i]) == "--karaoke") karaoke = std::string(argv[i + 1]) != "off";
  }
  setenv("QUILLO_AUDIO_SINK", "fakesink sync=true", 1);
  ui::UiRuntime* ui_runtime = bench::BenchRuntime();
  if (!ui_runtime) {
    std::fprintf(stderr, "needs DISPLAY (run under xvfb-run)\n");
    return 1;
  }
  testing::ServiceProcess service;
  if (!service.Start()) {
    std::fprintf(stderr, "quillo-service: %s\n", service.error().c_str());
    return 1;
  }
  const testing::ServiceSong* song = nullptr;
  const std::vector<testing::ServiceSong> catalogue = service.Catalogue();
  for (const auto& candidate : catalogue) {
    if (candidate.format != "mp3" || candidate.duration_ms < (seconds + 5) * 1000) continue;
    if (candidate.karaoke && !candidate.karaoke_file.empty()) {
      song = &candidate;
      break;
    }
    if (!song && candidate.lyric != "none") song = &candidate;
  }
  if (!song) {
    std::fprintf(stderr, "no MP3 with a lyric that plays %.0f s\n", seconds + 5);
    return 1;
  }
  const std::string lyric = song->karaoke ? song->karaoke_file : song->lyric_file;

  testing::TempFolder data;
  store::StoreRuntime runtime(data.path());
  runtime.Open(false);
  loop::MainLoop& loop = ui_runtime->loop();
  http::CurlHttpTransport transport(data.path() + "cookies.txt");
  service::SafeDownloader downloader(loop, transport);
  audio::GstMediaGraphFactory graphs;
  playback::MediaPlayer player(
      playback::MediaPlayer::Services{loop, graphs, downloader, runtime.store(), nullptr, nullptr});
  lyrics::LyricAnalyzer analyzer;
  if (analyzer.LoadLyric(lyric, song->id) != 0) {
    std::fprintf(stderr, "cannot load %s\n", lyric.c_str());
    return 1;
  }
  std::printf("song %s: %.1f s, lyric %s (%zu lines)\n", song->id.c_str(),
              song->duration_ms / 1000.0, song->karaoke ? "karaoke" : "LRC",
              analyzer.document().timeline.size());

  player.PlayFile(song->audio_file, song->id, song->name);
  loop.PumpUntil([] { return false; }, std::chrono::milliseconds(1000));  // settle
  const double half = seconds / 2;
  const double without_bar = Share(loop, half);

  bench::IdleLyricHost host;
  testing::FakePlaySurface play;
  runtime.store().SetConfigText("window.lyricbar.karamode", karaoke ? "true" : "false");
  auto bar = std::make_unique<ui::CLyricBar>(
      ui::LyricViewParts{runtime.store(), runtime.playlists(), analyzer, player, play, host});
  if (!bar->Open()) return 1;
  loop.PumpUntil([] { return false; }, std::chrono::milliseconds(500));
  const int presents_before = bar->present_count();
  const int renders_before = bar->canvas().render_count();
  const double with_bar = Share(loop, half);
  std::printf("playing without the bar: %.2f %% of one core over %.1f s\n", without_bar, half);
  std::printf(
      "playing with the bar, karaoke %s: %.2f %% of one core over %.1f s (target < 3 %%); "
      "%d frames presented, %d lines drawn\n",
      karaoke ? "on" : "off", with_bar, half, bar->present_count() - presents_before,
      bar->canvas().render_count() - renders_before);
  bar.reset();
  player.Stop();
  downloader.Shutdown();
  runtime.Close();
  return 0;
}
