// The real quillo-service as the embedded default, and quillo itself starting and stopping it.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "app/ChildProcess.h"
#include "platform/fs/FileSystem.h"
#include "service/embedded/EmbeddedService.h"
#include "support/TempFolder.h"

namespace quillo::service {
namespace {

using namespace std::chrono_literals;

bool Gone(long pid) {
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

// One plain GET over a socket; the whole answer (status line, headers, body).
std::string HttpGet(const std::string& base_url, const std::string& target) {
  const std::string prefix = "http://127.0.0.1:";
  const int port = std::stoi(base_url.substr(prefix.size()));
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  timeval timeout{30, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  std::string answer;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    const std::string request =
        "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
        static_cast<ssize_t>(request.size())) {
      char buffer[65536];
      ssize_t got;
      while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, got);
    }
  }
  ::close(fd);
  return answer;
}

TEST(EmbeddedServiceProcessTest, RealServiceGetsReadyAnswersAndStopsWithoutALeftover) {
  testing::TempFolder folder;
  EmbeddedServiceOptions options;
  options.executable = QUILLO_SERVICE_EXECUTABLE;
  options.data_folder = folder / "sorvel/service/";
  options.extra_args = {"--songs", "2"};
  options.ready_timeout = 240s;
  EmbeddedService service;
  ASSERT_TRUE(service.Start(options)) << service.error();
  const auto endpoints = service.WaitForEndpoints(300s);
  ASSERT_TRUE(endpoints.has_value()) << service.error();
  const std::string answer = HttpGet(endpoints->base_url, "/_control?action=catalogue");
  EXPECT_EQ(answer.rfind("HTTP/1.1 200", 0), 0u) << answer.substr(0, 200);
  EXPECT_NE(answer.find("\"songs\""), std::string::npos);
  EXPECT_TRUE(fs::FolderExists(options.data_folder + "catalogue/"));
  const long pid = service.pid();
  service.Stop();
  EXPECT_TRUE(Gone(pid));
  EXPECT_EQ(HttpGet(endpoints->base_url, "/_control?action=catalogue"), "");
}

// quillo with a stand-in service program: it starts it only when no base URL is configured,
// reports the endpoints, and stops it at shutdown.
class QuilloEmbeddedServiceTest : public ::testing::Test {
 protected:
  QuilloEmbeddedServiceTest() {
    for (const char* name : {"xdg-data/", "xdg-config/", "run/"}) fs::CreateFolders(root_ / name);
    script_ = root_ / "fake-service.sh";
    fs::WriteFile(script_, "#!/bin/sh\necho $$ > '" + root_.path() +
                               "pid'\necho 'listening on http://127.0.0.1:4001/ upload "
                               "127.0.0.1:4002'\nexec sleep 120\n");
    ::chmod(script_.c_str(), 0755);
    environment_ = {{"XDG_DATA_HOME", root_ / "xdg-data/"},
                    {"XDG_CONFIG_HOME", root_ / "xdg-config/"},
                    {"XDG_RUNTIME_DIR", root_ / "run/"},
                    {"QUILLO_DATA_DIR", ""},
                    {"DISPLAY", ""},
                    {"QUILLO_SERVICE_EXECUTABLE", script_}};
  }
  std::string data() const { return root_ / "data/"; }

  testing::TempFolder root_;
  std::string script_;
  std::map<std::string, std::string> environment_;
};

TEST_F(QuilloEmbeddedServiceTest, UnconfiguredProgramRunsTheServiceUntilItEnds) {
  testing::ChildProcess quillo(QUILLO_EXECUTABLE, {"--data-dir", data()}, environment_);
  ASSERT_TRUE(quillo.WaitForLine("service: http://127.0.0.1:4001/ upload 127.0.0.1:4002", 60s))
      << quillo.error_text();
  const auto pid_text = fs::ReadWholeFile(root_ / "pid");
  ASSERT_TRUE(pid_text.has_value());
  const long service_pid = std::stol(*pid_text);
  EXPECT_FALSE(Gone(service_pid));
  quillo.Signal(SIGTERM);
  EXPECT_TRUE(quillo.WaitForLine("service stopped", 60s)) << quillo.error_text();
  const auto status = quillo.Wait(60s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
  EXPECT_TRUE(Gone(service_pid));
}

// Whether the process has ended: no such process, or a zombie nobody reaped yet (its parent
// was killed, and the one that inherited it may be slow to reap).
bool Ended(long pid) {
  const auto stat = fs::ReadWholeFile("/proc/" + std::to_string(pid) + "/stat");
  if (!stat) return true;
  const std::size_t after_name = stat->rfind(") ");
  return after_name != std::string::npos && stat->compare(after_name + 2, 1, "Z") == 0;
}

// Killed outright (no chance to stop its service), quillo still takes the service with it, even
// one that does not take SIGTERM as a request to end (as the real one while it builds its
// catalogue), so nothing keeps its ports.
TEST_F(QuilloEmbeddedServiceTest, KilledProgramTakesItsServiceWithIt) {
  fs::WriteFile(script_, "#!/bin/sh\ntrap '' TERM\necho $$ > '" + root_.path() +
                             "pid'\necho 'listening on http://127.0.0.1:4001/ upload "
                             "127.0.0.1:4002'\nwhile :; do sleep 1; done\n");
  testing::ChildProcess quillo(QUILLO_EXECUTABLE, {"--data-dir", data()}, environment_);
  ASSERT_TRUE(quillo.WaitForLine("service: http://127.0.0.1:4001/ upload 127.0.0.1:4002", 60s))
      << quillo.error_text();
  const auto pid_text = fs::ReadWholeFile(root_ / "pid");
  ASSERT_TRUE(pid_text.has_value());
  const long service_pid = std::stol(*pid_text);
  ASSERT_FALSE(Ended(service_pid));
  quillo.Signal(SIGKILL);
  ASSERT_TRUE(quillo.Wait(60s).has_value());
  // A generous bound: the kernel ends it at once; only a service left running waits it out.
  const auto until = std::chrono::steady_clock::now() + 20s;
  while (!Ended(service_pid) && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_TRUE(Ended(service_pid));
  if (!Ended(service_pid)) ::kill(static_cast<pid_t>(service_pid), SIGKILL);
}

TEST_F(QuilloEmbeddedServiceTest, ConfiguredBaseUrlRunsNoService) {
  testing::ChildProcess tool(
      QUILLO_TOOL_EXECUTABLE,
      {"--data-dir", data(), "config", "set", "sorvel.service.base_url", "http://127.0.0.1:9/"},
      environment_);
  ASSERT_TRUE(tool.Wait(60s).has_value());
  testing::ChildProcess quillo(QUILLO_EXECUTABLE, {"--data-dir", data()}, environment_);
  ASSERT_TRUE(quillo.WaitForLine("ready", 60s)) << quillo.error_text();
  quillo.Signal(SIGTERM);
  ASSERT_TRUE(quillo.Wait(60s).has_value());
  EXPECT_FALSE(fs::FileExists(root_ / "pid")) << "the service program never ran";
  for (const std::string& line : quillo.lines())
    EXPECT_EQ(line.rfind("service", 0), std::string::npos) << line;
}

}  // namespace
}  // namespace quillo::service
