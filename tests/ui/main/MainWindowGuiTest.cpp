// The main window under X with real input: it opens with the library shown, the volume slider
// and the seek bar act on the player, the close procedure's cases, the hand-over of a command
// line. Screenshots of both layouts go to QUILLO_SCREENSHOT_DIR when it is set.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <fstream>
#include <memory>

#include "../GuiHarness.h"
#include "fakes/FakePlayer.h"
#include "platform/fs/FileSystem.h"
#include "platform/gfx/Painter.h"
#include "platform/loop/MainLoop.h"
#include "playback/PlayQueue.h"
#include "playback/PlayQueueMode.h"
#include "playback/PlayQueueViews.h"
#include "playback/QueuePlaySurface.h"
#include "playback/SongSelectBox.h"
#include "service/api/ServiceFileUrls.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"
#include "ui/dialogs/AskOnExitDlg.h"
#include "ui/dialogs/LayerMessageBoxDlg.h"
#include "ui/main/MainIds.h"
#include "ui/main/SeamSongList.h"
#include "ui/main/TopParentDlg.h"
#include "ui/toolkit/LayerWnd.h"
#include "ui/toolkit/UiRuntime.h"

namespace quillo::ui {
namespace {

using namespace main_ids;
using testing::GuiScript;

class RecordingPlayer : public testing::FakePlayer {
 public:
  int GetVolume() const override { return volume; }
  void SetVolume(int v) override { volume = v; }
  bool Seek(int position_ms) override {
    seeks.push_back(position_ms);
    return true;
  }
  int GetDurationMs() override { return duration_ms; }
  int volume = 80;
  int duration_ms = -1;
  std::vector<int> seeks;
};

class NoSelectBox : public playback::SongSelectBox {
 public:
  std::optional<int> Select(const std::string&, const std::vector<std::string>&, int) override {
    return std::nullopt;
  }
};

class FakeHostedPages : public HostedPagePanel {
 public:
  void Open(const std::string& url) override {
    open = true;
    urls.push_back(url);
  }
  void Close() override { open = false; }
  bool IsOpen() const override { return open; }
  bool open = false;
  std::vector<std::string> urls;
};

class FakeSettings : public SettingsDialogHost {
 public:
  void ShowSettings() override { ++shown; }
  int shown = 0;
};

class FakePhonePanel : public PhonePanelHost {
 public:
  bool TransferRunning() const override { return false; }
  void RedrawAnimation(int) override {}
  bool DeviceConnected() const override { return connected; }
  void SetMinimized(bool m) override { told.push_back(m); }
  bool connected = true;
  std::vector<bool> told;
};

class MainWindowGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::GuiRuntime()) GTEST_SKIP() << "no display";
    runtime_ = std::make_unique<store::StoreRuntime>(folder_ / "data/");
    ASSERT_TRUE(runtime_->Open(false));
    for (const char* name : {"周杰伦 - 晴天.mp3", "Beyond - 海阔天空.mp3", "林俊杰 - 江南.mp3"}) {
      std::ofstream(folder_ / name) << std::string(4096, '\0');
      ASSERT_TRUE(runtime_->library().AddLocalFile(folder_ / name)) << name;
    }
  }
  void TearDown() override {
    top_.reset();
    surface_.reset();
    queue_.reset();
    if (runtime_) runtime_->Close();
  }
  void Open(const std::string& minimal_type = "ask", LaterWindows later = {}) {
    runtime_->store().SetConfigText("sorvel.minimal.type", minimal_type);
    // The play queue and its surface are made before the window, as the program makes them.
    queue_ = std::make_unique<playback::PlayQueue>(playback::PlayQueue::Parts{
        runtime_->store(), runtime_->library(), runtime_->playlists(), runtime_->queue(), player_,
        views_, select_box_, testing::GuiRuntime()->loop(),
        service::ServiceFileUrls(service::ServiceEndpoints{}, "client"), nullptr, nullptr});
    surface_ = std::make_unique<playback::QueuePlaySurface>(*queue_, player_, runtime_->store());
    MainWindowParts parts{*runtime_, player_};
    parts.play = surface_.get();
    parts.queue_views = &views_;
    parts.later = later;
    parts.import_folder = import_folder_;
    parts.web_site = [] { return std::string("http://127.0.0.1:9/"); };
    parts.open_in_browser = [this](const std::string& url) { opened_.push_back(url); };
    parts.on_shut_down = [this] { ++shut_downs_; };
    top_ = std::make_unique<TopParentDlg>(testing::GuiRuntime()->loop(), std::move(parts));
    ASSERT_TRUE(top_->Init());
    ASSERT_TRUE(testing::WaitFor([&] { return testing::IsOnScreen(top_->main_window()); }));
  }
  SorvelMainDlg& window() { return top_->main_window(); }
  void Screenshot(const std::string& name) {
    if (const char* dir = std::getenv("QUILLO_SCREENSHOT_DIR"))
      window().back_buffer().WritePng(std::string(dir) + "/" + name);
  }
  gfx::Point OnScreen(gfx::Point p) {
    const gfx::Rect r = window().WindowRect();
    return {r.left + p.x, r.top + p.y};
  }

  testing::TempFolder folder_;
  std::unique_ptr<store::StoreRuntime> runtime_;
  RecordingPlayer player_;
  NoSelectBox select_box_;
  playback::PlayQueueViews views_;
  std::unique_ptr<playback::PlayQueue> queue_;
  std::unique_ptr<playback::QueuePlaySurface> surface_;
  std::unique_ptr<TopParentDlg> top_;
  std::vector<std::string> opened_;
  std::function<int(const std::string&)> import_folder_;
  int shut_downs_ = 0;
};

TEST_F(MainWindowGuiTest, OpensWithTheLibraryAndPlaysADoubleClickedSongAndTheNext) {
  Open();
  ASSERT_NE(window().song_list(), nullptr);
  EXPECT_EQ(window().song_list()->list_id(), "");  // the library: the default current list
  EXPECT_EQ(window().song_list()->RowCount(), 3);
  // The local library, as a user who played from it last sees it.
  window().ShowList("local");
  EXPECT_EQ(window().song_list()->RowCount(), 3);
  Screenshot("SorvelMainDlg-normal.png");
  const gfx::Rect list = window().song_list()->bounds();
  const gfx::Point row = OnScreen({list.left + 40, list.top + SeamSongList::kRowHeight / 2});
  ASSERT_TRUE(testing::ClickAt(row));
  ASSERT_TRUE(testing::ClickAt(row));
  ASSERT_TRUE(testing::WaitFor([&] { return !player_.played.empty(); }));
  const std::string first = player_.played.back().music_id;
  EXPECT_EQ(first, store::IdOf(window().song_list()->records()[0]));
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window(), kNext)));
  ASSERT_TRUE(testing::WaitFor([&] { return player_.played.size() == 2; }));
  EXPECT_NE(player_.played.back().music_id, first);
}

TEST_F(MainWindowGuiTest, VolumeSliderAndSeekBarActOnThePlayer) {
  Open();
  LayerControl* volume = window().FindControl(kVolumeThumb);
  ASSERT_NE(volume, nullptr);
  // A click on the track at a quarter of the travel jumps the thumb there: volume 25.
  const gfx::Rect track = volume->track;
  const int travel = track.width() - volume->bounds.width();
  ASSERT_TRUE(testing::ClickAt(OnScreen(
      {track.left + travel / 4 + volume->bounds.width() / 2, track.top + track.height() / 2})));
  ASSERT_TRUE(testing::WaitFor([&] { return player_.volume != 80; }));
  EXPECT_NEAR(player_.volume, 25, 2);
  EXPECT_EQ(runtime_->store().GetConfigText("module.music.volume"), std::to_string(player_.volume));
  // A volume report while nothing is pending moves the thumb.
  window().ShowVolume(100);
  EXPECT_EQ(window().FindControl(kVolumeThumb)->bounds.left, track.left + travel);

  player_.duration_ms = 200000;
  LayerControl* seek = window().FindControl(kSeekThumb);
  ASSERT_NE(seek, nullptr);
  const gfx::Rect seek_track = seek->track;
  const int seek_travel = seek_track.width() - seek->bounds.width();
  ASSERT_TRUE(
      testing::ClickAt(OnScreen({seek_track.left + seek_travel / 2 + seek->bounds.width() / 2,
                                 seek_track.top + seek_track.height() / 2})));
  ASSERT_TRUE(testing::WaitFor([&] { return !player_.seeks.empty(); }));
  EXPECT_NEAR(player_.seeks.back(), 100000, 200000 / seek_travel + 1);
}

TEST_F(MainWindowGuiTest, CloseFollowsTheStoredChoice) {
  // "close": shuts down without asking.
  Open("close");
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window(), kClose)));
  ASSERT_TRUE(testing::WaitFor([&] { return shut_downs_ == 1; }));
  EXPECT_FALSE(window().IsCreated());
  EXPECT_EQ(runtime_->store().GetConfigText("sorvel.client.mode"), "normal");
}

TEST_F(MainWindowGuiTest, AskRememberedMinimiseThenTheTrayExitStillQuits) {
  Open("ask");
  GuiScript script;
  script.Step(
      "question shown",
      [&] {
        LayerWnd* box = testing::NewestWindow();
        return box && box != &window() && testing::IsOnScreen(*box);
      },
      [] {});
  // The check box "记住我的选择" is ticked by default; "最小化到任务栏" is the default choice.
  script.ClickControl(AskOnExitDlg::kOk);
  window().RequestClose();
  EXPECT_TRUE(script.finished()) << script.Trace();
  EXPECT_EQ(shut_downs_, 0);
  EXPECT_TRUE(window().IsCreated());
  EXPECT_EQ(runtime_->store().GetConfigText("sorvel.minimal.type"), "min");
  // The next close minimises without a question; the exit command quits all the same.
  window().RequestClose();
  EXPECT_EQ(shut_downs_, 0);
  window().RunCommand(kCmdExit);
  EXPECT_EQ(shut_downs_, 1);
}

TEST_F(MainWindowGuiTest, CommandLineFileIsAddedAndPlayedAndMiniLayoutShowsTheControls) {
  Open();
  std::ofstream(folder_ / "新歌.mp3") << std::string(4096, '\0');
  window().HandleCommandLine("\"" + folder_ / "新歌.mp3" + "\"");
  ASSERT_FALSE(player_.played.empty());
  EXPECT_EQ(player_.played.back().source, folder_ / "新歌.mp3");
  EXPECT_EQ(window().song_list()->RowCount(), 4);
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window(), kMiniMode)));
  ASSERT_TRUE(testing::WaitFor([&] { return window().mini() && testing::IsOnScreen(window()); }));
  EXPECT_EQ(window().ClientSize().height, MainLayout::kMiniFoldedHeight);
  EXPECT_EQ(runtime_->store().GetConfigText("sorvel.client.mode"), "mini");
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window(), kUnfold)));
  ASSERT_TRUE(testing::WaitFor(
      [&] { return window().ClientSize().height == MainLayout::kMiniUnfoldedHeight; }));
  Screenshot("SorvelMainDlg-mini.png");
  EXPECT_EQ(window().song_list()->RowCount(), 4);
}

TEST_F(MainWindowGuiTest, DroppedFilesAndAFolderOfOtherFilesAndAThemeChange) {
  std::vector<std::string> imported_folders;
  import_folder_ = [&](const std::string& folder) {
    imported_folders.push_back(folder);
    return 0;  // a folder of other files: nothing taken
  };
  Open();
  // Nothing a library takes: nothing added, the list shown stays; the folder went to the import.
  std::ofstream(folder_ / "notes.txt") << "not music";
  EXPECT_EQ(window().AddDroppedFiles({folder_ / "notes.txt", folder_.path(), folder_ / "gone.mp3"}),
            0);
  EXPECT_EQ(window().song_list()->list_id(), "");
  EXPECT_EQ(imported_folders, std::vector<std::string>{folder_.path()});
  // A music file: added, and the local library shown.
  std::ofstream(folder_ / "拖进来.mp3") << std::string(4096, '\0');
  EXPECT_EQ(window().AddDroppedFiles({folder_ / "拖进来.mp3"}), 1);
  EXPECT_EQ(window().song_list()->list_id(), "local");
  EXPECT_EQ(window().song_list()->RowCount(), 4);

  // A style from the colour picker: the skin and the stored keys follow, the window stays.
  runtime_->store().SetConfigText("theme.color.h", "40");
  window().SetMainTheme(3);
  EXPECT_EQ(runtime_->store().GetConfigText("theme.style"), "3");
  EXPECT_EQ(runtime_->store().GetConfigText("theme.color.h"), "0");
  EXPECT_EQ(window().skin_id(), 197);
  EXPECT_TRUE(testing::WaitFor([&] { return testing::IsOnScreen(window()); }));
  window().SetMainTheme(0);
}

// A small window of another program that offers files to drag (text/uri-list), as a file
// manager does. It records what GTK tells it about the drag.
class FileDragSource {
 public:
  FileDragSource(gfx::Point at, std::vector<std::string> uris) : uris_(std::move(uris)) {
    for (std::string& uri : uris_) uri_pointers_.push_back(uri.data());
    uri_pointers_.push_back(nullptr);
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(window_), 80, 80);
    gtk_window_move(GTK_WINDOW(window_), at.x, at.y);
    GtkWidget* box = gtk_event_box_new();
    gtk_container_add(GTK_CONTAINER(window_), box);
    GtkTargetEntry target{const_cast<gchar*>("text/uri-list"), 0, 0};
    gtk_drag_source_set(box, GDK_BUTTON1_MASK, &target, 1, GDK_ACTION_COPY);
    g_signal_connect(box, "drag-begin", G_CALLBACK(OnBegin), this);
    g_signal_connect(box, "drag-data-get", G_CALLBACK(OnDataGet), this);
    gtk_widget_show_all(window_);
  }
  ~FileDragSource() { gtk_widget_destroy(window_); }
  bool mapped() const { return gtk_widget_get_mapped(window_); }
  gfx::Point centre() const {
    gint x = 0, y = 0, w = 0, h = 0;
    gtk_window_get_position(GTK_WINDOW(window_), &x, &y);
    gtk_window_get_size(GTK_WINDOW(window_), &w, &h);
    return {x + w / 2, y + h / 2};
  }
  // The drag started, and the window under the pointer took it (it answered the position).
  bool began() const { return context_ != nullptr; }
  bool accepted() const {
    return context_ != nullptr && gdk_drag_context_get_dest_window(context_) != nullptr &&
           gdk_drag_context_get_selected_action(context_) != 0;
  }

 private:
  static void OnBegin(GtkWidget*, GdkDragContext* context, gpointer self) {
    static_cast<FileDragSource*>(self)->context_ = context;
  }
  static void OnDataGet(GtkWidget*, GdkDragContext*, GtkSelectionData* data, guint, guint,
                        gpointer self) {
    gtk_selection_data_set_uris(data, static_cast<FileDragSource*>(self)->uri_pointers_.data());
  }
  std::vector<std::string> uris_;
  std::vector<gchar*> uri_pointers_;
  GtkWidget* window_ = nullptr;
  GdkDragContext* context_ = nullptr;
};

bool Pointer(const std::string& arguments) {
  return std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

TEST_F(MainWindowGuiTest, FilesDraggedFromAnotherWindowAreAddedAndTheLocalLibraryShown) {
  Open();
  std::ofstream(folder_ / "拖放.mp3") << std::string(4096, '\0');
  std::vector<std::vector<std::string>> drops;
  window().presenter()->SetFileDropHandler([&](const std::vector<std::string>& paths) {
    drops.push_back(paths);
    window().AddDroppedFiles(paths);
  });
  const gfx::Rect main = window().WindowRect();
  gchar* uri = g_filename_to_uri((folder_ / "拖放.mp3").c_str(), nullptr, nullptr);
  ASSERT_NE(uri, nullptr);
  FileDragSource source({main.right + 40, main.top + 40}, {uri});
  g_free(uri);
  ASSERT_TRUE(testing::WaitFor([&] { return source.mapped(); }));
  const gfx::Point from = source.centre();
  const gfx::Point to{(main.left + main.right) / 2, (main.top + main.bottom) / 2};
  // Press on the source and move past the drag threshold: GTK starts the drag.
  ASSERT_TRUE(Pointer("mousemove " + std::to_string(from.x) + " " + std::to_string(from.y) +
                      " mousedown 1"));
  ASSERT_TRUE(Pointer("mousemove " + std::to_string(from.x + 20) + " " + std::to_string(from.y)));
  ASSERT_TRUE(testing::WaitFor([&] { return source.began(); })) << "no drag began";
  // Over the main window, which answers that it takes the files; a second step makes sure a
  // position message follows the window's entry.
  ASSERT_TRUE(Pointer("mousemove " + std::to_string(to.x) + " " + std::to_string(to.y)));
  ASSERT_TRUE(Pointer("mousemove " + std::to_string(to.x + 5) + " " + std::to_string(to.y)));
  EXPECT_TRUE(testing::WaitFor([&] { return source.accepted(); })) << "the window refused";
  ASSERT_TRUE(Pointer("mouseup 1"));
  ASSERT_TRUE(testing::WaitFor([&] { return !drops.empty(); })) << "nothing dropped";
  EXPECT_EQ(drops, std::vector<std::vector<std::string>>{{folder_ / "拖放.mp3"}});
  EXPECT_EQ(window().song_list()->list_id(), "local");
  EXPECT_EQ(window().song_list()->RowCount(), 4);
}

TEST_F(MainWindowGuiTest, MiniClosesTheHostedPanelButKeepsItsKeySoNormalReopensIt) {
  FakeHostedPages pages;
  FakeSettings settings;
  runtime_->store().SetConfigText("module.ext.isopen", "true");
  Open("ask", LaterWindows{&pages, &settings, nullptr, nullptr});
  // Initialisation reopened the panel as it was left.
  EXPECT_TRUE(pages.open);
  ASSERT_FALSE(pages.urls.empty());
  EXPECT_EQ(pages.urls.back(), "http://127.0.0.1:9/");
  EXPECT_FALSE(window().FindControl(kExtOpen)->visible());
  EXPECT_TRUE(window().FindControl(kExtClose)->visible());

  window().SwitchLayout(true);
  EXPECT_FALSE(pages.open);
  EXPECT_EQ(runtime_->store().GetConfigText("module.ext.isopen"), "true");
  window().SwitchLayout(false);
  EXPECT_TRUE(pages.open);

  // Register opens in the panel; closing it by its button is remembered.
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window(), kRegister)));
  ASSERT_TRUE(testing::WaitFor(
      [&] { return pages.urls.back() == "http://127.0.0.1:9/user/register.php"; }));
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window(), kExtClose)));
  ASSERT_TRUE(testing::WaitFor([&] { return !pages.open; }));
  EXPECT_EQ(runtime_->store().GetConfigText("module.ext.isopen"), "false");

  // With a settings dialog the settings button is live.
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window(), kSettings)));
  ASSERT_TRUE(testing::WaitFor([&] { return settings.shown == 1; }));
}

TEST_F(MainWindowGuiTest, WithoutLaterWindowsPagesGoToTheBrowserAndSettingsIsDisabled) {
  Open();
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window(), kRegister)));
  ASSERT_TRUE(testing::WaitFor([&] { return !opened_.empty(); }));
  EXPECT_EQ(opened_.back(), "http://127.0.0.1:9/user/register.php");
  // The disabled settings button does nothing (no crash, no browser).
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window(), kSettings)));
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window(), kMinimize)));
  EXPECT_EQ(opened_.size(), 1u);
}

TEST_F(MainWindowGuiTest, ThePhonePanelsButtonsMinimiseAndExpandOrAreDisabledWithoutIt) {
  FakePhonePanel phone;
  runtime_->store().SetConfigText("module.device.is_minimized", "false");
  Open("ask", LaterWindows{nullptr, nullptr, &phone, nullptr});
  EXPECT_TRUE(window().FindControl(kPanelToggle1)->visible());
  EXPECT_FALSE(window().FindControl(kPanelToggle2)->visible());
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window(), kPanelToggle1)));
  ASSERT_TRUE(testing::WaitFor([&] { return phone.told.size() == 1; }));
  EXPECT_EQ(runtime_->store().GetConfigText("module.device.is_minimized"), "true");
  EXPECT_FALSE(window().FindControl(kPanelToggle1)->visible());
  ASSERT_TRUE(window().FindControl(kPanelToggle2)->visible());
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window(), kPanelToggle2)));
  ASSERT_TRUE(testing::WaitFor([&] { return phone.told.size() == 2; }));
  EXPECT_EQ(phone.told, (std::vector<bool>{true, false}));
  EXPECT_EQ(runtime_->store().GetConfigText("module.device.is_minimized"), "false");
  top_.reset();

  // Without a phone panel the button of the remembered state is there, and a click changes
  // nothing.
  runtime_->store().SetConfigText("module.device.is_minimized", "true");
  Open();
  ASSERT_TRUE(window().FindControl(kPanelToggle2)->visible());
  EXPECT_FALSE(window().FindControl(kPanelToggle1)->visible());
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window(), kPanelToggle2)));
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window(), kMinimize)));
  EXPECT_EQ(runtime_->store().GetConfigText("module.device.is_minimized"), "true");
  EXPECT_TRUE(window().FindControl(kPanelToggle2)->visible());
}

TEST_F(MainWindowGuiTest, AMissingMusicFolderIsMadeAndOpenedOrItsFailureIsTold) {
  const std::string missing = folder_ / "no/such/music/";
  runtime_->store().SetConfigText("sorvel.path.music", missing);
  Open();
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(window(), kMusicFolder)));
  ASSERT_TRUE(testing::WaitFor([&] { return !opened_.empty(); }));
  EXPECT_EQ(opened_.back(), "file://" + missing);
  EXPECT_TRUE(fs::FolderExists(missing));

  // A folder that cannot be made (a file stands where a folder should be): a notice, no shell.
  std::ofstream(folder_ / "a-file") << "x";
  const std::string impossible = folder_ / "a-file/music/";
  runtime_->store().SetConfigText("sorvel.path.music", impossible);
  std::string told;
  GuiScript script;
  script.WithWindow("notice", [&](LayerWnd& box) {
    if (auto* notice = dynamic_cast<LayerMessageBoxDlg*>(&box)) told = notice->message();
  });
  script.ClickControl(0);  // 确定
  window().OpenMusicFolder();
  EXPECT_TRUE(script.finished()) << script.Trace();
  EXPECT_EQ(told, std::string(SorvelMainDlg::kMusicFolderMissingText) + impossible);
  EXPECT_EQ(opened_.size(), 1u);
}

struct ModeRecorder : playback::PlayModeListener {
  void OnPlayModeChanged(playback::PlayMode mode) override { told.push_back(mode); }
  std::vector<playback::PlayMode> told;
};

TEST_F(MainWindowGuiTest, AModeChosenInTheMenuIsToldOnceWhenItChanges) {
  Open();
  ModeRecorder recorder;
  loop::Subscription listening = surface_->AddModeListener(recorder);
  std::vector<playback::PlayMode>& told = recorder.told;
  const auto entries = playback::PlayQueueMode::Entries();
  ASSERT_GE(entries.size(), 2u);
  const auto& other = playback::PlayQueueMode::ForMenu(runtime_->store()) == entries[0].mode
                          ? entries[1]
                          : entries[0];
  window().RunCommand(other.command_id);
  window().RunCommand(other.command_id);  // unchanged: nothing to tell
  EXPECT_EQ(told, std::vector<playback::PlayMode>{other.mode});
}

TEST_F(MainWindowGuiTest, DraggedVolumeWaitsForTheTimerAndReportsDoNotMoveTheThumb) {
  Open();
  LayerControl* thumb = window().FindControl(kVolumeThumb);
  ASSERT_NE(thumb, nullptr);
  const gfx::Point from = testing::ControlCentre(window(), kVolumeThumb);
  // Press on the thumb and move left without releasing.
  ASSERT_EQ(std::system(("xdotool mousemove " + std::to_string(from.x) + " " +
                         std::to_string(from.y) + " mousedown 1 mousemove " +
                         std::to_string(from.x - 30) + " " + std::to_string(from.y))
                            .c_str()),
            0);
  ASSERT_TRUE(testing::WaitFor([&] { return window().pending_volume() >= 0; }));
  const int left = window().FindControl(kVolumeThumb)->bounds.left;
  window().ShowVolume(100);  // the player reports while the user drags
  EXPECT_EQ(window().FindControl(kVolumeThumb)->bounds.left, left);
  // Timer 107 applies the pending volume within a second, while the button is still down.
  const int pending = window().pending_volume();
  ASSERT_TRUE(testing::WaitFor([&] { return player_.volume == pending; }, std::chrono::seconds(3)));
  EXPECT_EQ(window().pending_volume(), -1);
  ASSERT_EQ(std::system("xdotool mouseup 1"), 0);
  EXPECT_LT(player_.volume, 80);
}

TEST_F(MainWindowGuiTest, LongStatusTextScrollsAndTheCaptionFollowsTheSong) {
  Open();
  window().SetStatusText("短");
  EXPECT_TRUE(testing::WaitFor([&] { return window().status().text_width() >= 0; }));
  EXPECT_FALSE(testing::WaitFor([&] { return window().status().counter() > 0; },
                                std::chrono::milliseconds(300)));
  window().SetStatusText(std::string(60, 'W') + " 一首很长很长的歌名，长到状态栏放不下");
  EXPECT_TRUE(testing::WaitFor([&] { return window().status().Offset(326) > 3; }));

  window().ShowNowPlaying("晴天");
  EXPECT_EQ(top_->tray_tip(), "晴天");
  EXPECT_TRUE(top_->caption().running());
  EXPECT_EQ(top_->caption().Caption().rfind("晴天", 0), 0u);
  window().SetTitleMarquee(false);
  EXPECT_FALSE(top_->caption().running());
}

TEST_F(MainWindowGuiTest, DraggingTheSplitterWidensThePanel) {
  Open();
  const gfx::Rect r = window().WindowRect();
  const gfx::Point from{r.left + 71, r.top + 160};
  ASSERT_EQ(std::system(("xdotool mousemove " + std::to_string(from.x) + " " +
                         std::to_string(from.y) + " mousedown 1 mousemove " +
                         std::to_string(from.x + 30) + " " + std::to_string(from.y) + " mouseup 1")
                            .c_str()),
            0);
  ASSERT_TRUE(testing::WaitFor([&] {
    LayerControl* close = window().FindControl(kPanelClose);
    return close && close->bounds.left == 101;
  }));
  EXPECT_EQ(window().song_list()->bounds().left, 108);
}

TEST_F(MainWindowGuiTest, ThePlayingArtistsPictureIsDrawnAndGivenAsArtUntilTheNextSong) {
  Open();
  struct ArtRecorder : MainWindowListener {
    void OnArtPathChanged(const std::string& path) override { art.push_back(path); }
    std::vector<std::string> art;
  } recorder;
  loop::Subscription listening = window().AddListener(recorder);
  std::vector<std::string>& art = recorder.art;
  gfx::Surface red(8, 8);
  {
    gfx::Painter p(red);
    p.FillRect(gfx::Rect{0, 0, 8, 8}, gfx::Color::Rgb(0xFF, 0, 0));
  }
  const std::string picture = folder_ / "artist.png";
  ASSERT_TRUE(red.WritePng(picture));
  std::ofstream(folder_ / "broken.png") << "not a picture";
  const gfx::Rect box = MainLayout::ArtistPictureRect();
  auto centre_pixel = [&] {
    return window().back_buffer().Row((box.top + box.bottom) / 2)[(box.left + box.right) / 2];
  };
  const std::uint32_t before = centre_pixel();
  ASSERT_NE(before, 0xFFFF0000u);

  window().SetCurrentArtist("5", "苏晴");
  window().MarkPlayingSong("101");
  EXPECT_FALSE(window().ShowsArtistPicture());
  // A picture of another artist arriving is not this song's.
  window().OnArtistPictureDownloaded("6", picture);
  EXPECT_FALSE(window().ShowsArtistPicture());
  EXPECT_TRUE(art.empty());
  window().OnArtistPictureDownloaded("5", picture);
  EXPECT_TRUE(window().ShowsArtistPicture());
  EXPECT_EQ(centre_pixel(), 0xFFFF0000u);
  ASSERT_EQ(art, std::vector<std::string>{picture});
  // The media-player service renews its metadata with the title: the art follows.
  window().ShowNowPlaying("海边的风 - 苏晴");
  EXPECT_EQ(art.back(), picture);
  Screenshot("SorvelMainDlg-artist.png");

  // The next song's artist has none: the picture goes, and the service hears "none".
  window().SetCurrentArtist("9", "Mira Stone");
  window().MarkPlayingSong("102");
  window().ShowNowPlaying("Young and Free - Mira Stone");
  EXPECT_FALSE(window().ShowsArtistPicture());
  EXPECT_EQ(centre_pixel(), before);
  EXPECT_EQ(art.back(), "");
  // A file that is no picture is neither drawn nor offered.
  window().OnArtistPictureDownloaded("9", folder_ / "broken.png");
  EXPECT_FALSE(window().ShowsArtistPicture());
  EXPECT_EQ(art.back(), "");
  // A JPEG picture is drawn and offered like a PNG one (its blue, within JPEG's loss).
  const std::string jpeg = std::string(QUILLO_SOURCE_DIR) + "/tests/data/pictures/artist.jpg";
  window().OnArtistPictureDownloaded("9", jpeg);
  EXPECT_TRUE(window().ShowsArtistPicture());
  EXPECT_EQ(art.back(), jpeg);
  const gfx::Color drawn =
      window().back_buffer().ColorAt((box.left + box.right) / 2, (box.top + box.bottom) / 2);
  EXPECT_NEAR(drawn.b, 0xC0, 16);
  EXPECT_NEAR(drawn.r, 0x20, 16);
}

TEST_F(MainWindowGuiTest, AnAttachedWindowFollowsTheMainWindowsMovesAndResizes) {
  Open();
  struct Follower : AttachableWindow {
    gfx::Rect rect;
    gfx::Rect AttachedRect() const override { return rect; }
    void MoveAttachedTo(gfx::Point p) override {
      rect = gfx::Rect::FromXYWH(p.x, p.y, rect.width(), rect.height());
    }
  } below;
  gfx::Rect main = window().WindowRect();
  below.rect = gfx::Rect::FromXYWH(main.left, main.bottom, 200, 100);
  window().attached().AttachWindow(below, main);
  // A move through the window system (its configure notice) carries the follower along.
  window().SetWindowRect(
      gfx::Rect::FromXYWH(main.left + 40, main.top + 20, main.width(), main.height()));
  ASSERT_TRUE(testing::WaitFor([&] { return below.rect.left == main.left + 40; }));
  main = window().WindowRect();
  EXPECT_EQ(below.rect.top, main.bottom);
  // A taller window pushes the follower down to its new bottom edge.
  window().SetWindowRect(
      gfx::Rect::FromXYWH(main.left, main.top, main.width(), main.height() + 50));
  ASSERT_TRUE(testing::WaitFor([&] { return below.rect.top == main.bottom + 50; }));
  EXPECT_EQ(below.rect.left, main.left);
  window().attached().DetachWindow(below);
}

TEST_F(MainWindowGuiTest, TheSplitterShowsTheResizeCursorAndFollowsThePointerBeforeTheRelease) {
  Open();
  auto xdotool = [](const std::string& args) {
    return std::system(("xdotool " + args).c_str()) == 0;
  };
  auto at = [](gfx::Point p) { return std::to_string(p.x) + " " + std::to_string(p.y); };
  const gfx::Rect r = window().WindowRect();
  // Over the list area but off the band: the arrow; on the band (not its middle): resize.
  ASSERT_TRUE(xdotool("mousemove " + at({r.left + 150, r.top + 160})));
  ASSERT_FALSE(testing::WaitFor([&] { return window().shows_resize_cursor(); },
                                std::chrono::milliseconds(200)));
  const gfx::Point band{r.left + 71, r.top + 160};
  ASSERT_TRUE(xdotool("mousemove " + at(band)));
  ASSERT_TRUE(testing::WaitFor([&] { return window().shows_resize_cursor(); }));
  // The middle of the band holds the panel buttons: no resize there.
  ASSERT_TRUE(xdotool("mousemove " + at({r.left + 71, r.top + (137 + 510) / 2})));
  ASSERT_TRUE(testing::WaitFor([&] { return !window().shows_resize_cursor(); }));

  ASSERT_TRUE(xdotool("mousemove " + at(band) + " mousedown 1 mousemove " +
                      at({band.x + 20, band.y}) + " mousemove " + at({band.x + 40, band.y})));
  // Still pressed: the panel and the buttons beside it already follow.
  ASSERT_TRUE(testing::WaitFor([&] { return window().panel_width() == 110; }));
  EXPECT_EQ(window().FindControl(kPanelClose)->bounds.left, 111);
  EXPECT_EQ(window().song_list()->bounds().left, 118);
  // Past the limit the width stops at the window width less 100.
  ASSERT_TRUE(xdotool("mousemove " + at({r.left + 320, band.y}) + " mouseup 1"));
  ASSERT_TRUE(testing::WaitFor([&] {
    LayerControl* close = window().FindControl(kPanelClose);
    return close && close->bounds.left == 326 - 100 + 1;
  }));
  EXPECT_EQ(window().panel_width(), 226);
  EXPECT_EQ(runtime_->store().GetConfigText("sorvel.client.mode"), "normal");
}

}  // namespace
}  // namespace quillo::ui
