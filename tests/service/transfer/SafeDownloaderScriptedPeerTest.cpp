// The safe downloader over the real client library and transport, against a small HTTP server
// of the test's own (not quillo-service), so that nothing depends on the stand-in's quirks.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "RecordingCallback.h"
#include "platform/fs/FileSystem.h"
#include "platform/http/CurlHttpTransport.h"
#include "platform/loop/MainLoop.h"
#include "service/transfer/SafeDownloader.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempFolder.h"

namespace quillo::service {
namespace {
using namespace std::chrono_literals;
using testing::PatternBytes;
using testing::RecordingCallback;
using testing::ScriptedHttpServer;
using Request = ScriptedHttpServer::Request;
using Exchange = ScriptedHttpServer::Exchange;

constexpr std::size_t kFileSize = 3145728;
constexpr std::size_t kDropAt = 1048576;

// Answers `bytes` honouring "bytes=N-"; with `cut_after`, closes after that many body bytes.
void ServeBytes(const std::string& bytes, const Request& request, Exchange& exchange,
                std::size_t cut_after = std::string::npos) {
  std::size_t from = 0;
  std::vector<std::pair<std::string, std::string>> headers;
  int status = 200;
  const std::string range = request.Header("Range");
  if (range.rfind("bytes=", 0) == 0) {
    from = std::stoull(range.substr(6));
    status = 206;
    headers.emplace_back("Content-Range", "bytes " + std::to_string(from) + "-" +
                                              std::to_string(bytes.size() - 1) + "/" +
                                              std::to_string(bytes.size()));
  }
  headers.emplace_back("Content-Length", std::to_string(bytes.size() - from));
  headers.emplace_back("Connection", "close");
  exchange.Send(ScriptedHttpServer::Head(status, headers));
  exchange.Send(std::string_view(bytes).substr(from, cut_after));
}

class ScriptedPeerTest : public ::testing::Test {
 protected:
  bool WaitFinished(RecordingCallback& callback) {
    return loop_.PumpUntil([&] { return callback.finishes > 0; }, 60s);
  }

  loop::MainLoop loop_;
  http::CurlHttpTransport transport_{""};
  testing::TempFolder folder_;
  SafeDownloader downloader_{loop_, transport_};
};

TEST_F(ScriptedPeerTest, DroppedDownloadResumesWithRangeAndCompletesByteExact) {
  const std::string file = PatternBytes(kFileSize);
  int served = 0;
  ScriptedHttpServer server([&](const Request& request, Exchange& exchange) {
    ServeBytes(file, request, exchange, served++ == 0 ? kDropAt : std::string::npos);
  });
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "big.bin";
  downloader_.Download(server.Url("/big.bin"), target, &callback, false, 512000, 0);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  EXPECT_TRUE(fs::ReadWholeFile(target) == file);
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].Header("Range"), "");
  EXPECT_EQ(requests[1].Header("RANGE"), "bytes=1048576-");
  EXPECT_EQ(requests[1].Header("User-Agent"), "Sorvel Client - 1.3.1");
  EXPECT_EQ(requests[1].method, "GET");
}

TEST_F(ScriptedPeerTest, WrongContentRangeGivesUpTheUrl) {
  const std::string file = PatternBytes(kFileSize);
  int served = 0;
  ScriptedHttpServer server([&](const Request&, Exchange& exchange) {
    if (served++ == 0) {
      exchange.Send(ScriptedHttpServer::Head(200, {{"Content-Length", std::to_string(kFileSize)}}));
      exchange.Send(std::string_view(file).substr(0, kDropAt));
      return;
    }
    exchange.Send(ScriptedHttpServer::Answer(206, file.substr(kDropAt),
                                             {{"Content-Range", "bytes 0-2097151/3145728"}}));
  });
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "big.bin";
  downloader_.Download(server.Url("/big.bin"), target, &callback, false, 0, 0);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFailed);
  EXPECT_EQ(server.requests().size(), 2u);
  EXPECT_FALSE(fs::PathExists(target));
}

TEST_F(ScriptedPeerTest, ShortAnswerUnderTheMinimumLeavesNoFile) {
  ScriptedHttpServer server([&](const Request&, Exchange& exchange) {
    exchange.Send(ScriptedHttpServer::Answer(200, std::string(300, 'e')));
  });
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "song.mp3";
  downloader_.Download(server.Url("/song.mp3"), target, &callback, false, 512000, 0);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFailed);
  EXPECT_EQ(callback.starts, 0);
  EXPECT_EQ(server.requests().size(), 1u);
  EXPECT_TRUE(fs::ListFolder(folder_.path()).empty());
}

TEST_F(ScriptedPeerTest, MissingContentLengthFinishesAtEndOfData) {
  const std::string file = PatternBytes(200000);
  ScriptedHttpServer server([&](const Request&, Exchange& exchange) {
    exchange.Send(ScriptedHttpServer::Head(200, {{"Connection", "close"}}));
    exchange.Send(file);
  });
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "x.bin";
  downloader_.Download(server.Url("/x.bin"), target, &callback, false, 0, 0);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  EXPECT_TRUE(fs::ReadWholeFile(target) == file);
}

TEST_F(ScriptedPeerTest, MirrorListOfTwoQlfss1Entries) {
  const std::string music = PatternBytes(300000);
  std::string xored = music;
  for (char& c : xored) c = static_cast<char>(c ^ 0x5A);
  std::unique_ptr<ScriptedHttpServer> server;
  server = std::make_unique<ScriptedHttpServer>([&](const Request& request, Exchange& exchange) {
    const std::string host = "127.0.0.1:" + std::to_string(server->port());
    if (request.target == "/music/song") {
      exchange.Send(ScriptedHttpServer::Answer(
          200,
          testing::ScrambleAnswer("qlfss1://" + host + "/qlfss/a/7.1\r\nqlfss1://" + host +
                                  "/qlfss/b/7.1\r\n"),
          {{"SorvelList", "1"}}));
    } else if (request.target == "/qlfss/a/7.1") {
      ServeBytes(xored, request, exchange, 4096);  // progress, then a drop, every time
    } else if (request.target == "/qlfss/b/7.1") {
      ServeBytes(xored, request, exchange);
    } else {
      exchange.Send(ScriptedHttpServer::Answer(404, "no"));
    }
  });
  RecordingCallback callback(loop_);
  downloader_.Download(server->Url("/music/song"), folder_ / "7.part", &callback, true, 0, 0);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  EXPECT_EQ(callback.final_path, folder_ / "7.mp3");
  EXPECT_TRUE(fs::ReadWholeFile(folder_ / "7.mp3") == music);
  EXPECT_EQ(fs::ListFolder(folder_.path()), std::vector<std::string>{"7.mp3"});
  const auto requests = server->requests();
  ASSERT_EQ(requests.size(), 10u);
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(requests[i].target, "/qlfss/a/7.1");
    EXPECT_EQ(requests[i].Header("Range"),
              i == 1 ? "" : "bytes=" + std::to_string((i - 1) * 4096) + "-");
  }
  EXPECT_EQ(requests[9].target, "/qlfss/b/7.1");
  EXPECT_EQ(requests[9].Header("Range"), "");
}

TEST_F(ScriptedPeerTest, CancelRemovesTheFileAtOnceWithoutCallback) {
  const std::string file = PatternBytes(kFileSize);
  ScriptedHttpServer server([&](const Request&, Exchange& exchange) {
    exchange.Send(ScriptedHttpServer::Head(200, {{"Content-Length", std::to_string(kFileSize)}}));
    exchange.Send(std::string_view(file).substr(0, 100000));
    exchange.Stall();
  });
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "c.bin";
  const std::string id = downloader_.Download(server.Url("/c"), target, &callback, false, 0, 0);
  ASSERT_TRUE(loop_.PumpUntil([&] { return callback.data.size() == 100000; }, 30s));
  ASSERT_TRUE(fs::FileExists(target));
  downloader_.Cancel(id);
  EXPECT_FALSE(fs::PathExists(target));
  EXPECT_EQ(downloader_.Find(id), nullptr);
  const int data_calls = callback.data_calls;
  downloader_.Shutdown();
  loop_.PumpUntil([] { return false; }, 100ms);
  EXPECT_EQ(callback.finishes, 0);
  EXPECT_EQ(callback.data_calls, data_calls);
}

TEST_F(ScriptedPeerTest, ShutdownWithTenStalledTransfers) {
  ScriptedHttpServer server([&](const Request& request, Exchange& exchange) {
    if (request.target == "/body") {
      exchange.Send(ScriptedHttpServer::Head(200, {{"Content-Length", "1000000"}}));
      exchange.Send(PatternBytes(1000));
    }
    exchange.Stall();  // accepted, never (fully) answered
  });
  RecordingCallback callback(loop_);
  for (int i = 0; i < 10; ++i) {
    downloader_.Download(server.Url(i % 2 ? "/body" : "/silent"), folder_ / std::to_string(i),
                         &callback, false, 0, 0);
  }
  ASSERT_TRUE(loop_.PumpUntil(
      [&] { return server.requests().size() == 10 && callback.data_calls >= 5; }, 30s));
  const auto begin = std::chrono::steady_clock::now();
  downloader_.Shutdown();
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 2s);
  const int data_calls = callback.data_calls;
  loop_.PumpUntil([] { return false; }, 200ms);
  EXPECT_EQ(callback.finishes, 0);
  EXPECT_EQ(callback.data_calls, data_calls);
  EXPECT_TRUE(fs::ListFolder(folder_.path()).empty());
}

// Answers no client should choke on: each transfer ends (no hang), and a failure leaves no file.
TEST_F(ScriptedPeerTest, BadAnswersNeverCrashOrHang) {
  std::mt19937 random(5);
  std::string junk(5000, '\0');
  for (char& c : junk) c = static_cast<char>(random());
  const struct {
    const char* path;
    bool may_finish;
  } cases[] = {
      {"/truncated", false},  {"/junk", false},        {"/huge-headers", true},
      {"/stall-body", false}, {"/junk-length", false}, {"/close-at-once", false},
      {"/never", false},
  };
  ScriptedHttpServer server([&](const Request& request, Exchange& exchange) {
    if (request.target == "/truncated") {
      exchange.Send("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + std::string(100, 'x'));
    } else if (request.target == "/junk") {
      exchange.Send(junk);
    } else if (request.target == "/huge-headers") {
      exchange.Send("HTTP/1.1 200 OK\r\nX-Big: " + std::string(100 * 1024, 'h') +
                    "\r\nContent-Length: 3\r\nConnection: close\r\n\r\nabc");
    } else if (request.target == "/stall-body") {
      exchange.Send(ScriptedHttpServer::Head(200, {{"Content-Length", "5000"}}) + "abc");
      exchange.Stall();
    } else if (request.target == "/never") {
      exchange.Stall();  // accepted, never answered: the short time-out ends each attempt
    } else if (request.target == "/junk-length") {
      exchange.Send("HTTP/1.1 200 OK\r\nContent-Length: 12abc\r\n\r\nabc");
    }
  });
  downloader_.SetReceiveTimeout(300ms);
  for (const auto& c : cases) {
    RecordingCallback callback(loop_);
    const std::string target = folder_ / "bad.bin";
    downloader_.Download(server.Url(c.path), target, &callback, false, 0, 0, 2);
    ASSERT_TRUE(WaitFinished(callback)) << c.path;
    if (!c.may_finish) {
      EXPECT_EQ(callback.status, TransferStatus::kFailed) << c.path;
    }
    if (callback.status == TransferStatus::kFinished) {
      EXPECT_EQ(fs::ReadWholeFile(target), "abc") << c.path;
      fs::RemoveFile(target);
    }
    EXPECT_TRUE(fs::ListFolder(folder_.path()).empty()) << c.path;
  }
}

TEST_F(ScriptedPeerTest, RequestPostsItsFormAndDeliversTheAnswer) {
  ScriptedHttpServer server([&](const Request& request, Exchange& exchange) {
    exchange.Send(ScriptedHttpServer::Answer(200, "answer:" + request.body));
  });
  RecordingCallback callback(loop_);
  downloader_.Request(server.Url("/api/addmusic.php"),
                      FormParams{{"playlistId", "7"}, {"musicId[]", "1"}, {"musicId[]", "2"}},
                      &callback);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "POST");
  EXPECT_EQ(requests[0].Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(requests[0].Header("User-Agent"), "Sorvel Client - 1.3.1");
  EXPECT_EQ(callback.data, "answer:" + requests[0].body);
  EXPECT_NE(requests[0].body.find("musicId%5B%5D=1&musicId%5B%5D=2"), std::string::npos);
  EXPECT_NE(requests[0].body.find("playlistId=7"), std::string::npos);

  // Without a callback it still runs, and leaves the table.
  const std::string id = downloader_.Request(server.Url("/api/report.php"), std::nullopt, nullptr);
  EXPECT_TRUE(loop_.PumpUntil([&] { return downloader_.Find(id) == nullptr; }, 30s));
  EXPECT_EQ(server.requests().size(), 2u);
}

}  // namespace
}  // namespace quillo::service
