#include "media/FolderScanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <thread>

#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace quillo::media {
namespace {

namespace stdfs = std::filesystem;

// Files of a given size without writing their bytes (sparse).
void MakeFile(const std::string& path, std::uintmax_t bytes) {
  fs::CreateFolders(fs::ParentFolder(path));
  ASSERT_TRUE(fs::WriteFile(path, ""));
  stdfs::resize_file(path, bytes);
}

class Recorder : public ImportListener {
 public:
  void Started() override { Log("started"); }
  void Searching(const std::string& folder) override { Log("searching " + folder); }
  void FolderDone(const std::string& folder) override { Log("done " + folder); }
  void FileFound(const std::string& path) override {
    Log("file " + path);
    std::lock_guard lock(mutex_);
    files_.push_back(path);
  }
  void Finished() override { Log("finished"); }

  std::vector<std::string> files() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> sorted = files_;
    std::sort(sorted.begin(), sorted.end());
    return sorted;
  }
  std::vector<std::string> log() {
    std::lock_guard lock(mutex_);
    return log_;
  }

 private:
  void Log(const std::string& line) {
    std::lock_guard lock(mutex_);
    log_.push_back(line);
  }
  std::mutex mutex_;
  std::vector<std::string> files_;
  std::vector<std::string> log_;
};

TEST(FolderScannerTest, SizeRuleHiddenFoldersExclusionsAndLinkLoops) {
  quillo::testing::TempFolder root;
  const std::string r = root.path();
  MakeFile(r + "big.mp3", 512000);
  MakeFile(r + "small.mp3", 511999);
  MakeFile(r + ".hidden-file.mp3", 600000);         // hidden files are still considered
  MakeFile(r + ".hidden/inside.mp3", 600000);       // hidden folders are not entered
  MakeFile(r + "sub/deeper/song.wma", 700000);
  MakeFile(r + "music/stored.mp3", 900000);         // the store's music folder
  MakeFile(r + "music/below/stored2.mp3", 900000);
  MakeFile(r + "program/own.mp3", 900000);          // the program's folder
  stdfs::create_directory_symlink(r + "sub", r + "sub/deeper/loop");  // a loop
  stdfs::create_directory_symlink(r + "music", r + "link-to-music");   // the music folder by another name

  FolderScanner scanner(r + "music", "  " + r + "program/  ");
  Recorder recorder;
  scanner.AddListener(&recorder);
  scanner.Start(r);
  scanner.Wait();
  EXPECT_FALSE(scanner.running());
  EXPECT_EQ(recorder.files(), (std::vector<std::string>{r + ".hidden-file.mp3", r + "big.mp3",
                                                        r + "sub/deeper/song.wma"}));
  std::vector<std::string> log = recorder.log();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "started");
  EXPECT_EQ(log.back(), "finished");
  EXPECT_EQ(std::count(log.begin(), log.end(), "searching " + r + "sub/"), 1);
}

TEST(FolderScannerTest, MusicFolderAsRootYieldsNothing) {
  quillo::testing::TempFolder root;
  MakeFile(root / "music/a/song.mp3", 600000);
  for (std::string start : {root / "music", root / "music/a"}) {
    FolderScanner scanner(root / "music/", "");
    Recorder recorder;
    scanner.AddListener(&recorder);
    scanner.Start(start);
    scanner.Wait();
    EXPECT_TRUE(recorder.files().empty()) << start;
    EXPECT_EQ(recorder.log(), (std::vector<std::string>{"started", "finished"}));
  }
}

// Stops the walk while the first file is being reported: that file is finished, nothing after.
class Canceller : public Recorder {
 public:
  explicit Canceller(FolderScanner& scanner) : scanner_(scanner) {}
  void FileFound(const std::string& path) override {
    Recorder::FileFound(path);
    while (!scanner_.cancelled()) std::this_thread::yield();
  }

 private:
  FolderScanner& scanner_;
};

TEST(FolderScannerTest, StopFinishesTheCurrentFileThenEnds) {
  quillo::testing::TempFolder root;
  for (int i = 0; i < 5; ++i) MakeFile(root / ("f" + std::to_string(i) + ".mp3"), 600000);
  MakeFile(root / "sub/g.mp3", 600000);
  FolderScanner scanner("", "");
  Canceller canceller(scanner);
  scanner.AddListener(&canceller);
  scanner.Start(root.path());
  while (canceller.files().empty()) std::this_thread::yield();
  scanner.Stop();
  EXPECT_FALSE(scanner.running());
  EXPECT_EQ(canceller.files().size(), 1u);
  EXPECT_EQ(canceller.log().back(), "finished");
}

}  // namespace
}  // namespace quillo::media
