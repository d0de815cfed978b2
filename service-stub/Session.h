#pragma once
// The session cookie that ties a client's later calls to its login, shared by the service
// calls and the web pages (the client keeps one cookie jar for both).
#include <optional>
#include <string>

#include "service-stub/Call.h"
#include "service-stub/ServiceContext.h"

namespace quillo::stub {

inline constexpr char kSessionCookie[] = "QSID";

std::optional<SessionRecord> SessionOf(ServiceContext& context, const Call& call);
std::string SessionCookieHeader(const std::string& sid);
std::string ExpiredSessionCookieHeader();
// The user's logo picture on this service.
std::string LogoUrl(const ServiceContext& context, const std::string& user_id);

}  // namespace quillo::stub
