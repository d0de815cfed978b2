// The music centre's pages window, the upload window and the component download window as their
// pages see them: what each bridge method does, with no window made (the calls come straight
// through the bridge entry point).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "store/DocumentStore.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"
#include "web/CNotificationDlg.h"
#include "web/CUploadDlg.h"
#include "web/ExternalDHTMLDlg.h"

namespace quillo::web {
namespace {

constexpr const char* kTwoSongs =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><musics>"
    "<music music_id=\"101\" music_name=\"晴天\" artist_name=\"周\" artist_id=\"7\"/>"
    "<music music_id=\"102\" music_name=\"Second\" artist_name=\"B\"/></musics>";

class PageWindowsTest : public ::testing::Test {
 protected:
  PageWindowsTest() : runtime_(folder_.path()) { EXPECT_TRUE(runtime_.Open(false)); }

  ExternalDHTMLDlg::Links RecordingLinks() {
    ExternalDHTMLDlg::Links links;
    links.base_url = [] { return std::string("http://127.0.0.1:8123/"); };
    links.add_download = [this](const std::string& document) {
      calls_.push_back("add " + std::to_string(document.size()));
      return true;
    };
    links.tryout = [this](const std::string& id, const std::string& name,
                          const std::string& artist) {
      calls_.push_back("tryout " + id + " " + name + " " + artist);
    };
    links.show_login = [this] { calls_.push_back("login dialog"); };
    links.page_logged_in = [this] { calls_.push_back("logged in"); };
    links.page_logged_out = [this] { calls_.push_back("logged out"); };
    links.login_user = [] { return std::string("u42"); };
    return links;
  }

  testing::TempFolder folder_;
  store::StoreRuntime runtime_;
  std::vector<std::string> calls_;
};

TEST_F(PageWindowsTest, FirstSongOfADocumentIsItsFirstSongWithAnId) {
  std::optional<ExternalDHTMLDlg::SongInfo> song = ExternalDHTMLDlg::FirstSongOf(kTwoSongs);
  ASSERT_TRUE(song);
  EXPECT_EQ(song->id, "101");
  EXPECT_EQ(song->name, "晴天");
  EXPECT_EQ(song->artist_name, "周");
  EXPECT_FALSE(ExternalDHTMLDlg::FirstSongOf(""));
  EXPECT_FALSE(ExternalDHTMLDlg::FirstSongOf("<musics>"));
  EXPECT_FALSE(ExternalDHTMLDlg::FirstSongOf("<musics></musics>"));
  EXPECT_FALSE(ExternalDHTMLDlg::FirstSongOf(std::string("<musics>\0</musics>", 18)));
}

TEST_F(PageWindowsTest, OnlyTheServiceOriginIsTrusted) {
  EXPECT_EQ(ExternalDHTMLDlg::OriginOf("http://127.0.0.1:8123/music/index.php#x"),
            "http://127.0.0.1:8123");
  EXPECT_EQ(ExternalDHTMLDlg::OriginOf("https://music.example.org"), "https://music.example.org");
  EXPECT_EQ(ExternalDHTMLDlg::OriginOf("http://evil@127.0.0.1:8123/"), "http://127.0.0.1:8123");
  EXPECT_EQ(ExternalDHTMLDlg::OriginOf("file:///etc/passwd"), "");
  EXPECT_EQ(ExternalDHTMLDlg::OriginOf("javascript:alert(1)"), "");
  EXPECT_EQ(ExternalDHTMLDlg::OriginOf("http:///nohost"), "");
  EXPECT_EQ(ExternalDHTMLDlg::OriginOf(""), "");
}

TEST_F(PageWindowsTest, ServicePageMethodsReachTheirLinks) {
  ExternalDHTMLDlg pages(runtime_.store(), RecordingLinks());
  EXPECT_EQ(pages.OnExternalCall("AddDownload", {kTwoSongs}).kind, BridgeValue::Kind::kVoid);
  pages.OnExternalCall("Tryout", {kTwoSongs});
  pages.OnExternalCall("Tryout", {"not xml"});  // nothing to preview: no call
  pages.OnExternalCall("Tryout", {});
  pages.OnExternalCall("Login", {});
  pages.OnExternalCall("OnUserLogin", {});
  pages.OnExternalCall("OnUserLogout", {});
  pages.OnExternalCall("ShowLoading", {"x"});
  pages.OnExternalCall("HideLoading", {});
  EXPECT_EQ(calls_, (std::vector<std::string>{"add " + std::to_string(std::string(kTwoSongs).size()),
                                              "tryout 101 晴天 周", "login dialog", "logged in",
                                              "logged out"}));

  BridgeValue user = pages.OnExternalCall("GetLoginUser", {});
  EXPECT_EQ(user.kind, BridgeValue::Kind::kString);
  EXPECT_EQ(user.text, "u42");
  // The shared methods are there too, and an unknown name answers nothing.
  runtime_.store().SetConfigText("module.ext.isopen", "true");
  EXPECT_EQ(pages.OnExternalCall("GetConfig", {"module.ext.isopen", "d"}).text, "true");
  EXPECT_EQ(pages.OnExternalCall("NoSuchMethod", {"a"}).kind, BridgeValue::Kind::kVoid);
}

TEST_F(PageWindowsTest, ServicePagesStartAtTheFirstPageOrWhereTheyWereSent) {
  ExternalDHTMLDlg pages(runtime_.store(), RecordingLinks());
  // No window yet: nothing is shown, the address waits; asking for a song does nothing.
  pages.OpenRelative("music/artist.php?artistId=7");
  pages.ShowMusic("101");
  EXPECT_EQ(pages.view(), nullptr);
  EXPECT_TRUE(calls_.empty());
}

TEST_F(PageWindowsTest, UploadWindowSplitsTheDisplayTextAtItsLastSeparator) {
  using Split = std::pair<std::string, std::string>;
  EXPECT_EQ(CUploadDlg::SplitDisplayText("晴天 - 周杰伦"), (Split{"晴天", "周杰伦"}));
  EXPECT_EQ(CUploadDlg::SplitDisplayText("A - B - C"), (Split{"A - B", "C"}));
  EXPECT_EQ(CUploadDlg::SplitDisplayText("No separator"), (Split{"No separator", ""}));
  EXPECT_EQ(CUploadDlg::SplitDisplayText(" - "), (Split{"", ""}));
  EXPECT_EQ(CUploadDlg::SplitDisplayText(""), (Split{"", ""}));
}

TEST_F(PageWindowsTest, NotificationWindowTakesItsTwoMethodsAndDoesNothing) {
  CNotificationDlg notice(runtime_.store(), "");
  EXPECT_EQ(notice.OnExternalCall("AddMusic", {"x"}).kind, BridgeValue::Kind::kVoid);
  EXPECT_EQ(notice.OnExternalCall("GoToUrl", {"http://127.0.0.1:9/"}).kind,
            BridgeValue::Kind::kVoid);
  EXPECT_FALSE(notice.IsCreated());
}

}  // namespace
}  // namespace quillo::web
