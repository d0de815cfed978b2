#include "platform/fs/FileSystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/TempFolder.h"

namespace quillo::fs {
namespace {

TEST(FileSystemTest, AtomicWriteReplacesAndLeavesNoTemporary) {
  quillo::testing::TempFolder folder;
  std::string path = folder / "data.bin";
  ASSERT_TRUE(WriteFileAtomic(path, "old"));
  ASSERT_TRUE(WriteFileAtomic(path, std::string("new\0bytes", 9)));
  EXPECT_EQ(ReadWholeFile(path), std::string("new\0bytes", 9));
  EXPECT_EQ(ListFolder(folder.path()), std::vector<std::string>{"data.bin"});
}

TEST(FileSystemTest, FailedAtomicWriteKeepsOldFile) {
  quillo::testing::TempFolder folder;
  std::string path = folder / "data.bin";
  ASSERT_TRUE(WriteFileAtomic(path, "old"));
  EXPECT_FALSE(WriteFileAtomic(folder / "missing/data.bin", "x"));
  // A read-only folder refuses the temporary file; root ignores modes, so only check as a user.
  if (::geteuid() != 0) {
    ::chmod(folder.path().c_str(), 0500);
    EXPECT_FALSE(WriteFileAtomic(path, "new"));
    ::chmod(folder.path().c_str(), 0700);
  }
  EXPECT_EQ(ReadWholeFile(path), "old");
}

TEST(FileSystemTest, PathsAndFolders) {
  quillo::testing::TempFolder folder;
  EXPECT_TRUE(CreateFolders(folder / "a/b/c/"));
  EXPECT_TRUE(CreateFolders(folder / "a/b/c"));
  EXPECT_TRUE(FolderExists(folder / "a/b/c"));
  EXPECT_FALSE(ReadWholeFile(folder / "a").has_value());  // a folder is not a file
  EXPECT_FALSE(ReadWholeFile(folder / "none").has_value());
  EXPECT_EQ(ParentFolder("/x/y/z.mp3"), "/x/y/");
  EXPECT_EQ(ParentFolder("z.mp3"), "");
  EXPECT_EQ(BaseName("/x/y/z.mp3"), "z.mp3");
  EXPECT_EQ(JoinPath("/x", "y"), "/x/y");
  EXPECT_EQ(JoinPath("/x/", "y"), "/x/y");
  EXPECT_EQ(WithTrailingSlash("/x/"), "/x/");
  EXPECT_TRUE(WriteFile(folder / "a/f", "12345"));
  EXPECT_EQ(FileSize(folder / "a/f"), 5u);
  EXPECT_TRUE(RemoveTree(folder / "a"));
  EXPECT_FALSE(PathExists(folder / "a"));
  EXPECT_FALSE(ExecutablePath().empty());
  EXPECT_EQ(LocalTimestampText().size(), 15u);
}

}  // namespace
}  // namespace quillo::fs
