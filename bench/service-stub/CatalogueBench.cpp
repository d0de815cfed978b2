// How long quillo-service needs for its catalogue and its scrambled answers.
// Target: the default catalogue (40 songs) in under 60 s on two cores, generated once; a start
// with the catalogue in place in well under a second.
#include <benchmark/benchmark.h>

#include "platform/fs/FileSystem.h"
#include "service-stub/CatalogueBuilder.h"
#include "service-stub/LyricWriter.h"
#include "service-stub/MelodySynth.h"
#include "service-stub/Scrambler.h"
#include "support/TempFolder.h"

namespace {

using namespace quillo::stub;

void BM_GenerateCatalogue(benchmark::State& state) {
  for (auto _ : state) {
    quillo::testing::TempFolder folder;
    CatalogueBuilder builder([](const std::string&) {});
    CatalogueRequest request;
    request.data_folder = folder.path();
    request.songs = static_cast<int>(state.range(0));
    request.threads = 2;
    std::string error;
    if (!builder.Prepare(request, &error)) state.SkipWithError(error.c_str());
  }
}
BENCHMARK(BM_GenerateCatalogue)->Arg(8)->Arg(Catalogue::kDefaultSongs)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PrepareExistingCatalogue(benchmark::State& state) {
  quillo::testing::TempFolder folder;
  CatalogueBuilder builder([](const std::string&) {});
  CatalogueRequest request;
  request.data_folder = folder.path();
  request.songs = 8;
  std::string error;
  builder.Prepare(request, &error);
  for (auto _ : state) benchmark::DoNotOptimize(builder.Prepare(request, &error));
}
BENCHMARK(BM_PrepareExistingCatalogue)->Unit(benchmark::kMillisecond);

void BM_RenderSong(benchmark::State& state) {
  const Catalogue catalogue = Catalogue::Design(2, Catalogue::kDefaultSeed);
  const CatalogueSong& song = catalogue.songs()[1];  // about 40 s of music
  for (auto _ : state) benchmark::DoNotOptimize(RenderMelody(song.score, song.seed));
  state.counters["audio_s"] = song.score.duration_ms / 1000.0;
}
BENCHMARK(BM_RenderSong)->Unit(benchmark::kMillisecond);

void BM_ScrambleAnswer(benchmark::State& state) {
  const std::string text(static_cast<std::size_t>(state.range(0)), 'x');
  Scrambler scrambler(1);
  for (auto _ : state) benchmark::DoNotOptimize(scrambler.Scramble(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ScrambleAnswer)->Arg(2000)->Arg(200000);

}  // namespace

BENCHMARK_MAIN();
