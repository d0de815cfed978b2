#include "GuiHarness.h"

// gtest before Xlib (a block of its own), whose None macro would break gtest's own None.
#include <gtest/gtest.h>

#include <gdk/gdkx.h>
#include <glib.h>

#include <algorithm>
#include <cstdlib>

#include "platform/loop/MainLoop.h"
#include "platform/window/GtkWindowPresenter.h"
#include "platform/window/WindowSystem.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/LayerWnd.h"
#include "ui/toolkit/UiRuntime.h"

namespace quillo::testing {
namespace {

std::unique_ptr<ui::UiRuntime>& Runtime() {
  static std::unique_ptr<ui::UiRuntime> runtime;
  return runtime;
}

// Every window of a test is gone before the runtime goes, at the end of the whole run.
class GuiEnvironment : public ::testing::Environment {
 public:
  void TearDown() override {
    ReleaseTypingKeys();
    Runtime().reset();
  }
};
[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

// Runs xdotool with these arguments (no shell, so any text passes unchanged). Its --sync
// waits have no bound of their own, so a time-out ends it rather than hanging the test.
bool Xdotool(std::vector<std::string> args) {
  std::vector<std::string> command{"timeout", "20", "xdotool"};
  std::vector<char*> argv;
  for (std::string& c : command) argv.push_back(c.data());
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  gint wait_status = 0;
  GError* error = nullptr;
  gboolean spawned = g_spawn_sync(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr,
                                  nullptr, nullptr, nullptr, &wait_status, &error);
  if (!spawned) {
    ADD_FAILURE() << "cannot run xdotool: " << error->message;
    g_error_free(error);
    return false;
  }
  bool ok = g_spawn_check_wait_status(wait_status, nullptr);
  EXPECT_TRUE(ok) << "xdotool " << args.front() << " failed";
  return ok;
}

window::GtkWindowPresenter* Presenter(ui::LayerWnd& window) {
  return dynamic_cast<window::GtkWindowPresenter*>(window.presenter());
}

GtkWindow* NativeWindow(ui::LayerWnd& window) {
  window::GtkWindowPresenter* presenter = Presenter(window);
  return presenter ? presenter->gtk_window() : nullptr;
}

}  // namespace

ui::UiRuntime* GuiRuntime() {
  if (!Runtime() && std::getenv("DISPLAY")) {
    setenv("GDK_BACKEND", "x11", 1);
    setenv("NO_AT_BRIDGE", "1", 1);  // no accessibility bus under Xvfb
    static char name[] = "ui_gui_tests";
    static char* args[] = {name, nullptr};
    int argc = 1;
    char** argv = args;
    Runtime() = ui::UiRuntime::Start(&argc, &argv);
  }
  return Runtime().get();
}

bool ClickAt(gfx::Point p) {
  // xdotool's --sync waits for the pointer to move, so it would hang when it is already there.
  if (window::WindowSystem::Instance()->CursorPosition() == p) return Xdotool({"click", "1"});
  return Xdotool({"mousemove", "--sync", std::to_string(p.x), std::to_string(p.y), "click", "1"});
}

namespace {
// Key codes this process bound for typing, to be cleared again.
std::vector<KeyCode>& BoundKeys() {
  static std::vector<KeyCode> keys;
  return keys;
}

bool KeymapHas(guint keyval) {
  GdkKeymapKey* keys = nullptr;
  gint n = 0;
  bool has = gdk_keymap_get_entries_for_keyval(
                 gdk_keymap_get_for_display(gdk_display_get_default()), keyval, &keys, &n) &&
             n > 0;
  g_free(keys);
  return has;
}

// Binds every character of the text that has no key to a key code without symbols.
bool BindKeysFor(const std::string& utf8) {
  std::vector<KeySym> missing;
  for (const char* p = utf8.c_str(); *p; p = g_utf8_next_char(p)) {
    KeySym keysym = gdk_unicode_to_keyval(g_utf8_get_char(p));
    if (!KeymapHas(guint(keysym)) &&
        std::find(missing.begin(), missing.end(), keysym) == missing.end()) {
      missing.push_back(keysym);
    }
  }
  if (missing.empty()) return true;
  Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
  int min_code = 0, max_code = 0, per_code = 0;
  XDisplayKeycodes(display, &min_code, &max_code);
  KeySym* map = XGetKeyboardMapping(display, KeyCode(min_code), max_code - min_code + 1, &per_code);
  if (!map) return false;
  std::vector<KeyCode> free_codes;
  for (int code = max_code; code >= min_code; --code) {
    bool empty = true;
    for (int i = 0; i < per_code; ++i) empty &= map[(code - min_code) * per_code + i] == NoSymbol;
    if (empty) free_codes.push_back(KeyCode(code));
  }
  XFree(map);
  // One spare code stays free: xdotool uses it for anything it still has to map itself.
  if (free_codes.size() < missing.size() + 1) return false;
  for (std::size_t i = 0; i < missing.size(); ++i) {
    KeySym both[2] = {missing[i], missing[i]};
    XChangeKeyboardMapping(display, free_codes[i], 2, both, 1);
    BoundKeys().push_back(free_codes[i]);
  }
  XSync(display, False);
  return WaitFor([&] {
    for (KeySym keysym : missing) {
      if (!KeymapHas(guint(keysym))) return false;
    }
    return true;
  });
}
}  // namespace

bool TypeText(const std::string& utf8) {
  EXPECT_TRUE(BindKeysFor(utf8)) << "no spare key codes for " << utf8;
  return Xdotool({"type", "--delay", "40", "--", utf8});
}

void ReleaseTypingKeys() {
  if (BoundKeys().empty() || !gdk_display_get_default()) return;
  Display* display = gdk_x11_display_get_xdisplay(gdk_display_get_default());
  for (KeyCode code : BoundKeys()) {
    KeySym none[2] = {NoSymbol, NoSymbol};
    XChangeKeyboardMapping(display, code, 2, none, 1);
  }
  XSync(display, False);
  BoundKeys().clear();
}

bool PressKeys(const std::string& keys) {
  return Xdotool({"key", "--clearmodifiers", keys});
}

bool FocusNativeWindow(ui::LayerWnd& window) {
  GtkWindow* native = NativeWindow(window);
  GdkWindow* gdk_window = native ? gtk_widget_get_window(GTK_WIDGET(native)) : nullptr;
  if (!gdk_window) return false;
  return Xdotool({"windowfocus", "--sync", std::to_string(gdk_x11_window_get_xid(gdk_window))});
}

bool IsOnScreen(ui::LayerWnd& window) {
  if (!window.IsCreated() || !window.IsVisible()) return false;
  // GDK marks a window shown as soon as it asks for it; input reaches it once the server has
  // mapped it, which the map notice tells.
  window::GtkWindowPresenter* presenter = Presenter(window);
  return presenter && presenter->mapped();
}

gfx::Point ControlCentre(ui::LayerWnd& window, int id) {
  ui::LayerControl* c = window.FindControl(id);
  EXPECT_NE(c, nullptr) << "no control " << id;
  if (!c) return {};
  gfx::Rect r = window.WindowRect();
  return gfx::Point{r.left + (c->bounds.left + c->bounds.right) / 2,
                    r.top + (c->bounds.top + c->bounds.bottom) / 2};
}

ui::LayerWnd* NewestWindow() {
  auto all = ui::LayerWindowRegistry::All();
  return all.empty() ? nullptr : all.back();
}

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  loop::MainLoop* loop = loop::MainLoop::Instance();
  return loop ? loop->PumpUntil(condition, timeout) : condition();
}

GuiScript::GuiScript()
    : waiting_since_(std::chrono::steady_clock::now()),
      windows_before_(ui::LayerWindowRegistry::All()),
      target_(std::make_unique<loop::LoopTarget>(*loop::MainLoop::Instance())) {
  target_->SetTimer(1, std::chrono::milliseconds(10), [this] { Tick(); });
}

GuiScript::~GuiScript() = default;

GuiScript& GuiScript::Step(std::string name, Condition ready, Action act) {
  steps_.push_back(Entry{std::move(name), std::move(ready), std::move(act)});
  return *this;
}

GuiScript& GuiScript::ClickControl(int id) {
  return Step(
      "click control " + std::to_string(id),
      [id] {
        ui::LayerWnd* w = NewestWindow();
        return w && IsOnScreen(*w) && w->FindControl(id) && !w->FindControl(id)->hidden;
      },
      [id] { ClickAt(ControlCentre(*NewestWindow(), id)); });
}

GuiScript& GuiScript::WithWindow(std::string name, std::function<void(ui::LayerWnd&)> act) {
  return Step(
      std::move(name),
      [] {
        ui::LayerWnd* w = NewestWindow();
        return w && IsOnScreen(*w);
      },
      [act = std::move(act)] { act(*NewestWindow()); });
}

std::string GuiScript::Trace() const {
  std::string trace;
  for (std::size_t i = 0; i < next_ && i < steps_.size(); ++i) trace += steps_[i].name + "; ";
  if (!stuck_.empty()) trace += "stuck at: " + stuck_;
  return trace;
}

void GuiScript::Tick() {
  if (!stuck_.empty()) return;
  if (next_ >= steps_.size()) {
    // The modal run should have ended with the last action; while the script is still alive
    // long after it, the action came to nothing.
    if (std::chrono::steady_clock::now() - waiting_since_ > kGuiTimeout) {
      stuck_ = "after the last step, which ended nothing";
      DestroyNewWindows();
    }
    return;
  }
  if (steps_[next_].ready()) {
    Action act = steps_[next_].act;  // the action may add steps
    ++next_;
    waiting_since_ = std::chrono::steady_clock::now();
    act();
    return;
  }
  if (std::chrono::steady_clock::now() - waiting_since_ > kGuiTimeout) {
    stuck_ = steps_[next_].name;
    DestroyNewWindows();
  }
}

void GuiScript::DestroyNewWindows() {
  // Ends whatever modal run is waiting for the windows opened since the script began.
  for (ui::LayerWnd* w : ui::LayerWindowRegistry::All()) {
    if (std::find(windows_before_.begin(), windows_before_.end(), w) == windows_before_.end()) {
      w->Destroy();
    }
  }
}

}  // namespace quillo::testing
