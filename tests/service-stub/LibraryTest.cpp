// Library and playlist calls: what the client mirrors is in the next login answer.
#include "ServiceTestSupport.h"

namespace quillo::testing {
namespace {

const std::string kListP = "0123456789ABCDEF0123456789ABCDEF";
const std::string kListQ = "FEDCBA9876543210FEDCBA9876543210";

class LibraryTest : public ServiceTest {
 protected:
  void SetUp() override {
    ServiceTest::SetUp();
    cookie_ = Login("demo", "demo").CookieHeader();
  }
  HttpAnswer Call(const std::string& target, const NameValues& form) {
    return service_.PostForm(target, form, cookie_);
  }
  std::unique_ptr<TiXmlDocument> Answer() { return LoginDocument("demo", "demo"); }
  const AnswerPlaylist* FindList(const std::vector<AnswerPlaylist>& lists, const std::string& id) {
    for (const auto& list : lists) {
      if (list.id == id) return &list;
    }
    return nullptr;
  }
  std::string SongNotInLibrary() {
    const auto document = Answer();
    const auto library = LibraryIds(*document);
    for (const auto& song : Songs()) {
      if (std::find(library.begin(), library.end(), song.id) == library.end()) return song.id;
    }
    return {};
  }

  NameValues cookie_;
};

TEST_F(LibraryTest, MirroredChangesAppearInTheNextLoginAnswer) {
  const std::string extra = SongNotInLibrary();
  ASSERT_FALSE(extra.empty());
  const std::string a = Songs()[0].id, b = Songs()[1].id, c = Songs()[2].id;

  EXPECT_EQ(Call("/api/addmusic.php", {{"musicId[]", extra}}).status, 200);
  auto document = Answer();
  EXPECT_EQ(LibraryIds(*document).back(), extra);

  EXPECT_EQ(Call("/api/createplaylist.php", {{"name", "跑步"}, {"id", kListP}}).status, 200);
  EXPECT_EQ(Call("/api/addmusictoplaylist.php?force=1",
                 {{"playlistId", kListP}, {"musicId[]", c}, {"musicId[]", a}, {"musicId[]", b}}).status, 200);
  EXPECT_EQ(Call("/api/deletemusicfromplaylist.php", {{"playlistId", kListP}, {"musicId[]", a}}).status, 200);
  EXPECT_EQ(Call("/api/updateplaylist.php", {{"playlistId", kListP}, {"name", "晨跑"}}).status, 200);
  EXPECT_EQ(Call("/api/createplaylist.php?force=1",
                 {{"name", "睡前"}, {"id", kListQ}, {"musicId[]", b}, {"musicId[]", extra}}).status, 200);
  document = Answer();
  auto lists = Playlists(*document);
  const AnswerPlaylist* p = FindList(lists, kListP);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->name, "晨跑");
  EXPECT_EQ(p->items, (std::vector<std::string>{c, b}));
  const AnswerPlaylist* q = FindList(lists, kListQ);
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(q->items, (std::vector<std::string>{b, extra}));

  EXPECT_EQ(Call("/api/clearplaylist.php?client_id=00112233445566778899AABBCCDDEEFF&id=" + kListQ, {}).status, 200);
  EXPECT_EQ(Call("/api/deleteplaylist.php", {{"playlistId", kListP}}).status, 200);
  EXPECT_EQ(Call("/api/deletemusic.php", {{"musicId[]", b}}).status, 200);
  document = Answer();
  lists = Playlists(*document);
  EXPECT_EQ(FindList(lists, kListP), nullptr);
  ASSERT_NE(FindList(lists, kListQ), nullptr);
  EXPECT_TRUE(FindList(lists, kListQ)->items.empty());
  const auto library = LibraryIds(*document);
  EXPECT_EQ(std::count(library.begin(), library.end(), b), 0);
  for (const auto& list : lists) EXPECT_EQ(std::count(list.items.begin(), list.items.end(), b), 0);
  // The other user's data did not move.
  const auto ming = LoginDocument("小明", "密码");
  EXPECT_EQ(Playlists(*ming).size(), 2u);
}

TEST_F(LibraryTest, AddMusicAnswerIsAPlainListDocument) {
  const std::string a = Songs()[3].id, b = Songs()[5].id;
  const HttpAnswer answer = Call("/api/addmusic.php?type=xml",
                                 {{"musicId[]", a}, {"musicId[]", "999999"}, {"musicId[]", b},
                                  {"id", kListQ}, {"name", "新歌单"}});
  ASSERT_EQ(answer.status, 200);
  const auto list = ParseXml(answer.body);  // not scrambled
  ASSERT_TRUE(list) << answer.body;
  EXPECT_EQ(Attr(list->RootElement(), "pid"), kListQ);
  EXPECT_EQ(Attr(list->RootElement(), "pname"), "新歌单");
  const auto songs = Children(list->RootElement());
  ASSERT_EQ(songs.size(), 2u);
  EXPECT_EQ(Attr(songs[0], "music_id"), a);
  EXPECT_EQ(Attr(songs[0], "music_name"), Song(a).name);
  EXPECT_EQ(Attr(songs[0], "artist_id"), Song(a).artist_id);
  EXPECT_EQ(Attr(songs[1], "music_id"), b);
  // The service kept what the link named.
  const auto document = Answer();
  const auto lists = Playlists(*document);
  ASSERT_NE(FindList(lists, kListQ), nullptr);
  EXPECT_EQ(FindList(lists, kListQ)->items, (std::vector<std::string>{a, b}));
}

TEST_F(LibraryTest, LongFormsOfManySongsAreTaken) {
  NameValues form = {{"playlistId", kListP}, {"name", "很长"}};
  for (int i = 0; i < 900; ++i) form.emplace_back("musicId[]", Songs()[static_cast<std::size_t>(i) % Songs().size()].id);
  ASSERT_GT(ServiceProcess::EncodeForm(form).size(), 8192u);
  EXPECT_EQ(Call("/api/addmusictoplaylist.php?force=1", form).status, 200);
  const auto lists = Playlists(*Answer());
  ASSERT_NE(FindList(lists, kListP), nullptr);
  EXPECT_EQ(FindList(lists, kListP)->items.size(), Songs().size());
}

TEST_F(LibraryTest, EmptyPlaylistIdNamesTheLibrary) {
  const std::string extra = SongNotInLibrary();
  EXPECT_EQ(Call("/api/addmusictoplaylist.php?force=1", {{"playlistId", ""}, {"musicId[]", extra}}).status, 200);
  auto library = LibraryIds(*Answer());
  EXPECT_EQ(std::count(library.begin(), library.end(), extra), 1);
  EXPECT_EQ(Call("/api/deletemusicfromplaylist.php", {{"playlistId", ""}, {"musicId[]", extra}}).status, 200);
  library = LibraryIds(*Answer());
  EXPECT_EQ(std::count(library.begin(), library.end(), extra), 0);
}

TEST_F(LibraryTest, CallsWithoutASessionAreRefused) {
  const char* targets[] = {"/api/addmusic.php", "/api/deletemusic.php", "/api/createplaylist.php",
                           "/api/updateplaylist.php", "/api/deleteplaylist.php",
                           "/api/clearplaylist.php?client_id=1&id=" "0123456789ABCDEF0123456789ABCDEF",
                           "/api/addmusictoplaylist.php?force=1", "/api/deletemusicfromplaylist.php"};
  for (const char* target : targets) {
    const HttpAnswer answer = service_.PostForm(target, {{"playlistId", kListP}, {"musicId[]", "1"},
                                                         {"id", kListP}, {"name", "x"}});
    EXPECT_EQ(answer.status, 401) << target;
    const auto document = ParseXml(answer.body);
    ASSERT_TRUE(document) << target;
    EXPECT_EQ(Attr(document->RootElement()->FirstChildElement("error"), "desc"), "请先登录");
  }
}

TEST_F(LibraryTest, BadCallsAreRefusedAndChangeNothing) {
  const auto ming = LoginDocument("小明", "密码");
  const std::string ming_list = Playlists(*ming)[0].id;
  const struct {
    const char* target;
    NameValues form;
    int status;
  } cases[] = {
      {"/api/createplaylist.php", {{"name", "x"}, {"id", "d_1"}}, 400},
      {"/api/createplaylist.php", {{"name", "   "}, {"id", kListP}}, 400},
      {"/api/createplaylist.php", {{"id", kListP}}, 400},
      {"/api/createplaylist.php", {{"name", std::string(300, 'n')}, {"id", kListP}}, 400},
      {"/api/updateplaylist.php", {{"playlistId", kListP}, {"name", "x"}}, 404},
      {"/api/deleteplaylist.php", {{"playlistId", ming_list}}, 403},
      {"/api/addmusictoplaylist.php?force=1", {{"playlistId", ming_list}, {"musicId[]", "1"}}, 403},
      {"/api/addmusictoplaylist.php", {{"playlistId", kListP}, {"musicId[]", "1"}}, 404},
      {"/api/addmusictoplaylist.php", {{"musicId[]", "1"}}, 400},
      {"/api/addmusic.php", {{"musicId[]", "424242"}}, 404},
      {"/api/addmusic.php", {}, 400},
      {"/api/deletemusic.php", {}, 400},
      {"/api/clearplaylist.php?client_id=1", {}, 400},
      {"/api/clearplaylist.php?id=" "0123456789ABCDEF0123456789ABCDEF", {}, 400},
      {"/api/addmusic.php?type=xml", {{"musicId[]", "1"}, {"id", "short"}}, 400},
  };
  const std::string before = Login("demo", "demo").xml;
  for (const auto& c : cases) {
    const HttpAnswer answer = Call(c.target, c.form);
    EXPECT_EQ(answer.status, c.status) << c.target;
    const auto document = ParseXml(answer.body);
    ASSERT_TRUE(document) << c.target;
    EXPECT_NE(document->RootElement()->FirstChildElement("error"), nullptr) << c.target;
  }
  // The same library and playlists (the contextKey differs per login).
  const auto after = ParseXml(Login("demo", "demo").xml);
  const auto earlier = ParseXml(before);
  EXPECT_EQ(LibraryIds(*after), LibraryIds(*earlier));
  EXPECT_EQ(Playlists(*after).size(), Playlists(*earlier).size());
  EXPECT_EQ(Playlists(*LoginDocument("小明", "密码"))[0].items, Playlists(*ming)[0].items);
}

}  // namespace
}  // namespace quillo::testing
