// The service client of one process: the addresses it is given late are the ones its parts
// use, the cookie jar's session is taken up only when asked, reading the client id waits for the
// statistics, and shutdown ends every transfer however often it is called.
#include "service/runtime/ServiceRuntime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "platform/loop/MainLoop.h"
#include "service/api/JSRequestHandler.h"
#include "service/api/SafeDownloaderSender.h"
#include "service/api/ServiceEndpoints.h"
#include "service/stats/CStatBtnClick.h"
#include "service/transfer/SafeDownloader.h"
#include "store/DocumentStore.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempFolder.h"

namespace quillo::service {
namespace {

using quillo::testing::ScriptedHttpServer;
using quillo::testing::TempFolder;

constexpr std::chrono::seconds kWait{20};
constexpr const char* kClientIdKey = "sorvel.clientid";

ScriptedHttpServer::Handler AnswerOk() {
  return [](const ScriptedHttpServer::Request&, ScriptedHttpServer::Exchange& exchange) {
    exchange.Send(ScriptedHttpServer::Answer(200, "ok"));
  };
}

std::vector<std::string> Targets(const ScriptedHttpServer& server) {
  std::vector<std::string> targets;
  for (const ScriptedHttpServer::Request& request : server.requests()) {
    targets.push_back(request.target);
  }
  return targets;
}

class ServiceRuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(store_.Open(/*start_saver=*/false)); }

  TempFolder folder_;
  store::DocumentStore store_{folder_.path()};
  loop::MainLoop loop_;
};

TEST_F(ServiceRuntimeTest, AddressesSetAfterConstructionAreReadAtEachRequest) {
  ScriptedHttpServer first(AnswerOk());
  ScriptedHttpServer second(AnswerOk());
  ServiceRuntime runtime(loop_, store_);
  EXPECT_FALSE(runtime.endpoints().known());

  runtime.endpoints().Set(EndpointsForBaseUrl(first.Url("/one/")));
  EXPECT_FALSE(runtime.sender().Send(ServiceCall{"api/a.php", {{"k", "1"}}}).empty());
  ASSERT_TRUE(runtime.request_sender().Drain(loop_, kWait));

  // The service moved (the embedded one came up, or another was configured): the sender and
  // the statistics follow without anything being made again.
  runtime.endpoints().Set(EndpointsForBaseUrl(second.Url("/two")));
  runtime.sender().Send(ServiceCall{"api/b.php", {}});
  runtime.statistics().SendReport();
  EXPECT_FALSE(runtime.statistics().pending_report_id().empty());
  ASSERT_TRUE(runtime.request_sender().Drain(loop_, kWait));

  EXPECT_EQ(Targets(first), std::vector<std::string>{"/one/api/a.php"});
  const std::vector<std::string> moved = Targets(second);
  ASSERT_EQ(moved.size(), 2u);
  for (const std::string& target : moved) EXPECT_EQ(target.rfind("/two/", 0), 0u) << target;
  EXPECT_NE(std::find(moved.begin(), moved.end(), "/two/api/b.php"), moved.end());
  const std::string client_id = store_.GetConfigText(kClientIdKey);
  ASSERT_EQ(client_id.size(), 32u);
  for (const ScriptedHttpServer::Request& request : second.requests()) {
    EXPECT_EQ(request.method, "POST");
    if (request.target != "/two/api/b.php") {
      EXPECT_NE(request.body.find(client_id), std::string::npos)
          << "the report names the installation";
    }
  }
}

TEST_F(ServiceRuntimeTest, TheJarsSessionCookieIsSentOnlyWhenTheSessionContinues) {
  ScriptedHttpServer server(AnswerOk());
  // A login cookie without expiry, as the service sets it, left by an earlier run.
  std::ofstream(folder_.path() + "cookies.txt")
      << "# Netscape HTTP Cookie File\n127.0.0.1\tFALSE\t/\tFALSE\t0\tsession\tabc123\n";

  for (http::CookieSessions sessions :
       {http::CookieSessions::kNew, http::CookieSessions::kContinue}) {
    ServiceRuntime runtime(loop_, store_, sessions);
    runtime.endpoints().Set(EndpointsForBaseUrl(server.Url("/")));
    runtime.sender().Send(ServiceCall{"api/who.php", {}});
    ASSERT_TRUE(runtime.request_sender().Drain(loop_, kWait));
  }
  const std::vector<ScriptedHttpServer::Request> requests = server.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].Header("Cookie"), "") << "a new run starts a new browsing session";
  EXPECT_EQ(requests[1].Header("Cookie"), "session=abc123") << "a tool command continues it";
}

// A command that only downloads must leave the data folder's configuration as it found it.
TEST_F(ServiceRuntimeTest, TheClientIdIsReadOnlyWhenTheStatisticsAreFirstUsed) {
  ScriptedHttpServer server(
      [](const ScriptedHttpServer::Request&, ScriptedHttpServer::Exchange& exchange) {
        exchange.Send(ScriptedHttpServer::Answer(200, std::string(1000, 'x')));
      });
  ServiceRuntime runtime(loop_, store_);
  bool finished = false;
  struct Done : SafeDownloaderCallback {
    explicit Done(bool& flag) : flag_(flag) {}
    void OnFinish(TransferRecord&) override { flag_ = true; }
    bool& flag_;
  } done(finished);
  const std::string target = folder_.path() + "file.bin";
  runtime.downloader().Download(server.Url("/file.bin"), target, &done, false, 0, 0);
  ASSERT_TRUE(loop_.PumpUntil([&] { return finished; }, kWait));
  EXPECT_TRUE(fs::FileExists(target));
  EXPECT_EQ(store_.GetConfigText(kClientIdKey), "");

  runtime.statistics();
  EXPECT_EQ(store_.GetConfigText(kClientIdKey).size(), 32u);
}

TEST_F(ServiceRuntimeTest, ShutdownEndsTransfersAndTheReportTimerAndMayRunTwice) {
  ScriptedHttpServer server([](const ScriptedHttpServer::Request&,
                               ScriptedHttpServer::Exchange& exchange) { exchange.Stall(); });
  {
    ServiceRuntime runtime(loop_, store_);
    runtime.endpoints().Set(EndpointsForBaseUrl(server.Url("/")));
    runtime.StartStatistics();
    EXPECT_TRUE(runtime.statistics().report_timer_running());
    const std::string id = runtime.sender().Send(ServiceCall{"api/stall.php", {}});
    ASSERT_FALSE(id.empty());
    EXPECT_NE(runtime.downloader().Find(id), nullptr);

    runtime.Shutdown();
    EXPECT_EQ(runtime.downloader().Find(id), nullptr);
    EXPECT_EQ(runtime.request_sender().pending(), 0u);
    EXPECT_FALSE(runtime.statistics().report_timer_running());
    runtime.Shutdown();
    // Nothing starts after shutdown.
    EXPECT_EQ(runtime.sender().Send(ServiceCall{"api/late.php", {}}), "");
  }  // The destructor shuts down a third time.
  loop_.PumpPending();
}

}  // namespace
}  // namespace quillo::service
