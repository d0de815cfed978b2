// The endpoints, the fire-and-forget sender and the answer collectors.
#include <gtest/gtest.h>

#include <random>

#include "fakes/FakeRequestSender.h"
#include "service/api/AnswerCollector.h"
#include "service/api/AnswerCollectors.h"
#include "service/api/JSRequestHandler.h"
#include "service/api/ServiceEndpoints.h"
#include "service/api/ServiceRequests.h"
#include "store/DocumentStore.h"
#include "support/TempFolder.h"

namespace quillo::service {
namespace {

using testing::FakeRequestSender;

TEST(ServiceEndpointsTest, BaseUrlRules) {
  struct Case {
    std::string given;
    ServiceEndpoints expected;
  } cases[] = {
      {"", {}},
      {"   ", {}},
      {"http://127.0.0.1:8080",
       {"http://127.0.0.1:8080/", "127.0.0.1:8080", "http://127.0.0.1:8080/"}},
      {" http://h/svc/ ", {"http://h/svc/", "h", "http://h/svc/"}},
      {"127.0.0.1:81/a", {"http://127.0.0.1:81/a/", "127.0.0.1:81", "http://127.0.0.1:81/a/"}},
      {"http://user@h:5?x", {"http://user@h:5?x/", "h:5", "http://user@h:5?x/"}},
  };
  for (const Case& c : cases) {
    ServiceEndpoints got = EndpointsForBaseUrl(c.given);
    EXPECT_EQ(got.base_url, c.expected.base_url) << c.given;
    EXPECT_EQ(got.upload_host, c.expected.upload_host) << c.given;
    EXPECT_EQ(got.web_site, c.expected.web_site) << c.given;
    EXPECT_EQ(got.configured(), !c.expected.base_url.empty()) << c.given;
  }
}

TEST(ServiceEndpointsTest, ConfigurationNamesTheThreeEndpoints) {
  testing::TempFolder folder;
  store::DocumentStore store(folder.path());
  ASSERT_TRUE(store.Open(/*start_saver=*/false));
  EXPECT_FALSE(ConfiguredEndpoints(store).configured());

  // An upload host or web site alone configures nothing: the base URL decides.
  store.SetConfigText(kServiceUploadHostKey, "up:81");
  EXPECT_FALSE(ConfiguredEndpoints(store).configured());

  store.SetConfigText(kServiceBaseUrlKey, "http://svc:8000/api-root");
  ServiceEndpoints endpoints = ConfiguredEndpoints(store);
  EXPECT_EQ(endpoints.base_url, "http://svc:8000/api-root/");
  EXPECT_EQ(endpoints.upload_host, "up:81");
  EXPECT_EQ(endpoints.web_site, "http://svc:8000/api-root/");

  store.SetConfigText(kServiceWebSiteKey, "http://www.example.test");
  store.SetConfigText(kServiceUploadHostKey, "http://up2:82/");
  endpoints = ConfiguredEndpoints(store);
  EXPECT_EQ(endpoints.web_site, "http://www.example.test/");
  EXPECT_EQ(endpoints.upload_host, "up2:82");
  store.Close();
}

TEST(JSRequestHandlerTest, PutsThePathAfterTheBaseUrlAndSendsWithoutCallback) {
  FakeRequestSender sender;
  JSRequestHandler handler(sender, "http://127.0.0.1:5/s/");
  EXPECT_EQ(handler.Send(ServiceRequests::Logout()), "1");
  EXPECT_EQ(handler.Send(ServiceRequests::DeletePlaylist("d_17")), "");  // local only
  EXPECT_EQ(handler.Send(ServiceRequests::DeletePlaylist("0123456789abcdef0123456789ABCDEF")), "2");
  ASSERT_EQ(sender.sent.size(), 2u);
  EXPECT_TRUE(sender.sent[0].is_request);
  EXPECT_EQ(sender.sent[0].url, "http://127.0.0.1:5/s/user/logout.php");
  // A call without parameters is still a POST, with an empty form.
  ASSERT_TRUE(sender.sent[0].params.has_value());
  EXPECT_TRUE(sender.sent[0].params->empty());
  EXPECT_EQ(sender.sent[0].callback, nullptr);
  EXPECT_EQ(sender.sent[1].url, "http://127.0.0.1:5/s/api/deleteplaylist.php");
  EXPECT_EQ(*sender.sent[1].params,
            (FormParams{{"playlistId", "0123456789abcdef0123456789ABCDEF"}}));
  EXPECT_EQ(sender.sent[1].callback, nullptr);
}

// Scrambles like the service: one ignored byte, block length k, blocks of key + k data bytes.
std::string Scramble(const std::string& plain, unsigned char k, unsigned seed) {
  std::mt19937 random(seed);
  std::string out;
  out += 'S';
  out += static_cast<char>(k);
  for (std::size_t at = 0; at < plain.size(); at += k) {
    char key = static_cast<char>(random());
    out += key;
    for (std::size_t i = at; i < plain.size() && i < at + k; ++i) out += char(plain[i] ^ key);
  }
  return out;
}

struct Outcome {
  int calls = 0;
  std::optional<std::string> text;
};

AnswerCollector::Handler Into(Outcome& outcome) {
  return [&outcome](std::optional<std::string> text) {
    ++outcome.calls;
    outcome.text = std::move(text);
  };
}

TEST(AnswerCollectorTest, HandsOnTheAnswerOrReportsThatItDidNotArrive) {
  const std::string xml = "<list pid=\"t_1\" pname=\"排行\"><m music_id=\"1\"/></list>";
  const std::string scrambled = Scramble(xml, 7, 3);
  struct Case {
    const char* name;
    AnswerCollector::Form form;
    std::vector<std::string> chunks;
    TransferStatus status;
    std::optional<std::string> expected;
  } cases[] = {
      {"scrambled in pieces",
       AnswerCollector::Form::kScrambled,
       {scrambled.substr(0, 5), scrambled.substr(5, 11), scrambled.substr(16)},
       TransferStatus::kFinished,
       xml},
      {"plain answer", AnswerCollector::Form::kPlain, {xml}, TransferStatus::kFinished, xml},
      {"two bytes",
       AnswerCollector::Form::kScrambled,
       {"ab"},
       TransferStatus::kFinished,
       std::nullopt},
      {"empty", AnswerCollector::Form::kScrambled, {}, TransferStatus::kFinished, std::nullopt},
      {"empty plain", AnswerCollector::Form::kPlain, {}, TransferStatus::kFinished, ""},
      {"failed transfer",
       AnswerCollector::Form::kScrambled,
       {scrambled},
       TransferStatus::kFailed,
       std::nullopt},
      {"last block only a key",
       AnswerCollector::Form::kScrambled,
       {std::string("S\x02\x10\x61\x62\x20", 6)},
       TransferStatus::kFinished,
       std::string("\x71\x72", 2)},
  };
  for (const Case& c : cases) {
    Outcome outcome;
    AnswerCollector collector(c.form, Into(outcome));
    collector.Begin();
    for (const std::string& chunk : c.chunks) collector.Append(chunk);
    collector.Finish(c.status);
    collector.Finish(TransferStatus::kFinished);  // a second end hands nothing on
    EXPECT_EQ(outcome.calls, 1) << c.name;
    EXPECT_EQ(outcome.text, c.expected) << c.name;
  }
}

TEST(AnswerCollectorTest, ARestartDropsWhatCameBefore) {
  Outcome outcome;
  AnswerCollector collector(AnswerCollector::Form::kPlain, Into(outcome));
  collector.Begin();
  collector.Append("half of a first try");
  collector.Begin();
  collector.Append("<ok/>");
  collector.Finish(TransferStatus::kFinished);
  EXPECT_EQ(outcome.text, "<ok/>");
}

TEST(AnswerCollectorTest, AnAnswerBeyondTheLimitDidNotArrive) {
  Outcome outcome;
  AnswerCollector collector(AnswerCollector::Form::kPlain, Into(outcome));
  collector.Begin();
  const std::string mebibyte(1 << 20, 'x');
  for (std::size_t sent = 0; sent <= AnswerCollector::kMaxAnswerBytes; sent += mebibyte.size()) {
    collector.Append(mebibyte);
  }
  collector.Finish(TransferStatus::kFinished);
  EXPECT_EQ(outcome.calls, 1);
  EXPECT_FALSE(outcome.text.has_value());
}

TEST(AnswerCollectorTest, RandomBytesNeverCrashTheScrambledPath) {
  std::mt19937 random(20261209);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 64, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    Outcome outcome;
    AnswerCollector collector(AnswerCollector::Form::kScrambled, Into(outcome));
    collector.Begin();
    collector.Append(bytes);
    collector.Finish(TransferStatus::kFinished);
    ASSERT_EQ(outcome.calls, 1);
    ASSERT_EQ(outcome.text.has_value(), bytes.size() >= 3);
    ASSERT_LE(outcome.text.value_or("").size(), bytes.size());
  }
}

}  // namespace
}  // namespace quillo::service

namespace quillo::service {
namespace {

TEST(AnswerCollectorsTest, RoutesStepsByTransferIdAndReleasesEachCollectorAtItsEnd) {
  testing::FakeRequestSender sender;
  AnswerCollectors collectors;
  std::vector<std::optional<std::string>> answers;
  auto collector = [&answers](AnswerCollector::Form form) {
    return std::make_unique<AnswerCollector>(
        form, [&answers](std::optional<std::string> text) { answers.push_back(std::move(text)); });
  };
  std::string first = collectors.Request(sender, "http://h/a", FormParams{{"x", "1"}},
                                         collector(AnswerCollector::Form::kPlain));
  std::string second = collectors.Request(sender, "http://h/b", std::nullopt,
                                          collector(AnswerCollector::Form::kScrambled));
  ASSERT_EQ(sender.sent.size(), 2u);
  EXPECT_EQ(sender.sent[0].callback, &collectors);
  EXPECT_EQ(*sender.sent[0].params, (FormParams{{"x", "1"}}));
  EXPECT_EQ(collectors.size(), 2u);

  collectors.StartOf(first);
  collectors.StartOf(second);
  collectors.DataOf(second, std::string("S\x03\x01", 3));
  collectors.DataOf(first, "<a/>");
  collectors.DataOf("99", "ignored");
  collectors.DataOf(second, "`ab");
  collectors.FinishOf(first, TransferStatus::kFinished);
  EXPECT_EQ(collectors.size(), 1u);
  collectors.FinishOf(first, TransferStatus::kFinished);  // already released: nothing
  collectors.FinishOf(second, TransferStatus::kFinished);
  EXPECT_EQ(collectors.size(), 0u);
  EXPECT_EQ(answers, (std::vector<std::optional<std::string>>{"<a/>", "a`c"}));
}

TEST(AnswerCollectorsTest, AHandlerMayStartTheNextCallAndACancelledCallIsDropped) {
  testing::FakeRequestSender sender;
  AnswerCollectors collectors;
  int handed_on = 0;
  std::string next;
  std::string first = collectors.Request(
      sender, "http://h/a", std::nullopt,
      std::make_unique<AnswerCollector>(
          AnswerCollector::Form::kPlain, [&](std::optional<std::string>) {
            ++handed_on;
            next = collectors.Request(sender, "http://h/next", std::nullopt,
                                      std::make_unique<AnswerCollector>(
                                          AnswerCollector::Form::kPlain,
                                          [&](std::optional<std::string>) { ++handed_on; }));
          }));
  collectors.FinishOf(first, TransferStatus::kFailed);
  EXPECT_EQ(handed_on, 1);
  EXPECT_EQ(collectors.size(), 1u);
  collectors.Drop(next);
  EXPECT_EQ(collectors.size(), 0u);
  collectors.FinishOf(next, TransferStatus::kFinished);
  EXPECT_EQ(handed_on, 1);
}

}  // namespace
}  // namespace quillo::service
