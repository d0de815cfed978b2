// Fault rules act as described, and the request log shows what arrived.
#include <chrono>

#include "ServiceTestSupport.h"

namespace quillo::testing {
namespace {

class FaultTest : public ServiceTest {
 protected:
  const ServiceSong& PlainSong() {
    for (const auto& song : Songs()) {
      if (song.mirror == "none" && song.size > 300000) return song;
    }
    return Songs()[0];
  }
  std::string Target(const ServiceSong& song) { return "/music/download.php?id=" + song.id + "&type=download"; }
};

TEST_F(FaultTest, StatusRulesLastForTheirCount) {
  ASSERT_GT(service_.AddFault("path=/api/login.php&kind=status&status=503&count=2"), 0);
  EXPECT_EQ(Login("demo", "demo").answer.status, 503);
  EXPECT_EQ(Login("demo", "demo").answer.status, 503);
  EXPECT_EQ(Login("demo", "demo").answer.status, 200);

  ASSERT_GT(service_.AddFault("path=/music/download.php&kind=status&status=200&body=%3Chtml%3Eerror%3C%2Fhtml%3E"), 0);
  const HttpAnswer page = service_.Get(Target(PlainSong()));
  EXPECT_EQ(page.status, 200);
  EXPECT_EQ(page.body, "<html>error</html>");  // the small error page a downloader must reject
}

TEST_F(FaultTest, CutAndNoContentLengthShapeTheBody) {
  const ServiceSong& song = PlainSong();
  const std::string file = ReadFile(song.audio_file);
  ASSERT_GT(service_.AddFault("path=/music/download.php&kind=cut&bytes=1000&count=1"), 0);
  HttpAnswer answer = service_.Get(Target(song));
  EXPECT_EQ(answer.Header("Content-Length"), "1000");
  EXPECT_TRUE(answer.complete);
  EXPECT_EQ(answer.body, file.substr(0, 1000));

  ASSERT_GT(service_.AddFault("path=/music/download.php&kind=no_content_length&count=1"), 0);
  answer = service_.Get(Target(song));
  EXPECT_FALSE(answer.has_content_length);
  EXPECT_EQ(answer.body, file);
  // Back to normal.
  EXPECT_EQ(service_.Get(Target(song)).Header("Content-Length"), std::to_string(file.size()));
}

TEST_F(FaultTest, DroppedConnectionsStopAfterTheBytes) {
  const ServiceSong& song = PlainSong();
  ASSERT_GT(service_.AddFault("path=/music/*&kind=drop_after&bytes=12345&match=id%3D" + song.id + "%26"), 0);
  for (int i = 0; i < 2; ++i) {
    const HttpAnswer answer = service_.Get(Target(song));
    EXPECT_EQ(answer.status, 200);
    EXPECT_FALSE(answer.complete);
    EXPECT_EQ(answer.body, ReadFile(song.audio_file).substr(0, 12345));
  }
  // Other songs are untouched by the matched rule.
  for (const auto& other : Songs()) {
    if (other.id == song.id || other.mirror != "none") continue;
    EXPECT_TRUE(service_.Get(Target(other)).complete);
    break;
  }
  service_.ClearFaults();
  EXPECT_TRUE(service_.Get(Target(song)).complete);
}

TEST_F(FaultTest, WrongContentRangeOnlyOnResumedDownloads) {
  const ServiceSong& song = PlainSong();
  ASSERT_GT(service_.AddFault("path=/music/download.php&kind=wrong_content_range&count=1"), 0);
  const HttpAnswer whole = service_.Get(Target(song));
  EXPECT_TRUE(whole.Header("Content-Range").empty());
  const HttpAnswer resumed = service_.Get(Target(song), {{"Range", "bytes=5000-"}});
  EXPECT_EQ(resumed.status, 206);
  EXPECT_NE(resumed.Header("Content-Range"),
            "bytes 5000-" + std::to_string(song.size - 1) + "/" + std::to_string(song.size));
  ASSERT_GT(service_.AddFault("path=/music/download.php&kind=wrong_content_range&count=1&content_range=bytes%200-9%2F10"), 0);
  EXPECT_EQ(service_.Get(Target(song), {{"Range", "bytes=5000-"}}).Header("Content-Range"), "bytes 0-9/10");
  EXPECT_EQ(service_.Get(Target(song), {{"Range", "bytes=5000-"}}).Header("Content-Range"),
            "bytes 5000-" + std::to_string(song.size - 1) + "/" + std::to_string(song.size));
}

TEST_F(FaultTest, MalformedAndUnscrambledDocuments) {
  ASSERT_GT(service_.AddFault("path=/api/login.php&kind=malformed_xml&count=1"), 0);
  LoginResult login = Login("demo", "demo");
  EXPECT_FALSE(login.xml.empty());
  EXPECT_FALSE(ParseXml(login.xml)) << "still scrambled, but broken inside";

  ASSERT_GT(service_.AddFault("path=/api/getplaylist.php&kind=unscrambled&count=1"), 0);
  const HttpAnswer plain = service_.Get("/api/getplaylist.php?client_id=AB&id=1");
  const auto list = ParseXml(plain.body);
  ASSERT_TRUE(list) << "sent as plain XML";
  EXPECT_EQ(Attr(list->RootElement(), "pid"), "1");
  EXPECT_TRUE(ParseXml(Descramble(service_.Get("/api/getplaylist.php?client_id=AB&id=1").body).value_or("")));
}

TEST_F(FaultTest, ThrottleAndDelaySlowTheAnswer) {
  ASSERT_GT(service_.AddFault("path=/music/download_shiting.php&kind=throttle&bytes_per_second=40000&count=1"), 0);
  ASSERT_GT(service_.AddFault("path=/music/download_shiting.php&kind=cut&bytes=40000&count=1"), 0);
  auto started = std::chrono::steady_clock::now();
  const HttpAnswer slow = service_.Get("/music/download_shiting.php?id=" + PlainSong().id);
  // A lower bound only: the service sleeps, so it can never be faster than the rate.
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(800));
  EXPECT_TRUE(slow.complete);
  EXPECT_EQ(slow.body.size(), 40000u);

  ASSERT_GT(service_.AddFault("path=/api/event.php&kind=delay&ms=400&count=1"), 0);
  started = std::chrono::steady_clock::now();
  service_.PostForm("/api/event.php", {{"client_id", "AB"}, {"type", "play_music"}});
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(400));
}

TEST_F(FaultTest, RulesAreListedAndCleared) {
  const int first = service_.AddFault("path=/a&kind=cut&bytes=1");
  const int second = service_.AddFault("path=/b&kind=no_content_length&count=3");
  ASSERT_GT(first, 0);
  ASSERT_GT(second, first);
  EXPECT_EQ(service_.AddFault("path=/a&kind=nonsense"), -1);
  std::string rules = service_.Control("action=rules");
  EXPECT_NE(rules.find("\"path\":\"/a\""), std::string::npos) << rules;
  EXPECT_NE(rules.find("\"remaining\":3"), std::string::npos);
  EXPECT_NE(service_.Control("action=clear_rules&id=" + std::to_string(first)).find("\"removed\":1"), std::string::npos);
  rules = service_.Control("action=rules");
  EXPECT_EQ(rules.find("\"path\":\"/a\""), std::string::npos);
  service_.ClearFaults();
  EXPECT_EQ(service_.Control("action=rules"), "{\"ok\":true,\"rules\":[]}");
  EXPECT_EQ(service_.Get("/_control?action=bogus").status, 400);
}

TEST_F(FaultTest, TheLogShowsRequestsAndParametersInArrivalOrder) {
  service_.ClearLog();
  const LoginResult login = Login("demo", "demo");
  service_.PostForm("/api/addmusictoplaylist.php?force=1",
                    {{"playlistId", "0123456789ABCDEF0123456789ABCDEF"}, {"musicId[]", "67"},
                     {"musicId[]", "1"}, {"musicId[]", "9"}, {"name", "三首"}},
                    login.CookieHeader());
  service_.Get("/music/download.php?type=download&id=9&client_id=X", {{"RANGE", "bytes=10-"}});
  service_.Upload("GET", "/api/upload.php?action=start");

  const auto log = service_.RequestLog();
  ASSERT_EQ(log.size(), 4u);  // the controls themselves are not logged
  EXPECT_EQ(log[0].path, "/api/login.php");
  EXPECT_EQ(log[0].method, "POST");
  EXPECT_EQ(log[0].form, (NameValues{{"name", "demo"}, {"encode", "demo"}}));
  EXPECT_EQ(log[0].query, (NameValues{{"ie", "utf8"}}));
  EXPECT_EQ(log[1].form, (NameValues{{"playlistId", "0123456789ABCDEF0123456789ABCDEF"}, {"musicId[]", "67"},
                                     {"musicId[]", "1"}, {"musicId[]", "9"}, {"name", "三首"}}));
  EXPECT_EQ(log[1].FormValues("musicId[]"), (std::vector<std::string>{"67", "1", "9"}));
  EXPECT_EQ(log[1].Header("Cookie"), login.cookie);
  EXPECT_EQ(log[1].status, 200);
  EXPECT_EQ(log[2].query, (NameValues{{"type", "download"}, {"id", "9"}, {"client_id", "X"}}));
  EXPECT_EQ(log[2].Header("Range"), "bytes=10-");
  EXPECT_EQ(log[2].status, 206);
  EXPECT_EQ(log[3].server, "upload");
  EXPECT_LT(log[0].seq, log[1].seq);
  EXPECT_EQ(service_.RequestLog(log[2].seq).size(), 1u);
}

}  // namespace
}  // namespace quillo::testing
