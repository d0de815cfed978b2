// The program logs in with the stored session key when it starts, against quillo-service.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <csignal>
#include <cstdlib>

#include "ChildProcess.h"
#include "platform/fs/FileSystem.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"

namespace quillo::app {
namespace {
using namespace std::chrono_literals;
using testing::ChildProcess;

constexpr auto kTimeout = 60s;

class StartupLoginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"data/", "config/", "run/"}) fs::CreateFolders(root_ / name);
    environment_ = {{"XDG_DATA_HOME", root_ / "data/"},
                    {"XDG_CONFIG_HOME", root_ / "config/"},
                    {"XDG_RUNTIME_DIR", root_ / "run/"},
                    {"QUILLO_DATA_DIR", ""},
                    {"DISPLAY", ""}};
    ASSERT_TRUE(service_.Start()) << service_.error();
    ASSERT_EQ(Tool("config set sorvel.service.base_url " + service_.base_url()), 0);
  }
  std::string data_folder() const { return root_ / "sorvel/"; }
  int Tool(const std::string& arguments) {
    std::string command = std::string(QUILLO_BINARY_DIR) +
                          "/tools/quillo-tool/quillo-tool --data-dir '" + data_folder() + "' " +
                          arguments + " >/dev/null 2>&1";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Runs the program until it is ready and the condition's line came (or not), then ends it.
  std::unique_ptr<ChildProcess> Start() {
    return std::make_unique<ChildProcess>(
        QUILLO_EXECUTABLE, std::vector<std::string>{"--data-dir", data_folder()}, environment_);
  }
  static void Stop(ChildProcess& program) {
    program.Signal(SIGTERM);
    auto status = program.Wait(kTimeout);
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << program.error_text();
  }

  testing::TempFolder root_;
  std::map<std::string, std::string> environment_;
  testing::ServiceProcess service_;
};

TEST_F(StartupLoginTest, TheStoredKeyLogsTheUserInAtStart) {
  ASSERT_EQ(Tool("login demo demo"), 0);
  service_.ClearLog();
  auto program = Start();
  EXPECT_TRUE(program->WaitForLine("user: demo", kTimeout)) << program->error_text();
  Stop(*program);
  int logins = 0;
  for (const auto& request : service_.RequestLog()) {
    if (request.path != "/api/autologin.php") continue;
    ++logins;
    EXPECT_FALSE(request.Query("ukey").empty());
  }
  EXPECT_EQ(logins, 1);
}

TEST_F(StartupLoginTest, WithoutAStoredKeyNothingIsSent) {
  ASSERT_EQ(Tool("login demo demo"), 0);
  ASSERT_EQ(Tool("logout"), 0);
  service_.ClearLog();
  auto program = Start();
  ASSERT_TRUE(program->WaitForLine("ready", kTimeout)) << program->error_text();
  Stop(*program);
  for (const auto& request : service_.RequestLog()) {
    EXPECT_NE(request.path, "/api/autologin.php");
    EXPECT_NE(request.path, "/api/login.php");
  }
}

}  // namespace
}  // namespace quillo::app
