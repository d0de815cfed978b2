#pragma once
// Maps a request's method and path to its handler. Paths are matched exactly, or by prefix for
// routes added with AddPrefix (the mirror folders). A handler never throws on bad input; it
// answers with an error reply.
#include <functional>
#include <string>
#include <vector>

#include "service-stub/Call.h"
#include "service-stub/Reply.h"
#include "service-stub/ServiceContext.h"

namespace quillo::stub {

using Handler = std::function<Reply(ServiceContext&, const Call&)>;

class Router {
 public:
  // method: "GET" (also answers HEAD), "POST", or "*" for both (other methods get 405).
  void Add(const std::string& method, const std::string& path, Handler handler);
  void AddPrefix(const std::string& method, const std::string& prefix, Handler handler);

  // 404 for unknown paths (an XML result under "/api/", a page elsewhere), 405 for a known
  // path with another method.
  Reply Dispatch(ServiceContext& context, const Call& call) const;

 private:
  struct Route {
    std::string method;
    std::string path;
    bool prefix = false;
    Handler handler;
  };
  std::vector<Route> routes_;
};

}  // namespace quillo::stub
