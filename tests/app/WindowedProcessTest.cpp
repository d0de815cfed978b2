// The program with its main window on the test's display: it opens the window with the library,
// a second instance's file and link reach the running window, and the exit ends the run with
// the store saved. The audio goes to a fake sink.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>

#include "ChildProcess.h"
#include "XdgSandbox.h"

namespace quillo::testing {
namespace {

using namespace std::chrono_literals;

class WindowedProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') GTEST_SKIP() << "no display";
    environment_ = xdg_.Environment();
    environment_["DISPLAY"] = display;
    environment_["QUILLO_AUDIO_SINK"] = "fakesink sync=true";
    environment_["NO_AT_BRIDGE"] = "1";
    // No service: the window runs on the local library alone.
    environment_["QUILLO_SERVICE_EXECUTABLE"] = "/nonexistent";
  }
  std::unique_ptr<ChildProcess> Start(std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", data_folder()});
    return std::make_unique<ChildProcess>(QUILLO_EXECUTABLE, args, environment_);
  }
  std::string data_folder() const { return xdg_.root() + "data/"; }

  XdgSandbox xdg_;
  std::map<std::string, std::string> environment_;
};

TEST_F(WindowedProcessTest, SecondInstanceFileAndLinkReachTheWindowAndExitSaves) {
  auto first = Start({});
  ASSERT_TRUE(first->WaitForLine("main window shown", 30s)) << first->error_text();
  ASSERT_TRUE(first->WaitForLine("ready", 30s)) << first->error_text();

  // A music file: the running window adds it to the library and plays it.
  const std::string song = xdg_.root() + "歌 一.mp3";
  std::ofstream(song) << std::string(4096, '\0');
  auto second = Start({song});
  EXPECT_EQ(second->Wait(20s), 0);
  ASSERT_TRUE(first->WaitForLine("command line: " + song, 20s)) << first->error_text();
  EXPECT_TRUE(first->WaitForLine("window: file added and played", 20s)) << first->error_text();

  // A link: handed to the playlist commands of the running window.
  auto third = Start({"quillo://add/12345"});
  EXPECT_EQ(third->Wait(20s), 0);
  EXPECT_TRUE(first->WaitForLine("window: link handled", 20s)) << first->error_text();

  // A missing file is nothing to do, not a crash.
  auto fourth = Start({xdg_.root() + "missing.mp3"});
  EXPECT_EQ(fourth->Wait(20s), 0);
  EXPECT_TRUE(first->WaitForLine("window: nothing to do with the command line", 20s));

  // --quit asks the running instance to end: the window shuts down and the store is saved.
  auto quit = Start({"--quit"});
  EXPECT_EQ(quit->Wait(20s), 0);
  EXPECT_TRUE(first->WaitForLine("store closed: saved", 30s)) << first->error_text();
  EXPECT_EQ(first->Wait(30s), 0);
}

TEST_F(WindowedProcessTest, HeadlessOptionKeepsTheWindowlessRun) {
  auto program = Start({"--headless"});
  ASSERT_TRUE(program->WaitForLine("ready", 30s)) << program->error_text();
  for (const std::string& line : program->lines()) EXPECT_NE(line, "main window shown");
  auto quit = Start({"--quit"});
  EXPECT_EQ(quit->Wait(20s), 0);
  EXPECT_TRUE(program->WaitForLine("store closed: saved", 30s));
}

}  // namespace
}  // namespace quillo::testing
