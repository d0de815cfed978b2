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
a.outbound { background: #7a8699; color: #fff; border-radius: 3px; padding: 3px 10px; margin-left: 10px; text-decoration: none; }
.error { color: #c0392b; } .notice { color: #2e7d32; }
#browser-note { background: #fffbe6; border: 1px solid #e6b847; padding: 8px 10px; margin: 10px 0; display: none; }
#song-detail { background: #fff; border: 1px solid #d5dbe3; padding: 10px; margin: 10px 0; display: none; }
form.box { background: #fff; padding: 14px; max-width: 360px; }
form.box label { display: block; margin: 8px 0 4px; }
)css";

// Every call into the program goes through here. In an ordinary browser (no window.external,
// or one without the program's methods) the buttons still do something useful: a preview plays
// in the page, a download becomes a file link, log-in opens the web form.
constexpr char kBridge[] = R"js(
function zelboHosted(method) {
  try {
    return !!window.external && typeof window.external[method] === 'function';
  } catch (e) {
    return false;
  }
}
function zelboExternal(method) {
  if (!zelboHosted(method)) return undefined;
  var args = Array.prototype.slice.call(arguments, 1);
  try {
    return window.external[method].apply(window.external, args);
  } catch (e) {
    return undefined;
  }
}
function zelboNote(html) {
  var box = document.getElementById('browser-note');
  if (!box) {
    box = document.createElement('div');
    box.id = 'browser-note';
    var main = document.querySelector('main') || document.body;
    main.insertBefore(box, main.firstChild);
  }
  box.innerHTML = html;
  box.style.display = 'block';
  return box;
}
function zelboFileLink(id) {
  return '/music/download_shiting.php?id=' + encodeURIComponent(id);
}
function zelboIds(button) {
  return (button.getAttribute('data-ids') || '').split(',').filter(function (id) { return id; });
}
function zelboPreview(id) {
  var box = zelboNote('<p>试听（在Zelbo音乐客户端中可以边听边看歌词）：</p><audio id="preview" controls></audio>');
  var player = box.querySelector('audio');
  player.src = zelboFileLink(id);
  var playing = player.play();
  if (playing && playing.catch) playing.catch(function () {});
}
function zelboFileLinks(ids) {
  var html = '<p>在浏览器中可以直接保存歌曲文件；用Zelbo音乐客户端下载会同时得到歌词和图片：</p><ul>';
  ids.forEach(function (id) {
    var name = (window.ZELBO_SONGS && ZELBO_SONGS[id]) ? ZELBO_SONGS[id].name : id;
    html += '<li><a download href="' + zelboFileLink(id) + '">' +
            String(name).replace(/[&<>"']/g, function (c) { return '&#' + c.charCodeAt(0) + ';'; }) +
            '</a></li>';
  });
  zelboNote(html + '</ul>');
}
function zelboTryout(xml, ids) {
  if (zelboHosted('Tryout')) return zelboExternal('Tryout', xml);
  if (ids.length) zelboPreview(ids[0]);
}
function zelboDownload(xml, ids) {
  if (zelboHosted('AddDownload')) return zelboExternal('AddDownload', xml);
  zelboFileLinks(ids);
}
function addDownload(button) { zelboDownload(button.getAttribute('data-xml'), zelboIds(button)); }
function tryout(button) { zelboTryout(button.getAttribute('data-xml'), zelboIds(button)); }
function showLogin() {
  if (zelboHosted('Login')) return zelboExternal('Login');
  location.href = '/user/login.php';
}
// The logout link tells the program first (which logs its own session out), then ends the web
// session; the logout page then need not tell the program again.
function zelboLogout() {
  zelboExternal('OnUserLogout');
  location.href = '/user/logout.php' + (zelboHosted('OnUserLogout') ? '?notified=1' : '');
  return false;
}
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
          "<a href=\"/music/upload.php\">上传</a><a href=\"/my/\">我的空间</a><a href=\"/user/login.php\">登录</a><a href=\"/user/register.php\">注册</a>"
          "<a href=\"/user/logout.php\" onclick=\"return zelboLogout()\">退出</a>"
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
