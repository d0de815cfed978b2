// The request catalogue's builders: paths, queries, parameter names and order, the playlist-id
// rule and new playlist ids.
#include <gtest/gtest.h>

#include <set>

#include "fakes/FakeRequestSender.h"
#include "service/api/JSRequestHandler.h"
#include "service/api/ServiceFileUrls.h"
#include "service/api/ServicePages.h"
#include "service/api/ServiceRequests.h"
#include "service/api/SharedEndpoints.h"
#include "service/api/UrlEncoding.h"

namespace quillo::service {
namespace {

constexpr char kClient[] = "0123456789ABCDEF0123456789ABCDEF";
constexpr char kList[] = "0A1b2C3d4E5f60718293A4B5C6D7E8F9";

TEST(ServiceRequestsTest, EveryServiceCallHasItsPathAndParametersInOrder) {
  ServiceRequests requests(kClient);
  const std::vector<std::string> songs = {"30", "10", "20"};
  struct Case {
    const char* row;
    std::optional<ServiceCall> call;
    std::string path;
    FormParams params;
  } cases[] = {
      {"login",
       ServiceRequests::Login("李 雷", "p&w=d"),
       "api/login.php?ie=utf8",
       {{"name", "李 雷"}, {"encode", "p&w=d"}}},
      {"autologin", ServiceRequests::AutoLogin(), "api/autologin.php", {}},
      {"autologin key",
       ServiceRequests::AutoLoginWithKey("k&1"),
       "api/autologin.php?ukey=k%261",
       {}},
      {"logout", ServiceRequests::Logout(), "user/logout.php", {}},
      {"add music",
       ServiceRequests::AddMusic(songs),
       "api/addmusic.php",
       {{"musicId[]", "30"}, {"musicId[]", "10"}, {"musicId[]", "20"}}},
      {"delete music",
       ServiceRequests::DeleteMusic({"7"}),
       "api/deletemusic.php",
       {{"musicId[]", "7"}}},
      {"add to playlist",
       ServiceRequests::AddMusicToPlaylist(kList, songs),
       "api/addmusictoplaylist.php?force=1",
       {{"playlistId", kList}, {"musicId[]", "30"}, {"musicId[]", "10"}, {"musicId[]", "20"}}},
      {"remove from playlist",
       ServiceRequests::DeleteMusicFromPlaylist(kList, {"5", "6"}),
       "api/deletemusicfromplaylist.php",
       {{"playlistId", kList}, {"musicId[]", "5"}, {"musicId[]", "6"}}},
      {"create empty",
       ServiceRequests::CreatePlaylist("新列表", kList),
       "api/createplaylist.php",
       {{"name", "新列表"}, {"id", kList}}},
      {"create with songs",
       ServiceRequests::CreatePlaylistWithMusic("L", kList, {"1", "2"}),
       "api/createplaylist.php?force=1",
       {{"name", "L"}, {"id", kList}, {"musicId[]", "1"}, {"musicId[]", "2"}}},
      {"rename",
       ServiceRequests::RenamePlaylist(kList, "N"),
       "api/updateplaylist.php",
       {{"playlistId", kList}, {"name", "N"}}},
      {"delete playlist",
       ServiceRequests::DeletePlaylist(kList),
       "api/deleteplaylist.php",
       {{"playlistId", kList}}},
      {"clear playlist",
       requests.ClearPlaylist(kList),
       std::string("api/clearplaylist.php?client_id=") + kClient + "&id=" + kList,
       {}},
      {"add link songs",
       ServiceRequests::AddLinkMusic({"8", "9"}, std::nullopt),
       "api/addmusic.php?type=xml",
       {{"musicId[]", "8"}, {"musicId[]", "9"}}},
      {"add link songs and list",
       ServiceRequests::AddLinkMusic({"8"}, ServiceRequests::LinkedPlaylist{kList, "P"}),
       "api/addmusic.php?type=xml",
       {{"musicId[]", "8"}, {"id", kList}, {"name", "P"}}},
      {"chart",
       requests.ChartList("4"),
       std::string("api/getplaylist.php?client_id=") + kClient + "&id=4",
       {}},
      {"default chart",
       requests.DefaultChartList(),
       std::string("api/getplaylist.php?client_id=") + kClient + "&id=1",
       {}},
      {"random",
       requests.RandomList(),
       std::string("api/randommusic.php?type=xml&client_id=") + kClient,
       {}},
      {"random group",
       requests.RandomList("12"),
       std::string("api/randommusic.php?type=xml&client_id=") + kClient + "&group_id=12",
       {}},
      {"lyric error",
       ServiceRequests::LyricErrorReport("77", 2, "时间不准", "u5"),
       "api/updatelyricerrortype.php",
       {{"musicId", "77"}, {"lyric_error_type", "3"}, {"comment", "时间不准"}, {"userId", "u5"}}},
      {"lyric error, nobody logged in",
       ServiceRequests::LyricErrorReport("77", 0, "", ""),
       "api/updatelyricerrortype.php",
       {{"musicId", "77"}, {"lyric_error_type", "1"}, {"comment", ""}, {"userId", "0"}}},
      {"event",
       requests.PlaybackEvent("play_music", "a", "b"),
       "api/event.php",
       {{"client_id", kClient},
        {"type", "play_music"},
        {"ext_id", "a"},
        {"ext_value", "b"},
        {"event_detail", ""}}},
      {"statistics",
       requests.UsageReport("<stat/>"),
       "api/uploadreport.php",
       {{"clientid", kClient}, {"content", "<stat/>"}}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(c.call.has_value()) << c.row;
    EXPECT_EQ(c.call->path, c.path) << c.row;
    EXPECT_EQ(c.call->params, c.params) << c.row;
  }
}

// A link's call carries its songs first, then the list: the order the command collects them in.
TEST(ServiceRequestsTest, LinkedPlaylistCallsCarryTheSongsFirst) {
  EXPECT_EQ(ServiceRequests::CreateLinkedPlaylist({kList, "P"}, {"1", "2"}),
            (ServiceCall{"api/createplaylist.php",
                         {{"musicId[]", "1"}, {"musicId[]", "2"}, {"id", kList}, {"name", "P"}}}));
  EXPECT_EQ(ServiceRequests::AddLinkedMusicToPlaylist(kList, {"1", "2"}),
            (ServiceCall{"api/addmusictoplaylist.php",
                         {{"musicId[]", "1"}, {"musicId[]", "2"}, {"playlistId", kList}}}));
  EXPECT_FALSE(ServiceRequests::CreateLinkedPlaylist({"t_1", "P"}, {"1"}).has_value());
  EXPECT_FALSE(ServiceRequests::AddLinkedMusicToPlaylist("local", {"1"}).has_value());
}

// Songs dropped on the library row go to the service's library: an empty playlistId.
TEST(ServiceRequestsTest, DroppedSongsMayTargetTheDefaultList) {
  EXPECT_EQ(ServiceRequests::AddDroppedMusic("", {"7"}),
            (ServiceCall{"api/addmusictoplaylist.php?force=1",
                         {{"playlistId", ""}, {"musicId[]", "7"}}}));
  EXPECT_EQ(ServiceRequests::AddDroppedMusic(kList, {"7"})->params.front(),
            (std::pair<std::string, std::string>{"playlistId", kList}));
  EXPECT_FALSE(ServiceRequests::AddDroppedMusic("local", {"7"}).has_value());
  EXPECT_FALSE(ServiceRequests::AddDroppedMusic("d_x_", {"7"}).has_value());
}

TEST(ServiceRequestsTest, OnlyServicePlaylistIdsProduceCalls) {
  ServiceRequests requests(kClient);
  struct Case {
    std::string id;
    bool service;
  } cases[] = {
      {kList, true},
      {"ABCDEFABCDEFABCDEFABCDEFABCDEFAB", true},
      {"abcdefabcdefabcdefabcdefabcdefab", true},
      {"d_12345", false},
      {"t_0123456789ABCDEF0123456789ABCD", false},
      {"0123456789ABCDEF0123456789ABCDE", false},    // 31 digits
      {"0123456789ABCDEF0123456789ABCDEF0", false},  // 33 digits
      {"0123456789ABCDEF0123456789ABCDEG", false},
      {"", false},
      {"local", false},
      {"default", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ServiceRequests::IsServicePlaylistId(c.id), c.service) << c.id;
    EXPECT_EQ(ServiceRequests::DeletePlaylist(c.id).has_value(), c.service) << c.id;
    EXPECT_EQ(ServiceRequests::AddMusicToPlaylist(c.id, {"1"}).has_value(), c.service) << c.id;
    EXPECT_EQ(ServiceRequests::DeleteMusicFromPlaylist(c.id, {"1"}).has_value(), c.service);
    EXPECT_EQ(ServiceRequests::RenamePlaylist(c.id, "x").has_value(), c.service) << c.id;
    EXPECT_EQ(ServiceRequests::CreatePlaylist("x", c.id).has_value(), c.service) << c.id;
    EXPECT_EQ(ServiceRequests::CreatePlaylistWithMusic("x", c.id, {}).has_value(), c.service);
    EXPECT_EQ(requests.ClearPlaylist(c.id).has_value(), c.service) << c.id;
  }
}

TEST(ServiceRequestsTest, NewPlaylistIdsAreFreshUpperCaseServiceIds) {
  std::set<std::string> seen;
  for (int i = 0; i < 200; ++i) {
    std::string id = ServiceRequests::NewPlaylistId();
    ASSERT_EQ(id.size(), 32u);
    for (char c : id) EXPECT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << id;
    EXPECT_TRUE(ServiceRequests::IsServicePlaylistId(id));
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 200u);
}

TEST(ServiceRequestsTest, FileFetchesCarryTheirUrlsLimitsAndAttempts) {
  ServiceEndpoints endpoints{"http://127.0.0.1:9/svc/", "127.0.0.1:10", "http://127.0.0.1:11/"};
  ServiceFileUrls urls(endpoints, kClient);
  const std::string base = endpoints.base_url;
  struct Case {
    const char* row;
    FileFetch fetch;
    FileFetch expected;
  } cases[] = {
      {"song",
       urls.SongDownload("music", "42"),
       {base + "music/download.php?id=42&type=download&client_id=" + kClient, true, 512000,
        20000000, 8}},
      {"artist",
       urls.ArtistPicture("3"),
       {base + "music/download_image.php?id=3&type=artist&size=64", true, 0, 1000000, 8}},
      {"album",
       urls.AlbumPicture("4"),
       {base + "music/download_image.php?id=4&type=musicalbum&size=64", true, 0, 1000000, 8}},
      {"downloaded lyric",
       urls.DownloadedSongLyric("5"),
       {base + "music/download_lyric.php?id=5&type=lrc", true, 0, 1000000, 8}},
      {"playback lyric",
       urls.PlaybackLyric("5"),
       {base + "music/download_lyric.php?id=5&type=lrc", false, 0, 0, 8}},
      {"confirmed lyric",
       urls.PlaybackLyric("5", true),
       {base + "music/download_lyric.php?id=5&type=lrc&checked=1", false, 0, 0, 8}},
      {"lyric by name",
       urls.LyricByName("周杰伦 - 晴天/1"),
       {base +
            "music/download_lyric.php?name=%E5%91%A8%E6%9D%B0%E4%BC%A6+%2D+%E6%99%B4%E5%A4%A9%2F1"
            "&type=lrc",
        true, 0, 0, 8}},
      {"stream", urls.SongStream("6"), {base + "music/download_shiting.php?id=6", true, 0, 0, 8}},
      {"version",
       urls.VersionCheck(),
       {base + "api/checkversion.php?version=1.3.1", false, 0, 0, 8}},
      {"graphics library",
       urls.GraphicsLibrary(),
       {"http://127.0.0.1:11/data/exe/gdiplus.dll", false, 0, 10000000, 8}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.fetch.url, c.expected.url) << c.row;
    EXPECT_EQ(c.fetch, c.expected) << c.row;
  }
}

TEST(ServiceRequestsTest, WebPagesLieUnderTheBaseUrlOrTheWebSite) {
  ServicePages pages({"http://b/", "u:80", "http://w/"});
  struct Case {
    std::string url, expected;
  } cases[] = {
      {pages.MusicHome(), "http://b/music/"},
      {pages.FirstPage(), "http://b/go.php"},
      {pages.ShowItem("42"), "http://b/music/index.php#show_music_window=42/ext=1"},
      {pages.Artist("9"), "http://b/music/artist.php?artistId=9"},
      {pages.Search("a b&c"), "http://b/music/search.php?q=a+b%26c"},
      {pages.Register(), "http://b/user/register.php"},
      {pages.AdminMusic("42"), "http://b/admin/music.php?action=index&music_id=42"},
      {pages.WebSiteHome(), "http://w/?f=c"},
      {pages.RetrievePassword(), "http://w/user/retrieve_pwd.php"},
      {pages.UserPage("u1"), "http://w/my/index.php?user_id=u1"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.url, c.expected);
}

TEST(UrlEncodingTest, EncodesUtf8BytesWholeCharactersIncluded) {
  struct Case {
    std::string text, expected;
  } cases[] = {
      {"", ""},
      {"aZ09", "aZ09"},
      {"a b/ü", "a+b%2F%C3%BC"},
      {"-_.~*'()", "%2D%5F%2E%7E%2A%27%28%29"},
      {"&=?#%+", "%26%3D%3F%23%25%2B"},
      // Outside the Basic Multilingual Plane: the four UTF-8 bytes of U+1F3B5.
      {"\xF0\x9F\x8E\xB5", "%F0%9F%8E%B5"},
      {std::string("\0\xFF", 2), "%00%FF"},
  };
  for (const Case& c : cases) EXPECT_EQ(UrlEncode(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace quillo::service

namespace quillo::service {
namespace {

TEST(SharedEndpointsTest, BuildersReadTheAddressThatArrivesAfterThemAtEachRequest) {
  SharedEndpoints shared;
  ServiceFileUrls urls(shared, kClient);
  ServicePages pages(shared);
  testing::FakeRequestSender sender;
  JSRequestHandler handler(sender, shared);
  // Not known yet: nothing to build on (a request then fails as to a service that is down).
  EXPECT_FALSE(urls.known());
  EXPECT_EQ(handler.base_url(), "");

  shared.Set(EndpointsForBaseUrl("http://127.0.0.1:9/a"));
  EXPECT_TRUE(urls.known());
  EXPECT_EQ(urls.SongStream("5").url, "http://127.0.0.1:9/a/music/download_shiting.php?id=5");
  EXPECT_EQ(pages.MusicHome(), "http://127.0.0.1:9/a/music/");
  handler.Send(ServiceCall{"api/x.php", {}});
  // The address moves (another embedded service): the same builders follow.
  shared.Set(EndpointsForBaseUrl("http://127.0.0.1:10/"));
  EXPECT_EQ(urls.SongStream("5").url, "http://127.0.0.1:10/music/download_shiting.php?id=5");
  handler.Send(ServiceCall{"api/x.php", {}});
  ASSERT_EQ(sender.sent.size(), 2u);
  EXPECT_EQ(sender.sent[0].url, "http://127.0.0.1:9/a/api/x.php");
  EXPECT_EQ(sender.sent[1].url, "http://127.0.0.1:10/api/x.php");
}

}  // namespace
}  // namespace quillo::service
