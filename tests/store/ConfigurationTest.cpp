#include <gtest/gtest.h>

#include "store/ConfigKeys.h"
#include "store/DocumentStore.h"
#include "support/TempFolder.h"

namespace quillo::store {
namespace {
using quillo::testing::TempFolder;

class ConfigurationTest : public ::testing::Test {
 protected:
  void SetUp() override { store_.Open(false); }
  TempFolder folder_;
  DocumentStore store_{folder_.path()};
};

TEST_F(ConfigurationTest, ReadsFollowTheCacheAndTheRules) {
  EXPECT_FALSE(store_.ConfigEquals("module.music.mute", "true"));  // a fresh file: unmuted
  EXPECT_FALSE(store_.HasConfig("module.music.mute"));
  store_.SetConfigText("n", "12abc");
  EXPECT_EQ(store_.GetConfigInt("n", 5), 12);
  store_.SetConfigText("n", "abc");
  EXPECT_EQ(store_.GetConfigInt("n", 5), 0);
  EXPECT_EQ(store_.GetConfigInt("absent", 5), 5);
  EXPECT_EQ(store_.GetConfigText("absent", "d"), "d");
  store_.SetConfigInt("v", -3);
  EXPECT_EQ(store_.GetConfigText("v"), "-3");
  EXPECT_TRUE(store_.ConfigEquals("v", "-3"));
  EXPECT_FALSE(store_.ConfigEquals("v", "-3 "));
  store_.SetConfigText("Case", "X");
  EXPECT_FALSE(store_.HasConfig("case"));
}

TEST_F(ConfigurationTest, EntriesAreElementsInOrderOfFirstWrite) {
  store_.SetConfigText("b", "1");
  store_.SetConfigText("a", "2");
  store_.SetConfigText("b", "3");
  EXPECT_EQ(store_.PrintDocument(),
            "<Sorvel version=\"1.3.1\">\n    <configs>\n"
            "        <config name=\"b\" value=\"3\" />\n"
            "        <config name=\"a\" value=\"2\" />\n    </configs>\n</Sorvel>\n");
}

TEST_F(ConfigurationTest, RemoveOfAbsentKeyChangesNothing) {
  ASSERT_FALSE(store_.IsDirty());
  EXPECT_FALSE(store_.RemoveConfig("never.written"));
  EXPECT_FALSE(store_.IsDirty());
  store_.SetConfigText("k", "v");
  EXPECT_TRUE(store_.RemoveConfig("k"));
  EXPECT_FALSE(store_.HasConfig("k"));
  EXPECT_EQ(store_.PrintDocument().find("name=\"k\""), std::string::npos);
}

TEST_F(ConfigurationTest, KeysWithPathCharactersStayOneEntry) {
  store_.SetConfigText("a#b", "1");
  store_.SetConfigText("x:y:z", "2");
  EXPECT_EQ(store_.GetConfigText("a#b"), "1");
  EXPECT_EQ(store_.GetConfigText("x:y:z"), "2");
  auto lock = store_.Lock();
  EXPECT_EQ(DocumentStore::Children(store_.Resolve("configs#", false)).size(), 2u);
}

TEST_F(ConfigurationTest, FolderPaths) {
  EXPECT_EQ(store_.FolderPath("music"), folder_.path() + "music/");
  EXPECT_EQ(store_.FolderPath(".cache"), folder_.path() + ".cache/");
  store_.SetConfigText("sorvel.path.music", "  /home/u/My Music \t");
  EXPECT_EQ(store_.FolderPath("music"), "/home/u/My Music/");
  store_.SetConfigText("sorvel.path.music", "/m/");
  EXPECT_EQ(store_.FolderPath("music"), "/m/");
}

TEST_F(ConfigurationTest, ClientIdIsKeptOrReplaced) {
  std::string id = store_.ClientId();
  EXPECT_EQ(id.size(), 32u);
  EXPECT_EQ(store_.ClientId(), id);
  const std::string lower = "0123456789abcdef0123456789abcdef";
  store_.SetConfigText("sorvel.clientid", lower);
  EXPECT_EQ(store_.ClientId(), lower);
  for (std::string bad : {lower.substr(1), lower + "0", std::string(31, 'A') + "G"}) {
    store_.SetConfigText("sorvel.clientid", bad);
    std::string replaced = store_.ClientId();
    EXPECT_NE(replaced, bad);
    EXPECT_EQ(replaced.size(), 32u);
    EXPECT_EQ(store_.GetConfigText("sorvel.clientid"), replaced);
  }
  std::string fresh = DocumentStore::NewIdText();
  EXPECT_EQ(fresh.find_first_not_of("0123456789ABCDEF"), std::string::npos);
  EXPECT_NE(fresh, DocumentStore::NewIdText());
}

class FakeDesktop : public WindowGeometry {
 public:
  int DesktopWidth() const override { return 1280; }
  int DesktopHeight() const override { return 1024; }
};

TEST_F(ConfigurationTest, WindowRectangles) {
  FakeDesktop desktop;
  EXPECT_FALSE(store_.RestoreWindowRect("mainwnd", desktop, 0, 0));
  store_.SaveWindowRect("mainwnd", Rect{100, 50, 500, 650});
  EXPECT_EQ(store_.GetConfigText("window.mainwnd.pos.x"), "100");
  EXPECT_EQ(store_.RestoreWindowRect("mainwnd", desktop, 0, 0), (Rect{100, 50, 500, 650}));
  store_.SetConfigText("window.mainwnd.width", "5000");
  EXPECT_EQ(store_.RestoreWindowRect("mainwnd", desktop, 0, 0), (Rect{0, 50, 1280, 650}));
  store_.SaveWindowRect("mini", Rect{1270, 1020, 1280, 1025});
  EXPECT_EQ(store_.RestoreWindowRect("mini", desktop, 396, 28), (Rect{884, 996, 1280, 1024}));
  store_.SetConfigText("window.mini.height", "0");
  EXPECT_FALSE(store_.RestoreWindowRect("mini", desktop, 396, 28));
}

TEST(ConfigKeysTest, TableKnowsEveryDocumentedKey) {
  EXPECT_EQ(FindConfigKey("module.music.play_mode")->fallback, "all_repeat");
  EXPECT_EQ(FindConfigKey("sorvel.music.max_download_thread")->fallback, "2");
  EXPECT_EQ(FindConfigKey("window.lyricdlg.fcolor")->fallback, "#6bc9ff");
  EXPECT_EQ(FindConfigKey("window.lyricdlg.font")->fallback, "宋体");
  EXPECT_EQ(FindConfigKey("window.configdlg.width")->fallback, "-1");
  EXPECT_NE(FindConfigKey("sorvel.path.music"), nullptr);
  EXPECT_EQ(FindConfigKey("sorvel.path."), nullptr);
  EXPECT_EQ(FindConfigKey("page.own.key"), nullptr);
  std::set<std::string_view> seen;
  for (const ConfigKeyInfo& info : ConfigKeyTable()) EXPECT_TRUE(seen.insert(info.key).second) << info.key;
  EXPECT_GE(seen.size(), 45u);
}

}  // namespace
}  // namespace quillo::store
