#include "service-stub/HtmlPage.h"

namespace quillo::stub {
namespace {

constexpr char kStyle[] = R"css(
body { font-family: "Noto Sans CJK SC", "WenQuanYi Zen Hei", sans-serif; margin: 0; background: #f4f6f8; color: #222; font-size: 14px; }
header { background: #2d6cdf; color: #fff; padding: 8px 16px; }
header a { color: #fff; margin-right: 14px; text-decoration: none; }
header form { display: inline; float: right; }
main { padding: 12px 16px; }
h1 { font-size: 18px; } h2 { font-size: 16px; margin-top: 18px; }
table.songs { border-collapse: collapse; width: 100%; background: #fff; }
table.songs td, table.songs th { border-bottom: 1px solid #e3e6ea; padding: 5px 8px; text-align: left; }
table.songs tr.highlight { background: #fff6d6; }
button { background: #2d6cdf; color: #fff; border: 0; border-radius: 3px; padding: 3px 10px; cursor: pointer; }
button.secondary { background: #7a8699; }
.error { color: #c0392b; } .notice { color: #2e7d32; }
#song-detail { background: #fff; border: 1px solid #d5dbe3; padding: 10px; margin: 10px 0; display: none; }
form.box { background: #fff; padding: 14px; max-width: 360px; }
form.box label { display: block; margin: 8px 0 4px; }
)css";

// Every call into the program goes through here, so that a page opened in an ordinary browser
// says what to do instead of failing silently.
constexpr char kBridge[] = R"js(
function zelboExternal(method) {
  var args = Array.prototype.slice.call(arguments, 1);
  if (window.external && typeof window.external[method] === 'function') {
    return window.external[method].apply(window.external, args);
  }
  alert('请在Zelbo音乐客户端中使用此功能');
  return '';
}
function addDownload(button) { zelboExternal('AddDownload', button.getAttribute('data-xml')); }
function tryout(button) { zelboExternal('Tryout', button.getAttribute('data-xml')); }
function showLogin() { zelboExternal('Login'); }
)js";

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out.push_back(c);
    }
  }
  return out;
}

std::string JsString(std::string_view text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "'";
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\'' || c == '"' || c == '\\' || c == '<' || c == '>' || c == '&' || u < 0x20) {
      out += "\\x";
      out += kHex[u >> 4];
      out += kHex[u & 0xF];
    } else {
      out.push_back(c);
    }
  }
  out += "'";
  return out;
}

std::string HtmlPage(std::string_view title, std::string_view body, std::string_view script) {
  std::string page = "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">";
  page += "<title>" + HtmlEscape(title) + " - Zelbo音乐</title><style>";
  page += kStyle;
  page += "</style><script>";
  page += kBridge;
  page += "</script></head><body><header><a href=\"/music/\">乐库</a><a href=\"/music/search.php\">搜索</a>"
          "<a href=\"/user/login.php\">登录</a><a href=\"/user/register.php\">注册</a>"
          "<a href=\"/user/logout.php\">退出</a>"
          "<form action=\"/music/search.php\" method=\"get\"><input name=\"q\" placeholder=\"歌曲、歌手、专辑\">"
          "<button type=\"submit\">搜索</button></form></header><main>";
  page += "<h1>" + HtmlEscape(title) + "</h1>";
  page += body;
  page += "</main>";
  if (!script.empty()) {
    page += "<script>";
    page += script;
    page += "</script>";
  }
  page += "</body></html>\n";
  return page;
}

}  // namespace quillo::stub
