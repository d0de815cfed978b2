#pragma once
// Internal to platform/web: what the WebKitGTK side offers the rest of the program, as one table.
//
// The program links only the loader (WebKitLoader.cpp), which opens the module
// "libquillo-webkit.so" the first time a page window or the pages' cookies are needed, so WebKit
// and what it brings (JavaScriptCore, speech synthesis, GStreamer's GL) are never mapped into a
// run that shows no page. Test programs that host views link the WebKit side itself; the loader
// then takes the table from the program and opens no module.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/web/WebView.h"

typedef struct _GtkFixed GtkFixed;

namespace quillo::web {

struct WebKitEntry {
  // A view placed in the host window's child area at the window rectangle, shown.
  std::unique_ptr<WebView> (*create_view)(GtkFixed* area, const gfx::Rect& window_rect);
  // As SetBuiltInPageSource and WebCookies of WebView.h, for the views of this side.
  void (*set_page_source)(BuiltInPageLookup lookup);
  void (*import_cookies)(const std::vector<std::string>& netscape_lines,
                         std::function<void()> done);
  void (*export_cookies)(const std::string& url,
                         std::function<void(std::vector<std::string>)> done);
};

// The module's file name, and the name of the function that hands out its table.
inline constexpr char kWebKitModuleFile[] = "libquillo-webkit.so";
inline constexpr char kWebKitEntrySymbol[] = "quillo_webkit_entry";

// The WebKit side's own halves of the table (GtkWebView.cpp, WebCookies.cpp).
void SetPageSourceOfViews(BuiltInPageLookup lookup);
void ImportPageCookies(const std::vector<std::string>& netscape_lines, std::function<void()> done);
void ExportPageCookies(const std::string& url,
                       std::function<void(std::vector<std::string>)> done);

}  // namespace quillo::web

// Defined by the WebKit side (WebKitEntry.cpp); the table lives for the whole run.
extern "C" const quillo::web::WebKitEntry* quillo_webkit_entry();
