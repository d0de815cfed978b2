// Under X (Xvfb), with real pointer and keyboard input through XTest: the login dialog with
// empty fields shows its alert and stays; typed name and password reach the login session and
// the waiting dialog closes on the answer; the password field shows '●'; a folder import shows
// its count and its "取消" stops it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "GuiHarness.h"
#include "fakes/FakeRequestSender.h"
#include "fakes/FakeTransferClient.h"
#include "platform/loop/MainLoop.h"
#include "platform/window/FileChooser.h"
#include "service/api/JSRequestHandler.h"
#include "service/session/LoginSession.h"
#include "service/session/LoginWindow.h"
#include "service/transfer/SafeDownloader.h"
#include "store/PlaylistIndex.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"
#include "ui/dialogs/AlertMessageBoxDlg.h"
#include "ui/dialogs/ImportLocalDlg.h"
#include "ui/dialogs/LocalImportCommands.h"
#include "ui/dialogs/LoginDialogs.h"
#include "ui/dialogs/LoginDlg.h"
#include "ui/dialogs/LoginLoadingDlg.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/toolkit/LayerDlg.h"
#include "ui/toolkit/RunModal.h"
#include "ui/toolkit/UiRuntime.h"

namespace quillo::ui {
namespace {
using namespace std::chrono_literals;
using testing::ClickAt;
using testing::ControlCentre;
using testing::GuiScript;
using testing::IsOnScreen;
using testing::NewestWindow;
using testing::WaitFor;

const std::string kBase = "http://svc/";

std::string Scrambled(const std::string& text) {
  constexpr std::size_t kBlock = 7;
  std::string out = "x";
  out.push_back(static_cast<char>(kBlock));
  for (std::size_t at = 0; at < text.size(); at += kBlock) {
    const char key = static_cast<char>(0x30 + at % 50);
    out.push_back(key);
    for (char c : text.substr(at, kBlock)) out.push_back(static_cast<char>(c ^ key));
  }
  return out;
}

// The main window's part of the session: the alert is the real alert box.
class AlertingWindow : public service::LoginWindow {
 public:
  void ShowAlert(const std::string& text) override {
    alerts.push_back(text);
    AlertBox(text);
  }
  void RefreshPlaylistTree() override {}
  void ShowUserName(const std::string& name) override { shown_name = name; }
  void Redraw() override {}
  void PostLoginRefresh() override {}
  bool IsMiniMode() const override { return false; }
  std::vector<std::string> alerts;
  std::string shown_name;
};

template <typename Window>
Window* Newest() {
  LayerWnd* w = NewestWindow();
  return w && IsOnScreen(*w) ? dynamic_cast<Window*>(w) : nullptr;
}

gfx::Point EditCentre(LayerWnd& window, LayerEdit& edit) {
  gfx::Rect w = window.WindowRect(), r = edit.rect();
  return gfx::Point{w.left + (r.left + r.right) / 2, w.top + (r.top + r.bottom) / 2};
}

class MainDialogsGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::GuiRuntime()) GTEST_SKIP() << "no display";
    runtime_ = std::make_unique<store::StoreRuntime>(data_.path());
    ASSERT_TRUE(runtime_->Open(false));
  }
  void TearDown() override {
    testing::ReleaseTypingKeys();
    session_.reset();
    dialogs_.reset();
    if (downloader_) downloader_->Shutdown();
    downloader_.reset();
    if (runtime_) runtime_->Close();
    WaitFor([] { return NewestWindow() == nullptr; });
  }
  void StartSession(testing::FakeTransferClient::Handler handler) {
    auto client = std::make_unique<testing::FakeTransferClient>(std::move(handler));
    client_ = client.get();
    downloader_ =
        std::make_unique<service::SafeDownloader>(testing::GuiRuntime()->loop(), std::move(client));
    service::ServiceEndpoints endpoints{kBase, "svc", kBase};
    dialogs_ =
        std::make_unique<LoginDialogs>(runtime_->playlists(), service::ServicePages(endpoints));
    session_ =
        std::make_unique<service::LoginSession>(*runtime_, *downloader_, js_, window_, *dialogs_);
    dialogs_->SetSession(session_.get());
  }

  testing::TempFolder data_;
  std::unique_ptr<store::StoreRuntime> runtime_;
  AlertingWindow window_;
  testing::FakeRequestSender fire_and_forget_;
  service::JSRequestHandler js_{fire_and_forget_, kBase};
  testing::FakeTransferClient* client_ = nullptr;
  std::unique_ptr<service::SafeDownloader> downloader_;
  std::unique_ptr<LoginDialogs> dialogs_;
  std::unique_ptr<service::LoginSession> session_;
};

TEST_F(MainDialogsGuiTest, EmptyFieldsAlertThenTypedFieldsLogInThroughTheWaitingDialog) {
  auto released = std::make_shared<std::atomic<std::size_t>>(0);
  StartSession([released](const testing::FakeAttempt&, int) {
    std::string body = Scrambled(
        "<sorvel><user id='u1' username='demo' contextKey='k1'/><folders><folder "
        "name='music'/></folders><playlists/></sorvel>");
    testing::FakeAnswer answer;
    answer.headers = {{"Content-Length", std::to_string(body.size())}};
    answer.body = body;
    answer.released = released;
    return answer;
  });
  GuiScript script;
  LoginDlg* login = nullptr;
  script.Step(
      "login dialog is up", [&] { return (login = Newest<LoginDlg>()) != nullptr; },
      [&] { ClickAt(ControlCentre(*login, LoginDlg::kLoginId)); });
  script.Step(
      "the alert is up", [] { return Newest<AlertMessageBoxDlg>() != nullptr; },
      [&] {
        EXPECT_EQ(Newest<AlertMessageBoxDlg>()->message(), "请输入用户名和密码");
        ClickAt(ControlCentre(*NewestWindow(), 0));
      });
  script.Step(
      "login dialog is still up and active",
      [&] { return Newest<LoginDlg>() == login && login->IsActive(); },
      [&] { ClickAt(EditCentre(*login, login->user_name_edit())); });
  script.Step(
      "name field has the focus", [&] { return login->user_name_edit().HasFocus(); },
      [&] { testing::TypeText("demo"); });
  script.Step(
      "name typed", [&] { return login->user_name_edit().Text() == "demo"; },
      [&] { ClickAt(EditCentre(*login, login->password_edit())); });
  script.Step(
      "password field has the focus", [&] { return login->password_edit().HasFocus(); },
      [&] { testing::TypeText("demo"); });
  script.Step(
      "password typed", [&] { return login->password_edit().Text() == "demo"; },
      [&] { testing::PressKeys("Return"); });
  script.Step(
      "waiting dialog is up", [] { return Newest<LoginLoadingDlg>() != nullptr; },
      [&] {
        gfx::Rect r = NewestWindow()->WindowRect();
        EXPECT_EQ(r.width(), LoginLoadingDlg::kWidth);
        EXPECT_EQ(r.height(), LoginLoadingDlg::kHeight);
        released->store(1 << 20);  // the service answers now
      });
  dialogs_->ShowLoginDialog();
  EXPECT_TRUE(script.finished()) << script.Trace() << " stuck: " << script.stuck();
  EXPECT_EQ(window_.alerts, std::vector<std::string>{"请输入用户名和密码"});
  ASSERT_EQ(client_->attempts().size(), 1u);
  EXPECT_EQ(client_->attempts()[0].form,
            (service::FormParams{{"name", "demo"}, {"encode", "demo"}}));
  EXPECT_EQ(runtime_->store().CurrentUser(), "u1");
  EXPECT_EQ(window_.shown_name, "demo");
  EXPECT_TRUE(WaitFor([] { return NewestWindow() == nullptr; }));
}

// Three fields one above the other: a plain one with "demo" (at the top, where the focus goes),
// the password field with "demo" and a plain field with "●●●●".
class EchoWindow : public LayerDlg {
 public:
  EchoWindow()
      : LayerDlg(),
        masked(*this, gfx::Rect{20, 80, 140, 100}),
        dots(*this, gfx::Rect{20, 120, 140, 140}),
        plain(*this, gfx::Rect{20, 40, 140, 60}) {
    masked.SetEcho(LoginDlg::kPasswordEcho);
    masked.SetText("demo");
    dots.SetText("\u25CF\u25CF\u25CF\u25CF");
    plain.SetText("demo");
  }
  ~EchoWindow() override { Destroy(); }
  void InitLayer() override {
    LayerDlg::InitLayer();
    // The top field takes the window's focus (and shows its text selected): the plain one.
    plain.Create();
    masked.Create();
    dots.Create();
  }
  void OnDestroy() override {
    masked.Destroy();
    dots.Destroy();
    plain.Destroy();
  }
  bool AllCopied() {
    return masked.CopyIntoOwner() && dots.CopyIntoOwner() && plain.CopyIntoOwner();
  }
  // Pixels of the field at `top` that differ from the field at `other_top`.
  int Differences(int top, int other_top) {
    int differ = 0;
    for (int y = 0; y < 20; ++y) {
      for (int x = 20; x < 140; ++x) {
        differ += back_buffer().PixelAt(x, top + y) != back_buffer().PixelAt(x, other_top + y);
      }
    }
    return differ;
  }
  LayerEdit masked, dots, plain;
};

TEST_F(MainDialogsGuiTest, ThePasswordFieldShowsADotForEveryCharacter) {
  EchoWindow window;
  ASSERT_TRUE(window.Create(gfx::Rect::FromXYWH(100, 100, 200, 170), nullptr));
  ASSERT_TRUE(WaitFor([&] { return IsOnScreen(window) && window.AllCopied(); }));
  EXPECT_EQ(window.masked.Text(), "demo");
  EXPECT_EQ(window.Differences(80, 120), 0);  // shown exactly as four dots
  EXPECT_GT(window.Differences(80, 40), 20);  // and not as the text
  window.Destroy();
}

TEST_F(MainDialogsGuiTest, AFolderImportShowsItsCountAndCancelStopsIt) {
  namespace stdfs = std::filesystem;
  testing::TempFolder disk;
  constexpr int kFiles = 1000;
  for (int i = 0; i < kFiles; ++i) {
    stdfs::path file = stdfs::path(disk.path()) / ("歌曲" + std::to_string(i) + ".mp3");
    std::ofstream(file).put('\0');
    stdfs::resize_file(file, 600000);  // sparse: the walk looks at sizes only
  }
  // The window thread must not need the store while the test holds it: ask for this first.
  const std::string music_folder = runtime_->store().FolderPath("music");
  ImportLocalDlg import(runtime_->library(), disk.path(), music_folder, "");
  // The store is kept busy except for a moment in which the walk takes its first songs, so the
  // dialog is still walking, with songs counted, when "取消" is clicked; it is let go once the
  // cancel has been asked for, so the walk can end.
  std::atomic<bool> searching{false};
  std::atomic<bool> holding{false};
  std::thread store_user([&] {
    auto until = std::chrono::steady_clock::now() + 20s;
    auto lock = runtime_->store().Lock();
    holding = true;
    while (!searching && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
    lock.unlock();
    while (import.count() < 1 && std::chrono::steady_clock::now() < until)
      std::this_thread::yield();
    lock.lock();
    while (!import.cancelled() && std::chrono::steady_clock::now() < until) {
      std::this_thread::sleep_for(1ms);
    }
  });
  while (!holding) std::this_thread::yield();
  GuiScript script;
  script.Step(
      "import dialog is up and searching",
      [&] {
        return Newest<ImportLocalDlg>() == &import &&
               import.status_text().rfind("正在搜索:", 0) == 0;
      },
      [&] { searching = true; });
  script.Step(
      "the count is shown",
      [&] { return import.count() >= 1 && import.status_text().rfind("正在导入:", 0) == 0; },
      [&] {
        EXPECT_EQ(import.count_text(), "已经找到" + std::to_string(import.count()) + "首歌曲");
        ClickAt(ControlCentre(import, ImportLocalDlg::kCancelId));
      });
  ASSERT_TRUE(RunModal(import,
                       CenteredOn(gfx::Rect{0, 0, 1280, 1024},
                                  gfx::Size{ImportLocalDlg::kWidth, ImportLocalDlg::kHeight}),
                       nullptr));
  int taken = import.count();
  store_user.join();
  EXPECT_TRUE(script.finished()) << script.Trace() << " stuck: " << script.stuck();
  EXPECT_GE(taken, 1);
  EXPECT_LT(taken, kFiles);  // stopped before the end
  EXPECT_TRUE(import.cancelled());
  EXPECT_NE(import.status_text(), "导入完成");
  EXPECT_EQ(runtime_->playlists().ListRecords(store::PlaylistIndex::kLocalListId).size(),
            std::size_t(taken));
}

}  // namespace
}  // namespace quillo::ui
