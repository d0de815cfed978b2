// The safe downloader over the real client library and transport against quillo-service and its
// fault rules.
#include <gtest/gtest.h>

#include <chrono>

#include "RecordingCallback.h"
#include "platform/fs/FileSystem.h"
#include "platform/http/CurlHttpTransport.h"
#include "platform/loop/MainLoop.h"
#include "service/transfer/SafeDownloader.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"

namespace quillo::service {
namespace {
using namespace std::chrono_literals;
using testing::PatternBytes;
using testing::RecordingCallback;

constexpr std::size_t kFileSize = 3145728;
constexpr const char* kPackagePath = "/api/checkversion.php";

class ServiceTransferTest : public ::testing::Test {
 protected:
  // One service for the suite; it serves a 3145728-byte file as its update package.
  static void SetUpTestSuite() {
    package_folder_ = new testing::TempFolder();
    package_ = new std::string(PatternBytes(kFileSize));
    ASSERT_TRUE(fs::WriteFile(*package_folder_ / "package.bin", *package_));
    testing::ServiceProcess::Options options;
    options.extra_args = {"--update-package", *package_folder_ / "package.bin"};
    service_ = new testing::ServiceProcess(options);
    ASSERT_TRUE(service_->Start()) << service_->error();
  }
  static void TearDownTestSuite() {
    delete service_;
    delete package_;
    delete package_folder_;
  }
  void SetUp() override {
    service_->ClearFaults();
    service_->ClearLog();
  }

  std::string PackageUrl() const {
    return service_->base_url() + "api/checkversion.php?version=0.1";
  }
  bool WaitFinished(RecordingCallback& callback) {
    return loop_.PumpUntil([&] { return callback.finishes > 0; }, 60s);
  }
  static std::vector<testing::LoggedServiceRequest> Logged(const std::string& path_prefix) {
    std::vector<testing::LoggedServiceRequest> found;
    for (auto& request : service_->RequestLog()) {
      if (request.path.rfind(path_prefix, 0) == 0) found.push_back(request);
    }
    return found;
  }

  static inline testing::TempFolder* package_folder_ = nullptr;
  static inline std::string* package_ = nullptr;
  static inline testing::ServiceProcess* service_ = nullptr;

  loop::MainLoop loop_;
  http::CurlHttpTransport transport_{""};
  testing::TempFolder folder_;
  SafeDownloader downloader_{loop_, transport_};
};

TEST_F(ServiceTransferTest, DroppedDownloadResumesWithRangeAndCompletesByteExact) {
  ASSERT_GE(service_->AddFault("path=/api/checkversion.php&kind=drop_after&bytes=1048576&count=1"),
            0);
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "package.bin";
  downloader_.Download(PackageUrl(), target, &callback, false, 512000, 0);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  EXPECT_TRUE(fs::ReadWholeFile(target) == *package_);
  const auto requests = Logged(kPackagePath);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].Header("Range"), "");
  EXPECT_EQ(requests[1].Header("Range"), "bytes=1048576-");
  EXPECT_EQ(requests[1].Header("User-Agent"), "Sorvel Client - 1.3.1");
}

TEST_F(ServiceTransferTest, WrongContentRangeGivesUpTheUrl) {
  ASSERT_GE(service_->AddFault("path=/api/checkversion.php&kind=drop_after&bytes=1048576&count=1"),
            0);
  ASSERT_GE(service_->AddFault("path=/api/checkversion.php&kind=wrong_content_range&count=1"), 0);
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "package.bin";
  downloader_.Download(PackageUrl(), target, &callback, false, 0, 0);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFailed);
  EXPECT_EQ(Logged(kPackagePath).size(), 2u);
  EXPECT_FALSE(fs::PathExists(target));
}

TEST_F(ServiceTransferTest, ShortAnswerUnderTheMinimumLeavesNoFile) {
  ASSERT_GE(service_->AddFault("path=/api/checkversion.php&kind=cut&bytes=300&count=1"), 0);
  RecordingCallback callback(loop_);
  downloader_.Download(PackageUrl(), folder_ / "package.bin", &callback, false, 512000, 0);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFailed);
  EXPECT_EQ(callback.starts, 0);
  EXPECT_EQ(Logged(kPackagePath).size(), 1u);
  EXPECT_TRUE(fs::ListFolder(folder_.path()).empty());
}

TEST_F(ServiceTransferTest, MissingContentLengthFinishesAtEndOfData) {
  ASSERT_GE(service_->AddFault("path=/api/checkversion.php&kind=no_content_length&count=1"), 0);
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "package.bin";
  downloader_.Download(PackageUrl(), target, &callback, false, 0, 0);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  EXPECT_EQ(callback.starts, 1);
  EXPECT_TRUE(fs::ReadWholeFile(target) == *package_);
}

TEST_F(ServiceTransferTest, MirrorListOfTwoQlfss1Entries) {
  const testing::ServiceSong* song = nullptr;
  const auto catalogue = service_->Catalogue();
  for (const auto& candidate : catalogue) {
    if (candidate.mirror == "qlfss-pair" && candidate.format == "mp3") song = &candidate;
  }
  ASSERT_NE(song, nullptr) << "the catalogue has no MP3 song with a qlfss pair";
  ASSERT_GE(service_->AddFault("path=/qlfss/a/*&kind=drop_after&bytes=4096"), 0);
  RecordingCallback callback(loop_);
  downloader_.Download(
      service_->base_url() + "music/download.php?id=" + song->id + "&type=download&client_id=1",
      folder_ / (song->id + ".part"), &callback, true, 0, 0);
  ASSERT_TRUE(WaitFinished(callback));
  EXPECT_EQ(callback.status, TransferStatus::kFinished);
  EXPECT_EQ(callback.final_path, folder_ / (song->id + ".mp3"));
  EXPECT_TRUE(fs::ReadWholeFile(folder_ / (song->id + ".mp3")) ==
              fs::ReadWholeFile(song->audio_file));
  EXPECT_EQ(fs::ListFolder(folder_.path()), std::vector<std::string>{song->id + ".mp3"});
  const auto first = Logged("/qlfss/a/");
  ASSERT_EQ(first.size(), 8u);
  for (std::size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].Header("Range"), i == 0 ? "" : "bytes=" + std::to_string(i * 4096) + "-");
  }
  const auto second = Logged("/qlfss/b/");
  ASSERT_EQ(second.size(), 1u);
  EXPECT_EQ(second[0].Header("Range"), "");
}

TEST_F(ServiceTransferTest, CancelRemovesTheFileAtOnceWithoutCallback) {
  ASSERT_GE(service_->AddFault("path=/api/checkversion.php&kind=throttle&bytes_per_second=100000"),
            0);
  RecordingCallback callback(loop_);
  const std::string target = folder_ / "package.bin";
  const std::string id = downloader_.Download(PackageUrl(), target, &callback, false, 0, 0);
  ASSERT_TRUE(loop_.PumpUntil([&] { return callback.data.size() >= 20000; }, 30s));
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

// Last: the delayed answers keep the service's threads asleep until it stops.
TEST_F(ServiceTransferTest, ZShutdownWithTenStalledTransfers) {
  ASSERT_GE(service_->AddFault("path=/api/checkversion.php&kind=delay&ms=60000"), 0);
  RecordingCallback callback(loop_);
  for (int i = 0; i < 10; ++i) {
    downloader_.Download(PackageUrl(), folder_ / std::to_string(i), &callback, false, 0, 0);
  }
  loop_.PumpUntil([] { return false; }, 300ms);  // let the requests go out
  const auto begin = std::chrono::steady_clock::now();
  downloader_.Shutdown();
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 2s);
  loop_.PumpUntil([] { return false; }, 200ms);
  EXPECT_EQ(callback.starts + callback.data_calls + callback.finishes, 0);
  EXPECT_TRUE(fs::ListFolder(folder_.path()).empty());
}

}  // namespace
}  // namespace quillo::service
