#pragma once
// The service's addresses as this run knows them, one object for the whole run. Until the
// configured or the embedded service is known they are empty (every service call then fails as
// to a service that is down); once set, everything that builds an address reads the new value
// at its next request. So nothing is made again when the address arrives late.
//
// Window thread: Set and the readers run there (builders copy the value they use).
#include "service/api/ServiceEndpoints.h"

namespace quillo::service {

class SharedEndpoints {
 public:
  SharedEndpoints() = default;
  explicit SharedEndpoints(ServiceEndpoints endpoints) : endpoints_(std::move(endpoints)) {}
  SharedEndpoints(const SharedEndpoints&) = delete;
  SharedEndpoints& operator=(const SharedEndpoints&) = delete;

  const ServiceEndpoints& Get() const { return endpoints_; }
  bool known() const { return endpoints_.configured(); }
  void Set(const ServiceEndpoints& endpoints) { endpoints_ = endpoints; }

 private:
  ServiceEndpoints endpoints_;
};

}  // namespace quillo::service
