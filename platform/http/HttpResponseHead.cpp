#include "platform/http/HttpResponseHead.h"

#include "platform/text/TextUtil.h"

namespace quillo::http {

HttpResponseHead::Line HttpResponseHead::Take(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (text::StartsWith(line, "HTTP/")) {
    const std::size_t space = line.find(' ');
    const auto code = space == std::string_view::npos ? std::nullopt
                                                      : text::LeadingNumber(line.substr(space + 1));
    status_ = code && *code >= 100 && *code <= 999 ? static_cast<unsigned>(*code) : 0;
    fields_.clear();
    return Line::kStatus;
  }
  if (line.empty()) return Line::kEnd;
  if ((line.front() == ' ' || line.front() == '\t') && !fields_.empty()) {
    fields_.back().second += ' ';
    fields_.back().second += text::Trim(line);
    return Line::kField;
  }
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return Line::kIgnored;
  std::string name(text::TrimView(line.substr(0, colon)));
  if (text::EqualsIgnoreCaseAscii(name, "Set-Cookie")) cookies_changed_ = true;
  fields_.emplace_back(std::move(name), text::Trim(line.substr(colon + 1)));
  return Line::kField;
}

std::optional<std::string> HttpResponseHead::Header(std::string_view name, std::size_t index) const {
  for (const auto& [field, value] : fields_) {
    if (text::EqualsIgnoreCaseAscii(field, name) && index-- == 0) return value;
  }
  return std::nullopt;
}

}  // namespace quillo::http
