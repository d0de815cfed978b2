// How long quillo-service needs for its catalogue, a song's audio and its scrambled answers.
// Targets: the listing files of the default catalogue (40 songs) in well under a second, so the
// service answers at once at its first start; a start with the catalogue in place in a few
// milliseconds; a song of typical length (about four minutes) rendered and encoded in about a
// second on this machine, since whoever fetches it first waits for it (see FirstFetchBench for
// the same over HTTP).
#include <benchmark/benchmark.h>

#include "platform/fs/FileSystem.h"
#include "service-stub/CatalogueBuilder.h"
#include "service-stub/LyricWriter.h"
#include "service-stub/MelodySynth.h"
#include "service-stub/Scrambler.h"
#include "service-stub/SongRenderer.h"
#include "support/TempFolder.h"

namespace {

using namespace quillo::stub;

void BM_PrepareFreshCatalogue(benchmark::State& state) {
  for (auto _ : state) {
    quillo::testing::TempFolder folder;
    CatalogueBuilder builder([](const std::string&) {});
    CatalogueRequest request;
    request.data_folder = folder.path();
    request.songs = static_cast<int>(state.range(0));
    std::string error;
    if (!builder.Prepare(request, &error)) state.SkipWithError(error.c_str());
  }
}
BENCHMARK(BM_PrepareFreshCatalogue)->Arg(8)->Arg(Catalogue::kDefaultSongs)->Unit(benchmark::kMillisecond);

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

void BM_SynthesiseSong(benchmark::State& state) {
  const Catalogue catalogue = Catalogue::Design(8, Catalogue::kDefaultSeed);
  const CatalogueSong& song = catalogue.songs()[static_cast<std::size_t>(state.range(0))];
  for (auto _ : state) benchmark::DoNotOptimize(RenderMelody(song.score, song.seed));
  state.counters["audio_s"] = song.score.duration_ms / 1000.0;
}
BENCHMARK(BM_SynthesiseSong)->Arg(0)->Unit(benchmark::kMillisecond);

// The whole render of a first fetch: synthesis, encoding, the file in place. Song 0 is an MP3
// of about 3½ minutes, song 6 a WMA of almost 5.
void BM_RenderSongOnFirstFetch(benchmark::State& state) {
  const Catalogue catalogue = Catalogue::Design(8, Catalogue::kDefaultSeed);
  const CatalogueSong& song = catalogue.songs()[static_cast<std::size_t>(state.range(0))];
  quillo::testing::TempFolder folder;
  for (auto _ : state) {
    state.PauseTiming();
    SongRenderer renderer(catalogue, folder.path());
    quillo::fs::RemoveFile(renderer.AudioPath(song));
    state.ResumeTiming();
    std::string error;
    if (!renderer.Ensure(song, &error)) state.SkipWithError(error.c_str());
  }
  state.counters["audio_s"] = song.score.duration_ms / 1000.0;
}
BENCHMARK(BM_RenderSongOnFirstFetch)->Arg(0)->Arg(6)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ScrambleAnswer(benchmark::State& state) {
  const std::string text(static_cast<std::size_t>(state.range(0)), 'x');
  Scrambler scrambler(1);
  for (auto _ : state) benchmark::DoNotOptimize(scrambler.Scramble(text));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_ScrambleAnswer)->Arg(2000)->Arg(200000);

}  // namespace

BENCHMARK_MAIN();
