// The login dialog's rules and its wiring to the login session, with a scripted user (the fake
// window system) and the service's answers scripted under a real safe downloader.
#include "ui/dialogs/LoginDialogs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "FakeWindowSystem.h"
#include "fakes/FakeRequestSender.h"
#include "fakes/FakeTransferClient.h"
#include "platform/loop/MainLoop.h"
#include "service/api/JSRequestHandler.h"
#include "service/session/LoginSession.h"
#include "service/session/LoginWindow.h"
#include "service/transfer/SafeDownloader.h"
#include "store/Playlists.h"
#include "store/ServiceAnswers.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"
#include "ui/dialogs/LoginDlg.h"
#include "ui/dialogs/LoginLoadingDlg.h"
#include "ui/toolkit/LayerDlg.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/RunModal.h"

namespace quillo::ui {
namespace {
using testing::FakeAnswer;
using testing::FakeAttempt;

const std::string kBase = "http://svc/";

// The service's scrambled form (see the session's tests): a byte, the block length, then
// blocks of a key byte and the data XORed with it.
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

FakeAnswer UserAnswer(const std::string& id, const std::string& name) {
  std::string body =
      Scrambled("<sorvel><user id='" + id + "' username='" + name + "' contextKey='k-" + id +
                "'/><folders><folder name='music'/></folders><playlists/></sorvel>");
  FakeAnswer answer;
  answer.headers = {{"Content-Length", std::to_string(body.size())}};
  answer.body = body;
  return answer;
}

class RecordingWindow : public service::LoginWindow {
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

LayerWnd& Top() {
  return *LayerWindowRegistry::All().back();
}
LoginDlg* TopLogin() {
  return dynamic_cast<LoginDlg*>(&Top());
}

class LoginDialogsTest : public ::testing::Test {
 protected:
  LoginDialogsTest() : runtime_(folder_.path()), js_(fire_and_forget_, kBase) {
    runtime_.Open(false);
  }
  ~LoginDialogsTest() override {
    session_.reset();
    dialogs_.reset();
    if (downloader_) downloader_->Shutdown();
    runtime_.Close();
  }
  void Start(testing::FakeTransferClient::Handler handler) {
    auto client = std::make_unique<testing::FakeTransferClient>(std::move(handler));
    client_ = client.get();
    downloader_ = std::make_unique<service::SafeDownloader>(loop_, std::move(client));
    LoginDialogs::Links links;
    links.open_hosted_page = [this](const std::string& url) { opened_.push_back("hosted " + url); };
    links.open_in_browser = [this](const std::string& url) { opened_.push_back("browser " + url); };
    service::ServiceEndpoints endpoints{kBase, "svc", "http://www.svc/"};
    dialogs_ = std::make_unique<LoginDialogs>(runtime_.playlists(),
                                              service::ServicePages(endpoints), links);
    session_ =
        std::make_unique<service::LoginSession>(runtime_, *downloader_, js_, window_, *dialogs_);
    dialogs_->SetSession(session_.get());
  }
  // Queues typing into the login dialog's fields, as the user would.
  void Type(const std::string& name, const std::string& password) {
    system_.script.push_back([name, password] {
      ASSERT_NE(TopLogin(), nullptr);
      TopLogin()->user_name_edit().SetText(name);
      TopLogin()->password_edit().SetText(password);
    });
  }
  void Press(int id) {
    system_.script.push_back([id] {
      LayerControl* c = Top().FindControl(id);
      ASSERT_NE(c, nullptr) << id;
      testing::Click(Top(), gfx::Point{(c->bounds.left + c->bounds.right) / 2,
                                       (c->bounds.top + c->bounds.bottom) / 2});
    });
  }

  testing::TempFolder folder_;
  loop::MainLoop loop_;
  testing::FakeWindowSystem system_;
  store::StoreRuntime runtime_;
  RecordingWindow window_;
  testing::FakeRequestSender fire_and_forget_;
  service::JSRequestHandler js_;
  testing::FakeTransferClient* client_ = nullptr;
  std::unique_ptr<service::SafeDownloader> downloader_;
  std::unique_ptr<LoginDialogs> dialogs_;
  std::unique_ptr<service::LoginSession> session_;
  std::vector<std::string> opened_;
};

TEST_F(LoginDialogsTest, EmptyFieldsShowTheAlertAndKeepTheDialogOpen) {
  Start([](const FakeAttempt&, int) { return UserAnswer("u1", "demo"); });
  struct Case {
    const char* name;
    const char* password;
  } cases[] = {{"", ""}, {"demo", ""}, {"", "demo"}};
  for (const Case& c : cases) {
    Type(c.name, c.password);
    Press(LoginDlg::kLoginId);
    system_.script.push_back([] { EXPECT_TRUE(TopLogin() && TopLogin()->IsCreated()); });
  }
  Press(LoginDlg::kCancelId);
  dialogs_->ShowLoginDialog();
  EXPECT_EQ(window_.alerts, std::vector<std::string>(3, "请输入用户名和密码"));
  EXPECT_TRUE(client_->attempts().empty());
  EXPECT_FALSE(system_.script_ran_out);
}

TEST_F(LoginDialogsTest, TypedFieldsReachTheSessionAndTheWaitingDialogClosesOnTheAnswer) {
  // The answer's bytes come only once the waiting dialog has been seen.
  auto released = std::make_shared<std::atomic<std::size_t>>(0);
  Start([released](const FakeAttempt&, int) {
    FakeAnswer answer = UserAnswer("u7", "小明");
    answer.released = released;
    return answer;
  });
  Type("小明", "密 码&=");
  bool waiting_seen = false;
  // Enter in the password field is the login button.
  system_.script.push_back([] { TopLogin()->password_edit().OnEditActivate(); });
  system_.script.push_back([&] {
    auto* waiting = dynamic_cast<LoginLoadingDlg*>(&Top());
    waiting_seen = waiting != nullptr && waiting->IsCreated();
    // Centred on the screen (no main window), at the dialog's size.
    if (waiting) {
      EXPECT_EQ(waiting->WindowRect().width(), LoginLoadingDlg::kWidth);
    }
    released->store(1 << 20);
    loop_.PumpUntil([&] { return !session_->waiting_dialog_open(); }, std::chrono::seconds(10));
  });
  dialogs_->ShowLoginDialog();
  EXPECT_TRUE(waiting_seen);
  ASSERT_EQ(client_->attempts().size(), 1u);
  EXPECT_EQ(client_->attempts()[0].url, kBase + "api/login.php?ie=utf8");
  EXPECT_EQ(client_->attempts()[0].form,
            (service::FormParams{{"name", "小明"}, {"encode", "密 码&="}}));
  EXPECT_EQ(runtime_.store().CurrentUser(), "u7");
  EXPECT_EQ(window_.shown_name, "小明");
  EXPECT_EQ(dialogs_->open_waiting_dialog(), 0);
  EXPECT_TRUE(LayerWindowRegistry::All().empty());
}

TEST_F(LoginDialogsTest, ClosingTheWaitingDialogCancelsTheLogin) {
  Start([](const FakeAttempt&, int) {
    FakeAnswer stalled;
    stalled.stall_send = true;
    return stalled;
  });
  Type("demo", "demo");
  Press(LoginDlg::kLoginId);
  system_.script.push_back([] {
    ASSERT_NE(dynamic_cast<LoginLoadingDlg*>(&Top()), nullptr);
    Top().Close();  // the user closes it
  });
  dialogs_->ShowLoginDialog();
  EXPECT_TRUE(session_->pending_request().empty());
  EXPECT_EQ(runtime_.store().CurrentUser(), "");
  EXPECT_TRUE(window_.alerts.empty());
}

TEST_F(LoginDialogsTest, TheAccountListFillsTheNameAndIgnoresIndexesOutsideIt) {
  for (const char* id : {"u1", "u2"}) {
    std::string name = std::string(id) == "u1" ? "小明" : "listener";
    ASSERT_TRUE(
        runtime_.answers()
            .TakeLoginAnswer(
                "<sorvel><user id='" + std::string(id) + "' username='" + name +
                "' contextKey='k'/><folders><folder name='music'/></folders><playlists/></sorvel>")
            .ok);
  }
  Start([](const FakeAttempt&, int) { return UserAnswer("u1", "小明"); });
  struct Case {
    int index;
    const char* expected;
  } cases[] = {{1, "listener"}, {0, "小明"}, {2, "小明"}, {-1, "小明"}, {1000, "小明"}};
  system_.script.push_back([&] {
    LoginDlg* dialog = TopLogin();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->accounts(), (std::vector<std::string>{"小明", "listener"}));
    for (const Case& c : cases) {
      dialog->ChooseAccount(c.index);
      EXPECT_EQ(dialog->user_name_edit().Text(), c.expected) << c.index;
    }
    // The account button opens the list under the name field.
    std::size_t windows = LayerWindowRegistry::All().size();
    dialog->OpenAccountList();
    EXPECT_EQ(LayerWindowRegistry::All().size(), windows + 1);
    Top().Close();
  });
  Press(LoginDlg::kCancelId);
  dialogs_->ShowLoginDialog();
  EXPECT_TRUE(client_->attempts().empty());  // cancel sends nothing
}

TEST_F(LoginDialogsTest, TheLinksOpenTheirPagesAndThePasswordIsEchoed) {
  Start([](const FakeAttempt&, int) { return UserAnswer("u1", "demo"); });
  bool echoed = false;
  system_.script.push_back([&] {
    // The password field is the second edit the dialog made.
    echoed = TopLogin()->password_edit().echo() == U'\u25CF' && system_.last &&
             system_.last->last_edit && system_.last->last_edit->echo_ == U'\u25CF';
  });
  Press(LoginDlg::kForgotPasswordId);
  system_.script.push_back([] { EXPECT_TRUE(TopLogin() && TopLogin()->IsCreated()); });
  Press(LoginDlg::kRegisterId);
  dialogs_->ShowLoginDialog();
  EXPECT_TRUE(echoed);
  EXPECT_EQ(opened_, (std::vector<std::string>{"browser http://www.svc/user/retrieve_pwd.php",
                                               "hosted http://svc/user/register.php"}));
  EXPECT_FALSE(system_.script_ran_out);
}

TEST_F(LoginDialogsTest, TheLinksTakeAnAddressThatBecameKnownAfterTheDialogsWereMade) {
  Start([](const FakeAttempt&, int) { return UserAnswer("u1", "demo"); });
  // The embedded service answers later than the dialogs are made.
  dialogs_->SetPages(service::ServicePages(
      service::ServiceEndpoints{"http://127.0.0.1:4711/", "127.0.0.1", "http://127.0.0.1:4711/"}));
  Press(LoginDlg::kForgotPasswordId);
  Press(LoginDlg::kRegisterId);
  dialogs_->ShowLoginDialog();
  EXPECT_EQ(opened_,
            (std::vector<std::string>{"browser http://127.0.0.1:4711/user/retrieve_pwd.php",
                                      "hosted http://127.0.0.1:4711/user/register.php"}));
  EXPECT_FALSE(system_.script_ran_out);
}

TEST_F(LoginDialogsTest, TheDialogCentresOnItsOwnerWhileTheOwnerLivesAndOnTheScreenAfter) {
  Start([](const FakeAttempt&, int) { return UserAnswer("u1", "demo"); });
  LayerDlg owner;
  ASSERT_TRUE(owner.Create(gfx::Rect::FromXYWH(100, 50, 600, 400), nullptr));
  dialogs_->SetOwner(&owner);
  struct Case {
    bool owner_alive;
    gfx::Point expected;
  } cases[] = {{true, {100 + (600 - 316) / 2, 50 + (400 - 208) / 2}},
               {false, {(1280 - 316) / 2, (1000 - 208) / 2}}};  // the fake's work area
  for (const Case& c : cases) {
    SCOPED_TRACE(c.owner_alive);
    if (!c.owner_alive) owner.Destroy();
    gfx::Rect seen;
    bool owner_enabled = true;
    system_.script.push_back([&] {
      seen = Top().WindowRect();
      owner_enabled = owner.IsEnabled();
    });
    Press(LoginDlg::kCancelId);
    dialogs_->ShowLoginDialog();
    EXPECT_EQ(seen.left, c.expected.x);
    EXPECT_EQ(seen.top, c.expected.y);
    EXPECT_EQ(owner_enabled, !c.owner_alive);  // modal over a live owner
  }
  EXPECT_TRUE(owner.IsEnabled());
}

}  // namespace
}  // namespace quillo::ui
