// A new user's first start on the test's display: a fresh data folder, no service configured, so
// the program starts the embedded stand-in service with a fresh data folder of its own. Without
// any input the main window comes to show the ranking list the panel chooses at a first start.
// And a library whose songs cannot be downloaded: the window names each failed song.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <thread>

#include "ChildProcess.h"
#include "XdgSandbox.h"
#include "platform/fs/FileSystem.h"
#include "support/ServiceProcess.h"

namespace quillo::testing {
namespace {

using namespace std::chrono_literals;

class FirstStartGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') GTEST_SKIP() << "no display";
    environment_ = xdg_.Environment();
    environment_["DISPLAY"] = display;
    environment_["DBUS_SESSION_BUS_ADDRESS"] = "";
    environment_["QUILLO_AUDIO_SINK"] = "fakesink sync=true";
    environment_["QUILLO_SERVICE_EXECUTABLE"] = QUILLO_SERVICE_EXECUTABLE;
    environment_["NO_AT_BRIDGE"] = "1";
  }
  void TearDown() override {
    if (program_ && !program_->Wait(0ms)) {
      ChildProcess quit(QUILLO_EXECUTABLE, {"--data-dir", data_folder(), "--quit"}, environment_);
      quit.Wait(20s);
      program_->Wait(30s);
    }
  }
  std::string data_folder() const { return xdg_.root() + "fresh/"; }

  // Reads the program's output until a line starting with `prefix` (and other than `except`)
  // has come, at most `timeout`.
  std::optional<std::string> WaitForLineStarting(const std::string& prefix,
                                                 const std::string& except,
                                                 std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      for (const std::string& line : program_->lines()) {
        if (line.rfind(prefix, 0) == 0 && line != except) return line;
      }
      if (std::chrono::steady_clock::now() >= end) return std::nullopt;
      program_->WaitForLine("\x01", 100ms);  // reads what arrived
    }
  }

  XdgSandbox xdg_;
  std::map<std::string, std::string> environment_;
  std::unique_ptr<ChildProcess> program_;
};

TEST_F(FirstStartGuiTest, TheRankingListShowsWithoutAClick) {
  program_ = std::make_unique<ChildProcess>(
      QUILLO_EXECUTABLE, std::vector<std::string>{"--data-dir", data_folder()}, environment_);
  ASSERT_TRUE(program_->WaitForLine("main window shown", 60s)) << program_->error_text();
  // The library and the recent list are empty at a first start: rows can only come from the
  // service list the panel chose, the ranking list.
  const auto rows = WaitForLineStarting("song list: ", "song list: 0 rows", 60s);
  ASSERT_TRUE(rows) << "the song list stayed empty\n" << program_->error_text();
  EXPECT_GT(std::atoi(rows->c_str() + std::string("song list: ").size()), 0) << *rows;
  EXPECT_TRUE(WaitForLineStarting("service: http://127.0.0.1:", "", 1s));
  // The embedded service answered the listing without rendering a single song.
  const std::string music = data_folder() + "service/catalogue/music";
  EXPECT_TRUE(fs::ListFolder(music).empty()) << "songs were rendered before anyone fetched them";

  ChildProcess quit(QUILLO_EXECUTABLE, {"--data-dir", data_folder(), "--quit"}, environment_);
  EXPECT_EQ(quit.Wait(20s), 0);
  EXPECT_TRUE(program_->WaitForLine("store closed: saved", 30s)) << program_->error_text();
}

TEST_F(FirstStartGuiTest, AFailedSongDownloadIsNamed) {
  ServiceProcess service;
  ASSERT_TRUE(service.Start()) << service.error();
  const std::vector<ServiceSong> catalogue = service.Catalogue();
  // Every way to a song's file fails: the download itself and both kinds of mirror.
  for (const char* path : {"/music/download.php", "/qlfss/*", "/mirror/*"})
    ASSERT_GE(service.AddFault(std::string("path=") + path + "&kind=status&status=404"), 0);
  const std::string tool = std::string("'") + QUILLO_BINARY_DIR +
                           "/tools/quillo-tool/quillo-tool' --data-dir '" + data_folder() + "' ";
  ASSERT_EQ(std::system((tool + "config set sorvel.service.base_url '" + service.base_url() +
                         "' >/dev/null").c_str()),
            0);
  const std::string answer = xdg_.root() + "login.xml";
  ASSERT_EQ(std::system((tool + "call 'api/login.php?ie=utf8' 'name=demo' 'encode=demo' "
                                "--scrambled > '" + answer + "'").c_str()),
            0);
  ASSERT_EQ(std::system((tool + "answer login '" + answer + "' >/dev/null").c_str()), 0);

  program_ = std::make_unique<ChildProcess>(
      QUILLO_EXECUTABLE, std::vector<std::string>{"--data-dir", data_folder()}, environment_);
  ASSERT_TRUE(program_->WaitForLine("main window shown", 60s)) << program_->error_text();
  const auto failed = WaitForLineStarting("download failed: ", "", 120s);
  ASSERT_TRUE(failed) << "no failed download was told\n" << program_->error_text();
  // It names one of demo's library songs (the catalogue's first six) by artist and title.
  bool named = false;
  for (std::size_t i = 0; i < 6 && i < catalogue.size(); ++i) {
    named = named || *failed == "download failed: " + catalogue[i].artist_name + " - " +
                                    catalogue[i].name;
  }
  EXPECT_TRUE(named) << *failed;
}

}  // namespace
}  // namespace quillo::testing
