#pragma once
// For the tests of the embedded browser under X: one GTK host window with its own loop and
// window system, private browser data folders, a listener that records what the page did, and a
// loopback server of test pages. Window thread (the test's main thread) only; every wait is for
// a condition, with a bound.
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/web/WebView.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempFolder.h"

namespace quillo::loop {
class MainLoop;
}
namespace quillo::window {
class GtkWindowSystem;
class WindowPresenter;
class WindowEvents;
}  // namespace quillo::window

namespace quillo::testing {

inline constexpr std::chrono::milliseconds kWebTimeout{20000};

// Loopback pages by path; every other path answers 404. Handlers run on the server's threads.
class PageServer {
 public:
  PageServer();
  void Add(const std::string& path, const std::string& html,
           const std::string& type = "text/html; charset=utf-8");
  std::string Url(const std::string& path) const { return server_.Url(path); }
  // "http://127.0.0.1:PORT"
  std::string Origin() const { return server_.Url(""); }
  std::vector<ScriptedHttpServer::Request> requests() const { return server_.requests(); }

 private:
  mutable std::mutex mutex_;
  std::map<std::string, std::pair<std::string, std::string>> pages_;
  ScriptedHttpServer server_;
};

class RecordingListener : public web::WebViewListener {
 public:
  struct Call {
    std::string method;
    std::vector<std::string> args;
  };
  std::function<web::BridgeValue(const Call&)> answer;
  std::vector<Call> calls;
  std::vector<std::string> started, finished, failed;
  std::vector<unsigned> keys;

  web::BridgeValue OnExternalCall(const std::string& method,
                                  const std::vector<std::string>& args) override;
  void OnLoadStarted(const std::string& url) override { started.push_back(url); }
  void OnLoadFinished(const std::string& url) override { finished.push_back(url); }
  void OnLoadFailed(const std::string& url) override { failed.push_back(url); }
};

class WebTestHost {
 public:
  // False (with the reason) when no display can be opened.
  WebTestHost();
  ~WebTestHost();
  bool ok() const { return presenter_ != nullptr; }

  window::WindowPresenter& presenter() { return *presenter_; }
  loop::MainLoop& loop() { return *loop_; }
  // A view filling the host window, with the listener set.
  std::unique_ptr<web::WebView> NewView(RecordingListener& listener);
  // Handles events until the condition holds or kWebTimeout passes.
  bool WaitFor(const std::function<bool()>& condition);
  // Loads the address and waits until the listener saw it finish (or fail).
  bool LoadAndWait(web::WebView& view, RecordingListener& listener, const std::string& url);
  // Calls the page's function and answers what it returned ("" for none).
  std::string Ask(web::WebView& view, const std::string& function,
                  const std::vector<std::string>& args = {});

 private:
  TempFolder data_;
  std::unique_ptr<loop::MainLoop> loop_;
  std::unique_ptr<window::GtkWindowSystem> windows_;
  std::unique_ptr<window::WindowEvents> events_;
  std::unique_ptr<window::WindowPresenter> presenter_;
};

}  // namespace quillo::testing
