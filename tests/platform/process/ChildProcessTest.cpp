// Child programs: output lines, time-outs, cancelling a read, ending a child that refuses
// SIGTERM, and that nothing is left behind (no zombie, no inherited descriptor).
#include "platform/process/ChildProcess.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace quillo::process {
namespace {

using namespace std::chrono_literals;
using Status = ChildProcess::ReadStatus;

// True once no process of the id exists any more (a zombie still answers kill 0).
bool Gone(long pid) {
  return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

std::unique_ptr<ChildProcess> Shell(const std::string& script) {
  std::string error;
  auto child = ChildProcess::Spawn({"sh", "-c", script}, &error);
  EXPECT_NE(child, nullptr) << error;
  return child;
}

TEST(ChildProcessTest, ReadsLinesAndEndsAChildThatWaitsForSigterm) {
  auto child = Shell("echo one; printf 'two\\nthr'; printf 'ee\\n'; exec sleep 60");
  ASSERT_NE(child, nullptr);
  std::string line;
  for (const char* expected : {"one", "two", "three"}) {
    ASSERT_EQ(child->ReadLine(line, 30s), Status::kLine);
    EXPECT_EQ(line, expected);
  }
  EXPECT_EQ(child->ReadLine(line, 50ms), Status::kTimedOut);
  EXPECT_TRUE(child->Running());
  const long pid = child->pid();
  const int status = child->Terminate(30s);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_TRUE(Gone(pid));
  EXPECT_FALSE(child->Running());
  EXPECT_EQ(child->Terminate(), status) << "a second call answers the same";
  EXPECT_EQ(child->ReadLine(line, 1s), Status::kEnded);
}

TEST(ChildProcessTest, ChildRefusingSigtermIsKilledAfterTheGraceTime) {
  auto child = Shell("trap '' TERM; echo ready; exec sleep 60");
  ASSERT_NE(child, nullptr);
  std::string line;
  ASSERT_EQ(child->ReadLine(line, 30s), Status::kLine);
  const long pid = child->pid();
  const int status = child->Terminate(200ms);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
  EXPECT_TRUE(Gone(pid));
}

TEST(ChildProcessTest, OutputEndingAndExitStatus) {
  auto child = Shell("printf 'last line without newline'; exit 3");
  ASSERT_NE(child, nullptr);
  std::string line;
  ASSERT_EQ(child->ReadLine(line, 30s), Status::kLine);
  EXPECT_EQ(line, "last line without newline");
  EXPECT_EQ(child->ReadLine(line, 30s), Status::kEnded);
  const auto status = child->Wait(30s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 3);
}

TEST(ChildProcessTest, ReadIsCancelledFromAnotherThread) {
  auto child = Shell("exec sleep 60");
  ASSERT_NE(child, nullptr);
  std::atomic<bool> cancel{false};
  std::thread canceller([&cancel] {
    std::this_thread::sleep_for(100ms);
    cancel.store(true);
  });
  std::string line;
  EXPECT_EQ(child->ReadLine(line, 60s, &cancel), Status::kCancelled);
  canceller.join();
}

TEST(ChildProcessTest, ProgramsThatCannotStart) {
  testing::TempFolder folder;
  const std::string not_executable = folder / "plain.txt";
  ASSERT_TRUE(fs::WriteFile(not_executable, "#!/bin/sh\necho hi\n"));
  for (const std::string& program :
       {folder / "missing", not_executable, std::string("no-such-program-quillo-test")}) {
    std::string error;
    EXPECT_EQ(ChildProcess::Spawn({program}, &error), nullptr) << program;
    EXPECT_FALSE(error.empty()) << program;
  }
  EXPECT_EQ(ChildProcess::Spawn({}), nullptr);
}

TEST(ChildProcessTest, ChildInheritsNoDescriptorAndDestructorLeavesNothing) {
  const int leaky = ::open("/dev/null", O_RDONLY);  // without close-on-exec
  ASSERT_GE(leaky, 3);
  long pid = 0;
  {
    auto child = Shell("if [ -e /proc/self/fd/" + std::to_string(leaky) +
                       " ]; then echo leaked; else echo closed; fi; exec sleep 60");
    ASSERT_NE(child, nullptr);
    std::string line;
    ASSERT_EQ(child->ReadLine(line, 30s), Status::kLine);
    EXPECT_EQ(line, "closed");
    pid = child->pid();
  }
  ::close(leaky);
  EXPECT_TRUE(Gone(pid)) << "the destructor ends and reaps the child";
}

}  // namespace
}  // namespace quillo::process
