#include "service-stub/Call.h"

#include "platform/text/TextUtil.h"

namespace quillo::stub {

Call::Call(const httplib::Request& request, std::string body)
    : request_(request), body_(std::move(body)) {
  const std::size_t question = request.target.find('?');
  if (question != std::string::npos) {
    query_ = Params::ParseUrlEncoded(std::string_view(request.target).substr(question + 1));
  }
  const std::string type = text::ToLowerAscii(request.get_header_value("Content-Type"));
  if (request.method == "POST" && text::StartsWith(type, "application/x-www-form-urlencoded")) {
    form_ = Params::ParseUrlEncoded(body_);
  }
}

std::string Call::Target() const { return request_.target; }

std::optional<std::string> Call::Param(std::string_view name) const {
  if (auto value = form_.Get(name)) return value;
  return query_.Get(name);
}

std::string Call::ParamOr(std::string_view name, std::string_view fallback) const {
  auto value = Param(name);
  return value ? *value : std::string(fallback);
}

std::vector<std::string> Call::ParamAll(std::string_view name) const {
  auto values = form_.GetAll(name);
  return values.empty() ? query_.GetAll(name) : values;
}

std::string Call::Header(const std::string& name) const { return request_.get_header_value(name); }

std::string Call::Cookie(const std::string& name) const {
  const std::size_t count = request_.get_header_value_count("Cookie");
  for (std::size_t i = 0; i < count; ++i) {
    const std::string header = request_.get_header_value("Cookie", i);
    std::size_t start = 0;
    while (start < header.size()) {
      std::size_t end = header.find(';', start);
      if (end == std::string::npos) end = header.size();
      const std::string piece = text::Trim(std::string_view(header).substr(start, end - start));
      const std::size_t equals = piece.find('=');
      if (equals != std::string::npos && piece.substr(0, equals) == name) {
        return piece.substr(equals + 1);
      }
      start = end + 1;
    }
  }
  return {};
}

}  // namespace quillo::stub
