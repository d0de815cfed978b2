// The login answer's merge: an answer with 20,000 songs and 50 playlists of 300 songs taken up
// by a store that already holds a library of 20,000 songs.
// Target on a 2-core machine: under 1 s for the first login and for a re-login.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/fs/FileSystem.h"
#include "store/DocumentStore.h"
#include "store/ServiceAnswers.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"

namespace {
using quillo::store::DocumentStore;
using quillo::store::StoreRuntime;

constexpr int kSongs = 20000;
constexpr int kPlaylists = 50;
constexpr int kItemsPerPlaylist = 300;

std::string SongId(int i) {
  return std::to_string(3000000 + i);
}

std::string SongAttributes(int i, const std::string& name_suffix) {
  const std::string id = SongId(i);
  return "music_id=\"" + id + "\" music_name=\"第" + id + "首歌" + name_suffix + "\" artist_id=\"" +
         std::to_string(i % 2000) + "\" artist_name=\"歌手 " + std::to_string(i % 2000) +
         "\" album_id=\"" + std::to_string(i % 5000) + "\" album_name=\"专辑 " +
         std::to_string(i % 5000) + "\" album_seq=\"" + std::to_string(i % 12) + "\"";
}

// The service's answer; `shift` songs at the end of the library are replaced by as many new
// ones and every tenth song is renamed, as a re-login after some weeks would bring.
std::string LoginAnswer(int shift, const std::string& rename) {
  std::string xml =
      "<sorvel><user id=\"42\" username=\"demo\" contextKey=\"K\" logo=\"\" gender=\"1\"/>"
      "<folders><folder name=\"music\">";
  for (int i = shift; i < kSongs + shift; ++i)
    xml += "<s " + SongAttributes(i, i % 10 == 0 ? rename : "") + "/>";
  xml += "</folder></folders><playlists>";
  for (int p = 0; p < kPlaylists; ++p) {
    char id[33];
    std::snprintf(id, sizeof id, "%08X0123456789ABCDEF%08X", p, p * 7919);
    xml += "<playlist playlistId=\"" + std::string(id) + "\" playlistName=\"列表" +
           std::to_string(p) + "\">";
    for (int i = 0; i < kItemsPerPlaylist; ++i) {
      xml += "<item id=\"" + SongId(shift + (p * 977 + i * 13 + shift) % kSongs) + "\"/>";
    }
    xml += "</playlist>";
  }
  return xml + "</playlists></sorvel>";
}

// A data file whose library holds the songs already (as records of the library, with nobody
// logged in), as after downloads made before the first login.
void WriteLibrary(const std::string& folder) {
  std::string xml = "<Sorvel version=\"1.3.1\"><folders><folder name=\"music\">";
  for (int i = 0; i < kSongs; ++i) {
    const std::string id = SongId(i);
    xml += "<file id=\"" + id + "\" name=\"第" + id + "首歌\" artist_name=\"歌手 " +
           std::to_string(i % 2000) + "\" album_name=\"专辑 " + std::to_string(i % 5000) +
           "\" status=\"2\" fileName=\"a/" + id + ".mp3\" />";
  }
  xml += "</folder></folders><users><user id=\"\"><playlists><playlist id=\"\" name=\"All\">";
  for (int i = 0; i < kSongs; ++i) xml += "<item id=\"" + SongId(i) + "\" />";
  xml += "</playlist></playlists></user></users></Sorvel>";
  std::string bytes = "\x01" + xml;
  DocumentStore::XorWithKey(bytes, 1);
  quillo::fs::WriteFile(folder + "sorvel.qlm", bytes);
}

const std::string& FirstAnswer() {
  static const std::string answer = LoginAnswer(0, "");
  return answer;
}
const std::string& LaterAnswer() {
  static const std::string answer = LoginAnswer(200, " (新版)");
  return answer;
}

void BM_FirstLogin(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    quillo::testing::TempFolder folder;
    WriteLibrary(folder.path());
    auto runtime = std::make_unique<StoreRuntime>(folder.path());
    runtime->Open(false);
    state.ResumeTiming();
    bool ok = runtime->answers().TakeLoginAnswer(FirstAnswer()).ok;
    state.PauseTiming();
    if (!ok) state.SkipWithError("the answer was refused");
    runtime.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstLogin)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Relogin(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    quillo::testing::TempFolder folder;
    WriteLibrary(folder.path());
    auto runtime = std::make_unique<StoreRuntime>(folder.path());
    runtime->Open(false);
    bool ok = runtime->answers().TakeLoginAnswer(FirstAnswer()).ok;
    state.ResumeTiming();
    ok = ok && runtime->answers().TakeLoginAnswer(LaterAnswer()).ok;
    state.PauseTiming();
    if (!ok) state.SkipWithError("the answer was refused");
    runtime.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Relogin)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
