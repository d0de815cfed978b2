// Under X with real input, against a running quillo-service over HTTP on 127.0.0.1: logging in
// as demo/demo through the login dialog makes demo the current user with the service's lists.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GuiHarness.h"
#include "platform/http/CurlHttpTransport.h"
#include "service/api/JSRequestHandler.h"
#include "service/api/SafeDownloaderSender.h"
#include "service/session/LoginSession.h"
#include "service/session/LoginWindow.h"
#include "service/transfer/SafeDownloader.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"
#include "ui/dialogs/LoginDialogs.h"
#include "ui/dialogs/LoginDlg.h"
#include "ui/toolkit/LayerEdit.h"
#include "ui/toolkit/UiRuntime.h"

namespace quillo::ui {
namespace {
using testing::ClickAt;
using testing::GuiScript;
using testing::IsOnScreen;
using testing::NewestWindow;

class QuietWindow : public service::LoginWindow {
 public:
  void ShowAlert(const std::string& text) override { alerts.push_back(text); }
  void RefreshPlaylistTree() override {}
  void ShowUserName(const std::string& name) override { shown_name = name; }
  void Redraw() override {}
  void PostLoginRefresh() override {}
  bool IsMiniMode() const override { return false; }
  std::vector<std::string> alerts;
  std::string shown_name;
};

gfx::Point EditCentre(LayerWnd& window, LayerEdit& edit) {
  gfx::Rect w = window.WindowRect(), r = edit.rect();
  return gfx::Point{w.left + (r.left + r.right) / 2, w.top + (r.top + r.bottom) / 2};
}

TEST(LoginServiceGuiTest, DemoLogsInThroughTheDialog) {
  if (!testing::GuiRuntime()) GTEST_SKIP() << "no display";
  testing::ServiceProcess service;
  ASSERT_TRUE(service.Start()) << service.error();
  testing::TempFolder data;
  store::StoreRuntime runtime(data.path());
  ASSERT_TRUE(runtime.Open(false));
  {
    http::CurlHttpTransport transport("");
    service::SafeDownloader downloader(testing::GuiRuntime()->loop(), transport);
    service::SafeDownloaderSender request_sender(downloader);
    service::JSRequestHandler sender(request_sender, service.base_url());
    QuietWindow window;
    service::ServiceEndpoints endpoints{service.base_url(), service.upload_host(),
                                        service.base_url()};
    LoginDialogs dialogs(runtime.playlists(), service::ServicePages(endpoints));
    service::LoginSession session(runtime, downloader, sender, window, dialogs);
    dialogs.SetSession(&session);

    GuiScript script;
    LoginDlg* login = nullptr;
    script.Step(
        "login dialog is up",
        [&] {
          LayerWnd* w = NewestWindow();
          login = w && IsOnScreen(*w) ? dynamic_cast<LoginDlg*>(w) : nullptr;
          return login != nullptr;
        },
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
    dialogs.ShowLoginDialog();
    testing::ReleaseTypingKeys();
    EXPECT_TRUE(script.finished()) << script.Trace() << " stuck: " << script.stuck();
    EXPECT_TRUE(window.alerts.empty()) << window.alerts.front();
    EXPECT_EQ(runtime.store().CurrentUser(), "10001");
    EXPECT_EQ(window.shown_name, "demo");
    EXPECT_TRUE(session.pending_request().empty());
    EXPECT_TRUE(
        runtime.playlists().PlaylistExists(runtime.playlists().FindPlaylistByName("我的收藏")));
    downloader.Shutdown();
  }
  runtime.Close();
}

}  // namespace
}  // namespace quillo::ui
