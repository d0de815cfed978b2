// The cause quillo-tool names for a path it cannot use.
#include "tools/quillo-tool/FileArgument.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace quillo::tool {
namespace {

TEST(FileArgumentTest, NamesTheCause) {
  testing::TempFolder folder;
  const std::string file = folder / "song.mp3";
  ASSERT_TRUE(fs::WriteFile(file, "ID3"));
  std::filesystem::create_symlink(folder / "gone.mp3", folder / "dangling.mp3");
  struct Case {
    std::string path;
    FileUse use;
    std::string expected;  // empty: usable
  };
  const Case kCases[] = {
      {file, FileUse::kRead, ""},
      {file, FileUse::kReadWrite, ""},
      {file, FileUse::kReadFileOrFolder, ""},
      {folder / "missing.mp3", FileUse::kRead, "文件不存在: " + folder / "missing.mp3"},
      {folder / "dangling.mp3", FileUse::kRead, "文件不存在: " + folder / "dangling.mp3"},
      {"", FileUse::kRead, "文件不存在: "},
      {folder.path(), FileUse::kRead, "不是文件: " + folder.path()},
      {folder.path(), FileUse::kReadWrite, "不是文件: " + folder.path()},
      {folder.path(), FileUse::kReadFileOrFolder, ""},
      {file + "/inner.mp3", FileUse::kRead, "文件不存在: " + file + "/inner.mp3"},
      // Opens, but reading fails (even for the superuser): the reason is the system's.
      {"/proc/self/mem", FileUse::kRead, "无法读取文件: /proc/self/mem: Input/output error"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(FileProblem(c.path, c.use), c.expected) << c.path;
  }
  std::ostringstream err;
  EXPECT_FALSE(CheckFileArgument(folder / "missing.mp3", FileUse::kRead, err));
  EXPECT_EQ(err.str(), "quillo-tool: 文件不存在: " + folder / "missing.mp3" + "\n");
  EXPECT_TRUE(CheckFileArgument(file, FileUse::kRead, err));
}

TEST(FileArgumentTest, NamesMissingPermissions) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  testing::TempFolder folder;
  const std::string locked = folder / "locked.mp3";
  const std::string read_only = folder / "read-only.mp3";
  ASSERT_TRUE(fs::WriteFile(locked, "ID3"));
  ASSERT_TRUE(fs::WriteFile(read_only, "ID3"));
  ASSERT_EQ(chmod(locked.c_str(), 0), 0);
  ASSERT_EQ(chmod(read_only.c_str(), 0444), 0);
  EXPECT_EQ(FileProblem(locked, FileUse::kRead), "无法读取文件: " + locked + ": Permission denied");
  EXPECT_EQ(FileProblem(read_only, FileUse::kRead), "");
  EXPECT_EQ(FileProblem(read_only, FileUse::kReadWrite),
            "无法写入文件: " + read_only + ": Permission denied");
}

}  // namespace
}  // namespace quillo::tool
