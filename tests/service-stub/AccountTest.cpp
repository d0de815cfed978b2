// Login, automatic log-in by key and by the web page's cookie, logout.
#include <regex>

#include "ServiceTestSupport.h"
#include "platform/text/TextCodec.h"

namespace quillo::testing {
namespace {

bool IsHex32(const std::string& text) { return std::regex_match(text, std::regex("[0-9A-Fa-f]{32}")); }

using AccountTest = ServiceTest;

TEST_F(AccountTest, LoginAnswerCarriesUserLibraryAndPlaylists) {
  const LoginResult login = Login("demo", "demo");
  ASSERT_EQ(login.answer.status, 200);
  EXPECT_EQ(login.answer.body.find("<sorvel"), std::string::npos) << "the answer must be scrambled";
  const auto document = ParseXml(login.xml);
  ASSERT_TRUE(document) << login.xml;
  const TiXmlElement* root = document->RootElement();
  EXPECT_EQ(root->FirstChildElement("error"), nullptr);

  const TiXmlElement* user = root->FirstChildElement("user");
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(Attr(user, "id"), "10001");
  EXPECT_EQ(Attr(user, "username"), "demo");
  EXPECT_TRUE(IsHex32(Attr(user, "contextKey")));
  EXPECT_EQ(Attr(user, "logo").rfind(service_.base_url() + "music/download_image.php?id=10001", 0), 0u);
  EXPECT_FALSE(Attr(user, "gender").empty());

  const auto library = LibraryIds(*document);
  EXPECT_EQ(library.size(), 6u);
  for (const auto& id : library) EXPECT_FALSE(Song(id).id.empty());
  const TiXmlElement* first = Children(root->FirstChildElement("folders")->FirstChildElement("folder"))[0];
  EXPECT_EQ(Attr(first, "music_name"), Song(Attr(first, "music_id")).name);
  EXPECT_EQ(Attr(first, "artist_name"), Song(Attr(first, "music_id")).artist_name);

  const auto playlists = Playlists(*document);
  ASSERT_EQ(playlists.size(), 2u);
  EXPECT_EQ(playlists[0].name, "我的收藏");
  for (const auto& playlist : playlists) {
    EXPECT_TRUE(IsHex32(playlist.id));
    EXPECT_FALSE(playlist.items.empty());
  }
  EXPECT_EQ(login.cookie.rfind("QSID=", 0), 0u);
}

TEST_F(AccountTest, FailedLoginsAnswerWithTheErrorForm) {
  const struct {
    const char* name;
    const char* password;
    const char* desc;
  } cases[] = {
      {"demo", "wrong", "用户名或密码错误"},
      {"nobody", "demo", "用户名或密码错误"},
      {"DEMO", "demo", "用户名或密码错误"},
      {"", "demo", "请输入用户名和密码"},
      {"demo", "", "请输入用户名和密码"},
  };
  for (const auto& c : cases) {
    const LoginResult login = Login(c.name, c.password);
    EXPECT_EQ(login.answer.status, 200) << c.name;
    const auto document = ParseXml(login.xml);
    ASSERT_TRUE(document) << c.name;
    EXPECT_EQ(Attr(document->RootElement()->FirstChildElement("error"), "desc"), c.desc) << c.name;
    EXPECT_EQ(document->RootElement()->FirstChildElement("user"), nullptr);
    EXPECT_TRUE(login.cookie.empty());
  }
}

TEST_F(AccountTest, ChineseCredentialsInUtf8AndGbk) {
  auto document = LoginDocument("小明", "密码");
  ASSERT_TRUE(document);
  EXPECT_EQ(Attr(document->RootElement()->FirstChildElement("user"), "username"), "小明");
  EXPECT_EQ(Attr(document->RootElement()->FirstChildElement("user"), "id"), "10002");

  const HttpAnswer gbk = service_.PostForm(
      "/api/login.php?ie=gbk", {{"name", text::Utf8ToGbk("小明")}, {"encode", text::Utf8ToGbk("密码")}});
  document = ParseXml(Descramble(gbk.body).value_or(""));
  ASSERT_TRUE(document);
  EXPECT_EQ(Attr(document->RootElement()->FirstChildElement("user"), "id"), "10002");
}

TEST_F(AccountTest, AutomaticLoginWithTheStoredKey) {
  const auto first = LoginDocument("demo", "demo");
  ASSERT_TRUE(first);
  const std::string key = Attr(first->RootElement()->FirstChildElement("user"), "contextKey");

  const HttpAnswer again = service_.Post("/api/autologin.php?ukey=" + key, "", "application/x-www-form-urlencoded");
  auto document = ParseXml(Descramble(again.body).value_or(""));
  ASSERT_TRUE(document);
  EXPECT_EQ(Attr(document->RootElement()->FirstChildElement("user"), "contextKey"), key);
  EXPECT_EQ(Attr(document->RootElement()->FirstChildElement("user"), "username"), "demo");
  EXPECT_FALSE(CookieOf(again).empty());

  for (const std::string bad : {"0123456789ABCDEF0123456789ABCDEF", ""}) {
    const HttpAnswer refused = service_.Post("/api/autologin.php?ukey=" + bad, "", "application/x-www-form-urlencoded");
    document = ParseXml(Descramble(refused.body).value_or(""));
    ASSERT_TRUE(document);
    EXPECT_EQ(Attr(document->RootElement()->FirstChildElement("error"), "desc"), "登录已过期，请重新登录");
  }
}

TEST_F(AccountTest, AutomaticLoginAfterTheLoginPage) {
  const HttpAnswer page = service_.PostForm("/user/login.php", {{"name", "小明"}, {"password", "密码"}});
  ASSERT_EQ(page.status, 200);
  EXPECT_NE(page.body.find("window.external.OnUserLogin()"), std::string::npos);
  const std::string cookie = CookieOf(page);
  ASSERT_FALSE(cookie.empty());

  const HttpAnswer login = service_.Post("/api/autologin.php", "", "application/x-www-form-urlencoded",
                                         {{"Cookie", cookie}});
  auto document = ParseXml(Descramble(login.body).value_or(""));
  ASSERT_TRUE(document);
  EXPECT_EQ(Attr(document->RootElement()->FirstChildElement("user"), "username"), "小明");

  const HttpAnswer anonymous = service_.Post("/api/autologin.php", "", "application/x-www-form-urlencoded");
  document = ParseXml(Descramble(anonymous.body).value_or(""));
  ASSERT_TRUE(document);
  EXPECT_EQ(Attr(document->RootElement()->FirstChildElement("error"), "desc"), "请先登录");

  const HttpAnswer wrong = service_.PostForm("/user/login.php", {{"name", "小明"}, {"password", "x"}});
  EXPECT_NE(wrong.body.find("用户名或密码错误"), std::string::npos);
  EXPECT_TRUE(CookieOf(wrong).empty());
}

TEST_F(AccountTest, LogoutEndsTheSessionAndItsKey) {
  const LoginResult login = Login("demo", "demo");
  const auto document = ParseXml(login.xml);
  ASSERT_TRUE(document);
  const std::string key = Attr(document->RootElement()->FirstChildElement("user"), "contextKey");

  const HttpAnswer logout = service_.Post("/user/logout.php", "", "application/x-www-form-urlencoded",
                                          login.CookieHeader());
  EXPECT_EQ(logout.status, 200);
  EXPECT_NE(logout.Header("Set-Cookie").find("Max-Age=0"), std::string::npos);

  const HttpAnswer by_cookie = service_.Post("/api/autologin.php", "", "", login.CookieHeader());
  EXPECT_NE(Descramble(by_cookie.body).value_or("").find("<error"), std::string::npos);
  const HttpAnswer by_key = service_.Post("/api/autologin.php?ukey=" + key, "", "");
  EXPECT_NE(Descramble(by_key.body).value_or("").find("<error"), std::string::npos);
  // Library calls are refused afterwards.
  EXPECT_EQ(service_.PostForm("/api/addmusic.php", {{"musicId[]", "1"}}, login.CookieHeader()).status, 401);
}

}  // namespace
}  // namespace quillo::testing
