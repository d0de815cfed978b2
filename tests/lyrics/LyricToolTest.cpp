// quillo-tool's lyric commands run as a process.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "LyricTestSupport.h"
#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace {

using quillo::testing::TempFolder;

const std::string kTool = std::string(QUILLO_BINARY_DIR) + "/tools/quillo-tool/quillo-tool";

struct Output {
  int status = -1;
  std::string text;
};

std::string Quote(const std::string& text) {
  return "'" + text + "'";
}

Output Tool(const std::string& arguments) {
  Output output;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(
      popen((kTool + " " + arguments + " 2>/dev/null").c_str(), "r"), pclose);
  if (!pipe) return output;
  std::array<char, 4096> buffer;
  std::size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) {
    output.text.append(buffer.data(), n);
  }
  const int status = pclose(pipe.release());
  output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return output;
}

// Standard error of a run (standard output dropped).
std::string ToolError(const std::string& arguments) {
  std::string text;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(
      popen((kTool + " " + arguments + " 2>&1 >/dev/null").c_str(), "r"), pclose);
  if (!pipe) return text;
  std::array<char, 4096> buffer;
  std::size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) text.append(buffer.data(), n);
  return text;
}

class LyricToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(quillo::fs::WriteFile(lrc_,
                                      "[ti:T]\r\n[offset:100]\r\n[00:02.00]cd\r\n"
                                      "[00:01.00][00:03.00]ab\r\n"));
  }
  TempFolder folder_;
  std::string lrc_ = folder_ / "song.lrc";
};

TEST_F(LyricToolTest, Parse) {
  Output out = Tool("lyric parse " + Quote(lrc_) + " --duration 5000");
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(out.text, "1000\t2000\tab\n2000\t3000\tcd\n3000\t5000\tab\n");
  out = Tool("lyric parse " + Quote(lrc_) + " --duration 5000 --words");
  EXPECT_EQ(out.text,
            "1000\t2000\tab\n\t0\t500\ta\n\t500\t1000\tb\n"
            "2000\t3000\tcd\n\t0\t500\tc\n\t500\t1000\td\n"
            "3000\t5000\tab\n\t0\t1000\ta\n\t1000\t2000\tb\n");
  // Karaoke files scrambled here; GBK decided by --title.
  const std::string mrc = folder_ / "k.mrc";
  ASSERT_TRUE(quillo::fs::WriteFile(
      mrc, quillo::lyrics::testing::ScrambleKaraoke(
               "karaoke.add('00:01.000', '00:02.000', '[Hi] 你', '300,200');\n", 5, 3)));
  out = Tool("lyric parse " + Quote(mrc) + " --words");
  EXPECT_EQ(out.text, "1000\t2000\tHi你\n\t0\t300\tHi\n\t300\t500\t你\n");
  const std::string gbk = folder_ / "g.lrc";
  ASSERT_TRUE(
      quillo::fs::WriteFile(gbk, "[00:01.00]\xD0\xBB\xD0\xBB"));  // 谢谢 in GBK, лл in UTF-8
  // Without a song the last line's end is guessed.
  EXPECT_EQ(Tool("lyric parse " + Quote(gbk)).text, "1000\t6000\tлл\n");
  EXPECT_EQ(Tool("lyric parse " + Quote(gbk) + " --title 谢谢").text, "1000\t6000\t谢谢\n");

  EXPECT_EQ(Tool("lyric parse " + Quote(folder_ / "missing.lrc")).status, 1);
  // A lyric past the line limit is refused, and the message says so.
  std::string many;
  for (int i = 0; i <= 100000; ++i) many += "[00:01.00]x\n";
  const std::string large = folder_ / "many.lrc";
  ASSERT_TRUE(quillo::fs::WriteFile(large, many));
  EXPECT_EQ(Tool("lyric parse " + Quote(large)).status, 1);
  EXPECT_NE(ToolError("lyric parse " + Quote(large)).find("more than 100000 lines"),
            std::string::npos);
  EXPECT_EQ(Tool("lyric parse").status, 1);
  EXPECT_EQ(Tool("lyric parse " + Quote(lrc_) + " --bogus").status, 1);
}

TEST_F(LyricToolTest, Locate) {
  struct Case {
    std::string arguments;
    std::string output;
  };
  const Case kCases[] = {
      {"900", "0\t0\t0\n"},
      {"1600 --duration 5000", "0\t1\t0\n"},   // 1500 ms into "ab": its second word begins
      {"1350 --duration 5000", "0\t0\t50\n"},  // the offset of 100 ms applies
      {"99999 --duration 5000", "2\t0\t100\n"},
  };
  for (const Case& c : kCases) {
    Output out = Tool("lyric locate " + Quote(lrc_) + " " + c.arguments);
    EXPECT_EQ(out.status, 0) << c.arguments;
    EXPECT_EQ(out.text, c.output) << c.arguments;
  }
  const std::string blank = folder_ / "blank.lrc";
  ASSERT_TRUE(quillo::fs::WriteFile(blank, "[00:01.00]\n[00:02.00]\n"));
  EXPECT_EQ(Tool("lyric locate " + Quote(blank) + " 1500 --skip-empty").text, "none\n");
  EXPECT_EQ(Tool("lyric locate " + Quote(blank) + " 1500").text, "0\t0\t100\n");
  EXPECT_EQ(Tool("lyric locate " + Quote(lrc_) + " soon").status, 1);
}

TEST_F(LyricToolTest, Adjust) {
  const std::string before = *quillo::fs::ReadWholeFile(lrc_);
  // Without --save nothing is written.
  Output out = Tool("lyric adjust " + Quote(lrc_) + " 2 500 --line 1 --duration 5000");
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(out.text, "1000\t2000\tab\n2500\t3500\tcd\n3500\t5000\tab\n");
  EXPECT_EQ(quillo::fs::ReadWholeFile(lrc_), before);

  out = Tool("lyric adjust " + Quote(lrc_) + " 2 500 --line 1 --save");
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(quillo::fs::ReadWholeFile(lrc_),
            "[ti:T]\r\n[offset:100]\r\n[00:01.000]ab\r\n[00:02.500]cd\r\n[00:03.500]ab\r\n");
  out = Tool("lyric adjust " + Quote(lrc_) + " 4 -250 --save");
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(quillo::fs::ReadWholeFile(lrc_),
            "[ti:T]\r\n[offset:-250]\r\n[00:01.000]ab\r\n[00:02.500]cd\r\n[00:03.500]ab\r\n");

  // Refused adjustments and karaoke files change nothing and fail.
  const std::string saved = *quillo::fs::ReadWholeFile(lrc_);
  EXPECT_EQ(Tool("lyric adjust " + Quote(lrc_) + " 1 100 --save").status, 1);
  EXPECT_EQ(Tool("lyric adjust " + Quote(lrc_) + " 1 100 --line 3 --save").status, 1);
  EXPECT_EQ(Tool("lyric adjust " + Quote(lrc_) + " 7 100 --save").status, 1);
  EXPECT_EQ(quillo::fs::ReadWholeFile(lrc_), saved);
  const std::string mrc = folder_ / "k.mrc";
  ASSERT_TRUE(
      quillo::fs::WriteFile(mrc, quillo::lyrics::testing::ScrambleKaraoke(
                                     "karaoke.add('00:01.000', '00:02.000', 'a', '300');", 4, 1)));
  EXPECT_EQ(Tool("lyric adjust " + Quote(mrc) + " 3 100 --save").status, 1);
}

}  // namespace
