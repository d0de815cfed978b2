#include "WebTestHost.h"

#include <glib.h>

#include "platform/loop/MainLoop.h"
#include "platform/window/GtkWindowSystem.h"
#include "platform/window/WindowEvents.h"
#include "resources/pages/BuiltInPages.h"

namespace quillo::testing {
namespace {

class NoEvents : public window::WindowEvents {
 public:
  void OnNativeMouseMove(const window::MouseEvent&) override {}
  void OnNativeMouseLeave() override {}
  void OnNativeButtonDown(const window::MouseEvent&) override {}
  void OnNativeDoubleClick(const window::MouseEvent&) override {}
  void OnNativeButtonUp(const window::MouseEvent&) override {}
  void OnNativeWheel(const window::MouseEvent&, int) override {}
  bool OnNativeKeyDown(const window::KeyEvent&) override { return false; }
  void OnNativeCaptureLost() override {}
  void OnNativeSized(gfx::Size) override {}
  void OnNativeMoved(gfx::Point) override {}
  void OnNativeActivated(bool) override {}
  void OnNativeCloseRequest() override {}
  void OnNativeShown(bool) override {}
  std::optional<window::TooltipAnswer> OnNativeTooltip(gfx::Point) override { return std::nullopt; }
};

constexpr gfx::Rect kHostRect{40, 40, 440, 340};

}  // namespace

PageServer::PageServer()
    : server_([this](const ScriptedHttpServer::Request& request,
                     ScriptedHttpServer::Exchange& exchange) {
        std::string path = request.target.substr(0, request.target.find('?'));
        std::pair<std::string, std::string> page;
        {
          std::lock_guard lock(mutex_);
          auto it = pages_.find(path);
          if (it == pages_.end()) {
            exchange.Send(ScriptedHttpServer::Answer(404, "no such page"));
            return;
          }
          page = it->second;
        }
        exchange.Send(ScriptedHttpServer::Answer(
            200, page.first, {{"Content-Type", page.second}, {"Cache-Control", "no-store"}}));
      }) {}

void PageServer::Add(const std::string& path, const std::string& html, const std::string& type) {
  std::lock_guard lock(mutex_);
  pages_[path] = {html, type};
}

web::BridgeValue RecordingListener::OnExternalCall(const std::string& method,
                                                   const std::vector<std::string>& args) {
  calls.push_back({method, args});
  return answer ? answer(calls.back()) : web::BridgeValue::Void();
}

WebTestHost::WebTestHost() {
  // The browser's data and cache folders of this test only.
  for (const char* name : {"data", "cache"}) g_mkdir_with_parents((data_ / name).c_str(), 0700);
  g_setenv("XDG_DATA_HOME", (data_ / "data").c_str(), TRUE);
  g_setenv("XDG_CACHE_HOME", (data_ / "cache").c_str(), TRUE);
  // Classic scroll bars, which take room when shown (overlay ones never do).
  g_setenv("GTK_OVERLAY_SCROLLING", "0", TRUE);
  // The web process outlives the test's folders by a moment; it keeps no shader cache there.
  g_setenv("MESA_SHADER_CACHE_DISABLE", "true", TRUE);
  if (!window::GtkWindowSystem::InitGtk(nullptr, nullptr)) return;
  web::SetBuiltInPageSource([](std::string_view name) -> std::optional<web::BuiltInResource> {
    auto page = resources::FindBuiltInPage(name);
    if (!page) return std::nullopt;
    return web::BuiltInResource{page->bytes, page->mime_type};
  });
  loop_ = std::make_unique<loop::MainLoop>();
  windows_ = std::make_unique<window::GtkWindowSystem>();
  events_ = std::make_unique<NoEvents>();
  window::WindowOptions options;
  options.screen_rect = kHostRect;
  options.title = "web view test";
  presenter_ = windows_->CreateWindow(*events_, options);
  presenter_->Show(true);
}

WebTestHost::~WebTestHost() {
  presenter_.reset();
  if (loop_) loop_->PumpPending();
  windows_.reset();
  loop_.reset();
}

std::unique_ptr<web::WebView> WebTestHost::NewView(RecordingListener& listener) {
  auto view =
      web::CreateWebView(*presenter_, gfx::Rect{0, 0, kHostRect.width(), kHostRect.height()});
  if (view) view->SetListener(&listener);
  return view;
}

bool WebTestHost::WaitFor(const std::function<bool()>& condition) {
  return loop_->PumpUntil(condition, kWebTimeout);
}

bool WebTestHost::LoadAndWait(web::WebView& view, RecordingListener& listener,
                              const std::string& url) {
  const std::size_t finished = listener.finished.size(), failed = listener.failed.size();
  view.Load(url);
  return WaitFor(
      [&] { return listener.finished.size() > finished || listener.failed.size() > failed; });
}

std::string WebTestHost::Ask(web::WebView& view, const std::string& function,
                             const std::vector<std::string>& args) {
  bool answered = false;
  std::string result;
  view.CallFunction(function, args, [&](const std::string& value) {
    answered = true;
    result = value;
  });
  WaitFor([&] { return answered; });
  return result;
}

}  // namespace quillo::testing
