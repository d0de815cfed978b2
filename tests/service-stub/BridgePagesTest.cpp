// The service's pages as the hosted music window sees them: the documents their buttons hand the
// program (read with the program's own parser), log-in and logout through the page, "my/", the
// upload page, and the probe page that another origin serves.
#include <map>
#include <regex>

#include "ServiceTestSupport.h"
#include "service/sync/AddMusicCallback.h"
#include "service/sync/ListKinds.h"
#include "store/ListDocument.h"

namespace quillo::testing {
namespace {

std::string HtmlUnescape(std::string text) {
  const std::pair<std::string, std::string> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, plain] : entities) {
    for (std::size_t at; (at = text.find(entity)) != std::string::npos;) text.replace(at, entity.size(), plain);
  }
  return text;
}

// The text of a single-quoted script literal whose specials are written as \xNN.
std::string JsUnescape(const std::string& literal) {
  std::string text;
  for (std::size_t i = 0; i < literal.size(); ++i) {
    if (literal[i] == '\\' && i + 3 < literal.size() && literal[i + 1] == 'x') {
      text.push_back(static_cast<char>(std::stoi(literal.substr(i + 2, 2), nullptr, 16)));
      i += 3;
    } else {
      text.push_back(literal[i]);
    }
  }
  return text;
}

struct PageButton {
  std::string action;  // "tryout" or "addDownload"
  std::string xml;
  std::string ids;
  std::string label;
};

std::vector<PageButton> Buttons(const std::string& html) {
  const std::regex button(
      R"re(onclick="(tryout|addDownload)\(this\)" data-xml="([^"]*)" data-ids="([^"]*)">([^<]*)<)re");
  std::vector<PageButton> buttons;
  for (std::sregex_iterator it(html.begin(), html.end(), button), end; it != end; ++it) {
    buttons.push_back({(*it)[1], HtmlUnescape((*it)[2]), HtmlUnescape((*it)[3]), (*it)[4]});
  }
  return buttons;
}

// What the program makes of a document a page hands it; fails the test when it would refuse it.
store::ListDocument Accepted(const std::string& xml) {
  const auto document = store::ParseListDocument(xml);
  if (!document) {
    ADD_FAILURE() << "does not parse: " << xml;
    return {};
  }
  EXPECT_TRUE(service::AddMusicCallback::IsAcceptable(*document)) << xml;
  return *document;
}

std::vector<std::string> IdsOf(const store::ListDocument& document) {
  std::vector<std::string> ids;
  for (const auto& record : document.records) ids.push_back(store::IdOf(record));
  return ids;
}

std::string At(const store::MusicRecord& record, const char* name) {
  const auto found = record.find(name);
  return found == record.end() ? std::string() : found->second;
}

class BridgePagesTest : public ServiceTest {
 protected:
  // The chart's song ids as the ranking list answer gives them.
  std::vector<std::string> ChartIds(const std::string& chart) {
    const auto list = ParseXml(
        Descramble(service_.Get("/api/getplaylist.php?client_id=0123456789abcdef0123456789abcdef&id=" + chart).body)
            .value_or(""));
    std::vector<std::string> ids;
    if (!list) return ids;
    for (const auto* song : Children(list->RootElement())) ids.push_back(Attr(song, "music_id"));
    return ids;
  }
  const PageButton* Find(const std::vector<PageButton>& buttons, const std::string& label) {
    for (const auto& button : buttons) {
      if (button.label == label) return &button;
    }
    ADD_FAILURE() << "no button " << label;
    return nullptr;
  }
};

TEST_F(BridgePagesTest, EveryRowHandsTheProgramItsOwnSong) {
  const ServiceSong& song = Songs()[0];
  const std::string pages[] = {
      "/go.php", "/music/", "/music/chart.php?id=1",
      "/music/search.php?q=" + ServiceProcess::UrlEncode(song.artist_name),
      "/music/artist.php?artistId=" + song.artist_id};
  const std::regex row(R"re(<tr id="song-([^"]+)">([\s\S]*?)</tr>)re");
  for (const auto& page : pages) {
    const std::string html = service_.Get(page).body;
    int rows = 0;
    for (std::sregex_iterator it(html.begin(), html.end(), row), end; it != end; ++it, ++rows) {
      const std::string id = (*it)[1];
      const auto buttons = Buttons((*it)[2]);
      ASSERT_EQ(buttons.size(), 2u) << page << " row " << id;
      EXPECT_EQ(buttons[0].action, "tryout");
      EXPECT_EQ(buttons[1].action, "addDownload");
      for (const auto& button : buttons) {
        EXPECT_EQ(button.ids, id);
        const store::ListDocument document = Accepted(button.xml);
        EXPECT_EQ(document.list_id, "") << page;
        ASSERT_EQ(document.records.size(), 1u) << page;
        EXPECT_EQ(store::IdOf(document.records[0]), id);
        EXPECT_EQ(At(document.records[0], "name"), Song(id).name);
        EXPECT_EQ(At(document.records[0], "artist_name"), Song(id).artist_name);
        EXPECT_EQ(At(document.records[0], "album_name"), Song(id).album_name);
      }
    }
    EXPECT_GT(rows, 0) << page;
  }
}

TEST_F(BridgePagesTest, DownloadAllFillsOneListNamedAfterTheChart) {
  const std::vector<std::string> chart = ChartIds("1");
  ASSERT_FALSE(chart.empty());
  const auto buttons = Buttons(service_.Get("/music/chart.php?id=1").body);
  const PageButton* all = Find(buttons, "全部下载");
  const PageButton* into_selected = Find(buttons, "全部加入选中的列表");
  ASSERT_TRUE(all && into_selected);

  const store::ListDocument document = Accepted(all->xml);
  EXPECT_TRUE(service::IsUserPlaylistId(document.list_id)) << document.list_id;
  EXPECT_EQ(document.list_name, "Zelbo热门歌曲排行");
  EXPECT_EQ(IdsOf(document), chart);
  // The same list on every load of the page; another chart has its own.
  EXPECT_EQ(Accepted(Find(Buttons(service_.Get("/music/chart.php?id=1").body), "全部下载")->xml).list_id,
            document.list_id);
  EXPECT_NE(Accepted(Find(Buttons(service_.Get("/music/chart.php?id=2").body), "全部下载")->xml).list_id,
            document.list_id);
  // The other button leaves the list to the program.
  const store::ListDocument plain = Accepted(into_selected->xml);
  EXPECT_EQ(plain.list_id, "");
  EXPECT_EQ(IdsOf(plain), chart);

  // What the program then sends creates the list on the service under the chart's name, so a
  // later log-in keeps that name.
  const LoginResult login = Login("demo", "demo");
  NameValues form = {{"playlistId", document.list_id}};
  for (const auto& id : chart) form.emplace_back("musicId[]", id);
  EXPECT_EQ(service_.PostForm("/api/addmusictoplaylist.php?force=1", form, login.CookieHeader()).status, 200);
  const auto answer = LoginDocument("demo", "demo");
  ASSERT_TRUE(answer);
  bool found = false;
  for (const auto& playlist : Playlists(*answer)) {
    if (playlist.id != document.list_id) continue;
    found = true;
    EXPECT_EQ(playlist.name, "Zelbo热门歌曲排行");
    EXPECT_EQ(playlist.items, chart);
  }
  EXPECT_TRUE(found);
}

TEST_F(BridgePagesTest, ShowMusicWindowKnowsEverySongWithItsDocument) {
  const std::string html = service_.Get("/music/index.php").body;
  EXPECT_NE(html.find("function show_music_window(id)"), std::string::npos);
  EXPECT_NE(html.find("show_music_window=([^\\/&]+)"), std::string::npos);  // the address form
  // Entries read 'ID':{name:'..',...,xml:'..'}; the literals hold no quote of their own.
  std::map<std::string, std::string> documents;
  for (std::size_t at = html.find("':{name:'"); at != std::string::npos; at = html.find("':{name:'", at + 1)) {
    const std::size_t key = html.rfind('\'', at - 1);
    const std::size_t xml = html.find(",xml:'", at);
    ASSERT_NE(xml, std::string::npos);
    const std::size_t xml_end = html.find('\'', xml + 6);
    documents[JsUnescape(html.substr(key + 1, at - key - 1))] = JsUnescape(html.substr(xml + 6, xml_end - xml - 6));
  }
  ASSERT_EQ(documents.size(), Songs().size());
  for (const auto& [id, xml] : documents) {
    const store::ListDocument document = Accepted(xml);
    ASSERT_EQ(document.records.size(), 1u);
    EXPECT_EQ(store::IdOf(document.records[0]), id);
    EXPECT_EQ(At(document.records[0], "name"), Song(id).name);
  }
}

TEST_F(BridgePagesTest, ProbeIsServedByTheUploadHostAndReportsToTheService) {
  const HttpAnswer probe = service_.Upload("GET", "/bridge_probe.html");
  ASSERT_EQ(probe.status, 200);
  EXPECT_EQ(probe.Header("Content-Type"), "text/html; charset=utf-8");
  for (const std::string& part : std::vector<std::string>{"window.external", "try {", "catch (e)", "GetLoginUser()",
                                 "var MAIN = '" + service_.base_url() + "'", "api/bridge_probe.php?found="}) {
    EXPECT_NE(probe.body.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(service_.Get("/bridge_probe.html").status, 404);

  service_.ClearLog();
  EXPECT_EQ(service_.Get("/api/bridge_probe.php?found=0&called=0&methods=").status, 200);
  EXPECT_EQ(service_.Get("/api/bridge_probe.php?found=1&called=1&methods=GetConfig").status, 200);
  EXPECT_EQ(service_.Get("/api/bridge_probe.php?found=yes&called=0").status, 400);
  const auto log = service_.RequestLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].server, "main");
  EXPECT_EQ(log[0].path, "/api/bridge_probe.php");
  EXPECT_EQ(log[0].Query("found"), "0");
  EXPECT_EQ(log[0].Query("called"), "0");
  EXPECT_EQ(log[1].Query("methods"), "GetConfig");
}

TEST_F(BridgePagesTest, PageLogInSetsTheCookieTheProgramThenLogsInWith) {
  const HttpAnswer refused = service_.PostForm("/user/login.php", {{"name", "demo"}, {"password", "wrong"}});
  EXPECT_EQ(refused.status, 200);
  EXPECT_TRUE(CookieOf(refused).empty());
  EXPECT_EQ(refused.body.find("OnUserLogin()"), std::string::npos);

  const HttpAnswer page = service_.PostForm("/user/login.php", {{"name", "demo"}, {"password", "demo"}});
  const std::string cookie = CookieOf(page);
  ASSERT_EQ(cookie.rfind("QSID=", 0), 0u) << cookie;
  EXPECT_NE(page.body.find("typeof window.external.OnUserLogin === 'function') { window.external.OnUserLogin(); }"),
            std::string::npos);
  // OnUserLogin makes the program ask "api/autologin.php" with the page's cookie.
  const auto answer = ParseXml(
      Descramble(service_.PostForm("/api/autologin.php", {}, {{"Cookie", cookie}}).body).value_or(""));
  ASSERT_TRUE(answer);
  EXPECT_EQ(Attr(answer->RootElement()->FirstChildElement("user"), "username"), "demo");
  EXPECT_EQ(answer->RootElement()->FirstChildElement("error"), nullptr);
}

TEST_F(BridgePagesTest, LogoutLinkTellsTheProgramOnceAndEndsTheWebSession) {
  const std::string cookie = CookieOf(service_.PostForm("/user/login.php", {{"name", "demo"}, {"password", "demo"}}));
  const std::string home = service_.Get("/music/", {{"Cookie", cookie}}).body;
  EXPECT_NE(home.find("href=\"/user/logout.php\" onclick=\"return zelboLogout()\""), std::string::npos);
  EXPECT_NE(home.find("zelboExternal('OnUserLogout')"), std::string::npos);

  const HttpAnswer page = service_.Get("/user/logout.php?notified=1", {{"Cookie", cookie}});
  EXPECT_EQ(page.status, 200);
  EXPECT_EQ(page.body.find("window.external.OnUserLogout()"), std::string::npos);
  EXPECT_NE(page.Header("Set-Cookie").find("Max-Age=0"), std::string::npos);
  const auto answer = ParseXml(
      Descramble(service_.PostForm("/api/autologin.php", {}, {{"Cookie", cookie}}).body).value_or(""));
  ASSERT_TRUE(answer);
  EXPECT_NE(answer->RootElement()->FirstChildElement("error"), nullptr);
}

TEST_F(BridgePagesTest, MySpaceShowsTheLoggedInUsersLibrary) {
  // The program's own link names the user; without a name it is not found.
  EXPECT_EQ(service_.Get("/my/index.php").status, 404);
  for (const char* target : {"/my/", "/my"}) {
    const HttpAnswer anonymous = service_.Get(target);
    ASSERT_EQ(anonymous.status, 200) << target;
    EXPECT_NE(anonymous.body.find("登录后可以在这里看到"), std::string::npos) << target;
  }
  const LoginResult login = Login("demo", "demo");
  const auto document = ParseXml(login.xml);
  ASSERT_TRUE(document);
  const std::vector<std::string> library = LibraryIds(*document);
  ASSERT_FALSE(library.empty());
  const HttpAnswer own = service_.Get("/my/", login.CookieHeader());
  EXPECT_NE(own.body.find("<title>我的空间 - Zelbo音乐</title>"), std::string::npos);
  for (const auto& id : library) {
    EXPECT_NE(own.body.find("<tr id=\"song-" + id + "\">"), std::string::npos) << id;
  }
}

TEST_F(BridgePagesTest, UploadPageSendsToTheUploadHostWhichLetsItReadTheAnswers) {
  const HttpAnswer page = service_.Get("/music/upload.php");
  ASSERT_EQ(page.status, 200);
  EXPECT_NE(page.body.find("var UPLOAD_HOST = 'http://" + service_.upload_host() + "/'"), std::string::npos);
  EXPECT_NE(page.body.find("type=\"file\""), std::string::npos);
  std::string origin = service_.base_url();
  origin.pop_back();
  const HttpAnswer start = service_.Upload("GET", "/api/upload.php?action=start");
  EXPECT_EQ(start.status, 200);
  EXPECT_EQ(start.Header("Access-Control-Allow-Origin"), origin);
  EXPECT_EQ(service_.Upload("GET", "/api/upload.php?action=bogus").Header("Access-Control-Allow-Origin"), origin);
}

}  // namespace
}  // namespace quillo::testing
