// The mirror requests' outbox: kept until the service answered, in order, across a restart;
// refusals dropped with a message, a busy service given a few tries, and nothing kept for
// nobody. Over the real safe downloader with scripted answers.
#include "service/sync/MirrorRequests.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "fakes/FakeTransferClient.h"
#include "platform/loop/MainLoop.h"
#include "service/api/SafeDownloaderSender.h"
#include "service/api/ServiceRequests.h"
#include "service/transfer/SafeDownloader.h"
#include "store/DocumentStore.h"
#include "store/MirrorOutbox.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"

namespace quillo::service {
namespace {

using namespace std::chrono_literals;
using testing::FakeAnswer;
using testing::FakeAttempt;
using testing::FakeTransferClient;

const std::string kBase = "http://svc/";
const std::string kList = "0123456789ABCDEF0123456789ABCDEF";

class MirrorRequestsTest : public ::testing::Test {
 protected:
  MirrorRequestsTest() {
    runtime_ = std::make_unique<store::StoreRuntime>(folder_.path());
    runtime_->Open(false);
    runtime_->store().SetCurrentUserField("u1");
    auto client = std::make_unique<FakeTransferClient>([this](const FakeAttempt& attempt, int) {
      std::lock_guard lock(mutex_);
      paths_.push_back(attempt.url.substr(kBase.size()));
      FakeAnswer answer;
      if (down_) {
        answer.no_response = true;
        return answer;
      }
      const std::string endpoint = attempt.url.substr(kBase.size(), attempt.url.find('?') -
                                                                        kBase.size());
      answer.status = statuses_.count(endpoint) ? statuses_[endpoint] : 200;
      answer.body = "<result status='ok'/>";
      answer.headers = {{"Content-Length", std::to_string(answer.body.size())}};
      return answer;
    });
    downloader_ = std::make_unique<SafeDownloader>(loop_, std::move(client));
    sender_ = std::make_unique<SafeDownloaderSender>(*downloader_);
    MakeMirror();
  }
  ~MirrorRequestsTest() override {
    downloader_->Shutdown();
    messages_sink_.Reset();
    mirror_.reset();
    runtime_->Close();
  }

  void MakeMirror() {
    messages_sink_.Reset();
    mirror_ = std::make_unique<MirrorRequests>(runtime_->outbox(), runtime_->store(), *sender_,
                                               [] { return kBase; });
    messages_sink_ = mirror_->AddMessageSink(
        [this](const std::string& message) { messages_.push_back(message); });
  }
  // Pumps until nothing is on its way.
  void Settle() {
    ASSERT_TRUE(loop_.PumpUntil(
        [&] { return mirror_->in_flight().empty() && sender_->pending() == 0; }, 20s));
  }
  std::vector<std::string> Sent() {
    std::lock_guard lock(mutex_);
    return paths_;
  }
  void ClearSent() {
    std::lock_guard lock(mutex_);
    paths_.clear();
  }
  std::vector<std::string> Kept() {
    std::vector<std::string> paths;
    for (const auto& entry : runtime_->outbox().Entries()) paths.push_back(entry.path);
    return paths;
  }
  void SetDown(bool down) {
    std::lock_guard lock(mutex_);
    down_ = down;
  }
  void SetStatus(const std::string& endpoint, unsigned status) {
    std::lock_guard lock(mutex_);
    statuses_[endpoint] = status;
  }

  testing::TempFolder folder_;
  loop::MainLoop loop_;
  std::unique_ptr<store::StoreRuntime> runtime_;
  std::unique_ptr<SafeDownloader> downloader_;
  std::unique_ptr<SafeDownloaderSender> sender_;
  std::unique_ptr<MirrorRequests> mirror_;
  loop::Subscription messages_sink_;
  std::vector<std::string> messages_;
  std::mutex mutex_;
  std::vector<std::string> paths_;
  std::map<std::string, unsigned> statuses_;
  bool down_ = false;
};

TEST_F(MirrorRequestsTest, KeptUntilDeliveredInOrderAcrossARestart) {
  SetDown(true);
  mirror_->Send(*ServiceRequests::CreatePlaylist("离线", kList));
  mirror_->Send(*ServiceRequests::AddMusicToPlaylist(kList, {"5"}));
  Settle();
  // One at a time: the second waits behind the first, which did not get through.
  EXPECT_EQ(Sent(), std::vector<std::string>{"api/createplaylist.php"});
  EXPECT_EQ(Kept(), (std::vector<std::string>{"api/createplaylist.php",
                                              "api/addmusictoplaylist.php?force=1"}));
  EXPECT_TRUE(messages_.empty());

  // The program ends and starts again; the service is back.
  downloader_->Shutdown();
  messages_sink_.Reset();
  mirror_.reset();
  sender_.reset();
  ASSERT_TRUE(runtime_->Close());
  runtime_ = std::make_unique<store::StoreRuntime>(folder_.path());
  ASSERT_TRUE(runtime_->Open(false));
  runtime_->store().SetCurrentUserField("u1");
  downloader_ = std::make_unique<SafeDownloader>(
      loop_, std::make_unique<FakeTransferClient>([this](const FakeAttempt& attempt, int) {
        std::lock_guard lock(mutex_);
        paths_.push_back(attempt.url.substr(kBase.size()));
        FakeAnswer answer;
        answer.body = "ok";
        answer.headers = {{"Content-Length", "2"}};
        return answer;
      }));
  SafeDownloaderSender sender(*downloader_);
  MirrorRequests mirror(runtime_->outbox(), runtime_->store(), sender, [] { return kBase; });
  ClearSent();
  int done = 0;
  mirror.Flush("u1", [&] { ++done; });
  ASSERT_TRUE(loop_.PumpUntil([&] { return done > 0; }, 20s));
  EXPECT_EQ(done, 1);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"api/createplaylist.php",
                                              "api/addmusictoplaylist.php?force=1"}));
  EXPECT_TRUE(Kept().empty());
  downloader_->Shutdown();
}

TEST_F(MirrorRequestsTest, RefusalsAreDroppedWithAMessageAndABusyServiceGetsAFewTries) {
  SetStatus("api/deleteplaylist.php", 404);
  SetStatus("api/clearplaylist.php", 401);
  SetStatus("api/updateplaylist.php", 503);
  mirror_->Send(*ServiceRequests::DeletePlaylist(kList));
  mirror_->Send(ServiceRequests::AddMusic({"7"}));
  Settle();
  // The refused one is dropped and the next goes out at once.
  EXPECT_EQ(Sent(), (std::vector<std::string>{"api/deleteplaylist.php", "api/addmusic.php"}));
  EXPECT_TRUE(Kept().empty());
  EXPECT_EQ(messages_,
            std::vector<std::string>{std::string(MirrorRequests::kRefusedText) + "删除播放列表（404）"});

  // Not logged in (as before the login of a new run): kept, until a login was checked.
  messages_.clear();
  ClearSent();
  mirror_->Send(*ServiceRequests("C").ClearPlaylist(kList));
  Settle();
  EXPECT_EQ(Kept().size(), 1u);
  EXPECT_TRUE(messages_.empty());
  bool done = false;
  mirror_->Flush("u1", [&] { done = true; });
  ASSERT_TRUE(loop_.PumpUntil([&] { return done; }, 20s));
  EXPECT_TRUE(Kept().empty());
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_EQ(Sent().size(), 2u);

  // A busy service: each round is one try; the request goes after kMaxTries.
  messages_.clear();
  mirror_->Send(*ServiceRequests::RenamePlaylist(kList, "新名"));
  Settle();
  for (int round = 1; round < MirrorRequests::kMaxTries; ++round) {
    EXPECT_EQ(Kept().size(), 1u) << round;
    EXPECT_EQ(runtime_->outbox().Entries().front().tries, round);
    bool flushed = false;
    mirror_->Flush("u1", [&] { flushed = true; });
    ASSERT_TRUE(loop_.PumpUntil([&] { return flushed; }, 20s));
  }
  EXPECT_TRUE(Kept().empty());
  EXPECT_EQ(messages_, std::vector<std::string>{std::string(MirrorRequests::kRefusedText) +
                                                "修改名称（503）"});
}

TEST_F(MirrorRequestsTest, ChangesForNobodyOrAnotherUserAreNotSentForThisOne) {
  // Nobody logged in: sent once, as always, and nothing is kept even when it fails.
  SetDown(true);
  runtime_->store().SetCurrentUserField("0");
  mirror_->Send(ServiceRequests::AddMusic({"7"}));
  Settle();
  EXPECT_EQ(Sent(), std::vector<std::string>{"api/addmusic.php"});
  EXPECT_TRUE(Kept().empty());

  // Another user's kept requests wait for that user's login.
  runtime_->store().SetCurrentUserField("u2");
  mirror_->Send(*ServiceRequests::DeletePlaylist(kList));
  Settle();
  SetDown(false);
  ClearSent();
  bool done = false;
  mirror_->Flush("u1", [&] { done = true; });
  EXPECT_TRUE(done) << "nothing of u1's to send: done at once";
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(Kept(), std::vector<std::string>{"api/deleteplaylist.php"});
}

}  // namespace
}  // namespace quillo::service
