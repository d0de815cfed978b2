// login NAME PASSWORD, login --auto, logout: the program's login session against the service,
// over the command's service runtime. Its transport continues the cookie session of the command
// before, so later commands act as the logged-in user.
#include <chrono>
#include <optional>
#include <ostream>
#include <string>

#include "platform/loop/MainLoop.h"
#include "service/runtime/ServiceRuntime.h"
#include "service/session/LoginSession.h"
#include "service/session/LoginWaitingDialog.h"
#include "service/session/LoginWindow.h"
#include "service/sync/MirrorRequests.h"
#include "service/transfer/SafeDownloader.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "tools/quillo-tool/TerminalText.h"
#include "tools/quillo-tool/ToolCommand.h"
#include "tools/quillo-tool/ToolRuntime.h"

namespace quillo::tool {
namespace {

// Beyond the downloader's own receive time-out, so the transfer's outcome decides first.
constexpr std::chrono::seconds kAnswerTimeout{90};
constexpr std::chrono::seconds kLogoutDeliveryTimeout{30};

// The window as a terminal sees it: the alert is remembered for standard error, the user name
// marks a login that was taken up. A change of the outbox that the service refused is a note of
// its own, printed at once: the login itself may well succeed.
class ToolLoginWindow : public service::LoginWindow {
 public:
  explicit ToolLoginWindow(std::ostream& err) : err_(err) {}
  void ShowAlert(const std::string& text) override {
    if (text.rfind(service::MirrorRequests::kRefusedText, 0) == 0) {
      err_ << "quillo-tool: " << text << "\n";
      return;
    }
    alert = text;
  }
  void RefreshPlaylistTree() override {}
  void ShowUserName(const std::string& user_name) override { shown_user = user_name; }
  void Redraw() override {}
  void PostLoginRefresh() override {}
  bool IsMiniMode() const override { return false; }

  std::optional<std::string> alert;
  std::optional<std::string> shown_user;

 private:
  std::ostream& err_;
};

// No dialog to show: it "closes" when the answer has arrived, or after the time-out (which the
// session then takes for a cancel).
class ToolWaitingDialog : public service::LoginWaitingDialog {
 public:
  explicit ToolWaitingDialog(loop::MainLoop& loop) : loop_(loop) {}
  bool ShowWaitingDialog(int dialog) override {
    timed_out = !loop_.PumpUntil([&] { return closed_ == dialog; }, kAnswerTimeout);
    return true;
  }
  void PostCloseWaitingDialog(int dialog) override { closed_ = dialog; }
  bool timed_out = false;

 private:
  loop::MainLoop& loop_;
  int closed_ = 0;
};

// Everything a session needs, over the command's runtime (whose addresses are known).
class ToolSession {
 public:
  ToolSession(ToolRuntime& tool, std::ostream& err)
      : tool_(tool),
        window_(err),
        dialog_(tool.loop()),
        session_(*store::StoreRuntime::Instance(), tool.service().downloader(),
                 tool.service().sender(), window_, dialog_) {}
  // The transfers end before the session and its window go.
  ~ToolSession() { tool_.service().Shutdown(); }

  loop::MainLoop& loop() { return tool_.loop(); }
  service::SafeDownloader& downloader() { return tool_.service().downloader(); }
  service::LoginSession& session() { return session_; }
  ToolLoginWindow& window() { return window_; }
  ToolWaitingDialog& dialog() { return dialog_; }

 private:
  ToolRuntime& tool_;
  ToolLoginWindow window_;
  ToolWaitingDialog dialog_;
  service::LoginSession session_;
};

int Report(ToolContext& context, ToolSession& tool) {
  const ToolLoginWindow& window = tool.window();
  if (window.alert || !window.shown_user || window.shown_user->empty()) {
    context.err << (window.alert ? *window.alert
                                 : std::string(service::LoginSession::kUnknownErrorText))
                << "\n";
    if (!window.alert && tool.dialog().timed_out) {
      context.err << "quillo-tool: no answer from the service within " << kAnswerTimeout.count()
                  << " s\n";
    } else if (!window.alert) {
      context.err << "quillo-tool: the login request failed (no usable answer)\n";
    }
    return 1;
  }
  store::StoreRuntime& runtime = *store::StoreRuntime::Instance();
  const store::UserInfo user = runtime.playlists().CurrentUserInfo();
  context.out << "user " << Shown(user.id) << " " << Shown(user.username) << "\n"
              << "library " << runtime.playlists().ListRecords("").size() << " songs\n"
              << "playlists " << runtime.playlists().ListPlaylists(true).size() << "\n";
  return 0;
}

int Login(ToolContext& context) {
  const bool automatic = context.args.size() == 1 && context.args[0] == "--auto";
  if (!automatic && context.args.size() != 2) {
    context.err << "usage: quillo-tool login NAME PASSWORD | login --auto\n";
    return 1;
  }
  store::StoreRuntime& runtime = *store::StoreRuntime::Instance();
  if (automatic && runtime.playlists().CurrentUserInfo().context_key.empty()) {
    context.err << "quillo-tool: no stored session key (nobody logged in, or logged out)\n";
    return 1;
  }
  ToolRuntime command_runtime(context);
  if (!command_runtime.Endpoints()) return 1;
  ToolSession tool(command_runtime, context.err);
  if (automatic) {
    tool.session().AutoLoginWithKey();
  } else if (tool.session().CheckLoginFields(context.args[0], context.args[1])) {
    tool.session().Login(context.args[0], context.args[1]);
  }
  return Report(context, tool);
}

int Logout(ToolContext& context) {
  if (!context.args.empty()) {
    context.err << "usage: quillo-tool logout\n";
    return 1;
  }
  ToolRuntime command_runtime(context);
  if (!command_runtime.Endpoints()) return 1;
  ToolSession tool(command_runtime, context.err);
  const std::string id = tool.session().Logout();
  // The request carries the session cookie; the service ends the session only if it arrives.
  const bool delivered =
      !id.empty() && tool.loop().PumpUntil([&] { return tool.downloader().Find(id) == nullptr; },
                                           kLogoutDeliveryTimeout);
  if (!delivered) context.err << "quillo-tool: the logout request did not reach the service\n";
  context.out << "logged out\n";
  return 0;
}

}  // namespace

void RegisterSessionCommands(CommandList& commands) {
  commands.push_back({"login", "NAME PASSWORD | --auto", Login});
  commands.push_back({"logout", "", Logout});
}

}  // namespace quillo::tool
