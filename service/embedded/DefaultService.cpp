#include "service/embedded/DefaultService.h"

#include <ostream>

#include "platform/loop/LoopTarget.h"
#include "platform/text/TextUtil.h"
#include "service/embedded/ServiceExecutable.h"

namespace quillo::service {

std::string EmbeddedServiceDataFolder(const std::string& data_folder) {
  return data_folder + "service/";
}

std::unique_ptr<EmbeddedService> StartServiceUnlessConfigured(
    const std::string& configured_base_url, const std::string& program_folder,
    const std::string& data_folder, loop::LoopTarget& target,
    std::function<void(const std::optional<ServiceEndpoints>&)> on_ready, std::ostream& errors) {
  if (!text::Trim(configured_base_url).empty()) return nullptr;
  EmbeddedServiceOptions options;
  options.executable = FindServiceExecutable(program_folder);
  options.data_folder = EmbeddedServiceDataFolder(data_folder);
  if (options.executable.empty()) {
    errors << "quillo: no service configured and no " << kServiceExecutableName
           << " found; running without a service" << std::endl;
    return nullptr;
  }
  auto service = std::make_unique<EmbeddedService>();
  // The reader thread hands the answer to the window thread; errors are written there too, so
  // the stream is only ever used on the window thread.
  auto deliver = [&target, &errors, service_ptr = service.get(), on_ready = std::move(on_ready)](
                     const std::optional<ServiceEndpoints>& endpoints) {
    // Read here, on the reader thread, while the service certainly exists.
    const std::string problem = endpoints ? std::string() : service_ptr->error();
    target.Post([&errors, problem, on_ready, endpoints] {
      if (!endpoints) {
        errors << "quillo: the embedded service did not start (" << problem
               << "); running without a service" << std::endl;
      }
      if (on_ready) on_ready(endpoints);
    });
  };
  if (!service->Start(options, std::move(deliver))) {
    errors << "quillo: cannot start " << options.executable << " (" << service->error()
           << "); running without a service" << std::endl;
    return nullptr;
  }
  return service;
}

}  // namespace quillo::service
