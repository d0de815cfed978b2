// Whole-process timings of the program with its main window, on the display of DISPLAY:
//  - start: from starting `quillo` to the main window drawn with the library shown, over a data
//    folder of 100,000 songs (target under 1 s);
//  - idle: the CPU share of the shown, idle window over ten seconds (target under 1% of a core);
//  - the idle program's resident memory;
//  - after the playing figure, the start and the idle memory once more with the music centre
//    and the lyric views closed (as the peer bench measures the program);
//  - playing: the CPU share while a 128 kbit/s MP3 plays with the window shown, its spectrum
//    drawn, and the desktop lyric bar colouring the song's lyric in karaoke mode (to a fake sink
//    that keeps real time), over ten seconds (target under 3% of a core). The song is made with
//    ffmpeg; without it this figure is left out.
// Usage: window_start_bench [SONGS] (default 100000). Needs a display (Xvfb will do).
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "app/ChildProcess.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"

namespace {

using namespace std::chrono;

constexpr const char* kSyllables[] = {"周", "杰",   "伦",  "林",    "俊",   "晴", "天", "江",
                                      "南", "Blue", "Sky", "Night", "Road", "海", "阔", "空"};

std::string RandomName(std::mt19937& random, int parts) {
  std::string name;
  for (int i = 0; i < parts; ++i) name += kSyllables[random() % std::size(kSyllables)];
  return name;
}

// Ticks of user and system time the process has used.
// VmRSS of the process, in MB; 0 when it cannot be read.
double ResidentMegabytes(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

long CpuTicks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  long utime = 0, stime = 0;
  for (int i = 3; fields >> field; ++i) {
    if (i == 14) utime = std::stol(field);
    if (i == 15) {
      stime = std::stol(field);
      break;
    }
  }
  return utime + stime;
}

}  // namespace

int main(int argc, char** argv) {
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') {
    std::fprintf(stderr, "window_start_bench: needs a display (DISPLAY)\n");
    return 2;
  }
  const int songs = argc > 1 ? std::atoi(argv[1]) : 100000;
  quillo::testing::TempFolder folder;
  const std::string data = folder / "data/";
  {
    quillo::store::StoreRuntime runtime(data);
    runtime.Open(false);
    std::mt19937 random(7);
    for (int i = 0; i < songs; ++i) {
      runtime.library().AddMusic({{"id", std::to_string(1000000 + i)},
                                  {"name", RandomName(random, 3)},
                                  {"artist_name", RandomName(random, 2)},
                                  {"album_name", RandomName(random, 2)},
                                  {"album_id", std::to_string(i / 10)}});
    }
    runtime.Close();
  }
  std::map<std::string, std::string> environment{
      {"XDG_DATA_HOME", folder / "xdg-data/"},
      {"XDG_CONFIG_HOME", folder / "xdg-config/"},
      {"XDG_RUNTIME_DIR", folder.path()},
      {"QUILLO_AUDIO_SINK", "fakesink sync=true"},
      {"QUILLO_SERVICE_EXECUTABLE", "/nonexistent"},
      {"NO_AT_BRIDGE", "1"}};
  // QUILLO_STARTUP_TIMELINE=1 prints the program's start-up phases too.
  const bool timeline = std::getenv("QUILLO_STARTUP_TIMELINE") != nullptr;
  if (timeline) environment["QUILLO_STARTUP_TIMELINE"] = "1";
  const auto started = steady_clock::now();
  quillo::testing::ChildProcess program(QUILLO_EXECUTABLE, {"--data-dir", data}, environment);
  if (!program.WaitForLine("main window shown", 60s)) {
    std::fprintf(stderr, "window_start_bench: no window: %s\n", program.error_text().c_str());
    return 1;
  }
  const double start_ms = duration<double, std::milli>(steady_clock::now() - started).count();
  program.WaitForLine("ready", 30s);
  std::string rows = "?";
  for (const std::string& line : program.lines())
    if (line.rfind("song list: ", 0) == 0) rows = line;
  std::this_thread::sleep_for(2s);
  const long ticks_per_s = sysconf(_SC_CLK_TCK);
  const long before = CpuTicks(program.pid());
  const auto idle_from = steady_clock::now();
  std::this_thread::sleep_for(10s);
  const long after = CpuTicks(program.pid());
  const double idle_s = duration<double>(steady_clock::now() - idle_from).count();
  const double idle_share = 100.0 * (after - before) / ticks_per_s / idle_s;
  std::printf("songs in the data folder: %d (%s)\n", songs, rows.c_str());
  if (timeline) std::printf("%s", program.error_text().c_str());
  std::printf("start to main window shown: %.0f ms (target < 1000 ms)\n", start_ms);
  std::printf("idle window CPU: %.2f%% of a core over %.0f s (target < 1%%)\n", idle_share, idle_s);
  std::printf("resident memory of the idle program: %.0f MB\n", ResidentMegabytes(program.pid()));

  const std::string song = folder / "bench-song.mp3";
  const std::string make =
      "ffmpeg -loglevel error -f lavfi -i 'sine=frequency=440:duration=120' "
      "-b:a 128k -y '" +
      song + "' </dev/null >/dev/null 2>&1";
  {
    // The song's lyric beside it, a line every two seconds: the bar has something to colour.
    std::ofstream lyric(folder / "bench-song.lrc");
    for (int second = 0; second < 120; second += 2) {
      char tag[16];
      std::snprintf(tag, sizeof tag, "[%02d:%02d.00]", second / 60, second % 60);
      lyric << tag << "第" << second / 2 + 1 << "句 歌词在桌面上一个字一个字地唱过去\n";
    }
  }
  if (std::system(make.c_str()) == 0) {
    quillo::testing::ChildProcess second(QUILLO_EXECUTABLE, {"--data-dir", data, song},
                                         environment);
    second.Wait(30s);
    if (program.WaitForLine("window: file added and played", 30s)) {
      std::this_thread::sleep_for(2s);
      const long play_before = CpuTicks(program.pid());
      const auto play_from = steady_clock::now();
      std::this_thread::sleep_for(10s);
      const long play_after = CpuTicks(program.pid());
      const double play_s = duration<double>(steady_clock::now() - play_from).count();
      std::printf(
          "playing with the window, the spectrum and the karaoke lyric bar shown CPU: %.2f%% of a "
          "core over %.0f s (target < 3%%)\n",
          100.0 * (play_after - play_before) / ticks_per_s / play_s, play_s);
    } else {
      std::fprintf(stderr, "window_start_bench: the song did not start\n");
    }
  } else {
    std::fprintf(stderr, "window_start_bench: no ffmpeg; the playing figure is left out\n");
  }
  program.Signal(15);
  program.Wait(30s);

  // As the peer bench measures it against other players: the music centre (a browser) and the
  // lyric views closed.
  {
    quillo::store::StoreRuntime runtime(data);
    runtime.Open(false);
    runtime.store().SetConfigText("module.ext.isopen", "false");
    runtime.store().SetConfigText("module.lyric.isopen", "false");
    runtime.Close();
  }
  const auto quiet_started = steady_clock::now();
  quillo::testing::ChildProcess quiet(QUILLO_EXECUTABLE, {"--data-dir", data}, environment);
  if (!quiet.WaitForLine("main window shown", 60s)) {
    std::fprintf(stderr, "window_start_bench: no window: %s\n", quiet.error_text().c_str());
    return 1;
  }
  const double quiet_ms = duration<double, std::milli>(steady_clock::now() - quiet_started).count();
  quiet.WaitForLine("ready", 30s);
  std::this_thread::sleep_for(2s);
  std::printf(
      "music centre and lyric views closed: start to main window shown %.0f ms, resident "
      "memory of the idle program %.0f MB\n",
      quiet_ms, ResidentMegabytes(quiet.pid()));
  quiet.Signal(15);
  quiet.Wait(30s);
  return 0;
}
