// The login session's rules, with the service's answers scripted under a real safe downloader.
#include "service/session/LoginSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeRequestSender.h"
#include "fakes/FakeTransferClient.h"
#include "platform/loop/MainLoop.h"
#include "service/api/JSRequestHandler.h"
#include "service/api/SafeDownloaderSender.h"
#include "service/api/ServiceRequests.h"
#include "service/session/LoginWaitingDialog.h"
#include "service/session/LoginWindow.h"
#include "service/sync/MirrorRequests.h"
#include "service/transfer/SafeDownloader.h"
#include "store/DocMusicActionListener.h"
#include "store/MirrorOutbox.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/ServiceAnswers.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"

namespace quillo::service {
namespace {
using namespace std::chrono_literals;
using testing::FakeAnswer;
using testing::FakeAttempt;
using testing::FakeTransferClient;

const std::string kBase = "http://svc/";

// The service's scrambled form: an ignored byte, the block length, then blocks of a key byte
// and the data bytes XORed with it.
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

std::string UserAnswer(const std::string& id, const std::string& name, const std::string& key,
                       const std::string& songs) {
  return "<sorvel><user id='" + id + "' username='" + name + "' contextKey='" + key +
         "'/><folders><folder name='music'>" + songs + "</folder></folders><playlists/></sorvel>";
}
std::string ErrorAnswer(const std::string& text) {
  return "<sorvel><error desc='" + text + "'/></sorvel>";
}

FakeAnswer Answer(const std::string& body, unsigned status = 200) {
  FakeAnswer answer;
  answer.status = status;
  answer.headers = {{"Content-Length", std::to_string(body.size())}};
  answer.body = body;
  return answer;
}
FakeAnswer Stalled() {
  FakeAnswer answer;
  answer.stall_send = true;
  return answer;
}

// Every hook call in order, as one line each.
class RecordingWindow : public LoginWindow {
 public:
  void ShowAlert(const std::string& text) override {
    events.push_back("alert " + text);
    if (on_alert) {
      auto hook = std::move(on_alert);
      hook();
    }
  }
  std::function<void()> on_alert;
  void RefreshPlaylistTree() override { events.push_back("tree"); }
  void ShowUserName(const std::string& name) override { events.push_back("name " + name); }
  void Redraw() override { events.push_back("redraw"); }
  void PostLoginRefresh() override { events.push_back("refresh"); }
  bool IsMiniMode() const override { return mini; }
  bool mini = false;
  std::vector<std::string> events;
};

// Modal like the real dialog: runs the loop until its close arrives (bounded). `on_show` runs
// first, inside the modal run; `user_closes` makes it return at once, as a user's click would.
class FakeWaitingDialog : public LoginWaitingDialog {
 public:
  explicit FakeWaitingDialog(loop::MainLoop& loop) : loop_(loop) {}
  bool ShowWaitingDialog(int dialog) override {
    events.push_back("show " + std::to_string(dialog));
    if (on_show) {
      auto hook = std::move(on_show);
      hook();
    }
    if (!user_closes) loop_.PumpUntil([&] { return closed_.count(dialog) != 0; }, 10s);
    events.push_back("returned " + std::to_string(dialog));
    return true;
  }
  void PostCloseWaitingDialog(int dialog) override {
    events.push_back("close " + std::to_string(dialog));
    loop_.Post([this, dialog] { closed_[dialog] = true; });
  }
  // A new session numbers its dialogs from 1 again.
  void Reset() {
    events.clear();
    closed_.clear();
  }
  std::function<void()> on_show;
  bool user_closes = false;
  std::vector<std::string> events;

 private:
  loop::MainLoop& loop_;
  std::map<int, bool> closed_;
};

// What the store looks like to a listener at the moment it hears of a user change.
class SnapshotListener : public store::DocMusicActionListener {
 public:
  SnapshotListener(store::StoreRuntime& runtime, testing::FakeRequestSender& sent)
      : runtime_(runtime), sent_(sent) {}
  void OnMusicAdded(const store::MusicRecord&) override {}
  void OnMusicRemoved(const std::string&) override {}
  void OnUserChanged(const std::string& user_id) override {
    store::DocumentStore& store = runtime_.store();
    auto lock = store.Lock();
    TiXmlElement* user = store.Resolve("users#user:id:u1#", false);
    seen.push_back("user=" + user_id + " current=" + store.CurrentUser() +
                   " key=" + store::DocumentStore::GetTextOr(user, "contextKey", "(none)") +
                   " config=" + store.GetConfigText("sorvel.currentuser", "(none)") +
                   " sent=" + std::to_string(sent_.sent.size()));
  }
  std::vector<std::string> seen;

 private:
  store::StoreRuntime& runtime_;
  testing::FakeRequestSender& sent_;
};

class LoginSessionTest : public ::testing::Test {
 protected:
  LoginSessionTest() : runtime_(folder_.path()), dialog_(loop_), js_(fire_and_forget_, kBase) {
    runtime_.Open(false);
  }
  ~LoginSessionTest() override {
    session_.reset();
    if (downloader_) downloader_->Shutdown();
    runtime_.Close();
  }

  // The handler answers each attempt; the session is made over a downloader with it.
  LoginSession& Start(FakeTransferClient::Handler handler) {
    auto client = std::make_unique<FakeTransferClient>(std::move(handler));
    client_ = client.get();
    downloader_ = std::make_unique<SafeDownloader>(loop_, std::move(client));
    session_ = std::make_unique<LoginSession>(runtime_, *downloader_, js_, window_, dialog_);
    return *session_;
  }
  // Logs u1 in through the store, as an earlier run would have left it.
  void LoggedInBefore(const std::string& key) {
    ASSERT_TRUE(
        runtime_.answers().TakeLoginAnswer(UserAnswer("u1", "小明", key, "<s music_id='9'/>")).ok);
  }
  std::string Key(const std::string& user_id) {
    auto lock = runtime_.store().Lock();
    return store::DocumentStore::GetTextOr(
        runtime_.store().Resolve("users#user:id:" + user_id + "#", false), "contextKey", "(none)");
  }

  testing::TempFolder folder_;
  loop::MainLoop loop_;
  store::StoreRuntime runtime_;
  RecordingWindow window_;
  FakeWaitingDialog dialog_;
  testing::FakeRequestSender fire_and_forget_;
  JSRequestHandler js_;
  FakeTransferClient* client_ = nullptr;
  std::unique_ptr<SafeDownloader> downloader_;
  std::unique_ptr<LoginSession> session_;
};

TEST_F(LoginSessionTest, LoginSendsTheFieldsAsTypedAndTakesTheAnswer) {
  LoginSession& session = Start([](const FakeAttempt&, int) {
    return Answer(Scrambled(UserAnswer("u1", "小明", "k1", "<s music_id='5' music_name='晴天'/>")));
  });
  session.Login("小明", "密 码&=");
  ASSERT_EQ(client_->attempts().size(), 1u);
  const FakeAttempt attempt = client_->attempts()[0];
  EXPECT_EQ(attempt.url, "http://svc/api/login.php?ie=utf8");
  EXPECT_TRUE(attempt.post);
  EXPECT_EQ(attempt.form, (FormParams{{"name", "小明"}, {"encode", "密 码&="}}));
  EXPECT_EQ(runtime_.store().CurrentUser(), "u1");
  EXPECT_TRUE(runtime_.library().HasMusic("5"));
  EXPECT_EQ(window_.events, (std::vector<std::string>{"tree", "name 小明", "redraw"}));
  EXPECT_EQ(dialog_.events, (std::vector<std::string>{"show 1", "close 1", "returned 1"}));
  EXPECT_TRUE(session.pending_request().empty());
  EXPECT_FALSE(session.waiting_dialog_open());
}

TEST_F(LoginSessionTest, AnswersThatFailChangeNothingButCloseTheDialog) {
  struct Case {
    const char* what;
    FakeAnswer answer;
    std::vector<std::string> window;
    // The answer never came: it is told once the waiting dialog was told to close.
    bool alert_after_close = false;
  };
  FakeAnswer unreachable;
  unreachable.fail_send = true;
  const Case kCases[] = {
      {"an HTTP error", Answer("", 500), {"alert 无法连接到服务器，请检查网络。"}, true},
      {"an unreachable service", unreachable, {"alert 无法连接到服务器，请检查网络。"}, true},
      {"a body that does not descramble", Answer("x"), {"alert 登录失败，未知错误"}, true},
      {"the service's error",
       Answer(Scrambled(ErrorAnswer("用户名或密码错误"))),
       {"alert 用户名或密码错误", "refresh"}},
      {"an error without text",
       Answer(Scrambled(ErrorAnswer(""))),
       {"alert 登录失败，未知错误", "refresh"}},
      {"no user", Answer(Scrambled("<sorvel/>")), {"alert 错误的返回文件格式", "refresh"}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    window_.events.clear();
    dialog_.Reset();
    session_.reset();
    LoginSession& session = Start([&](const FakeAttempt&, int) { return c.answer; });
    if (c.alert_after_close) {
      window_.on_alert = [&] { EXPECT_EQ(dialog_.events.back(), "close 1"); };
    }
    session.Login("demo", "demo");
    EXPECT_EQ(window_.events, c.window);
    EXPECT_EQ(dialog_.events, (std::vector<std::string>{"show 1", "close 1", "returned 1"}));
    EXPECT_EQ(runtime_.store().CurrentUser(), "");
    EXPECT_TRUE(session.pending_request().empty());
    downloader_->Shutdown();
  }
}

TEST_F(LoginSessionTest, OnlyALoginTheUserStartedSaysTheServiceIsUnreachable) {
  FakeAnswer unreachable;
  unreachable.fail_send = true;
  LoginSession& session = Start([&](const FakeAttempt&, int) { return unreachable; });
  LoggedInBefore("k1");
  // At start-up: the user keeps the session, the window hears nothing.
  session.AutoLoginWithKey();
  EXPECT_FALSE(client_->attempts().empty());
  EXPECT_TRUE(window_.events.empty());
  EXPECT_EQ(runtime_.store().CurrentUser(), "u1");
  EXPECT_EQ(Key("u1"), "k1");
  // A hosted page's log-in is the user's own doing.
  session.AutoLoginFromPage();
  EXPECT_EQ(window_.events, std::vector<std::string>{"alert 无法连接到服务器，请检查网络。"});
  EXPECT_EQ(runtime_.store().CurrentUser(), "u1");
  EXPECT_TRUE(session.pending_request().empty());
  EXPECT_FALSE(session.waiting_dialog_open());
}

TEST_F(LoginSessionTest, ASecondLoginCancelsTheFirstAndOnlyItsAnswerCounts) {
  LoginSession& session = Start([](const FakeAttempt& attempt, int) {
    if (attempt.form.size() == 2 && attempt.form[1].second == "first") return Stalled();
    return Answer(Scrambled(UserAnswer("u2", "demo", "k2", "")));
  });
  std::string first_id;
  // The second login comes while the first one's waiting dialog is up.
  dialog_.on_show = [&] {
    first_id = session.pending_request();
    ASSERT_NE(downloader_->Find(first_id), nullptr);
    session.Login("demo", "second");
    EXPECT_EQ(downloader_->Find(first_id), nullptr);  // cancelled, no callback follows
  };
  session.Login("demo", "first");
  EXPECT_EQ(dialog_.events, (std::vector<std::string>{"show 1", "close 1", "show 2", "close 2",
                                                      "returned 2", "returned 1"}));
  EXPECT_EQ(runtime_.store().CurrentUser(), "u2");
  EXPECT_TRUE(session.pending_request().empty());
  // An answer to the first request, had it come, is not the pending one: it is ignored.
  session.OnLoginAnswer(first_id, true, Scrambled(UserAnswer("u1", "小明", "k1", "")));
  EXPECT_EQ(runtime_.store().CurrentUser(), "u2");
  EXPECT_EQ(window_.events, (std::vector<std::string>{"tree", "name demo", "redraw"}));
}

TEST_F(LoginSessionTest, ALoginStartedFromTheAlertOfAFailedAnswerTakesOver) {
  LoginSession& session = Start([](const FakeAttempt& attempt, int) {
    if (attempt.form.size() == 2 && attempt.form[1].second == "wrong") {
      return Answer(Scrambled(ErrorAnswer("用户名或密码错误")));
    }
    return Answer(Scrambled(UserAnswer("u2", "demo", "k2", "")));
  });
  // The user tries again while the alert is up (its modal run lets the loop go on).
  window_.on_alert = [&] { session.Login("demo", "demo"); };
  session.Login("demo", "wrong");
  EXPECT_EQ(runtime_.store().CurrentUser(), "u2");
  EXPECT_EQ(dialog_.events, (std::vector<std::string>{"show 1", "close 1", "show 2", "close 2",
                                                      "returned 2", "returned 1"}));
  EXPECT_EQ(window_.events, (std::vector<std::string>{"alert 用户名或密码错误", "tree", "name demo",
                                                      "redraw", "refresh"}));
  EXPECT_TRUE(session.pending_request().empty());
  EXPECT_FALSE(session.waiting_dialog_open());
}

TEST_F(LoginSessionTest, ClosingTheWaitingDialogCancelsAndALateAnswerIsIgnored) {
  auto release = std::make_shared<std::atomic<std::size_t>>(0);
  const std::string body = Scrambled(UserAnswer("u1", "小明", "k1", ""));
  LoginSession& session = Start([&](const FakeAttempt&, int) {
    FakeAnswer answer = Answer(body);
    answer.released = release;
    return answer;
  });
  dialog_.user_closes = true;
  std::string id;
  dialog_.on_show = [&] { id = session.pending_request(); };
  session.Login("小明", "密码");
  EXPECT_TRUE(session.pending_request().empty());
  EXPECT_EQ(downloader_->Find(id), nullptr);
  release->store(body.size());
  session.OnLoginAnswer(id, true, body);
  loop_.PumpPending();
  EXPECT_EQ(runtime_.store().CurrentUser(), "");
  EXPECT_TRUE(window_.events.empty());  // no alert either
  EXPECT_EQ(dialog_.events, (std::vector<std::string>{"show 1", "returned 1"}));
}

TEST_F(LoginSessionTest, AutomaticLoginSendsTheStoredKeyAndNothingWithoutOne) {
  LoginSession& session = Start([](const FakeAttempt&, int) {
    return Answer(Scrambled(UserAnswer("u1", "小明", "k2", "")));
  });
  session.AutoLoginWithKey();  // nobody logged in
  LoggedInBefore("");
  session.AutoLoginWithKey();  // a user without a key
  EXPECT_TRUE(client_->attempts().empty());
  EXPECT_TRUE(dialog_.events.empty());
  EXPECT_TRUE(session.pending_request().empty());

  LoggedInBefore("k 1/+");
  session.AutoLoginWithKey();
  ASSERT_EQ(client_->attempts().size(), 1u);
  EXPECT_EQ(client_->attempts()[0].url, kBase + ServiceRequests::AutoLoginWithKey("k 1/+").path);
  EXPECT_NE(client_->attempts()[0].url.find("ukey=k"), std::string::npos);
  EXPECT_EQ(Key("u1"), "k2");
  session.AutoLoginFromPage();
  ASSERT_EQ(client_->attempts().size(), 2u);
  EXPECT_EQ(client_->attempts()[1].url, "http://svc/api/autologin.php");
}

// Changes kept in the outbox reach the service before an answer is merged: the accepted first
// answer is held, the outbox sent, and the login asked again, so the merged answer holds them.
// A refused change is said once and dropped; if the second answer does not come, the first
// still counts, and what is still pending keeps the merge from removing anything.
TEST_F(LoginSessionTest, TheOutboxGoesOutBeforeTheAnswerIsMerged) {
  const std::string list = "0123456789ABCDEF0123456789ABCDEF";
  std::vector<std::string> seen;  // endpoint of each attempt, in order
  bool service_has_list = false;
  bool second_login_fails = false;
  auto client = std::make_unique<FakeTransferClient>([&](const FakeAttempt& attempt, int) {
    const std::string path = attempt.url.substr(kBase.size());
    seen.push_back(path.substr(0, path.find('?')));
    if (path.rfind("api/createplaylist.php", 0) == 0) {
      service_has_list = true;
      return Answer("<result status='ok'/>");
    }
    if (path.rfind("api/deleteplaylist.php", 0) == 0) return Answer("<result/>", 404);
    if (second_login_fails && seen.size() > 2) {
      FakeAnswer down;
      down.no_response = true;
      return down;
    }
    const std::string lists =
        service_has_list ? "<l playlistId='" + list + "' playlistName='离线'><i id='9'/></l>" : "";
    return Answer(Scrambled("<sorvel><user id='u1' username='小明' contextKey='k2'/><folders>"
                            "<folder name='music'><s music_id='9'/></folder></folders>"
                            "<playlists>" + lists + "</playlists></sorvel>"));
  });
  client_ = client.get();
  downloader_ = std::make_unique<SafeDownloader>(loop_, std::move(client));
  SafeDownloaderSender sender(*downloader_);
  MirrorRequests mirror(runtime_.outbox(), runtime_.store(), sender, [] { return kBase; });
  js_.SetMirror(&mirror);
  session_ = std::make_unique<LoginSession>(runtime_, *downloader_, js_, window_, dialog_);

  LoggedInBefore("k1");
  // Made while the service could not be reached.
  runtime_.playlists().SetPlaylistName(list, "离线");
  ASSERT_TRUE(runtime_.playlists().AddItem(list, "9"));
  runtime_.outbox().Add("u1", "api/createplaylist.php", {{"name", "离线"}, {"id", list}});
  runtime_.outbox().Add("u1", "api/deleteplaylist.php", {{"playlistId", "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF"}});

  session_->AutoLoginWithKey();
  ASSERT_TRUE(loop_.PumpUntil([&] { return !session_->waiting_dialog_open(); }, 10s));
  EXPECT_EQ(seen, (std::vector<std::string>{"api/autologin.php", "api/createplaylist.php",
                                            "api/deleteplaylist.php", "api/autologin.php"}));
  EXPECT_TRUE(runtime_.outbox().empty());
  EXPECT_TRUE(runtime_.playlists().PlaylistExists(list));
  EXPECT_EQ(Key("u1"), "k2");
  EXPECT_EQ(std::count(window_.events.begin(), window_.events.end(),
                       "alert " + std::string(MirrorRequests::kRefusedText) + "删除播放列表（404）"),
            1);
  EXPECT_EQ(std::count(dialog_.events.begin(), dialog_.events.end(), "close 1"), 1);

  // The service goes away before the second answer: the first answer (older than the change
  // just delivered) is merged, but it removes nothing.
  const std::string other = "FEDCBA9876543210FEDCBA9876543210";
  runtime_.playlists().SetPlaylistName(other, "又一个");
  runtime_.outbox().Add("u1", "api/createplaylist.php", {{"name", "又一个"}, {"id", other}});
  service_has_list = false;
  second_login_fails = true;
  seen.clear();
  dialog_.Reset();
  session_->AutoLoginWithKey();
  ASSERT_TRUE(loop_.PumpUntil([&] { return !session_->waiting_dialog_open() &&
                                           session_->pending_request().empty() &&
                                           !session_->sending_outbox(); }, 10s));
  EXPECT_EQ(seen, (std::vector<std::string>{"api/autologin.php", "api/createplaylist.php",
                                            "api/autologin.php"}));
  EXPECT_TRUE(runtime_.playlists().PlaylistExists(other));
  EXPECT_TRUE(runtime_.playlists().PlaylistExists(list));
  EXPECT_TRUE(runtime_.outbox().empty()) << "the create went out in the flush";
  downloader_->Shutdown();
  session_.reset();
  js_.SetMirror(nullptr);
}

TEST_F(LoginSessionTest, InMiniModeTheAutomaticLoginWaitsWithoutADialog) {
  auto release = std::make_shared<std::atomic<std::size_t>>(0);
  const std::string body = Scrambled(UserAnswer("u1", "小明", "k2", ""));
  LoginSession& session = Start([&](const FakeAttempt&, int) {
    FakeAnswer answer = Answer(body);
    answer.released = release;
    return answer;
  });
  LoggedInBefore("k1");
  window_.mini = true;
  session.AutoLoginWithKey();
  EXPECT_TRUE(dialog_.events.empty());
  EXPECT_FALSE(session.pending_request().empty());
  release->store(body.size());
  ASSERT_TRUE(loop_.PumpUntil([&] { return session.pending_request().empty(); }, 10s));
  EXPECT_EQ(Key("u1"), "k2");
}

TEST_F(LoginSessionTest, AFailedAutomaticLoginLogsTheCurrentUserOut) {
  LoginSession& session = Start([](const FakeAttempt&, int) {
    return Answer(Scrambled(ErrorAnswer("登录已过期，请重新登录")));
  });
  LoggedInBefore("k1");
  runtime_.store().SetConfigText("sorvel.contextid", "ctx");
  session.AutoLoginWithKey();
  EXPECT_EQ(runtime_.store().CurrentUser(), "");
  EXPECT_EQ(Key("u1"), "(none)");
  EXPECT_FALSE(runtime_.store().HasConfig("sorvel.currentuser"));
  EXPECT_FALSE(runtime_.store().HasConfig("sorvel.contextid"));
  ASSERT_EQ(fire_and_forget_.sent.size(), 1u);
  EXPECT_EQ(fire_and_forget_.sent[0].url, "http://svc/user/logout.php");
  EXPECT_EQ(fire_and_forget_.sent[0].callback, nullptr);
  EXPECT_EQ(window_.events,
            (std::vector<std::string>{"alert 登录已过期，请重新登录", "tree", "name ", "refresh",
                                      "tree", "name ", "redraw"}));
}

TEST_F(LoginSessionTest, LogoutSendsFirstThenChangesTheStoreInOneStep) {
  LoginSession& session = Start([](const FakeAttempt&, int) { return Answer(""); });
  LoggedInBefore("k1");
  runtime_.store().SetConfigText("sorvel.contextid", "ctx");
  runtime_.playlists().AddRecentlyPlayed({{"id", "9"}, {"name", "x"}});
  SnapshotListener listener(runtime_, fire_and_forget_);
  runtime_.store().AddListener(&listener);
  EXPECT_EQ(session.Logout(), "1");
  runtime_.store().RemoveListener(&listener);
  // The listeners hear of it with the key gone and nobody current, before the keys go.
  EXPECT_EQ(listener.seen, std::vector<std::string>{"user= current= key=(none) config=u1 sent=1"});
  EXPECT_FALSE(runtime_.store().HasConfig("sorvel.currentuser"));
  EXPECT_FALSE(runtime_.store().HasConfig("sorvel.contextid"));
  EXPECT_TRUE(runtime_.playlists().ListRecords("t_latest").empty());
  EXPECT_EQ(runtime_.playlists().ListUsers().size(), 1u);  // offered again at the next login
  EXPECT_EQ(window_.events, (std::vector<std::string>{"tree", "name "}));
  EXPECT_TRUE(client_->attempts().empty());
}

TEST_F(LoginSessionTest, TheLoginButtonWantsBothFields) {
  LoginSession& session = Start([](const FakeAttempt&, int) { return Answer(""); });
  struct Case {
    const char* user;
    const char* password;
    bool accepted;
  };
  for (const Case& c : {Case{"", "", false}, Case{"demo", "", false}, Case{"", "demo", false},
                        Case{" ", " ", true}, Case{"小明", "密码", true}}) {
    window_.events.clear();
    EXPECT_EQ(session.CheckLoginFields(c.user, c.password), c.accepted)
        << c.user << "/" << c.password;
    EXPECT_EQ(window_.events.size(), c.accepted ? 0u : 1u);
    if (!c.accepted) {
      EXPECT_EQ(window_.events[0], "alert 请输入用户名和密码");
    }
  }
  EXPECT_TRUE(client_->attempts().empty());
}

}  // namespace
}  // namespace quillo::service
