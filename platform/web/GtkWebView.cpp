#include "platform/web/GtkWebView.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/crypto/Crypto.h"
#include "platform/web/BridgeProtocol.h"
#include "platform/web/WebKitEntry.h"
#include "platform/window/GtkWindowPresenter.h"

namespace quillo::web {
namespace {

constexpr char kSelfKey[] = "quillo-web-view";
// A method call's body is a handful of texts; anything far larger is not one.
constexpr std::size_t kMaxBridgeBody = 4 * 1024 * 1024;

BuiltInPageLookup& PageSource() {
  static BuiltInPageLookup lookup;
  return lookup;
}

GtkWebView* ViewOf(WebKitURISchemeRequest* request) {
  WebKitWebView* view = webkit_uri_scheme_request_get_web_view(request);
  return view ? static_cast<GtkWebView*>(g_object_get_data(G_OBJECT(view), kSelfKey)) : nullptr;
}

// 32 hexadecimal digits from the system's randomness; empty when there is none (the bridge then
// refuses every call, as no request can carry an empty token that matches).
std::string NewToken() {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string token;
  for (int i = 0; i < 2; ++i) {
    auto bytes = crypto::NewGuid();
    if (!bytes) return {};
    for (std::uint8_t b : *bytes) {
      token += kHex[b >> 4];
      token += kHex[b & 0xF];
    }
  }
  return token;
}

void FinishWith(WebKitURISchemeRequest* request, guint status, std::string_view body,
                const char* content_type) {
  GObjectHandle<GInputStream> stream(g_memory_input_stream_new_from_data(
      g_memdup2(body.data(), body.size()), gssize(body.size()), g_free));
  GObjectHandle<WebKitURISchemeResponse> response(
      webkit_uri_scheme_response_new(stream.get(), gint64(body.size())));
  webkit_uri_scheme_response_set_status(response.get(), status, nullptr);
  webkit_uri_scheme_response_set_content_type(response.get(), content_type);
  SoupMessageHeaders* headers = soup_message_headers_new(SOUP_MESSAGE_HEADERS_RESPONSE);
  // Pages of every origin reach the bridge (and learn nothing from a refusal); whether a call
  // is answered is decided by the token and the page's address, not by the browser.
  soup_message_headers_append(headers, "Access-Control-Allow-Origin", "*");
  soup_message_headers_append(headers, "Cache-Control", "no-store");
  webkit_uri_scheme_response_set_http_headers(response.get(), headers);  // takes the headers
  webkit_uri_scheme_request_finish_with_response(request, response.get());
}

void Refuse(WebKitURISchemeRequest* request, guint status) {
  FinishWith(request, status, "{}", "application/json");
}

std::string ReadBody(WebKitURISchemeRequest* request) {
  GObjectHandle<GInputStream> stream(webkit_uri_scheme_request_get_http_body(request));
  std::string body;
  if (!stream) return body;
  char buffer[16 * 1024];
  while (body.size() <= kMaxBridgeBody) {
    const gssize n = g_input_stream_read(stream.get(), buffer, sizeof buffer, nullptr, nullptr);
    if (n <= 0) break;
    body.append(buffer, std::size_t(n));
  }
  return body;
}

void ServeBridge(WebKitURISchemeRequest* request, gpointer) {
  if (GtkWebView* self = ViewOf(request)) {
    self->AnswerBridgeRequest(request);
  } else {
    Refuse(request, 403);
  }
}

void ServePage(WebKitURISchemeRequest* request, gpointer) {
  const char* path = webkit_uri_scheme_request_get_path(request);
  const std::string name = bridge::BuiltInNameOfPath(path ? path : "");
  const auto page = PageSource() ? PageSource()(name) : std::nullopt;
  if (!page) {
    GError* error =
        g_error_new(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "no built-in page %s", name.c_str());
    webkit_uri_scheme_request_finish_error(request, error);
    g_error_free(error);
    return;
  }
  // The bytes live for the whole run: the stream reads them in place.
  GObjectHandle<GInputStream> stream(
      g_memory_input_stream_new_from_data(page->bytes.data(), gssize(page->bytes.size()), nullptr));
  GObjectHandle<WebKitURISchemeResponse> response(
      webkit_uri_scheme_response_new(stream.get(), gint64(page->bytes.size())));
  // The whole media type: WebKit takes the charset from its parameter.
  const std::string type(page->mime_type);
  webkit_uri_scheme_response_set_content_type(response.get(), type.c_str());
  webkit_uri_scheme_request_finish_with_response(request, response.get());
}

// The web context is the process's; its schemes are registered once, before the first view.
void RegisterSchemes() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  WebKitWebContext* context = webkit_web_context_get_default();
  const std::string page_scheme(bridge::kPageScheme), bridge_scheme(bridge::kBridgeScheme);
  webkit_web_context_register_uri_scheme(context, page_scheme.c_str(), &ServePage, nullptr,
                                         nullptr);
  webkit_web_context_register_uri_scheme(context, bridge_scheme.c_str(), &ServeBridge, nullptr,
                                         nullptr);
  WebKitSecurityManager* security = webkit_web_context_get_security_manager(context);
  webkit_security_manager_register_uri_scheme_as_secure(security, page_scheme.c_str());
  webkit_security_manager_register_uri_scheme_as_secure(security, bridge_scheme.c_str());
  // A page's XMLHttpRequest may only reach schemes that take part in CORS.
  webkit_security_manager_register_uri_scheme_as_cors_enabled(security, bridge_scheme.c_str());
}

WebKitSettings* NewSettings() {
  WebKitSettings* settings = webkit_settings_new();
  webkit_settings_set_allow_file_access_from_file_urls(settings, FALSE);
  webkit_settings_set_allow_universal_access_from_file_urls(settings, FALSE);
  webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
  webkit_settings_set_enable_developer_extras(settings, FALSE);
  webkit_settings_set_enable_back_forward_navigation_gestures(settings, FALSE);
  return settings;
}

}  // namespace

// One CallFunction waiting for the page's answer: the view's cancellable stops it when the view
// goes, so `done` never runs after that.
struct GtkWebView::PendingCall {
  std::function<void(const std::string&)> done;
  GObjectHandle<GCancellable> cancellable;
};

GtkWebView::GtkWebView(GtkFixed* area, const gfx::Rect& window_rect)
    : area_(area),
      cancellable_(g_cancellable_new()),
      token_(NewToken()),
      rect_(window_rect) {
  RegisterSchemes();
  content_.reset(webkit_user_content_manager_new());
  const std::string sheet(bridge::HostStyleSheet());
  WebKitUserStyleSheet* style =
      webkit_user_style_sheet_new(sheet.c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                  WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
  webkit_user_content_manager_add_style_sheet(content_.get(), style);
  webkit_user_style_sheet_unref(style);

  GObjectHandle<WebKitSettings> settings(NewSettings());
  view_ = GTK_WIDGET(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context",
                                  webkit_web_context_get_default(), "user-content-manager",
                                  content_.get(), "settings", settings.get(), nullptr));
  g_object_ref_sink(view_);
  g_object_set_data(G_OBJECT(view_), kSelfKey, this);
  g_object_add_weak_pointer(G_OBJECT(area_), reinterpret_cast<gpointer*>(&area_));

  gtk_widget_add_events(view_,
                        GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK | GDK_KEY_PRESS_MASK);
  g_signal_connect(view_, "load-changed", G_CALLBACK(&OnLoadChanged), this);
  g_signal_connect(view_, "load-failed", G_CALLBACK(&OnLoadFailed), this);
  g_signal_connect(view_, "decide-policy", G_CALLBACK(&OnDecidePolicy), this);
  g_signal_connect(view_, "script-dialog", G_CALLBACK(&OnScriptDialog), this);
  // Before WebKit's own handlers, so the owner may take the event from the page.
  g_signal_connect(view_, "button-press-event", G_CALLBACK(&OnButtonPress), this);
  g_signal_connect(view_, "motion-notify-event", G_CALLBACK(&OnMotion), this);
  g_signal_connect(view_, "key-press-event", G_CALLBACK(&OnKeyPress), this);
  g_signal_connect(view_, "destroy", G_CALLBACK(&OnViewDestroyed), this);

  InstallExternalScript();
  gtk_widget_set_size_request(view_, std::max(1, rect_.width()), std::max(1, rect_.height()));
  gtk_fixed_put(area_, view_, rect_.left, rect_.top);
  gtk_widget_show(view_);
}

GtkWebView::~GtkWebView() {
  g_cancellable_cancel(cancellable_.get());
  g_signal_handlers_disconnect_by_data(view_, this);
  g_object_set_data(G_OBJECT(view_), kSelfKey, nullptr);
  if (area_) {
    g_object_remove_weak_pointer(G_OBJECT(area_), reinterpret_cast<gpointer*>(&area_));
  }
  // Destroying takes the view out of the child area (when the host still has it).
  gtk_widget_destroy(view_);
  g_object_unref(view_);
}

void SetPageSourceOfViews(BuiltInPageLookup lookup) { PageSource() = std::move(lookup); }

void GtkWebView::SetExternalMethods(std::vector<std::string> names) {
  methods_ = std::move(names);
  InstallExternalScript();
}

void GtkWebView::SetTrustedOrigins(std::vector<std::string> origins) {
  origins_ = std::move(origins);
  InstallExternalScript();
}

void GtkWebView::InstallExternalScript() {
  // The content manager is ours: it outlives the view's widget.
  webkit_user_content_manager_remove_all_scripts(content_.get());
  if (token_.empty()) return;
  const std::string source = bridge::ExternalScript(token_, methods_, origins_);
  const std::vector<std::string> patterns = bridge::ScriptAllowList(origins_);
  std::vector<const gchar*> allow;
  for (const std::string& p : patterns) allow.push_back(p.c_str());
  allow.push_back(nullptr);
  WebKitUserScript* script =
      webkit_user_script_new(source.c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                             WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, allow.data(), nullptr);
  webkit_user_content_manager_add_script(content_.get(), script);
  webkit_user_script_unref(script);
}

void GtkWebView::AnswerBridgeRequest(WebKitURISchemeRequest* request) {
  // The listener may close the window (and this view) while it answers.
  GObjectHandle<WebKitURISchemeRequest> hold(
      static_cast<WebKitURISchemeRequest*>(g_object_ref(request)));
  const char* method = webkit_uri_scheme_request_get_http_method(request);
  if (!method || std::strcmp(method, "POST") != 0) {
    Refuse(request, 405);
    return;
  }
  if (!bridge::IsTrustedUrl(Url(), origins_)) {
    Refuse(request, 403);
    return;
  }
  // The browser names the calling page's origin; a page that is not the one shown (a frame of
  // another origin) is refused even when it learnt the token.
  if (SoupMessageHeaders* headers = webkit_uri_scheme_request_get_http_headers(request)) {
    const char* origin = soup_message_headers_get_one(headers, "Origin");
    const std::string shown = bridge::OriginOf(Url());
    const bool built_in = bridge::IsBuiltInUrl(Url());
    if (origin && !(built_in ? std::strcmp(origin, "null") == 0 || bridge::IsBuiltInUrl(origin)
                             : bridge::OriginOf(origin) == shown)) {
      Refuse(request, 403);
      return;
    }
  }
  const auto call = bridge::ParseBridgeRequest(ReadBody(request));
  if (!call || token_.empty() || call->token != token_ || !listener_ ||
      std::find(methods_.begin(), methods_.end(), call->method) == methods_.end()) {
    Refuse(request, 403);
    return;
  }
  const BridgeValue answer = listener_->OnExternalCall(call->method, call->args);
  FinishWith(request, 200, bridge::BridgeAnswerJson(answer), "application/json");
}

void GtkWebView::OnViewDestroyed(GtkWidget*, gpointer p) {
  auto* self = static_cast<GtkWebView*>(p);
  self->gone_ = true;
  self->loaded_ = false;
}

void GtkWebView::Load(const std::string& url) {
  if (gone_) return;
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view_), url.c_str());
}

void GtkWebView::LoadBuiltIn(const std::string& name) {
  Load(bridge::BuiltInUrl(name));
}

void GtkWebView::Reload() {
  if (!gone_) webkit_web_view_reload(WEBKIT_WEB_VIEW(view_));
}
void GtkWebView::GoBack() {
  if (!gone_) webkit_web_view_go_back(WEBKIT_WEB_VIEW(view_));
}
void GtkWebView::GoForward() {
  if (!gone_) webkit_web_view_go_forward(WEBKIT_WEB_VIEW(view_));
}

std::string GtkWebView::Url() const {
  if (gone_) return {};
  const char* uri = webkit_web_view_get_uri(WEBKIT_WEB_VIEW(view_));
  return uri ? uri : "";
}

void GtkWebView::CallFunction(const std::string& name, const std::vector<std::string>& args,
                              std::function<void(const std::string&)> done) {
  auto call = std::make_unique<PendingCall>();
  call->done = std::move(done);
  call->cancellable.reset(G_CANCELLABLE(g_object_ref(cancellable_.get())));
  if (!loaded_) {
    // Nothing to call; the answer still comes later, as it would from the page.
    if (!call->done) return;
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer p) -> gboolean {
          std::unique_ptr<PendingCall> pending(static_cast<PendingCall*>(p));
          if (!g_cancellable_is_cancelled(pending->cancellable.get())) pending->done({});
          return G_SOURCE_REMOVE;
        },
        call.release(), nullptr);
    return;
  }
  const std::string script = bridge::CallFunctionScript(name, args);
  webkit_web_view_evaluate_javascript(WEBKIT_WEB_VIEW(view_), script.c_str(), gssize(script.size()),
                                      nullptr, nullptr, call->cancellable.get(), &OnScriptFinished,
                                      call.get());
  call.release();
}

void GtkWebView::OnScriptFinished(GObject* view, GAsyncResult* result, gpointer p) {
  std::unique_ptr<PendingCall> call(static_cast<PendingCall*>(p));
  GError* error = nullptr;
  JSCValue* value =
      webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(view), result, &error);
  const bool cancelled = g_cancellable_is_cancelled(call->cancellable.get());
  std::string text;
  if (value) {
    if (jsc_value_is_string(value)) {
      gchar* s = jsc_value_to_string(value);
      text = s ? s : "";
      g_free(s);
    }
    g_object_unref(value);
  }
  if (error) g_error_free(error);
  if (!cancelled && call->done) call->done(text);
}

void GtkWebView::SetRect(const gfx::Rect& window_rect) {
  rect_ = window_rect;
  if (!area_ || gone_) return;
  gtk_widget_set_size_request(view_, std::max(1, rect_.width()), std::max(1, rect_.height()));
  gtk_fixed_move(area_, view_, rect_.left, rect_.top);
}

void GtkWebView::SetVisible(bool visible) {
  if (!gone_) gtk_widget_set_visible(view_, visible);
}

bool GtkWebView::IsVisible() const {
  return !gone_ && gtk_widget_get_visible(view_);
}

void GtkWebView::Focus() {
  if (!gone_) gtk_widget_grab_focus(view_);
}

void GtkWebView::SetBorderCursor(std::optional<window::ResizeEdge> edge) {
  if (gone_ || edge == border_cursor_) return;
  border_cursor_ = edge;
  GdkWindow* window = gtk_widget_get_window(view_);
  if (!window) return;
  if (!edge) {
    // The page's cursor comes back with the next pointer move WebKit sees.
    gdk_window_set_cursor(window, nullptr);
    return;
  }
  GdkCursor* cursor = gdk_cursor_new_from_name(gdk_window_get_display(window),
                                               window::GtkWindowPresenter::CursorName(*edge));
  if (!cursor) return;
  gdk_window_set_cursor(window, cursor);
  g_object_unref(cursor);
}

// ---- Signals ----------------------------------------------------------------------------------

void GtkWebView::OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer p) {
  auto* self = static_cast<GtkWebView*>(p);
  if (event == WEBKIT_LOAD_STARTED) {
    self->loaded_ = false;
    self->failed_ = false;
    if (self->listener_) self->listener_->OnLoadStarted(self->Url());
  } else if (event == WEBKIT_LOAD_FINISHED) {
    if (self->failed_) return;
    self->loaded_ = true;
    if (self->listener_) self->listener_->OnLoadFinished(self->Url());
  }
}

gboolean GtkWebView::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error,
                                  gpointer p) {
  auto* self = static_cast<GtkWebView*>(p);
  // A navigation replaced by another (or stopped) did not fail; the next one reports itself.
  if (g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED)) return TRUE;
  self->failed_ = true;
  if (self->listener_) self->listener_->OnLoadFailed(uri ? uri : "");
  return TRUE;  // no error page: the view keeps what it showed
}

gboolean GtkWebView::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                    WebKitPolicyDecisionType type, gpointer) {
  if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) return FALSE;
  WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
      WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  WebKitURIRequest* request = webkit_navigation_action_get_request(action);
  const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
  // Pages never open windows of their own, and never reach local files.
  if (type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION || !uri ||
      !bridge::IsAllowedNavigation(uri)) {
    webkit_policy_decision_ignore(decision);
    return TRUE;
  }
  return FALSE;
}

gboolean GtkWebView::OnScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer) {
  switch (webkit_script_dialog_get_dialog_type(dialog)) {
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
      webkit_script_dialog_confirm_set_confirmed(dialog, FALSE);
      break;
    case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
      // Leaving the page is never held up by a question nobody sees.
      webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
      break;
    case WEBKIT_SCRIPT_DIALOG_ALERT:
    case WEBKIT_SCRIPT_DIALOG_PROMPT:
      // An unanswered prompt gives the page null.
      break;
  }
  return TRUE;  // handled: nothing is shown and the page goes on
}

gboolean GtkWebView::OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer p) {
  auto* self = static_cast<GtkWebView*>(p);
  if (event->type != GDK_BUTTON_PRESS || event->button != 1 || !self->listener_) return FALSE;
  return self->listener_->OnPagePointer(PagePointer::kLeftDown,
                                        gfx::Point{int(event->x), int(event->y)});
}

gboolean GtkWebView::OnMotion(GtkWidget*, GdkEventMotion* event, gpointer p) {
  auto* self = static_cast<GtkWebView*>(p);
  if (!self->listener_) return FALSE;
  return self->listener_->OnPagePointer(PagePointer::kMove,
                                        gfx::Point{int(event->x), int(event->y)});
}

gboolean GtkWebView::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer p) {
  auto* self = static_cast<GtkWebView*>(p);
  if (!self->listener_) return FALSE;
  return self->listener_->OnPageKey(event->keyval, (event->state & GDK_CONTROL_MASK) != 0);
}


}  // namespace quillo::web
