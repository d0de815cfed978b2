#include "platform/text/TextUtil.h"

#include <climits>

namespace quillo::text {
namespace {
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

std::string_view TrimView(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string Trim(std::string_view text) {
  return std::string(TrimView(text));
}

std::optional<int> LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return std::nullopt;
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

int LeadingInt(std::string_view text) {
  return LeadingNumber(text).value_or(0);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

std::size_t CodePointCount(std::string_view utf8) {
  std::size_t count = 0;
  for (char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

namespace {

// Length of the well-formed UTF-8 sequence at the start of `text` and its code point; 0 when the
// first byte does not start one (overlong forms, surrogates and values past U+10FFFF included).
std::size_t Utf8Sequence(std::string_view text, char32_t* code) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) {
    *code = lead;
    return 1;
  }
  // Lead byte ranges that can start a well-formed sequence, with the bits they carry.
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (lead < 0xC2 || lead > 0xF4) return 0;
  char32_t value = lead & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
  const char32_t minimum = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(i) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *code = value;
  return length;
}

void AppendHex(std::string& out, const char* prefix, unsigned value, int digits) {
  static const char kHex[] = "0123456789abcdef";
  out += prefix;
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    out.push_back(kHex[(value >> shift) & 0xF]);
}

}  // namespace

std::string EscapeControls(std::string_view text, bool keep_layout) {
  std::string out;
  out.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    char32_t code = 0;
    const std::size_t length = Utf8Sequence(text.substr(at), &code);
    if (length == 0) {
      AppendHex(out, "\\x", static_cast<unsigned char>(text[at]), 2);
      ++at;
      continue;
    }
    const bool layout = keep_layout && (code == '\t' || code == '\n');
    if ((code < 0x20 || code == 0x7F) && !layout) {
      AppendHex(out, "\\x", static_cast<unsigned>(code), 2);
    } else if (code >= 0x80 && code <= 0x9F) {
      AppendHex(out, "\\u", static_cast<unsigned>(code), 4);
    } else {
      out.append(text.substr(at, length));
    }
    at += length;
  }
  return out;
}

}  // namespace quillo::text
