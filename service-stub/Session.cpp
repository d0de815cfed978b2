#include "service-stub/Session.h"

namespace quillo::stub {

std::optional<SessionRecord> SessionOf(ServiceContext& context, const Call& call) {
  const std::string sid = call.Cookie(kSessionCookie);
  if (sid.empty() || sid.size() > 64) return std::nullopt;
  return context.users.SessionById(sid);
}

std::string SessionCookieHeader(const std::string& sid) {
  return std::string(kSessionCookie) + "=" + sid + "; Path=/; HttpOnly; SameSite=Lax";
}

std::string ExpiredSessionCookieHeader() {
  return std::string(kSessionCookie) + "=; Path=/; Max-Age=0; HttpOnly; SameSite=Lax";
}

std::string LogoUrl(const ServiceContext& context, const std::string& user_id) {
  return context.base_url + "music/download_image.php?id=" + user_id + "&type=user&size=64";
}

}  // namespace quillo::stub
