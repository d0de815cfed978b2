#include "platform/web/BridgeProtocol.h"

#include <algorithm>
#include <cstdint>

namespace quillo::web::bridge {
namespace {

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

constexpr char32_t kReplacement = 0xFFFD;

// The code point at `i` (advancing `i`), U+FFFD for a byte that does not start a well-formed
// sequence (overlong forms, surrogates and values past U+10FFFF included).
char32_t NextCodePoint(std::string_view s, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(s[i++]);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
  if (extra < 0 || lead > 0xF4) return kReplacement;
  char32_t c = lead & (0x3F >> extra);
  for (int k = 0; k < extra; ++k) {
    if (i >= s.size()) return kReplacement;
    const auto next = static_cast<unsigned char>(s[i]);
    if ((next & 0xC0) != 0x80) return kReplacement;
    c = (c << 6) | (next & 0x3F);
    ++i;
  }
  if ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) ||
      (c >= 0xD800 && c <= 0xDFFF)) {
    return kReplacement;
  }
  return c;
}

// A strict reader of the one request shape; every step answers false on anything unexpected.
class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : s_(text) {}

  void SkipSpace() {
    while (pos_ < s_.size() &&
           (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r')) {
      ++pos_;
    }
  }
  bool Take(char c) {
    SkipSpace();
    if (pos_ < s_.size() && s_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool AtEnd() {
    SkipSpace();
    return pos_ == s_.size();
  }

  bool String(std::string& out) {
    out.clear();
    if (!Take('"')) return false;
    while (pos_ < s_.size()) {
      const char c = s_[pos_];
      if (c == '"') {
        ++pos_;
        return true;
      }
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        AppendUtf8(out, NextCodePoint(s_, pos_));
        continue;
      }
      if (++pos_ >= s_.size()) return false;
      const char e = s_[pos_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          char32_t unit = 0;
          if (!Hex4(unit)) return false;
          if (unit >= 0xD800 && unit <= 0xDBFF && s_.substr(pos_, 2) == "\\u") {
            const std::size_t saved = pos_;
            pos_ += 2;
            char32_t low = 0;
            if (!Hex4(low)) return false;
            if (low >= 0xDC00 && low <= 0xDFFF) {
              AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
              break;
            }
            pos_ = saved;  // the next escape stands on its own
          }
          AppendUtf8(out, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }

 private:
  bool Hex4(char32_t& out) {
    if (pos_ + 4 > s_.size()) return false;
    out = 0;
    for (int k = 0; k < 4; ++k) {
      const char h = s_[pos_++];
      int v = h >= '0' && h <= '9'   ? h - '0'
              : h >= 'a' && h <= 'f' ? h - 'a' + 10
              : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                     : -1;
      if (v < 0) return false;
      out = out * 16 + char32_t(v);
    }
    return true;
  }

  std::string_view s_;
  std::size_t pos_ = 0;
};

std::string Lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return out;
}

std::string JsonArray(const std::vector<std::string>& items) {
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) out += ',';
    out += JsonQuote(items[i]);
  }
  return out + "]";
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

}  // namespace

std::string JsonQuote(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  std::size_t i = 0;
  while (i < utf8.size()) {
    const char32_t c = NextCodePoint(utf8, i);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        // Control characters, the two line separators a script literal may not hold, and '<'
        // (so that "</script>" never closes an enclosing element) as \u escapes.
        if (c < 0x20 || c == 0x2028 || c == 0x2029 || c == '<') {
          out += "\\u";
          for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 0xF];
        } else {
          AppendUtf8(out, c);
        }
    }
  }
  return out + "\"";
}

std::optional<BridgeRequest> ParseBridgeRequest(std::string_view json) {
  JsonReader r(json);
  BridgeRequest request;
  bool has_token = false, has_method = false, has_args = false;
  if (!r.Take('{')) return std::nullopt;
  if (!r.Take('}')) {
    do {
      std::string key;
      if (!r.String(key) || !r.Take(':')) return std::nullopt;
      if (key == "token" && !has_token) {
        if (!r.String(request.token)) return std::nullopt;
        has_token = true;
      } else if (key == "method" && !has_method) {
        if (!r.String(request.method)) return std::nullopt;
        has_method = true;
      } else if (key == "args" && !has_args) {
        if (!r.Take('[')) return std::nullopt;
        if (!r.Take(']')) {
          do {
            std::string arg;
            if (!r.String(arg)) return std::nullopt;
            request.args.push_back(std::move(arg));
          } while (r.Take(','));
          if (!r.Take(']')) return std::nullopt;
        }
        has_args = true;
      } else {
        return std::nullopt;
      }
    } while (r.Take(','));
    if (!r.Take('}')) return std::nullopt;
  }
  if (!r.AtEnd() || !has_token || !has_method || !has_args) return std::nullopt;
  return request;
}

std::string BridgeRequestJson(const BridgeRequest& request) {
  return "{\"token\":" + JsonQuote(request.token) + ",\"method\":" + JsonQuote(request.method) +
         ",\"args\":" + JsonArray(request.args) + "}";
}

std::string BridgeAnswerJson(const BridgeValue& value) {
  switch (value.kind) {
    case BridgeValue::Kind::kString:
      return "{\"kind\":\"string\",\"value\":" + JsonQuote(value.text) + "}";
    case BridgeValue::Kind::kBool:
      return std::string("{\"kind\":\"bool\",\"value\":") + (value.flag ? "true" : "false") + "}";
    case BridgeValue::Kind::kVoid:
      break;
  }
  return "{\"kind\":\"void\"}";
}

std::string OriginOf(std::string_view url) {
  const std::size_t colon = url.find("://");
  if (colon == std::string_view::npos || colon == 0) return {};
  const std::string scheme = Lower(url.substr(0, colon));
  std::string_view authority = url.substr(colon + 3);
  authority = authority.substr(0, authority.find_first_of("/?#"));
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }
  std::string_view host = authority, port;
  if (StartsWith(authority, "[")) {
    const std::size_t close = authority.find(']');
    if (close == std::string_view::npos) return {};
    host = authority.substr(0, close + 1);
    std::string_view rest = authority.substr(close + 1);
    if (!rest.empty()) {
      if (rest[0] != ':') return {};
      port = rest.substr(1);
    }
  } else if (const std::size_t c = authority.rfind(':'); c != std::string_view::npos) {
    host = authority.substr(0, c);
    port = authority.substr(c + 1);
  }
  if (host.empty()) return {};
  if (!std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return {};
  }
  if ((scheme == "http" && port == "80") || (scheme == "https" && port == "443")) port = {};
  std::string origin = scheme + "://" + Lower(host);
  if (!port.empty()) origin += ":" + std::string(port);
  return origin;
}

bool IsBuiltInUrl(std::string_view url) {
  return Lower(url.substr(0, kPageScheme.size() + 1)) == std::string(kPageScheme) + ":";
}

bool IsTrustedUrl(std::string_view url, const std::vector<std::string>& origins) {
  if (IsBuiltInUrl(url)) return true;
  const std::string origin = OriginOf(url);
  if (origin.empty() || !(StartsWith(origin, "http://") || StartsWith(origin, "https://"))) {
    return false;
  }
  return std::any_of(origins.begin(), origins.end(),
                     [&](const std::string& o) { return OriginOf(o) == origin; });
}

bool IsAllowedNavigation(std::string_view url) {
  const std::string lower = Lower(url.substr(0, 16));
  return StartsWith(lower, "http://") || StartsWith(lower, "https://") || IsBuiltInUrl(url) ||
         lower == "about:blank" || StartsWith(lower, "data:");
}

std::string BuiltInUrl(std::string_view name) {
  return std::string(kPageScheme) + ":///" + std::string(name);
}

std::string BuiltInNameOfPath(std::string_view path) {
  while (StartsWith(path, "/")) path.remove_prefix(1);
  return std::string(path);
}

std::vector<std::string> ScriptAllowList(const std::vector<std::string>& origins) {
  std::vector<std::string> patterns{std::string(kPageScheme) + "://*/*"};
  for (const std::string& o : origins) {
    const std::string origin = OriginOf(o);
    if (origin.empty()) continue;
    // The pattern's host has no port; a bracketed IPv6 host keeps its colons.
    const std::size_t start = origin.find("://") + 3;
    const std::size_t host_end = origin[start] == '['
                                     ? origin.find(']', start) + 1
                                     : std::min(origin.find(':', start), origin.size());
    std::string pattern = origin.substr(0, host_end) + "/*";
    if (std::find(patterns.begin(), patterns.end(), pattern) == patterns.end()) {
      patterns.push_back(std::move(pattern));
    }
  }
  return patterns;
}

std::string ExternalScript(std::string_view token, const std::vector<std::string>& methods,
                           const std::vector<std::string>& origins) {
  std::vector<std::string> normalized;
  for (const std::string& o : origins) {
    std::string origin = OriginOf(o);
    if (!origin.empty()) normalized.push_back(std::move(origin));
  }
  // Everything the calls use is taken before the page's own scripts run.
  std::string script = R"JS((function () {
  'use strict';
  var trusted = )JS" + JsonArray(normalized) +
                       R"JS(;
  if (window.top !== window) return;
  if (location.protocol !== ')JS" +
                       std::string(kPageScheme) + R"JS(:' &&
      trusted.indexOf(location.origin) < 0) return;
  var token = )JS" + JsonQuote(token) +
                       R"JS(;
  var names = )JS" + JsonArray(methods) +
                       R"JS(;
  var url = )JS" + JsonQuote(kBridgeUrl) +
                       R"JS(;
  var XHR = window.XMLHttpRequest, proto = XHR.prototype;
  var open = proto.open, send = proto.send, setHeader = proto.setRequestHeader;
  var apply = Reflect.apply, stringify = JSON.stringify, parse = JSON.parse, text = String;
  var status = Object.getOwnPropertyDescriptor(proto, 'status').get;
  var responseText = Object.getOwnPropertyDescriptor(proto, 'responseText').get;
  function call(method, list) {
    var args = [];
    for (var i = 0; i < list.length; i++) args.push(text(list[i]));
    try {
      var x = new XHR();
      apply(open, x, ['POST', url, false]);
      apply(setHeader, x, ['Content-Type', 'text/plain']);
      apply(send, x, [stringify({token: token, method: method, args: args})]);
      if (apply(status, x, []) !== 200) return undefined;
      var answer = parse(apply(responseText, x, []));
      if (answer.kind === 'string') return text(answer.value);
      if (answer.kind === 'bool') return answer.value === true;
    } catch (e) {}
    return undefined;
  }
  var external = {};
  names.forEach(function (name) {
    external[name] = function () { return call(name, arguments); };
  });
  Object.freeze(external);
  try {
    Object.defineProperty(window, 'external',
                          {value: external, writable: false, enumerable: true, configurable: false});
  } catch (e) {}
})();
)JS";
  return script;
}

std::string CallFunctionScript(std::string_view name, const std::vector<std::string>& args) {
  return R"JS((function () {
  try {
    var f = window[)JS" +
         JsonQuote(name) + R"JS(];
    if (typeof f !== 'function') return '';
    var result = f.apply(window, )JS" +
         JsonArray(args) + R"JS();
    return typeof result === 'string' ? result : '';
  } catch (e) {
    return '';
  }
})();
)JS";
}

std::string_view HostStyleSheet() {
  return "::-webkit-scrollbar { display: none !important; width: 0 !important;"
         " height: 0 !important; }\n"
         "html { scrollbar-width: none !important; }\n";
}

}  // namespace quillo::web::bridge
