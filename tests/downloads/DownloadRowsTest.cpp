// The download tab's rows over the real download manager, store and safe downloader (scripted
// answers held back byte by byte), with a clock the test moves.
#include "downloads/DownloadRows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DownloadManagerFixture.h"

namespace quillo::testing {
namespace {

using downloads::DownloadRow;
using downloads::DownloadRows;
using downloads::RowState;

class DownloadRowsTest : public DownloadManagerFixture {
 protected:
  void SetUp() override {
    DownloadManagerFixture::SetUp();
    DownloadRows::Hooks hooks;
    hooks.clock = [this] { return now_ms_; };
    hooks.confirm = [this](const std::string& question) {
      questions_.push_back(question);
      return answer_;
    };
    hooks.delete_songs = [this](const std::vector<std::string>& ids) {
      deleted_.push_back(ids);
      for (const std::string& id : ids) library().DeleteMusic(id);
    };
    rows_ = std::make_unique<DownloadRows>(*runtime_, *manager_, std::move(hooks));
  }
  void TearDown() override {
    rows_.reset();
    DownloadManagerFixture::TearDown();
  }

  const DownloadRow& Row(const std::string& id) {
    const std::size_t index = rows_->IndexOf(id);
    EXPECT_LT(index, rows_->size()) << id;
    static const DownloadRow none;
    return index < rows_->size() ? rows_->rows()[index] : none;
  }
  std::vector<std::string> Order() {
    std::vector<std::string> ids;
    for (const DownloadRow& row : rows_->rows()) ids.push_back(row.music_id);
    return ids;
  }
  // The song's transfer as the downloader has it now.
  downloads::DownloadManager::SongTransfer Transfer(const std::string& id) {
    auto transfer = manager_->FindSongTransfer(id);
    return transfer ? *transfer : downloads::DownloadManager::SongTransfer{};
  }

  std::int64_t now_ms_ = 50000;
  bool answer_ = true;
  std::vector<std::string> questions_;
  std::vector<std::vector<std::string>> deleted_;
  std::unique_ptr<DownloadRows> rows_;
};

TEST(DownloadRowsSizeText, UnitsAndTheirBoundaries) {
  const std::pair<std::uint64_t, const char*> cases[] = {
      {0, "-"},
      {1, "1B"},
      {1023, "1023B"},
      {1024, "1.00K"},
      {1536, "1.50K"},
      {1048575, "1024.00K"},
      {1048576, "1.00M"},
      {1073741823, "1024.00M"},
      {1073741824, "1.00G"},
      {5ull * 1073741824 + 536870912, "5.50G"},
  };
  for (const auto& [bytes, text] : cases) EXPECT_EQ(DownloadRows::SizeText(bytes), text) << bytes;
}

TEST_F(DownloadRowsTest, InitialStatesComeFromTheSongRecords) {
  AddSong("1", "Waiting", "", "");
  AddSong("2", "Paused", "", "");
  AddSong("3", "Failed", "", "");
  AddSong("4", "Downloaded", "", "");
  library().SetPaused("2", true);
  library().SetSongStatus("3", store::SongStatus::kFailed);
  library().SetSongStatus("4", store::SongStatus::kDownloaded);
  // A paused song that failed shows as failed.
  AddSong("5", "PausedAndFailed", "", "");
  library().SetPaused("5", true);
  library().SetSongStatus("5", store::SongStatus::kFailed);

  EXPECT_TRUE(rows_->RebuildIfChanged());
  EXPECT_FALSE(rows_->RebuildIfChanged());  // nothing changed since
  EXPECT_EQ(Order(), (std::vector<std::string>{"1", "2", "3", "5"}));
  EXPECT_EQ(Row("1").state, RowState::kWaiting);
  EXPECT_EQ(Row("2").state, RowState::kStopped);
  EXPECT_EQ(Row("3").state, RowState::kFailed);
  EXPECT_EQ(Row("5").state, RowState::kFailed);
  for (const DownloadRow& row : rows_->rows()) {
    EXPECT_EQ(row.size_text, "-");
    EXPECT_EQ(row.progress_text, "-");
    EXPECT_EQ(row.speed_text, "-");
    EXPECT_TRUE(row.transfer_id.empty());
  }
  EXPECT_EQ(Row("1").name, "Waiting");
}

TEST_F(DownloadRowsTest, SpeedOfOneMebibytePerSecondAfterASampleOlderThanATenthOfASecond) {
  const std::size_t size = 4u * 1048576;
  AddSong("1", "Fast", "", "", SongScript(SongBody("1", size)));
  auto gate = Hold("1", 0);
  rows_->Rebuild();
  manager_->Schedule();
  ASSERT_TRUE(Pump([&] { return Transfer("1").total_bytes == size; }));

  now_ms_ = 1000;
  rows_->Refresh();
  EXPECT_EQ(Row("1").state, RowState::kReceiving);
  EXPECT_EQ(Row("1").transfer_id, Transfer("1").transfer_id);
  EXPECT_EQ(Row("1").size_text, "4.00M");
  EXPECT_EQ(Row("1").progress_text, "0.00%");
  EXPECT_EQ(Row("1").speed_text, "-");  // the first sample gives no speed

  // 100 bytes in a second: a speed, but no text while the progress is still 0.
  gate->store(100);
  ASSERT_TRUE(Pump([&] { return Transfer("1").received_bytes == 100; }));
  now_ms_ = 2000;
  rows_->Refresh();
  EXPECT_DOUBLE_EQ(Row("1").speed, 100.0);
  EXPECT_EQ(Row("1").speed_text, "-");

  // One mebibyte in the next second.
  gate->store(100 + 1048576);
  ASSERT_TRUE(Pump([&] { return Transfer("1").received_bytes == 100 + 1048576; }));
  now_ms_ = 3000;
  rows_->Refresh();
  EXPECT_DOUBLE_EQ(Row("1").speed, 1048576.0);
  EXPECT_EQ(Row("1").speed_text, "1.00M/s");
  EXPECT_DOUBLE_EQ(Row("1").progress, 25.0);
  EXPECT_EQ(Row("1").progress_text, "25.00%");

  // A refresh less than 100 ms later computes nothing, however much arrived.
  gate->store(100 + 3 * 1048576);
  ASSERT_TRUE(Pump([&] { return Transfer("1").received_bytes == 100 + 3 * 1048576; }));
  now_ms_ = 3050;
  rows_->Refresh();
  EXPECT_EQ(Row("1").speed_text, "1.00M/s");
  EXPECT_EQ(Row("1").progress_text, "75.00%");
}

TEST_F(DownloadRowsTest, StopAllStopsTheRunningAndTheWaitingAndPausesThem) {
  for (const char* id : {"1", "2", "3", "4", "5"}) {
    AddSong(id, std::string("Song ") + id, "", "");
    Hold(id, 1000);
  }
  manager_->Schedule();
  ASSERT_EQ(RunningSongs(), (std::vector<std::string>{"1", "2"}));
  rows_->RebuildIfChanged();
  rows_->Refresh();
  EXPECT_EQ(Row("1").state, RowState::kReceiving);
  EXPECT_EQ(Row("2").state, RowState::kReceiving);
  EXPECT_EQ(Row("3").state, RowState::kWaiting);

  rows_->StopAll();
  for (const char* id : {"1", "2", "3", "4", "5"}) {
    EXPECT_EQ(Row(id).state, RowState::kStopped) << id;
    EXPECT_TRUE(library().IsPaused(id)) << id;
    EXPECT_EQ(Status(id), "0") << id;
  }
  EXPECT_EQ(manager_->active_count(), 0u);
  // Stopped rows stay stopped through a rebuild and a refresh, and nothing starts.
  rows_->RebuildIfChanged();
  rows_->Refresh();
  manager_->Schedule();
  EXPECT_EQ(manager_->active_count(), 0u);
  EXPECT_EQ(Row("1").state, RowState::kStopped);

  // "启动下载" lets them wait again; the scheduler takes two.
  rows_->StartAll();
  for (const char* id : {"1", "2", "3", "4", "5"}) {
    EXPECT_EQ(Row(id).state, RowState::kWaiting) << id;
    EXPECT_FALSE(library().IsPaused(id)) << id;
  }
  manager_->Schedule();
  EXPECT_EQ(manager_->active_count(), 2u);
}

TEST_F(DownloadRowsTest, StartAllMakesAFailedSongWaitForTheScheduler) {
  AddSong("1", "Failed once", "", "");
  library().SetSongStatus("1", store::SongStatus::kFailed);
  rows_->Rebuild();
  ASSERT_EQ(Row("1").state, RowState::kFailed);
  rows_->StartAll();
  EXPECT_EQ(Row("1").state, RowState::kWaiting);
  Hold("1");
  manager_->Schedule();
  EXPECT_EQ(RunningSongs(), std::vector<std::string>{"1"});
}

TEST_F(DownloadRowsTest, DoubleClickStartsAWaitingRowAtOnceAndStopsARunningOne) {
  AddSong("1", "One", "", "");
  AddSong("2", "Two", "", "");
  Hold("1", 2000);
  library().SetPaused("1", true);
  rows_->Rebuild();
  ASSERT_EQ(Row("1").state, RowState::kStopped);

  rows_->Toggle(rows_->IndexOf("1"));
  EXPECT_EQ(Row("1").state, RowState::kStarted);
  EXPECT_FALSE(library().IsPaused("1"));
  EXPECT_EQ(RunningSongs(), std::vector<std::string>{"1"});
  EXPECT_EQ(Status("1"), "1");
  ASSERT_TRUE(Pump([&] { return Transfer("1").received_bytes == 2000; }));
  rows_->Refresh();
  EXPECT_EQ(Row("1").state, RowState::kReceiving);

  rows_->Toggle(rows_->IndexOf("1"));
  EXPECT_EQ(Row("1").state, RowState::kStopped);
  EXPECT_TRUE(library().IsPaused("1"));
  EXPECT_EQ(Status("1"), "0");
  EXPECT_TRUE(RunningSongs().empty());
  EXPECT_EQ(Row("1").progress_text, "-");
  // The other row was not touched.
  EXPECT_EQ(Row("2").state, RowState::kWaiting);
}

TEST_F(DownloadRowsTest, SortingByAColumnAndReversingIt) {
  AddSong("1", "Beta", "", "");
  AddSong("2", "Alpha", "", "");
  AddSong("3", "Gamma", "", "");
  library().SetPaused("1", true);
  library().SetSongStatus("3", store::SongStatus::kFailed);
  rows_->Rebuild();
  EXPECT_EQ(rows_->sort_column(), 0);

  EXPECT_TRUE(rows_->SortBy(DownloadRows::kNameColumn));
  EXPECT_EQ(Order(), (std::vector<std::string>{"2", "1", "3"}));
  EXPECT_TRUE(rows_->ascending());
  rows_->SortBy(DownloadRows::kNameColumn);
  EXPECT_EQ(Order(), (std::vector<std::string>{"3", "1", "2"}));
  EXPECT_FALSE(rows_->ascending());
  // Another column starts ascending: failed 0, stopped 4, waiting 5.
  rows_->SortBy(DownloadRows::kStateColumn);
  EXPECT_TRUE(rows_->ascending());
  EXPECT_EQ(Order(), (std::vector<std::string>{"3", "1", "2"}));
  rows_->SortBy(DownloadRows::kStateColumn);
  EXPECT_EQ(Order(), (std::vector<std::string>{"2", "1", "3"}));
  EXPECT_FALSE(rows_->SortBy(4));
  EXPECT_FALSE(rows_->SortBy(10));
  EXPECT_EQ(rows_->sort_column(), DownloadRows::kStateColumn);

  // A song added later takes its place in the sorted order.
  AddSong("4", "Delta", "", "");
  ASSERT_TRUE(rows_->RebuildIfChanged());
  EXPECT_EQ(Order(), (std::vector<std::string>{"2", "4", "1", "3"}));
}

TEST_F(DownloadRowsTest, FinishedRowsLeaveAndFailedRowsShowTheFailure) {
  AddSong("1", "Arrives", "", "");
  AddSong("2", "Missing", "", "", SongScript(SongBody("2"), 404));
  auto gate = Hold("1", 0);
  rows_->Rebuild();
  manager_->Schedule();
  rows_->Refresh();
  EXPECT_EQ(Row("1").state, RowState::kReceiving);
  EXPECT_EQ(Row("2").state, RowState::kReceiving);

  ASSERT_TRUE(Pump([&] { return Status("2") == "3"; }));
  EXPECT_FALSE(rows_->Refresh());
  EXPECT_EQ(Row("2").state, RowState::kFailed);
  EXPECT_EQ(Row("2").size_text, "-");
  EXPECT_TRUE(Row("2").transfer_id.empty());

  gate->store(kSongBytes);
  ASSERT_TRUE(Pump([&] { return Status("1") == "2"; }));
  EXPECT_TRUE(rows_->Refresh());
  EXPECT_EQ(Order(), std::vector<std::string>{"2"});
  // The store no longer lists it either.
  rows_->RebuildIfChanged();
  EXPECT_EQ(Order(), std::vector<std::string>{"2"});
}

TEST_F(DownloadRowsTest, DeletingAsksFirstAndGoesThroughTheLibraryDelete) {
  AddSong("1", "One", "", "");
  AddSong("2", "Two", "", "");
  AddSong("3", "Three", "", "");
  rows_->Rebuild();

  // Nothing selected: no question, nothing deleted.
  EXPECT_FALSE(rows_->DeleteSelected());
  EXPECT_TRUE(questions_.empty());

  rows_->SetSelected(rows_->IndexOf("2"), true);
  answer_ = false;
  EXPECT_FALSE(rows_->DeleteSelected());
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_EQ(questions_[0], "注意，删除下载列表歌曲会删除曲库对应歌曲，是否继续？");
  EXPECT_TRUE(deleted_.empty());
  EXPECT_EQ(rows_->size(), 3u);

  answer_ = true;
  EXPECT_TRUE(rows_->DeleteSelected());
  ASSERT_EQ(deleted_.size(), 1u);
  EXPECT_EQ(deleted_[0], std::vector<std::string>{"2"});
  EXPECT_EQ(Order(), (std::vector<std::string>{"1", "3"}));
  EXPECT_FALSE(library().HasMusic("2"));

  EXPECT_TRUE(rows_->DeleteAll());
  EXPECT_EQ(questions_.back(),
            "注意，删除下载列表歌曲会删除曲库对应歌曲，是否继续删除列表中的所有歌曲？");
  EXPECT_EQ(deleted_.back(), (std::vector<std::string>{"1", "3"}));
  EXPECT_EQ(rows_->size(), 0u);
  rows_->RebuildIfChanged();
  EXPECT_EQ(rows_->size(), 0u);
  // An empty list asks nothing.
  const std::size_t asked = questions_.size();
  EXPECT_FALSE(rows_->DeleteAll());
  EXPECT_EQ(questions_.size(), asked);
}

TEST_F(DownloadRowsTest, ARebuildKeepsTheRowsStateAndSelection) {
  AddSong("1", "One", "", "");
  AddSong("2", "Two", "", "");
  Hold("1", 1000);
  rows_->Rebuild();
  rows_->SetSelected(rows_->IndexOf("2"), true);
  rows_->StartNow(rows_->IndexOf("1"));
  ASSERT_TRUE(Pump([&] { return Transfer("1").received_bytes == 1000; }));
  rows_->Refresh();
  const std::string transfer = Row("1").transfer_id;
  ASSERT_FALSE(transfer.empty());

  // The start changed the song's status, so the store's lists moved on.
  ASSERT_TRUE(rows_->RebuildIfChanged());
  EXPECT_EQ(Row("1").state, RowState::kReceiving);
  EXPECT_EQ(Row("1").transfer_id, transfer);
  EXPECT_TRUE(Row("2").selected);
  EXPECT_EQ(rows_->SelectedIds(), std::vector<std::string>{"2"});

  // A song stopped from elsewhere (the library stops it) waits again.
  manager_->StopSong(downloads::DownloadKind::kSong, "1");
  rows_->Refresh();
  EXPECT_EQ(Row("1").state, RowState::kWaiting);

  // A waiting row follows its record: the player marks the song failed, another window pauses
  // the other one.
  library().SetSongStatus("1", store::SongStatus::kFailed);
  library().SetPaused("2", true);
  ASSERT_TRUE(rows_->RebuildIfChanged());
  EXPECT_EQ(Row("1").state, RowState::kFailed);
  EXPECT_EQ(Row("2").state, RowState::kStopped);
  EXPECT_TRUE(Row("2").selected);
}

}  // namespace
}  // namespace quillo::testing
