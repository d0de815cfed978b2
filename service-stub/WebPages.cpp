#include "service-stub/WebPages.h"

#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"
#include "service-stub/Answers.h"
#include "service-stub/HtmlPage.h"
#include "service-stub/Session.h"

namespace quillo::stub {
namespace {

constexpr std::size_t kHomeChartRows = 8;

Reply Page(std::string html) {
  Reply reply;
  reply.content_type = "text/html; charset=utf-8";
  reply.body = std::move(html);
  return reply;
}

// The exact size once the song's audio has been rendered; before that the size its length gives
// at 128 kbit/s (16000 bytes a second), so that viewing the page never renders a song.
std::string FileSizeText(const ServiceContext& context, const CatalogueSong& song) {
  if (const auto size = context.songs.RenderedSize(song)) return std::to_string(*size) + " 字节";
  const std::int64_t estimate = static_cast<std::int64_t>(song.score.duration_ms) * 16;
  return "约 " + std::to_string(estimate) + " 字节";
}

std::string ArtistName(const Catalogue& catalogue, const CatalogueSong& song) {
  const CatalogueArtist* artist = catalogue.FindArtist(song.artist_id);
  return artist ? artist->name : std::string();
}

std::string AlbumName(const Catalogue& catalogue, const CatalogueSong& song) {
  const CatalogueAlbum* album = catalogue.FindAlbum(song.album_id);
  return album ? album->name : std::string("未知专辑");
}

std::string SongXml(const Catalogue& catalogue, const std::string& pid, const std::string& pname,
                    const std::vector<std::string>& ids) {
  return ListDocument(catalogue, pid, pname, ids).PrintDocument();
}

// A button that hands the program a list document; `ids` (comma-separated) serve the page's
// own fallback in a plain browser.
std::string DocumentButton(const char* action, const std::string& xml, const std::string& ids,
                           const std::string& label, const char* css_class = nullptr) {
  return std::string("<button") + (css_class ? std::string(" class=\"") + css_class + "\"" : "") +
         " onclick=\"" + action + "(this)\" data-xml=\"" + HtmlEscape(xml) + "\" data-ids=\"" +
         HtmlEscape(ids) + "\">" + label + "</button>";
}

std::string SongButtons(const Catalogue& catalogue, const CatalogueSong& song) {
  const std::string xml = SongXml(catalogue, "", "", {song.id});
  return DocumentButton("tryout", xml, song.id, "试听") + " " +
         DocumentButton("addDownload", xml, song.id, "下载");
}

std::string JoinIds(const std::vector<std::string>& ids) {
  std::string joined;
  for (const auto& id : ids) joined += (joined.empty() ? "" : ",") + id;
  return joined;
}

std::string SongTable(const Catalogue& catalogue, const std::vector<const CatalogueSong*>& songs) {
  if (songs.empty()) return "<p>没有歌曲。</p>";
  std::string html = "<table class=\"songs\"><tr><th>#</th><th>歌曲</th><th>歌手</th><th>专辑</th><th></th></tr>";
  int number = 1;
  for (const CatalogueSong* song : songs) {
    html += "<tr id=\"song-" + HtmlEscape(song->id) + "\"><td>" + std::to_string(number++) + "</td>";
    html += "<td><a href=\"#show_music_window=" + HtmlEscape(song->id) + "/ext=1\">" +
            HtmlEscape(song->name) + "</a></td>";
    html += "<td><a href=\"/music/artist.php?artistId=" + HtmlEscape(song->artist_id) + "\">" +
            HtmlEscape(ArtistName(catalogue, *song)) + "</a></td>";
    html += "<td>" + HtmlEscape(AlbumName(catalogue, *song)) + "</td>";
    html += "<td>" + SongButtons(catalogue, *song) + "</td></tr>";
  }
  return html + "</table>";
}

std::vector<const CatalogueSong*> SongsOf(const Catalogue& catalogue, const std::vector<std::string>& ids) {
  std::vector<const CatalogueSong*> songs;
  for (const auto& id : ids) {
    if (const CatalogueSong* song = catalogue.FindSong(id)) songs.push_back(song);
  }
  return songs;
}

std::string Greeting(ServiceContext& context, const Call& call) {
  if (const auto session = SessionOf(context, call)) {
    if (const auto user = context.users.FindUser(session->user_id)) {
      return "<p>您好，" + HtmlEscape(user->name) + "！<a href=\"/my/index.php?user_id=" +
             HtmlEscape(user->id) + "\">我的空间</a> · <a href=\"/user/logout.php\" onclick=\"return zelboLogout()\">退出登录</a></p>";
    }
  }
  return "<p>您还没有登录。<button onclick=\"showLogin()\">登录</button> "
         "<a href=\"/user/login.php\">网页登录</a> · <a href=\"/user/register.php\">注册新帐号</a></p>";
}

// The song details for show_music_window(): every song of the catalogue, keyed by id.
std::string SongDetailsScript(const Catalogue& catalogue) {
  std::string script = "var ZELBO_SONGS = {";
  bool first = true;
  for (const auto& song : catalogue.songs()) {
    if (!first) script += ",";
    first = false;
    script += JsString(song.id) + ":{name:" + JsString(song.name) + ",artist:" +
              JsString(ArtistName(catalogue, song)) + ",artistId:" + JsString(song.artist_id) +
              ",album:" + JsString(AlbumName(catalogue, song)) + ",xml:" +
              JsString(SongXml(catalogue, "", "", {song.id})) + "}";
  }
  script += R"js(};
function escapeHtml(text) {
  return String(text).replace(/[&<>"']/g, function (c) {
    return {'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;', "'": '&#39;'}[c];
  });
}
// Called by the program (and by the address form #show_music_window=ID/ext=1) to show a song.
function show_music_window(id) {
  var song = ZELBO_SONGS[String(id)];
  var box = document.getElementById('song-detail');
  if (!box) return '';
  if (!song) {
    box.innerHTML = '<p class="error">没有找到这首歌曲。</p>';
    box.style.display = 'block';
    return '';
  }
  box.innerHTML = '<h2>' + escapeHtml(song.name) + '</h2><p>歌手：<a href="/music/artist.php?artistId=' +
      encodeURIComponent(song.artistId) + '">' + escapeHtml(song.artist) + '</a>　专辑：' +
      escapeHtml(song.album) + '</p><p><button id="detail-tryout">试听</button> ' +
      '<button id="detail-download">下载</button></p>';
  document.getElementById('detail-tryout').onclick = function () { zelboTryout(song.xml, [String(id)]); };
  document.getElementById('detail-download').onclick = function () { zelboDownload(song.xml, [String(id)]); };
  box.style.display = 'block';
  var rows = document.querySelectorAll('tr.highlight');
  for (var i = 0; i < rows.length; ++i) rows[i].className = '';
  var row = document.getElementById('song-' + id);
  if (row) row.className = 'highlight';
  box.scrollIntoView();
  return String(id);
}
function showFromAddress() {
  var match = /show_music_window=([^\/&]+)/.exec(location.hash);
  if (match) show_music_window(decodeURIComponent(match[1]));
}
window.addEventListener('hashchange', showFromAddress);
showFromAddress();
)js";
  return script;
}

Reply MusicHome(ServiceContext& context, const Call& call, bool welcome) {
  const Catalogue& catalogue = context.catalogue;
  std::string body;
  if (welcome) {
    // A link off the site (the partner pages live on another host): pages there are not the
    // service's own and must find no bridge into the program.
    body += "<p class=\"notice\">欢迎来到Zelbo音乐中心，海量好歌随便听。<a class=\"outbound\" href=\"" +
            HtmlEscape(context.upload_url) + "bridge_probe.html\">合作站点</a></p>";
  }
  body += Greeting(context, call);
  body += "<div id=\"song-detail\"></div>";
  for (const auto& chart : catalogue.charts()) {
    std::vector<std::string> top(chart.song_ids.begin(),
                                 chart.song_ids.begin() + std::min(chart.song_ids.size(), kHomeChartRows));
    body += "<h2><a href=\"/music/chart.php?id=" + HtmlEscape(chart.id) + "\">" +
            HtmlEscape(chart.name) + "</a></h2>";
    body += SongTable(catalogue, SongsOf(catalogue, top));
  }
  body += "<h2>随便听听</h2><p>";
  for (const auto& group : catalogue.groups()) {
    body += "<a href=\"/music/search.php?group=" + HtmlEscape(group.id) + "\">" + HtmlEscape(group.name) + "</a> ";
  }
  body += "</p>";
  return Page(HtmlPage("乐库", body, SongDetailsScript(catalogue)));
}

Reply Home(ServiceContext& context, const Call& call) {
  return MusicHome(context, call, false);
}

Reply Go(ServiceContext& context, const Call& call) { return MusicHome(context, call, true); }

Reply SiteHome(ServiceContext& context, const Call& call) {
  std::string body = Greeting(context, call);
  body += "<p><a href=\"/music/\">进入乐库</a> · <a href=\"/user/register.php\">注册</a> · "
          "<a href=\"/user/retrieve_pwd.php\">找回密码</a></p>";
  return Page(HtmlPage("Zelbo音乐", body));
}

Reply ChartPage(ServiceContext& context, const Call& call) {
  const CatalogueChart* chart = context.catalogue.FindChart(call.ParamOr("id"));
  if (!chart) return ErrorPage(404, "排行榜不存在");
  // "全部下载" puts the songs into a playlist named after the chart, the same one every time;
  // the other button leaves the choice of list to the program (the one selected there).
  const std::string ids = JoinIds(chart->song_ids);
  const std::string as_list = SongXml(context.catalogue, ChartListId(chart->id), chart->name, chart->song_ids);
  const std::string plain = SongXml(context.catalogue, "", "", chart->song_ids);
  std::string body = "<p>" + DocumentButton("addDownload", as_list, ids, "全部下载") + " " +
                     DocumentButton("addDownload", plain, ids, "全部加入选中的列表", "secondary") +
                     "</p><div id=\"song-detail\"></div>";
  body += SongTable(context.catalogue, SongsOf(context.catalogue, chart->song_ids));
  return Page(HtmlPage(chart->name, body, SongDetailsScript(context.catalogue)));
}

Reply SearchPage(ServiceContext& context, const Call& call) {
  const std::string query = text::SanitizeUtf8(call.ParamOr("q"));
  std::vector<const CatalogueSong*> songs;
  std::string title = "搜索";
  if (call.Param("group")) {
    const RandomGroup* group = context.catalogue.FindGroup(call.ParamOr("group"));
    if (!group) return ErrorPage(404, "分类不存在");
    songs = context.catalogue.SongsInGroup(group->id);
    title = group->name;
  } else if (!text::Trim(query).empty()) {
    songs = context.catalogue.Search(query);
    title = "搜索：" + query;
  }
  std::string body = "<form method=\"get\" action=\"/music/search.php\"><input name=\"q\" value=\"" +
                     HtmlEscape(query) + "\"> <button type=\"submit\">搜索</button></form>";
  if (!text::Trim(query).empty() || call.Param("group")) {
    body += "<p>共找到 " + std::to_string(songs.size()) + " 首歌曲。</p><div id=\"song-detail\"></div>";
    body += SongTable(context.catalogue, songs);
  }
  return Page(HtmlPage(title, body, SongDetailsScript(context.catalogue)));
}

Reply ArtistPage(ServiceContext& context, const Call& call) {
  const CatalogueArtist* artist = context.catalogue.FindArtist(call.ParamOr("artistId"));
  if (!artist) return ErrorPage(404, "歌手不存在");
  std::string body = "<p><img width=\"64\" height=\"64\" alt=\"\" src=\"/music/download_image.php?id=" +
                     HtmlEscape(artist->id) + "&amp;type=artist&amp;size=64\"></p>";
  const RandomGroup* group = context.catalogue.FindGroup(std::to_string(artist->group_id));
  if (group) body += "<p>分类：" + HtmlEscape(group->name) + "</p>";
  body += "<div id=\"song-detail\"></div>";
  body += SongTable(context.catalogue, context.catalogue.SongsOfArtist(artist->id));
  return Page(HtmlPage(artist->name, body, SongDetailsScript(context.catalogue)));
}

// Tells the hosting program that the page logged the user in (or out).
std::string NotifyProgram(const char* method) {
  return std::string("try { if (window.external && typeof window.external.") + method +
         " === 'function') { window.external." + method + "(); } } catch (e) {}";
}

std::string LoginForm(const std::string& message, const std::string& name) {
  return (message.empty() ? "" : "<p class=\"error\">" + HtmlEscape(message) + "</p>") +
         "<form class=\"box\" method=\"post\" action=\"/user/login.php\">"
         "<label>用户名</label><input name=\"name\" autofocus value=\"" + HtmlEscape(name) + "\">"
         "<label>密码</label><input name=\"password\" type=\"password\">"
         "<p><button type=\"submit\">登录</button> <a href=\"/user/retrieve_pwd.php\">忘记密码</a> · "
         "<a href=\"/user/register.php\">申请帐号</a></p></form>";
}

Reply LoggedInPage(ServiceContext& context, const UserRecord& user, const std::string& title) {
  const auto session = context.users.CreateSession(user.id);
  if (!session) return ErrorPage(500, "服务器忙，请稍后再试");
  Reply reply = Page(HtmlPage(title, "<p class=\"notice\">" + HtmlEscape(user.name) +
                                         "，您已成功登录。</p><p><a href=\"/music/\">返回乐库</a></p>",
                              NotifyProgram("OnUserLogin")));
  reply.SetHeader("Set-Cookie", SessionCookieHeader(session->sid));
  return reply;
}

Reply LoginPage(ServiceContext& context, const Call& call) {
  if (call.method() != "POST") return Page(HtmlPage("用户登录", LoginForm("", "")));
  const std::string name = text::SanitizeUtf8(call.ParamOr("name"));
  const std::string password = call.ParamOr("password");
  if (name.empty() || password.empty()) return Page(HtmlPage("用户登录", LoginForm("请输入用户名和密码", name)));
  const auto user = name.size() > 256 || password.size() > 256 ? std::nullopt
                                                              : context.users.CheckPassword(name, password);
  if (!user) return Page(HtmlPage("用户登录", LoginForm("用户名或密码错误", name)));
  return LoggedInPage(context, *user, "登录成功");
}

// "notified=1": the page's logout link has told the program already.
Reply LogoutPage(ServiceContext& context, const Call& call) {
  if (const auto session = SessionOf(context, call)) context.users.DeleteSession(session->sid);
  const bool notified = call.ParamOr("notified") == "1";
  Reply reply = Page(HtmlPage("退出登录", "<p class=\"notice\">您已退出登录。</p><p><a href=\"/music/\">返回乐库</a></p>",
                              notified ? std::string() : NotifyProgram("OnUserLogout")));
  reply.SetHeader("Set-Cookie", ExpiredSessionCookieHeader());
  return reply;
}

std::string RegisterForm(const std::string& message, const std::string& name) {
  return (message.empty() ? "" : "<p class=\"error\">" + HtmlEscape(message) + "</p>") +
         "<form class=\"box\" method=\"post\" action=\"/user/register.php\">"
         "<label>用户名（2 到 20 个字）</label><input name=\"name\" autofocus value=\"" + HtmlEscape(name) + "\">"
         "<label>密码</label><input name=\"password\" type=\"password\">"
         "<label>再输一次密码</label><input name=\"password2\" type=\"password\">"
         "<label>性别</label><select name=\"gender\"><option value=\"1\">男</option>"
         "<option value=\"2\">女</option></select>"
         "<p><button type=\"submit\">注册</button></p></form>";
}

Reply RegisterPage(ServiceContext& context, const Call& call) {
  if (call.method() != "POST") return Page(HtmlPage("注册新帐号", RegisterForm("", "")));
  const std::string name = text::Trim(text::SanitizeUtf8(call.ParamOr("name")));
  const std::string password = call.ParamOr("password");
  const std::size_t length = text::CodePointCount(name);
  std::string problem;
  if (length < 2 || length > 20) problem = "用户名应为 2 到 20 个字";
  else if (name.find_first_of(" \t\r\n") != std::string::npos) problem = "用户名不能包含空格";
  else if (password.empty() || password.size() > 64) problem = "请输入 1 到 64 位的密码";
  else if (password != call.ParamOr("password2")) problem = "两次输入的密码不一致";
  if (!problem.empty()) return Page(HtmlPage("注册新帐号", RegisterForm(problem, name)));
  const std::string gender = call.ParamOr("gender") == "2" ? "2" : "1";
  const auto user = context.users.CreateUser(name, password, gender);
  if (!user) return Page(HtmlPage("注册新帐号", RegisterForm("该用户名已被注册", name)));
  return LoggedInPage(context, *user, "注册成功");
}

Reply RetrievePasswordPage(ServiceContext&, const Call& call) {
  std::string body;
  if (call.method() == "POST") {
    // The same answer whether the account exists or not, so the page cannot probe names.
    body = "<p class=\"notice\">如果该帐号存在，重设密码的邮件已发送到注册邮箱。</p>";
  }
  body += "<form class=\"box\" method=\"post\" action=\"/user/retrieve_pwd.php\"><label>用户名</label>"
          "<input name=\"name\"><p><button type=\"submit\">找回密码</button></p></form>";
  return Page(HtmlPage("找回密码", body));
}

// "my/index.php?user_id=ID" shows that user (an unknown or missing id is not found); "my/"
// shows the logged-in user's own space, or a way to log in.
Reply UserPage(ServiceContext& context, const Call& call) {
  std::string user_id = call.ParamOr("user_id");
  bool own = false;
  if (user_id.empty() && call.path() != "/my/index.php") {
    const auto session = SessionOf(context, call);
    if (!session) {
      return Page(HtmlPage("我的空间", "<p>登录后可以在这里看到您的曲库和播放列表。</p>"
                                       "<p><button onclick=\"showLogin()\">登录</button> "
                                       "<a href=\"/user/register.php\">注册新帐号</a></p>"));
    }
    user_id = session->user_id;
    own = true;
  }
  const auto user = context.users.FindUser(user_id);
  if (!user) return ErrorPage(404, "用户不存在");
  std::string body = "<p><img width=\"64\" height=\"64\" alt=\"\" src=\"/music/download_image.php?id=" +
                     HtmlEscape(user->id) + "&amp;type=user&amp;size=64\"></p><h2>曲库</h2>";
  body += SongTable(context.catalogue, SongsOf(context.catalogue, context.users.Library(user->id)));
  for (const auto& playlist : context.users.Playlists(user->id)) {
    body += "<h2>" + HtmlEscape(playlist.name) + "</h2>";
    body += SongTable(context.catalogue, SongsOf(context.catalogue, playlist.songs));
  }
  return Page(HtmlPage(own ? "我的空间" : user->name + "的主页", body, SongDetailsScript(context.catalogue)));
}

Reply AdminMusicPage(ServiceContext& context, const Call& call) {
  if (call.ParamOr("action") != "index") return ErrorPage(400, "不支持的操作");
  const CatalogueSong* song = context.catalogue.FindSong(call.ParamOr("music_id"));
  if (!song) return ErrorPage(404, "歌曲不存在");
  const char* lyric = song->lyric == LyricEncoding::kNone     ? "无"
                      : song->lyric == LyricEncoding::kGbk    ? "LRC（GBK）"
                      : song->lyric == LyricEncoding::kUtf8Bom ? "LRC（UTF-8，带 BOM）"
                                                               : "LRC（UTF-8）";
  auto row = [](const std::string& name, const std::string& value) {
    return "<tr><th>" + HtmlEscape(name) + "</th><td>" + HtmlEscape(value) + "</td></tr>";
  };
  std::string body = "<table class=\"songs\">";
  body += row("编号", song->id) + row("歌名", song->name) + row("歌手", ArtistName(context.catalogue, *song)) +
          row("专辑", AlbumName(context.catalogue, *song)) + row("曲序", std::to_string(song->album_seq)) +
          row("格式", song->format == AudioFormat::kWma ? "WMA" : "MP3 128kbps") +
          row("文件大小", FileSizeText(context, *song)) +
          row("时长", std::to_string(song->score.duration_ms / 1000) + " 秒") + row("歌词", lyric) +
          row("卡拉OK歌词", song->karaoke ? "有" : "无") +
          row("镜像下载", song->mirror == MirrorKind::kNone ? "否" : "是");
  body += "</table><p><a href=\"/music/download_shiting.php?id=" + HtmlEscape(song->id) +
          "\">试听文件</a> · <a href=\"/music/download_lyric.php?id=" + HtmlEscape(song->id) +
          "&amp;type=lrc\">歌词</a></p>";
  return Page(HtmlPage("歌曲管理：" + song->name, body));
}

}  // namespace

void RegisterWebPages(Router& router) {
  router.Add("GET", "/", SiteHome);
  router.Add("GET", "/index.php", SiteHome);
  router.Add("GET", "/go.php", Go);
  router.Add("GET", "/music", Home);
  router.Add("GET", "/music/", Home);
  router.Add("GET", "/music/index.php", Home);
  router.Add("GET", "/music/chart.php", ChartPage);
  router.Add("GET", "/music/search.php", SearchPage);
  router.Add("GET", "/music/artist.php", ArtistPage);
  router.Add("*", "/user/login.php", LoginPage);
  router.Add("GET", "/user/logout.php", LogoutPage);
  router.Add("*", "/user/register.php", RegisterPage);
  router.Add("*", "/user/retrieve_pwd.php", RetrievePasswordPage);
  router.Add("GET", "/my", UserPage);
  router.Add("GET", "/my/", UserPage);
  router.Add("GET", "/my/index.php", UserPage);
  router.Add("GET", "/admin/music.php", AdminMusicPage);
}

}  // namespace quillo::stub
