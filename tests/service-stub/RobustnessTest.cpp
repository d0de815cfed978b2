// Bad requests get error answers and the service keeps going.
#include <random>

#include "RawConnection.h"
#include "ServiceTestSupport.h"

namespace quillo::testing {
namespace {

class RobustnessTest : public ServiceTest {
 protected:
  void ExpectAlive() {
    const HttpAnswer answer = service_.Get("/music/");
    ASSERT_EQ(answer.status, 200) << "the service stopped answering";
  }
};

TEST_F(RobustnessTest, MissingParametersAndUnknownIdsGetErrorAnswers) {
  const struct {
    const char* method;
    const char* target;
    int status;
  } cases[] = {
      {"GET", "/music/download.php", 400},
      {"GET", "/music/download.php?id=1", 400},
      {"GET", "/music/download.php?id=424242&type=download", 404},
      {"GET", "/music/download.php?id=&type=download", 400},
      {"GET", "/music/download_shiting.php", 400},
      {"GET", "/music/download_shiting.php?id=abc", 404},
      {"GET", "/music/artist.php?artistId=nobody", 404},
      {"GET", "/my/index.php", 404},
      {"GET", "/admin/music.php?action=index&music_id=0", 404},
      {"GET", "/admin/music.php?action=drop&music_id=1", 400},
      {"GET", "/music/chart.php?id=77", 404},
      {"GET", "/no/such/page.php", 404},
      {"GET", "/api/no_such_call.php", 404},
      {"GET", "/api/addmusic.php", 405},
      {"POST", "/music/download.php?id=1&type=download", 405},
      {"PUT", "/api/login.php", 405},
      {"DELETE", "/music/", 405},
  };
  for (const auto& c : cases) {
    const std::string request = std::string(c.method) + " " + c.target +
                                " HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";
    EXPECT_EQ(service_.Raw(request).status, c.status) << c.method << " " << c.target;
  }
  ExpectAlive();
}

TEST_F(RobustnessTest, OversizedAndMalformedFormsAreRefused) {
  const HttpAnswer huge = service_.Post("/api/uploadreport.php", std::string(9 * 1024 * 1024, 'a'),
                                        "application/x-www-form-urlencoded");
  EXPECT_EQ(huge.status, 413);
  EXPECT_EQ(service_.Get("/music/" + std::string(5000, 'x')).status, 414);
  // A multipart body is read and ignored, not parsed as a form.
  const std::string multipart = "--XYZ\r\nContent-Disposition: form-data; name=\"musicId[]\"\r\n\r\n1\r\n--XYZ--\r\n";
  EXPECT_EQ(service_.Post("/api/addmusic.php", multipart, "multipart/form-data; boundary=XYZ").status, 401);
  // Broken escapes, bytes that are not UTF-8 and stray separators.
  const LoginResult login = Login("demo", "demo");
  const char* bodies[] = {"name=%E4%B8&id=0123456789ABCDEF0123456789ABCDEF",
                          "name=\xff\xfe\x01&id=0123456789ABCDEF0123456789ABCDEF",
                          "&&&=&name&id", "%%%%%", "name=%zz%&id=%"};
  for (const char* body : bodies) {
    const HttpAnswer answer = service_.Post("/api/createplaylist.php", body, "application/x-www-form-urlencoded",
                                            login.CookieHeader());
    EXPECT_GE(answer.status, 200) << body;
    EXPECT_TRUE(ParseXml(answer.body)) << body;
  }
  // Whatever was stored, the login answer stays a well-formed document.
  EXPECT_TRUE(ParseXml(Login("demo", "demo").xml));
  ExpectAlive();
}

TEST_F(RobustnessTest, RequestWithoutLengthHasAnEmptyBody) {
  // Neither Content-Length nor Transfer-Encoding: the request ends with its headers.
  const HttpAnswer login = service_.Raw("POST /api/login.php HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", 5000);
  EXPECT_EQ(login.status, 200);
  EXPECT_NE(Descramble(login.body).value_or("").find("请输入用户名和密码"), std::string::npos)
      << "answered as an empty form";
  EXPECT_EQ(service_.Raw("DELETE /music/ HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", 5000).status, 405);

  // On a kept-alive connection the next request is read as a request, not as a body.
  RawConnection connection;
  ASSERT_TRUE(connection.Open(service_.port()));
  ASSERT_TRUE(connection.Send("POST /api/login.php HTTP/1.1\r\nHost: x\r\n\r\n"));
  ASSERT_TRUE(connection.ReadUntil("\r\n\r\n", 5000)) << "the first request was answered";
  EXPECT_EQ(connection.received().rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
  ASSERT_TRUE(connection.Send("GET /music/ HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"));
  const std::string& bytes = connection.ReadAll(5000);
  EXPECT_NE(bytes.find("HTTP/1.1 200 OK\r\n", 1), std::string::npos) << "the second request was answered";
  const auto logged = service_.RequestLog();
  ASSERT_GE(logged.size(), 3u);
  EXPECT_EQ(logged[logged.size() - 2].method, "POST");
  EXPECT_EQ(logged[logged.size() - 2].body_bytes, 0);
  EXPECT_EQ(logged.back().path, "/music/");
  ExpectAlive();
}

TEST_F(RobustnessTest, RandomBytesNeverStopTheService) {
  std::mt19937 random(1234);
  const std::string pieces[] = {"GET ", "POST ", "/api/login.php", "?", "&", "=", "%", " HTTP/1.1\r\n",
                                "Content-Length: 5\r\n", "Content-Length: x\r\n", "Range: bytes=9-1\r\n",
                                "Cookie: QSID=\r\n", "\r\n", "\xff", "\0", "/music/download.php?id=1&type=download"};
  for (int round = 0; round < 100; ++round) {
    std::string request;
    const int count = 1 + static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) request += pieces[random() % std::size(pieces)];
    if (round % 3 == 0) {
      for (int i = 0; i < 20; ++i) request.push_back(static_cast<char>(random()));
    }
    // Garbage that parses as a kept-alive request gets no close from the service; the short
    // idle limit ends the exchange from this side instead.
    service_.Raw(request + "\r\n\r\n", 50);
  }
  ExpectAlive();
  EXPECT_EQ(Login("demo", "demo").answer.status, 200);
}

}  // namespace
}  // namespace quillo::testing
