#pragma once
// One service call of the request catalogue: a path (query included) relative to the service
// base URL and the form parameters sent as its POST body. A call without parameters is still a
// POST, with an empty form.
#include <string>

#include "service/transfer/SafeDownloader.h"

namespace quillo::service {

struct ServiceCall {
  std::string path;
  // In the order the catalogue lists them; "musicId[]" once per song, in the caller's order.
  // The HTTP client orders the body by name (equal names keep this order).
  FormParams params;

  bool operator==(const ServiceCall&) const = default;
};

}  // namespace quillo::service
