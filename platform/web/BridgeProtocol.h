#pragma once
// What the embedded browser and its pages say to each other, as text: the script that gives a
// trusted page its `window.external`, the request a method call sends to the bridge scheme and
// its answer, the script that calls a page function, and which addresses are trusted. No
// browser engine here, so every rule is checked without a display. Any thread.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/web/WebView.h"

namespace quillo::web::bridge {

// The scheme a method call is posted to, and the scheme of the built-in pages
// ("quillo-page:///downloaddlg.html"; relative links resolve beside it).
inline constexpr std::string_view kBridgeScheme = "quillo-bridge";
inline constexpr std::string_view kPageScheme = "quillo-page";
// Where the injected script posts its calls.
inline constexpr std::string_view kBridgeUrl = "quillo-bridge://call/";

// The text as a JSON string literal, quotes included. Bytes that are not valid UTF-8 become
// U+FFFD; U+2028 and U+2029 are escaped too, so the literal is also a valid script literal.
std::string JsonQuote(std::string_view utf8);

// One `window.external.<method>(args...)` call as the page posts it:
// {"token": "...", "method": "...", "args": ["...", ...]}.
struct BridgeRequest {
  std::string token;
  std::string method;
  std::vector<std::string> args;
};
// Exactly that shape (members in any order, each once, nothing else); no value otherwise.
std::optional<BridgeRequest> ParseBridgeRequest(std::string_view json);
// The request's body as the injected script makes it (used by tests and forged requests).
std::string BridgeRequestJson(const BridgeRequest& request);
// The answer's body: {"kind":"void"}, {"kind":"string","value":"..."} or
// {"kind":"bool","value":true}.
std::string BridgeAnswerJson(const BridgeValue& value);

// "scheme://host[:port]" of an absolute address, scheme and host in lower case and the default
// port (80 for http, 443 for https) left out; empty for addresses without a host.
std::string OriginOf(std::string_view url);
// Whether the address is a built-in page.
bool IsBuiltInUrl(std::string_view url);
// Whether a page at the address may have `window.external`: a built-in page, or an http(s) page
// whose origin is one of `origins` (compared as OriginOf makes them).
bool IsTrustedUrl(std::string_view url, const std::vector<std::string>& origins);
// Whether the top frame may go to the address at all: http, https, the built-in pages,
// about:blank and data: pages. Local files and every other scheme are refused.
bool IsAllowedNavigation(std::string_view url);

// The address of a built-in page by name, and the name back from a page address's path
// ("/img/a.png" → "img/a.png"; empty when it is not one).
std::string BuiltInUrl(std::string_view name);
std::string BuiltInNameOfPath(std::string_view path);

// The browser's address patterns ("scheme://host/*") under which the injected script is
// offered: the trusted origins' hosts and the built-in pages. The script checks the exact
// origin itself, as these patterns do not tell ports apart.
std::vector<std::string> ScriptAllowList(const std::vector<std::string>& origins);

// The document-start script that defines `window.external` with these methods on trusted
// pages. Each method posts a synchronous request carrying `token` and answers undefined, a
// string or a boolean; a failed call answers undefined and never throws.
std::string ExternalScript(std::string_view token, const std::vector<std::string>& methods,
                           const std::vector<std::string>& origins);

// A script that calls the page's global function `name` with the texts as string arguments when
// it is a function, and evaluates to its result when that is a string, else to "". Exceptions
// stay inside.
std::string CallFunctionScript(std::string_view name, const std::vector<std::string>& args);

// The style sheet every page gets: no scroll bars and no border, whatever the page says.
std::string_view HostStyleSheet();

}  // namespace quillo::web::bridge
