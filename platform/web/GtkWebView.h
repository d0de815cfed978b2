#pragma once
// Internal to platform/web: the WebView over a WebKitGTK view placed in the host window's child
// area (the presenter's GtkFixed).
//
// Every view shares the default network session (so the pages share cookies) and the two
// schemes the web context serves in this process: "quillo-page" (the built-in pages) and
// "quillo-bridge" (the page's method calls). Each view has its own user content: the
// `window.external` script with a token of its own, made again when its methods or trusted
// origins change.
#include <webkit2/webkit2.h>

#include <string>
#include <vector>

#include "platform/web/GObjectHandle.h"
#include "platform/web/WebView.h"

namespace quillo::web {

class GtkWebView final : public WebView {
 public:
  // Placed in `area`, the host window's child area, at the window rectangle, shown.
  GtkWebView(GtkFixed* area, const gfx::Rect& window_rect);
  ~GtkWebView() override;
  GtkWebView(const GtkWebView&) = delete;
  GtkWebView& operator=(const GtkWebView&) = delete;

  void SetListener(WebViewListener* listener) override { listener_ = listener; }
  void SetExternalMethods(std::vector<std::string> names) override;
  void SetTrustedOrigins(std::vector<std::string> origins) override;
  void Load(const std::string& url) override;
  void LoadBuiltIn(const std::string& name) override;
  void Reload() override;
  void GoBack() override;
  void GoForward() override;
  std::string Url() const override;
  bool IsLoaded() const override { return loaded_; }
  void CallFunction(const std::string& name, const std::vector<std::string>& args,
                    std::function<void(const std::string&)> done) override;
  void SetRect(const gfx::Rect& window_rect) override;
  void SetVisible(bool visible) override;
  bool IsVisible() const override;
  void Focus() override;
  void SetBorderCursor(std::optional<window::ResizeEdge> edge) override;

  // A method call posted to the bridge scheme by this view's page. Answers it at once.
  void AnswerBridgeRequest(WebKitURISchemeRequest* request);

 private:
  struct PendingCall;
  void InstallExternalScript();
  static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self);
  static gboolean OnLoadFailed(WebKitWebView* view, WebKitLoadEvent event, gchar* uri,
                               GError* error, gpointer self);
  static gboolean OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer self);
  static gboolean OnScriptDialog(WebKitWebView* view, WebKitScriptDialog* dialog, gpointer self);
  static gboolean OnButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
  static gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer self);
  static gboolean OnKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer self);
  static void OnScriptFinished(GObject* view, GAsyncResult* result, gpointer call);
  static void OnViewDestroyed(GtkWidget* view, gpointer self);

  GtkFixed* area_;   // the host's child area; owned by the host window
  GtkWidget* view_;  // held by a reference of ours besides the child area's
  GObjectHandle<WebKitUserContentManager> content_;
  GObjectHandle<GCancellable> cancellable_;
  WebViewListener* listener_ = nullptr;
  std::vector<std::string> methods_;
  std::vector<std::string> origins_;
  std::string token_;
  gfx::Rect rect_;
  bool loaded_ = false;
  bool failed_ = false;
  // The host window went first and took the view with it: every operation does nothing then.
  bool gone_ = false;
  std::optional<window::ResizeEdge> border_cursor_;
};

}  // namespace quillo::web
