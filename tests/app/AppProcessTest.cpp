// Real quillo processes: single instance, hand-over, final save, pending update.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <thread>

#include "ChildProcess.h"
#include "XdgSandbox.h"
#include "platform/fs/FileSystem.h"
#include "store/DocumentStore.h"
#include "support/TempFolder.h"

namespace quillo::app {
namespace {
using namespace std::chrono_literals;
using quillo::testing::ChildProcess;
using quillo::testing::TempFolder;
using quillo::testing::XdgSandbox;

const std::string kQuillo = std::string(QUILLO_BINARY_DIR) + "/app/quillo";

std::optional<std::string> DecodedDataFile(const std::string& data_folder) {
  std::optional<std::string> bytes = fs::ReadWholeFile(data_folder + "sorvel.qlm");
  if (!bytes || bytes->empty() || (*bytes)[0] != '\x01') return std::nullopt;
  store::DocumentStore::XorWithKey(*bytes, 1);
  return bytes->substr(1);
}

class AppProcessTest : public ::testing::Test {
 protected:
  std::unique_ptr<ChildProcess> Start(std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", data_folder()});
    return std::make_unique<ChildProcess>(kQuillo, args, xdg_.Environment());
  }
  std::string data_folder() const { return xdg_.root() + "quillo data/"; }

  XdgSandbox xdg_;
};

TEST_F(AppProcessTest, SecondInstanceHandsItsArgumentsOverAndEnds) {
  auto first = Start({});
  ASSERT_TRUE(first->WaitForLine("ready", 20s)) << first->error_text();
  auto second = Start({"quillo://add/12345"});
  std::optional<int> status = second->Wait(20s);
  ASSERT_TRUE(status);
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
  EXPECT_TRUE(first->WaitForLine("command line: quillo://add/12345", 20s));

  auto third = Start({});
  status = third->Wait(20s);
  ASSERT_TRUE(status);
  EXPECT_TRUE(WIFEXITED(*status));
  EXPECT_TRUE(first->WaitForLine("show", 20s));
  // The second and third never ran as first instances: only one "ready" was ever printed.
  for (const std::string& line : second->lines()) EXPECT_NE(line, "ready");
  for (const std::string& line : third->lines()) EXPECT_NE(line, "ready");

  first->Signal(SIGTERM);
  EXPECT_TRUE(first->WaitForLine("store closed: saved", 20s));
  EXPECT_TRUE(first->Wait(20s));
}

TEST_F(AppProcessTest, FirstRunRegistersAndTerminationSavesTheStore) {
  auto first = Start({});
  ASSERT_TRUE(first->WaitForLine("ready", 20s)) << first->error_text();
  first->Signal(SIGTERM);
  std::optional<int> status = first->Wait(20s);
  ASSERT_TRUE(status);
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
  std::optional<std::string> xml = DecodedDataFile(data_folder());
  ASSERT_TRUE(xml);
  EXPECT_NE(xml->find("<config name=\"sorvel.autorun\" value=\"true\" />"), std::string::npos);
  EXPECT_FALSE(fs::ListFolder(xdg_.config_home() + "autostart/").empty());
  EXPECT_FALSE(fs::ListFolder(xdg_.data_home() + "applications/").empty());

  // A later start with the key present registers nothing new, whatever the value.
  fs::RemoveTree(xdg_.config_home() + "autostart/");
  auto again = Start({});
  ASSERT_TRUE(again->WaitForLine("ready", 20s));
  again->Signal(SIGINT);
  EXPECT_TRUE(again->Wait(20s));
  EXPECT_TRUE(fs::ListFolder(xdg_.config_home() + "autostart/").empty());
}

TEST_F(AppProcessTest, PendingUpdateReplacesTheProgramInAFolderWithSpaces) {
  TempFolder folder;
  const std::string program_folder = folder.path() + "my music app/";
  ASSERT_TRUE(fs::CreateFolders(program_folder));
  std::optional<std::string> program = fs::ReadWholeFile(kQuillo);
  ASSERT_TRUE(program);
  ASSERT_TRUE(fs::WriteFile(program_folder + "quillo", *program));
  ::chmod((program_folder + "quillo").c_str(), 0755);
  // The "new version": a script that leaves a mark where it was started.
  ASSERT_TRUE(fs::WriteFile(program_folder + "kv.ex_",
                            "#!/bin/sh\necho updated > \"$(dirname \"$0\")/started by update\"\n"));
  ::chmod((program_folder + "kv.ex_").c_str(), 0755);

  ChildProcess old_program(program_folder + "quillo", {"--data-dir", data_folder()},
                           xdg_.Environment());
  std::optional<int> status = old_program.Wait(20s);
  ASSERT_TRUE(status);
  for (const std::string& line : old_program.lines()) EXPECT_NE(line, "ready");  // no window
  // The script runs on after the program ended; wait (bounded) for its mark.
  for (int i = 0; i < 400 && !fs::FileExists(program_folder + "started by update"); ++i) {
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_EQ(fs::ReadWholeFile(program_folder + "started by update"), "updated\n");
  EXPECT_FALSE(fs::PathExists(program_folder + "kv.ex_"));
  EXPECT_EQ(fs::ReadWholeFile(program_folder + "quillo")->substr(0, 9), "#!/bin/sh");
  for (int i = 0; i < 100 && fs::PathExists(program_folder + "update.sh"); ++i) {
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_FALSE(fs::PathExists(program_folder + "update.sh"));
  EXPECT_FALSE(fs::PathExists(data_folder() + "sorvel.qlm"));  // the store was never opened
}

}  // namespace
}  // namespace quillo::app
