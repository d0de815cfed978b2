// The music centre in the running program, driven as a person does: it opens beside the main
// window and follows it; the stand-in's preview button plays the song; its download button adds
// the song, and the "下载管理" tab shows it downloading until it leaves; "停止下载" stops every
// row. The stand-in's download is throttled so that the rows can be seen moving.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "RealDisplay.h"
#include "XdgSandbox.h"
#include "platform/fs/FileSystem.h"
#include "platform/gfx/ImageDecoder.h"
#include "support/ServiceProcess.h"

namespace quillo::testing {
namespace {

using namespace std::chrono_literals;

// The frame's pieces, in its window pixels: the tab buttons of the tool band, and the tab's
// "停止下载" button in the band under the download list.
constexpr int kFrameWidth = 577;
constexpr gfx::Point kMusicTab{kFrameWidth - 160 + 30, 28 + 4 + 11};
constexpr gfx::Point kDownloadTab{kFrameWidth - 96 + 43, 28 + 4 + 11};
constexpr gfx::Point kStopAllButton{1 + 8 + 76 + 8 + 38, 538 - 13 - 18};
// The stand-in pages' buttons (#2d6cdf) and their link off the site (#7a8699).
constexpr std::uint32_t kButtonRgb = 0x2d6cdf;
constexpr std::uint32_t kOutboundRgb = 0x7a8699;
// The main window's "注册" at its first-start size.
constexpr gfx::Point kRegisterControl{301, 67};

class MusicCentreGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') GTEST_SKIP() << "no display";
    if (!RunCommand("command -v xdotool >/dev/null")) GTEST_SKIP() << "xdotool missing";
    ASSERT_TRUE(service_.Start()) << service_.error();
    // About eight seconds a song: long enough to see it in the list, short enough to wait for.
    ASSERT_GE(service_.AddFault("path=/music/download.php&kind=throttle&bytes_per_second=400000"),
              0);
    environment_ = xdg_.Environment();
    environment_["DISPLAY"] = display;
    environment_["DBUS_SESSION_BUS_ADDRESS"] = "";
    environment_["QUILLO_AUDIO_SINK"] = "fakesink sync=true";
    environment_["NO_AT_BRIDGE"] = "1";
    environment_["QUILLO_SERVICE_EXECUTABLE"] = "/nonexistent";
    display_.SetEnvironment("DISPLAY='" + std::string(display) + "'");
    ASSERT_TRUE(Tool("config set sorvel.service.base_url " + service_.base_url()));
    ASSERT_TRUE(Tool("config set sorvel.service.upload_host " + service_.upload_host()));
    ASSERT_TRUE(Tool("config set module.lyric.isopen false"));
  }
  void TearDown() override {
    if (program_ && !program_->Wait(0ms)) {
      ChildProcess quit(QUILLO_EXECUTABLE, {"--data-dir", data_folder(), "--quit"}, environment_);
      quit.Wait(20s);
      program_->Wait(30s);
    }
  }
  std::string data_folder() const { return xdg_.root() + "data/"; }
  std::optional<std::string> Tool(const std::string& arguments) const {
    return RunCommand("'" + std::string(QUILLO_TOOL_EXECUTABLE) + "' --data-dir '" + data_folder() +
                      "' " + arguments + " 2>/dev/null");
  }
  // The first line starting with `prefix` that the run printed, waiting at most `timeout`.
  std::optional<std::string> WaitForLineStarting(const std::string& prefix,
                                                 std::chrono::milliseconds timeout) {
    std::optional<std::string> found;
    Eventually(
        [&] {
          program_->WaitForLine("\x01", 100ms);
          for (const std::string& line : program_->lines()) {
            if (line.rfind(prefix, 0) == 0) {
              found = line;
              return true;
            }
          }
          return false;
        },
        timeout);
    return found;
  }
  void Start() {
    program_ = std::make_unique<ChildProcess>(
        QUILLO_EXECUTABLE, std::vector<std::string>{"--data-dir", data_folder()}, environment_);
    ASSERT_TRUE(program_->WaitForLine("main window shown", 60s)) << program_->error_text();
    ASSERT_TRUE(WaitForLineStarting("music centre: loaded " + service_.base_url() + "go.php", 60s))
        << program_->error_text();
    main_ = display_.FindWindow(program_->pid(), "Zelbo音乐", 20s);
    centre_ = display_.FindWindow(program_->pid(), "音乐中心", 20s);
    ASSERT_TRUE(main_ && centre_) << "windows not found on the display";
  }

  // What the run printed, for a failure's message.
  std::string Output() const {
    std::string text;
    for (const std::string& line : program_->lines()) text += line + "\n";
    return text + program_->error_text();
  }

  // The centre of the first run of `rgb`, at least 20 pixels wide, below the tool band.
  std::optional<gfx::Point> FirstRunOf(std::uint32_t rgb) const {
    const std::string path = xdg_.root() + "centre-run.png";
    if (!display_.Capture(*centre_, path)) return std::nullopt;
    const std::optional<std::string> bytes = fs::ReadWholeFile(path);
    const std::optional<gfx::Surface> picture = bytes ? gfx::DecodeImage(*bytes) : std::nullopt;
    if (!picture) return std::nullopt;
    for (int y = 70; y < picture->height(); ++y) {
      int start = -1;
      for (int x = 0; x <= picture->width(); ++x) {
        const bool on = x < picture->width() && (picture->PixelAt(x, y) & 0xffffff) == rgb;
        if (on && start < 0) start = x;
        if (!on && start >= 0) {
          if (x - start >= 20) return gfx::Point{(start + x) / 2, y + 5};
          start = -1;
        }
      }
    }
    return std::nullopt;
  }

  // The page's song rows' buttons (preview, download), top to bottom: the pairs of buttons in
  // the right part of the page, below its header bar.
  std::vector<std::pair<gfx::Point, gfx::Point>> SongButtons() const {
    std::vector<std::pair<gfx::Point, gfx::Point>> pairs;
    const std::string path = xdg_.root() + "centre.png";
    if (!display_.Capture(*centre_, path)) return pairs;
    const std::optional<std::string> bytes = fs::ReadWholeFile(path);
    if (!bytes) return pairs;
    const std::optional<gfx::Surface> picture = gfx::DecodeImage(*bytes);
    if (!picture) return pairs;
    const int width = picture->width();
    int y = 120;  // below the tool band and the page's header bar
    while (y < picture->height() - 10) {
      // Runs of button colour on this row, in the right third of the page.
      std::vector<std::pair<int, int>> runs;
      int start = -1;
      for (int x = width * 2 / 3; x < width - 10; ++x) {
        const bool button = (picture->PixelAt(x, y) & 0xffffff) == kButtonRgb;
        if (button && start < 0) start = x;
        if (!button && start >= 0) {
          if (x - start >= 12) runs.emplace_back(start, x);
          start = -1;
        }
      }
      if (runs.size() == 2) {
        pairs.push_back({{(runs[0].first + runs[0].second) / 2, y + 6},
                         {(runs[1].first + runs[1].second) / 2, y + 6}});
        y += 24;  // past this row's buttons
      } else {
        ++y;
      }
    }
    return pairs;
  }

  ServiceProcess service_;
  XdgSandbox xdg_;
  RealDisplay display_;
  std::map<std::string, std::string> environment_;
  std::unique_ptr<ChildProcess> program_;
  std::optional<std::string> main_, centre_;
};

TEST_F(MusicCentreGuiTest, OpensBesideTheWindowPreviewsAndDownloadsFromThePage) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const WindowGeometry main = display_.GeometryOf(*main_);
  WindowGeometry centre = display_.GeometryOf(*centre_);
  EXPECT_EQ(centre.x, main.x + main.width);
  EXPECT_EQ(centre.y, main.y);
  EXPECT_EQ(centre.width, kFrameWidth);
  display_.Screenshot(*centre_, "music-centre.png");

  // It follows the main window.
  ASSERT_TRUE(display_.Drag(*main_, {100, 8}, {60, 48}));
  ASSERT_TRUE(Eventually(
      [&] {
        const WindowGeometry moved = display_.GeometryOf(*main_);
        centre = display_.GeometryOf(*centre_);
        return moved.y != main.y && centre.x == moved.x + moved.width && centre.y == moved.y;
      },
      10s))
      << "centre at " << centre.x << "," << centre.y;

  // The first row's preview button plays that song.
  std::vector<std::pair<gfx::Point, gfx::Point>> buttons;
  ASSERT_TRUE(Eventually([&] { return (buttons = SongButtons()).size() >= 3; }, 20s))
      << buttons.size() << " rows of buttons found";
  ASSERT_TRUE(display_.Click(*centre_, buttons[0].first));
  const auto tryout = WaitForLineStarting("music centre: Tryout ", 10s);
  ASSERT_TRUE(tryout) << program_->error_text();
  const std::string id = tryout->substr(std::string("music centre: Tryout ").size());
  std::string title;
  for (const ServiceSong& song : service_.Catalogue())
    if (song.id == id) title = song.name + " - " + song.artist_name;
  ASSERT_FALSE(title.empty()) << "no song " << id;
  EXPECT_TRUE(WaitForLineStarting("status: " + title, 30s)) << title;

  // The second row's download button adds that song; the download tab shows it until it is in.
  ASSERT_TRUE(display_.Click(*centre_, buttons[1].second));
  ASSERT_TRUE(WaitForLineStarting("music centre: AddDownload taken", 10s));
  ASSERT_TRUE(display_.Click(*centre_, kDownloadTab));
  const auto moving = WaitForLineStarting("download tab: 1 rows, 1 receiving", 30s);
  EXPECT_TRUE(moving) << program_->error_text();
  display_.Screenshot(*centre_, "download-tab.png");
  EXPECT_TRUE(WaitForLineStarting("download tab: 0 rows", 60s)) << program_->error_text();

  // Three more; "停止下载" stops them all.
  ASSERT_TRUE(display_.Click(*centre_, kMusicTab));
  for (int row = 2; row < 5 && row < int(buttons.size()); ++row)
    ASSERT_TRUE(display_.Click(*centre_, buttons[row].second));
  ASSERT_TRUE(display_.Click(*centre_, kDownloadTab));
  ASSERT_TRUE(WaitForLineStarting("download tab: 3 rows", 20s)) << program_->error_text();
  ASSERT_TRUE(display_.Click(*centre_, kStopAllButton));
  EXPECT_TRUE(WaitForLineStarting("download tab: 3 rows, 3 stopped", 10s))
      << program_->error_text();
}

TEST_F(MusicCentreGuiTest, AFileSentFromTheUploadWindowArrivesWhole) {
  ASSERT_TRUE(Tool("config set module.lyric.isopen true"));
  ASSERT_TRUE(Tool("config set module.lyric.mode dialog"));
  // ASCII: the test types the path into the file chooser.
  const std::string file = xdg_.root() + "upload-song.mp3";
  std::string bytes(2'500'000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = char((i * 7919) >> 3);
  ASSERT_TRUE(fs::WriteFile(file, bytes));
  ASSERT_NO_FATAL_FAILURE(Start());

  // A song plays (the page's preview), so the lyric window offers the upload.
  std::vector<std::pair<gfx::Point, gfx::Point>> buttons;
  ASSERT_TRUE(Eventually([&] { return !(buttons = SongButtons()).empty(); }, 20s));
  ASSERT_TRUE(display_.Click(*centre_, buttons[0].first));
  ASSERT_TRUE(WaitForLineStarting("status: ", 30s));
  const auto lyric = display_.FindWindow(program_->pid(), "经典歌词模式", 20s);
  ASSERT_TRUE(lyric) << "no lyric window";
  const WindowGeometry at = display_.GeometryOf(*lyric);
  ASSERT_TRUE(display_.Xdo("mousemove " + std::to_string(at.x + at.width / 2) + " " +
                           std::to_string(at.y + at.height / 2) + " click 3"));
  // The menu: 调整歌词, 复制歌词, 关联歌词..., 上传歌曲或歌词...
  ASSERT_TRUE(display_.Xdo("sleep 0.5 key Down Down Down Down Return"));
  ASSERT_TRUE(WaitForLineStarting("upload window shown", 10s)) << program_->error_text();
  const auto upload = display_.FindWindow(program_->pid(), "上传", 20s);
  ASSERT_TRUE(upload);
  display_.Screenshot(*upload, "upload-window.png");

  ASSERT_TRUE(WaitForLineStarting("upload page loaded", 20s)) << Output();

  // "浏览…" of the song row: the desktop's file chooser takes a typed path.
  ASSERT_TRUE(display_.Click(*upload, {254, 111}));
  ASSERT_TRUE(display_.FindWindow(program_->pid(), "打开", 10s)) << "no file chooser";
  ASSERT_TRUE(display_.Xdo("sleep 0.5 key ctrl+l sleep 0.3 type --delay 20 '" + file + "'"));
  // The first Return may only take the entry's completion; a second one then opens the file.
  ASSERT_TRUE(display_.Xdo("sleep 0.5 key Return"));
  std::this_thread::sleep_for(800ms);
  if (display_.FindWindow(program_->pid(), "打开", 500ms)) {
    ASSERT_TRUE(display_.Xdo("key Return"));
  }
  ASSERT_TRUE(Eventually([&] { return !display_.FindWindow(program_->pid(), "打开", 0ms); }, 5s));
  // "上传歌曲".
  ASSERT_TRUE(display_.Click(*upload, {314, 111}));
  ASSERT_TRUE(WaitForLineStarting("upload finished: ok, 2500000 bytes", 30s)) << Output();

  // The upload host holds exactly the file.
  std::vector<std::string> parts;
  for (const std::string& name : fs::ListFolder(service_.data_folder() + "uploads/"))
    if (name.size() > 5 && name.substr(name.size() - 5) == ".part") parts.push_back(name);
  ASSERT_EQ(parts.size(), 1u);
  EXPECT_EQ(fs::ReadWholeFile(service_.data_folder() + "uploads/" + parts[0]), bytes);
}

TEST_F(MusicCentreGuiTest, APageOffTheSiteFindsNoBridgeAndItsMessageBoxDoesNotStopIt) {
  ASSERT_NO_FATAL_FAILURE(Start());
  std::optional<gfx::Point> outbound;
  ASSERT_TRUE(Eventually([&] { return (outbound = FirstRunOf(kOutboundRgb)).has_value(); }, 20s));
  const std::int64_t since = service_.RequestLog().empty() ? 0 : service_.RequestLog().back().seq;
  ASSERT_TRUE(display_.Click(*centre_, *outbound));
  const std::string probe =
      "http://127.0.0.1:" + std::to_string(service_.upload_port()) + "/bridge_probe.html";
  ASSERT_TRUE(WaitForLineStarting("music centre: loaded " + probe, 20s)) << Output();

  // The page calls alert() first, then looks for the bridge, tries it and reports: its report
  // coming at all shows the message box did not stop it.
  std::optional<LoggedServiceRequest> report;
  ASSERT_TRUE(Eventually(
      [&] {
        for (const LoggedServiceRequest& request : service_.RequestLog(since))
          if (request.path == "/api/bridge_probe.php") report = request;
        return report.has_value();
      },
      20s))
      << Output();
  EXPECT_EQ(report->server, "main");
  EXPECT_EQ(report->Query("found"), "0") << report->Query("methods");
  EXPECT_EQ(report->Query("called"), "0");
  // Nothing reached the program: no page method ran.
  for (const std::string& line : program_->lines()) {
    EXPECT_EQ(line.find("music centre: AddDownload"), std::string::npos) << line;
    EXPECT_EQ(line.find("music centre: OnUserLogin"), std::string::npos) << line;
  }
  // Back on the service's own pages the bridge is there again.
  ASSERT_TRUE(display_.Click(*centre_, {154 + 22, 28 + 4 + 11}));  // 主页
  ASSERT_TRUE(WaitForLineStarting("music centre: loaded " + service_.base_url() + "music/", 20s));
}

TEST_F(MusicCentreGuiTest, ARegistrationOnThePageLogsTheProgramIn) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(display_.Click(*main_, kRegisterControl));
  ASSERT_TRUE(
      WaitForLineStarting("music centre: loaded " + service_.base_url() + "user/register.php", 20s))
      << Output();
  // The form's name field has the keyboard once the frame has it.
  ASSERT_TRUE(display_.Focus(*centre_));
  ASSERT_TRUE(display_.Xdo("sleep 0.5 type --delay 30 pageuser1"));
  ASSERT_TRUE(display_.Xdo("key Tab type --delay 30 secret12"));
  ASSERT_TRUE(display_.Xdo("key Tab type --delay 30 secret12"));
  ASSERT_TRUE(display_.Xdo("key Return"));
  ASSERT_TRUE(WaitForLineStarting("music centre: OnUserLogin", 20s)) << Output();
  // The page's session cookie logged the program in as the same user.
  EXPECT_TRUE(WaitForLineStarting("user: pageuser1", 30s)) << Output();
}

// The libraries a process has mapped, as /proc/PID/maps lists them.
std::string MappedFiles(pid_t pid) {
  return fs::ReadWholeFile("/proc/" + std::to_string(pid) + "/maps").value_or("");
}

// A run that shows no page and plays an MP3 maps neither the browser, Mesa's GL nor libav: the
// windows draw with cairo, MP3 is decoded by mpg123, and the browser is opened when the music
// centre first shows, whose page then draws and works as ever.
TEST_F(MusicCentreGuiTest, TheBrowserIsLoadedOnlyWhenTheCentreFirstOpens) {
  service_.ClearFaults();
  ASSERT_TRUE(Tool("config set module.ext.isopen false"));
  // One of the stand-in's MP3s, handed to the program as a person opens a file.
  std::string song_id;
  for (const ServiceSong& song : service_.Catalogue()) {
    if (song.format == "mp3") {
      song_id = song.id;
      break;
    }
  }
  ASSERT_FALSE(song_id.empty());
  const HttpAnswer answer = service_.Get("/music/download.php?id=" + song_id + "&type=download");
  ASSERT_EQ(answer.status, 200);
  const std::string song = xdg_.root() + "song.mp3";
  std::ofstream(song, std::ios::binary) << answer.body;

  program_ = std::make_unique<ChildProcess>(
      QUILLO_EXECUTABLE, std::vector<std::string>{"--data-dir", data_folder(), song},
      environment_);
  ASSERT_TRUE(program_->WaitForLine("main window shown", 60s)) << program_->error_text();
  ASSERT_TRUE(WaitForLineStarting("now playing: ", 30s)) << Output();
  std::this_thread::sleep_for(1s);
  const std::string before = MappedFiles(program_->pid());
  EXPECT_NE(before.find("libgstmpg123"), std::string::npos) << "the MP3 was not decoded by mpg123";
  for (const char* library : {"libwebkit2gtk", "libquillo-webkit", "libjavascriptcoregtk",
                              "libLLVM", "libGLX_mesa", "libgstlibav", "libavcodec"}) {
    EXPECT_EQ(before.find(library), std::string::npos) << library << " is mapped";
  }

  // The main window at its first-start size (the song's tip shares its title).
  main_ = display_.FindWindowOfWidth(program_->pid(), 326, 20s);
  ASSERT_TRUE(main_);
  // "打开网页" in the bottom band.
  ASSERT_TRUE(display_.Click(*main_, {326 - 66 + 29, 538 - 24 + 9}));
  ASSERT_TRUE(WaitForLineStarting("music centre: loaded " + service_.base_url() + "go.php", 60s))
      << Output();
  EXPECT_NE(MappedFiles(program_->pid()).find("libquillo-webkit.so"), std::string::npos);
  centre_ = display_.FindWindow(program_->pid(), "音乐中心", 20s);
  ASSERT_TRUE(centre_);
  // The page drew its song buttons.
  std::optional<gfx::Point> button;
  Eventually([&] { return (button = FirstRunOf(kButtonRgb)).has_value(); }, 20s);
  EXPECT_TRUE(button.has_value()) << "the page shows no button";
}

}  // namespace
}  // namespace quillo::testing
