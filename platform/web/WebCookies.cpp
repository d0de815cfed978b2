// The pages' cookies live in the default web context's cookie manager (in the network process);
// these move them to and from Netscape lines, the form curl's cookie store speaks.
#include <webkit2/webkit2.h>

#include <memory>

#include "platform/web/NetscapeCookie.h"
#include "platform/web/WebKitEntry.h"

namespace quillo::web {
namespace {

WebKitCookieManager* Manager() {
  return webkit_web_context_get_cookie_manager(webkit_web_context_get_default());
}

SoupCookie* ToSoup(const NetscapeCookie& c) {
  // A host-only cookie has a domain without the leading dot; one that matches subdomains has it.
  std::string domain = c.domain;
  if (c.include_subdomains && domain.front() != '.') domain.insert(domain.begin(), '.');
  if (!c.include_subdomains && domain.front() == '.') domain.erase(domain.begin());
  SoupCookie* cookie =
      soup_cookie_new(c.name.c_str(), c.value.c_str(), domain.c_str(), c.path.c_str(), -1);
  soup_cookie_set_secure(cookie, c.secure);
  soup_cookie_set_http_only(cookie, c.http_only);
  if (c.expires > 0) {
    GDateTime* expires = g_date_time_new_from_unix_utc(c.expires);
    if (expires) {
      soup_cookie_set_expires(cookie, expires);
      g_date_time_unref(expires);
    }
  }
  return cookie;
}

NetscapeCookie FromSoup(SoupCookie* cookie) {
  NetscapeCookie c;
  const char* domain = soup_cookie_get_domain(cookie);
  c.domain = domain ? domain : "";
  c.include_subdomains = !c.domain.empty() && c.domain.front() == '.';
  const char* path = soup_cookie_get_path(cookie);
  c.path = path && *path ? path : "/";
  c.secure = soup_cookie_get_secure(cookie);
  c.http_only = soup_cookie_get_http_only(cookie);
  if (GDateTime* expires = soup_cookie_get_expires(cookie)) {
    c.expires = g_date_time_to_unix(expires);
  }
  c.name = soup_cookie_get_name(cookie);
  const char* value = soup_cookie_get_value(cookie);
  c.value = value ? value : "";
  return c;
}

// The cookies still being added by one Import; `done` runs when the last one is in.
struct ImportBatch {
  int outstanding = 0;
  std::function<void()> done;
};

void OnCookieAdded(GObject* manager, GAsyncResult* result, gpointer p) {
  auto* batch = static_cast<ImportBatch*>(p);
  webkit_cookie_manager_add_cookie_finish(WEBKIT_COOKIE_MANAGER(manager), result, nullptr);
  if (--batch->outstanding > 0) return;
  std::unique_ptr<ImportBatch> owned(batch);
  if (owned->done) owned->done();
}

struct ExportCall {
  std::function<void(std::vector<std::string>)> done;
};

void OnCookiesRead(GObject* manager, GAsyncResult* result, gpointer p) {
  std::unique_ptr<ExportCall> call(static_cast<ExportCall*>(p));
  GList* cookies =
      webkit_cookie_manager_get_cookies_finish(WEBKIT_COOKIE_MANAGER(manager), result, nullptr);
  std::vector<std::string> lines;
  for (GList* item = cookies; item != nullptr; item = item->next) {
    lines.push_back(FromSoup(static_cast<SoupCookie*>(item->data)).Format());
  }
  g_list_free_full(cookies, reinterpret_cast<GDestroyNotify>(&soup_cookie_free));
  if (call->done) call->done(std::move(lines));
}

}  // namespace

void ImportPageCookies(const std::vector<std::string>& netscape_lines,
                       std::function<void()> done) {
  auto batch = std::make_unique<ImportBatch>();
  batch->done = std::move(done);
  std::vector<SoupCookie*> cookies;
  for (const std::string& line : netscape_lines) {
    if (auto parsed = NetscapeCookie::Parse(line)) cookies.push_back(ToSoup(*parsed));
  }
  if (cookies.empty()) {
    if (!batch->done) return;
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer p) -> gboolean {
          std::unique_ptr<ImportBatch> owned(static_cast<ImportBatch*>(p));
          owned->done();
          return G_SOURCE_REMOVE;
        },
        batch.release(), nullptr);
    return;
  }
  batch->outstanding = int(cookies.size());
  ImportBatch* shared = batch.release();
  for (SoupCookie* cookie : cookies) {
    webkit_cookie_manager_add_cookie(Manager(), cookie, nullptr, &OnCookieAdded, shared);
    soup_cookie_free(cookie);
  }
}

void ExportPageCookies(const std::string& url,
                       std::function<void(std::vector<std::string>)> done) {
  auto call = std::make_unique<ExportCall>();
  call->done = std::move(done);
  webkit_cookie_manager_get_cookies(Manager(), url.c_str(), nullptr, &OnCookiesRead,
                                    call.release());
}

}  // namespace quillo::web
