// The upload worker against a host in memory: chunking, the attempt rules counted over the
// whole upload, the map, and hosts whose byte counts cannot be believed.
#include "service/upload/UploadWorker.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"
#include "tests/fakes/FakeUploadHost.h"

namespace quillo::service {
namespace {

using testing::FakeUploadHost;

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

class UploadWorkerTest : public ::testing::Test {
 protected:
  UploadJob JobFor(const std::string& bytes, const std::string& name = "song.mp3") {
    const std::string path = folder_ / name;
    EXPECT_TRUE(fs::WriteFile(path, bytes));
    UploadJob job;
    job.music_id = "1234";
    job.music_name = "歌";
    job.artist_name = "歌手";
    job.file_path = path;
    job.kind = "music";
    return job;
  }

  UploadOutcome Run(const UploadJob& job) { return RunUpload(job, host_, map_, stop_); }

  testing::TempFolder folder_;
  FakeUploadHost host_;
  UploadMap map_;
  std::atomic<bool> stop_{false};
};

TEST_F(UploadWorkerTest, FileArrivesWholeInChunksAtTheHostsOffsets) {
  const std::string bytes = RandomBytes(2500000, 1);
  // The map holds the job (with its id) while chunks go out, and not before the id exists.
  std::vector<std::size_t> map_sizes;
  host_.on_request = [&](const FakeUploadHost::Request& request) {
    map_sizes.push_back(map_.size());
    if (request.action == "send") {
      auto job = map_.Find("abc");
      ASSERT_TRUE(job.has_value());
      EXPECT_EQ(job->music_id, "1234");
      EXPECT_EQ(job->kind, "music");
    }
  };
  const UploadOutcome outcome = Run(JobFor(bytes));

  const auto chunks = host_.requests("send");
  ASSERT_EQ(chunks.size(), 3u);
  const std::uint64_t seeks[] = {0, 1024000, 2048000};
  const std::size_t sizes[] = {1024000, 1024000, 452000};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(chunks[i].method, "POST");
    EXPECT_EQ(chunks[i].seek, seeks[i]);
    EXPECT_EQ(chunks[i].body_bytes, sizes[i]);
    EXPECT_EQ(chunks[i].path,
              "/api/upload.php?action=send&id=abc&seek=" + std::to_string(seeks[i]));
  }
  EXPECT_TRUE(host_.stored() == bytes);
  const auto all = host_.requests();
  ASSERT_EQ(all.size(), 5u);
  EXPECT_EQ(all.front().path, "/api/upload.php?action=start");
  EXPECT_EQ(all.back().path, "/api/upload.php?action=end&id=abc");
  EXPECT_EQ(map_sizes, (std::vector<std::size_t>{0, 1, 1, 1, 1}));
  EXPECT_EQ(map_.size(), 0u);
  EXPECT_EQ(outcome.upload_id, "abc");
  EXPECT_EQ(outcome.acknowledged_bytes, 2500000u);
  EXPECT_TRUE(outcome.complete());
}

// The no-progress answers are counted over the whole upload, and start retries use up the same
// attempts: with k failed starts, the (6 - k)-th no-progress answer ends the sending.
TEST_F(UploadWorkerTest, NoProgressAnswersEndTheUploadCountedOverTheWholeUpload) {
  struct Case {
    int failed_starts;
    std::size_t expected_refusals;
  };
  for (const Case c : {Case{0, 6}, Case{2, 4}, Case{5, 1}}) {
    SCOPED_TRACE("failed starts " + std::to_string(c.failed_starts));
    FakeUploadHost host;
    host.start_answer = [&](int n) {
      return n < c.failed_starts ? std::string("{error:'busy'}") : std::string("{id:'abc'}");
    };
    // Every chunk is refused once before it is taken: never two refusals in a row.
    std::uint64_t last_refused = ~0ull;
    std::string held;
    host.chunk_answer = [&](int, std::uint64_t seek,
                            std::string_view body) -> std::optional<std::string> {
      if (seek != last_refused) {
        last_refused = seek;
        return "{id:'abc',file_length:" + std::to_string(held.size()) + "}";
      }
      held.resize(seek);
      held.append(body);
      return "{id:'abc',file_length:" + std::to_string(held.size()) + "}";
    };
    UploadMap map;
    const UploadOutcome outcome =
        RunUpload(JobFor(RandomBytes(10 * kUploadChunkBytes, 2)), host, map, stop_);

    const auto chunks = host.requests("send");
    // Chunks before the last refusal went twice; the last refused chunk once.
    ASSERT_EQ(chunks.size(), 2 * (c.expected_refusals - 1) + 1);
    EXPECT_EQ(outcome.acknowledged_bytes, (c.expected_refusals - 1) * kUploadChunkBytes);
    EXPECT_FALSE(outcome.complete());
    EXPECT_EQ(host.requests("end").size(), 1u) << "the end request is sent all the same";
    EXPECT_EQ(map.size(), 0u);
  }
}

TEST_F(UploadWorkerTest, StartNeverAnsweringAnIdSendsNoChunkAndLeavesNothingInTheMap) {
  host_.start_answer = [](int) { return std::string(); };
  host_.on_request = [&](const FakeUploadHost::Request&) { EXPECT_EQ(map_.size(), 0u); };
  const UploadOutcome outcome = Run(JobFor("data"));
  // The first request and five more.
  EXPECT_EQ(host_.requests("start").size(), 6u);
  EXPECT_TRUE(host_.requests("send").empty());
  EXPECT_TRUE(host_.requests("end").empty());
  EXPECT_EQ(map_.size(), 0u);
  EXPECT_TRUE(outcome.upload_id.empty());
}

TEST_F(UploadWorkerTest, IdArrivingAtTheLastStartLeavesNoAttemptForStalls) {
  host_.start_answer = [](int n) { return n < 5 ? std::string("{id:''}") : "{id:'late'}"; };
  host_.chunk_answer = [](int, std::uint64_t, std::string_view) -> std::optional<std::string> {
    return std::string("{file_length:0}");
  };
  const UploadOutcome outcome = Run(JobFor(RandomBytes(5000, 3)));
  EXPECT_EQ(outcome.upload_id, "late");
  EXPECT_EQ(host_.requests("send").size(), 1u);
  EXPECT_EQ(host_.requests("end").front().path, "/api/upload.php?action=end&id=late");
}

// Byte counts a host must not be believed in: the loop never reads outside the file, never
// reports more than the file, and always ends.
TEST_F(UploadWorkerTest, UnbelievableByteCountsCostAttemptsAndNeverLeaveTheFile) {
  const std::string bytes = RandomBytes(1500000, 4);
  const std::string size_text = std::to_string(bytes.size());
  const std::string answers[] = {
      "{file_length:" + std::to_string(bytes.size() + 1) + "}",  // more than the file
      "{file_length:99999999999999999999999999}",                // overflows
      "{file_length:-1024000}",                                  // negative
      "{file_length:18446744073709551615}",                      // 2^64-1
      std::string("\x00\xff{file_length:\xff}", 17),             // garbage: counts 0
      "",                                                        // failed request: 0
  };
  for (const std::string& answer : answers) {
    SCOPED_TRACE(answer);
    FakeUploadHost host;
    host.chunk_answer = [&](int, std::uint64_t, std::string_view) -> std::optional<std::string> {
      return answer;
    };
    UploadMap map;
    const UploadOutcome outcome = RunUpload(JobFor(bytes), host, map, stop_);
    const auto chunks = host.requests("send");
    EXPECT_EQ(chunks.size(), 6u);
    for (const auto& chunk : chunks) {
      EXPECT_EQ(chunk.seek, 0u);
      EXPECT_EQ(chunk.body_bytes, kUploadChunkBytes);
    }
    EXPECT_LE(outcome.acknowledged_bytes, bytes.size());
    EXPECT_FALSE(outcome.complete());
    EXPECT_EQ(host.requests("end").size(), 1u);
  }
}

// A host whose count jumps back and forth never settles; going back costs an attempt, so the
// upload ends after a bounded number of chunks instead of running forever.
TEST_F(UploadWorkerTest, HostThatKeepsGoingBackwardsCannotKeepTheLoopRunning) {
  const std::string bytes = RandomBytes(3 * kUploadChunkBytes, 5);
  host_.chunk_answer = [](int, std::uint64_t seek, std::string_view) -> std::optional<std::string> {
    return "{file_length:" + std::to_string(seek == 0 ? kUploadChunkBytes : 0) + "}";
  };
  const UploadOutcome outcome = Run(JobFor(bytes));
  // Forward, back (1 attempt), forward, back (2) ... the sixth backward answer ends it.
  EXPECT_EQ(host_.requests("send").size(), 12u);
  EXPECT_FALSE(outcome.complete());
}

TEST_F(UploadWorkerTest, HostThatLostItsDataRestartsFromItsCount) {
  const std::string bytes = RandomBytes(2500000, 6);
  bool lost = false;
  host_.chunk_answer = [&](int, std::uint64_t seek,
                           std::string_view) -> std::optional<std::string> {
    if (seek == 2048000 && !lost) {
      lost = true;
      return std::string("{id:'abc'}");  // no count: the host holds nothing
    }
    return std::nullopt;
  };
  const UploadOutcome outcome = Run(JobFor(bytes));
  std::vector<std::uint64_t> seeks;
  for (const auto& chunk : host_.requests("send")) seeks.push_back(chunk.seek);
  EXPECT_EQ(seeks, (std::vector<std::uint64_t>{0, 1024000, 2048000, 0, 1024000, 2048000}));
  EXPECT_TRUE(outcome.complete());
  EXPECT_TRUE(host_.stored() == bytes);
}

TEST_F(UploadWorkerTest, UnreadableOrEmptyFiles) {
  {
    UploadJob job = JobFor("x");
    job.file_path = folder_ / "missing.mp3";
    const UploadOutcome outcome = Run(job);
    EXPECT_FALSE(outcome.file_read);
    EXPECT_FALSE(outcome.complete());
    EXPECT_TRUE(host_.requests("send").empty());
    EXPECT_EQ(host_.requests("end").size(), 1u) << "the host hears the end of a failed upload";
    EXPECT_EQ(map_.size(), 0u);
  }
  FakeUploadHost host;
  const UploadOutcome outcome = RunUpload(JobFor("", "empty.lrc"), host, map_, stop_);
  EXPECT_TRUE(outcome.complete());
  EXPECT_TRUE(host.requests("send").empty());
  EXPECT_EQ(host.requests("end").size(), 1u);
}

TEST_F(UploadWorkerTest, StopEndsTheRunBeforeItsNextChunk) {
  host_.chunk_answer = [&](int n, std::uint64_t, std::string_view) -> std::optional<std::string> {
    if (n == 0) stop_.store(true);
    return std::nullopt;
  };
  const UploadOutcome outcome = Run(JobFor(RandomBytes(2500000, 7)));
  EXPECT_EQ(host_.requests("send").size(), 1u);
  EXPECT_TRUE(outcome.cancelled);
  EXPECT_EQ(host_.requests("end").size(), 1u);
  EXPECT_EQ(map_.size(), 0u);
}

}  // namespace
}  // namespace quillo::service
