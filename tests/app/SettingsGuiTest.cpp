// The settings dialog and the equaliser in the windowed run, under X with real input: every
// opener reaches its page; a colour and a font chosen on the lyric pages change the lyric
// window's and the lyric bar's pixels after "应用"; four parallel downloads run at once without
// a restart; "取消" leaves the data file as it was; a preset chosen in the equaliser shapes what
// `quillo-tool play` decodes in a later process. Screenshots of every page and of the equaliser
// go to QUILLO_SCREENSHOT_DIR when it is set.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <set>
#include <sstream>

#include "../ui/GuiHarness.h"
#include "app/HeadlessLoginWindow.h"
#include "app/HeadlessMainWindow.h"
#include "app/ServiceRuntime.h"
#include "app/WindowedMainWindow.h"
#include "ChildProcess.h"
#include "XdgSandbox.h"
#include "downloads/DownloadManager.h"
#include "platform/fs/FileSystem.h"
#include "platform/shell/Autorun.h"
#include "playback/MenuCommands.h"
#include "playback/PlayCache.h"
#include "service/api/ServiceEndpoints.h"
#include "service/session/LoginSession.h"
#include "service/session/LoginViews.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempFolder.h"
#include "ui/dialogs/BalanceDlg.h"
#include "ui/dialogs/NewConfigDlg.h"
#include "ui/dialogs/NewConfigDownloadPage.h"
#include "ui/dialogs/NewConfigLyricBarPage.h"
#include "ui/dialogs/NewConfigLyricWindowPage.h"
#include "ui/dialogs/NewConfigTree.h"
#include "ui/dialogs/SelectColorDlg.h"
#include "ui/dialogs/SettingsWindows.h"
#include "ui/lyricviews/CLyricBar.h"
#include "ui/lyricviews/LyricDlg.h"
#include "ui/lyricviews/LyricViews.h"
#include "ui/main/MainIds.h"
#include "ui/main/SorvelMainDlg.h"
#include "ui/toolkit/LayerListPopup.h"
#include "ui/toolkit/UiRuntime.h"

namespace quillo::app {
namespace {

using testing::ScriptedHttpServer;
using ui::NewConfigDlg;

class SettingsGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::GuiRuntime()) GTEST_SKIP() << "no display";
    setenv("QUILLO_AUDIO_SINK", "fakesink sync=true", 1);
    ASSERT_TRUE(runtime_.Open(false));
    runtime_.store().SetConfigText("module.lyric.isopen", "false");
    // The music centre would open beside the window once it is drawn, over a dialog the test
    // opened at once; these tests are about the settings.
    runtime_.store().SetConfigText("module.ext.isopen", "false");
    loop::MainLoop& loop = testing::GuiRuntime()->loop();
    reporter_ = std::make_unique<HeadlessMainWindow>(loop, output_);
    service_ = std::make_unique<ServiceRuntime>(loop, runtime_.store());
    cache_ = std::make_unique<playback::PlayCache>(runtime_.store(), runtime_.library());
    downloads_ = std::make_unique<downloads::DownloadManager>(
        loop, runtime_, service_->downloader(), service_->endpoints());
    login_reporter_ = std::make_unique<HeadlessLoginWindow>(*reporter_);
    login_reporting_ = login_views_.AddWindow(*login_reporter_);
    login_ = std::make_unique<service::LoginSession>(runtime_, service_->downloader(),
                                                     service_->sender(), login_views_,
                                                     login_views_);
    windowed_ = std::make_unique<WindowedMainWindow>(loop, runtime_, *service_, *cache_,
                                                     *downloads_, *reporter_, *login_,
                                                     login_views_);
  }
  void TearDown() override {
    windowed_.reset();
    login_.reset();
    login_reporting_.Reset();
    downloads_.reset();
    if (service_) service_->Shutdown();
    service_.reset();
    cache_.reset();
    reporter_.reset();
    runtime_.Close();
  }

  ui::SettingsWindows& settings() { return windowed_->settings_windows(); }
  NewConfigDlg* dialog() { return settings().settings_dialog(); }
  bool OnPage(int page) {
    NewConfigDlg* d = dialog();
    return d && testing::IsOnScreen(*d) && d->page() == page;
  }
  bool DialogGone() { return dialog() == nullptr; }
  // A real click on the control's centre.
  void Click(ui::LayerWnd& window, int id) {
    ASSERT_NE(window.FindControl(id), nullptr) << id;
    ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window, id))) << id;
  }
  // A real click at a point of the window.
  void ClickIn(ui::LayerWnd& window, gfx::Point p) {
    const gfx::Rect r = window.WindowRect();
    ASSERT_TRUE(testing::ClickAt({r.left + p.x, r.top + p.y}));
  }
  void Shot(ui::LayerWnd& window, const std::string& name) {
    if (const char* dir = std::getenv("QUILLO_SCREENSHOT_DIR"))
      window.back_buffer().WritePng(std::string(dir) + "/" + name);
  }
  // Opens the settings dialog from the main window's button 13 on the page given by a tree
  // click (real input throughout).
  void OpenOnPage(int page) {
    if (!dialog()) {
      Click(windowed_->main_window(), ui::main_ids::kSettings);
      ASSERT_TRUE(testing::WaitFor([&] { return OnPage(10); }));
    }
    if (dialog()->page() == page) return;
    const int group = ui::NewConfigTree::GroupOf(page);
    if (dialog()->group() != group) {
      Click(*dialog(), group);
      ASSERT_TRUE(testing::WaitFor([&] { return dialog()->group() == group; }));
    }
    if (dialog()->page() != page) Click(*dialog(), page);
    ASSERT_TRUE(testing::WaitFor([&] { return OnPage(page); }));
  }
  // Chooses entry `index` of the drop-down list under the dialog's control (real clicks).
  void ChooseFromList(ui::LayerWnd& owner, int control_id, int index) {
    Click(owner, control_id);
    ui::LayerWnd* list = nullptr;
    ASSERT_TRUE(testing::WaitFor([&] {
      list = testing::NewestWindow();
      return dynamic_cast<ui::LayerListPopup*>(list) && testing::IsOnScreen(*list);
    }));
    auto* popup = static_cast<ui::LayerListPopup*>(list);
    popup->view().SetScrollOffset(index * ui::LayerListPopup::kRowHeight);
    popup->DrawAll();
    popup->UpdateLayer();
    const gfx::Rect rows = popup->view().bounds();
    const int y = rows.top + index * ui::LayerListPopup::kRowHeight - popup->view().scroll_offset() +
                  ui::LayerListPopup::kRowHeight / 2;
    ClickIn(*popup, {rows.left + 20, y});
    ASSERT_TRUE(testing::WaitFor([&] { return !popup->IsCreated(); }));
  }
  std::string DataFileBytes() {
    runtime_.store().SaveIfDirty();
    return fs::ReadWholeFile(folder_ / "data/sorvel.qlm").value_or("");
  }

  // The autostart entry the dialog reads and writes is the sandbox's, never the user's.
  testing::XdgSandbox xdg_;
  testing::TempFolder folder_;
  store::StoreRuntime runtime_{folder_ / "data/"};
  std::ostringstream output_;
  // Every request waits until the server stops: downloads stay under way.
  ScriptedHttpServer server_{[](const ScriptedHttpServer::Request&,
                                ScriptedHttpServer::Exchange& exchange) { exchange.Stall(); }};
  std::unique_ptr<HeadlessMainWindow> reporter_;
  std::unique_ptr<ServiceRuntime> service_;
  std::unique_ptr<playback::PlayCache> cache_;
  std::unique_ptr<downloads::DownloadManager> downloads_;
  std::unique_ptr<HeadlessLoginWindow> login_reporter_;
  service::LoginViews login_views_;
  loop::Subscription login_reporting_;
  std::unique_ptr<service::LoginSession> login_;
  std::unique_ptr<WindowedMainWindow> windowed_;
};

TEST_F(SettingsGuiTest, EveryOpenerReachesItsPage) {
  ASSERT_TRUE(windowed_->Open());
  ui::SorvelMainDlg& window = windowed_->main_window();

  // Button 13 of the main window (drawn greyed and dead before this dialog existed).
  Click(window, ui::main_ids::kSettings);
  ASSERT_TRUE(testing::WaitFor([&] { return OnPage(10); }));
  EXPECT_EQ(dialog()->group(), 9);
  Shot(*dialog(), "NewConfigDlg-10-general.png");
  Click(*dialog(), NewConfigDlg::kCancelId);
  ASSERT_TRUE(testing::WaitFor([&] { return DialogGone(); }));

  // The tray menu's 设置 (the command the tray hands the window).
  window.RunCommand(playback::menu_commands::kSettings);
  ASSERT_TRUE(testing::WaitFor([&] { return OnPage(10); }));
  NewConfigDlg* first = dialog();

  // The lyric window's "设置字体和颜色" while the dialog is open switches it to page 15.
  windowed_->lyric_views()->ShowView(true);
  ui::LyricDlg* lyric_window = windowed_->lyric_views()->lyric_window();
  ASSERT_NE(lyric_window, nullptr);
  lyric_window->OnMenuCommand(ui::LyricDlg::kLookSettings);
  ASSERT_TRUE(testing::WaitFor([&] { return OnPage(15); }));
  EXPECT_EQ(dialog(), first);  // one dialog at a time
  EXPECT_EQ(dialog()->group(), 13);
  Click(*dialog(), NewConfigDlg::kCancelId);
  ASSERT_TRUE(testing::WaitFor([&] { return DialogGone(); }));

  // The lyric bar's button 17 "设置桌面歌词".
  windowed_->lyric_views()->ShowView(false);
  ui::CLyricBar* bar = windowed_->lyric_views()->lyric_bar();
  ASSERT_NE(bar, nullptr);
  ASSERT_TRUE(testing::WaitFor([&] { return testing::IsOnScreen(*bar); }));
  Click(*bar, ui::CLyricBar::kSettings);
  ASSERT_TRUE(testing::WaitFor([&] { return OnPage(14); }));
  Click(*dialog(), NewConfigDlg::kCancelId);
  ASSERT_TRUE(testing::WaitFor([&] { return DialogGone(); }));

  // "均衡器" of the main window's and the tray's menus.
  window.RunCommand(playback::menu_commands::kEqualizer);
  ASSERT_TRUE(testing::WaitFor(
      [&] { return settings().equalizer() && testing::IsOnScreen(*settings().equalizer()); }));
  EXPECT_EQ(settings().equalizer()->model().preset_index(), 0);

  // It opens beside the main window as one of its attached windows and follows it.
  ui::BalanceDlg& equalizer = *settings().equalizer();
  const ui::Attachment* attachment = window.attached().Find(equalizer);
  ASSERT_NE(attachment, nullptr);
  EXPECT_EQ(attachment->side, ui::AttachSide::kRight);
  const gfx::Rect main_before = window.WindowRect();
  const gfx::Rect eq_before = equalizer.WindowRect();
  window.SetWindowRect(main_before.Offset(-40, 30));
  ASSERT_TRUE(testing::WaitFor([&] { return equalizer.WindowRect() == eq_before.Offset(-40, 30); }))
      << equalizer.WindowRect().left << "," << equalizer.WindowRect().top;
  equalizer.Close();
  EXPECT_EQ(window.attached().Find(equalizer), nullptr);
}

TEST_F(SettingsGuiTest, EveryPageAndTheEqualizerAsTheyAreDrawn) {
  ASSERT_TRUE(windowed_->Open());
  for (auto [page, name] : std::vector<std::pair<int, std::string>>{
           {11, "NewConfigDlg-11-download.png"},
           {12, "NewConfigDlg-12-cache.png"},
           {14, "NewConfigDlg-14-lyricbar.png"},
           {15, "NewConfigDlg-15-lyricwindow.png"},
           {17, "NewConfigDlg-17-messenger.png"}}) {
    OpenOnPage(page);
    EXPECT_EQ(dialog()->page(), page);
    // The count edit is a real entry: its pixels are there once it is laid out.
    if (page == 11) {
      ASSERT_TRUE(testing::WaitFor([&] { return dialog()->count_edit()->CopyIntoOwner(); }));
      EXPECT_EQ(dialog()->count_edit()->Text(), "2");
    }
    Shot(*dialog(), name);
  }
  // The download page's count edit lives only while its page shows.
  OpenOnPage(11);
  ASSERT_NE(dialog()->count_edit(), nullptr);
  EXPECT_TRUE(dialog()->count_edit()->IsCreated());
  OpenOnPage(10);
  EXPECT_FALSE(dialog()->count_edit()->IsCreated());
  windowed_->main_window().RunCommand(playback::menu_commands::kEqualizer);
  ASSERT_TRUE(testing::WaitFor(
      [&] { return settings().equalizer() && testing::IsOnScreen(*settings().equalizer()); }));
  Shot(*settings().equalizer(), "BalanceDlg.png");
}

TEST_F(SettingsGuiTest, CancelWritesNothing) {
  runtime_.store().SaveIfDirty();
  ASSERT_TRUE(windowed_->Open());
  const std::string before = DataFileBytes();
  ASSERT_FALSE(before.empty());
  OpenOnPage(11);
  Click(*dialog(), ui::NewConfigDownloadPage::kPlus);
  ASSERT_TRUE(testing::WaitFor([&] { return dialog()->working().DownloadCount() == 4; }));
  OpenOnPage(10);
  Click(*dialog(), 24);  // "关闭软件"
  ASSERT_TRUE(testing::WaitFor(
      [&] { return dialog()->working().Get("sorvel.minimal.type") == "close"; }));
  OpenOnPage(14);
  Click(*dialog(), ui::NewConfigLyricBarPage::kFirstScheme + 3);
  ASSERT_TRUE(testing::WaitFor(
      [&] { return dialog()->working().Get("window.lyricbar.color") == "3"; }));
  Click(*dialog(), NewConfigDlg::kCancelId);
  ASSERT_TRUE(testing::WaitFor([&] { return DialogGone(); }));
  EXPECT_FALSE(runtime_.store().IsDirty());
  EXPECT_EQ(DataFileBytes(), before);
  EXPECT_NE(runtime_.store().GetConfigText("sorvel.minimal.type"), "close");
  EXPECT_NE(runtime_.store().GetConfigText("window.lyricbar.color"), "3");
}

TEST_F(SettingsGuiTest, TheCountEditKeepsAValidCountWhateverIsTyped) {
  ASSERT_TRUE(windowed_->Open());
  OpenOnPage(11);
  ui::NumRangeEdit* edit = dialog()->count_edit();
  ASSERT_NE(edit, nullptr);
  auto type = [&](const std::string& text) {
    // Without a window manager the dialog gets the keyboard as one would give it.
    ASSERT_TRUE(testing::FocusNativeWindow(*dialog()));
    const gfx::Rect r = dialog()->WindowRect();
    const gfx::Point field{r.left + edit->rect().left + 5, r.top + edit->rect().top + 5};
    ASSERT_TRUE(testing::ClickAt(field));
    // Under Xvfb without a window manager the first click into a freshly focused toplevel may
    // only activate it; a second click lands in the field.
    if (!testing::WaitFor([&] { return edit->HasFocus(); }, std::chrono::milliseconds(2000))) {
      ASSERT_TRUE(testing::ClickAt(field));
    }
    ASSERT_TRUE(testing::WaitFor([&] { return edit->HasFocus(); }));
    ASSERT_TRUE(testing::PressKeys("ctrl+a"));
    ASSERT_TRUE(testing::TypeText(text));
    ASSERT_TRUE(testing::WaitFor([&] { return edit->Text() == text; }));
    ASSERT_TRUE(testing::PressKeys("Return"));
  };
  type("7");
  ASSERT_TRUE(testing::WaitFor([&] { return dialog()->working().DownloadCount() == 7; }));
  type("abc");  // junk keeps the count
  ASSERT_TRUE(testing::WaitFor([&] { return edit->Text() == "7"; }));
  EXPECT_EQ(dialog()->working().DownloadCount(), 7);
  type("35");  // beyond the range: the largest count
  ASSERT_TRUE(testing::WaitFor([&] { return edit->Text() == "20"; }));
  EXPECT_EQ(dialog()->working().DownloadCount(), 20);
  type("0");
  ASSERT_TRUE(testing::WaitFor([&] { return edit->Text() == "1"; }));
  EXPECT_EQ(dialog()->working().DownloadCount(), 1);
  testing::ReleaseTypingKeys();
  Click(*dialog(), NewConfigDlg::kApplyId);
  ASSERT_TRUE(testing::WaitFor(
      [&] { return runtime_.store().GetConfigText("sorvel.music.max_download_thread") == "1"; }));
}

TEST_F(SettingsGuiTest, TheAutostartEntryFollowsTheCheckBox) {
  ASSERT_TRUE(windowed_->Open());
  ASSERT_FALSE(shell::IsAutorunRegistered());
  OpenOnPage(10);
  Click(*dialog(), 19);  // the label "开机自动启动" acts for box 18
  ASSERT_TRUE(testing::WaitFor([&] { return dialog()->working().IsTrue("sorvel.autorun"); }));
  Click(*dialog(), NewConfigDlg::kApplyId);
  ASSERT_TRUE(testing::WaitFor([] { return shell::IsAutorunRegistered(); }));
  EXPECT_EQ(runtime_.store().GetConfigText("sorvel.autorun"), "true");
  Click(*dialog(), NewConfigDlg::kCancelId);
  ASSERT_TRUE(testing::WaitFor([&] { return DialogGone(); }));

  // A new dialog reads the entry back; unticking and "确定" removes it.
  OpenOnPage(10);
  EXPECT_TRUE(dialog()->FindControl(18)->checked);
  Click(*dialog(), 18);
  ASSERT_TRUE(testing::WaitFor([&] { return !dialog()->working().IsTrue("sorvel.autorun"); }));
  Click(*dialog(), NewConfigDlg::kOkId);
  ASSERT_TRUE(testing::WaitFor([&] { return DialogGone(); }));
  EXPECT_FALSE(shell::IsAutorunRegistered());
  EXPECT_EQ(runtime_.store().GetConfigText("sorvel.autorun"), "false");
}

// The share of pixels of two images of one size that differ.
int DifferingPixels(const gfx::Surface& a, const gfx::Surface& b, const gfx::Rect& area) {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) count += a.PixelAt(x, y) != b.PixelAt(x, y);
  return count;
}

TEST_F(SettingsGuiTest, AFontAndAColourChosenChangeTheLyricViewsAfterApply) {
  ASSERT_TRUE(windowed_->Open());
  ui::LyricViews& views = *windowed_->lyric_views();

  // The lyric window: a background colour from the palette and another font size.
  views.ShowView(true);
  ui::LyricDlg* lyric_window = views.lyric_window();
  ASSERT_NE(lyric_window, nullptr);
  ASSERT_TRUE(testing::WaitFor([&] { return testing::IsOnScreen(*lyric_window); }));
  const gfx::Surface window_before = lyric_window->back_buffer().Clone();
  OpenOnPage(15);
  Click(*dialog(), ui::NewConfigLyricWindowPage::kBackgroundColor);
  ui::SelectColorDlg* palette = nullptr;
  ASSERT_TRUE(testing::WaitFor([&] {
    palette = ui::SelectColorDlg::Current();
    return palette && testing::IsOnScreen(*palette);
  }));
  const int red_cell = 8 + 4;  // the second row's fifth cell
  const gfx::Color red = palette->CellColor(red_cell);
  Click(*palette, ui::SelectColorDlg::kFirstCellId + red_cell);
  ASSERT_TRUE(testing::WaitFor([&] { return ui::SelectColorDlg::Current() == nullptr; }));
  EXPECT_EQ(dialog()->working().ColorOf("window.lyricdlg.bcolor"), red);
  ChooseFromList(*dialog(), ui::NewConfigLyricWindowPage::kSize, 7);  // "18"
  EXPECT_EQ(dialog()->working().Get("window.lyricdlg.fontsize_pt"), "18");
  Click(*dialog(), NewConfigDlg::kApplyId);
  ASSERT_TRUE(testing::WaitFor([&] { return lyric_window->look().font_size_pt == 18; }));
  EXPECT_EQ(runtime_.store().GetConfigText("window.lyricdlg.bcolor"),
            ui::NewConfigWorkingCopy::ColorText(red));
  EXPECT_EQ(lyric_window->look().background, (gfx::Color{red.r, red.g, red.b, 255}));
  ASSERT_TRUE(testing::WaitFor([&] {
    const gfx::Rect inside = {10, 40, lyric_window->ClientSize().width - 10, 60};
    const gfx::Color pixel = lyric_window->back_buffer().ColorAt(inside.left + 2, inside.top + 2);
    return pixel.r == red.r && pixel.g == red.g && pixel.b == red.b;
  }));
  Shot(*lyric_window, "NewConfigDlg-applied-lyric-window.png");
  EXPECT_GT(DifferingPixels(window_before, lyric_window->back_buffer(),
                            {0, 30, lyric_window->ClientSize().width, 90}),
            1000);

  // The lyric bar: another Chinese font and another colour scheme.
  views.ShowView(false);
  ui::CLyricBar* bar = views.lyric_bar();
  ASSERT_NE(bar, nullptr);
  ASSERT_TRUE(testing::WaitFor([&] { return testing::IsOnScreen(*bar) && bar->presented(); }));
  const gfx::Surface bar_before = bar->canvas().composite().Clone();
  const std::string font_before = bar->look().wide_font;
  OpenOnPage(14);
  const int other_font = dialog()->fonts().size() > 4 ? 4 : 0;  // the first installed family
  ChooseFromList(*dialog(), ui::NewConfigLyricBarPage::kChineseFont, other_font);
  Click(*dialog(), ui::NewConfigLyricBarPage::kFirstScheme + 2);
  ASSERT_TRUE(testing::WaitFor(
      [&] { return dialog()->working().Get("window.lyricbar.color") == "2"; }));
  Shot(*dialog(), "NewConfigDlg-14-lyricbar-chosen.png");
  Click(*dialog(), NewConfigDlg::kApplyId);
  ASSERT_TRUE(testing::WaitFor([&] { return bar->look().scheme == 2; }));
  EXPECT_EQ(bar->look().wide_font, dialog()->fonts()[std::size_t(other_font)]);
  EXPECT_NE(bar->look().wide_font, font_before);
  ASSERT_TRUE(testing::WaitFor([&] {
    const gfx::Surface& now = bar->canvas().composite();
    return DifferingPixels(bar_before, now, {0, 0, now.width(), now.height()}) > 200;
  }));
  if (const char* dir = std::getenv("QUILLO_SCREENSHOT_DIR")) {
    bar_before.WritePng(std::string(dir) + "/NewConfigDlg-lyric-bar-before.png");
    bar->canvas().composite().WritePng(std::string(dir) + "/NewConfigDlg-applied-lyric-bar.png");
  }
}

TEST_F(SettingsGuiTest, FourParallelDownloadsRunAtOnceWithoutARestart) {
  service_->endpoints().Set(service::EndpointsForBaseUrl(server_.Url("/")));
  for (int i = 1; i <= 6; ++i) {
    ASSERT_TRUE(runtime_.library().AddMusic(
        {{"id", std::to_string(900 + i)}, {"name", "歌" + std::to_string(i)}, {"status", "0"}}));
  }
  ASSERT_TRUE(windowed_->Open());
  auto songs_asked = [&] {
    std::set<std::string> ids;
    for (const auto& request : server_.requests()) {
      const auto at = request.target.find("download.php?id=");
      if (at != std::string::npos) ids.insert(request.target.substr(at + 16, 3));
    }
    return ids.size();
  };
  downloads_->Schedule();
  ASSERT_TRUE(testing::WaitFor([&] { return songs_asked() == 2; }));
  EXPECT_EQ(downloads_->active_count(), 2u);

  OpenOnPage(11);
  Click(*dialog(), ui::NewConfigDownloadPage::kPlus);
  ASSERT_TRUE(testing::WaitFor([&] { return dialog()->working().DownloadCount() == 4; }));
  EXPECT_EQ(dialog()->working().Get("sorvel.autorun"), "false");
  Click(*dialog(), NewConfigDlg::kOkId);
  ASSERT_TRUE(testing::WaitFor([&] { return DialogGone(); }));
  EXPECT_FALSE(shell::IsAutorunRegistered());
  EXPECT_EQ(runtime_.store().GetConfigText("sorvel.music.max_download_thread"), "4");
  ASSERT_TRUE(testing::WaitFor([&] { return songs_asked() == 4; }));
  EXPECT_EQ(downloads_->active_count(), 4u);
}

// ---- The equaliser's preset through a later process --------------------------------------

// A 16-bit stereo WAV of two sines, 0.05 each, one second at 44100 Hz.
bool WriteTwoTones(const std::string& path, double a_hz, double b_hz) {
  const int rate = 44100, frames = rate;
  std::string data;
  for (int i = 0; i < frames; ++i) {
    const double t = double(i) / rate;
    const double v = 0.05 * std::sin(2 * M_PI * a_hz * t) + 0.05 * std::sin(2 * M_PI * b_hz * t);
    const auto s = static_cast<std::int16_t>(std::lround(v * 32767));
    for (int c = 0; c < 2; ++c) {
      data.push_back(char(s & 0xff));
      data.push_back(char((s >> 8) & 0xff));
    }
  }
  auto u32 = [](std::uint32_t v) {
    return std::string{char(v & 0xff), char((v >> 8) & 0xff), char((v >> 16) & 0xff),
                       char((v >> 24) & 0xff)};
  };
  auto u16 = [](std::uint16_t v) { return std::string{char(v & 0xff), char((v >> 8) & 0xff)}; };
  std::string wav = "RIFF" + u32(36 + std::uint32_t(data.size())) + "WAVEfmt " + u32(16) + u16(1) +
                    u16(2) + u32(rate) + u32(rate * 4) + u16(4) + u16(16) + "data" +
                    u32(std::uint32_t(data.size())) + data;
  return fs::WriteFile(path, wav);
}

// The left channel's samples of raw 16-bit stereo PCM as the graph's last stage hands it out.
std::vector<double> LeftChannel(const std::string& path) {
  std::vector<double> samples;
  const std::string bytes = fs::ReadWholeFile(path).value_or("");
  for (std::size_t i = 0; i + 3 < bytes.size(); i += 4) {
    const auto s = std::int16_t(std::uint8_t(bytes[i]) | (std::uint8_t(bytes[i + 1]) << 8));
    samples.push_back(s / 32768.0);
  }
  return samples;
}

// The power of one frequency (Goertzel) over the middle of the samples.
double PowerAt(const std::vector<double>& samples, double hz) {
  const std::size_t from = samples.size() / 4, to = samples.size() * 3 / 4;
  const double w = 2 * M_PI * hz / 44100.0, coeff = 2 * std::cos(w);
  double s1 = 0, s2 = 0;
  for (std::size_t i = from; i < to; ++i) {
    const double s = samples[i] + coeff * s1 - s2;
    s2 = s1;
    s1 = s;
  }
  return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

// Plays the file with `quillo-tool play` over the data folder into raw PCM; its left channel.
// Not through wavenc: a flush while it pushes its header (the player's re-decode after setting
// the levels) can turn into a stream error, where a plain file sink starts the file again.
std::vector<double> PlayToPcm(const std::string& data_folder, const std::string& input,
                              const std::string& output) {
  testing::ChildProcess tool(std::string(QUILLO_BINARY_DIR) + "/tools/quillo-tool/quillo-tool",
                             {"--data-dir", data_folder, "play", input},
                             {{"QUILLO_AUDIO_SINK", "filesink location=" + output}});
  const std::optional<int> status = tool.Wait(std::chrono::seconds(60));
  std::string printed;
  for (const std::string& line : tool.lines()) printed += line + "\n";
  EXPECT_TRUE(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0)
      << printed << tool.error_text();
  return LeftChannel(output);
}

TEST_F(SettingsGuiTest, APresetChosenInTheEqualizerShapesTheOutputAfterARestart) {
  ASSERT_TRUE(windowed_->Open());
  windowed_->main_window().RunCommand(playback::menu_commands::kEqualizer);
  ui::BalanceDlg* equalizer = nullptr;
  ASSERT_TRUE(testing::WaitFor([&] {
    equalizer = settings().equalizer();
    return equalizer && testing::IsOnScreen(*equalizer);
  }));
  ChooseFromList(*equalizer, ui::BalanceDlg::kPreset, 10);  // "重高"
  EXPECT_EQ(equalizer->model().preset_index(), 10);
  EXPECT_EQ(runtime_.store().GetConfigText("sorvel.eq.type"), "10");
  Shot(*equalizer, "BalanceDlg-preset.png");

  // The run ends; a later process plays through the same graph with the saved gains.
  windowed_.reset();
  ASSERT_TRUE(runtime_.store().SaveIfDirty());
  const std::string tones = folder_ / "tones.wav";
  ASSERT_TRUE(WriteTwoTones(tones, 125, 4000));  // bands 3 (-8 dB) and 8 (+12 dB) of 重高
  testing::TempFolder flat_data;
  const std::vector<double> flat = PlayToPcm(flat_data.path(), tones, folder_ / "flat.pcm");
  const std::vector<double> shaped = PlayToPcm(folder_ / "data/", tones, folder_ / "shaped.pcm");
  ASSERT_GT(flat.size(), 20000u);
  ASSERT_GT(shaped.size(), 20000u);
  const double low_db = 10 * std::log10(PowerAt(shaped, 125) / PowerAt(flat, 125));
  const double high_db = 10 * std::log10(PowerAt(shaped, 4000) / PowerAt(flat, 4000));
  RecordProperty("low_db", std::to_string(low_db));
  RecordProperty("high_db", std::to_string(high_db));
  std::cout << "125 Hz: " << low_db << " dB, 4000 Hz: " << high_db << " dB\n";
  EXPECT_NEAR(low_db, -8.0, 2.0);
  EXPECT_NEAR(high_db, 12.0, 2.0);
}

}  // namespace
}  // namespace quillo::app
