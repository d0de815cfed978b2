#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"
#include "service-stub/Answers.h"
#include "service-stub/ApiHandlers.h"
#include "service-stub/Session.h"

namespace quillo::stub {
namespace {

constexpr std::size_t kMaxCredentialBytes = 256;

Reply LoginFailure(const std::string& description) {
  return DocumentReply(LoginError(description), true);
}

Reply LoginSuccess(ServiceContext& context, const UserRecord& user, const SessionRecord& session) {
  Reply reply = DocumentReply(
      LoginAnswer(context.catalogue, user, session, LogoUrl(context, user.id),
                  context.users.Library(user.id), context.users.Playlists(user.id)),
      true);
  reply.SetHeader("Set-Cookie", SessionCookieHeader(session.sid));
  return reply;
}

// The form is UTF-8 when the query says ie=utf8 (what the client sends); a form declared GBK,
// or undeclared and not valid UTF-8, is read as GBK.
std::string Credential(const Call& call, const char* name) {
  const std::string value = call.ParamOr(name);
  const std::string ie = text::ToLowerAscii(call.query().GetOr("ie", ""));
  if (ie == "gbk" || ie == "gb2312" || (ie.empty() && !text::IsValidUtf8(value))) {
    return text::GbkToUtf8(value);
  }
  return text::SanitizeUtf8(value);
}

Reply Login(ServiceContext& context, const Call& call) {
  const std::string name = Credential(call, "name");
  const std::string password = Credential(call, "encode");
  if (name.empty() || password.empty()) return LoginFailure("请输入用户名和密码");
  if (name.size() > kMaxCredentialBytes || password.size() > kMaxCredentialBytes) {
    return LoginFailure("用户名或密码错误");
  }
  const auto user = context.users.CheckPassword(name, password);
  if (!user) return LoginFailure("用户名或密码错误");
  const auto session = context.users.CreateSession(user->id);
  if (!session) return LoginFailure("服务器忙，请稍后再试");
  return LoginSuccess(context, *user, *session);
}

Reply AutoLogin(ServiceContext& context, const Call& call) {
  std::optional<SessionRecord> session;
  if (call.query().Has("ukey")) {
    const std::string key = call.query().GetOr("ukey", "");
    if (!key.empty() && key.size() <= 64) session = context.users.SessionByKey(key);
    if (!session) return LoginFailure("登录已过期，请重新登录");
  } else {
    session = SessionOf(context, call);
    if (!session) return LoginFailure("请先登录");
  }
  const auto user = context.users.FindUser(session->user_id);
  if (!user) return LoginFailure("用户不存在");
  return LoginSuccess(context, *user, *session);
}

Reply Logout(ServiceContext& context, const Call& call) {
  if (const auto session = SessionOf(context, call)) context.users.DeleteSession(session->sid);
  Reply reply = OkResult();
  reply.SetHeader("Set-Cookie", ExpiredSessionCookieHeader());
  return reply;
}

}  // namespace

void RegisterAccountApi(Router& router) {
  router.Add("*", "/api/login.php", Login);
  router.Add("*", "/api/autologin.php", AutoLogin);
  router.Add("POST", "/user/logout.php", Logout);
}

}  // namespace quillo::stub
