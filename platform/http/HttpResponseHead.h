#pragma once
// The head of an HTTP answer as the transport receives it, one line at a time with its line
// end: the status line and header lines of every answer of a request (interim 1xx answers and
// followed redirects included). Keeps the status and the header fields of the latest answer.
// The lines come from the peer, so any bytes are taken and none is trusted.
//
// One object per request; not thread-safe.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillo::http {

class HttpResponseHead {
 public:
  enum class Line {
    kStatus,   // "HTTP/..." began a new answer
    kField,    // a header field, or the continuation of the last one
    kEnd,      // the empty line that ends an answer's head
    kIgnored,  // anything else
  };

  // Line ends are dropped first. A status line sets the status to its code (100 to 999, else 0)
  // and drops the fields received so far. A line that begins with a blank continues the last
  // field (joined with one space); "Name: value" adds a field, name and value trimmed.
  Line Take(std::string_view line);

  // The latest status code; 0 before a status line or when its code was unusable.
  unsigned status() const { return status_; }
  // The index-th value (0 = first) of the field, name compared without case.
  std::optional<std::string> Header(std::string_view name, std::size_t index) const;
  // A "Set-Cookie" field has arrived in any answer so far.
  bool cookies_changed() const { return cookies_changed_; }
  const std::vector<std::pair<std::string, std::string>>& fields() const { return fields_; }

 private:
  unsigned status_ = 0;
  std::vector<std::pair<std::string, std::string>> fields_;
  bool cookies_changed_ = false;
};

}  // namespace quillo::http
