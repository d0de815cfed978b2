#pragma once
// The two lyric views (the lyric window and the desktop lyric bar) as the main window drives
// them. The remembered state ("module.lyric.isopen", "module.lyric.mode") and the window's
// lyric buttons are the main window's; the views' owner only shows, hides and locks.
// Window thread only.
#include <optional>
#include <string>

namespace quillo::ui {

class LyricViewControl {
 public:
  virtual ~LyricViewControl() = default;
  // Shows the lyric window (dialog true) or the desktop bar, hiding the other.
  virtual void ShowView(bool dialog) = 0;
  // Hides both views; no configuration is written.
  virtual void HideViews() = 0;
  // Locks or unlocks the desktop bar (the mouse passes through a locked bar).
  virtual void ToggleBarLock() = 0;
  virtual bool BarLocked() const = 0;
  // The lyric line being sung while a lyric is loaded and a line is current; none otherwise.
  virtual std::optional<std::string> CurrentLine() = 0;
};

}  // namespace quillo::ui
