// Real quillo processes, each test with its own data folder and XDG folders: the cases that
// AppProcessTest does not cover (file paths through UTF-16, killed instances, several data
// folders, the first-run registration texts, options).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <filesystem>

#include "ChildProcess.h"
#include "platform/fs/FileSystem.h"
#include "platform/shell/DesktopEntry.h"
#include "support/TempFolder.h"

namespace quillo::app {
namespace {
using namespace std::chrono_literals;
using testing::ChildProcess;

constexpr auto kTimeout = 60s;

class QuilloProcessTest : public ::testing::Test {
 protected:
  QuilloProcessTest() {
    for (const char* name : {"data/", "config/", "run/"}) fs::CreateFolders(root_ / name);
    environment_ = {{"XDG_DATA_HOME", root_ / "data/"},
                    {"XDG_CONFIG_HOME", root_ / "config/"},
                    {"XDG_RUNTIME_DIR", root_ / "run/"},
                    {"QUILLO_DATA_DIR", ""},
                    {"DISPLAY", ""}};
  }

  std::string data_folder() const { return root_ / "sorvel data/"; }

  std::unique_ptr<ChildProcess> Start(std::vector<std::string> args,
                                      const std::string& program = QUILLO_EXECUTABLE) {
    args.insert(args.begin(), {"--data-dir", data_folder()});
    return std::make_unique<ChildProcess>(program, args, environment_);
  }

  // The first instance, once it serves requests.
  std::unique_ptr<ChildProcess> StartFirst() {
    auto first = Start({});
    EXPECT_TRUE(first->WaitForLine("ready", kTimeout)) << first->error_text();
    return first;
  }

  static void ExpectCleanExit(ChildProcess& process) {
    auto status = process.Wait(kTimeout);
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status << process.error_text();
  }

  testing::TempFolder root_;
  std::map<std::string, std::string> environment_;
};

TEST_F(QuilloProcessTest, SecondInstanceHandsItsCommandLineOverAndEnds) {
  auto first = StartFirst();
  const std::string command_lines[] = {"/home/me/音乐/a song.mp3", "quillo://add/1234,5678"};
  for (const std::string& command_line : command_lines) {
    auto second = Start({command_line});
    ExpectCleanExit(*second);
    EXPECT_TRUE(first->WaitForLine("command line: " + command_line, kTimeout));
    EXPECT_TRUE(second->lines().empty()) << "the second instance ran no window of its own";
  }
  first->Signal(SIGTERM);
  ExpectCleanExit(*first);
}

TEST_F(QuilloProcessTest, SecondStartWithoutArgumentsAsksTheFirstToShowItself) {
  auto first = StartFirst();
  auto second = Start({});
  ExpectCleanExit(*second);
  EXPECT_TRUE(first->WaitForLine("show", kTimeout));
  // Asked to quit by a third start, the first shuts down in order.
  auto third = Start({"--quit"});
  ExpectCleanExit(*third);
  EXPECT_TRUE(first->WaitForLine("store closed: saved", kTimeout));
  ExpectCleanExit(*first);
}

TEST_F(QuilloProcessTest, FirstRunRegistersWithTheDesktopAndLaterRunsKeepTheUsersChoice) {
  auto first = StartFirst();
  first->Signal(SIGINT);
  ExpectCleanExit(*first);
  std::string autostart = root_ / "config/autostart/Zelbo音乐.desktop";
  std::string handler = root_ / "data/applications/quillo/url-handler.desktop";
  ASSERT_TRUE(fs::FileExists(autostart));
  ASSERT_TRUE(fs::FileExists(handler));
  auto entry = shell::DesktopEntry::Parse(fs::ReadWholeFile(handler).value_or(""));
  EXPECT_EQ(shell::DesktopEntry::ExecProgram(entry.Get("Exec").value_or("")),
            std::filesystem::canonical(QUILLO_EXECUTABLE).string());
  EXPECT_NE(fs::ReadWholeFile(root_ / "config/mimeapps.list")
                .value_or("")
                .find("x-scheme-handler/quillo=quillo-url-handler.desktop;"),
            std::string::npos);

  // The user switched autorun off: the key exists, so no later start registers it again.
  ASSERT_TRUE(fs::RemoveFile(autostart));
  auto again = StartFirst();
  again->Signal(SIGTERM);
  ExpectCleanExit(*again);
  EXPECT_FALSE(fs::PathExists(autostart));
}

TEST_F(QuilloProcessTest, KilledInstanceDoesNotBlockTheNextStart) {
  auto first = StartFirst();
  first->Signal(SIGKILL);
  first->Wait(kTimeout);
  // The lock died with the process; the socket file it left behind is replaced.
  auto next = StartFirst();
  auto second = Start({"/x.mp3"});
  ExpectCleanExit(*second);
  EXPECT_TRUE(next->WaitForLine("command line: /x.mp3", kTimeout));
  next->Signal(SIGTERM);
  ExpectCleanExit(*next);
}

TEST_F(QuilloProcessTest, InstancesOfDifferentDataFoldersRunSideBySide) {
  auto first = StartFirst();
  auto other = std::make_unique<ChildProcess>(
      QUILLO_EXECUTABLE, std::vector<std::string>{"--data-dir", root_ / "other/"}, environment_);
  EXPECT_TRUE(other->WaitForLine("ready", kTimeout)) << other->error_text();
  other->Signal(SIGTERM);
  first->Signal(SIGTERM);
  ExpectCleanExit(*other);
  ExpectCleanExit(*first);
}

TEST_F(QuilloProcessTest, ClosedOutputDoesNotEndTheRunBeforeItsShutdown) {
  // The reader of the output goes away at once; the program's lines then fail to be written.
  ChildProcess shell("/bin/sh",
                     {"-c", "( \"$0\" --data-dir \"$1\"; echo \"status $?\" >&2 ) | true",
                      QUILLO_EXECUTABLE, data_folder()},
                     environment_);
  ASSERT_TRUE(shell.started());
  // It still serves: ask it to quit until it answers (it may still be starting).
  bool quit_answered = false;
  for (int attempt = 0; attempt < 300 && !quit_answered; ++attempt) {
    auto quit = Start({"--quit"});
    auto status = quit->Wait(kTimeout);
    quit_answered = status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
    if (!quit_answered) ::usleep(50000);
  }
  EXPECT_TRUE(quit_answered);
  ExpectCleanExit(shell);
  EXPECT_NE(shell.error_text().find("status 0"), std::string::npos) << shell.error_text();
  EXPECT_TRUE(fs::FileExists(data_folder() + "sorvel.qlm"));
}

TEST_F(QuilloProcessTest, VersionHelpAndBadOptions) {
  auto version = Start({"--version"});
  ExpectCleanExit(*version);
  EXPECT_EQ(version->lines(), std::vector<std::string>{"Zelbo音乐 1.3.1"});
  auto help = Start({"--help"});
  ExpectCleanExit(*help);
  ASSERT_FALSE(help->lines().empty());
  EXPECT_TRUE(help->lines().front().starts_with("Usage: quillo"));
  auto bad = Start({"--frobnicate"});
  auto status = bad->Wait(kTimeout);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(WEXITSTATUS(*status), 2);
  EXPECT_NE(bad->error_text().find("unknown option --frobnicate"), std::string::npos);
  auto quit = Start({"--quit"});
  status = quit->Wait(kTimeout);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(WEXITSTATUS(*status), 1) << "nobody to ask";
}

}  // namespace
}  // namespace quillo::app
