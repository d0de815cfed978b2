// Workers of the manager: simultaneous uploads share the guarded map, finish callbacks, and a
// shutdown that does not wait for a stalled host.
#include "service/upload/UploadManager.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <future>

#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"
#include "tests/fakes/FakeUploadHost.h"

namespace quillo::service {
namespace {

using namespace std::chrono_literals;
using testing::FakeUploadHost;

// Hands the calls to a host the test keeps.
class ForwardingHost : public UploadHost {
 public:
  explicit ForwardingHost(std::shared_ptr<UploadHost> target) : target_(std::move(target)) {}
  std::string HostGet(std::string_view path) override { return target_->HostGet(path); }
  std::string HostPost(std::string_view path, std::string_view body) override {
    return target_->HostPost(path, body);
  }

 private:
  std::shared_ptr<UploadHost> target_;
};

class UploadManagerTest : public ::testing::Test {
 protected:
  UploadJob Job(const std::string& name, std::size_t size) {
    UploadJob job;
    job.file_path = folder_ / name;
    job.kind = "lyric";
    EXPECT_TRUE(fs::WriteFile(job.file_path, std::string(size, 'q')));
    return job;
  }
  testing::TempFolder folder_;
};

TEST_F(UploadManagerTest, SimultaneousUploadsShareTheMapAndEachFinishes) {
  constexpr int kUploads = 4;
  std::vector<std::shared_ptr<FakeUploadHost>> hosts;
  std::mutex mutex;
  std::condition_variable changed;
  int waiting = 0;
  bool all_in_map = false;
  std::unique_ptr<UploadManager> manager;
  for (int i = 0; i < kUploads; ++i) {
    auto host = std::make_shared<FakeUploadHost>();
    host->upload_id = "id" + std::to_string(i);
    // Every worker holds its first chunk until all uploads are in the map at once.
    host->on_request = [&](const FakeUploadHost::Request& request) {
      if (request.action != "send" || request.seek != 0) return;
      std::unique_lock lock(mutex);
      ++waiting;
      if (waiting == kUploads) {
        all_in_map = manager->uploads().size() == kUploads;
        changed.notify_all();
      }
      changed.wait_for(lock, 30s, [&] { return waiting == kUploads; });
    };
    hosts.push_back(host);
  }
  int next = 0;
  manager = std::make_unique<UploadManager>([&](std::shared_ptr<const std::atomic<bool>>) {
    return std::make_unique<ForwardingHost>(hosts[next++]);
  });
  std::vector<std::promise<UploadOutcome>> finished(kUploads);
  for (int i = 0; i < kUploads; ++i) {
    ASSERT_TRUE(manager->StartUpload(
        Job("f" + std::to_string(i) + ".lrc", 1500000 + i),
        [&finished, i](const UploadOutcome& outcome) { finished[i].set_value(outcome); }));
  }
  for (int i = 0; i < kUploads; ++i) {
    auto future = finished[i].get_future();
    ASSERT_EQ(future.wait_for(60s), std::future_status::ready);
    const UploadOutcome outcome = future.get();
    EXPECT_EQ(outcome.upload_id, "id" + std::to_string(i));
    EXPECT_TRUE(outcome.complete());
    EXPECT_EQ(hosts[i]->stored().size(), 1500000u + i);
  }
  EXPECT_TRUE(all_in_map);
  EXPECT_EQ(manager->uploads().size(), 0u);
  manager.reset();
}

// A host that never answers a chunk: destroying the manager raises the abort flag, which ends
// the stalled request; the worker is joined and reports itself cancelled.
TEST_F(UploadManagerTest, DestroyingTheManagerEndsAStalledUpload) {
  auto host = std::make_shared<FakeUploadHost>();
  std::shared_ptr<const std::atomic<bool>> abort;
  std::promise<void> stalled;
  bool stall_ended_by_abort = false;
  host->chunk_answer = [&](int, std::uint64_t, std::string_view) -> std::optional<std::string> {
    stalled.set_value();
    // A transport ends its blocking calls once the abort flag is set; so does this host.
    for (int i = 0; i < 3000 && !abort->load(); ++i) std::this_thread::sleep_for(10ms);
    stall_ended_by_abort = abort->load();
    return std::string();
  };
  std::optional<UploadOutcome> outcome;
  {
    UploadManager manager([&](std::shared_ptr<const std::atomic<bool>> flag) {
      abort = flag;
      return std::make_unique<ForwardingHost>(host);
    });
    ASSERT_TRUE(manager.StartUpload(Job("big.mp3", 3000000),
                                    [&](const UploadOutcome& result) { outcome = result; }));
    ASSERT_EQ(stalled.get_future().wait_for(30s), std::future_status::ready);
    EXPECT_EQ(manager.running(), 1u);
  }
  EXPECT_TRUE(stall_ended_by_abort);
  ASSERT_TRUE(outcome.has_value()) << "the worker was joined before the manager went away";
  EXPECT_TRUE(outcome->cancelled);
  EXPECT_EQ(host->requests("send").size(), 1u);
}

}  // namespace
}  // namespace quillo::service
