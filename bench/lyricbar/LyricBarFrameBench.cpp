// lyricbar_frame_bench: the time the desktop lyric bar takes for one frame on a real X window
// (run under xvfb-run): a new line (layout, drawing of both text images, composite) presented
// and one karaoke step (the strip between two boundaries) presented; and the painting of a whole
// presented frame as the window's draw handler does it. Target: under 4 ms for a frame.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "LyricBarBenchSupport.h"
#include "fakes/FakePlayer.h"
#include "lyrics/LyricAnalyzer.h"
#include "lyrics/LyricLine.h"
#include "platform/gfx/Painter.h"
#include "platform/window/GtkWindowPresenter.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"
#include "ui/lyricviews/CLyricBar.h"

namespace {
using namespace quillo;

// A line with one unit per character, as LRC lines have.
lyrics::LyricLine CharacterLine(const std::string& text) {
  lyrics::LyricLine line;
  line.text = text;
  for (std::uint32_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const std::uint32_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    line.words.push_back(lyrics::LyricWord{0, 0, i, n});
    i += n;
  }
  return line;
}

struct BarRig {
  testing::TempFolder folder;
  store::StoreRuntime runtime{folder / "data/"};
  lyrics::LyricAnalyzer analyzer;
  testing::FakePlayer player;
  bench::IdleLyricHost host;
  testing::FakePlaySurface play;
  std::unique_ptr<ui::CLyricBar> bar;

  bool Open() {
    if (!bench::BenchRuntime() || !runtime.Open(false)) return false;
    bar = std::make_unique<ui::CLyricBar>(
        ui::LyricViewParts{runtime.store(), runtime.playlists(), analyzer, player, play, host});
    return bar->Open();
  }
  ~BarRig() {
    bar.reset();
    runtime.Close();
  }
  void PresentAndPaint() {
    bar->UpdateLayer();
    if (auto* p = dynamic_cast<window::GtkWindowPresenter*>(bar->presenter())) p->FlushPaint();
  }
};

void BM_NewLine(benchmark::State& state) {
  BarRig rig;
  if (!rig.Open()) {
    state.SkipWithError("needs DISPLAY (run under xvfb-run)");
    return;
  }
  const lyrics::LyricLine lines[2] = {CharacterLine("我们唱着时间的歌 Singing the song of time"),
                                      CharacterLine("才懂得相互拥抱 到底是为了什么")};
  std::size_t i = 0;
  for (auto _ : state) {
    rig.bar->SetLine(lines[i++ % 2]);
    rig.PresentAndPaint();
  }
  state.counters["font_size"] = rig.bar->font_size();
}
BENCHMARK(BM_NewLine)->Unit(benchmark::kMillisecond);

void BM_ProgressStep(benchmark::State& state) {
  BarRig rig;
  if (!rig.Open()) {
    state.SkipWithError("needs DISPLAY (run under xvfb-run)");
    return;
  }
  const lyrics::LyricLine line = CharacterLine("我们唱着时间的歌 Singing the song of time");
  rig.bar->SetLine(line);
  const std::size_t words = line.words.size();
  int step = 0;
  for (auto _ : state) {
    // 25 steps a word, walking the line forth and back.
    const int at = step++ % int(words * 25);
    rig.bar->SetProgress(std::size_t(at / 25), (at % 25) * 4);
    rig.PresentAndPaint();
  }
}
BENCHMARK(BM_ProgressStep)->Unit(benchmark::kMillisecond);

// What the window's draw handler does with a presented frame: clear, then blend the whole frame
// (GTK paints it at its next frame; the two benchmarks above only queue that).
void BM_PaintPresentedFrame(benchmark::State& state) {
  BarRig rig;
  if (!rig.Open()) {
    state.SkipWithError("needs DISPLAY (run under xvfb-run)");
    return;
  }
  rig.bar->SetLine(CharacterLine("我们唱着时间的歌 Singing the song of time"));
  rig.PresentAndPaint();
  const gfx::Surface& frame = *rig.bar->presented();
  gfx::Surface window(frame.width(), frame.height());
  const gfx::Rect all{0, 0, frame.width(), frame.height()};
  for (auto _ : state) {
    gfx::Painter painter(window);
    painter.Clear(all);
    painter.DrawImage(frame, all, all);
  }
  state.counters["width"] = frame.width();
}
BENCHMARK(BM_PaintPresentedFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
