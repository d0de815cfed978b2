// The safe downloader's decisions and its hand-over, driven by scripted answers.
#include "service/transfer/SafeDownloader.h"

#include <gtest/gtest.h>

#include <chrono>

#include "RecordingCallback.h"
#include "fakes/FakeTransferClient.h"
#include "platform/fs/FileSystem.h"
#include "platform/loop/MainLoop.h"
#include "support/TempFolder.h"

namespace quillo::service {
namespace {
using namespace std::chrono_literals;
using testing::FakeAnswer;
using testing::FakeAttempt;
using testing::FakeTransferClient;
using testing::PatternBytes;
using testing::RecordingCallback;

class SafeDownloaderTest : public ::testing::Test {
 protected:
  // The client is shared with the downloader, which owns it.
  SafeDownloader& Start(FakeTransferClient::Handler handler) {
    auto client = std::make_unique<FakeTransferClient>(std::move(handler));
    client_ = client.get();
    downloader_ = std::make_unique<SafeDownloader>(loop_, std::move(client));
    return *downloader_;
  }
  bool WaitFinished(RecordingCallback& callback, int finishes = 1) {
    return loop_.PumpUntil([&] { return callback.finishes >= finishes; }, 20s);
  }
  static FakeAnswer Whole(const std::string& body) {
    FakeAnswer answer;
    answer.headers = {{"Content-Length", std::to_string(body.size())}};
    answer.body = body;
    return answer;
  }

  loop::MainLoop loop_;
  testing::TempFolder folder_;
  FakeTransferClient* client_ = nullptr;
  std::unique_ptr<SafeDownloader> downloader_;
};

TEST_F(SafeDownloaderTest, DownloadReportsEveryChunkOnTheWindowThreadOnceItIsInTheFile) {
  const std::string body = PatternBytes(100000);
  SafeDownloader& downloader = Start([&](const FakeAttempt&, int) { return Whole(body); });
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "song.part";
  // The record shows the transfer as it stood when the chunk was written, and the chunk's bytes
  // are already in the file (the player reads them there), though the worker may be further on.
  callback.on_data = [&](TransferRecord& record) {
    EXPECT_GE(fs::FileSize(target).value_or(0), record.received_size());
    EXPECT_EQ(record.received_size(), callback.data.size());
    EXPECT_EQ(record.total_size(), body.size());
    EXPECT_EQ(record.status(), TransferStatus::kReceiving);
  };
  const std::string id = downloader.Download("http://h/song.mp3", target, &callback, false, 0, 0);
  EXPECT_EQ(id, "1");
  ASSERT_NE(downloader.Find(id), nullptr);
  EXPECT_EQ(downloader.Find(id)->target_path(), target);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  EXPECT_EQ(callback.starts, 1);
  EXPECT_EQ(callback.data_calls, 7);  // 6 x 16384 + 1696
  EXPECT_EQ(fs::ReadWholeFile(target), body);
  EXPECT_EQ(downloader.Find(id), nullptr);
  EXPECT_EQ(downloader.Download("http://h/b", folder_ / "b", nullptr, false, 0, 0), "2");
  // A finished file belongs to the caller: shutting down keeps it.
  downloader.Shutdown();
  EXPECT_EQ(fs::ReadWholeFile(target), body);
}

TEST_F(SafeDownloaderTest, DroppedDownloadResumesWithARange) {
  const std::string body = PatternBytes(100000);
  SafeDownloader& downloader = Start([&](const FakeAttempt& attempt, int index) {
    if (index == 0) {
      FakeAnswer answer = Whole(body);
      answer.fail_after = 40000;
      return answer;
    }
    FakeAnswer answer;
    answer.status = 206;
    answer.headers = {
        {"Content-Length", std::to_string(body.size() - attempt.resume_from)},
        {"Content-Range", "bytes " + std::to_string(attempt.resume_from) + "-99999/100000"}};
    answer.body = body.substr(attempt.resume_from);
    return answer;
  });
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "a.mp3";
  downloader.Download("http://h/a.mp3", target, &callback, false, 0, 0);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  EXPECT_EQ(fs::ReadWholeFile(target), body);
  const auto attempts = client_->attempts();
  ASSERT_EQ(attempts.size(), 2u);
  EXPECT_EQ(attempts[0].resume_from, 0u);
  EXPECT_EQ(attempts[1].resume_from, 40000u);
  EXPECT_FALSE(attempts[1].post);
  EXPECT_EQ(callback.starts, 1);  // the open file is kept across attempts
}

// A resumed answer whose Content-Range or Content-Length does not fit gives up the URL at once:
// no further attempt, no file, failed.
TEST_F(SafeDownloaderTest, UnfittingResumedAnswersGiveUpTheUrl) {
  const struct {
    unsigned status;
    const char* range;
    const char* length;
  } cases[] = {
      {206, "bytes 40001-99999/100000", "59999"},                // not where we stopped
      {206, "bytes 40000-99999/100001", "60000"},                // another total
      {206, "bytes 40000-99999/100000", "59999"},                // length contradicts the range
      {206, "bytes 40000-99999/18446744073709551656", "60000"},  // overflow
      {206, "bytes -40000-99999/100000", "60000"},
      {206, nullptr, "60000"},
      {200, nullptr, "100000"},  // the range was ignored
      {206, "bytes 40000-99999/100000", "-1"},
      {404, "bytes 40000-99999/100000", "60000"},
  };
  for (const auto& c : cases) {
    const std::string body = PatternBytes(100000);
    SafeDownloader& downloader = Start([&](const FakeAttempt&, int index) {
      FakeAnswer answer = Whole(body);
      if (index == 0) {
        answer.fail_after = 40000;
        return answer;
      }
      answer.status = c.status;
      answer.headers = {{"Content-Length", c.length}};
      if (c.range) answer.headers.emplace_back("Content-Range", c.range);
      answer.body = body.substr(40000);
      return answer;
    });
    RecordingCallback callback(loop_);
    const std::string target = folder_ / "a.mp3";
    downloader.Download("http://h/a.mp3", target, &callback, false, 0, 0);
    ASSERT_TRUE(WaitFinished(callback));
    EXPECT_EQ(callback.status, TransferStatus::kFailed) << (c.range ? c.range : "none");
    EXPECT_EQ(client_->attempts().size(), 2u) << (c.range ? c.range : "none");
    EXPECT_FALSE(fs::PathExists(target));
  }
}

TEST_F(SafeDownloaderTest, SizeAndLengthRules) {
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> headers;
    std::size_t body_size;
    std::int64_t min_size, max_size;
    TransferStatus status;
    std::size_t attempts;
  } cases[] = {
      {"error page under the minimum",
       {{"Content-Length", "300"}},
       300,
       512000,
       0,
       TransferStatus::kFailed,
       1},
      {"over the maximum", {{"Content-Length", "5000"}}, 5000, 0, 4000, TransferStatus::kFailed, 1},
      {"no length ends at end of data", {}, 70000, 0, 0, TransferStatus::kFinished, 1},
      // Without a length the minimum is checked against what arrived, not the unknown total.
      {"no length over the minimum", {}, 70000, 512, 0, TransferStatus::kFinished, 1},
      {"no length under the minimum", {}, 70000, 512000, 0, TransferStatus::kFailed, 1},
      {"no length past the maximum", {}, 70000, 0, 50000, TransferStatus::kFailed, 1},
      // A cut chunked body reads as a failure; its resumption cannot be matched to a total.
      {"no length, the connection fails", {}, 70000, 0, 0, TransferStatus::kFailed, 2},
      {"empty with no minimum", {{"Content-Length", "0"}}, 0, 0, 0, TransferStatus::kFinished, 1},
      {"empty with a minimum", {{"Content-Length", "0"}}, 0, 1, 0, TransferStatus::kFailed, 1},
      {"more body than announced",
       {{"Content-Length", "1000"}},
       20000,
       0,
       0,
       TransferStatus::kFailed,
       1},
      {"two lengths that differ",
       {{"Content-Length", "10"}, {"Content-Length", "20"}},
       20,
       0,
       0,
       TransferStatus::kFailed,
       1},
      {"negative length", {{"Content-Length", "-300"}}, 300, 0, 0, TransferStatus::kFailed, 1},
      {"overflowing length",
       {{"Content-Length", "18446744073709551916"}},
       300,
       0,
       0,
       TransferStatus::kFailed,
       1},
  };
  for (const auto& c : cases) {
    const std::string body = PatternBytes(c.body_size);
    SafeDownloader& downloader = Start([&](const FakeAttempt&, int) {
      FakeAnswer answer;
      answer.headers = c.headers;
      answer.body = body;
      if (std::string_view(c.name).find("fails") != std::string_view::npos) answer.fail_after = 40000;
      return answer;
    });
    RecordingCallback callback(loop_);
    const std::string target = folder_ / "x.mp3";
    downloader.Download("http://h/x.mp3", target, &callback, false, c.min_size, c.max_size);
    ASSERT_TRUE(WaitFinished(callback)) << c.name;
    EXPECT_EQ(callback.status, c.status) << c.name;
    EXPECT_EQ(client_->attempts().size(), c.attempts) << c.name;
    if (c.status == TransferStatus::kFinished && c.body_size > 0) {
      EXPECT_EQ(fs::ReadWholeFile(target), body) << c.name;
      fs::RemoveFile(target);
    } else {
      EXPECT_FALSE(fs::PathExists(target)) << c.name;
    }
    // Never a byte written past what was announced or allowed.
    if (c.max_size > 0) {
      EXPECT_LE(callback.data.size(), static_cast<std::size_t>(c.max_size));
    }
  }
}

TEST_F(SafeDownloaderTest, MirrorListTakesTheNextEntryAfterEightFailures) {
  const std::string music = PatternBytes(50000);
  std::string scrambled_music = music;
  for (char& c : scrambled_music) c = static_cast<char>(c ^ 0x5A);
  SafeDownloader& downloader = Start([&](const FakeAttempt& attempt, int) {
    FakeAnswer answer;
    if (attempt.url == "http://h/song") {
      answer.headers = {{"SorvelList", "1"}};
      answer.body = testing::ScrambleAnswer(
          "qlfss1://m1/a.1\r\nnot a url\nqlfss1://m2/b.1\nfile:///etc/passwd\n");
    } else if (attempt.url == "http://m1/a.1") {
      // A little progress on every try, then a drop.
      const std::size_t from = attempt.resume_from;
      answer = Whole(scrambled_music.substr(from));
      if (from > 0) {
        answer.status = 206;
        answer.headers.emplace_back("Content-Range",
                                    "bytes " + std::to_string(from) + "-49999/50000");
      }
      answer.fail_after = 1000;
    } else if (attempt.url == "http://m2/b.1") {
      answer = Whole(scrambled_music);
    } else {
      answer.status = 404;
    }
    return answer;
  });
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "song.part";
  downloader.Download("http://h/song", target, &callback, true, 0, 0);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  EXPECT_EQ(callback.final_path, folder_ / "song.mp3");
  EXPECT_EQ(callback.final_url, "http://m2/b.1");
  EXPECT_EQ(fs::ReadWholeFile(folder_ / "song.mp3"), music);
  EXPECT_EQ(fs::ListFolder(folder_.path()), std::vector<std::string>{"song.mp3"});
  const auto attempts = client_->attempts();
  ASSERT_EQ(attempts.size(), 10u);  // the list, eight tries of the first mirror, the second
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(attempts[i].url, "http://m1/a.1");
    EXPECT_EQ(attempts[i].resume_from, static_cast<std::uint64_t>((i - 1) * 1000));
  }
  EXPECT_EQ(attempts[9].url, "http://m2/b.1");
  EXPECT_EQ(attempts[9].resume_from, 0u);
  EXPECT_EQ(callback.starts, 2);  // once per mirror: buffers start over
}

// XOR belongs to qlfss1 entries only: a plain mirror after one is written as it comes.
TEST_F(SafeDownloaderTest, PlainMirrorAfterAQlfss1EntryIsNotXored) {
  const std::string music = PatternBytes(30000);
  SafeDownloader& downloader = Start([&](const FakeAttempt& attempt, int) {
    FakeAnswer answer;
    if (attempt.url == "http://h/song") {
      answer.headers = {{"SorvelList", "1"}};
      answer.body = testing::ScrambleAnswer("qlfss1://m1/a.2\nhttp://m2/b.mp3\n");
    } else if (attempt.url == "http://m2/b.mp3") {
      answer = Whole(music);
    } else {
      answer.fail_send = true;
    }
    return answer;
  });
  RecordingCallback callback(loop_);
  downloader.Download("http://h/song", folder_ / "s.part", &callback, true, 0, 0);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  EXPECT_EQ(callback.final_path, folder_ / "s.mp3");
  EXPECT_EQ(fs::ReadWholeFile(folder_ / "s.mp3"), music);
  EXPECT_EQ(client_->attempts().size(), 10u);
}

TEST_F(SafeDownloaderTest, MirrorListsThatLeadNowhere) {
  const struct {
    const char* name;
    std::string list;
  } cases[] = {
      {"no usable line", testing::ScrambleAnswer("ftp://a\nfile:///x\n")},
      {"a mirror answering with a list", testing::ScrambleAnswer("http://h/song\n")},
      {"too short to descramble", "ab"},
  };
  for (const auto& c : cases) {
    SafeDownloader& downloader = Start([&](const FakeAttempt&, int) {
      FakeAnswer answer;
      answer.headers = {{"SorvelList", "1"}};
      answer.body = c.list;
      return answer;
    });
    RecordingCallback callback(loop_);
    downloader.Download("http://h/song", folder_ / "s.part", &callback, true, 0, 0);
    ASSERT_TRUE(WaitFinished(callback)) << c.name;
    EXPECT_EQ(callback.status, TransferStatus::kFailed) << c.name;
    EXPECT_LE(client_->attempts().size(), 2u) << c.name;
    EXPECT_TRUE(fs::ListFolder(folder_.path()).empty()) << c.name;
  }
}

TEST_F(SafeDownloaderTest, CancelRemovesThePartialFileAtOnceAndNoCallbackFollows) {
  const std::string body = PatternBytes(100000);
  SafeDownloader& downloader = Start([&](const FakeAttempt&, int) {
    FakeAnswer answer = Whole(body);
    answer.fail_after = 50000;
    answer.body = body;
    answer.headers = {{"Content-Length", "200000"}};
    answer.stall_after_body = true;
    answer.fail_after = std::string::npos;
    return answer;
  });
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "c.mp3";
  const std::string id = downloader.Download("http://h/c.mp3", target, &callback, false, 0, 0);
  ASSERT_TRUE(loop_.PumpUntil([&] { return callback.data.size() == body.size(); }, 20s));
  ASSERT_TRUE(fs::FileExists(target));
  const int data_calls = callback.data_calls;
  downloader.Cancel(id);
  EXPECT_FALSE(fs::PathExists(target));
  EXPECT_EQ(downloader.Find(id), nullptr);
  downloader.Cancel(id);  // unknown by now: ignored
  downloader.Cancel("12345");
  downloader.Shutdown();  // joins the worker: whatever it still queued has had its chance
  loop_.PumpPending();
  EXPECT_EQ(callback.finishes, 0);
  EXPECT_EQ(callback.data_calls, data_calls);
  EXPECT_FALSE(fs::PathExists(target));
}

TEST_F(SafeDownloaderTest, CancelFromInsideACallback) {
  const std::string body = PatternBytes(100000);
  SafeDownloader& downloader = Start([&](const FakeAttempt&, int) { return Whole(body); });
  RecordingCallback callback(loop_);
  std::string id;
  callback.on_data = [&](TransferRecord& record) {
    if (callback.data_calls == 2) downloader.Cancel(record.id());
  };
  id = downloader.Download("http://h/c.mp3", folder_ / "c.mp3", &callback, false, 0, 0);
  ASSERT_TRUE(loop_.PumpUntil([&] { return callback.data_calls >= 2; }, 20s));
  downloader.Shutdown();
  loop_.PumpPending();
  EXPECT_EQ(callback.data_calls, 2);
  EXPECT_EQ(callback.finishes, 0);
  EXPECT_TRUE(fs::ListFolder(folder_.path()).empty());
}

// Reads that need no waiting reach the window thread together, but each chunk is still written
// and reported on its own, in order; a cancel from inside one report stops the rest of the batch,
// and a batch never holds back bytes while the worker waits for more.
TEST_F(SafeDownloaderTest, GatheredReadsAreStillWrittenAndReportedChunkByChunk) {
  const std::string body = PatternBytes(300000);
  auto released = std::make_shared<std::atomic<std::size_t>>(200000);
  SafeDownloader& downloader = Start([&](const FakeAttempt&, int) {
    FakeAnswer answer = Whole(body);
    answer.tells_available = true;
    answer.released = released;
    return answer;
  });
  RecordingCallback callback(loop_);
  std::vector<std::uint64_t> received;
  callback.on_data = [&](TransferRecord& record) { received.push_back(record.received_size()); };
  const std::string target = folder_ / "gathered.mp3";
  downloader.Download("http://h/gathered.mp3", target, &callback, false, 0, 0);
  // Everything released so far arrives although the next read would wait.
  ASSERT_TRUE(loop_.PumpUntil([&] { return callback.data.size() == 200000; }, 20s));
  released->store(body.size());
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  EXPECT_EQ(fs::ReadWholeFile(target), body);
  // 12 x 16384 + 3392 before the pause, 6 x 16384 + 1696 after it: one report per read.
  ASSERT_EQ(received.size(), 20u);
  EXPECT_EQ(received[11], 12u * 16384);
  EXPECT_EQ(received[12], 200000u);
  EXPECT_EQ(received[13], 200000u + 16384);
  EXPECT_EQ(received.back(), body.size());

  RecordingCallback cancelling(loop_);
  std::string id;
  cancelling.on_data = [&](TransferRecord& record) {
    if (cancelling.data_calls == 3) downloader.Cancel(record.id());
  };
  id = downloader.Download("http://h/cut.mp3", folder_ / "cut.mp3", &cancelling, false, 0, 0);
  ASSERT_TRUE(loop_.PumpUntil([&] { return cancelling.data_calls >= 3; }, 20s));
  loop_.PumpPending();
  downloader.Shutdown();
  loop_.PumpPending();
  EXPECT_EQ(cancelling.data_calls, 3);
  EXPECT_EQ(cancelling.finishes, 0);
  EXPECT_FALSE(fs::PathExists(folder_ / "cut.mp3"));
}

TEST_F(SafeDownloaderTest, ShutdownWithStalledTransfersIsQuickAndSilent) {
  std::atomic<int> sends{0};
  SafeDownloader& downloader = Start([&](const FakeAttempt& attempt, int) {
    ++sends;
    FakeAnswer answer;
    if (attempt.url.find("never") != std::string::npos) {
      answer.stall_send = true;  // accepted, never answered
    } else {
      answer.headers = {{"Content-Length", "100000"}};
      answer.body = PatternBytes(20000);
      answer.stall_after_body = true;
    }
    return answer;
  });
  RecordingCallback callback(loop_);
  for (int i = 0; i < 10; ++i) {
    downloader.Download(i % 2 ? "http://h/never" : "http://h/stall", folder_ / std::to_string(i),
                        &callback, false, 0, 0);
  }
  // Every stalled body has been written; every never-answered send has begun.
  ASSERT_TRUE(loop_.PumpUntil([&] { return sends == 10 && callback.data_calls >= 10; }, 20s));
  const int data_calls = callback.data_calls;
  const auto begin = std::chrono::steady_clock::now();
  downloader.Shutdown();
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 2s);
  loop_.PumpUntil([] { return false; }, 200ms);
  EXPECT_EQ(callback.finishes, 0);
  EXPECT_EQ(callback.data_calls, data_calls);
  EXPECT_TRUE(fs::ListFolder(folder_.path()).empty());
  EXPECT_EQ(downloader.Download("http://h/late", folder_ / "late", &callback, false, 0, 0), "");
}

// Shutdown while workers are queued for steps the window thread has not run yet.
TEST_F(SafeDownloaderTest, ShutdownReleasesWorkersWaitingForSteps) {
  SafeDownloader& downloader =
      Start([&](const FakeAttempt&, int) { return Whole(PatternBytes(200000)); });
  RecordingCallback callback(loop_);
  for (int i = 0; i < 10; ++i) {
    downloader.Download("http://h/x", folder_ / std::to_string(i), &callback, false, 0, 0);
  }
  // The loop is not pumped: every worker ends up waiting for its OnStart to run.
  std::this_thread::sleep_for(50ms);
  const auto begin = std::chrono::steady_clock::now();
  downloader.Shutdown();
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 2s);
  loop_.PumpUntil([] { return false; }, 100ms);
  EXPECT_EQ(callback.starts + callback.data_calls + callback.finishes, 0);
  EXPECT_TRUE(fs::ListFolder(folder_.path()).empty());
}

TEST_F(SafeDownloaderTest, RequestsPostTheirFormAndLeaveTheTable) {
  SafeDownloader& downloader = Start([&](const FakeAttempt& attempt, int) {
    std::string echo;
    for (const auto& [name, value] : attempt.form) echo += name + "=" + value + ";";
    return Whole(echo);
  });
  RecordingCallback callback(loop_);
  const std::string id = downloader.Request(
      "http://h/api", FormParams{{"playlistId", "7"}, {"musicId[]", "1"}, {"musicId[]", "2"}},
      &callback);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  EXPECT_EQ(callback.data, "playlistId=7;musicId[]=1;musicId[]=2;");
  EXPECT_EQ(callback.final_path, "");

  // Fire and forget: no callback, yet it runs and leaves the table.
  const std::string silent = downloader.Request("http://h/api2", std::nullopt, nullptr);
  ASSERT_NE(downloader.Find(silent), nullptr);
  EXPECT_TRUE(downloader.Find(silent)->is_request());
  EXPECT_TRUE(loop_.PumpUntil([&] { return downloader.Find(silent) == nullptr; }, 20s));
  const auto attempts = client_->attempts();
  ASSERT_EQ(attempts.size(), 2u);
  EXPECT_TRUE(attempts[1].post);
  EXPECT_EQ(attempts[1].url, "http://h/api2");

  // A request has one attempt.
  SafeDownloader& failing = Start([&](const FakeAttempt&, int) {
    FakeAnswer answer;
    answer.fail_send = true;
    return answer;
  });
  RecordingCallback failed(loop_);
  failing.Request("http://h/api", std::nullopt, &failed);
  ASSERT_TRUE(WaitFinished(failed));
  EXPECT_EQ(failed.status, TransferStatus::kFailed);
  EXPECT_EQ(client_->attempts().size(), 1u);
}

TEST_F(SafeDownloaderTest, FailedAttemptsAreCountedPerUrl) {
  SafeDownloader& downloader = Start([&](const FakeAttempt&, int) {
    FakeAnswer answer;
    answer.fail_send = true;
    return answer;
  });
  RecordingCallback callback(loop_);
  downloader.Download("http://h/x.mp3", folder_ / "x.mp3", &callback, false, 0, 0, 3);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFailed);
  EXPECT_EQ(client_->attempts().size(), 3u);
  EXPECT_EQ(callback.starts, 0);
}

TEST_F(SafeDownloaderTest, ExtensionRuleKeepsTheFolder) {
  const struct {
    const char* url;
    const char* name;
  } cases[] = {
      {"http://h/get.php?id=3&f=a.wma", "t.wma"},
      {"http://h/a/..", "t."},
      {"http://h/a/b", "t.part"},  // no extension in the URL: the target keeps its own
  };
  for (const auto& c : cases) {
    SafeDownloader& downloader = Start([&](const FakeAttempt&, int) { return Whole("abc"); });
    RecordingCallback callback(loop_);
    downloader.Download(c.url, folder_ / "t.part", &callback, true, 0, 0);
    ASSERT_TRUE(WaitFinished(callback));
    EXPECT_EQ(callback.status, TransferStatus::kFinished) << c.url;
    EXPECT_EQ(callback.final_path, folder_ / c.name) << c.url;
    EXPECT_EQ(fs::ReadWholeFile(folder_ / c.name), "abc") << c.url;
    fs::RemoveFile(folder_ / c.name);
  }
}

// Only a file the transfer created is ever deleted: a failure before any data leaves a file
// that was already at the target alone.
TEST_F(SafeDownloaderTest, FailureBeforeDataKeepsAnExistingFile) {
  SafeDownloader& downloader = Start([&](const FakeAttempt&, int) {
    FakeAnswer answer;
    answer.status = 404;
    return answer;
  });
  ASSERT_TRUE(fs::WriteFile(folder_ / "song.mp3", "mine"));
  RecordingCallback callback(loop_);
  downloader.Download("http://h/song.mp3", folder_ / "song.mp3", &callback, false, 0, 0);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFailed);
  EXPECT_EQ(fs::ReadWholeFile(folder_ / "song.mp3"), "mine");
}

// Cancel never touches the client the worker is using: it raises flags the worker and the
// client watch, even while a request's send is blocked.
TEST_F(SafeDownloaderTest, CancellingABlockedRequest) {
  SafeDownloader& downloader = Start([&](const FakeAttempt&, int) {
    FakeAnswer answer;
    answer.stall_send = true;
    return answer;
  });
  RecordingCallback callback(loop_);
  const std::string id = downloader.Request("http://h/api", FormParams{{"a", "1"}}, &callback);
  ASSERT_TRUE(loop_.PumpUntil([&] { return client_->attempts().size() == 1; }, 20s));
  downloader.Cancel(id);
  EXPECT_EQ(downloader.Find(id), nullptr);
  const auto begin = std::chrono::steady_clock::now();
  downloader.Shutdown();
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 2s);
  loop_.PumpPending();
  EXPECT_EQ(callback.starts + callback.data_calls + callback.finishes, 0);
}

TEST_F(SafeDownloaderTest, UnwritableTargetFails) {
  SafeDownloader& downloader = Start([&](const FakeAttempt&, int) { return Whole("abc"); });
  RecordingCallback callback(loop_);
  downloader.Download("http://h/x", folder_ / "missing/x", &callback, false, 0, 0);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFailed);
  EXPECT_EQ(client_->attempts().size(), 1u);
}

}  // namespace
}  // namespace quillo::service
