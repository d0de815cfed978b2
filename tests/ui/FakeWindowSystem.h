#pragma once
// A window system without a display: windows record what the toolkit asked of them, and the
// modal loop plays a script of user actions.
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/WindowSystem.h"

namespace quillo::testing {

class FakeEditHost : public window::EditHost {
 public:
  void SetListener(window::EditListener* listener) override { listener_ = listener; }
  void SetText(std::string_view utf8) override {
    text_ = std::string(utf8);
    if (listener_) listener_->OnEditChanged();
  }
  std::string Text() const override { return text_; }
  void SelectAll() override {}
  void SetRect(const gfx::Rect& r) override { rect_ = r; }
  void SetVisible(bool) override {}
  void SetEcho(char32_t echo) override { echo_ = echo; }
  void Focus() override { focused_ = true; }
  bool HasFocus() const override { return focused_; }
  int CaretX() const override { return 0; }
  gfx::Surface Render() override {
    ++renders;
    return gfx::Surface(rect_.width(), rect_.height());
  }

  std::string text_;
  gfx::Rect rect_;
  bool focused_ = false;
  char32_t echo_ = 0;
  int renders = 0;
  window::EditListener* listener_ = nullptr;
};

class FakePresenter : public window::WindowPresenter {
 public:
  FakePresenter(window::WindowEvents& events, const window::WindowOptions& options)
      : events(events), options(options), rect(options.screen_rect) {}
  void Show(bool activate) override {
    visible = true;
    if (activate) active = true;
  }
  void Hide() override { visible = false; }
  bool IsVisible() const override { return visible; }
  void SetScreenRect(const gfx::Rect& r) override { rect = r; }
  gfx::Rect ScreenRect() const override { return rect; }
  void Present(const gfx::Surface&, std::uint8_t alpha) override {
    ++presents;
    last_alpha = alpha;
  }
  void PresentPart(const gfx::Surface&, std::uint8_t, const gfx::Rect& changed) override {
    parts.push_back(changed);
  }
  void SetKeepAbove(bool) override {}
  void SetInputTransparent(bool) override {}
  void SetEnabled(bool e) override { enabled = e; }
  void BringToFront() override { ++raised; }
  bool IsActive() const override { return active; }
  void BeginMoveDrag(const window::MouseEvent&) override { ++move_drags; }
  void BeginResizeDrag(window::ResizeEdge, const window::MouseEvent&) override {}
  void SetArrowCursor() override {}
  void RefreshTooltip() override {}
  std::unique_ptr<window::EditHost> CreateEdit(const gfx::Rect& r, const gfx::Font&) override {
    auto edit = std::make_unique<FakeEditHost>();
    edit->rect_ = r;
    last_edit = edit.get();
    return edit;
  }
  void ShowMenu(const std::vector<window::MenuItem>& items, gfx::Point,
                std::function<void(int)> chosen) override {
    last_menu = items;
    menu_chosen = std::move(chosen);
    ++menus;
  }

  window::WindowEvents& events;
  window::WindowOptions options;
  gfx::Rect rect;
  bool visible = false;
  bool active = false;
  bool enabled = true;
  int presents = 0;
  std::vector<gfx::Rect> parts;  // what PresentPart was given, in order
  int raised = 0;
  int move_drags = 0;
  std::uint8_t last_alpha = 0;
  FakeEditHost* last_edit = nullptr;
  // The last menu shown and how to choose one of its items.
  std::vector<window::MenuItem> last_menu;
  std::function<void(int)> menu_chosen;
  int menus = 0;
};

class FakeWindowSystem : public window::WindowSystem {
 public:
  FakeWindowSystem() { WindowSystem::SetInstance(this); }
  ~FakeWindowSystem() override { WindowSystem::SetInstance(nullptr); }

  std::unique_ptr<window::WindowPresenter> CreateWindow(window::WindowEvents& events,
                                                        const window::WindowOptions& o) override {
    auto p = std::make_unique<FakePresenter>(events, o);
    last = p.get();
    ++created;
    return p;
  }
  // Plays the script, one action per turn, pumping the loop between them, until done.
  void RunNested(const std::function<bool()>& done) override;
  gfx::Point CursorPosition() const override { return {}; }
  gfx::Rect WorkArea() const override { return gfx::Rect{0, 0, 1280, 1000}; }
  void SetClipboardText(const std::string&) override {}

  std::deque<std::function<void()>> script;
  FakePresenter* last = nullptr;
  int created = 0;
  bool script_ran_out = false;
};

// Mouse helpers acting on a window through its presenter's event sink.
void Press(window::WindowEvents& w, gfx::Point p);
void Release(window::WindowEvents& w, gfx::Point p);
void Move(window::WindowEvents& w, gfx::Point p);
void Click(window::WindowEvents& w, gfx::Point p);

}  // namespace quillo::testing
