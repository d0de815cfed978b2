#pragma once
// One request as the handlers see it: its path, its query and form parameters in the order
// they were sent, and its headers and cookies.
#include <httplib.h>

#include <optional>
#include <string>

#include "service-stub/Params.h"

namespace quillo::stub {

class Call {
 public:
  // `body` is the request body, read by the server (the library's own form reading is not
  // used: it refuses url-encoded forms above 8 KB).
  Call(const httplib::Request& request, std::string body);

  const httplib::Request& http() const { return request_; }
  const std::string& method() const { return request_.method; }
  const std::string& path() const { return request_.path; }
  const Params& query() const { return query_; }
  const Params& form() const { return form_; }
  const std::string& body() const { return body_; }
  // The raw request target, path and query ("/a/b.php?x=1").
  std::string Target() const;

  // A form parameter, or the query parameter of that name when the form lacks it.
  std::optional<std::string> Param(std::string_view name) const;
  std::string ParamOr(std::string_view name, std::string_view fallback = {}) const;
  // Every form value of the name, or the query's when the form has none.
  std::vector<std::string> ParamAll(std::string_view name) const;

  std::string Header(const std::string& name) const;
  std::string Cookie(const std::string& name) const;

 private:
  const httplib::Request& request_;
  std::string body_;
  Params query_;
  Params form_;
};

}  // namespace quillo::stub
