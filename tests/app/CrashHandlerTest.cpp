#include <gtest/gtest.h>
#include <sys/wait.h>

#include <climits>
#include <csignal>

#include "ChildProcess.h"
#include "platform/crash/CrashHandler.h"
#include "platform/crash/CrashRecordBuffer.h"
#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace quillo::crash {
namespace {
using namespace std::chrono_literals;

TEST(CrashRecordBufferTest, NumbersAreWrittenWithoutTheLibrary) {
  const std::pair<long long, std::string> decimals[] = {{0, "0"},
                                                        {7, "7"},
                                                        {-42, "-42"},
                                                        {LLONG_MAX, "9223372036854775807"},
                                                        {LLONG_MIN, "-9223372036854775808"}};
  for (const auto& [value, text] : decimals) {
    CrashRecordBuffer buffer;
    buffer.AppendDecimal(value);
    EXPECT_EQ(buffer.view(), text);
  }
  CrashRecordBuffer hex;
  hex.AppendHex(0x10);
  hex.Append(" ");
  hex.AppendHex(UINTPTR_MAX);
  EXPECT_EQ(hex.view(), "0x0000000000000010 0xffffffffffffffff");
  CrashRecordBuffer full;
  for (int i = 0; i < 300; ++i) full.Append("abcd");
  EXPECT_EQ(full.size(), CrashRecordBuffer::kCapacity);
  EXPECT_STREQ(FatalSignalName(SIGBUS), "SIGBUS");
  EXPECT_STREQ(FatalSignalName(SIGTERM), "signal");
}

// The probe fails for real in a folder of its own, without a display.
struct CrashRun {
  int status = 0;
  std::string record;
  std::string error_text;
};

CrashRun RunProbe(const std::vector<std::string>& args, const std::string& folder) {
  testing::ChildProcess probe(QUILLO_CRASH_PROBE, args, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}},
                              folder);
  EXPECT_TRUE(probe.started());
  CrashRun run;
  auto status = probe.Wait(60s);
  EXPECT_TRUE(status.has_value());
  run.status = status.value_or(0);
  run.record = fs::ReadWholeFile(folder + "Quillo.dmp").value_or("");
  run.error_text = probe.error_text();
  return run;
}

TEST(CrashHandlerTest, FatalSignalsWriteTheRecordAndEndWithTheSignal) {
  struct Case {
    std::string mode;
    int signal_number;
    std::string signal_line;
  };
  const Case cases[] = {
      {"segv", SIGSEGV, "signal: 11 (SIGSEGV)"},
      {"abort", SIGABRT, "signal: 6 (SIGABRT)"},
      {"fpe", SIGFPE, "signal: 8 (SIGFPE)"},
      // Runs on the alternate stack: the thread's own stack is used up.
      {"overflow", SIGSEGV, "signal: 11 (SIGSEGV)"},
  };
  for (const Case& c : cases) {
    testing::TempFolder folder;
    CrashRun run = RunProbe({c.mode, "loud"}, folder.path());
    ASSERT_TRUE(WIFSIGNALED(run.status)) << c.mode;
    EXPECT_EQ(WTERMSIG(run.status), c.signal_number) << c.mode;
    EXPECT_TRUE(run.record.starts_with("Zelbo音乐 crash record\n" + c.signal_line + "\n"))
        << c.mode << "\n"
        << run.record;
    EXPECT_NE(run.record.find("\nbacktrace:\n"), std::string::npos) << c.mode;
    EXPECT_NE(run.record.find("crash_probe"), std::string::npos) << "frames name the program";
    EXPECT_NE(run.error_text.find("Quillo.dmp: " + std::string(kCrashNoticeText)),
              std::string::npos)
        << c.mode << ": " << run.error_text;
  }
}

TEST(CrashHandlerTest, RecordNamesTheFaultingAddressAndSilentShowsNothing) {
  testing::TempFolder folder;
  CrashRun run = RunProbe({"segv", "silent", "0x1234"}, folder.path());
  ASSERT_TRUE(WIFSIGNALED(run.status));
  EXPECT_NE(run.record.find("\naddress: 0x0000000000001234\n"), std::string::npos) << run.record;
  EXPECT_EQ(run.error_text.find(std::string(kCrashNoticeText)), std::string::npos);
}

TEST(CrashHandlerTest, UnwritableFolderStillEndsWithTheSignal) {
  testing::TempFolder folder;
  // A folder named like the dump file: the record cannot be created.
  ASSERT_TRUE(fs::CreateFolders(folder / "Quillo.dmp"));
  CrashRun run = RunProbe({"segv", "loud"}, folder.path());
  ASSERT_TRUE(WIFSIGNALED(run.status));
  EXPECT_EQ(WTERMSIG(run.status), SIGSEGV);
  EXPECT_NE(run.error_text.find(std::string(kCrashNoticeText)), std::string::npos);
}

}  // namespace
}  // namespace quillo::crash
