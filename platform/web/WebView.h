#pragma once
// An embedded browser placed inside a native window: loads service pages and the program's
// built-in pages, offers the owner's methods to trusted pages as `window.external`, and calls
// the page's functions. Window thread only; no callback reaches the listener after the view is
// destroyed.
//
// What every view does on its own, whatever the page: no browser message boxes (alert, confirm
// and prompt show nothing and the page goes on; confirm answers false, prompt null), no scroll
// bars and no border, and no access to local files (file: addresses are refused, as are
// universal access from file pages). `window.external` exists only in the top frame of a page
// whose origin is trusted (SetTrustedOrigins) or of a built-in page; calls from anywhere else are
// refused without reaching the listener.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gfx/Geometry.h"
#include "platform/window/WindowPresenter.h"

namespace quillo::web {

// What a `window.external` method returns to the page: nothing (undefined), a string, or a
// boolean.
struct BridgeValue {
  enum class Kind { kVoid, kString, kBool };
  Kind kind = Kind::kVoid;
  std::string text;
  bool flag = false;

  static BridgeValue Void() { return {}; }
  static BridgeValue String(std::string s) { return {Kind::kString, std::move(s), false}; }
  static BridgeValue Bool(bool b) { return {Kind::kBool, {}, b}; }
};

// Where the pointer is over the page and what happens there, for the owner's border handling.
enum class PagePointer { kMove, kLeftDown };

class WebViewListener {
 public:
  virtual ~WebViewListener() = default;
  // A trusted page called `external.<method>(args...)`; every argument arrives as text (what the
  // page's String() makes of it). Runs on the window thread while the page waits for the answer,
  // so it must not run a nested modal loop that waits on the page.
  virtual BridgeValue OnExternalCall(const std::string& method,
                                     const std::vector<std::string>& args) = 0;
  // A navigation of the top frame started, finished, or failed (the failure page is not shown;
  // the view keeps what it showed).
  virtual void OnLoadStarted(const std::string& /*url*/) {}
  virtual void OnLoadFinished(const std::string& /*url*/) {}
  virtual void OnLoadFailed(const std::string& /*url*/) {}
  // The pointer moved or the left button went down over the page, in view pixels. Answer true
  // to take the event away from the page (a border resize starts there).
  virtual bool OnPagePointer(PagePointer /*what*/, gfx::Point /*view_pos*/) { return false; }
  // A key went down in the page. Answer true to keep it from the page and the browser. A key
  // the page did not use may be offered a second time on its way back to the window.
  virtual bool OnPageKey(unsigned /*keyval*/, bool /*control*/) { return false; }
};

class WebView {
 public:
  virtual ~WebView() = default;

  // Not owned; must outlive the view or be reset to nullptr.
  virtual void SetListener(WebViewListener* listener) = 0;
  // The names the page's `window.external` offers; calling any other name throws inside the
  // page's script only (as a missing property would). Takes effect at the next page load.
  virtual void SetExternalMethods(std::vector<std::string> names) = 0;
  // Origins ("http://127.0.0.1:8080", scheme, host and port) whose pages get `window.external`,
  // besides the built-in pages. Takes effect at the next page load.
  virtual void SetTrustedOrigins(std::vector<std::string> origins) = 0;

  // Loads an http(s) address, or a built-in page by its name ("downloaddlg.html"), whose
  // relative links resolve among the built-in pages.
  virtual void Load(const std::string& url) = 0;
  virtual void LoadBuiltIn(const std::string& name) = 0;
  virtual void Reload() = 0;
  virtual void GoBack() = 0;
  virtual void GoForward() = 0;
  // The address shown now (empty before the first load).
  virtual std::string Url() const = 0;
  // Whether a page has finished loading since the last navigation started.
  virtual bool IsLoaded() const = 0;

  // Calls the page's global function `name` with the texts as string arguments, in order. Does
  // nothing when no page is loaded or the page has no such function; an exception it throws
  // stays in the page. `done`, when set, gets the function's result when it is a string, else
  // an empty text (also when nothing was called).
  virtual void CallFunction(const std::string& name, const std::vector<std::string>& args,
                            std::function<void(const std::string&)> done = {}) = 0;

  // Place in the host window (window pixels), shown or hidden, keyboard focus.
  virtual void SetRect(const gfx::Rect& window_rect) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool IsVisible() const = 0;
  virtual void Focus() = 0;
  // The cursor over the whole view: the resize cursor of a border edge, or (no value) the
  // page's own again.
  virtual void SetBorderCursor(std::optional<window::ResizeEdge> /*edge*/) {}
};

// A built-in page's bytes (alive for the whole run) and media type ("text/html; charset=utf-8").
struct BuiltInResource {
  std::string_view bytes;
  std::string_view mime_type;
};
using BuiltInPageLookup = std::function<std::optional<BuiltInResource>(std::string_view name)>;
// Where every view of the process finds the built-in pages by their relative name; until it is
// set (or when it answers no value) a built-in page fails to load. Window thread.
void SetBuiltInPageSource(BuiltInPageLookup lookup);

// Makes a view inside the host's native window at the window rectangle, shown. Null when the
// host has no native window of this window system, or when the browser cannot be loaded (its
// module is missing; said once on standard error). The browser is loaded by the first view.
std::unique_ptr<WebView> CreateWebView(window::WindowPresenter& host, const gfx::Rect& window_rect);

// The cookies the pages and the program's own requests share, so that a log-in on either side
// is seen by the other. Lines are in the Netscape cookie file format (one cookie per line, the
// format of the cookie jar). Window thread.
class WebCookies {
 public:
  // Adds (or replaces) the cookies in the pages' store; lines that are no cookie are skipped.
  // `done`, when set, runs on the window thread once every cookie is in (later, never from
  // inside the call), so a page loaded from then on sends them.
  static void Import(const std::vector<std::string>& netscape_lines,
                     std::function<void()> done = {});
  // The pages' cookies for the address, as Netscape lines, handed to `done` on the window
  // thread (later, never from inside the call).
  static void Export(const std::string& url, std::function<void(std::vector<std::string>)> done);
};

}  // namespace quillo::web
