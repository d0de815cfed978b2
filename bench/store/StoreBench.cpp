// Open and save of a large store: 100,000 songs and 200 playlists of 500 items.
// Targets on a 2-core machine: open under 1.5 s; a save holds the lock under 150 ms.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/fs/FileSystem.h"
#include "store/DocumentStore.h"
#include "support/TempFolder.h"

namespace {
using quillo::store::DocumentStore;

constexpr int kSongs = 100000;
constexpr int kPlaylists = 200;
constexpr int kItemsPerPlaylist = 500;

std::string LargeDocument() {
  std::string xml = "<Sorvel version=\"1.3.1\"><configs>";
  for (int i = 0; i < 40; ++i) {
    xml += "<config name=\"key." + std::to_string(i) + "\" value=\"" + std::to_string(i) + "\" />";
  }
  xml += "</configs><folders><folder name=\"music\">";
  for (int i = 0; i < kSongs; ++i) {
    std::string id = std::to_string(1000000 + i);
    xml += "<file id=\"" + id + "\" name=\"第" + id + "首歌 Song\" artist_name=\"歌手 " +
           std::to_string(i % 3000) + "\" artist_id=\"" + std::to_string(i % 3000) +
           "\" album_name=\"专辑 " + std::to_string(i % 9000) + "\" album_id=\"" +
           std::to_string(i % 9000) + "\" album_seq=\"" + std::to_string(i % 12) +
           "\" fileName=\"歌手 " + std::to_string(i % 3000) + "/专辑/" + id +
           ".mp3\" status=\"2\" />";
  }
  xml += "</folder></folders><users><user id=\"42\" username=\"demo\"><playlists>";
  for (int p = 0; p < kPlaylists; ++p) {
    xml += "<playlist id=\"" + std::to_string(p) + "\" name=\"列表" + std::to_string(p) + "\">";
    for (int i = 0; i < kItemsPerPlaylist; ++i) {
      xml += "<item id=\"" + std::to_string(1000000 + (p * 977 + i * 13) % kSongs) + "\" />";
    }
    xml += "</playlist>";
  }
  xml += "</playlists></user></users></Sorvel>";
  return xml;
}

class LargeStore {
 public:
  LargeStore() {
    std::string bytes = "\x01" + LargeDocument();
    DocumentStore::XorWithKey(bytes, 1);
    quillo::fs::WriteFile(folder_ / "sorvel.qlm", bytes);
    size_bytes_ = bytes.size();
  }
  const std::string& path() const { return folder_.path(); }
  std::size_t size_bytes() const { return size_bytes_; }

 private:
  quillo::testing::TempFolder folder_;
  std::size_t size_bytes_ = 0;
};

LargeStore& Fixture() {
  static LargeStore store;
  return store;
}

void BM_OpenLargeStore(benchmark::State& state) {
  LargeStore& fixture = Fixture();
  for (auto _ : state) {
    DocumentStore store(fixture.path());
    store.Open(false);
    benchmark::DoNotOptimize(store.Root());
  }
  state.counters["file_MB"] = static_cast<double>(fixture.size_bytes()) / 1e6;
}
BENCHMARK(BM_OpenLargeStore)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveLargeStore(benchmark::State& state) {
  LargeStore& fixture = Fixture();
  DocumentStore store(fixture.path());
  store.Open(false);
  for (auto _ : state) {
    store.MarkDirty();
    store.SaveIfDirty();
  }
  state.counters["lock_held_ms"] = static_cast<double>(store.LongestLockedPrint().count()) / 1000.0;
}
BENCHMARK(BM_SaveLargeStore)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
