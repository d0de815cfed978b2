#pragma once
// The common frame of the service's web pages: one style sheet, a navigation bar and a helper
// script that reaches the client program through `window.external` when the page is hosted
// by it, and tells a plain browser to use the program instead.
#include <string>
#include <string_view>

namespace quillo::stub {

std::string HtmlEscape(std::string_view text);
// A JavaScript string literal in single quotes, safe inside an HTML attribute or a script.
std::string JsString(std::string_view text);

// A whole page. `body` is HTML; `script` (optional) runs after the page has loaded.
std::string HtmlPage(std::string_view title, std::string_view body, std::string_view script = {});

}  // namespace quillo::stub
