#include "FakeWindowSystem.h"

#include <chrono>

#include "platform/loop/MainLoop.h"

namespace quillo::testing {

void FakeWindowSystem::RunNested(const std::function<bool()>& done) {
  loop::MainLoop* loop = loop::MainLoop::Instance();
  while (!done()) {
    loop->PumpPending();
    if (done()) break;
    if (script.empty()) {
      // Nothing more will happen: give posted work a last chance, then stop the run.
      if (!loop->PumpUntil(done, std::chrono::milliseconds(200))) {
        script_ran_out = true;
        return;
      }
      break;
    }
    auto action = std::move(script.front());
    script.pop_front();
    action();
  }
}

namespace {
window::MouseEvent At(gfx::Point p) {
  window::MouseEvent e;
  e.pos = p;
  e.screen = p;
  return e;
}
}  // namespace

void Press(window::WindowEvents& w, gfx::Point p) { w.OnNativeButtonDown(At(p)); }
void Release(window::WindowEvents& w, gfx::Point p) { w.OnNativeButtonUp(At(p)); }
void Move(window::WindowEvents& w, gfx::Point p) { w.OnNativeMouseMove(At(p)); }
void Click(window::WindowEvents& w, gfx::Point p) {
  Move(w, p);
  Press(w, p);
  Release(w, p);
}

}  // namespace quillo::testing
