// The web pages of the hosted windows.
#include <cstring>
#include <regex>

#include "ServiceTestSupport.h"

namespace quillo::testing {
namespace {

std::string HtmlUnescape(std::string text) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&amp;", "&"}};
  for (const auto& [entity, plain] : entities) {
    for (std::size_t at; (at = text.find(entity)) != std::string::npos;) text.replace(at, std::strlen(entity), plain);
  }
  return text;
}

using WebPagesTest = ServiceTest;

TEST_F(WebPagesTest, PagesOfferWhatTheHostedWindowsCall) {
  const ServiceSong& song = Songs()[0];
  const struct {
    std::string target;
    std::vector<std::string> contains;
  } pages[] = {
      {"/go.php", {"欢迎", "window.external", "AddDownload", "Tryout", "function show_music_window", "Zelbo热门歌曲排行"}},
      {"/music/", {"'Login'", "function show_music_window", "showFromAddress"}},
      {"/music/index.php", {"show_music_window=", "/ext=1"}},
      {"/music/search.php?q=" + ServiceProcess::UrlEncode(song.artist_name), {song.name, "共找到"}},
      {"/music/artist.php?artistId=" + song.artist_id, {song.artist_name, "type=artist"}},
      {"/music/chart.php?id=1", {"全部下载", "全部加入选中的列表"}},
      {"/music/upload.php", {"upload-file", "action="}},
      {"/my/", {"我的空间", "showLogin()"}},
      {"/user/login.php", {"name=\"password\"", "忘记密码"}},
      {"/user/register.php", {"password2", "注册"}},
      {"/user/retrieve_pwd.php", {"找回密码"}},
      {"/my/index.php?user_id=10001", {"我的收藏", "Road Trip"}},
      {"/admin/music.php?action=index&music_id=" + song.id, {song.name, "文件大小"}},
      {"/?f=c", {"进入乐库"}},
  };
  for (const auto& page : pages) {
    const HttpAnswer answer = service_.Get(page.target);
    ASSERT_EQ(answer.status, 200) << page.target;
    EXPECT_EQ(answer.Header("Content-Type"), "text/html; charset=utf-8");
    EXPECT_NE(answer.body.find("<html lang=\"zh-CN\">"), std::string::npos) << page.target;
    for (const auto& text : page.contains) {
      EXPECT_NE(answer.body.find(text), std::string::npos) << page.target << " lacks " << text;
    }
  }
}

TEST_F(WebPagesTest, SongButtonsCarryListDocuments) {
  const HttpAnswer page = service_.Get("/music/chart.php?id=1");
  const std::regex button(R"re(onclick="(tryout|addDownload)\(this\)" data-xml="([^"]*)")re");
  int count = 0;
  for (std::sregex_iterator it(page.body.begin(), page.body.end(), button), end; it != end; ++it) {
    const auto document = ParseXml(HtmlUnescape((*it)[2]));
    ASSERT_TRUE(document) << (*it)[2];
    const auto songs = Children(document->RootElement());
    ASSERT_FALSE(songs.empty());
    for (const auto* song : songs) EXPECT_EQ(Attr(song, "music_name"), Song(Attr(song, "music_id")).name);
    ++count;
  }
  EXPECT_GT(count, 4);
}

TEST_F(WebPagesTest, RegisteringCreatesAnAccountTheClientCanUse) {
  const HttpAnswer refused = service_.PostForm(
      "/user/register.php", {{"name", "小红"}, {"password", "a"}, {"password2", "b"}});
  EXPECT_NE(refused.body.find("两次输入的密码不一致"), std::string::npos);
  const HttpAnswer taken = service_.PostForm(
      "/user/register.php", {{"name", "demo"}, {"password", "a"}, {"password2", "a"}});
  EXPECT_NE(taken.body.find("该用户名已被注册"), std::string::npos);

  const HttpAnswer page = service_.PostForm(
      "/user/register.php", {{"name", "小红"}, {"password", "花"}, {"password2", "花"}, {"gender", "2"}});
  EXPECT_NE(page.body.find("window.external.OnUserLogin()"), std::string::npos);
  EXPECT_FALSE(CookieOf(page).empty());
  const auto login = LoginDocument("小红", "花");
  ASSERT_TRUE(login);
  const TiXmlElement* user = login->RootElement()->FirstChildElement("user");
  EXPECT_EQ(Attr(user, "username"), "小红");
  EXPECT_EQ(Attr(user, "gender"), "2");
  EXPECT_TRUE(LibraryIds(*login).empty());
}

TEST_F(WebPagesTest, LogoutPageTellsTheProgramAndEndsTheSession) {
  const std::string cookie = Login("demo", "demo").cookie;
  EXPECT_NE(service_.Get("/music/", {{"Cookie", cookie}}).body.find("您好，demo"), std::string::npos);
  const HttpAnswer page = service_.Get("/user/logout.php", {{"Cookie", cookie}});
  EXPECT_NE(page.body.find("window.external.OnUserLogout()"), std::string::npos);
  EXPECT_NE(page.Header("Set-Cookie").find("Max-Age=0"), std::string::npos);
  EXPECT_EQ(service_.Get("/music/", {{"Cookie", cookie}}).body.find("您好，demo"), std::string::npos);
}

}  // namespace
}  // namespace quillo::testing
