#include "service/http/CHttpClientT.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes/FakeHttpTransport.h"
#include "service/http/httpclientexceptionW.h"

namespace Dravik {
namespace {

using quillo::testing::FakeHttpAnswer;
using quillo::testing::FakeHttpTransport;
using FailAt = FakeHttpAnswer::FailAt;

// Runs `action` and answers the exception it threw (ADD_FAILURE when none).
httpclientexceptionW Thrown(const std::function<void()>& action) {
  try {
    action();
  } catch (const httpclientexceptionW& e) {
    return e;
  }
  ADD_FAILURE() << "no exception";
  return httpclientexceptionW(0);
}

class CHttpClientTest : public ::testing::Test {
 protected:
  std::string PostBody(const std::vector<std::pair<const char*, const char*>>& params,
                       bool use_utf8 = true) {
    CHttpClient client(transport_);
    client.SetUseUtf8(use_utf8);
    for (const auto& [name, value] : params) client.AddParam(name, value);
    auto response = client.SendPost("http://h/api/x.php");
    EXPECT_EQ(response->GetStatus(), 200u);
    const auto record = transport_.Requests().back();
    EXPECT_EQ(record.announced_length, record.Body().size());
    return record.Body();
  }

  FakeHttpTransport transport_;
};

TEST_F(CHttpClientTest, FormBodyOrderAndEncoding) {
  EXPECT_EQ(PostBody({{"b", "1"}, {"A", "2"}, {"a", "3"}}), "A=2&a=3&b=1");
  EXPECT_EQ(PostBody({{"name", nullptr}, {"x", ""}}), "name=&x=");
  EXPECT_EQ(PostBody({{"q", "a b/\xC3\xBC"}}), "q=a+b%2F%C3%BC");
  EXPECT_EQ(PostBody({{"q", "\xF0\x9F\x8E\xB5"}}), "q=%F0%9F%8E%B5");
  EXPECT_EQ(PostBody({{"q", "\xE4\xB8\xAD"}}, false), "q=%D6%D0");
  EXPECT_EQ(PostBody({{"playlistId", "p"}, {"musicId[]", "1"}, {"musicId[]", "2"}}),
            "musicId%5B%5D=1&musicId%5B%5D=2&playlistId=p");
}

TEST_F(CHttpClientTest, PostWithoutParametersAnswersAtTheFirstStep) {
  CHttpClient client(transport_);
  EXPECT_EQ(client.StartPost("http://h/api/x.php"), nullptr);
  EXPECT_EQ(client.GetPostStatus().TotalBytes(), 0u);
  EXPECT_NE(client.ContinuePost(1), nullptr);
  EXPECT_FALSE(client.IsPostActive());
  const auto record = transport_.Requests().at(0);
  EXPECT_EQ(record.verb, "POST");
  EXPECT_EQ(record.announced_length, 0u);
  EXPECT_TRUE(record.body_pieces.empty());
  EXPECT_EQ(record.HeaderValue("Content-Type"), "application/x-www-form-urlencoded");
}

TEST_F(CHttpClientTest, PostBodyIsStreamedInSteps) {
  CHttpClient client(transport_);
  client.SetUseUtf8(true);
  client.AddParam("big", std::string(10, 'v').c_str());
  client.AddParam("n", "1");
  client.StartPost("http://h/p");
  const auto& stat = client.GetPostStatus();
  EXPECT_EQ(stat.TotalBytes(), 18u);
  EXPECT_EQ(stat.TotalCount(), 2u);
  int steps = 0;
  std::unique_ptr<CHttpResponse> response;
  while (!(response = client.ContinuePost(4))) {
    ++steps;
    ASSERT_LT(steps, 20);
    if (client.IsPostActive() && stat.PostedCount() == 1 && stat.CurrParamTotalBytes() == 10) {
      EXPECT_LE(stat.CurrParamPostedBytes(), 10u);
    }
  }
  // big: start, 4, 4, 2; n: start, 1; end.
  EXPECT_EQ(steps, 6);
  const auto record = transport_.Requests().at(0);
  const std::vector<std::string> pieces = {"big", "=", "vvvv", "vvvv", "vv", "&", "n", "=", "1"};
  EXPECT_EQ(record.body_pieces, pieces);
  EXPECT_EQ(Thrown([&] { (void)stat.TotalCount(); }).what(),
            std::string("CHttpPostStatT::TotalCount: The post context is not active."));
}

TEST_F(CHttpClientTest, RequestFlagsTargetAndHeaders) {
  CHttpClient client(transport_);
  client.SetSessionOptions("Sorvel Client - 1.3.1");
  client.SetHeader("Range", "bytes=10-");
  client.SetProxyAccount("u", "p");
  client.SendGet("https://s.example:8443");
  client.AddParam("a", "1 2");
  client.SendGet("http://h/x?y=1", true);
  client.SendGet("https://s.example/q");
  const auto requests = transport_.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].session.user_agent, "Sorvel Client - 1.3.1");
  EXPECT_EQ(requests[0].host, "s.example");
  EXPECT_EQ(requests[0].port, 8443u);
  EXPECT_TRUE(requests[0].secure);
  EXPECT_EQ(requests[0].object, "/");
  EXPECT_EQ(requests[0].flags, 0x84400F00u | 0x00800000u);
  EXPECT_EQ(requests[0].HeaderValue("Cache-Control"), "no-cache");
  EXPECT_EQ(requests[0].HeaderValue("Range"), "bytes=10-");
  EXPECT_EQ(requests[0].proxy_credentials, std::make_pair(std::string("u"), std::string("p")));
  EXPECT_EQ(requests[1].flags, 0x00400E00u);
  EXPECT_EQ(requests[1].port, 80u);
  EXPECT_FALSE(requests[1].HeaderValue("Cache-Control").has_value());
  EXPECT_EQ(requests[1].object, "/x?y=1&a=1+2");
  EXPECT_EQ(requests[2].port, 443u);
  EXPECT_EQ(requests[2].object, "/q?a=1+2");
}

TEST_F(CHttpClientTest, ResponseStatusHeadersAndBody) {
  FakeHttpAnswer answer;
  answer.status = 206;
  answer.headers = {
      {"Content-Range", "bytes 5-9/10"}, {"X-A", "1"}, {"x-a", "2"}, {"Content-Length", "5"}};
  answer.body = "56789";
  answer.read_chunk = 2;
  transport_.Script(answer);
  answer.headers = {{"Content-Length", "12x"}};
  transport_.Script(answer);
  answer.headers = {};
  answer.read_chunk = SIZE_MAX;
  answer.drop_after = 3;
  transport_.Script(answer);

  CHttpClient client(transport_);
  auto response = client.SendGet("http://h/f");
  EXPECT_EQ(response->GetStatus(), 206u);
  std::uint64_t length = 0;
  EXPECT_TRUE(response->GetContentLength(length));
  EXPECT_EQ(length, 5u);
  EXPECT_STREQ(response->GetHeader("content-range"), "bytes 5-9/10");
  EXPECT_STREQ(response->GetHeader("X-A", 1), "2");
  EXPECT_EQ(response->GetHeader("X-A", 2), nullptr);
  EXPECT_EQ(response->GetHeader("Missing"), nullptr);
  std::string body;
  char buffer[16];
  while (const std::size_t count = response->ReadBody(buffer, sizeof buffer)) {
    EXPECT_LE(count, 2u);
    body.append(buffer, count);
  }
  EXPECT_EQ(body, "56789");

  EXPECT_EQ(Thrown([&] { client.SendGet("http://h/f")->GetContentLength(length); }).ErrorCode(),
            400);
  auto dropped = client.SendGet("http://h/f");
  EXPECT_FALSE(dropped->GetContentLength(length));
  EXPECT_EQ(dropped->ReadBody(buffer, sizeof buffer), 3u);
  const auto failure = Thrown([&] { dropped->ReadBody(buffer, sizeof buffer); });
  EXPECT_EQ(failure.ErrorCode(), 401);
  EXPECT_EQ(failure.LastError(), 7);
  EXPECT_EQ(Thrown([&] { dropped->SetReceiveTimeout(std::chrono::milliseconds(0)); }).ErrorCode(),
            410);
}

// Each failing step maps to its code, and nothing the client opened stays open.
TEST_F(CHttpClientTest, FailuresCloseEveryHandle) {
  const std::pair<FailAt, int> get_cases[] = {{FailAt::kOpenSession, 402},
                                              {FailAt::kConnect, 403},
                                              {FailAt::kOpenRequest, 404},
                                              {FailAt::kAddHeaders, 405},
                                              {FailAt::kSend, 406}};
  for (const auto& [step, code] : get_cases) {
    FakeHttpAnswer answer;
    answer.fail_at = step;
    answer.error = 35;
    transport_.Script(answer);
    CHttpClient client(transport_);
    const auto e = Thrown([&] { client.SendGet("http://h/x"); });
    EXPECT_EQ(e.ErrorCode(), code);
    EXPECT_STREQ(e.what(), httpclientexceptionW::MessageOf(code));
    if (code != 402) {
      EXPECT_EQ(e.LastError(), 35);
    }
    EXPECT_EQ(transport_.OpenObjects(), 0) << code;
  }
  for (const auto& [step, code] :
       {std::pair(FailAt::kWriteBody, 408), std::pair(FailAt::kEndRequest, 409)}) {
    FakeHttpAnswer answer;
    answer.fail_at = step;
    transport_.Script(answer);
    CHttpClient client(transport_);
    client.AddParam("a", "b");
    EXPECT_EQ(Thrown([&] { client.SendPost("http://h/x"); }).ErrorCode(), code);
    EXPECT_FALSE(client.IsPostActive());
    EXPECT_EQ(transport_.OpenObjects(), 0) << code;
  }
  CHttpClient client(transport_);
  client.AddParam("bad", "\xFF");
  EXPECT_EQ(Thrown([&] { client.SendPost("http://h/x"); }).ErrorCode(), 110);
  EXPECT_EQ(Thrown([&] { client.SendGet("http://h/x"); }).ErrorCode(), 110);
  client.ClearParam();
  EXPECT_EQ(Thrown([&] { client.SendGet("http://h:99999/x"); }).ErrorCode(), 107);
  client.SetHeader("X-Name", "\xED\x95\x9C");  // headers go out in the ANSI code page
  EXPECT_EQ(Thrown([&] { client.SendGet("http://h/x"); }).ErrorCode(), 600);
  EXPECT_EQ(transport_.OpenObjects(), 0);
  const auto before = transport_.Requests().size();
  EXPECT_EQ(Thrown([&] { client.ContinuePost(5); }).ErrorCode(), 104);
  EXPECT_EQ(transport_.Requests().size(), before);
}

TEST_F(CHttpClientTest, ArgumentChecksAndRefusalsWhilePosting) {
  CHttpClient client(transport_);
  client.AddParam("a", "b");
  client.StartPost("http://h/x");
  const std::pair<std::function<void()>, const char*> cases[] = {
      {[&] { client.SetHeader(nullptr, "v"); }, "CHttpClientT::SetHeader: szName can not be NULL."},
      {[&] { client.SetHeader("", "v"); },
       "CHttpClientT::SetHeader: szName can not be an empty string."},
      {[&] { client.SetHeader("n", nullptr); },
       "CHttpClientT::SetHeader: szValue can not be NULL."},
      {[&] { client.SetHeader("n", ""); },
       "CHttpClientT::SetHeader: szValue can not be an empty string."},
      {[&] { client.SetHeader("n", "a\r\nX-Evil: 1"); },
       "CHttpClientT::SetHeader: szValue can not contain CR or LF."},
      {[&] { client.ContinuePost(0); },
       "CHttpClientT::_ProceedPostContext: nDesired can not be zero."},
      {[&] { client.SetUseUtf8(true); },
       "CHttpClientT::SetUseUtf8: It is not allowed to call this method if the POST context is "
       "active."},
      {[&] { client.SetAnsiCodePage(936); },
       "CHttpClientT::SetAnsiCodePage: It is not allowed to call this method if the POST context "
       "is active."},
      {[&] { client.AddParam("c", "d"); },
       "CHttpClientT::AddParam: It is not allowed to call this method if the POST context is "
       "active."},
      {[&] { client.ClearParam(); },
       "CHttpClientT::ClearParam: It is not allowed to call this method if the POST context is "
       "active."},
      {[&] { client.SendGet("http://h/"); }, "The post context has not been finished yet."},
  };
  for (const auto& [action, message] : cases) EXPECT_STREQ(Thrown(action).what(), message);
  EXPECT_TRUE(client.IsPostActive());  // refusals leave the context as it was
  client.AbortPost();
  EXPECT_FALSE(client.IsPostActive());
  EXPECT_EQ(transport_.OpenObjects(), 0);
  EXPECT_STREQ(Thrown([&] { client.SetAnsiCodePage(65001); }).what(),
               "CHttpClientT::SetAnsiCodePage: CP_UTF8 and CP_UTF7 can not be used for the "
               "CodePage parameter.");
  EXPECT_STREQ(Thrown([] { CHttpResponse(nullptr, nullptr, nullptr).GetStatus(); }).what(),
               "CHttpResponseT::GetStatus: m_hRequest can not be NULL.");
  EXPECT_FALSE(client.SetUseUtf8(true));
  EXPECT_TRUE(client.SetUseUtf8(false));
}

TEST_F(CHttpClientTest, AbortFlagReachesEverySession) {
  auto abort = std::make_shared<std::atomic<bool>>(false);
  CHttpClient client(transport_);
  client.SetAbortFlag(abort);
  client.SendGet("http://h/");
  EXPECT_EQ(transport_.Requests().at(0).session.abort, abort);
}

}  // namespace
}  // namespace Dravik
