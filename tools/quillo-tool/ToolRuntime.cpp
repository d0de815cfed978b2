#include "tools/quillo-tool/ToolRuntime.h"

#include "tools/quillo-tool/ToolCommand.h"

namespace quillo::tool {

ToolRuntime::ToolRuntime(ToolContext& context)
    : service_(context), runtime_(loop_, *context.store, http::CookieSessions::kContinue) {}

const std::optional<service::ServiceEndpoints>& ToolRuntime::Endpoints() {
  const std::optional<service::ServiceEndpoints>& endpoints = service_.Endpoints();
  if (endpoints && !runtime_.endpoints().known()) runtime_.endpoints().Set(*endpoints);
  return endpoints;
}

}  // namespace quillo::tool
