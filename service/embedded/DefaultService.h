#pragma once
// The program's choice of service at start-up: the configured base URL when there is one (no
// child process then, ever), else the embedded stand-in service with its data in the data
// folder's "service/" folder.
//
// Window thread. The endpoints of the embedded service reach `on_ready` on the window thread
// through the owner's loop target once the service is ready (nothing is delivered after the
// target or the returned service is gone). Until then the program runs without a service and
// its requests fail.
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "service/api/ServiceEndpoints.h"
#include "service/embedded/EmbeddedService.h"

namespace quillo::loop {
class LoopTarget;
}

namespace quillo::service {

// "<data folder>service/".
std::string EmbeddedServiceDataFolder(const std::string& data_folder);

// Starts the embedded service unless `configured_base_url` names one. Answers the running
// service, or null: when a base URL is configured, or when the service's program cannot be found
// or started (then one line on `errors` says so). A service that ends before it is ready is
// reported on `errors` too, and `on_ready` gets nothing. `target` and `errors` outlive the
// returned service.
std::unique_ptr<EmbeddedService> StartServiceUnlessConfigured(
    const std::string& configured_base_url, const std::string& program_folder,
    const std::string& data_folder, loop::LoopTarget& target,
    std::function<void(const std::optional<ServiceEndpoints>&)> on_ready, std::ostream& errors);

}  // namespace quillo::service
