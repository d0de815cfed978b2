#include "service-stub/Router.h"

#include "platform/text/TextUtil.h"
#include "service-stub/Answers.h"

namespace quillo::stub {

void Router::Add(const std::string& method, const std::string& path, Handler handler) {
  routes_.push_back({method, path, false, std::move(handler)});
}

void Router::AddPrefix(const std::string& method, const std::string& prefix, Handler handler) {
  routes_.push_back({method, prefix, true, std::move(handler)});
}

Reply Router::Dispatch(ServiceContext& context, const Call& call) const {
  const std::string method = call.method() == "HEAD" ? "GET" : call.method();
  bool path_known = false;
  for (const auto& route : routes_) {
    const bool matches = route.prefix ? text::StartsWith(call.path(), route.path)
                                      : call.path() == route.path;
    if (!matches) continue;
    path_known = true;
    const bool any = route.method == "*" && (method == "GET" || method == "POST");
    if (any || route.method == method) return route.handler(context, call);
  }
  const bool api = text::StartsWith(call.path(), "/api/");
  if (path_known) {
    return api ? ErrorResult(405, "不支持的请求方式") : ErrorPage(405, "不支持的请求方式");
  }
  return api ? ErrorResult(404, "接口不存在") : ErrorPage(404, "页面不存在");
}

}  // namespace quillo::stub
