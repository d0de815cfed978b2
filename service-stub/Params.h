#pragma once
// Ordered name-value pairs of a query string or an url-encoded form. The order of arrival is
// kept (the request log and repeated names such as "musicId[]" depend on it); lookups compare
// names exactly.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillo::stub {

class Params {
 public:
  using Pair = std::pair<std::string, std::string>;

  Params() = default;
  explicit Params(std::vector<Pair> pairs) : pairs_(std::move(pairs)) {}

  // Parses "a=1&b=%E4%B8%AD+x". Never fails: a bad escape is kept literally, a piece without
  // '=' is a name with an empty value, empty pieces are skipped.
  static Params ParseUrlEncoded(std::string_view text);

  const std::vector<Pair>& pairs() const { return pairs_; }
  bool empty() const { return pairs_.empty(); }
  void Add(std::string name, std::string value);

  bool Has(std::string_view name) const;
  // The first value of the name.
  std::optional<std::string> Get(std::string_view name) const;
  std::string GetOr(std::string_view name, std::string_view fallback) const;
  // Every value of the name, in order.
  std::vector<std::string> GetAll(std::string_view name) const;

 private:
  std::vector<Pair> pairs_;
};

// Percent-decoding of one url-encoded component; '+' becomes a space.
std::string UrlDecode(std::string_view text);
// Percent-encoding of everything except unreserved characters (RFC 3986).
std::string UrlEncode(std::string_view text);

}  // namespace quillo::stub
