// Every quillo-tool command that takes a file says why it cannot use a missing one or a folder,
// instead of what it then failed to find in it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace {

using quillo::testing::TempFolder;

class FileCommandsTest : public ::testing::Test {
 protected:
  // Exit status and standard error of one run.
  std::pair<int, std::string> Tool(const std::string& arguments, const std::string& prefix = "") {
    const std::string err_path = scratch_ / "stderr";
    std::string command = prefix + std::string(QUILLO_BINARY_DIR) +
                          "/tools/quillo-tool/quillo-tool --data-dir '" + data_.path() +
                          "' --service http://127.0.0.1:9/ " + arguments + " >/dev/null 2>'" +
                          err_path + "'";
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            quillo::fs::ReadWholeFile(err_path).value_or("")};
  }

  TempFolder data_;
  TempFolder scratch_;
};

TEST_F(FileCommandsTest, EveryCommandNamesTheCause) {
  const std::string missing = scratch_ / "missing.mp3";
  const std::string folder = scratch_.path();
  const char* kCommands[] = {
      "tags read %",
      "tags write % --title T",
      "lyric parse %",
      "lyric locate % 1000",
      "lyric adjust % 3 100",
      "upload %",
      "play %",
      "import %",
      "answer login %",
      "answer list % t_x",
  };
  for (const char* pattern : kCommands) {
    std::string command = pattern;
    command.replace(command.find('%'), 1, "'" + missing + "'");
    auto [status, err] = Tool(command);
    EXPECT_EQ(status, 1) << command;
    EXPECT_NE(err.find("文件不存在: " + missing), std::string::npos) << command << ": " << err;
  }
  // A folder where a file is wanted; import walks folders and is left out.
  for (const char* pattern : {"tags read %", "lyric parse %", "answer login %", "upload %"}) {
    std::string command = pattern;
    command.replace(command.find('%'), 1, "'" + folder + "'");
    auto [status, err] = Tool(command);
    EXPECT_EQ(status, 1) << command;
    EXPECT_NE(err.find("不是文件: " + folder), std::string::npos) << command << ": " << err;
  }
  // A pipe (nobody writes to it) is not a file either, and is refused without waiting for a
  // writer; the time-out only turns a hang into a failure.
  const std::string pipe = scratch_ / "pipe.lrc";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  for (const char* pattern : {"lyric parse %", "play %", "tags read %", "answer login %",
                              "upload %", "lyric locate % 1000"}) {
    std::string command = pattern;
    command.replace(command.find('%'), 1, "'" + pipe + "'");
    auto [status, err] = Tool(command, "timeout 60 ");
    EXPECT_EQ(status, 1) << command;
    EXPECT_NE(err.find("不是文件: " + pipe), std::string::npos) << command << ": " << err;
  }
  // A file that opens but cannot be read, whoever runs the tool.
  auto [status, err] = Tool("tags read /proc/self/mem");
  EXPECT_EQ(status, 1);
  EXPECT_NE(err.find("无法读取文件: /proc/self/mem: Input/output error"), std::string::npos) << err;
}

// Commands that only read leave the data file as it is: same bytes, same modification time.
TEST_F(FileCommandsTest, ReadOnlyCommandsLeaveTheDataFileAlone) {
  ASSERT_EQ(Tool("config set module.music.play_mode random").first, 0);
  ASSERT_EQ(Tool("clientid").first, 0);  // the client id is made (and saved) once
  const std::string path = data_ / "sorvel.qlm";
  const std::string bytes = quillo::fs::ReadWholeFile(path).value_or("");
  const auto old_time = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  std::filesystem::last_write_time(path, old_time);
  for (const char* command : {"config list", "config get module.music.play_mode", "store dump",
                              "clientid", "library list", "playlist list"}) {
    EXPECT_EQ(Tool(command).first, 0) << command;
    EXPECT_EQ(std::filesystem::last_write_time(path), old_time) << command;
  }
  EXPECT_EQ(quillo::fs::ReadWholeFile(path).value_or(""), bytes);
}

}  // namespace
