#include "platform/web/NetscapeCookie.h"

#include <vector>

namespace quillo::web {
namespace {

constexpr std::string_view kHttpOnlyPrefix = "#HttpOnly_";

bool ParseFlag(std::string_view field, bool& out) {
  if (field == "TRUE") {
    out = true;
  } else if (field == "FALSE") {
    out = false;
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::optional<NetscapeCookie> NetscapeCookie::Parse(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  NetscapeCookie cookie;
  if (line.substr(0, kHttpOnlyPrefix.size()) == kHttpOnlyPrefix) {
    cookie.http_only = true;
    line.remove_prefix(kHttpOnlyPrefix.size());
  } else if (line.empty() || line.front() == '#') {
    return std::nullopt;
  }
  std::vector<std::string_view> fields;
  while (true) {
    const std::size_t tab = line.find('\t');
    fields.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) break;
    line.remove_prefix(tab + 1);
  }
  // A cookie without a value may lose its last (empty) field.
  if (fields.size() == 6) fields.emplace_back();
  if (fields.size() != 7) return std::nullopt;
  cookie.domain = std::string(fields[0]);
  cookie.path = std::string(fields[2]);
  cookie.name = std::string(fields[5]);
  cookie.value = std::string(fields[6]);
  if (cookie.domain.empty() || cookie.name.empty() || cookie.path.empty()) return std::nullopt;
  if (!ParseFlag(fields[1], cookie.include_subdomains) || !ParseFlag(fields[3], cookie.secure)) {
    return std::nullopt;
  }
  std::string_view expiry = fields[4];
  if (expiry.empty() || expiry.size() > 18) return std::nullopt;
  std::int64_t seconds = 0;
  for (char c : expiry) {
    if (c < '0' || c > '9') return std::nullopt;
    seconds = seconds * 10 + (c - '0');
  }
  cookie.expires = seconds;
  return cookie;
}

std::string NetscapeCookie::Format() const {
  std::string line = http_only ? std::string(kHttpOnlyPrefix) : std::string();
  line += domain;
  line += include_subdomains ? "\tTRUE\t" : "\tFALSE\t";
  line += path;
  line += secure ? "\tTRUE\t" : "\tFALSE\t";
  line += std::to_string(expires);
  line += '\t';
  line += name;
  line += '\t';
  line += value;
  return line;
}

}  // namespace quillo::web
