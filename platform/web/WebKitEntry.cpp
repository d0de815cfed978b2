#include "platform/web/WebKitEntry.h"

#include <gtk/gtk.h>

#include "platform/web/GtkWebView.h"

namespace {

std::unique_ptr<quillo::web::WebView> CreateView(GtkFixed* area, const quillo::gfx::Rect& rect) {
  return std::make_unique<quillo::web::GtkWebView>(area, rect);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const quillo::web::WebKitEntry*
quillo_webkit_entry() {
  static const quillo::web::WebKitEntry entry{&CreateView, &quillo::web::SetPageSourceOfViews,
                                              &quillo::web::ImportPageCookies,
                                              &quillo::web::ExportPageCookies};
  return &entry;
}
