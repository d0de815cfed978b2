// Uploads through the real transport to quillo-service's upload host, and quillo-tool upload.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <future>
#include <optional>
#include <random>
#include <thread>

#include "platform/fs/FileSystem.h"
#include "platform/http/CurlHttpTransport.h"
#include "service/upload/UploadManager.h"
#include "support/ServiceProcess.h"

namespace quillo::service {
namespace {

using namespace std::chrono_literals;

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

class UploadServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ServiceProcess::Options options;
    options.songs = 4;
    service_ = std::make_unique<testing::ServiceProcess>(options);
    ASSERT_TRUE(service_->Start()) << service_->error();
    file_ = folder_ / "upload me.mp3";
    ASSERT_TRUE(fs::WriteFile(file_, bytes_));
  }

  UploadOutcome Upload() {
    http::CurlHttpTransport transport{std::string()};
    UploadManager manager(transport, service_->upload_host());
    std::promise<UploadOutcome> finished;
    UploadJob job;
    job.file_path = file_;
    job.kind = "music";
    EXPECT_TRUE(manager.StartUpload(
        job, [&finished](const UploadOutcome& outcome) { finished.set_value(outcome); }));
    auto future = finished.get_future();
    EXPECT_EQ(future.wait_for(120s), std::future_status::ready);
    return future.get();
  }

  std::vector<testing::LoggedServiceRequest> UploadRequests() const {
    std::vector<testing::LoggedServiceRequest> requests;
    for (const auto& request : service_->RequestLog()) {
      if (request.server == "upload") requests.push_back(request);
    }
    return requests;
  }

  testing::TempFolder folder_;
  std::unique_ptr<testing::ServiceProcess> service_;
  const std::string bytes_ = RandomBytes(2500000, 9);
  std::string file_;
};

TEST_F(UploadServiceTest, FileArrivesWholeInThreeChunks) {
  const UploadOutcome outcome = Upload();
  ASSERT_FALSE(outcome.upload_id.empty());
  EXPECT_TRUE(outcome.complete());
  EXPECT_EQ(outcome.acknowledged_bytes, 2500000u);
  const auto stored =
      fs::ReadWholeFile(service_->data_folder() + "uploads/" + outcome.upload_id + ".part");
  ASSERT_TRUE(stored.has_value());
  EXPECT_TRUE(*stored == bytes_) << "stored " << stored->size() << " bytes";

  const auto requests = UploadRequests();
  ASSERT_EQ(requests.size(), 5u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].Query("action"), "start");
  const std::string seeks[] = {"0", "1024000", "2048000"};
  const std::int64_t sizes[] = {1024000, 1024000, 452000};
  for (int i = 0; i < 3; ++i) {
    const auto& chunk = requests[1 + i];
    EXPECT_EQ(chunk.method, "POST");
    EXPECT_EQ(chunk.Query("action"), "send");
    EXPECT_EQ(chunk.Query("id"), outcome.upload_id);
    EXPECT_EQ(chunk.Query("seek"), seeks[i]);
    EXPECT_EQ(chunk.body_bytes, sizes[i]);
  }
  EXPECT_EQ(requests[4].Query("action"), "end");
  for (const auto& request : requests) {
    EXPECT_EQ(request.Header("User-Agent"), "Sorvel Client - 1.3.1");
    EXPECT_TRUE(request.Header("Connection") == "Keep-Alive" ||
                request.Header("Connection") == "keep-alive");
  }
}

TEST_F(UploadServiceTest, HostRefusingEveryChunkEndsAfterTheAttemptsWithTheEndRequest) {
  ASSERT_GE(service_->AddFault("path=/api/upload.php&match=action=send&kind=status&status=500"), 0);
  const UploadOutcome outcome = Upload();
  ASSERT_FALSE(outcome.upload_id.empty());
  EXPECT_FALSE(outcome.complete());
  int sends = 0;
  int ends = 0;
  for (const auto& request : UploadRequests()) {
    if (request.Query("action") == "send") {
      ++sends;
      EXPECT_EQ(request.Query("seek"), "0");
    }
    if (request.Query("action") == "end") ++ends;
  }
  EXPECT_EQ(sends, 6);
  EXPECT_EQ(ends, 1);
}

// The upload host holds its answer to a chunk for two minutes: destroying the manager ends the
// stalled request through the abort flag and joins the worker long before that.
TEST_F(UploadServiceTest, ShutdownDoesNotWaitForAStalledHost) {
  ASSERT_GE(service_->AddFault("path=/api/upload.php&match=action=send&kind=delay&ms=120000"), 0);
  const auto started = std::chrono::steady_clock::now();
  std::optional<UploadOutcome> outcome;
  {
    http::CurlHttpTransport transport{std::string()};
    UploadManager manager(transport, service_->upload_host());
    UploadJob job;
    job.file_path = file_;
    ASSERT_TRUE(manager.StartUpload(job, [&](const UploadOutcome& result) { outcome = result; }));
    // Until the chunk request has reached the host (it is logged before it is answered).
    for (int i = 0; i < 300; ++i) {
      bool sent = false;
      for (const auto& request : UploadRequests()) sent |= request.Query("action") == "send";
      if (sent) break;
      std::this_thread::sleep_for(100ms);
    }
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, 60s);
  ASSERT_TRUE(outcome.has_value());
  EXPECT_TRUE(outcome->cancelled);
  EXPECT_FALSE(outcome->complete());
}

// quillo-tool upload: to the host given on the command line, then to the one the data folder is
// configured for.
TEST_F(UploadServiceTest, ToolUploadsAndReportsTheAcknowledgedBytes) {
  const std::string data = folder_ / "data/";
  auto run = [&](const std::string& args, std::string& output) {
    const std::string command =
        std::string("'") + QUILLO_TOOL_EXECUTABLE + "' --data-dir '" + data + "' " + args + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    output.clear();
    char buffer[512];
    while (pipe && std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    const int status = pipe ? ::pclose(pipe) : -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  std::string output;
  EXPECT_EQ(run("upload '" + file_ + "' --upload-host " + service_->upload_host(), output), 0)
      << output;
  EXPECT_NE(output.find("acknowledged: 2500000 of 2500000 bytes"), std::string::npos) << output;
  EXPECT_NE(output.find("upload id: "), std::string::npos) << output;

  ASSERT_EQ(run("config set sorvel.service.upload_host " + service_->upload_host(), output), 0);
  EXPECT_EQ(run("upload '" + file_ + "'", output), 0) << output;
  EXPECT_NE(output.find("acknowledged: 2500000 of 2500000 bytes"), std::string::npos) << output;

  // A host that is not there: no id, failure.
  ASSERT_EQ(run("config set sorvel.service.upload_host 127.0.0.1:1", output), 0);
  EXPECT_EQ(run("upload '" + file_ + "'", output), 1) << output;
}

}  // namespace
}  // namespace quillo::service
