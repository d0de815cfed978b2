// Under X (Xvfb), with real input through XTest: the download manager tab in a frame of its own,
// over a real store, download manager and safe downloader whose answers the test holds back.
// A header click sorts, a double-click starts and stops a row, "停止下载" stops every row.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "../GuiHarness.h"
#include "DownloadsDemo.h"
#include "downloads/DownloadManager.h"
#include "fakes/FakeTransferClient.h"
#include "platform/loop/MainLoop.h"
#include "platform/window/WindowSystem.h"
#include "service/api/ServiceEndpoints.h"
#include "service/api/SharedEndpoints.h"
#include "service/transfer/SafeDownloader.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"
#include "ui/downloads/DownloadManagerView.h"

namespace quillo::testing {
namespace {

using downloads::DownloadRows;
using downloads::RowState;
using gallery::DownloadsDemo;
using ui::DownloadManagerDlg;

constexpr std::size_t kBodyBytes = 2u * 1048576;

bool Xdo(const std::string& arguments) {
  return std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

// Two clicks close enough together for GTK to see a double-click.
bool DoubleClickAt(gfx::Point p) {
  const std::string click = "click --repeat 2 --delay 60 1";
  // xdotool's --sync waits for the pointer to move, so it would hang when it is already there.
  if (window::WindowSystem::Instance()->CursorPosition() == p) return Xdo(click);
  return Xdo("mousemove --sync " + std::to_string(p.x) + " " + std::to_string(p.y) + " " + click);
}

// Lets the double-click time pass, so that the next two clicks make a double-click of their own
// rather than the end of a triple click.
void WaitOutDoubleClickTime() {
  gint double_click_ms = 400;
  g_object_get(gtk_settings_get_default(), "gtk-double-click-time", &double_click_ms, nullptr);
  WaitFor([] { return false; }, std::chrono::milliseconds(double_click_ms + 200));
}

// With QUILLO_SCREENSHOT_DIR set, writes the window as the screen shows it to <dir>/<name>.png.
void SaveScreen(ui::LayerWnd& window, const std::string& name) {
  const char* dir = std::getenv("QUILLO_SCREENSHOT_DIR");
  if (!dir) return;
  WaitFor([&window] { return !window.needs_update(); });
  // Only for the pictures: the window pushes its last drawing to the server at its next frame.
  WaitFor([] { return false; }, std::chrono::milliseconds(400));
  gdk_display_sync(gdk_display_get_default());
  const gfx::Rect r = window.WindowRect();
  GdkPixbuf* shot = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), r.left, r.top,
                                               r.width(), r.height());
  ASSERT_NE(shot, nullptr);
  const std::string file = std::string(dir) + "/" + name + ".png";
  EXPECT_TRUE(gdk_pixbuf_save(shot, file.c_str(), "png", nullptr, nullptr)) << file;
  g_object_unref(shot);
}

class DownloadManagerGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!GuiRuntime()) GTEST_SKIP() << "no display";
    loop::MainLoop& loop = *loop::MainLoop::Instance();
    runtime_ = std::make_unique<store::StoreRuntime>(folder_.path());
    ASSERT_TRUE(runtime_->Open(/*start_saver=*/false));
    auto client = std::make_unique<FakeTransferClient>(
        [this](const FakeAttempt& attempt, int) { return Answer(attempt); });
    downloader_ = std::make_unique<service::SafeDownloader>(loop, std::move(client));
    endpoints_.Set(service::EndpointsForBaseUrl("http://127.0.0.1:9/"));
    manager_ =
        std::make_unique<downloads::DownloadManager>(loop, *runtime_, *downloader_, endpoints_);
    stopper_ = runtime_->library().AttachDownloadStopper(*manager_);
  }

  void TearDown() override {
    if (demo_) demo_->Destroy();
    demo_.reset();
    {
      std::lock_guard lock(mutex_);
      for (auto& [id, gate] : gates_) gate->store(kBodyBytes);
    }
    stopper_.Reset();
    manager_.reset();
    if (downloader_) downloader_->Shutdown();
    downloader_.reset();
    if (runtime_) runtime_->Close();
  }

  // Song bodies of kBodyBytes, given only as far as the song's gate allows.
  FakeAnswer Answer(const FakeAttempt& attempt) {
    FakeAnswer answer;
    const std::size_t at = attempt.url.find("download.php?id=");
    if (at == std::string::npos) {
      answer.status = 404;
      return answer;
    }
    const std::size_t begin = at + 16;
    const std::string id = attempt.url.substr(begin, attempt.url.find('&', begin) - begin);
    std::lock_guard lock(mutex_);
    auto gate = gates_.find(id);
    if (gate == gates_.end()) {
      answer.status = 404;
      return answer;
    }
    answer.body = std::string("ID3\x03\x00\x00\x00\x00\x00\x00", 10) +
                  std::string(kBodyBytes - 10 - attempt.resume_from, 'x');
    answer.released = gate->second;
    answer.headers.emplace_back("Content-Length", std::to_string(answer.body.size()));
    return answer;
  }

  void AddSong(const std::string& id, const std::string& name, std::size_t released = 0) {
    {
      std::lock_guard lock(mutex_);
      gates_[id] = std::make_shared<std::atomic<std::size_t>>(released);
    }
    ASSERT_TRUE(runtime_->library().AddMusic({{"id", id}, {"name", name}, {"status", "0"}}));
  }

  void Open() {
    DownloadManagerDlg::Deps deps{*runtime_, *manager_,
                                  [this](const std::vector<std::string>& ids) {
                                    for (const std::string& id : ids)
                                      runtime_->library().DeleteMusic(id);
                                  }};
    deps.confirm = [](const std::string&) { return true; };
    demo_ = std::make_unique<DownloadsDemo>(std::move(deps));
    ASSERT_TRUE(demo_->Create(
        gfx::Rect::FromXYWH(60, 40, DownloadsDemo::kWidth, DownloadsDemo::kHeight), nullptr));
    ASSERT_NE(demo_->tab(), nullptr);
    demo_->tab()->Show(true);
    ASSERT_TRUE(WaitFor([&] { return IsOnScreen(*demo_); }));
    ASSERT_TRUE(FocusNativeWindow(*demo_));
  }

  DownloadRows& rows() { return demo_->tab()->rows(); }
  const downloads::DownloadRow& Row(const std::string& id) {
    static const downloads::DownloadRow none;
    const std::size_t index = rows().IndexOf(id);
    return index < rows().size() ? rows().rows()[index] : none;
  }
  std::vector<std::string> Order() {
    std::vector<std::string> ids;
    for (const auto& row : rows().rows()) ids.push_back(row.music_id);
    return ids;
  }
  // The screen point in the middle of a row's name cell.
  gfx::Point RowPoint(const std::string& id) {
    const gfx::Rect list = demo_->tab()->ListRect();
    const gfx::Rect window = demo_->WindowRect();
    const int index = static_cast<int>(rows().IndexOf(id));
    return gfx::Point{window.left + list.left + 120,
                      window.top + list.top + index * ui::DownloadManagerView::kRowHeight +
                          ui::DownloadManagerView::kRowHeight / 2};
  }
  std::size_t Received(const std::string& id) {
    auto transfer = manager_->FindSongTransfer(id);
    return transfer ? transfer->received_bytes : 0;
  }

  TempFolder folder_;
  std::unique_ptr<store::StoreRuntime> runtime_;
  std::unique_ptr<service::SafeDownloader> downloader_;
  service::SharedEndpoints endpoints_;
  std::unique_ptr<downloads::DownloadManager> manager_;
  loop::Subscription stopper_;
  std::mutex mutex_;
  std::map<std::string, std::shared_ptr<std::atomic<std::size_t>>> gates_;
  std::unique_ptr<DownloadsDemo> demo_;
};

TEST_F(DownloadManagerGuiTest, AHeaderClickSortsAndASecondClickReverses) {
  AddSong("1", "Charlie");
  AddSong("2", "alpha");
  AddSong("3", "Bravo");
  Open();
  ASSERT_EQ(Order(), (std::vector<std::string>{"1", "2", "3"}));

  const int name_header = DownloadManagerDlg::kControlIdBase + DownloadRows::kNameColumn;
  ASSERT_TRUE(ClickAt(ControlCentre(*demo_, name_header)));
  ASSERT_TRUE(WaitFor([&] { return rows().sort_column() == DownloadRows::kNameColumn; }));
  EXPECT_TRUE(rows().ascending());
  EXPECT_EQ(Order(), (std::vector<std::string>{"2", "3", "1"}));

  ASSERT_TRUE(ClickAt(ControlCentre(*demo_, name_header)));
  ASSERT_TRUE(WaitFor([&] { return !rows().ascending(); }));
  EXPECT_EQ(Order(), (std::vector<std::string>{"1", "3", "2"}));
}

TEST_F(DownloadManagerGuiTest, ADoubleClickStartsARowAndAnotherStopsIt) {
  AddSong("1", "First", 300000);
  AddSong("2", "Second");
  Open();
  ASSERT_EQ(Row("1").state, RowState::kWaiting);

  ASSERT_TRUE(DoubleClickAt(RowPoint("1")));
  ASSERT_TRUE(WaitFor([&] { return manager_->FindSongTransfer("1").has_value(); }));
  EXPECT_FALSE(runtime_->library().IsPaused("1"));
  // The tab's timer follows the download: receiving, with its size and progress.
  ASSERT_TRUE(WaitFor([&] { return Received("1") == 300000; }));
  ASSERT_TRUE(WaitFor([&] {
    return Row("1").state == RowState::kReceiving && Row("1").progress_text == "14.30%";
  }));
  EXPECT_EQ(Row("1").size_text, "2.00M");
  EXPECT_TRUE(Row("1").selected);
  EXPECT_EQ(Row("2").state, RowState::kWaiting);
  SaveScreen(*demo_, "download-manager-tab");

  WaitOutDoubleClickTime();
  ASSERT_TRUE(DoubleClickAt(RowPoint("1")));
  ASSERT_TRUE(WaitFor([&] { return Row("1").state == RowState::kStopped; }));
  EXPECT_TRUE(runtime_->library().IsPaused("1"));
  EXPECT_FALSE(manager_->FindSongTransfer("1").has_value());
  EXPECT_EQ(Row("2").state, RowState::kWaiting);
}

TEST_F(DownloadManagerGuiTest, TheStopButtonStopsTheRunningAndTheWaitingSongs) {
  for (const char* id : {"1", "2", "3", "4", "5"}) AddSong(id, std::string("Song ") + id, 1000);
  Open();
  manager_->Schedule();
  ASSERT_EQ(manager_->active_count(), 2u);
  ASSERT_TRUE(WaitFor([&] {
    return Row("1").state == RowState::kReceiving && Row("2").state == RowState::kReceiving;
  }));
  EXPECT_EQ(Row("3").state, RowState::kWaiting);

  ASSERT_TRUE(ClickAt(
      ControlCentre(*demo_, DownloadManagerDlg::kControlIdBase + DownloadManagerDlg::kStopButton)));
  ASSERT_TRUE(WaitFor([&] {
    for (const auto& row : rows().rows())
      if (row.state != RowState::kStopped) return false;
    return true;
  }));
  for (const char* id : {"1", "2", "3", "4", "5"}) {
    EXPECT_TRUE(runtime_->library().IsPaused(id)) << id;
    EXPECT_EQ(runtime_->library().FindMusic(id)->at("status"), "0") << id;
  }
  EXPECT_EQ(manager_->active_count(), 0u);

  // "启动下载" lets them wait again.
  ASSERT_TRUE(ClickAt(ControlCentre(
      *demo_, DownloadManagerDlg::kControlIdBase + DownloadManagerDlg::kStartButton)));
  ASSERT_TRUE(WaitFor([&] { return Row("5").state == RowState::kWaiting; }));
  EXPECT_FALSE(runtime_->library().IsPaused("3"));
}

}  // namespace
}  // namespace quillo::testing
