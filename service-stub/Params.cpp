#include "service-stub/Params.h"

#include "platform/text/TextUtil.h"

namespace quillo::stub {

std::string UrlDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      out.push_back(' ');
    } else if (c == '%' && i + 2 < text.size() && text::HexDigitValue(text[i + 1]) >= 0 &&
               text::HexDigitValue(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(text::HexDigitValue(text[i + 1]) * 16 +
                                      text::HexDigitValue(text[i + 2])));
      i += 2;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string UrlEncode(std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-' ||
        u == '_' || u == '.' || u == '~') {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[u >> 4]);
      out.push_back(kHex[u & 0xF]);
    }
  }
  return out;
}

Params Params::ParseUrlEncoded(std::string_view text) {
  Params params;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('&', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view piece = text.substr(start, end - start);
    if (!piece.empty()) {
      const std::size_t equals = piece.find('=');
      if (equals == std::string_view::npos) {
        params.Add(UrlDecode(piece), std::string());
      } else {
        params.Add(UrlDecode(piece.substr(0, equals)), UrlDecode(piece.substr(equals + 1)));
      }
    }
    start = end + 1;
  }
  return params;
}

void Params::Add(std::string name, std::string value) {
  pairs_.emplace_back(std::move(name), std::move(value));
}

bool Params::Has(std::string_view name) const {
  return Get(name).has_value();
}

std::optional<std::string> Params::Get(std::string_view name) const {
  for (const auto& [key, value] : pairs_) {
    if (key == name) return value;
  }
  return std::nullopt;
}

std::string Params::GetOr(std::string_view name, std::string_view fallback) const {
  auto value = Get(name);
  return value ? *value : std::string(fallback);
}

std::vector<std::string> Params::GetAll(std::string_view name) const {
  std::vector<std::string> values;
  for (const auto& [key, value] : pairs_) {
    if (key == name) values.push_back(value);
  }
  return values;
}

}  // namespace quillo::stub
