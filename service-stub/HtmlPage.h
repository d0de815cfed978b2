#pragma once
// The common frame of the service's web pages: one style sheet, a navigation bar and a helper
// script that reaches the client program through `window.external` when the page is hosted
// by it; in a plain browser its song buttons play a preview in the page and offer file links.
// Page functions: tryout(button) / addDownload(button) hand the button's data-xml list
// document to Tryout / AddDownload (data-ids for the browser's fallback), showLogin(),
// zelboLogout() (the logout link: OnUserLogout, then the web logout).
#include <string>
#include <string_view>

namespace quillo::stub {

std::string HtmlEscape(std::string_view text);
// A JavaScript string literal in single quotes, safe inside an HTML attribute or a script.
std::string JsString(std::string_view text);

// A whole page. `body` is HTML; `script` (optional) runs after the page has loaded.
std::string HtmlPage(std::string_view title, std::string_view body, std::string_view script = {});

}  // namespace quillo::stub
