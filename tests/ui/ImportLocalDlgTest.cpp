// The folder import dialog and the import commands over a real library, with a scripted user
// (the fake window system): what is counted, what ends the dialog, and what a cancel keeps.
#include "ui/dialogs/ImportLocalDlg.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "FakeWindowSystem.h"
#include "platform/loop/MainLoop.h"
#include "platform/window/FileChooser.h"
#include "store/MusicLibrary.h"
#include "store/PlaylistIndex.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"
#include "ui/dialogs/LocalImportCommands.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/RunModal.h"

namespace quillo::ui {
namespace {
namespace stdfs = std::filesystem;
using namespace std::chrono_literals;

// A file of the size without writing its bytes (sparse): the walk looks at sizes only.
void MakeFile(const stdfs::path& path, std::uintmax_t bytes) {
  stdfs::create_directories(path.parent_path());
  std::ofstream(path).put('\0');
  stdfs::resize_file(path, bytes);
}

constexpr std::uintmax_t kLarge = 600000;

class ScriptedChooser : public window::FileChooser {
 public:
  std::vector<std::string> ChooseFiles(const std::string&, const std::string& filter_name,
                                       const std::vector<std::string>& patterns,
                                       const window::WindowPresenter*) override {
    asked.push_back(filter_name);
    for (const std::string& p : patterns) asked.push_back(p);
    return files;
  }
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const window::WindowPresenter*) override {
    asked.push_back(title);
    return folder;
  }
  std::vector<std::string> files;
  std::optional<std::string> folder;
  std::vector<std::string> asked;
};

class ImportLocalDlgTest : public ::testing::Test {
 protected:
  ImportLocalDlgTest() : runtime_(data_.path()) { runtime_.Open(false); }
  ~ImportLocalDlgTest() override { runtime_.Close(); }

  std::size_t LocalSongs() {
    return runtime_.playlists().ListRecords(store::PlaylistIndex::kLocalListId).size();
  }
  // Lets the modal run go on until the dialog has ended, bounded.
  void WaitForEnd(ImportLocalDlg& dialog) {
    system_.script.push_back([this, &dialog] {
      loop_.PumpUntil([&] { return dialog.finished() && !dialog.IsCreated(); }, 15s);
    });
  }
  LocalImportCommands Commands(ScriptedChooser& chooser, std::vector<bool>& imported) {
    return LocalImportCommands(runtime_.library(), runtime_.playlists(), chooser,
                               LocalImportCommands::Folders{music_folder(), ""},
                               [&imported](bool was_empty) { imported.push_back(was_empty); });
  }
  std::string music_folder() { return runtime_.store().FolderPath("music"); }

  testing::TempFolder data_;
  testing::TempFolder disk_;
  loop::MainLoop loop_;
  testing::FakeWindowSystem system_;
  store::StoreRuntime runtime_;
};

TEST_F(ImportLocalDlgTest, AFolderImportCountsTheLargeMusicFilesAndClosesItself) {
  stdfs::path root = disk_.path();
  MakeFile(root / "后来.mp3", kLarge);
  MakeFile(root / "a" / "晴天.MP3", kLarge);
  MakeFile(root / "a" / "b" / "song.wma", kLarge);
  MakeFile(root / "a" / "short.mp3", 400 * 1024);     // below the walk's size rule
  MakeFile(root / ".hidden" / "secret.mp3", kLarge);  // hidden folders are not entered
  MakeFile(root / "cover.jpg", kLarge);               // not music
  ImportLocalDlg dialog(runtime_.library(), root.string(), music_folder(), "");
  WaitForEnd(dialog);
  ASSERT_TRUE(RunModal(dialog,
                       gfx::Rect::FromXYWH(10, 10, ImportLocalDlg::kWidth, ImportLocalDlg::kHeight),
                       nullptr));
  EXPECT_EQ(dialog.count(), 3);
  EXPECT_EQ(dialog.count_text(), "已经找到3首歌曲");
  EXPECT_EQ(dialog.status_text(), "导入完成");
  EXPECT_FALSE(dialog.cancelled());
  EXPECT_EQ(LocalSongs(), 3u);
}

TEST_F(ImportLocalDlgTest, CancelStopsTheWalkAfterTheFileBeingAddedAndKeepsIt) {
  stdfs::path root = disk_.path();
  for (int i = 0; i < 40; ++i) MakeFile(root / ("f" + std::to_string(i)) / "song.mp3", kLarge);
  ImportLocalDlg dialog(runtime_.library(), root.string(), music_folder(), "");
  // The store is kept busy from before the walk until the user has cancelled: no song can be
  // taken before the cancel, and after it the walk may only finish the file in hand.
  std::atomic<bool> holding{false};
  std::thread store_user([&] {
    auto lock = runtime_.store().Lock();
    holding = true;
    auto until = std::chrono::steady_clock::now() + 15s;
    while (!dialog.cancelled() && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(1ms);
    }
  });
  while (!holding) std::this_thread::yield();
  system_.script.push_back([&] {
    loop_.PumpUntil([&] { return dialog.status_text().rfind("正在搜索:", 0) == 0; }, 15s);
    LayerControl* cancel = dialog.FindControl(ImportLocalDlg::kCancelId);
    ASSERT_NE(cancel, nullptr);
    testing::Click(dialog, gfx::Point{cancel->bounds.left + 5, cancel->bounds.top + 5});
  });
  ASSERT_TRUE(RunModal(dialog,
                       gfx::Rect::FromXYWH(10, 10, ImportLocalDlg::kWidth, ImportLocalDlg::kHeight),
                       nullptr));
  store_user.join();
  EXPECT_TRUE(dialog.cancelled());
  EXPECT_LE(dialog.count(), 1);  // at most the file in hand was finished, then the walk stopped
  EXPECT_NE(dialog.status_text(), "导入完成");
  EXPECT_FALSE(system_.script_ran_out);
  EXPECT_EQ(LocalSongs(), std::size_t(dialog.count()));  // what was added stays
}

TEST_F(ImportLocalDlgTest, FoldersAndFilesWithoutMusicAddNothingAndNeverRefresh) {
  stdfs::path root = disk_.path();
  MakeFile(root / "notes.txt", kLarge);
  MakeFile(root / "photo.jpg", kLarge);
  MakeFile(root / "video.avi", kLarge);
  stdfs::create_directories(root / "album.mp3");  // a folder with a music name
  MakeFile(root / "album.mp3" / "readme.doc", kLarge);
  ScriptedChooser chooser;
  std::vector<bool> imported;
  LocalImportCommands commands = Commands(chooser, imported);
  chooser.folder = root.string();
  system_.script.push_back(
      [this] { loop_.PumpUntil([] { return LayerWindowRegistry::All().empty(); }, 15s); });
  EXPECT_EQ(commands.ImportFolder(), 0);
  EXPECT_EQ(chooser.asked, (std::vector<std::string>{"请选择要导入的目录"}));
  // A dropped folder and dropped non-music files go through the file import.
  EXPECT_EQ(commands.ImportFilesAt({(root / "album.mp3").string(), (root / "notes.txt").string(),
                                    (root / "missing.mp3").string(), ""}),
            0);
  EXPECT_TRUE(imported.empty());
  EXPECT_EQ(LocalSongs(), 0u);
  EXPECT_TRUE(LayerWindowRegistry::All().empty());
}

TEST_F(ImportLocalDlgTest, TheFileImportTakesSmallFilesAndTellsWhetherLocalWasEmpty) {
  stdfs::path root = disk_.path();
  MakeFile(root / "small.mp3", 1000);  // the file import has no size rule
  MakeFile(root / "big.wma", kLarge);
  MakeFile(root / "other.mp3", kLarge);
  ScriptedChooser chooser;
  std::vector<bool> imported;
  LocalImportCommands commands = Commands(chooser, imported);
  chooser.files = {(root / "small.mp3").string(), (root / "big.wma").string()};
  EXPECT_EQ(commands.ImportFiles(), 2);
  EXPECT_EQ(chooser.asked, (std::vector<std::string>{"音乐文件", "*.mp3", "*.wma"}));
  chooser.files = {(root / "other.mp3").string()};
  EXPECT_EQ(commands.ImportFiles(), 1);
  chooser.files.clear();  // cancelled chooser
  EXPECT_EQ(commands.ImportFiles(), 0);
  EXPECT_EQ(imported, (std::vector<bool>{true, false}));
  EXPECT_EQ(LocalSongs(), 3u);
}

}  // namespace
}  // namespace quillo::ui
