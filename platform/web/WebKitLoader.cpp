// The program's side of the web view: finds the WebKit side the first time it is needed and
// hands every call of WebView.h to it (see WebKitEntry.h).
#include <dlfcn.h>
#include <glib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/web/WebKitEntry.h"
#include "platform/window/GtkWindowPresenter.h"

#ifndef QUILLO_INSTALLED_WEBKIT_FOLDER
#define QUILLO_INSTALLED_WEBKIT_FOLDER "../lib/quillo/"
#endif

// Present when the program links the WebKit side itself (test programs), absent in `quillo`.
extern "C" const quillo::web::WebKitEntry* quillo_webkit_entry() __attribute__((weak));

namespace quillo::web {
namespace {

std::string ProgramFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : program.parent_path().string() + "/";
}

const WebKitEntry* OpenModule() {
  const std::string folder = ProgramFolder();
  // Installed, the module lives in the program's library folder; in the build tree beside it.
  std::string reasons;
  for (const std::string& candidate :
       {folder + QUILLO_INSTALLED_WEBKIT_FOLDER + kWebKitModuleFile, folder + kWebKitModuleFile}) {
    if (access(candidate.c_str(), R_OK) != 0) continue;
    // Never closed: WebKit's threads and its type registrations live as long as the process.
    void* module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (module == nullptr) {
      reasons += std::string(" ") + dlerror();
      continue;
    }
    using EntryFunction = const WebKitEntry* (*)();
    auto entry = reinterpret_cast<EntryFunction>(dlsym(module, kWebKitEntrySymbol));
    if (entry != nullptr) return entry();
    reasons += " " + candidate + ": no entry";
  }
  std::fprintf(stderr, "web view: %s not found beside %s or not loadable;%s\n", kWebKitModuleFile,
               folder.c_str(), reasons.empty() ? " no candidate" : reasons.c_str());
  return nullptr;
}

BuiltInPageLookup& PendingPageSource() {
  static BuiltInPageLookup lookup;
  return lookup;
}

bool& Loaded() {
  static bool loaded = false;
  return loaded;
}

// The table, loaded at the first call; null when the WebKit side cannot be had (every view is
// then refused as for a host without a native window). Window thread.
const WebKitEntry* Entry() {
  static const WebKitEntry* entry = [] {
    const WebKitEntry* found = quillo_webkit_entry != nullptr ? quillo_webkit_entry() : OpenModule();
    if (found != nullptr && PendingPageSource()) found->set_page_source(PendingPageSource());
    Loaded() = true;
    return found;
  }();
  return entry;
}

// Runs `task` on the window thread after the current call has returned.
void PostLater(std::function<void()> task) {
  g_idle_add_full(
      G_PRIORITY_DEFAULT,
      [](gpointer p) -> gboolean {
        (*static_cast<std::function<void()>*>(p))();
        return G_SOURCE_REMOVE;
      },
      new std::function<void()>(std::move(task)),
      [](gpointer p) { delete static_cast<std::function<void()>*>(p); });
}

}  // namespace

void SetBuiltInPageSource(BuiltInPageLookup lookup) {
  // Kept until a view is made, so setting the source never loads WebKit by itself.
  PendingPageSource() = lookup;
  if (Loaded() && Entry() != nullptr) Entry()->set_page_source(std::move(lookup));
}

std::unique_ptr<WebView> CreateWebView(window::WindowPresenter& host,
                                       const gfx::Rect& window_rect) {
  auto* gtk_host = dynamic_cast<window::GtkWindowPresenter*>(&host);
  if (gtk_host == nullptr) return nullptr;
  const WebKitEntry* entry = Entry();
  return entry != nullptr ? entry->create_view(gtk_host->fixed(), window_rect) : nullptr;
}

void WebCookies::Import(const std::vector<std::string>& netscape_lines,
                        std::function<void()> done) {
  if (const WebKitEntry* entry = Entry()) {
    entry->import_cookies(netscape_lines, std::move(done));
  } else if (done) {
    PostLater([done = std::move(done)] { done(); });
  }
}

void WebCookies::Export(const std::string& url,
                        std::function<void(std::vector<std::string>)> done) {
  if (const WebKitEntry* entry = Entry()) {
    entry->export_cookies(url, std::move(done));
  } else if (done) {
    // Without the WebKit side no page ever ran, so there are no page cookies.
    PostLater([done = std::move(done)] { done({}); });
  }
}

}  // namespace quillo::web
