// Real processes against a data folder: a writer killed at random moments, and quillo-tool.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <random>

#include "platform/fs/FileSystem.h"
#include "store/DocumentStore.h"
#include "store/StoreTestUtil.h"
#include "support/TempFolder.h"

namespace quillo::store {
namespace {
using quillo::testing::TempFolder;

const std::string kBin = QUILLO_BINARY_DIR;

// Starts the writer and answers its pid once it has written its first generation.
pid_t StartWriter(const std::string& folder) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return -1;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(pipe_fds[1], 1);
    close(pipe_fds[0]);
    std::string program = kBin + "/tests/store/store_writer_child";
    execl(program.c_str(), program.c_str(), folder.c_str(), nullptr);
    _exit(127);
  }
  close(pipe_fds[1]);
  char buffer[8] = {};
  ssize_t n = read(pipe_fds[0], buffer, 5);
  close(pipe_fds[0]);
  return n == 5 ? pid : -1;
}

TEST(StoreProcessTest, KilledWriterAlwaysLeavesAWholeFile) {
  TempFolder folder;
  std::mt19937 random(std::random_device{}());
  int last_generation = 0;
  for (int round = 0; round < 40; ++round) {
    pid_t pid = StartWriter(folder.path());
    ASSERT_GT(pid, 0);
    usleep(static_cast<useconds_t>(random() % 30000));
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);

    std::optional<std::string> xml = quillo::testing::DecodeDataFile(folder / "sorvel.qlm");
    ASSERT_TRUE(xml) << "round " << round;
    DocumentStore store(folder.path());
    store.Open(false);
    ASSERT_TRUE(store.kept_aside_path().empty()) << "round " << round << ": file was damaged";
    int generation = store.GetConfigInt("generation", -1);
    std::string expected;
    for (int i = 0; i < generation % 500; ++i) expected += std::to_string(generation);
    EXPECT_EQ(store.GetConfigText("payload"), expected) << "round " << round;
    EXPECT_GE(generation, last_generation);  // never an older file than one already seen
    last_generation = generation;
    store.Close();
  }
  EXPECT_GT(last_generation, 40);
  // Temporary files of killed writes are cleaned up by the next open.
  for (const std::string& name : fs::ListFolder(folder.path())) EXPECT_EQ(name, "sorvel.qlm");
}

std::string RunTool(const std::string& folder, const std::string& arguments, int* status) {
  std::string command = kBin + "/tools/quillo-tool/quillo-tool --data-dir '" + folder + "' " + arguments;
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
  int raw = pclose(pipe);
  *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return out;
}

TEST(StoreProcessTest, ToolRoundTrip) {
  TempFolder folder;
  int status = -1;
  RunTool(folder.path(), "config set module.music.play_mode random", &status);
  EXPECT_EQ(status, 0);
  RunTool(folder.path(), "config set window.lyricdlg.font '黑体'", &status);
  std::string dump = RunTool(folder.path(), "store dump", &status);
  EXPECT_EQ(status, 0);
  EXPECT_NE(dump.find("<config name=\"module.music.play_mode\" value=\"random\" />"), std::string::npos);
  std::optional<std::string> bytes = fs::ReadWholeFile(folder / "sorvel.qlm");
  ASSERT_TRUE(bytes);
  EXPECT_EQ((*bytes)[0], '\x01');
  EXPECT_EQ(quillo::testing::DecodeDataFile(folder / "sorvel.qlm"), dump);
  EXPECT_EQ(RunTool(folder.path(), "config get window.lyricdlg.font", &status), "黑体\n");
  EXPECT_EQ(RunTool(folder.path(), "config get nothing.here fallback", &status), "fallback\n");
  RunTool(folder.path(), "config get nothing.here", &status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(RunTool(folder.path(), "config get sorvel.cache.size", &status), "100\n");
  RunTool(folder.path(), "config remove module.music.play_mode", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(RunTool(folder.path(), "config list", &status), "window.lyricdlg.font=黑体\n");
  std::string id = RunTool(folder.path(), "clientid", &status);
  EXPECT_EQ(id.size(), 33u);
  EXPECT_EQ(RunTool(folder.path(), "clientid", &status), id);
  EXPECT_EQ(RunTool(folder.path(), "store path", &status), folder / "sorvel.qlm\n");
  RunTool(folder.path(), "no-such-command 2>/dev/null", &status);
  EXPECT_EQ(status, 1);
}

}  // namespace
}  // namespace quillo::store
