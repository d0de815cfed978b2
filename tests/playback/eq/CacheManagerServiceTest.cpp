// The version check over the real downloader and transport against quillo-service, whose update
// package the test sets through its control page.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "RecordingNotifier.h"
#include "platform/fs/FileSystem.h"
#include "platform/http/CurlHttpTransport.h"
#include "platform/loop/MainLoop.h"
#include "playback/CacheManager.h"
#include "playback/VersionCheck.h"
#include "service/transfer/SafeDownloader.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"

namespace quillo::playback {
namespace {
using namespace std::chrono_literals;

class CacheManagerServiceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    service_ = new quillo::testing::ServiceProcess();
    ASSERT_TRUE(service_->Start()) << service_->error();
  }
  static void TearDownTestSuite() {
    delete service_;
    service_ = nullptr;
  }

  // Offers a package of `size` bytes (0: none) and runs the version check to its end.
  void CheckWithPackage(std::size_t size) {
    std::string file;
    if (size > 0) {
      package_.clear();
      for (std::size_t i = 0; i < size; ++i) package_ += static_cast<char>('a' + i % 26);
      file = packages_ / ("package-" + std::to_string(size));
      ASSERT_TRUE(fs::WriteFile(file, package_));
    }
    service_->Control("action=update_package&file=" +
                      quillo::testing::ServiceProcess::UrlEncode(file));
    std::string id = StartVersionCheck(manager_, service_->base_url(), program_folder_.path());
    ASSERT_FALSE(id.empty());
    ASSERT_TRUE(loop_.PumpUntil([&] { return downloader_.Find(id) == nullptr; }, 60s));
  }

  static inline quillo::testing::ServiceProcess* service_ = nullptr;
  loop::MainLoop loop_;
  http::CurlHttpTransport transport_{""};
  service::SafeDownloader downloader_{loop_, transport_};
  testing::RecordingNotifier notifier_;
  CacheManager manager_{downloader_, &notifier_};
  quillo::testing::TempFolder packages_;
  quillo::testing::TempFolder program_folder_;
  std::string package_;
};

TEST_F(CacheManagerServiceTest, PackageOfExactly200000BytesIsKeptAndAnnounced) {
  CheckWithPackage(200000);
  EXPECT_EQ(fs::ReadWholeFile(program_folder_ / "kv.ex_"), package_);
  EXPECT_FALSE(fs::PathExists(program_folder_ / "kv.ex_.part"));
  ASSERT_EQ(notifier_.notices.size(), 1u);
  EXPECT_EQ(notifier_.notices[0].first, "Zelbo音乐提示您");
}

TEST_F(CacheManagerServiceTest, ShorterAnswersLeaveNoPackageAndNoNotice) {
  for (std::size_t size : {std::size_t{199999}, std::size_t{0}}) {
    SCOPED_TRACE(size);
    CheckWithPackage(size);
    EXPECT_FALSE(fs::PathExists(program_folder_ / "kv.ex_"));
    EXPECT_FALSE(fs::PathExists(program_folder_ / "kv.ex_.part"));
    EXPECT_TRUE(notifier_.notices.empty());
  }
  // The service saw the program's version.
  bool asked = false;
  for (const auto& request : service_->RequestLog()) {
    if (request.path == "/api/checkversion.php") asked = request.Query("version") == "1.3.1";
  }
  EXPECT_TRUE(asked);
}

}  // namespace
}  // namespace quillo::playback
