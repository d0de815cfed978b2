#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "RecordingNotifier.h"
#include "fakes/FakeTransferClient.h"
#include "platform/fs/FileSystem.h"
#include "platform/loop/MainLoop.h"
#include "playback/CacheManager.h"
#include "playback/VersionCheck.h"
#include "service/api/ServiceFileUrls.h"
#include "service/transfer/SafeDownloader.h"
#include "support/TempFolder.h"

namespace quillo::playback {
namespace {
using namespace std::chrono_literals;
using service::TransferStatus;

constexpr const char* kTitle = "Zelbo音乐提示您";
constexpr const char* kText = "升级程序已下载完，您下次打开\nZelbo音乐时系统将自动完成更新";

// The downloader answers every request with `body_` (announcing its length unless told not to).
class CacheManagerTest : public ::testing::Test {
 protected:
  CacheManagerTest() {
    auto client = std::make_unique<quillo::testing::FakeTransferClient>(
        [this](const quillo::testing::FakeAttempt& attempt, int) {
          quillo::testing::FakeAnswer answer;
          urls_.push_back(attempt.url);
          answer.body = body_;
          if (announce_length_) answer.headers = {{"Content-Length", std::to_string(body_.size())}};
          return answer;
        });
    downloader_ = std::make_unique<service::SafeDownloader>(loop_, std::move(client));
    manager_ = std::make_unique<CacheManager>(*downloader_, &notifier_);
  }

  // Runs the version check into the temporary program folder until the transfer has finished.
  void RunVersionCheck() {
    std::string id = StartVersionCheck(*manager_, "http://127.0.0.1:9/", folder_.path());
    ASSERT_FALSE(id.empty());
    ASSERT_TRUE(loop_.PumpUntil([&] { return downloader_->Find(id) == nullptr; }, 30s));
  }

  loop::MainLoop loop_;
  quillo::testing::TempFolder folder_;
  std::string body_;
  bool announce_length_ = true;
  std::vector<std::string> urls_;  // written on the worker, read after the transfer ended
  testing::RecordingNotifier notifier_;
  std::unique_ptr<service::SafeDownloader> downloader_;
  std::unique_ptr<CacheManager> manager_;
};

TEST_F(CacheManagerTest, UpdatePackageIsKeptFromTwoHundredThousandBytes) {
  struct Case {
    std::size_t size;
    bool announce_length;
    bool kept;
  };
  const Case cases[] = {{199999, true, false},
                        {200000, true, true},
                        {300001, true, true},
                        {6, true, false},
                        // The rule goes by the announced length: an answer without one is no
                        // update, however long.
                        {250000, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    notifier_.notices.clear();
    fs::RemoveFile(folder_ / "kv.ex_");
    body_ = std::string(c.size, 'u');
    announce_length_ = c.announce_length;
    RunVersionCheck();
    EXPECT_FALSE(fs::PathExists(folder_ / "kv.ex_.part"));
    if (c.kept) {
      EXPECT_EQ(fs::ReadWholeFile(folder_ / "kv.ex_"), body_);
      ASSERT_EQ(notifier_.notices.size(), 1u);
      EXPECT_EQ(notifier_.notices[0].first, kTitle);
      EXPECT_EQ(notifier_.notices[0].second, kText);
    } else {
      EXPECT_FALSE(fs::PathExists(folder_ / "kv.ex_"));
      EXPECT_TRUE(notifier_.notices.empty());
    }
  }
  ASSERT_FALSE(urls_.empty());
  EXPECT_EQ(urls_.back(), "http://127.0.0.1:9/api/checkversion.php?version=1.3.1");
}

TEST_F(CacheManagerTest, AnyOtherFileIsMovedToItsNameWhateverItsSize) {
  body_ = "lyric";
  std::string id = manager_->Fetch("http://127.0.0.1:9/x.lrc", folder_ / "song.lrc");
  ASSERT_TRUE(loop_.PumpUntil([&] { return downloader_->Find(id) == nullptr; }, 30s));
  EXPECT_EQ(fs::ReadWholeFile(folder_ / "song.lrc"), "lyric");
  EXPECT_FALSE(fs::PathExists(folder_ / "song.lrc.part"));
  EXPECT_TRUE(notifier_.notices.empty());
}

TEST_F(CacheManagerTest, CompletionRules) {
  struct Case {
    const char* name;
    TransferStatus status;
    const char* downloaded;  // the file the transfer wrote (created unless "missing")
    bool create;
    const char* existing_final;  // made before, or empty
    std::uint64_t total;
    const char* expect_present;  // after completion
    const char* expect_absent;
    int notices;
  };
  const Case cases[] = {
      {"failed", TransferStatus::kFailed, "kv.ex_.part", true, "", 300000, "kv.ex_.part", "kv.ex_",
       0},
      {"cancelled", TransferStatus::kCancelled, "a.mp3.part", true, "", 10, "a.mp3.part", "a.mp3",
       0},
      {"no .part", TransferStatus::kFinished, "kv.ex_", true, "", 300000, "kv.ex_", "", 0},
      {"package missing", TransferStatus::kFinished, "kv.ex_.part", false, "", 300000, "", "kv.ex_",
       0},
      {"package replaces an old one", TransferStatus::kFinished, "kv.ex_.part", true, "kv.ex_",
       200000, "kv.ex_", "kv.ex_.part", 1},
      {"short package keeps the old one", TransferStatus::kFinished, "kv.ex_.part", true, "kv.ex_",
       199999, "kv.ex_", "kv.ex_.part", 0},
      {"other file replaces", TransferStatus::kFinished, "b.wma.part", true, "b.wma", 3, "b.wma",
       "b.wma.part", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    quillo::testing::TempFolder folder;
    notifier_.notices.clear();
    if (c.create) {
      ASSERT_TRUE(fs::WriteFile(folder / c.downloaded, "new"));
    }
    if (*c.existing_final) {
      ASSERT_TRUE(fs::WriteFile(folder / c.existing_final, "old"));
    }
    manager_->Complete(c.status, folder / c.downloaded, c.total);
    if (*c.expect_present) {
      EXPECT_TRUE(fs::FileExists(folder / c.expect_present));
    }
    if (*c.expect_absent) {
      EXPECT_FALSE(fs::PathExists(folder / c.expect_absent));
    }
    EXPECT_EQ(static_cast<int>(notifier_.notices.size()), c.notices);
    if (c.notices > 0) {
      EXPECT_EQ(fs::ReadWholeFile(folder / "kv.ex_"), "new");
    }
  }
}

TEST_F(CacheManagerTest, AnEmptyFolderInTheWayIsRemovedAndTheMoveRetried) {
  ASSERT_TRUE(fs::CreateFolders(folder_ / "kv.ex_"));
  ASSERT_TRUE(fs::WriteFile(folder_ / "kv.ex_.part", "pkg"));
  manager_->Complete(TransferStatus::kFinished, folder_ / "kv.ex_.part", 200000);
  EXPECT_EQ(fs::ReadWholeFile(folder_ / "kv.ex_"), "pkg");
  EXPECT_EQ(notifier_.notices.size(), 1u);
}

TEST(VersionCheckTest, UrlIsTheCataloguesAndThePackageLiesInTheProgramFolder) {
  service::ServiceEndpoints endpoints{"http://127.0.0.1:8080/svc/", "127.0.0.1:8081",
                                      "http://127.0.0.1:8080/"};
  EXPECT_EQ(VersionCheckUrl(endpoints.base_url),
            service::ServiceFileUrls(endpoints, "client").VersionCheck().url);
  EXPECT_EQ(VersionCheckUrl("http://h/"), "http://h/api/checkversion.php?version=1.3.1");
  EXPECT_EQ(UpdatePackagePath("/opt/zelbo music/"), "/opt/zelbo music/kv.ex_");
}

}  // namespace
}  // namespace quillo::playback
