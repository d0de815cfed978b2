#pragma once
// The search box above the song list: a LayerEdit whose every change restarts a one-shot 200 ms
// timer of its own (106 in the main window's numbering); when it fires, the box's text is handed
// to the filter once. While the box has the keyboard focus its frame is drawn highlighted.
//
// Window thread. Create in the owner's InitLayer, Destroy in its OnDestroy (as every LayerEdit).
#include <functional>
#include <string>

#include "platform/loop/Timer.h"
#include "ui/toolkit/LayerEdit.h"

namespace quillo::ui::lists {

class FilterEdit : public LayerEdit {
 public:
  static constexpr int kFilterDelayMs = 200;

  // `apply` receives the box's text when the timer fires (the song list's ApplyFilter).
  FilterEdit(LayerWnd& owner, const gfx::Rect& rect, std::function<void(const std::string&)> apply);
  ~FilterEdit() override;

  // Every edit: the change notification, then the timer restarts.
  void OnEditChanged() override;
  void OnEditFocus(bool focused) override;

  // Draws the 1-pixel frame around the box into the owner's back buffer: the accent colour while
  // focused, else the line colour. The owner calls it from DrawBackground too.
  void DrawFrame();
  bool frame_highlighted() const { return highlighted_; }

  // Whether the timer is running (a change is waiting to be applied).
  bool filter_pending() const { return filter_timer_.IsRunning(); }
  // Runs the waiting change now, as the timer would (tests and benchmarks).
  void FireNow();
  // How many times the filter ran.
  int applied_count() const { return applied_count_; }
  // Told after each change notification (the owner may listen; empty by default).
  void SetOnChange(std::function<void()> on_change) { on_change_ = std::move(on_change); }
  // Told when the box gets the keyboard focus (the song list prepares its search then).
  void SetOnFocus(std::function<void()> on_focus) { on_focus_ = std::move(on_focus); }

 private:
  void OnTimerFired();

  LayerWnd& owner_;
  std::function<void(const std::string&)> apply_;
  std::function<void()> on_change_;
  std::function<void()> on_focus_;
  bool highlighted_ = false;
  int applied_count_ = 0;
  loop::Timer filter_timer_;
};

}  // namespace quillo::ui::lists
