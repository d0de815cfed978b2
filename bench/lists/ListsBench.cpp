// The song list over 100,000 songs: one keystroke of the search box (from the timer's firing to
// the list drawn and presented; target under 16 ms) and one wheel step of scrolling (the frame
// time of redrawing and presenting the list). Under Xvfb the frames go to a real X window.
// Run: xvfb-run -a build/bench/lists/lists_bench
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>

#include "fakes/FakeTransferClient.h"
#include "platform/loop/MainLoop.h"
#include "platform/window/GtkWindowPresenter.h"
#include "resources/skins/SkinLayout.h"
#include "service/api/ServiceEndpoints.h"
#include "service/transfer/SafeDownloader.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"
#include "ui/lists/FileListView.h"
#include "ui/lists/ListsHost.h"
#include "ui/toolkit/LayerWnd.h"
#include "ui/toolkit/UiRuntime.h"

namespace {

using namespace quillo;

constexpr int kSongs = 100000;

const char* const kSyllables[] = {"周", "杰", "伦", "王", "菲",   "刘",    "德", "华", "歌", "曲",
                                  "晴", "天", "月", "光", "Love", "Night", "海", "风", "雨", "梦"};

std::string RandomName(std::mt19937& random, int parts) {
  std::string name;
  for (int i = 0; i < parts; ++i) name += kSyllables[random() % std::size(kSyllables)];
  return name;
}

class NullHost : public ui::lists::ListsHost {
 public:
  void SetListTitle(const std::string&) override {}
  void ShowHeaderButtons(ui::lists::ListKind) override {}
  void OnListScrolled(bool) override {}
  void OnPanelPageChanged(ui::lists::PanelPage) override {}
  void ShowSongInfo(const store::MusicRecord&) override {}
  void ShowArtistInfo(const store::MusicRecord&) override {}
  void OnListCommand(int) override {}
};

class ListWindow : public ui::LayerWnd {
 public:
  ListWindow() : LayerWnd(skin::kMainFirst) {}
};

// One window with the song list over a library of 100,000 songs, made once.
struct Setup {
  std::unique_ptr<ui::UiRuntime> runtime;
  testing::TempFolder folder;
  std::unique_ptr<store::StoreRuntime> store;
  std::unique_ptr<service::SafeDownloader> downloader;
  service::ServiceEndpoints endpoints = service::EndpointsForBaseUrl("http://127.0.0.1:1/");
  NullHost host;
  ListWindow window;
  std::unique_ptr<ui::lists::FileListView> songs;
  window::GtkWindowPresenter* presenter = nullptr;

  Setup() {
    int argc = 1;
    char name[] = "bench";
    char* args[] = {name, nullptr};
    char** argv = args;
    if (!std::getenv("DISPLAY")) return;
    runtime = ui::UiRuntime::Start(&argc, &argv);
    if (!runtime) return;
    store = std::make_unique<store::StoreRuntime>(folder.path());
    store->Open(false);
    std::mt19937 random(3);
    for (int i = 0; i < kSongs; ++i) {
      store->library().AddMusic({{"id", std::to_string(1000000 + i)},
                                 {"name", RandomName(random, 3)},
                                 {"artist_name", RandomName(random, 2)},
                                 {"album_name", RandomName(random, 2)}});
    }
    downloader = std::make_unique<service::SafeDownloader>(
        runtime->loop(),
        std::make_unique<testing::FakeTransferClient>(
            [](const testing::FakeAttempt&, int) { return testing::FakeAnswer{}; }));
    window.Create(gfx::Rect::FromXYWH(100, 100, 460, 420), nullptr, window::WindowKind::kMain);
    ui::lists::ListViewDeps deps{*store, *downloader, endpoints, host};
    songs = std::make_unique<ui::lists::FileListView>(window, gfx::Rect{10, 30, 450, 410}, deps);
    window.AddList(*songs, 35);
    songs->ShowList("");
    runtime->loop().PumpUntil([] { return false; }, std::chrono::milliseconds(200));
    presenter = dynamic_cast<window::GtkWindowPresenter*>(window.presenter());
  }
  void Present() {
    window.UpdateLayer();
    if (presenter) presenter->FlushPaint();
  }
};

Setup* Shared() {
  static Setup setup;
  return setup.runtime ? &setup : nullptr;
}

// Each iteration is one keystroke: the filter goes from `from` to `to` or back, as typing and
// erasing the last letter do.
void FilterKeystroke(benchmark::State& state, const char* from, const char* to) {
  Setup* s = Shared();
  if (!s) {
    state.SkipWithError("needs DISPLAY (run under xvfb-run)");
    return;
  }
  s->songs->ApplyFilter(from);
  bool forward = true;
  std::size_t rows = 0;
  for (auto _ : state) {
    s->songs->ApplyFilter(forward ? to : from);
    s->Present();
    rows += s->songs->RowCount();
    forward = !forward;
  }
  state.counters["rows"] =
      benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kAvgIterations);
  s->songs->ApplyFilter("");
}

void BM_FilterKeystroke_Narrow(benchmark::State& state) {
  FilterKeystroke(state, "zj", "zjl");
}
void BM_FilterKeystroke_FirstLetter(benchmark::State& state) {
  FilterKeystroke(state, "", "z");
}
void BM_FilterKeystroke_Chinese(benchmark::State& state) {
  FilterKeystroke(state, "周", "周杰");
}
BENCHMARK(BM_FilterKeystroke_Narrow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FilterKeystroke_FirstLetter)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FilterKeystroke_Chinese)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first keystroke after the list was shown, when the search keys of its songs were not made
// when the box took the focus (PrepareFilter): they are made then.
void BM_FilterFirstKeystrokeAfterShow(benchmark::State& state) {
  Setup* s = Shared();
  if (!s) {
    state.SkipWithError("needs DISPLAY (run under xvfb-run)");
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    s->songs->ShowList("");
    s->Present();
    state.ResumeTiming();
    s->songs->ApplyFilter("z");
    s->Present();
  }
}
BENCHMARK(BM_FilterFirstKeystrokeAfterShow)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the search box's focus costs over a shown 100,000-song list (made once per list shown).
void BM_PrepareFilterOnFocus(benchmark::State& state) {
  Setup* s = Shared();
  if (!s) {
    state.SkipWithError("needs DISPLAY (run under xvfb-run)");
    return;
  }
  for (auto _ : state) {
    state.PauseTiming();
    s->songs->ShowList("");
    state.ResumeTiming();
    s->songs->PrepareFilter();
  }
}
BENCHMARK(BM_PrepareFilterOnFocus)->Unit(benchmark::kMillisecond)->UseRealTime();

// Showing the 100,000-song library (reading the list and drawing it).
void BM_ShowList(benchmark::State& state) {
  Setup* s = Shared();
  if (!s) {
    state.SkipWithError("needs DISPLAY (run under xvfb-run)");
    return;
  }
  for (auto _ : state) {
    s->songs->ShowList("");
    s->Present();
  }
}
BENCHMARK(BM_ShowList)->Unit(benchmark::kMillisecond)->UseRealTime();

// One wheel step (three rows) of the 100,000-song list, redrawn and presented.
void BM_ScrollFrame(benchmark::State& state) {
  Setup* s = Shared();
  if (!s) {
    state.SkipWithError("needs DISPLAY (run under xvfb-run)");
    return;
  }
  s->songs->ShowList("");
  for (auto _ : state) {
    if (s->songs->scroll_offset() >= s->songs->MaxScroll()) s->songs->SetScrollOffset(0);
    s->songs->OnWheel(1);
    s->Present();
  }
}
BENCHMARK(BM_ScrollFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
