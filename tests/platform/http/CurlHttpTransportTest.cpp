#include "platform/http/CurlHttpRequest.h"
#include "platform/http/CurlHttpTransport.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <random>
#include <thread>

#include "SilentServer.h"
#include "platform/fs/FileSystem.h"
#include "service/http/CHttpClientT.h"
#include "service/http/httpclientexceptionW.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"

namespace quillo::http {
namespace {

using Dravik::CHttpClient;
using Dravik::CHttpResponse;
using testing::ServiceProcess;
using namespace std::chrono_literals;

constexpr const char* kUserAgent = "Sorvel Client - 1.3.1";

std::string ReadAll(CHttpResponse& response, std::size_t step = 16384) {
  std::string body;
  std::string buffer(step, '\0');
  while (const std::size_t count = response.ReadBody(buffer.data(), buffer.size())) {
    body.append(buffer.data(), count);
  }
  return body;
}

class CurlHttpTransportTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    service_ = new ServiceProcess();
    ASSERT_TRUE(service_->Start()) << service_->error();
  }
  static void TearDownTestSuite() {
    delete service_;
    service_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(service_, nullptr);
    service_->ClearFaults();
    service_->ClearLog();
  }

  std::unique_ptr<CHttpClient> Client(HttpTransport& transport) {
    auto client = std::make_unique<CHttpClient>(transport);
    client->SetSessionOptions(kUserAgent);
    client->SetUseUtf8(true);
    return client;
  }
  std::string Url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(service_->port()) + target;
  }

  static ServiceProcess* service_;
  testing::TempFolder folder_;
};

ServiceProcess* CurlHttpTransportTest::service_ = nullptr;

TEST_F(CurlHttpTransportTest, DownloadsAFileWholeAndResumesWithRange) {
  const auto songs = service_->Catalogue();
  const auto song =
      std::find_if(songs.begin(), songs.end(), [](const auto& s) { return s.mirror == "none"; });
  ASSERT_NE(song, songs.end());
  const auto file = fs::ReadWholeFile(song->audio_file);
  ASSERT_TRUE(file.has_value());
  const std::string url = Url("/music/download.php?id=" + song->id + "&type=download");

  CurlHttpTransport transport("");
  auto client = Client(transport);
  auto whole = client->SendGet(url.c_str());
  EXPECT_EQ(whole->GetStatus(), 200u);
  std::uint64_t length = 0;
  ASSERT_TRUE(whole->GetContentLength(length));
  EXPECT_EQ(length, file->size());
  EXPECT_TRUE(ReadAll(*whole, 1000) == *file);

  const std::uint64_t offset = file->size() / 3;
  client->SetHeader("RANGE", ("bytes=" + std::to_string(offset) + "-").c_str());
  auto rest = client->SendGet(url.c_str());
  EXPECT_EQ(rest->GetStatus(), 206u);
  ASSERT_NE(rest->GetHeader("content-range"), nullptr);
  EXPECT_EQ(std::string(rest->GetHeader("Content-Range")), "bytes " + std::to_string(offset) + "-" +
                                                               std::to_string(file->size() - 1) +
                                                               "/" + std::to_string(file->size()));
  ASSERT_TRUE(rest->GetContentLength(length));
  EXPECT_EQ(length, file->size() - offset);
  EXPECT_TRUE(ReadAll(*rest) == file->substr(offset));
  const auto log = service_->RequestLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[1].Header("Range"), "bytes=" + std::to_string(offset) + "-");
  EXPECT_EQ(log[1].Header("User-Agent"), kUserAgent);
  EXPECT_EQ(log[1].Header("Cache-Control"), "no-cache");
}

TEST_F(CurlHttpTransportTest, StreamsALargeFormInOrder) {
  CurlHttpTransport transport("");
  auto client = Client(transport);
  std::string big(2 * 1024 * 1024, 'x');
  for (std::size_t i = 0; i < big.size(); i += 997) big[i] = ' ';
  client->AddParam("type", "play_music");
  client->AddParam("ext_value", big.c_str());
  client->AddParam("client_id", "0123456789abcdef0123456789ABCDEF");
  client->AddParam("Ext_id", "\xE4\xB8\xAD \xF0\x9F\x8E\xB5&=");
  client->AddParam("ext_id", nullptr);
  auto response = client->SendPost(Url("/api/event.php").c_str());
  EXPECT_NE(response->GetStatus(), 0u);
  ReadAll(*response);

  const auto log = service_->RequestLog();
  ASSERT_EQ(log.size(), 1u);
  const auto& request = log[0];
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.Header("User-Agent"), kUserAgent);
  EXPECT_EQ(request.Header("Content-Type"), "application/x-www-form-urlencoded");
  std::vector<std::string> names;
  for (const auto& [name, value] : request.form) names.push_back(name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"client_id", "Ext_id", "ext_id", "ext_value", "type"}));
  EXPECT_EQ(request.FormValues("Ext_id").at(0), "\xE4\xB8\xAD \xF0\x9F\x8E\xB5&=");
  EXPECT_EQ(request.FormValues("ext_id").at(0), "");
  EXPECT_TRUE(request.Form("ext_value") == big);
}

TEST_F(CurlHttpTransportTest, KeepsTheLoginCookieAndWritesTheJar) {
  const std::string jar = folder_ / "cookies.txt";
  {
    CurlHttpTransport transport(jar);
    auto login = Client(transport);
    login->AddParam("name", "demo");
    login->AddParam("encode", "demo");
    ASSERT_EQ(login->SendPost(Url("/api/login.php?ie=utf8").c_str())->GetStatus(), 200u);
    const auto text = fs::ReadWholeFile(jar);
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find("# Netscape HTTP Cookie File"), std::string::npos);
    EXPECT_NE(text->find("\tQSID\t"), std::string::npos);

    // Another client on another thread shares the store.
    std::thread([&] {
      auto again = Client(transport);
      auto answer = again->SendPost(Url("/api/autologin.php").c_str());
      EXPECT_EQ(answer->GetStatus(), 200u);
    }).join();
    const auto log = service_->RequestLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[1].Header("Cookie").find("QSID="), std::string::npos);
  }
  // QSID is a session cookie: a new run of the program does not send it again.
  service_->ClearLog();
  CurlHttpTransport later(jar);
  Client(later)->SendPost(Url("/api/autologin.php").c_str());
  const auto log = service_->RequestLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].Header("Cookie").find("QSID="), std::string::npos);

  // A transport that continues the session (quillo-tool) sends it.
  service_->ClearLog();
  CurlHttpTransport continued(jar, CookieSessions::kContinue);
  Client(continued)->SendPost(Url("/api/autologin.php").c_str());
  const auto continued_log = service_->RequestLog();
  ASSERT_EQ(continued_log.size(), 1u);
  EXPECT_NE(continued_log[0].Header("Cookie").find("QSID="), std::string::npos);
}

TEST_F(CurlHttpTransportTest, ReceiveTimeOutEndsASilentPeer) {
  testing::SilentServer silent;
  ASSERT_NE(silent.port(), 0);
  CurlHttpTransport transport("");
  auto session = transport.OpenSession({});
  auto connection = session->Connect("127.0.0.1", static_cast<unsigned>(silent.port()), false);
  auto request = connection->OpenRequest("GET", "/", 0);
  request->SetReceiveTimeout(300ms);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(request->Send());
  EXPECT_EQ(request->LastError(), CURLE_OPERATION_TIMEDOUT);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);

  // Through the client: the answer's headers came, then nothing.
  testing::SilentServer stalling("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc");
  auto client = Client(transport);
  auto response =
      client->SendGet(("http://127.0.0.1:" + std::to_string(stalling.port()) + "/").c_str());
  response->SetReceiveTimeout(300ms);
  char buffer[64];
  EXPECT_EQ(response->ReadBody(buffer, sizeof buffer), 3u);
  try {
    response->ReadBody(buffer, sizeof buffer);
    ADD_FAILURE() << "read past a silent peer";
  } catch (const Dravik::httpclientexceptionW& e) {
    EXPECT_EQ(e.ErrorCode(), 401);
    EXPECT_EQ(e.LastError(), CURLE_OPERATION_TIMEDOUT);
  }
}

TEST_F(CurlHttpTransportTest, AbortFlagEndsBlockedOperations) {
  testing::SilentServer stalling("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc");
  testing::SilentServer silent;
  CurlHttpTransport transport("");
  auto abort = std::make_shared<std::atomic<bool>>(false);
  auto client = Client(transport);
  client->SetAbortFlag(abort);
  auto response =
      client->SendGet(("http://127.0.0.1:" + std::to_string(stalling.port()) + "/").c_str());
  char buffer[64];
  ASSERT_EQ(response->ReadBody(buffer, sizeof buffer), 3u);
  auto blocked_read = std::async(std::launch::async, [&] {
    try {
      response->ReadBody(buffer, sizeof buffer);
      return 0;
    } catch (const Dravik::httpclientexceptionW& e) {
      return e.LastError();
    }
  });
  auto blocked_send = std::async(std::launch::async, [&] {
    auto other = Client(transport);
    other->SetAbortFlag(abort);
    other->AddParam("a", "b");
    try {
      other->SendPost(("http://127.0.0.1:" + std::to_string(silent.port()) + "/").c_str());
      return 0;
    } catch (const Dravik::httpclientexceptionW& e) {
      return e.ErrorCode();
    }
  });
  EXPECT_EQ(blocked_read.wait_for(200ms), std::future_status::timeout);
  abort->store(true);
  ASSERT_EQ(blocked_read.wait_for(5s), std::future_status::ready);
  EXPECT_EQ(blocked_read.get(), CURLE_ABORTED_BY_CALLBACK);
  ASSERT_EQ(blocked_send.wait_for(5s), std::future_status::ready);
  EXPECT_EQ(blocked_send.get(), 409);
}

TEST_F(CurlHttpTransportTest, RefusesHeaderInjectionAndBadTargets) {
  CurlHttpTransport transport("");
  auto session = transport.OpenSession({});
  auto connection = session->Connect("127.0.0.1", static_cast<unsigned>(service_->port()), false);
  auto request = connection->OpenRequest("GET", "/", 0);
  for (const char* lines :
       {"X-A: 1\nX-B: 2\r\n", "X-A: 1\rX-B: 2", "No colon\r\n", ": v\r\n", "Bad Name: v\r\n"}) {
    EXPECT_FALSE(request->AddHeaders(lines)) << lines;
    EXPECT_EQ(request->LastError(), CURLE_BAD_FUNCTION_ARGUMENT);
  }
  EXPECT_TRUE(request->AddHeaders("X-A: 1\r\nx-a: 2\r\n"));
  EXPECT_TRUE(request->Send());
  EXPECT_EQ(request->Status(), 200u);
  EXPECT_EQ(service_->RequestLog().at(0).Header("X-A"), "2");
  EXPECT_EQ(connection->OpenRequest("GET", "/a b", 0), nullptr);
  EXPECT_EQ(connection->OpenRequest("GET", "/a\r\nX: 1", 0), nullptr);
  for (const char* host : {"", "a@b", "a/b", "a b"}) {
    EXPECT_EQ(session->Connect(host, 80, false), nullptr) << host;
  }
  EXPECT_EQ(session->Connect("127.0.0.1", 0, false), nullptr);
}

TEST_F(CurlHttpTransportTest, ErrorStatusesAnswerAndRefusedConnectionsThrow) {
  CurlHttpTransport transport("");
  auto client = Client(transport);
  service_->AddFault("path=/api/getplaylist.php&kind=status&status=503");
  EXPECT_EQ(client->SendGet(Url("/api/getplaylist.php?id=1").c_str())->GetStatus(), 503u);
  try {
    client->SendGet("http://127.0.0.1:1/");  // nothing listens on port 1
    ADD_FAILURE() << "connected";
  } catch (const Dravik::httpclientexceptionW& e) {
    EXPECT_EQ(e.ErrorCode(), 406);
    EXPECT_EQ(e.LastError(), CURLE_COULDNT_CONNECT);
  }
}

// Peers that are not quillo-service: a redirect, an interim 100 answer before the final one.
TEST_F(CurlHttpTransportTest, FollowsRedirectsOfGetOnlyAndSkipsInterimAnswers) {
  testing::SilentServer target(
      "HTTP/1.1 100 Continue\r\nX-Interim: 1\r\n\r\n"
      "HTTP/1.1 200 OK\r\nX-Final: yes\r\nContent-Length: 2\r\n\r\nok");
  const std::string target_url = "http://127.0.0.1:" + std::to_string(target.port()) + "/final";
  testing::SilentServer redirect("HTTP/1.1 302 Found\r\nLocation: " + target_url +
                                 "\r\nContent-Length: 0\r\n\r\n");
  const std::string redirect_url = "http://127.0.0.1:" + std::to_string(redirect.port()) + "/";
  CurlHttpTransport transport("");
  auto client = Client(transport);

  auto followed = client->SendGet(redirect_url.c_str());
  EXPECT_EQ(followed->GetStatus(), 200u);
  EXPECT_STREQ(followed->GetHeader("x-final"), "yes");
  EXPECT_EQ(followed->GetHeader("X-Interim"), nullptr);
  EXPECT_EQ(followed->GetHeader("Location"), nullptr);
  EXPECT_EQ(ReadAll(*followed), "ok");

  client->AddParam("a", "b");
  auto posted = client->SendPost(redirect_url.c_str());
  EXPECT_EQ(posted->GetStatus(), 302u);
  EXPECT_EQ(std::string(posted->GetHeader("Location")), target_url);
}

TEST_F(CurlHttpTransportTest, ProxySettingsByAccessType) {
  testing::SilentServer proxy("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
  const std::string proxy_address = "127.0.0.1:" + std::to_string(proxy.port());
  CurlHttpTransport transport("");
  auto client = Client(transport);
  client->SetSessionOptions(kUserAgent, 3, proxy_address.c_str(), "*.bypassed.test;<local>");
  client->SetProxyAccount("user", "secret");
  EXPECT_EQ(ReadAll(*client->SendGet("http://proxied.test:8080/x?y=1")), "ok");
  const std::string received = proxy.ReceivedOnceItHolds("\r\n\r\n");
  EXPECT_NE(received.find("GET http://proxied.test:8080/x?y=1 HTTP/1.1\r\n"), std::string::npos)
      << received;
  EXPECT_NE(received.find("Proxy-Authorization: Basic dXNlcjpzZWNyZXQ=\r\n"), std::string::npos);

  // The bypass list sends loopback traffic direct; access type 1 ignores the environment.
  EXPECT_EQ(client->SendGet(Url("/").c_str())->GetStatus(), 200u);
  ::setenv("http_proxy", ("http://" + proxy_address).c_str(), 1);
  ::setenv("no_proxy", "", 1);
  client->SetSessionOptions(kUserAgent, 1);
  EXPECT_EQ(client->SendGet(Url("/").c_str())->GetStatus(), 200u);
  EXPECT_EQ(service_->RequestLog().size(), 2u);
  client->SetSessionOptions(kUserAgent, 0);
  EXPECT_EQ(ReadAll(*client->SendGet(Url("/via-environment").c_str())), "ok");
  ::unsetenv("http_proxy");
  ::unsetenv("no_proxy");
  EXPECT_NE(proxy.ReceivedOnceItHolds("/via-environment").find("/via-environment"),
            std::string::npos);
  EXPECT_EQ(service_->RequestLog().size(), 2u);
}

// Many workers on one transport: the shared cookie store and DNS cache under their locks.
TEST_F(CurlHttpTransportTest, ManyThreadsShareOneTransport) {
  const std::string jar = folder_ / "jar.txt";
  CurlHttpTransport transport(jar);
  std::vector<std::thread> workers;
  std::atomic<int> answered{0};
  for (int t = 0; t < 6; ++t) {
    workers.emplace_back([&, t] {
      for (int i = 0; i < 10; ++i) {
        auto client = Client(transport);
        client->AddParam("name", "demo");
        client->AddParam("encode", "demo");
        const char* path = (t + i) % 2 == 0 ? "/api/login.php" : "/api/autologin.php";
        auto response = client->SendPost(Url(path).c_str());
        ReadAll(*response);
        if (response->GetStatus() == 200) ++answered;
      }
    });
  }
  for (auto& worker : workers) worker.join();
  EXPECT_EQ(answered.load(), 60);
  const auto text = fs::ReadWholeFile(jar);
  ASSERT_TRUE(text.has_value());
  EXPECT_NE(text->find("\tQSID\t"), std::string::npos);
}

TEST_F(CurlHttpTransportTest, PostWithoutBodyAnnouncesLengthZero) {
  CurlHttpTransport transport("");
  auto session = transport.OpenSession({});
  auto connection = session->Connect("127.0.0.1", static_cast<unsigned>(service_->port()), false);
  auto request = connection->OpenRequest("POST", "/api/event.php", 0);
  ASSERT_TRUE(request->Send());
  EXPECT_NE(request->Status(), 0u);
  const auto log = service_->RequestLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].method, "POST");
  EXPECT_EQ(log[0].Header("Content-Length"), "0");
  EXPECT_FALSE(request->WriteBody("x"));  // nothing more than announced
}

// Answers no service should give: each ends in a failure or a short read, never a crash or hang.
TEST_F(CurlHttpTransportTest, BadAnswersFailCleanly) {
  const std::string huge_headers = "HTTP/1.1 200 OK\r\n" + [] {
    std::string lines;
    for (int i = 0; i < 2000; ++i)
      lines += "X-Filler-" + std::to_string(i) + ": " + std::string(60, 'f') + "\r\n";
    return lines;
  }() + "Content-Length: 1\r\n\r\nz";
  const std::string answers[] = {
      std::string("\x00\xff\xfe junk \x01\x02\r\n\r\n", 16),
      "HTTP/1.1 200 OK\r\nContent-Le",
      "HTTP/1.1 abc\r\n\r\n",
      "HTTP/1.1 200 OK\r\nContent-Length: 10\r\nContent-Length: 20\r\n\r\n0123456789",
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nZZ\r\nxx\r\n",
      huge_headers,
  };
  CurlHttpTransport transport("");
  for (const auto& answer : answers) {
    SCOPED_TRACE(answer.substr(0, 40));
    testing::SilentServer peer(answer);
    auto session = transport.OpenSession({});
    auto connection = session->Connect("127.0.0.1", static_cast<unsigned>(peer.port()), false);
    auto request = connection->OpenRequest("GET", "/", 0);
    request->SetReceiveTimeout(300ms);
    if (!request->Send()) {
      EXPECT_NE(request->LastError(), 0);
      continue;
    }
    char buffer[4096];
    std::ptrdiff_t count = 0;
    for (int reads = 0; reads < 1000 && (count = request->Read(buffer, sizeof buffer)) > 0;)
      ++reads;
    EXPECT_LE(count, 0);
  }
}

TEST_F(CurlHttpTransportTest, PersistentCookiesOutliveTheTransportAndLogoutClearsTheJar) {
  const std::string jar = folder_ / "jar.txt";
  {
    testing::SilentServer setter(
        "HTTP/1.1 200 OK\r\nSet-Cookie: keep=1; Max-Age=3600; Path=/\r\n"
        "Content-Length: 0\r\n\r\n");
    CurlHttpTransport transport(jar);
    Client(transport)->SendGet(("http://127.0.0.1:" + std::to_string(setter.port()) + "/").c_str());
  }
  testing::SilentServer reader("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
  CurlHttpTransport later(jar);
  Client(later)->SendGet(("http://127.0.0.1:" + std::to_string(reader.port()) + "/").c_str());
  const std::string request = reader.ReceivedOnceItHolds("\r\n\r\n");
  EXPECT_NE(request.find("Cookie: keep=1\r\n"), std::string::npos) << request;

  auto login = Client(later);
  login->AddParam("name", "demo");
  login->AddParam("encode", "demo");
  login->SendPost(Url("/api/login.php?ie=utf8").c_str());
  EXPECT_NE(fs::ReadWholeFile(jar).value_or("").find("\tQSID\t"), std::string::npos);
  Client(later)->SendPost(Url("/user/logout.php").c_str());
  const std::string text = fs::ReadWholeFile(jar).value_or("");
  EXPECT_EQ(text.find("\tQSID\t"), std::string::npos) << text;
  EXPECT_NE(text.find("\tkeep\t1"), std::string::npos) << text;
}

// Pull mode: reading a large body in small pieces never holds more than about the window.
TEST_F(CurlHttpTransportTest, LargeBodyIsNotHeldWhole) {
  const auto songs = service_->Catalogue();
  const auto song = std::max_element(songs.begin(), songs.end(), [](const auto& a, const auto& b) {
    return (a.mirror == "none" ? a.size : 0) < (b.mirror == "none" ? b.size : 0);
  });
  ASSERT_GT(song->size, 400000);
  CurlHttpTransport transport("");
  auto session = transport.OpenSession({});
  auto connection = session->Connect("127.0.0.1", static_cast<unsigned>(service_->port()), false);
  auto request =
      connection->OpenRequest("GET", "/music/download.php?id=" + song->id + "&type=download", 0);
  ASSERT_TRUE(request->Send());
  const auto& curl_request = dynamic_cast<const CurlHttpRequest&>(*request);
  std::int64_t total = 0;
  std::size_t most_held = 0;
  char buffer[100];
  while (const std::ptrdiff_t count = request->Read(buffer, sizeof buffer)) {
    ASSERT_GT(count, 0);
    total += count;
    most_held = std::max(most_held, curl_request.HeldBodyBytes());
  }
  EXPECT_EQ(total, song->size);
  EXPECT_LE(most_held, 256u * 1024);
}

// Randomly damaged answers from a peer that then closes: never a crash, a hang or a bogus status.
TEST_F(CurlHttpTransportTest, RandomlyDamagedAnswers) {
  std::mt19937 random(9);
  const std::string valid =
      "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nX-A: 1\r\n folded\r\nContent-Range: bytes 0-4/5"
      "\r\n\r\nhello";
  CurlHttpTransport transport("");
  int answered = 0;
  for (int round = 0; round < 150; ++round) {
    std::string answer = valid;
    for (int edit = 1 + static_cast<int>(random() % 4); edit > 0; --edit) {
      const std::size_t at = random() % answer.size();
      switch (random() % 3) {
        case 0:
          answer[at] = static_cast<char>(random() % 256);
          break;
        case 1:
          answer.erase(at, 1 + random() % 8);
          break;
        default:
          answer.insert(at, std::string(1 + random() % 3, "\r\n: 0\x00\xff"[random() % 7]));
      }
    }
    if (round % 10 == 0) {
      answer.clear();
      for (int i = 0; i < 64; ++i) answer += static_cast<char>(random() % 256);
    }
    SCOPED_TRACE(round);
    testing::SilentServer peer(answer, true);
    auto session = transport.OpenSession({});
    auto connection = session->Connect("127.0.0.1", static_cast<unsigned>(peer.port()), false);
    auto request = connection->OpenRequest("GET", "/", 0);
    request->SetReceiveTimeout(2s);
    if (!request->Send()) {
      EXPECT_NE(request->LastError(), 0);
      continue;
    }
    ++answered;
    EXPECT_GE(request->Status(), 100u);
    EXPECT_LE(request->Status(), 999u);
    for (std::size_t i = 0; request->Header("x-a", i); ++i) ASSERT_LT(i, 10u);
    char buffer[256];
    std::ptrdiff_t count = 0;
    for (int reads = 0; reads < 1000 && (count = request->Read(buffer, sizeof buffer)) > 0;) {
      ++reads;
    }
    EXPECT_LE(count, 0);
  }
  EXPECT_GT(answered, 0);
}

}  // namespace
}  // namespace quillo::http
