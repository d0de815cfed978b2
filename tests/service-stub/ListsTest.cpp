// Ranking lists and random groups: scrambled list documents.
#include <set>

#include "ServiceTestSupport.h"

namespace quillo::testing {
namespace {

constexpr char kClient[] = "00112233445566778899AABBCCDDEEFF";

class ListsTest : public ServiceTest {
 protected:
  std::unique_ptr<TiXmlDocument> ListAt(const std::string& target, bool post) {
    const HttpAnswer answer = post ? service_.Post(target, "", "application/x-www-form-urlencoded")
                                   : service_.Get(target);
    EXPECT_EQ(answer.status, 200) << target;
    EXPECT_EQ(answer.body.find("<list"), std::string::npos) << "not scrambled: " << target;
    auto plain = Descramble(answer.body);
    EXPECT_TRUE(plain.has_value()) << target;
    return ParseXml(plain.value_or(""));
  }
  void ExpectSongs(const TiXmlElement* root, std::size_t max) {
    const auto songs = Children(root);
    EXPECT_FALSE(songs.empty());
    EXPECT_LE(songs.size(), max);
    for (const TiXmlElement* song : songs) {
      const std::string id = Attr(song, "music_id");
      EXPECT_EQ(Attr(song, "music_name"), Song(id).name);
      EXPECT_EQ(Attr(song, "artist_name"), Song(id).artist_name);
    }
  }
};

TEST_F(ListsTest, EveryRankingListIsAScrambledListDocument) {
  const std::pair<const char*, const char*> charts[] = {
      {"1", "Zelbo热门歌曲排行"}, {"2", "Zelbo新歌排行"},     {"4", "日文歌曲排行"},
      {"5", "韩文歌曲排行"},      {"3", "欧美歌曲排行"},      {"6", "经典老歌"},
      {"21", "百度MP3最新金曲"},  {"31", "百度MP3热门音乐"},  {"11", "钱柜华语歌曲总排行"},
      {"12", "钱柜粤语歌曲总排行"}, {"13", "钱柜华语新歌排行"}, {"14", "钱柜粤语新歌排行"}};
  bool post = false;
  for (const auto& [id, name] : charts) {
    post = !post;  // the list arrives through a download (GET) or a service call (POST)
    const auto list = ListAt(std::string("/api/getplaylist.php?client_id=") + kClient + "&id=" + id, post);
    ASSERT_TRUE(list) << id;
    EXPECT_EQ(Attr(list->RootElement(), "pid"), id);
    EXPECT_EQ(Attr(list->RootElement(), "pname"), name);
    ExpectSongs(list->RootElement(), 20);
  }
}

TEST_F(ListsTest, EveryRandomGroupAnswersFromItsSongs) {
  const std::pair<const char*, const char*> groups[] = {
      {"", "全部"}, {"1", "华人男歌手"}, {"3", "华人女歌手"}, {"4", "华人组合"}, {"8", "日本歌手"},
      {"9", "韩国歌手"}, {"10", "欧美歌手"}, {"11", "影视歌曲"}, {"13", "DJ舞曲"},
      {"14", "动漫游戏"}, {"15", "其他"}};
  for (const auto& [group, name] : groups) {
    std::string target = std::string("/api/randommusic.php?type=xml&client_id=") + kClient;
    if (*group) target += std::string("&group_id=") + group;
    const auto list = ListAt(target, false);
    ASSERT_TRUE(list) << group;
    EXPECT_EQ(Attr(list->RootElement(), "pname"), name);
    // Small catalogues have empty groups; the songs a group does have come from it.
    EXPECT_LE(Children(list->RootElement()).size(), 10u);
  }
  const auto all = ListAt(std::string("/api/randommusic.php?type=xml&client_id=") + kClient, true);
  ExpectSongs(all->RootElement(), 10);
}

TEST_F(ListsTest, RandomListsChangeBetweenCalls) {
  std::set<std::string> orders;
  for (int i = 0; i < 8; ++i) {
    const auto list = ListAt(std::string("/api/randommusic.php?type=xml&client_id=") + kClient, false);
    std::string order;
    for (const TiXmlElement* song : Children(list->RootElement())) order += Attr(song, "music_id") + ",";
    orders.insert(order);
  }
  EXPECT_GT(orders.size(), 1u);  // eight songs shuffled eight times
}

TEST_F(ListsTest, BadListRequestsAreErrors) {
  const std::pair<std::string, int> cases[] = {
      {std::string("/api/getplaylist.php?client_id=") + kClient + "&id=99", 404},
      {std::string("/api/getplaylist.php?client_id=") + kClient, 400},
      {"/api/getplaylist.php?id=1", 400},
      {std::string("/api/randommusic.php?type=xml&client_id=") + kClient + "&group_id=2", 404},
      {std::string("/api/randommusic.php?client_id=") + kClient, 400},
      {"/api/randommusic.php?type=xml", 400},
  };
  for (const auto& [target, status] : cases) {
    const HttpAnswer answer = service_.Get(target);
    EXPECT_EQ(answer.status, status) << target;
    EXPECT_TRUE(ParseXml(answer.body)) << "errors are plain documents: " << target;
  }
}

}  // namespace
}  // namespace quillo::testing
