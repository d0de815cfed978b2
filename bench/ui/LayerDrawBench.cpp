// Drawing a full 326 × 538 skinned window's back buffer and presenting it. Target: under 4 ms.
// Presenting goes to a real X window when DISPLAY is set (run under Xvfb), else only drawing.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/window/GtkWindowSystem.h"
#include "platform/window/GtkWindowPresenter.h"
#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/LayerDlg.h"
#include "ui/toolkit/UiRuntime.h"

namespace {
using namespace quillo;

class FullWindow : public ui::LayerDlg {
 public:
  FullWindow() : ui::LayerDlg(skin::kDialogFrame) { SetTitle("Zelbo音乐设置"); SetButtonBandHeight(30); }
  void InitLayer() override {
    ui::LayerDlg::InitLayer();
    for (int i = 0; i < 12; ++i) {
      AddTextButton(gfx::Rect::FromXYWH(20 + (i % 4) * 72, 40 + (i / 4) * 30, 64, 20), "按钮", 10 + i);
      AddToggle(ui::ControlKind::kCheckBox, gfx::Rect::FromXYWH(20, 140 + i * 20, 13, 13), 30 + i, i % 2);
      AddLinkedLabel(gfx::Rect::FromXYWH(40, 139 + i * 20, 200, 15), "显示桌面歌词与歌曲信息", 50 + i, 30 + i);
    }
  }
};

void BM_DrawAndPresent(benchmark::State& state) {
  static std::unique_ptr<ui::UiRuntime> runtime = [] {
    int argc = 1;
    char name[] = "bench";
    char* args[] = {name, nullptr};
    char** argv = args;
    return std::getenv("DISPLAY") ? ui::UiRuntime::Start(&argc, &argv) : nullptr;
  }();
  if (!runtime) {
    state.SkipWithError("needs DISPLAY (run under xvfb-run)");
    return;
  }
  FullWindow window;
  window.Create(gfx::Rect::FromXYWH(100, 100, 326, 538), nullptr);
  runtime->loop().PumpUntil([] { return false; }, std::chrono::milliseconds(200));
  auto* presenter = dynamic_cast<window::GtkWindowPresenter*>(window.presenter());
  for (auto _ : state) {
    window.DrawAll();
    window.UpdateLayer();
    presenter->FlushPaint();
  }
  window.Destroy();
}
BENCHMARK(BM_DrawAndPresent)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
