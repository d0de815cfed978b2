#pragma once
// What both lyric bar benchmarks need: the UI runtime on the display, a host that does nothing
// and a play surface nobody presses.
#include <cstdlib>
#include <memory>

#include "fakes/FakePlaySurface.h"
#include "ui/lyricviews/LyricViewHost.h"
#include "ui/toolkit/UiRuntime.h"

namespace quillo::bench {

class IdleLyricHost : public ui::LyricViewHost {
 public:
  ui::LayerWnd* MainWindow() override { return nullptr; }
  void AttachWindow(ui::AttachableWindow&) override {}
  void DetachWindow(ui::AttachableWindow&) override {}
  void NoteMoveStart(ui::AttachableWindow&, gfx::Point) override {}
  gfx::Rect OnAttachedMoving(ui::AttachableWindow&, const gfx::Rect& r) override { return r; }
  void CloseLyricViews() override {}
  void ShowLyricWindow(bool) override {}
  void ShowLyricBar(bool) override {}
  void OnBarLockChanged(bool) override {}
  void OpenLyricErrorReport(ui::LayerWnd&) override {}
  void ShowSettingsPage(int) override {}
  std::string ServiceBaseUrl() override { return {}; }
  void OpenInBrowser(const std::string&) override {}
};

// The runtime for the process; null without DISPLAY (run under xvfb-run).
inline ui::UiRuntime* BenchRuntime() {
  static std::unique_ptr<ui::UiRuntime> runtime = [] {
    int argc = 1;
    static char name[] = "lyricbar_bench";
    static char* args[] = {name, nullptr};
    char** argv = args;
    setenv("GDK_BACKEND", "x11", 1);
    setenv("NO_AT_BRIDGE", "1", 1);
    return std::getenv("DISPLAY") ? ui::UiRuntime::Start(&argc, &argv) : nullptr;
  }();
  return runtime.get();
}

}  // namespace quillo::bench
