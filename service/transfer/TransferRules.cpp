#include "service/transfer/TransferRules.h"

#include <limits>

#include "platform/text/TextUtil.h"
#include "service/transfer/AnswerDescrambler.h"

namespace quillo::service {
namespace {

constexpr std::string_view kQlfss1Scheme = "qlfss1://";
constexpr std::uint64_t kLargestValue = std::numeric_limits<std::int64_t>::max();

// The extension of a URL without '?'.
std::string PlainExtension(std::string_view url) {
  const std::size_t dot = url.rfind('.');
  if (dot == std::string_view::npos) return {};
  const std::size_t slash = url.rfind('/');
  if (slash != std::string_view::npos && slash > dot) return {};
  std::string_view extension = url.substr(dot);
  const std::size_t hash = extension.find('#');
  if (hash != std::string_view::npos) extension = extension.substr(0, hash);
  return text::ToLowerAscii(extension);
}

bool IsAudioExtension(std::string_view extension) {
  return extension == ".mp3" || extension == ".wma";
}

// Decimal digits only, below 2^63; `text` must not be empty.
std::optional<std::uint64_t> ParseDigits(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (kLargestValue - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace

std::string UrlExtension(std::string_view url) {
  const std::size_t question = url.find('?');
  if (question == std::string_view::npos) return PlainExtension(url);
  std::string before = PlainExtension(url.substr(0, question));
  std::string after = PlainExtension(url.substr(question + 1));
  if (IsAudioExtension(before)) return before;
  if (IsAudioExtension(after)) return after;
  if (text::StartsWith(before, ".wm")) return before;
  return after;
}

bool IsQlfss1Url(std::string_view entry) {
  if (entry.size() < kQlfss1Scheme.size() + 2) return false;
  const std::string lower = text::ToLowerAscii(entry);
  return text::StartsWith(lower, kQlfss1Scheme) &&
         (text::EndsWith(lower, ".1") || text::EndsWith(lower, ".2"));
}

MirrorSource ResolveMirror(std::string_view entry) {
  MirrorSource source;
  if (!IsQlfss1Url(entry)) {
    source.url = std::string(entry);
    return source;
  }
  source.url = "http://" + std::string(entry.substr(kQlfss1Scheme.size()));
  source.xor_bytes = true;
  source.extension = entry.back() == '1' ? ".mp3" : ".wma";
  return source;
}

std::vector<std::string> ParseMirrorList(std::string body) {
  DescrambleAnswer(body);
  const std::size_t nul = body.find('\0');
  if (nul != std::string::npos) body.resize(nul);
  std::vector<std::string> entries;
  std::string_view rest = body;
  while (!rest.empty()) {
    const std::size_t newline = rest.find('\n');
    const std::string_view line =
        text::TrimView(rest.substr(0, newline == std::string_view::npos ? rest.size() : newline));
    if (text::StartsWith(line, "http://") || IsQlfss1Url(line)) entries.emplace_back(line);
    if (newline == std::string_view::npos) break;
    rest.remove_prefix(newline + 1);
  }
  return entries;
}

std::string ReextendTarget(const std::string& target_path, std::string_view extension) {
  // A URL that names no extension leaves the caller's: a streamed song stays "ID.playpart",
  // a lyric "ID.lrc", instead of losing its extension altogether.
  if (extension.empty() || extension.find('/') != std::string_view::npos ||
      extension.find('\0') != std::string_view::npos) {
    return target_path;
  }
  const std::size_t slash = target_path.rfind('/');
  const std::size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  std::string name = target_path.substr(name_start);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  name += extension;
  if (name.empty() || name == "." || name == "..") return target_path;
  return target_path.substr(0, name_start) + name;
}

std::optional<ContentRange> ParseContentRange(std::string_view text) {
  text = text::TrimView(text);
  constexpr std::string_view kUnit = "bytes";
  if (text.size() <= kUnit.size() ||
      !text::EqualsIgnoreCaseAscii(text.substr(0, kUnit.size()), kUnit))
    return std::nullopt;
  text.remove_prefix(kUnit.size());
  const std::string_view range = text::TrimView(text);
  if (range.size() == text.size()) return std::nullopt;  // the unit must be followed by a space
  const std::size_t dash = range.find('-');
  const std::size_t slash = range.find('/');
  if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash)
    return std::nullopt;
  auto first = ParseDigits(range.substr(0, dash));
  auto last = ParseDigits(range.substr(dash + 1, slash - dash - 1));
  auto total = ParseDigits(range.substr(slash + 1));
  if (!first || !last || !total || *first > *last || *last >= *total) return std::nullopt;
  return ContentRange{*first, *last, *total};
}

std::optional<std::uint64_t> ParseContentLength(std::string_view text) {
  return ParseDigits(text::TrimView(text));
}

void XorMirrorBytes(char* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(bytes[i] ^ kMirrorXorKey);
}

}  // namespace quillo::service
