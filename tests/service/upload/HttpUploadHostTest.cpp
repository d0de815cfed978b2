// The host routines over a scripted transport: what goes out (session, port, flags, headers,
// body) and which answers come back (status rules, the 1024-byte limit, failures, abort).
#include "service/upload/HttpUploadHost.h"

#include <gtest/gtest.h>

#include <deque>

namespace quillo::service {
namespace {

// What the scripted transport saw of one request and how it answers it.
struct Exchange {
  // Seen.
  std::string user_agent, host, verb, object, headers, body;
  unsigned port = 0;
  bool secure = true;
  std::uint32_t flags = 0;
  std::uint64_t announced = 0;
  bool abort_flag_given = false;
  // Answer.
  unsigned status = 200;
  std::string answer;
  bool send_fails = false;
  bool read_fails = false;
};

class ScriptedRequest : public http::HttpRequest {
 public:
  explicit ScriptedRequest(Exchange& exchange) : exchange_(exchange) {}
  bool AddHeaders(std::string_view lines) override {
    exchange_.headers += lines;
    return true;
  }
  bool Send() override { return !exchange_.send_fails; }
  bool BeginSend(std::uint64_t length) override {
    exchange_.announced = length;
    return !exchange_.send_fails;
  }
  bool WriteBody(std::string_view bytes) override {
    exchange_.body += bytes;
    return exchange_.body.size() <= exchange_.announced;
  }
  bool EndRequest() override { return exchange_.body.size() == exchange_.announced; }
  unsigned Status() const override { return exchange_.status; }
  std::optional<std::string> Header(std::string_view, std::size_t) const override { return {}; }
  std::ptrdiff_t Read(char* buffer, std::size_t size) override {
    if (exchange_.read_fails) return -1;
    // Dribbles at most 300 bytes per read, as a network does.
    const std::size_t n = std::min({size, exchange_.answer.size() - read_, std::size_t{300}});
    std::copy_n(exchange_.answer.data() + read_, n, buffer);
    read_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }
  void SetReceiveTimeout(std::chrono::milliseconds) override {}
  http::PlatformError LastError() const override { return 0; }

 private:
  Exchange& exchange_;
  std::size_t read_ = 0;
};

class ScriptedConnection : public http::HttpConnection {
 public:
  explicit ScriptedConnection(Exchange& exchange) : exchange_(exchange) {}
  std::unique_ptr<http::HttpRequest> OpenRequest(std::string_view verb, std::string_view object,
                                                 std::uint32_t flags) override {
    exchange_.verb = verb;
    exchange_.object = object;
    exchange_.flags = flags;
    return std::make_unique<ScriptedRequest>(exchange_);
  }
  bool SetProxyCredentials(std::string_view, std::string_view) override { return true; }
  http::PlatformError LastError() const override { return 0; }

 private:
  Exchange& exchange_;
};

class ScriptedSession : public http::HttpSession {
 public:
  explicit ScriptedSession(Exchange& exchange) : exchange_(exchange) {}
  std::unique_ptr<http::HttpConnection> Connect(std::string_view host, unsigned port,
                                                bool secure) override {
    exchange_.host = host;
    exchange_.port = port;
    exchange_.secure = secure;
    return std::make_unique<ScriptedConnection>(exchange_);
  }
  http::PlatformError LastError() const override { return 0; }

 private:
  Exchange& exchange_;
};

class ScriptedTransport : public http::HttpTransport {
 public:
  std::unique_ptr<http::HttpSession> OpenSession(const http::SessionOptions& options) override {
    exchanges.emplace_back();
    Exchange& exchange = exchanges.back();
    exchange.user_agent = options.user_agent;
    exchange.abort_flag_given = options.abort != nullptr;
    exchange.status = next.status;
    exchange.answer = next.answer;
    exchange.send_fails = next.send_fails;
    exchange.read_fails = next.read_fails;
    return std::make_unique<ScriptedSession>(exchange);
  }
  Exchange next;  // the answer of the following requests
  std::deque<Exchange> exchanges;
};

class HttpUploadHostTest : public ::testing::Test {
 protected:
  std::shared_ptr<std::atomic<bool>> abort_ = std::make_shared<std::atomic<bool>>(false);
  ScriptedTransport transport_;
};

TEST_F(HttpUploadHostTest, EachCallIsOneSessionToTheHostWithTheClientsHeaders) {
  HttpUploadHost host(transport_, "upload.example.org", abort_);
  transport_.next.answer = "{id:'abc'}";
  EXPECT_EQ(host.HostGet("/api/upload.php?action=start"), "{id:'abc'}");
  transport_.next.answer = "{file_length:5}";
  EXPECT_EQ(host.HostPost("/api/upload.php?action=send&id=abc&seek=0", "hello"), "{file_length:5}");

  ASSERT_EQ(transport_.exchanges.size(), 2u);
  const Exchange& get = transport_.exchanges[0];
  const Exchange& post = transport_.exchanges[1];
  for (const Exchange* exchange : {&get, &post}) {
    EXPECT_EQ(exchange->user_agent, "Sorvel Client - 1.3.1");
    EXPECT_EQ(exchange->host, "upload.example.org");
    EXPECT_EQ(exchange->port, 80u);
    EXPECT_FALSE(exchange->secure);
    EXPECT_EQ(exchange->flags, 0x20000000u);
    EXPECT_EQ(exchange->headers, "Connection: Keep-Alive\r\n");
    EXPECT_TRUE(exchange->abort_flag_given);
  }
  EXPECT_EQ(get.verb, "GET");
  EXPECT_EQ(get.object, "/api/upload.php?action=start");
  EXPECT_EQ(post.verb, "POST");
  EXPECT_EQ(post.announced, 5u);
  EXPECT_EQ(post.body, "hello");
}

TEST_F(HttpUploadHostTest, AnswersFollowTheStatusRulesAndTheSizeLimit) {
  HttpUploadHost host(transport_, "127.0.0.1:39263", abort_);
  struct Case {
    unsigned status;
    std::string get, post;  // expected answers
  };
  for (const Case& c : {Case{200, "body", "body"}, Case{201, "body", "body"}, Case{404, "body", ""},
                        Case{500, "body", ""}}) {
    transport_.next.status = c.status;
    transport_.next.answer = "body";
    EXPECT_EQ(host.HostGet("/x"), c.get) << c.status;
    EXPECT_EQ(host.HostPost("/x", "b"), c.post) << c.status;
  }
  EXPECT_EQ(transport_.exchanges.back().port, 39263u);

  transport_.next.status = 200;
  transport_.next.answer = std::string(5000, 'a');
  EXPECT_EQ(host.HostGet("/x").size(), 1024u);
  EXPECT_EQ(host.HostPost("/x", std::string(200000, 'b')).size(), 1024u);
  EXPECT_EQ(transport_.exchanges.back().body.size(), 200000u) << "a big body goes whole";

  transport_.next.answer = "partial";
  transport_.next.read_fails = true;
  EXPECT_EQ(host.HostGet("/x"), "");
  transport_.next.read_fails = false;
  transport_.next.send_fails = true;
  EXPECT_EQ(host.HostGet("/x"), "");
  EXPECT_EQ(host.HostPost("/x", "b"), "");
}

TEST_F(HttpUploadHostTest, BadHostOrAbortGivesEmptyAnswersWithoutARequest) {
  transport_.next.answer = "{id:'abc'}";
  HttpUploadHost bad(transport_, "host:notaport", abort_);
  EXPECT_EQ(bad.HostGet("/x"), "");
  EXPECT_TRUE(transport_.exchanges.empty());
  HttpUploadHost host(transport_, "host", abort_);
  abort_->store(true);
  EXPECT_EQ(host.HostGet("/x"), "");
  EXPECT_EQ(host.HostPost("/x", "b"), "");
  EXPECT_TRUE(transport_.exchanges.empty());
}

}  // namespace
}  // namespace quillo::service
