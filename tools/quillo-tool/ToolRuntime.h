#pragma once
// The service client of one quillo-tool command: the command's main loop and the program's
// service runtime over the data folder's cookie jar, continuing the login session of the command
// before. The service's addresses are resolved (and the embedded service started) only when the
// command asks for them; a command that fetches a URL of its own never starts a service.
//
// The command's thread is the window thread. Destroying the runtime cancels and joins every
// transfer, then stops the embedded service; the command returns (and the store closes) after.
#include <optional>

#include "platform/loop/MainLoop.h"
#include "service/runtime/ServiceRuntime.h"
#include "tools/quillo-tool/ToolService.h"

namespace quillo::tool {

struct ToolContext;

class ToolRuntime {
 public:
  // The context (with its store) outlives this object.
  explicit ToolRuntime(ToolContext& context);
  ToolRuntime(const ToolRuntime&) = delete;
  ToolRuntime& operator=(const ToolRuntime&) = delete;

  // The command's service (see ToolService), set as the runtime's addresses on the first call;
  // nothing (with a message on the context's error stream) when no service can be had.
  const std::optional<service::ServiceEndpoints>& Endpoints();

  loop::MainLoop& loop() { return loop_; }
  service::ServiceRuntime& service() { return runtime_; }

 private:
  // Destroyed last to first: every transfer ends before the loop it uses goes, and the
  // embedded service stops once nothing talks to it any more.
  ToolService service_;
  loop::MainLoop loop_;
  service::ServiceRuntime runtime_;
};

}  // namespace quillo::tool
