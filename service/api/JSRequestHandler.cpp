#include "service/api/JSRequestHandler.h"

namespace quillo::service {

std::string JSRequestHandler::Send(const ServiceCall& call) {
  return sender_.Request(base_url() + call.path, call.params, nullptr);
}

std::string JSRequestHandler::Send(const std::optional<ServiceCall>& call) {
  return call ? Send(*call) : std::string();
}

}  // namespace quillo::service
