// The transfer's worker writes the file itself: a window thread that is busy (inside a callback,
// or not pumping) neither stops the download nor sees its callbacks out of order, and a Cancel
// on the window thread removes the file at once even while the worker is inside a write.
#include "service/transfer/TransferWorker.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "RecordingCallback.h"
#include "fakes/FakeTransferClient.h"
#include "platform/fs/FileSystem.h"
#include "platform/loop/MainLoop.h"
#include "service/transfer/SafeDownloader.h"
#include "support/TempFolder.h"

namespace quillo::service {
namespace {
using namespace std::chrono_literals;
using testing::FakeAnswer;
using testing::FakeAttempt;
using testing::FakeTransferClient;
using testing::PatternBytes;
using testing::RecordingCallback;

// Generous: only a broken download waits this long.
constexpr auto kDeadline = 20s;

template <typename Condition>
bool WaitOffTheLoop(Condition condition) {
  const auto until = std::chrono::steady_clock::now() + kDeadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= until) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// Whether a descriptor of this process refers to `path`.
bool IsOpenHere(const std::string& path) {
  for (const std::string& name : fs::ListFolder("/proc/self/fd")) {
    char link[4096];
    const ssize_t size = readlink(("/proc/self/fd/" + name).c_str(), link, sizeof link);
    if (size > 0 && std::string(link, static_cast<std::size_t>(size)) == path) return true;
  }
  return false;
}

class TransferWorkerTest : public ::testing::Test {
 protected:
  SafeDownloader& Start(const std::string& body) {
    auto client = std::make_unique<FakeTransferClient>([body](const FakeAttempt&, int) {
      FakeAnswer answer;
      answer.headers = {{"Content-Length", std::to_string(body.size())}};
      answer.body = body;
      return answer;
    });
    client_ = client.get();
    downloader_ = std::make_unique<SafeDownloader>(loop_, std::move(client));
    return *downloader_;
  }

  loop::MainLoop loop_;
  testing::TempFolder folder_;
  FakeTransferClient* client_ = nullptr;
  std::unique_ptr<SafeDownloader> downloader_;
};

// The window thread is held inside the first OnData until the whole body is on disk: the worker
// wrote it meanwhile. Once the window thread is free, every report arrives, in order.
TEST_F(TransferWorkerTest, ChunksAreWrittenWhileTheWindowThreadIsBusy) {
  const std::string body = PatternBytes(300000);  // 18 x 16384 + 5088
  SafeDownloader& downloader = Start(body);
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "busy.mp3";
  bool whole_while_busy = false;
  std::vector<std::uint64_t> received;
  callback.on_start = [&](TransferRecord&) { EXPECT_TRUE(received.empty()); };
  callback.on_data = [&](TransferRecord& record) {
    EXPECT_EQ(callback.finishes, 0);
    received.push_back(record.received_size());
    if (callback.data_calls == 1) {
      whole_while_busy = WaitOffTheLoop([&] { return fs::FileSize(target) == body.size(); });
    }
  };
  downloader.Download("http://h/busy.mp3", target, &callback, false, 0, 0);
  ASSERT_TRUE(loop_.PumpUntil([&] { return callback.finishes == 1; }, kDeadline));
  EXPECT_TRUE(whole_while_busy);
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  EXPECT_EQ(callback.starts, 1);
  EXPECT_EQ(callback.data, body);
  ASSERT_EQ(received.size(), 19u);
  for (std::size_t i = 0; i < 18; ++i) EXPECT_EQ(received[i], (i + 1) * 16384) << i;
  EXPECT_EQ(received.back(), body.size());
  EXPECT_EQ(fs::ReadWholeFile(target), body);
}

// In lockstep the worker writes a chunk only after the previous OnData returned: a reader of the
// growing file (the player's snapshot) finds exactly the bytes the record counts.
TEST_F(TransferWorkerTest, InLockstepTheFileHoldsExactlyWhatOnDataCounts) {
  const std::string body = PatternBytes(300000);
  SafeDownloader& downloader = Start(body);
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "step.mp3";
  callback.on_data = [&](TransferRecord& record) {
    EXPECT_EQ(fs::FileSize(target), record.received_size());
  };
  downloader.Download("http://h/step.mp3", target, &callback, false, 0, 0,
                      SafeDownloader::kDefaultAttempts, SafeDownloader::Pace::kLockstep);
  ASSERT_TRUE(loop_.PumpUntil([&] { return callback.finishes == 1; }, kDeadline));
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  EXPECT_EQ(callback.data_calls, 19);
  EXPECT_EQ(callback.data, body);
  EXPECT_EQ(fs::ReadWholeFile(target), body);
}

// A window thread that falls far behind holds the worker up at the report budget instead of
// letting reports pile up; once it catches up, the download goes on to the end.
TEST_F(TransferWorkerTest, AWindowThreadFarBehindHoldsTheWorkerUpAtTheBudget) {
  // Each read is its own batch (the fake does not tell what is available), copied into a
  // report of its own size.
  constexpr std::size_t kReadsInBudget = TransferWorker::kReportBudget / TransferWorker::kReadSize;
  const std::string body = PatternBytes(TransferWorker::kReportBudget * 2);
  SafeDownloader& downloader = Start(body);
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "far.mp3";
  int reads_while_behind = 0;
  callback.on_data = [&](TransferRecord&) {
    if (callback.data_calls != 1) return;
    EXPECT_TRUE(
        WaitOffTheLoop([&] { return client_->reads() >= static_cast<int>(kReadsInBudget); }));
    // Time for a worker that ignored the budget to read on; one that keeps it stays put.
    std::this_thread::sleep_for(100ms);
    reads_while_behind = client_->reads();
  };
  downloader.Download("http://h/far.mp3", target, &callback, false, 0, 0);
  ASSERT_TRUE(loop_.PumpUntil([&] { return callback.finishes == 1; }, kDeadline));
  EXPECT_EQ(reads_while_behind, static_cast<int>(kReadsInBudget));
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  EXPECT_EQ(callback.data, body);
  EXPECT_EQ(fs::ReadWholeFile(target), body);
}

// The worker has written and closed the whole file, but its finish report has not run yet when
// the transfer is cancelled: the file is still the transfer's and goes, and OnFinish never comes.
TEST_F(TransferWorkerTest, CancelBeforeTheFinishReportStillDeletesTheFinishedFile) {
  const std::string body = PatternBytes(100000);
  SafeDownloader& downloader = Start(body);
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "late.mp3";
  std::string id;
  callback.on_data = [&](TransferRecord& record) {
    if (callback.data_calls != 1) return;
    ASSERT_TRUE(
        WaitOffTheLoop([&] { return fs::FileSize(target) == body.size() && !IsOpenHere(target); }));
    downloader.Cancel(record.id());
    EXPECT_FALSE(fs::PathExists(target));
  };
  id = downloader.Download("http://h/late.mp3", target, &callback, false, 0, 0);
  ASSERT_TRUE(loop_.PumpUntil([&] { return downloader.Find(id) == nullptr; }, kDeadline));
  downloader.Shutdown();  // joins the worker: whatever it queued has had its chance
  loop_.PumpPending();
  EXPECT_EQ(callback.data_calls, 1);
  EXPECT_EQ(callback.finishes, 0);
  EXPECT_TRUE(fs::ListFolder(folder_.path()).empty());
}

// The target is a pipe nobody drains: the worker's write blocks once the pipe is full, and the
// window thread cancels meanwhile. The name is gone when Cancel returns, the write (finished once
// the test drains the pipe) brings no report, and nothing appears at the name afterwards.
TEST_F(TransferWorkerTest, CancelDuringABlockedWriteLeavesNoFile) {
  const std::string body = PatternBytes(400000);
  SafeDownloader& downloader = Start(body);
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "pipe.mp3";
  ASSERT_EQ(mkfifo(target.c_str(), 0600), 0);
  // A reader that exists lets the worker's open go through; it reads nothing until the end.
  const int reader = open(target.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  const int capacity = fcntl(reader, F_GETPIPE_SZ);
  ASSERT_GT(capacity, 0);
  const auto fitting = static_cast<std::size_t>(capacity) / TransferWorker::kReadSize;
  ASSERT_LT(fitting, body.size() / TransferWorker::kReadSize);
  const std::string id = downloader.Download("http://h/pipe.mp3", target, &callback, false, 0, 0);
  // The chunks that fit the pipe were written and reported; the worker has read the next one,
  // which the full pipe does not take.
  ASSERT_TRUE(loop_.PumpUntil(
      [&] {
        return callback.data_calls == static_cast<int>(fitting) &&
               client_->reads() > static_cast<int>(fitting);
      },
      kDeadline));
  downloader.Cancel(id);
  EXPECT_FALSE(fs::PathExists(target));
  EXPECT_EQ(downloader.Find(id), nullptr);

  // Drain the pipe until the worker closes its end.
  fcntl(reader, F_SETFL, 0);
  std::size_t drained = 0;
  char buffer[16384];
  for (ssize_t count; (count = read(reader, buffer, sizeof buffer)) > 0;)
    drained += static_cast<std::size_t>(count);
  close(reader);
  EXPECT_GE(drained, static_cast<std::size_t>(capacity));
  EXPECT_LT(drained, body.size());
  downloader.Shutdown();
  loop_.PumpPending();
  EXPECT_EQ(callback.data_calls, static_cast<int>(fitting));
  EXPECT_EQ(callback.finishes, 0);
  EXPECT_TRUE(fs::ListFolder(folder_.path()).empty());
}

}  // namespace
}  // namespace quillo::service
