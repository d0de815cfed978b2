// The embedded service with stand-in programs (shell scripts that play a service): its line,
// its failures, and the start-up choice between a configured service and the embedded one.
#include "service/embedded/EmbeddedService.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>

#include "platform/fs/FileSystem.h"
#include "platform/loop/LoopTarget.h"
#include "platform/loop/MainLoop.h"
#include "service/embedded/DefaultService.h"
#include "service/embedded/ServiceExecutable.h"
#include "support/TempFolder.h"

namespace quillo::service {
namespace {

using namespace std::chrono_literals;

bool Gone(long pid) {
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

TEST(EmbeddedServiceTest, ListeningLine) {
  const std::string good = "listening on http://127.0.0.1:47297/ upload 127.0.0.1:39263";
  const auto endpoints = EndpointsFromListeningLine(good);
  ASSERT_TRUE(endpoints.has_value());
  EXPECT_EQ(endpoints->base_url, "http://127.0.0.1:47297/");
  EXPECT_EQ(endpoints->web_site, "http://127.0.0.1:47297/");
  EXPECT_EQ(endpoints->upload_host, "127.0.0.1:39263");
  EXPECT_TRUE(EndpointsFromListeningLine(good + "\r").has_value());
  for (const std::string bad :
       {"", "listening on http://127.0.0.1:0/ upload 127.0.0.1:1",
        "listening on http://127.0.0.1:65536/ upload 127.0.0.1:1",
        "listening on http://127.0.0.1:80/ upload 127.0.0.1:",
        "listening on http://127.0.0.1:80/ upload 127.0.0.1:81x",
        "listening on http://10.0.0.1:80/ upload 127.0.0.1:81",
        "listening on http://127.0.0.1:80 upload 127.0.0.1:81",
        "quillo-service: generating a catalogue of 40 songs",
        "listening on http://127.0.0.1:99999999999999999999/ upload 127.0.0.1:81"}) {
    EXPECT_FALSE(EndpointsFromListeningLine(bad).has_value()) << bad;
  }
}

TEST(EmbeddedServiceTest, InstalledServiceFolderIsTheUsualLayout) {
  // Configured from the install folders; the package installs quillo in bin/ and the service
  // in libexec/quillo/ under one prefix.
  EXPECT_EQ(InstalledServiceFolder(), "../libexec/quillo/");
}

TEST(EmbeddedServiceTest, ExecutableLookupOrder) {
  struct Case {
    std::string configured, program_folder, search_path;
    std::vector<std::string> executables;
    std::string expected;
  };
  const Case cases[] = {
      {"/opt/svc", "/app/", "/usr/bin", {"/opt/svc", "/app/quillo-service"}, "/opt/svc"},
      {"/opt/missing", "/app/", "/usr/bin", {"/app/quillo-service"}, ""},
      {"",
       "/b/app/",
       "/usr/bin",
       {"/b/app/quillo-service", "/usr/bin/quillo-service"},
       "/b/app/quillo-service"},
      {"",
       "/b/app/",
       "/usr/bin",
       {"/b/app/../service-stub/quillo-service"},
       "/b/app/../service-stub/quillo-service"},
      {"",
       "/b/tools/quillo-tool/",
       "",
       {"/b/tools/quillo-tool/../../service-stub/quillo-service"},
       "/b/tools/quillo-tool/../../service-stub/quillo-service"},
      {"",
       "/app/",
       "/x::/usr/local/bin/",
       {"/usr/local/bin/quillo-service"},
       "/usr/local/bin/quillo-service"},
      {"", "/app/", ":/x", {"quillo-service", "/quillo-service"}, ""},
      {"", "", "", {}, ""},
      // Installed: the service in the libexec folder wins over one beside the program or on
      // $PATH, and its path is given without "..".
      {"",
       "/usr/bin/",
       "/usr/bin:/usr/local/bin",
       {"/usr/libexec/quillo/quillo-service", "/usr/bin/quillo-service",
        "/usr/local/bin/quillo-service"},
       "/usr/libexec/quillo/quillo-service"},
      {"",
       "/stage/usr/bin/",
       "",
       {"/stage/usr/libexec/quillo/quillo-service"},
       "/stage/usr/libexec/quillo/quillo-service"},
      {"/opt/svc",
       "/usr/bin/",
       "",
       {"/opt/svc", "/usr/libexec/quillo/quillo-service"},
       "/opt/svc"},
  };
  for (const Case& c : cases) {
    auto is_executable = [&](const std::string& path) {
      return std::find(c.executables.begin(), c.executables.end(), path) != c.executables.end();
    };
    EXPECT_EQ(FindServiceExecutable(c.configured, c.program_folder, c.search_path, is_executable),
              c.expected)
        << c.configured << " " << c.program_folder << " " << c.search_path;
  }
}

class ScriptedServiceTest : public ::testing::Test {
 protected:
  // A program standing in for the service: records its arguments, then runs `body`.
  std::string Script(const std::string& body) {
    const std::string path = folder_ / ("service" + std::to_string(++scripts_) + ".sh");
    EXPECT_TRUE(fs::WriteFile(
        path, "#!/bin/sh\necho \"$@\" > '" + folder_.path() + "arguments'\n" + body + "\n"));
    ::chmod(path.c_str(), 0755);
    return path;
  }
  EmbeddedServiceOptions Options(const std::string& executable) {
    EmbeddedServiceOptions options;
    options.executable = executable;
    options.data_folder = folder_ / "data/service/";
    options.ready_timeout = 30s;
    options.stop_grace = 10s;
    return options;
  }
  static constexpr const char* kListening =
      "echo 'quillo-service: preparing'; echo 'listening on http://127.0.0.1:4001/ upload "
      "127.0.0.1:4002'; exec sleep 60";

  testing::TempFolder folder_;
  int scripts_ = 0;
};

TEST_F(ScriptedServiceTest, ReadyServiceGivesItsEndpointsAndStopLeavesNoChild) {
  EmbeddedService service;
  std::optional<ServiceEndpoints> delivered;
  int deliveries = 0;
  ASSERT_TRUE(service.Start(Options(Script(kListening)), [&](const auto& endpoints) {
    delivered = endpoints;
    ++deliveries;
  }));
  const auto endpoints = service.WaitForEndpoints(60s);
  ASSERT_TRUE(endpoints.has_value()) << service.error();
  EXPECT_EQ(endpoints->base_url, "http://127.0.0.1:4001/");
  EXPECT_EQ(endpoints->upload_host, "127.0.0.1:4002");
  const long pid = service.pid();
  ASSERT_GT(pid, 0);
  service.Stop();
  EXPECT_TRUE(Gone(pid));
  EXPECT_EQ(service.pid(), 0);
  EXPECT_EQ(deliveries, 1);
  ASSERT_TRUE(delivered.has_value());
  EXPECT_EQ(delivered->upload_host, "127.0.0.1:4002");
  EXPECT_EQ(fs::ReadWholeFile(folder_ / "arguments"),
            "--port 0 --upload-port 0 --data " + folder_.path() + "data/service/\n");
}

TEST_F(ScriptedServiceTest, ServiceThatEndsOrNeverAnswersIsReportedOnce) {
  struct Case {
    std::string body;
    std::string error_part;
  };
  for (const Case& c :
       {Case{"echo 'not the line'; exit 1", "ended"}, Case{"exec sleep 60", "did not get ready"}}) {
    EmbeddedService service;
    EmbeddedServiceOptions options = Options(Script(c.body));
    options.ready_timeout = 300ms;
    int deliveries = 0;
    bool got_endpoints = true;
    ASSERT_TRUE(service.Start(options, [&](const auto& endpoints) {
      ++deliveries;
      got_endpoints = endpoints.has_value();
    }));
    EXPECT_FALSE(service.WaitForEndpoints(60s).has_value());
    const long pid = service.pid();
    service.Stop();
    EXPECT_TRUE(Gone(pid));
    EXPECT_EQ(deliveries, 1);
    EXPECT_FALSE(got_endpoints);
    EXPECT_NE(service.error().find(c.error_part), std::string::npos) << service.error();
  }
}

// While the service is still preparing it is killed at once: Stop does not wait out the grace
// time of a service that takes SIGTERM only once it serves.
TEST_F(ScriptedServiceTest, StopBeforeReadyDoesNotWaitForTheGraceTime) {
  EmbeddedService service;
  EmbeddedServiceOptions options = Options(Script("trap '' TERM; exec sleep 60"));
  options.stop_grace = 10min;
  int deliveries = 0;
  ASSERT_TRUE(service.Start(options, [&](const auto&) { ++deliveries; }));
  const long pid = service.pid();
  service.Stop();
  EXPECT_TRUE(Gone(pid));
  EXPECT_EQ(deliveries, 0) << "no answer is delivered during Stop";
}

TEST_F(ScriptedServiceTest, MissingProgramDoesNotStart) {
  EmbeddedService service;
  EXPECT_FALSE(service.Start(Options(folder_ / "missing")));
  EXPECT_FALSE(service.error().empty());
  EXPECT_FALSE(service.WaitForEndpoints(1s).has_value());
}

// The start-up choice, with the stand-in program found through the environment.
class DefaultServiceTest : public ScriptedServiceTest {
 protected:
  DefaultServiceTest() {
    const char* old = std::getenv("QUILLO_SERVICE_EXECUTABLE");
    if (old) saved_ = old;
  }
  ~DefaultServiceTest() override {
    if (saved_) {
      ::setenv("QUILLO_SERVICE_EXECUTABLE", saved_->c_str(), 1);
    } else {
      ::unsetenv("QUILLO_SERVICE_EXECUTABLE");
    }
  }
  std::optional<std::string> saved_;
  loop::MainLoop loop_;
};

TEST_F(DefaultServiceTest, ConfiguredBaseUrlStartsNoChild) {
  const std::string marker = folder_ / "started";
  ::setenv("QUILLO_SERVICE_EXECUTABLE", Script("touch '" + marker + "'\n" + kListening).c_str(), 1);
  loop::LoopTarget target(loop_);
  std::ostringstream errors;
  int deliveries = 0;
  auto service = StartServiceUnlessConfigured(
      "http://music.example.org/", "/nowhere/", folder_ / "data/", target,
      [&](const auto&) { ++deliveries; }, errors);
  EXPECT_EQ(service, nullptr);
  loop_.PumpUntil([] { return false; }, 200ms);
  EXPECT_FALSE(fs::FileExists(marker));
  EXPECT_EQ(deliveries, 0);
  EXPECT_EQ(errors.str(), "");
}

TEST_F(DefaultServiceTest, UnconfiguredStartsTheServiceAndDeliversOnTheWindowThread) {
  const std::string marker = folder_ / "started";
  ::setenv("QUILLO_SERVICE_EXECUTABLE", Script("touch '" + marker + "'\n" + kListening).c_str(), 1);
  loop::LoopTarget target(loop_);
  std::ostringstream errors;
  std::optional<ServiceEndpoints> delivered;
  bool on_window_thread = false;
  auto service = StartServiceUnlessConfigured(
      "  ", "/nowhere/", folder_ / "data/", target,
      [&](const std::optional<ServiceEndpoints>& endpoints) {
        on_window_thread = loop_.IsWindowThread();
        delivered = endpoints;
      },
      errors);
  ASSERT_NE(service, nullptr);
  EXPECT_TRUE(loop_.PumpUntil([&] { return delivered.has_value(); }, 60s));
  EXPECT_TRUE(on_window_thread);
  EXPECT_TRUE(fs::FileExists(marker));
  ASSERT_TRUE(delivered.has_value());
  EXPECT_EQ(delivered->base_url, "http://127.0.0.1:4001/");
  const long pid = service->pid();
  service.reset();
  EXPECT_TRUE(Gone(pid));
  EXPECT_EQ(errors.str(), "");
}

TEST_F(DefaultServiceTest, ServiceThatCannotStartOrFailsIsReportedOnceAndTheProgramGoesOn) {
  loop::LoopTarget target(loop_);
  {
    ::setenv("QUILLO_SERVICE_EXECUTABLE", (folder_ / "missing").c_str(), 1);
    std::ostringstream errors;
    auto service = StartServiceUnlessConfigured(
        "", "/nowhere/", folder_ / "data/", target, [](const auto&) {}, errors);
    EXPECT_EQ(service, nullptr);
    const std::string text = errors.str();
    EXPECT_NE(text.find("running without a service"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
  }
  ::setenv("QUILLO_SERVICE_EXECUTABLE", Script("exit 2").c_str(), 1);
  std::ostringstream errors;
  bool answered = false;
  std::optional<ServiceEndpoints> delivered;
  auto service = StartServiceUnlessConfigured(
      "", "/nowhere/", folder_ / "data/", target,
      [&](const auto& endpoints) {
        answered = true;
        delivered = endpoints;
      },
      errors);
  ASSERT_NE(service, nullptr);
  EXPECT_TRUE(loop_.PumpUntil([&] { return answered; }, 60s));
  EXPECT_FALSE(delivered.has_value());
  const std::string text = errors.str();
  EXPECT_NE(text.find("ended before it was ready"), std::string::npos) << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
}

}  // namespace
}  // namespace quillo::service
