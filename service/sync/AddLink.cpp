#include "service/sync/AddLink.h"

#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"

namespace quillo::service {
namespace {

// A name with control characters (a NUL would cut the stored text short) is not a list name.
bool HasControls(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

bool IsServiceMusicId(std::string_view id) {
  if (id.empty()) return false;
  for (const char c : id) {
    const bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alnum) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> DecodePercentEscapes(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] != '%') {
      decoded.push_back(text[at]);
      continue;
    }
    if (at + 2 >= text.size()) return std::nullopt;
    const int high = text::HexDigitValue(text[at + 1]);
    const int low = text::HexDigitValue(text[at + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    decoded.push_back(static_cast<char>(high * 16 + low));
    at += 2;
  }
  return decoded;
}

std::optional<AddLink> ParseAddLink(std::string_view link) {
  if (link.size() < AddLink::kPrefix.size() ||
      !text::EqualsIgnoreCaseAscii(link.substr(0, AddLink::kPrefix.size()), AddLink::kPrefix)) {
    return std::nullopt;
  }
  std::optional<std::string> decoded = DecodePercentEscapes(link.substr(AddLink::kPrefix.size()));
  if (!decoded || !text::IsValidUtf8(*decoded)) return std::nullopt;

  AddLink parsed;
  std::string_view ids = *decoded;
  const std::size_t colon = ids.find(':');
  if (colon != std::string_view::npos) {
    std::string name = text::Trim(ids.substr(colon + 1));
    if (HasControls(name)) return std::nullopt;
    if (!name.empty()) parsed.list_name = std::move(name);
    ids = ids.substr(0, colon);
  } else if (!ids.empty() && ids.back() == '/') {
    ids.remove_suffix(1);
  }
  while (!ids.empty()) {
    const std::size_t comma = ids.find(',');
    const std::string_view id = text::TrimView(ids.substr(0, comma));
    if (!id.empty()) {
      if (!IsServiceMusicId(id)) return std::nullopt;
      parsed.music_ids.emplace_back(id);
    }
    if (comma == std::string_view::npos) break;
    ids.remove_prefix(comma + 1);
  }
  return parsed;
}

}  // namespace quillo::service
