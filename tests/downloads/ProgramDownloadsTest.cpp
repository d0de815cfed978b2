// The program itself downloads the library: quillo, headless, with a configured quillo-service
// and a logged-in user's waiting songs; its download manager files them while it runs, and a
// clean shutdown keeps the result.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>

#include "ChildProcess.h"
#include "platform/fs/FileSystem.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"

namespace quillo::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::int64_t kSongMinimum = 512000;

class ProgramDownloadsTest : public ::testing::Test {
 protected:
  ProgramDownloadsTest() {
    for (const char* name : {"xdg-data/", "config/", "run/"}) fs::CreateFolders(root_ / name);
    // The program registers itself with the desktop: only in the test's own folders.
    environment_ = {{"XDG_DATA_HOME", root_ / "xdg-data/"},
                    {"XDG_CONFIG_HOME", root_ / "config/"},
                    {"XDG_RUNTIME_DIR", root_ / "run/"},
                    {"QUILLO_DATA_DIR", ""},
                    {"DISPLAY", ""}};
  }

  std::string Data() { return root_ / "data/"; }

  std::string Tool(const std::string& arguments, int* exit_code = nullptr) {
    const std::string command = std::string("'") + QUILLO_TOOL_EXECUTABLE + "' --data-dir '" +
                                Data() + "' " + arguments + " > '" + (root_ / "out.txt") +
                                "' 2> '" + (root_ / "err.txt") + "'";
    const int status = std::system(command.c_str());
    if (exit_code) *exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return fs::ReadWholeFile(root_ / "out.txt").value_or("");
  }

  TempFolder root_;
  std::map<std::string, std::string> environment_;
};

TEST_F(ProgramDownloadsTest, TheRunningProgramFilesTheWaitingSongs) {
  ServiceProcess service;
  ASSERT_TRUE(service.Start()) << service.error();
  int exit_code = -1;
  Tool("config set sorvel.service.base_url '" + service.base_url() + "'", &exit_code);
  ASSERT_EQ(exit_code, 0);
  const std::string answer =
      Tool("call 'api/login.php?ie=utf8' 'name=小明' 'encode=密码' --scrambled", &exit_code);
  ASSERT_EQ(exit_code, 0);
  ASSERT_TRUE(fs::WriteFile(root_ / "answer.xml", answer));
  Tool("answer login '" + (root_ / "answer.xml") + "'", &exit_code);
  ASSERT_EQ(exit_code, 0);

  std::vector<std::string> expected;
  const auto catalogue = service.Catalogue();
  for (int index : {1, 3, 6, 7}) {
    const ServiceSong& song = catalogue.at(static_cast<std::size_t>(index));
    if (song.size < kSongMinimum) continue;
    expected.push_back(song.artist_name + "/" + song.album_name + "/" + song.name +
                       (song.format == "wma" ? ".wma" : ".mp3"));
  }
  ASSERT_EQ(expected.size(), 4u);  // every song of the stand-in is above the minimum

  ChildProcess program(QUILLO_EXECUTABLE, {"--data-dir", Data()}, environment_);
  ASSERT_TRUE(program.WaitForLine("ready", 60s)) << program.error_text();
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  auto all_filed = [&] {
    for (const std::string& name : expected) {
      if (!fs::FileExists(Data() + "music/" + name)) return false;
    }
    return true;
  };
  while (!all_filed() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(50ms);
  ASSERT_TRUE(all_filed());
  program.Signal(SIGTERM);
  auto status = program.Wait(60s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << program.error_text();

  // The saved store names each stored copy.
  const std::string listed = Tool("library list", &exit_code);
  for (const std::string& name : expected)
    EXPECT_NE(listed.find("\t" + name + "\n"), std::string::npos) << listed;
}

}  // namespace
}  // namespace quillo::testing
