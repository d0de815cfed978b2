// The settings dialog's rules without a window: the working copy (defaults, counts, colour
// texts), the count sliders, the tree, the font list, the music folder's questions and what
// Apply writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"
#include "ui/dialogs/CountSlider.h"
#include "ui/dialogs/EnsureFolder.h"
#include "ui/dialogs/NewConfigApply.h"
#include "ui/dialogs/NewConfigDlg.h"
#include "ui/dialogs/NewConfigTree.h"
#include "ui/dialogs/NewConfigWorkingCopy.h"
#include "ui/lyricviews/LyricDlgLook.h"

namespace quillo::ui {
namespace {

class NewConfigLogicTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(runtime_.Open(false)); }
  void TearDown() override { runtime_.Close(); }
  store::DocumentStore& store() { return runtime_.store(); }

  testing::TempFolder folder_;
  store::StoreRuntime runtime_{folder_ / "data/"};
};

TEST_F(NewConfigLogicTest, AFreshCopyHasTheDefaultsAndAutorunComesFromTheEntry) {
  store().SetConfigText("sorvel.autorun", "true");  // the stored key is not what counts
  store().SetConfigText("window.lyricbar.fontsize", "33");
  NewConfigWorkingCopy copy(store(), false);
  EXPECT_EQ(copy.Get("sorvel.autorun"), "false");
  EXPECT_EQ(copy.Get("sorvel.minimal.type"), "ask");
  EXPECT_EQ(copy.Get("sorvel.music.max_download_thread"), "2");
  EXPECT_EQ(copy.Get("sorvel.cache.size"), "100");
  EXPECT_EQ(copy.Get("window.lyricbar.chnfont"), "黑体");
  EXPECT_EQ(copy.Get("window.lyricbar.fontsize"), "33");
  EXPECT_EQ(copy.Get("window.lyricdlg.fcolor"), "#6bc9ff");
  EXPECT_EQ(copy.Get("sorvel.music.sendtomsn.type"), "name");
  EXPECT_EQ(copy.Get(NewConfigWorkingCopy::kMusicFolder), store().FolderPath("music"));
  EXPECT_EQ(NewConfigWorkingCopy(store(), true).Get("sorvel.autorun"), "true");
  EXPECT_EQ(copy.Get("no.such.key"), "");
  copy.Set("no.such.key", "x");
  EXPECT_EQ(copy.Get("no.such.key"), "");
}

TEST_F(NewConfigLogicTest, CountsStepAndStayInTheirRangesWhateverIsStored) {
  NewConfigWorkingCopy copy(store(), false);
  copy.SetDownloadCount(2);
  copy.StepDownloads(false);
  EXPECT_EQ(copy.DownloadCount(), 1);
  copy.SetDownloadCount(19);
  copy.StepDownloads(true);
  EXPECT_EQ(copy.DownloadCount(), 20);
  copy.SetCacheCount(15);
  copy.StepCache(false);
  EXPECT_EQ(copy.CacheCount(), 1);
  copy.SetCacheCount(190);
  copy.StepCache(true);
  EXPECT_EQ(copy.CacheCount(), 200);
  copy.SetDownloadCount(99);
  EXPECT_EQ(copy.Get("sorvel.music.max_download_thread"), "20");
  // A stored count that is junk or out of range reads as a valid one.
  store().SetConfigText("sorvel.music.max_download_thread", "lots");
  store().SetConfigText("sorvel.cache.size", "-5");
  NewConfigWorkingCopy odd(store(), false);
  EXPECT_EQ(odd.DownloadCount(), 2);
  EXPECT_EQ(odd.CacheCount(), 1);
}

TEST_F(NewConfigLogicTest, ColourTextsHaveTwoDigitsPerComponentAndBothFormsReadBack) {
  EXPECT_EQ(NewConfigWorkingCopy::ColorText(gfx::Color::Rgb(5, 10, 255)), "#050aff");
  EXPECT_EQ(NewConfigWorkingCopy::ColorText(gfx::Color::Rgb(0, 0, 0)), "#000000");
  for (const char* text : {"#050aff", "# 5 afff"}) {
    const gfx::Color c = ParseLyricColor(text, 255);
    EXPECT_EQ(c, gfx::Color::Rgb(5, 10, 255)) << text;
  }
  NewConfigWorkingCopy copy(store(), false);
  copy.SetColor("window.lyricdlg.bcolor", gfx::Color::Rgb(1, 2, 3));
  EXPECT_EQ(copy.Get("window.lyricdlg.bcolor"), "#010203");
  EXPECT_EQ(copy.ColorOf("window.lyricdlg.bcolor"), gfx::Color::Rgb(1, 2, 3));
  // The lyric window page's "恢复默认" text colour differs from the load default by one digit.
  copy.RestoreLyricWindowDefaults();
  EXPECT_EQ(copy.Get("window.lyricdlg.fcolor"), "#6dc9ff");
  EXPECT_EQ(copy.Get("window.lyricdlg.bcolor"), "#1a1a1a");
}

TEST(CountSliderTest, ThumbAndCountMapBothWays) {
  const CountSlider downloads{192, 20};
  const CountSlider cache{252, 200};
  EXPECT_EQ(downloads.ThumbLeft(1), 192);
  EXPECT_EQ(downloads.ThumbLeft(20), 192 + 179);
  EXPECT_EQ(cache.ThumbLeft(200), 252 + 179);
  EXPECT_EQ(downloads.ThumbLeft(50), 192 + 179);  // clamped
  for (int n = 1; n <= 20; ++n) EXPECT_EQ(downloads.CountAt(downloads.ThumbLeft(n)), n) << n;
  EXPECT_EQ(downloads.CountAt(0), 1);
  EXPECT_EQ(cache.CountAt(cache.ThumbLeft(100)), 100);
  EXPECT_EQ(cache.CountAt(10000), 200);
}

TEST(NewConfigTreeTest, RequestsAndGroupsAndTheLayoutOfEachOpenGroup) {
  EXPECT_EQ(NewConfigTree::PageFor(1), 10);
  EXPECT_EQ(NewConfigTree::PageFor(15), 15);
  EXPECT_EQ(NewConfigTree::PageFor(13), 14);  // a group: its first page
  EXPECT_EQ(NewConfigTree::PageFor(16), 17);
  EXPECT_EQ(NewConfigTree::PageFor(99), 10);
  EXPECT_EQ(NewConfigTree::GroupOf(15), 13);
  EXPECT_EQ(NewConfigTree::Title(15), "");
  EXPECT_EQ(NewConfigTree::Title(11), "基本设置—下载设置");
  auto ys = [](int group) {
    std::vector<std::pair<int, int>> rows;
    for (const auto& row : NewConfigTree::Layout(group)) rows.emplace_back(row.id, row.bounds.top);
    return rows;
  };
  using Rows = std::vector<std::pair<int, int>>;
  EXPECT_EQ(ys(9), (Rows{{9, 29}, {10, 60}, {11, 84}, {12, 108}, {13, 347}, {16, 378}}));
  EXPECT_EQ(ys(13), (Rows{{9, 29}, {13, 60}, {14, 92}, {15, 116}, {16, 378}}));
  EXPECT_EQ(ys(16), (Rows{{9, 29}, {13, 60}, {16, 91}, {17, 123}}));
  for (const auto& row : NewConfigTree::Layout(9)) {
    EXPECT_EQ(row.bounds.width(), row.group ? 114 : 116);
    EXPECT_EQ(row.bounds.left, row.group ? 8 : 7);
  }
}

TEST(NewConfigListsTest, FontsLeaveOutAtNamesSystemAndRepeatsAndTheSizeListsAreFixed) {
  const std::vector<std::string> fonts =
      NewConfigDlg::FontList({"DejaVu Sans", "@MS Mincho", "System", "DejaVu Sans", "黑体", "Noto"});
  EXPECT_EQ(fonts, (std::vector<std::string>{"宋体", "黑体", "Verdana", "Arial", "DejaVu Sans",
                                             "Noto"}));
  const auto& bar = NewConfigDlg::LyricBarSizes();
  ASSERT_EQ(bar.size(), 25u);
  EXPECT_EQ(bar.front(), "40");
  EXPECT_EQ(bar.back(), "16");
  EXPECT_EQ(NewConfigDlg::LyricWindowSizes().size(), 14u);
  EXPECT_EQ(NewConfigDlg::LyricWindowSizes().back(), "96");
}

TEST_F(NewConfigLogicTest, EnsureFolderAsksBeforeCreatingAndSaysWhyItFailed) {
  std::vector<std::string> alerts, questions;
  bool answer = true;
  FolderQuestions ask{[&](const std::string& m) { alerts.push_back(m); },
                      [&](const std::string& m) {
                        questions.push_back(m);
                        return answer;
                      }};
  std::string existing = "  " + folder_.path().substr(0, folder_.path().size() - 1) + " ";
  EXPECT_TRUE(EnsureFolder::Run(existing, "音乐", ask));
  EXPECT_EQ(existing, folder_.path());
  EXPECT_TRUE(questions.empty());

  std::string relative = "Music/mine";
  EXPECT_FALSE(EnsureFolder::Run(relative, "音乐", ask));
  EXPECT_EQ(alerts, (std::vector<std::string>{"音乐目录[Music/mine]不存在且无法创建！"}));
  EXPECT_TRUE(questions.empty());

  const std::string deep = folder_ / "a/b/c";
  std::string path = deep;
  answer = false;
  EXPECT_FALSE(EnsureFolder::Run(path, "音乐", ask));
  EXPECT_FALSE(fs::FolderExists(deep));
  EXPECT_EQ(alerts.size(), 1u);  // "no" is a failure without a further message
  answer = true;
  path = deep;
  EXPECT_TRUE(EnsureFolder::Run(path, "音乐", ask));
  EXPECT_TRUE(fs::FolderExists(deep));
  EXPECT_EQ(path, deep + "/");
  ASSERT_EQ(questions.size(), 2u);
  EXPECT_EQ(questions[1], "音乐目录[" + deep + "]不存在，是否要创建？");

  // A level that cannot be made (a file stands where a folder should be).
  ASSERT_TRUE(fs::WriteFile(folder_ / "file", "x"));
  path = folder_ / "file/sub";
  EXPECT_FALSE(EnsureFolder::Run(path, "音乐", ask));
  EXPECT_EQ(alerts.back(), "音乐目录[" + folder_ / "file/sub" + "]创建失败！");
}

TEST_F(NewConfigLogicTest, ApplyWritesEveryKeyMovesAChangedFolderAndTellsTheViews) {
  NewConfigWorkingCopy copy(store(), false);
  copy.Set("sorvel.autorun", "true");
  copy.Set("sorvel.minimal.type", "min");
  copy.SetDownloadCount(4);
  copy.SetCacheCount(60);
  copy.Set("window.lyricbar.chnfont", "Noto Sans");
  copy.SetColor("window.lyricdlg.bcolor", gfx::Color::Rgb(200, 0, 5));
  const std::string moved = folder_ / "newmusic/";
  copy.Set(NewConfigWorkingCopy::kMusicFolder, moved);

  std::vector<std::string> calls;
  NewConfigEffects effects;
  effects.set_autorun = [&](bool on) { calls.push_back(on ? "autorun on" : "autorun off"); };
  effects.relocate_music_folder = [&](const std::string& path) {
    calls.push_back("relocate " + path);
    runtime_.library().RelocateFolder("music", path);
  };
  effects.reload_lyric_looks = [&] { calls.push_back("reload"); };
  effects.counts_changed = [&] { calls.push_back("counts"); };
  FolderQuestions yes{[&](const std::string& m) { calls.push_back("alert " + m); },
                      [](const std::string&) { return true; }};
  EXPECT_TRUE(NewConfigApply::Run(copy, store(), yes, effects));
  EXPECT_EQ(calls, (std::vector<std::string>{"autorun on", "relocate " + moved, "reload",
                                             "counts"}));
  for (std::string_view key : NewConfigWorkingCopy::StoredKeys()) {
    EXPECT_EQ(store().GetConfigText(key), copy.Get(key)) << key;
  }
  EXPECT_EQ(store().GetConfigText("window.lyricdlg.bcolor"), "#c80005");
  EXPECT_EQ(store().FolderPath("music"), moved);
  EXPECT_EQ(store().GetConfigText("sorvel.music.music_folder"), "");  // a working entry only

  // The same folder again is no move; a folder that cannot be made keeps the old one but every
  // other key is written.
  calls.clear();
  copy.Set("sorvel.minimal.type", "close");
  copy.Set(NewConfigWorkingCopy::kMusicFolder, "relative/folder");
  EXPECT_FALSE(NewConfigApply::Run(copy, store(), yes, effects));
  EXPECT_EQ(store().FolderPath("music"), moved);
  EXPECT_EQ(store().GetConfigText("sorvel.minimal.type"), "close");
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[1], "alert 音乐目录[relative/folder]不存在且无法创建！");
}

}  // namespace
}  // namespace quillo::ui
