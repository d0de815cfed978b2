// Real quillo processes, each test with its own data folder and XDG folders.
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

  // The data file as plain XML (marker checked, scrambling undone).
  std::string DataFileXml() const {
    std::string bytes = fs::ReadWholeFile(data_folder() + "sorvel.qlm").value_or("");
    if (bytes.empty() || bytes[0] != '\x01') return {};
    std::string xml = bytes.substr(1);
    for (char& c : xml) c = static_cast<char>(c ^ 0xA7);
    return xml;
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

TEST_F(QuilloProcessTest, SigtermLeadsToTheFinalSave) {
  auto first = StartFirst();
  first->Signal(SIGTERM);
  ExpectCleanExit(*first);
  EXPECT_NE(std::find(first->lines().begin(), first->lines().end(), "quit: signal 15"),
            first->lines().end());
  EXPECT_NE(std::find(first->lines().begin(), first->lines().end(), "store closed: saved"),
            first->lines().end());
  // The first run's autorun default reached the data file.
  std::string xml = DataFileXml();
  EXPECT_NE(xml.find("version=\"1.3.1\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("<config name=\"sorvel.autorun\" value=\"true\""), std::string::npos) << xml;
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

TEST_F(QuilloProcessTest, PendingUpdateIsInstalledByTheScript) {
  // A copy of the program in a folder with spaces; the "new version" is a script that leaves a
  // mark, so the restart is visible.
  std::string folder = root_ / "Program Files/Zelbo 音乐/";
  ASSERT_TRUE(fs::CreateFolders(folder));
  std::string program = folder + "quillo";
  std::filesystem::copy_file(QUILLO_EXECUTABLE, program);
  std::string new_version = "#!/bin/sh\necho restarted > \"$(dirname \"$0\")/restarted\"\n";
  ASSERT_TRUE(fs::WriteFile(folder + "kv.ex_", new_version));

  auto updating = Start({}, program);
  ExpectCleanExit(*updating);
  EXPECT_TRUE(updating->lines().empty()) << "no window and no run before the update";
  EXPECT_FALSE(fs::PathExists(data_folder() + "sorvel.qlm")) << "the store was not opened";
  // The script waits for the old process, then replaces and restarts the program.
  for (int i = 0; i < 3000 && !fs::FileExists(folder + "restarted"); ++i) ::usleep(20000);
  for (int i = 0; i < 500 && fs::PathExists(folder + "update.sh"); ++i) ::usleep(20000);
  EXPECT_EQ(fs::ReadWholeFile(folder + "restarted"), "restarted\n");
  EXPECT_EQ(fs::ReadWholeFile(program), new_version);
  EXPECT_FALSE(fs::PathExists(folder + "kv.ex_"));
  EXPECT_FALSE(fs::PathExists(folder + "update.sh"));
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
