// Service calls through the real safe downloader and curl transport against quillo-service:
// what reaches the service (method, form, order, content type, user agent) and what comes back.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>

#include "platform/http/CurlHttpTransport.h"
#include "platform/loop/MainLoop.h"
#include "service/api/AnswerCollectors.h"
#include "service/api/JSRequestHandler.h"
#include "service/api/SafeDownloaderSender.h"
#include "service/api/ServiceRequests.h"
#include "service/transfer/SafeDownloader.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"

namespace quillo::service {
namespace {

using quillo::testing::LoggedServiceRequest;
using quillo::testing::NameValues;

constexpr char kClient[] = "00112233445566778899AABBCCDDEEFF";
constexpr char kList[] = "ABCDEF0123456789ABCDEF0123456789";

class ServiceCallsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    service_ = new quillo::testing::ServiceProcess();
    ASSERT_TRUE(service_->Start()) << service_->error();
  }
  static void TearDownTestSuite() {
    delete service_;
    service_ = nullptr;
  }
  void SetUp() override {
    ASSERT_NE(service_, nullptr);
    ASSERT_TRUE(service_->running());
    service_->ClearFaults();
    service_->ClearLog();
  }

  // Waits until the transfer left the downloader's table (finished and its finish step ran).
  void WaitFor(const std::string& id) {
    ASSERT_FALSE(id.empty());
    ASSERT_TRUE(
        loop_.PumpUntil([&] { return downloader_.Find(id) == nullptr; }, std::chrono::seconds(30)));
  }

  // The one logged request to `path`.
  LoggedServiceRequest Logged(const std::string& path) {
    std::vector<LoggedServiceRequest> matching;
    for (const LoggedServiceRequest& request : service_->RequestLog()) {
      if (request.path == path) matching.push_back(request);
    }
    EXPECT_EQ(matching.size(), 1u) << path;
    return matching.empty() ? LoggedServiceRequest{} : matching.front();
  }

  static void ExpectServiceCall(const LoggedServiceRequest& request) {
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.Header("User-Agent"), "Sorvel Client - 1.3.1");
    EXPECT_EQ(request.Header("Content-Type").rfind("application/x-www-form-urlencoded", 0), 0u)
        << request.Header("Content-Type");
  }

  static quillo::testing::ServiceProcess* service_;
  quillo::testing::TempFolder folder_;
  loop::MainLoop loop_;
  http::CurlHttpTransport transport_{folder_ / "cookies.txt"};
  SafeDownloader downloader_{loop_, transport_};
  SafeDownloaderSender sender_{downloader_};
  JSRequestHandler handler_{sender_, service_->base_url()};
  ServiceRequests requests_{kClient};
};

quillo::testing::ServiceProcess* ServiceCallsTest::service_ = nullptr;

TEST_F(ServiceCallsTest, ThreeSongsAddedToAPlaylistGoOutAsOneFormInNameOrder) {
  WaitFor(handler_.Send(ServiceRequests::AddMusicToPlaylist(kList, {"31", "9", "1"})));
  LoggedServiceRequest request = Logged("/api/addmusictoplaylist.php");
  ExpectServiceCall(request);
  EXPECT_EQ(request.Query("force"), "1");
  // The client orders the body by name; equal names keep the caller's order.
  EXPECT_EQ(
      request.form,
      (NameValues{
          {"musicId[]", "31"}, {"musicId[]", "9"}, {"musicId[]", "1"}, {"playlistId", kList}}));
}

TEST_F(ServiceCallsTest, LyricErrorReportOfNobodySendsUserZero) {
  WaitFor(handler_.Send(ServiceRequests::LyricErrorReport("9", 1, "歌词 & 时间", "")));
  LoggedServiceRequest request = Logged("/api/updatelyricerrortype.php");
  ExpectServiceCall(request);
  EXPECT_EQ(request.form, (NameValues{{"comment", "歌词 & 时间"},
                                      {"lyric_error_type", "2"},
                                      {"musicId", "9"},
                                      {"userId", "0"}}));
}

TEST_F(ServiceCallsTest, LogoutIsAPostWithAnEmptyForm) {
  WaitFor(handler_.Send(ServiceRequests::Logout()));
  LoggedServiceRequest request = Logged("/user/logout.php");
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.Header("User-Agent"), "Sorvel Client - 1.3.1");
  EXPECT_EQ(request.body_bytes, 0);
  EXPECT_TRUE(request.form.empty());
}

TEST_F(ServiceCallsTest, ScrambledChartArrivesAsTextAndAFailedOneDoesNot) {
  AnswerCollectors collectors;
  std::vector<std::optional<std::string>> answers;
  auto fetch = [&] {
    return collectors.Request(
        sender_, service_->base_url() + requests_.DefaultChartList().path, FormParams{},
        std::make_unique<AnswerCollector>(
            AnswerCollector::Form::kScrambled,
            [&answers](std::optional<std::string> text) { answers.push_back(std::move(text)); }));
  };
  WaitFor(fetch());
  ASSERT_EQ(answers.size(), 1u);
  ASSERT_TRUE(answers[0].has_value());
  EXPECT_EQ(answers[0]->rfind("<?xml", 0), 0u) << answers[0]->substr(0, 40);
  EXPECT_NE(answers[0]->find("<list"), std::string::npos);

  ASSERT_GT(service_->AddFault("path=/api/getplaylist.php&kind=status&status=500"), 0);
  WaitFor(fetch());
  ASSERT_EQ(answers.size(), 2u);
  EXPECT_FALSE(answers[1].has_value());
  EXPECT_EQ(collectors.size(), 0u);
}

// Runs quillo-tool with the arguments; its standard output and exit status.
std::pair<std::string, int> RunTool(const std::string& arguments,
                                    const std::string& environment = {}) {
  std::string command =
      environment + std::string(QUILLO_BINARY_DIR) + "/tools/quillo-tool/quillo-tool " + arguments + " 2>&1";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return {output, -1};
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  int status = pclose(pipe);
  return {output, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST_F(ServiceCallsTest, ToolCallPrintsTheDescrambledAnswer) {
  quillo::testing::TempFolder data;
  std::string options = "--data-dir " + data.path() + " --service " + service_->base_url();
  auto [xml, status] =
      RunTool(options + " call 'api/getplaylist.php?client_id=" + std::string(kClient) +
              "&id=1' --scrambled");
  EXPECT_EQ(status, 0) << xml;
  EXPECT_EQ(xml.rfind("<?xml", 0), 0u) << xml.substr(0, 80);
  EXPECT_NE(xml.find("<list"), std::string::npos);

  // Form parameters from the command line reach the service: a login answer names the user.
  auto [login, login_status] =
      RunTool(options + " call 'api/login.php?ie=utf8' name=demo encode=demo --scrambled");
  EXPECT_EQ(login_status, 0) << login;
  EXPECT_NE(login.find("username=\"demo\""), std::string::npos) << login.substr(0, 200);

  // Refused (nobody is logged in for this run): the tool says so, and the form went out whole.
  auto [form, form_status] = RunTool(options + " call api/addmusic.php musicId[]=5 musicId[]=6");
  EXPECT_EQ(form_status, 1) << form;
  EXPECT_EQ(Logged("/api/addmusic.php").FormValues("musicId[]"),
            (std::vector<std::string>{"5", "6"}));

  auto [message, failed] =
      RunTool("--data-dir " + data.path() + " --service http://127.0.0.1:1/ call user/logout.php");
  EXPECT_EQ(failed, 1);
  EXPECT_NE(message.find("failed"), std::string::npos) << message;

  // Without a configured service the embedded one is started; where it cannot be, the tool
  // says what to configure.
  auto [none, unconfigured] = RunTool("--data-dir " + data.path() + " call user/logout.php",
                                      "QUILLO_SERVICE_EXECUTABLE=/nonexistent ");
  EXPECT_EQ(unconfigured, 1);
  EXPECT_NE(none.find("no service configured (set sorvel.service.base_url or pass --service URL)"),
            std::string::npos)
      << none;
}

}  // namespace
}  // namespace quillo::service
