#pragma once
// The service a quillo-tool command talks to: the one --service names, else the one the data
// folder is configured for, else the embedded stand-in service, started for the duration of the
// command (as the program starts it when no service is configured).
#include <optional>

#include "service/api/ServiceEndpoints.h"
#include "service/embedded/EmbeddedService.h"

namespace quillo::tool {

struct ToolContext;

class ToolService {
 public:
  // The context outlives this object.
  explicit ToolService(ToolContext& context) : context_(context) {}

  // The endpoints, starting the embedded service on the first call when none is configured;
  // nothing (with a message on the context's error stream) when no service can be had.
  const std::optional<service::ServiceEndpoints>& Endpoints();

 private:
  ToolContext& context_;
  bool resolved_ = false;
  std::optional<service::ServiceEndpoints> endpoints_;
  // Stopped by its destructor, after the command's transfers have ended.
  service::EmbeddedService embedded_;
};

}  // namespace quillo::tool
