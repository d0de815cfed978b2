#pragma once
// For the tests that drive skinned windows under X with real input events: one UI runtime for
// the process, input through the X server's XTest extension (xdotool), and a script of steps
// that a modal run plays while the test's helper call blocks.
//
// Nothing here waits for a fixed time: every wait is for a condition, pumped, with a bound.
// Window thread (the test's main thread) only.
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "platform/loop/LoopTarget.h"

namespace quillo::ui {
class LayerWnd;
class UiRuntime;
}  // namespace quillo::ui

namespace quillo::testing {

// The bound of every wait: far above what a slow sanitizer build needs.
inline constexpr std::chrono::milliseconds kGuiTimeout{15000};

// The process's UI runtime, started on first use (GTK on X11, our fonts and skins, the loop,
// the window system); null when no display can be opened.
ui::UiRuntime* GuiRuntime();

// Real input, through the X server. Each answers whether xdotool ran cleanly.
bool ClickAt(gfx::Point screen);
// Types the text key by key. Characters that no key produces (Chinese, without an input
// method) are first bound to spare key codes, and typing starts once GTK's keymap shows them,
// so that each key event is read with the map it was sent with. The bindings stay until
// ReleaseTypingKeys (the fixtures call it in TearDown), because GTK reads a key event's
// symbol when it handles it, which may be after xdotool has returned.
bool TypeText(const std::string& utf8);
void ReleaseTypingKeys();
// A key combination in xdotool's names, for example "ctrl+v".
bool PressKeys(const std::string& keys);
// Gives the window the input focus the way a window manager activating it does.
bool FocusNativeWindow(ui::LayerWnd& window);

// Whether the window exists, is shown and the X server has mapped it (it gets input).
bool IsOnScreen(ui::LayerWnd& window);
// The centre of the window's control on the screen.
gfx::Point ControlCentre(ui::LayerWnd& window, int id);
// The newest live layered window, or null.
ui::LayerWnd* NewestWindow();

// Handles events until the condition holds or the time-out passes; answers the condition.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = kGuiTimeout);

// Steps played from the loop (so also inside a modal run): each step waits until its condition
// holds, then acts once; then the next step waits. A step that does not become ready within
// kGuiTimeout is recorded in stuck() and every layered window opened since the script began is
// destroyed, so that the modal run under test returns instead of hanging; so is a script whose
// last action has not ended the run kGuiTimeout later.
class GuiScript {
 public:
  using Condition = std::function<bool()>;
  using Action = std::function<void()>;

  GuiScript();
  ~GuiScript();
  GuiScript(const GuiScript&) = delete;
  GuiScript& operator=(const GuiScript&) = delete;

  GuiScript& Step(std::string name, Condition ready, Action act);
  // Waits for the newest window to be on screen with the control, then clicks its centre.
  GuiScript& ClickControl(int id);
  // Runs an action on the newest window once it is on screen.
  GuiScript& WithWindow(std::string name, std::function<void(ui::LayerWnd&)> act);

  bool finished() const { return next_ == steps_.size() && stuck_.empty(); }
  // The names of the steps that ran, in order (for failure messages).
  std::string Trace() const;
  const std::string& stuck() const { return stuck_; }

 private:
  struct Entry {
    std::string name;
    Condition ready;
    Action act;
  };
  void Tick();
  void DestroyNewWindows();

  std::vector<Entry> steps_;
  std::size_t next_ = 0;
  std::chrono::steady_clock::time_point waiting_since_;
  std::vector<ui::LayerWnd*> windows_before_;
  std::string stuck_;
  std::unique_ptr<loop::LoopTarget> target_;
};

}  // namespace quillo::testing
