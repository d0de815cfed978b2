// The music library at the sizes the program must handle: folder import of 10,000 large files,
// AddMusic of 100,000 service songs, ListRecords and SortPlaylist of a 100,000-song default list.
// Run: build/bench/library/library_bench
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>

#include "media/FolderScanner.h"
#include "media/LocalImport.h"
#include "media/MediaTagAccess.h"
#include "platform/fs/FileSystem.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"

namespace {

using namespace quillo;

const char* const kSyllables[] = {"周", "杰", "伦", "王", "菲", "刘", "德", "华", "歌", "曲", "晴", "天",
                                  "月", "光", "Love", "Night", "海", "风", "雨", "梦"};

std::string RandomName(std::mt19937& random, int parts) {
  std::string name;
  for (int i = 0; i < parts; ++i) name += kSyllables[random() % std::size(kSyllables)];
  return name;
}

std::unique_ptr<store::StoreRuntime> OpenStore(const std::string& folder) {
  auto runtime = std::make_unique<store::StoreRuntime>(folder);
  runtime->Open(/*start_saver=*/false);
  return runtime;
}

void AddServiceSongs(store::MusicLibrary& library, int count, std::mt19937& random) {
  for (int i = 0; i < count; ++i) {
    library.AddMusic({{"id", std::to_string(1000000 + i)},
                      {"name", RandomName(random, 3)},
                      {"artist_name", RandomName(random, 2)},
                      {"album_name", RandomName(random, 2)},
                      {"album_id", std::to_string(i / 10)}});
  }
}

void BM_AddMusic(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    testing::TempFolder folder;
    auto runtime = OpenStore(folder.path());
    std::mt19937 random(1);
    state.ResumeTiming();
    AddServiceSongs(runtime->library(), count, random);
    state.PauseTiming();
    runtime.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * count);
}
// Per-song cost must not grow with the library: compare the rates of the two sizes.
BENCHMARK(BM_AddMusic)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

struct BigList {
  testing::TempFolder folder;
  std::unique_ptr<store::StoreRuntime> runtime;
  BigList() {
    runtime = OpenStore(folder.path());
    std::mt19937 random(2);
    AddServiceSongs(runtime->library(), 100000, random);
  }
};

BigList& SharedList() {
  static BigList list;
  return list;
}

void BM_ListRecords(benchmark::State& state) {
  store::Playlists& lists = SharedList().runtime->playlists();
  std::size_t records = 0;
  for (auto _ : state) records = lists.ListRecords("").size();
  state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_ListRecords)->Unit(benchmark::kMillisecond);

void BM_SortPlaylist(benchmark::State& state) {
  store::Playlists& lists = SharedList().runtime->playlists();
  for (auto _ : state) lists.SortPlaylist("", "name", /*keep_direction=*/false);
}
BENCHMARK(BM_SortPlaylist)->Unit(benchmark::kMillisecond);

// 10,000 files of 512,000 bytes or more, sparse beyond a real ID3v2 tag, in 100 folders.
struct ImportTree {
  testing::TempFolder folder;
  ImportTree() {
    for (int i = 0; i < 10000; ++i) {
      std::string dir = folder.path() + "artist" + std::to_string(i / 100) + "/";
      if (i % 100 == 0) fs::CreateFolders(dir);
      std::string title = "Song " + std::to_string(i);
      std::string frame = std::string("TIT2") + std::string(3, '\0') + static_cast<char>(title.size() + 1) +
                          std::string(3, '\0') + title;
      std::string tag = std::string("ID3\x03\0\0\0\0\0", 9) + static_cast<char>(frame.size()) + frame;
      std::string path = dir + "song" + std::to_string(i) + ".mp3";
      fs::WriteFile(path, tag);
      std::filesystem::resize_file(path, 512000 + (i % 7) * 1000);
    }
  }
};

void BM_ImportFolder(benchmark::State& state) {
  static ImportTree tree;
  media::MediaTagAccess tags;
  int added = 0;
  for (auto _ : state) {
    state.PauseTiming();
    testing::TempFolder data;
    auto runtime = OpenStore(data.path());
    quillo::loop::Subscription tag_access = runtime->library().AttachTagAccess(tags);
    media::LocalImport import(runtime->library());
    state.ResumeTiming();
    media::FolderScanner scanner(runtime->store().FolderPath("music"), "");
    scanner.AddListener(&import);
    scanner.Start(tree.folder.path());
    scanner.Wait();
    added = import.added();
    state.PauseTiming();
    runtime.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * added);
  state.counters["files"] = added;
}
BENCHMARK(BM_ImportFolder)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
