#include "tools/quillo-tool/ToolService.h"

#include <chrono>
#include <ostream>

#include "platform/fs/FileSystem.h"
#include "service/embedded/DefaultService.h"
#include "service/embedded/ServiceExecutable.h"
#include "store/DataFolder.h"
#include "store/DocumentStore.h"
#include "tools/quillo-tool/ToolCommand.h"

namespace quillo::tool {
namespace {

// Generous: a service on a very busy machine, or one started with --prepare-only data to make.
constexpr auto kServiceReadyTimeout = std::chrono::minutes(5);

}  // namespace

const std::optional<service::ServiceEndpoints>& ToolService::Endpoints() {
  if (resolved_) return endpoints_;
  resolved_ = true;
  if (context_.endpoints.configured()) {
    endpoints_ = context_.endpoints;
    return endpoints_;
  }
  const std::string data_folder = context_.store != nullptr ? context_.store->data_folder()
                                                            : store::ResolveDataFolder({});
  service::EmbeddedServiceOptions options;
  options.executable = service::FindServiceExecutable(fs::ProgramFolder());
  options.data_folder = service::EmbeddedServiceDataFolder(data_folder);
  if (options.executable.empty() || !embedded_.Start(options)) {
    context_.err << "quillo-tool: no service configured (set sorvel.service.base_url or pass "
                    "--service URL) and the embedded service cannot start"
                 << (embedded_.error().empty() ? "" : ": " + embedded_.error()) << "\n";
    return endpoints_;
  }
  endpoints_ = embedded_.WaitForEndpoints(kServiceReadyTimeout);
  if (!endpoints_) {
    context_.err << "quillo-tool: the embedded service did not get ready: " << embedded_.error()
                 << "\n";
  }
  return endpoints_;
}

}  // namespace quillo::tool
